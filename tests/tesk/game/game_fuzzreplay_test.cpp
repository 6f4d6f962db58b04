// Replays the level-file and record-file fuzzers' corpora (seeds and every input they
// once failed on): each input must load or be refused without a crash, a hang or a
// sanitizer report, and what loads must write back consistently.
#include <gtest/gtest.h>

#include "tests/support/CorpusReplay.h"
#include "tests/support/LevelFuzzInput.h"

namespace {

void Replay(const char* corpus, bool (*one)(const uint8_t*, size_t))
{
    ReplayCorpus(std::filesystem::path(TP_SOURCE_DIR) / "tests/tesk/game/files" / corpus, one);
}

TEST(LevelFuzzCorpus, EveryLevelInputReadsOrIsRefusedCleanly)
{
    Replay("level-corpus", LevelFuzzOneInput);
}

TEST(LevelFuzzCorpus, EveryRecordInputLoadsOrIsRefusedCleanly)
{
    Replay("record-corpus", RecordFuzzOneInput);
}

}  // namespace
