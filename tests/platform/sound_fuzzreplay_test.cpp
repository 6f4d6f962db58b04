// Replays the sound-loading fuzzer's corpus (seeds and every input it once failed on):
// each must load or be refused without a crash, a hang or a sanitizer report.
#include <gtest/gtest.h>

#include "platform/Fmod.h"
#include "tests/support/CorpusReplay.h"
#include "tests/support/SoundFuzzInput.h"

TEST(SoundFuzzCorpus, EveryInputLoadsOrIsRefusedCleanly)
{
    ReplayCorpus(std::filesystem::path(TP_SOURCE_DIR) / "tests/platform/files/sound-corpus", SoundFuzzOneInput);
    FSOUND_Close();
}
