#include "platform/ComCtrls.h"

#include <string>

#include "platform/Forms.h"

namespace {

constexpr TColor NoMaskColour = clNone;

uint32_t Argb(TColor rgb) // 0x00BBGGRR to opaque 0xAARRGGBB
{
    return 0xFF000000u | (static_cast<uint32_t>(GetRValue(rgb)) << 16) |
           (static_cast<uint32_t>(GetGValue(rgb)) << 8) | GetBValue(rgb);
}

uint8_t Blend(uint32_t over, uint8_t under, uint32_t alpha)
{
    return static_cast<uint8_t>((over * alpha + under * (255 - alpha) + 127) / 255);
}

} // namespace

TImageList::TImageList(TComponent* AOwner) : TComponent(AOwner) {}

void TImageList::SetWidth(int width)
{
    if (width < 1)
        throw EInvalidOperation("Invalid image size");
    if (width == FWidth)
        return;
    FWidth = width;
    Clear();
}

void TImageList::SetHeight(int height)
{
    if (height < 1)
        throw EInvalidOperation("Invalid image size");
    if (height == FHeight)
        return;
    FHeight = height;
    Clear();
}

const TImageList::Image& TImageList::At(int index) const
{
    if (index < 0 || index >= Count())
        throw EListError("List index out of bounds (" + std::to_string(index) + ")");
    return FImages[static_cast<size_t>(index)];
}

TImageList::Image TImageList::Cut(const TBitmap* image, int left, const TBitmap* mask,
                                  TColor maskColour) const
{
    Image out(static_cast<size_t>(FWidth) * static_cast<size_t>(FHeight), 0);
    if (!image || image->Empty())
        return out;
    if (maskColour == clDefault)
        maskColour = image->PixelColor(0, image->Height() - 1);
    if (maskColour != NoMaskColour)
        maskColour = ColorToRGB(maskColour);
    for (int y = 0; y < FHeight; ++y)
        for (int x = 0; x < FWidth; ++x) {
            const TColor c = image->PixelColor(left + x, y);
            if (c == clNone || (maskColour != NoMaskColour && c == maskColour))
                continue; // beyond the bitmap, or the mask colour
            if (mask && mask->PixelColor(left + x, y) == clWhite)
                continue;
            out[static_cast<size_t>(y) * static_cast<size_t>(FWidth) + static_cast<size_t>(x)] = Argb(c);
        }
    return out;
}

int TImageList::AddCut(const TBitmap* image, const TBitmap* mask, TColor maskColour)
{
    const int first = Count();
    const int parts = image ? std::max(1, image->Width() / FWidth) : 1;
    for (int i = 0; i < parts; ++i)
        FImages.push_back(Cut(image, i * FWidth, mask, maskColour));
    return first;
}

int TImageList::Add(const TBitmap* image, const TBitmap* mask) { return AddCut(image, mask, NoMaskColour); }

int TImageList::AddMasked(const TBitmap& image, TColor maskColour)
{
    return AddCut(&image, nullptr, maskColour == clNone ? clDefault : maskColour);
}

void TImageList::ReplaceMasked(int index, const TBitmap& image, TColor maskColour)
{
    At(index);
    FImages[static_cast<size_t>(index)] = Cut(&image, 0, nullptr, maskColour == clNone ? clDefault : maskColour);
}

void TImageList::Delete(int index)
{
    At(index);
    FImages.erase(FImages.begin() + index);
}

uint32_t TImageList::ImagePixel(int index, int x, int y) const
{
    const Image& image = At(index);
    if (x < 0 || y < 0 || x >= FWidth || y >= FHeight)
        return 0;
    return image[static_cast<size_t>(y) * static_cast<size_t>(FWidth) + static_cast<size_t>(x)];
}

