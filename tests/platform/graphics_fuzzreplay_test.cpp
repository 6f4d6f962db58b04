// Replays the picture-loading fuzzer's corpus (seeds and every input it once failed on):
// each must load or be refused without a crash, a hang or a sanitizer report.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <vector>

#include "tests/support/PictureFuzzInput.h"

TEST(PictureFuzzCorpus, EveryInputLoadsOrIsRefusedCleanly)
{
    const std::filesystem::path dir = std::filesystem::path(TP_SOURCE_DIR) / "tests/platform/files/picture-corpus";
    int inputs = 0;
    for (const auto& entry : std::filesystem::directory_iterator(dir)) {
        if (!entry.is_regular_file())
            continue;
        SCOPED_TRACE(entry.path().filename().string());
        std::ifstream in(entry.path(), std::ios::binary);
        std::vector<uint8_t> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        PictureFuzzOneInput(bytes.data(), bytes.size());
        ++inputs;
    }
    EXPECT_GT(inputs, 0) << "the corpus is missing";
}
