// Replays the data-package fuzzer's corpus (seeds and every input it once failed on):
// each archive must mount and read or be refused without a crash, a hang or a sanitizer
// report.
#include <gtest/gtest.h>

#include "tests/support/CorpusReplay.h"
#include "tests/support/ZipFuzzInput.h"

TEST(ZipFuzzCorpus, EveryArchiveMountsOrIsRefusedCleanly)
{
    ReplayCorpus(std::filesystem::path(TP_SOURCE_DIR) / "tests/tesk/toolkit/files/zip-corpus", ZipFuzzOneInput);
}
