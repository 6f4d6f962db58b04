// libFuzzer entry over picture loading (JPEG pictures and bitmap masks).
#include <cstddef>
#include <cstdint>

#include "tests/support/PictureFuzzInput.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    PictureFuzzOneInput(data, size);
    return 0;
}
