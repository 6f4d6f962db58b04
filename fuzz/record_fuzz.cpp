// libFuzzer entry over the record-file reader.
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "tests/support/LevelFuzzInput.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (!RecordFuzzOneInput(data, size))
        std::abort();
    return 0;
}
