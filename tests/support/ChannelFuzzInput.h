#pragma once
// One input of the pixel-channel fuzzer: the bytes are read as a stored picture channel
// and as a mask channel; whatever loads must write back and read again to the same
// contents, and is blended in every way onto a small 24-bit channel. Shared by the
// libFuzzer target and the test that replays its corpus (header-only, so that only the
// card game's programs link the channel code).
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "pelvo/Channels.h"

inline void ChannelFuzzOneInput(const uint8_t* data, size_t size)
{
    using namespace pelvo;
    TChannel picture(ckPicture);
    TChannel mask(ckMask);
    for (TChannel* ch : {&picture, &mask}) {
        try {
            ch->LoadFromMemory(data, size);
        } catch (const EChannelError&) {
            ch->Release();
        }
        if (ch->Active()) {
            TChannel again(ch->ChannelKind());
            again.LoadFromMemory(ch->SaveToString().data(), ch->SaveToString().size());
            if (!again.SameContents(*ch))
                std::abort();
        }
    }
    TRGBChannel target;
    target.SetSize(16, 12);
    target.SetActive(true);
    const TRect clip = Rect(1, 1, 15, 11);
    target.DrawPicture(clip, -2, -3, picture, 180);
    target.DrawPictureMasked(clip, 3, 2, picture, mask, 200);
    target.DrawMaskColor(clip, 0, 0, mask, 0x123456, 77);
    target.DrawMaskRelief(clip, 5, -1, mask);
    target.DrawMaskFrame(clip, Rect(-4, -4, 20, 20), mask);
    for (int placement = aFrame; placement <= aStretch; ++placement)
        target.DrawTexture(clip, Rect(0, 0, 16, 12), static_cast<TAligns>(placement), mask,
                           placement % 2 ? clNone : 0x808080);
}
