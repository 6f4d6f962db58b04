#include "tests/support/PictureFuzzInput.h"

#include "platform/Graphics.h"

void PictureFuzzOneInput(const uint8_t* data, size_t size)
{
    TBitmap target;
    target.SetPixelFormat(pf16bit);
    target.SetSize(16, 16);
    TJPEGImage jpeg;
    try {
        jpeg.LoadFromMemory(data, size);
    } catch (const Exception&) {
    }
    if (!jpeg.Empty()) {
        TBitmap rgb;
        jpeg.TakeBitmap(rgb);
        target.Canvas().CopyRect(Rect(0, 0, 16, 16), rgb.Canvas(), Rect(0, 0, rgb.Width(), rgb.Height()));
        target.Canvas().Draw(-3, -3, rgb);
    }
    for (bool withFileHeader : {true, false}) {
        TBitmap mask;
        try {
            if (withFileHeader)
                mask.LoadFromMemory(data, size);
            else
                mask.LoadFromDibMemory(data, size);
        } catch (const Exception&) {
        }
        if (!mask.Empty())
            BitBlt(target.Handle(), 0, 0, 16, 16, mask.Handle(), 0, 0, ropPatternWhereSource, 0xFF00FF);
    }
}
