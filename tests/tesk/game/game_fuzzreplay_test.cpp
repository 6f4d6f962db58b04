// Replays the level-file and record-file fuzzers' corpora (seeds and every input they
// once failed on): each input must load or be refused without a crash, a hang or a
// sanitizer report, and what loads must write back consistently.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <vector>

#include "tests/support/LevelFuzzInput.h"

namespace {

void Replay(const char* corpus, bool (*one)(const uint8_t*, size_t))
{
    const std::filesystem::path dir = std::filesystem::path(TP_SOURCE_DIR) / "tests/tesk/game/files" / corpus;
    int inputs = 0;
    for (const auto& entry : std::filesystem::directory_iterator(dir)) {
        if (!entry.is_regular_file())
            continue;
        std::ifstream in(entry.path(), std::ios::binary);
        std::vector<uint8_t> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        EXPECT_TRUE(one(bytes.data(), bytes.size())) << entry.path().filename().string();
        ++inputs;
    }
    EXPECT_GT(inputs, 0) << "the corpus is missing";
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
