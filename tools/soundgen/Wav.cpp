#include "tools/soundgen/Wav.h"

#include "tools/soundgen/Bytes.h"

namespace soundgen {

std::vector<uint8_t> MakeWav(const std::vector<int16_t>& pcm, int rate)
{
    const uint32_t dataBytes = static_cast<uint32_t>(pcm.size() * 2);
    Bytes out;
    out.Text("RIFF", 4);
    out.U32(36 + dataBytes);
    out.Text("WAVE", 4);
    out.Text("fmt ", 4);
    out.U32(16);
    out.U16(1);                                    // PCM
    out.U16(1);                                    // mono
    out.U32(static_cast<uint32_t>(rate));
    out.U32(static_cast<uint32_t>(rate) * 2);      // bytes per second
    out.U16(2);                                    // block align
    out.U16(16);                                   // bits per sample
    out.Text("data", 4);
    out.U32(dataBytes);
    for (int16_t s : pcm)
        out.U16(static_cast<uint16_t>(s));
    return out.Data();
}

} // namespace soundgen
