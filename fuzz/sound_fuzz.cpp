// libFuzzer entry over sample and module loading.
#include <cstddef>
#include <cstdint>

#include "tests/support/SoundFuzzInput.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    SoundFuzzOneInput(data, size);
    return 0;
}
