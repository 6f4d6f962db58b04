// libFuzzer entry over the card game's stored pixel channels.
#include <cstddef>
#include <cstdint>

#include "tests/support/ChannelFuzzInput.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    ChannelFuzzOneInput(data, size);
    return 0;
}
