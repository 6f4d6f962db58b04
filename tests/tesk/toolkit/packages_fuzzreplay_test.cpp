// Replays the data-package fuzzer's corpus (seeds and every input it once failed on):
// each archive must mount and read or be refused without a crash, a hang or a sanitizer
// report.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <vector>

#include "tests/support/ZipFuzzInput.h"

TEST(ZipFuzzCorpus, EveryArchiveMountsOrIsRefusedCleanly)
{
    const std::filesystem::path dir = std::filesystem::path(TP_SOURCE_DIR) / "tests/tesk/toolkit/files/zip-corpus";
    int inputs = 0;
    for (const auto& entry : std::filesystem::directory_iterator(dir)) {
        if (!entry.is_regular_file())
            continue;
        SCOPED_TRACE(entry.path().filename().string());
        std::ifstream in(entry.path(), std::ios::binary);
        std::vector<uint8_t> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        ZipFuzzOneInput(bytes.data(), bytes.size());
        ++inputs;
    }
    EXPECT_GT(inputs, 0) << "the corpus is missing";
}
