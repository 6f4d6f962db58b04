#pragma once
// Replays a fuzzer's corpus folder (seeds and every input it once failed on) through the
// fuzzer's one-input function, naming the file in any failure. Every regular file is fed
// in; an empty or missing folder fails, since a lost corpus would otherwise pass silently.
#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <type_traits>
#include <vector>

// `one` takes (const uint8_t*, size_t); when it returns bool, false fails the input.
template <typename OneInput>
void ReplayCorpus(const std::filesystem::path& dir, OneInput one)
{
    int inputs = 0;
    std::error_code ec;
    for (const auto& entry : std::filesystem::directory_iterator(dir, ec)) {
        if (!entry.is_regular_file())
            continue;
        SCOPED_TRACE(entry.path().filename().string());
        std::ifstream in(entry.path(), std::ios::binary);
        const std::vector<uint8_t> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        if constexpr (std::is_same_v<decltype(one(bytes.data(), bytes.size())), bool>)
            EXPECT_TRUE(one(bytes.data(), bytes.size()));
        else
            one(bytes.data(), bytes.size());
        ++inputs;
    }
    EXPECT_GT(inputs, 0) << "the corpus is missing: " << dir.string();
}
