// libFuzzer entry over mounting a data package and opening every member.
#include <cstddef>
#include <cstdint>

#include "tests/support/ZipFuzzInput.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    ZipFuzzOneInput(data, size);
    return 0;
}