void TImageList::Draw(TCanvas& canvas, int x, int y, int index) const
{
    const Image& image = At(index);
    for (int j = 0; j < FHeight; ++j)
        for (int i = 0; i < FWidth; ++i) {
            const uint32_t p = image[static_cast<size_t>(j) * static_cast<size_t>(FWidth) + static_cast<size_t>(i)];
            const uint32_t alpha = p >> 24;
            if (alpha == 0)
                continue;
            const uint8_t r = static_cast<uint8_t>(p >> 16), g = static_cast<uint8_t>(p >> 8),
                          b = static_cast<uint8_t>(p);
            if (alpha == 255) {
                canvas.SetPixel(x + i, y + j, RGB(r, g, b));
                continue;
            }
            const TColor under = canvas.Pixel(x + i, y + j);
            if (under == clNone)
                continue; // clipped
            canvas.SetPixel(x + i, y + j,
                            RGB(Blend(r, GetRValue(under), alpha), Blend(g, GetGValue(under), alpha),
                                Blend(b, GetBValue(under), alpha)));
        }
}

// ---------------------------------------------------------------------------------------
// Status bars

void TStatusPanel::SetText(const std::string& text)
{
    if (text == FText)
        return;
    FText = text;
    FBar->Invalidate();
}

void TStatusPanel::SetWidth(int width)
{
    width = std::max(0, width);
    if (width == FWidth)
        return;
    FWidth = width;
    FBar->Invalidate();
}

void TStatusPanel::SetAlignment(TAlignment alignment)
{
    if (alignment == FAlignment)
        return;
    FAlignment = alignment;
    FBar->Invalidate();
}

TStatusPanel* TStatusPanels::Add()
{
    FPanels.push_back(std::make_unique<TStatusPanel>(FBar));
    FBar->Invalidate();
    return FPanels.back().get();
}

TStatusPanel* TStatusPanels::Items(int index) const
{
    if (index < 0 || index >= Count())
        throw EListError("List index out of bounds (" + std::to_string(index) + ")");
    return FPanels[static_cast<size_t>(index)].get();
}

void TStatusPanels::Clear()
{
    FPanels.clear();
    FBar->Invalidate();
}

TStatusBar::TStatusBar(TComponent* AOwner) : TCustomControl(AOwner)
{
    SetBounds(0, 0, 200, 19);
    SetAlign(alBottom);
}

bool TStatusBar::ShowsGrip() const
{
    const TForm* form = ParentForm();
    return form && (form->BorderStyle() == bsSizeable || form->BorderStyle() == bsSizeToolWin);
}

TRect TStatusBar::PanelRect(int index) const
{
    int left = 0;
    const int count = FPanels.Count();
    for (int i = 0; i < index && i < count; ++i)
        left += FPanels.Items(i)->Width() + 2;
    const int right = index == count - 1 ? ClientWidth() : std::min(ClientWidth(), left + FPanels.Items(index)->Width());
    return Rect(std::min(left, ClientWidth()), 2, std::max(std::min(left, ClientWidth()), right), ClientHeight());
}

void TStatusBar::Paint()
{
    TCanvas& c = Canvas();
    c.Font = Font();
    for (int i = 0; i < FPanels.Count(); ++i) {
        TRect r = PanelRect(i);
        if (r.IsEmpty())
            continue;
        const TStatusPanel* panel = FPanels.Items(i);
        TRect inner = r;
        c.Frame3D(inner, clBtnShadow, clBtnHighlight, 1);
        c.Brush.Style = bsClear;
        const int saved = SaveDC(c.Handle());
        IntersectClipRect(c.Handle(), inner.Left, inner.Top, inner.Right, inner.Bottom);
        TRect text = Rect(inner.Left + 2, inner.Top, inner.Right - 2, inner.Bottom);
        uint32_t flags = DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX;
        flags |= panel->Alignment() == taCenter ? DT_CENTER : panel->Alignment() == taRightJustify ? DT_RIGHT : DT_LEFT;
        c.DrawText(panel->Text(), text, flags);
        RestoreDC(c.Handle(), saved);
        c.Brush.Style = bsSolid;
    }
    if (ShowsGrip()) {
        // Three diagonal ridges in the bottom-right corner.
        const int w = ClientWidth(), h = ClientHeight();
        for (int k = 0; k < 3; ++k)
            for (int d = 0; d < 2; ++d) {
                c.Pen.Color = d == 0 ? clBtnHighlight : clBtnShadow;
                const int o = 4 + k * 4 + d;
                c.MoveTo(w - o, h - 1);
                c.LineTo(w, h - 1 - o);
            }
    }
}
