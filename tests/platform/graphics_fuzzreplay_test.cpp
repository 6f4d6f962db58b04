// Replays the picture-loading fuzzer's corpus (seeds and every input it once failed on):
// each must load or be refused without a crash, a hang or a sanitizer report.
#include <gtest/gtest.h>

#include "tests/support/CorpusReplay.h"
#include "tests/support/PictureFuzzInput.h"

TEST(PictureFuzzCorpus, EveryInputLoadsOrIsRefusedCleanly)
{
    ReplayCorpus(std::filesystem::path(TP_SOURCE_DIR) / "tests/platform/files/picture-corpus", PictureFuzzOneInput);
}
