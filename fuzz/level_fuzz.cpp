// libFuzzer entry over the level-file reader (and the writer on what it read).
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "tests/support/LevelFuzzInput.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (!LevelFuzzOneInput(data, size))
        std::abort();
    return 0;
}
