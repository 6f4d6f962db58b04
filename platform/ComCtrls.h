#pragma once
// Common controls: the image list and the status bar.
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "platform/Classes.h"
#include "platform/Controls.h"
#include "platform/Graphics.h"

// A list of images of one size (16 x 16 until set) with alpha; no window. Set the size
// before adding: a change of size empties the list. An index outside 0..Count - 1
// raises EListError naming the index.
class TImageList : public TComponent {
public:
    explicit TImageList(TComponent* AOwner = nullptr);

    int Width() const { return FWidth; }
    int Height() const { return FHeight; }
    // Raises EInvalidOperation "Invalid image size" for a size below 1.
    void SetWidth(int width);
    void SetHeight(int height);
    int Count() const { return static_cast<int>(FImages.size()); }

    // Adds image.Width div Width images (at least one; parts beyond the bitmap are
    // transparent) cut from the bitmap's left; white pixels of the mask are transparent.
    // A null image adds one empty, fully transparent image. Returns the first index.
    int Add(const TBitmap* image, const TBitmap* mask);
    // The same with every pixel of maskColour transparent (clDefault: the bitmap's
    // bottom-left pixel).
    int AddMasked(const TBitmap& image, TColor maskColour);
    void ReplaceMasked(int index, const TBitmap& image, TColor maskColour);
    void Delete(int index);
    void Clear() { FImages.clear(); }

    // Draws the image with its transparency through the canvas's origin and clip.
    void Draw(TCanvas& canvas, int x, int y, int index) const;
    // A pixel of an image as 0xAARRGGBB.
    uint32_t ImagePixel(int index, int x, int y) const;

private:
    using Image = std::vector<uint32_t>; // FWidth x FHeight, 0xAARRGGBB
    const Image& At(int index) const;
    Image Cut(const TBitmap* image, int left, const TBitmap* mask, TColor maskColour) const;
    int AddCut(const TBitmap* image, const TBitmap* mask, TColor maskColour);
    int FWidth = 16;
    int FHeight = 16;
    std::vector<Image> FImages;
};

class TStatusBar;

// One panel of a status bar: its text shows at once when set.
class TStatusPanel {
public:
    explicit TStatusPanel(TStatusBar* bar) : FBar(bar) {}
    const std::string& Text() const { return FText; }
    void SetText(const std::string& text);
    // Pixels; a width below 0 counts as 0. The last panel reaches the bar's right edge.
    int Width() const { return FWidth; }
    void SetWidth(int width);
    TAlignment Alignment() const { return FAlignment; }
    void SetAlignment(TAlignment alignment);

private:
    TStatusBar* FBar;
    std::string FText;
    int FWidth = 50;
    TAlignment FAlignment = taLeftJustify;
};

class TStatusPanels {
public:
    explicit TStatusPanels(TStatusBar* bar) : FBar(bar) {}
    TStatusPanel* Add();
    int Count() const { return static_cast<int>(FPanels.size()); }
    // Raises EListError for an index outside 0..Count - 1.
    TStatusPanel* Items(int index) const;
    void Clear();

private:
    TStatusBar* FBar;
    std::vector<std::unique_ptr<TStatusPanel>> FPanels;
};

// A status bar at the bottom of its parent (alBottom, 19 pixels high by default): its
// panels left to right by their widths, each a sunken box whose text is cut at its edge;
// a size grip at the right on a sizeable form.
class TStatusBar : public TCustomControl {
public:
    explicit TStatusBar(TComponent* AOwner);
    TStatusPanels* Panels() { return &FPanels; }
    // The panel's rectangle in client coordinates.
    TRect PanelRect(int index) const;

protected:
    void Paint() override;

private:
    bool ShowsGrip() const;
    TStatusPanels FPanels{this};
};
