#pragma once
// Common controls: the image list, the status bar and the page control.
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
// a size grip at the right on a sizeable form (bsSizeable or bsSizeToolWin).
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

class TPageControl;

// One page of a page control: a windowed control with its own surface (window-less
// children such as paint boxes draw on it), placed by its page control over the page
// area. Only the active page shows; Visible() is false for the others.
class TTabSheet : public TWinControl {
public:
    explicit TTabSheet(TComponent* AOwner);
    ~TTabSheet() override;

    TPageControl* PageControl() const { return FPageControl; }
    // Appends the sheet to the page control's pages (null: takes it out).
    void SetPageControl(TPageControl* control);
    // Without a tab the sheet and its controls still exist (and can be made active in
    // code); TabIndex is then -1.
    bool TabVisible() const { return FTabVisible; }
    void SetTabVisible(bool on);
    // The place among the page control's pages (-1 without a page control).
    int PageIndex() const;
    void SetPageIndex(int index);
    // The place among the tabs shown (-1 while the tab is hidden).
    int TabIndex() const;
    // The sheet's own Visible (SetVisible) and it being the active page: hiding the
    // active page hides its content while it stays active with its tab.
    bool Visible() const override;

protected:
    void TextChanged() override;
    void VisibleChanged() override;

private:
    friend class TPageControl;
    void UpdateShown() { TWinControl::VisibleChanged(); }
    TPageControl* FPageControl = nullptr;
    bool FTabVisible = true;
};

struct TPageControlPrivate;

// Pages with a row of tabs at the top (one row: when the tabs do not fit, it scrolls
// with arrow buttons); the active page fills the page area inside the frame. OnChange
// fires after the user changed the page (a click on a tab, Ctrl+Tab and Ctrl+Shift+Tab
// with the focus inside, the arrow keys while the control is focused), never for a
// change made in code.
class TPageControl : public TWinControl {
public:
    explicit TPageControl(TComponent* AOwner);
    ~TPageControl() override;

    // A sheet of another page control is refused (nothing changes); a sheet whose tab
    // is hidden shows with no tab selected.
    TTabSheet* ActivePage() const { return FActivePage; }
    void SetActivePage(TTabSheet* page);
    int ActivePageIndex() const;
    void SetActivePageIndex(int index);
    int PageCount() const { return static_cast<int>(FPages.size()); }
    // Raises EListError for an index outside 0..PageCount - 1.
    TTabSheet* Pages(int index) const;
    // Every tab that many pixels wide (0: each fitted to its caption).
    int TabWidth() const { return FTabWidth; }
    void SetTabWidth(int width);
    // The tab under the pointer shows its caption in the hot-track colour (navy).
    bool HotTrack() const { return FHotTrack; }
    void SetHotTrack(bool on);
    // A tab's rectangle in client coordinates (by TabIndex; empty for none); scrolled
    // out of the row, it lies partly or wholly outside it.
    TRect TabRect(int tabIndex) const;
    // The area the pages fill: the client area less the tab row and the frame.
    TRect DisplayRect() const;
    TNotifyEvent OnChange;

protected:
    virtual void Change();
    void Paint() override;
    void BoundsChanged() override;
    void FontChanged() override;
    void EnabledChanged() override;
    bool TypedKey(WORD key, char original, char typed, TShiftState shift) override;
    bool DialogKey(WORD Key, TShiftState Shift) override;
    void PaintOwnWidgets(TCanvas& canvas, int x, int y) override;

private:
    friend class TTabSheet;
    friend struct TPageControlPrivate;
    void InsertPage(TTabSheet* page);
    void RemovePage(TTabSheet* page);
    void MovePage(TTabSheet* page, int index);
    void TabShowingChanged(TTabSheet* page);
    void ChangeActivePage(TTabSheet* page);
    // The page of the next (or previous) shown tab after page, wrapping; null if none.
    TTabSheet* NextTabPage(TTabSheet* page, bool forward) const;
    // The user chose a page: it becomes active and OnChange fires.
    void UserSelect(TTabSheet* page);
    void TabPressed();
    void SyncTabs();
    void PlaceParts();
    int TabRowHeight() const;
    int FrameTop() const;
    std::unique_ptr<TPageControlPrivate> FPriv;
    std::vector<TTabSheet*> FPages;
    TTabSheet* FActivePage = nullptr;
    int FTabWidth = 0;
    bool FHotTrack = false;
};

namespace TestHooks {
// The page control's left or right tab-scrolling button in its client coordinates
// (empty while the tabs fit and no buttons show).
TRect TabScrollButtonRect(TPageControl* control, bool left);
} // namespace TestHooks
