#pragma once
// The speed button: a window-less push button with a glyph strip of up to five state
// images and a caption, optionally a toggle within a group, flat (raised only while the
// pointer is over it), repeating its click while held, or dropping down a pop-up menu.
// Its glyph images live in shared image lists, one per glyph size, held by the
// process-wide glyph cache.
#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/ComCtrls.h"
#include "platform/Controls.h"
#include "platform/ExtCtrls.h"
#include "platform/Forms.h"
#include "platform/Menus.h"
#include "tesk/widgets/WidgetSupport.h"

// Button states (also the sections of a glyph strip).
enum TExButtonState : uint8_t { bsUp = 0, bsDisabled = 1, bsDown = 2, bsExclusive = 3, bsInactive = 4 };
enum TButtonStyle : uint8_t { bsAutoDetect, bsWin31, bsNew };
enum TButtonLayout : uint8_t { blGlyphLeft, blGlyphRight, blGlyphTop, blGlyphBottom };
using TExNumGlyphs = uint8_t; // 1..5
enum TExDropDownMenuPos : uint8_t { dmpBottom, dmpRight };

// An image list of glyphs of one size that knows which of its images are in use.
class TGlyphList : public TImageList {
public:
    TGlyphList(int width, int height);
    // Takes a free slot and puts the bitmap there, transparent where it has `color`.
    int AddMaskedToSlot(const TBitmap& bitmap, TColor color);
    // Marks the slot free (its image stays for reuse).
    void FreeSlot(int slot);
    int InUseCount() const { return FCount; }

private:
    int TakeSlot();
    std::vector<bool> FUsed;
    int FCount = 0;
};

// The process's glyph lists, one per glyph size.
class TGlyphCache {
public:
    // The list of that size (searched from the last to the first), made when missing.
    TGlyphList* GetList(int width, int height);
    // Frees the list when none of its slots is in use.
    void ReturnList(TGlyphList* list);
    bool Empty() const { return FLists.empty(); }
    int ListCount() const { return static_cast<int>(FLists.size()); }

private:
    std::vector<std::unique_ptr<TGlyphList>> FLists;
};
// The process's glyph cache, or null while none exists.
TGlyphCache* GlyphCache();

// Turns a button's glyph strip into one image per button state.
class TExButtonGlyph {
public:
    TExButtonGlyph();
    ~TExButtonGlyph();
    TExButtonGlyph(const TExButtonGlyph&) = delete;
    TExButtonGlyph& operator=(const TExButtonGlyph&) = delete;

    // The strip; after changing its pixels directly call StripChanged.
    TBitmap& Strip() { return FStrip; }
    // Copies the bitmap into the strip (null empties it) and runs StripChanged.
    void SetStrip(const TBitmap* bitmap);
    // The strip changed: images released; with a height above 0 the transparent colour
    // becomes the strip's and NumGlyphs follows a width that is a multiple of the height.
    void StripChanged();

    TGlyphList* GlyphList() const { return FGlyphList; }
    int Index(TExButtonState state) const { return FIndices[state]; }
    TColor TransparentColor() const { return FTransparentColor; }
    TExNumGlyphs NumGlyphs() const { return FNumGlyphs; }
    // Values above 5 become 5 (below 1: 1); a change rebuilds the images.
    void SetNumGlyphs(int value);
    bool WordWrap = false;
    TAlignment Alignment = taCenter;
    std::function<void()> OnChange;

    // The image index for a state, built on first use (-1 without a strip).
    int BuildStateImage(TExButtonState state);
    // Every built image back to its list, the list back to the cache.
    void ReleaseImages();
    // The grey of a colour; the transparent colour and the button face stay.
    TColor ToGrey(TColor color) const;

    // Where the glyph and the caption go in the content rectangle `client`; the caption
    // comes back shortened as it will be drawn.
    void PlaceGlyphAndText(TCanvas& canvas, const TRect& client, std::string& caption,
                           TButtonLayout layout, int margin, int spacing, bool dropDownMark,
                           TPoint& glyphPos, TRect& textBounds);
    // Draws glyph, caption and (when asked) the drop-down mark; returns the caption's
    // rectangle.
    TRect PaintGlyphAndText(TCanvas& canvas, const TRect& client, const std::string& caption,
                            TButtonLayout layout, int margin, int spacing, TExButtonState state,
                            bool dropDownMark);
    // The glyph size (a section of the strip), 0 x 0 without a strip.
    TPoint GlyphSize() const;

private:
    void DrawCaption(TCanvas& canvas, TRect rect, const std::string& caption, TExButtonState state);
    TBitmap FStrip;
    TGlyphList* FGlyphList = nullptr;
    std::array<int, 5> FIndices{-1, -1, -1, -1, -1};
    TColor FTransparentColor = 0xFF00FF;
    TExNumGlyphs FNumGlyphs = 1;
};

class TExSpeedButton : public TGraphicControl {
public:
    explicit TExSpeedButton(TComponent* AOwner);
    ~TExSpeedButton() override;

    int GroupIndex() const { return FGroupIndex; }
    void SetGroupIndex(int value);
    TButtonStyle Style() const { return FStyle; }
    void SetStyle(TButtonStyle value);
    // The glyph strip; SetGlyph copies a bitmap into it (null: no glyph).
    const TBitmap& Glyph() const { return FGlyph->Strip(); }
    void SetGlyph(const TBitmap* bitmap);
    TExNumGlyphs NumGlyphs() const { return FGlyph->NumGlyphs(); }
    void SetNumGlyphs(int value);
    TAlignment Alignment() const { return FGlyph->Alignment; }
    void SetAlignment(TAlignment value);
    bool WordWrap() const { return FGlyph->WordWrap; }
    void SetWordWrap(bool value);
    bool Down() const { return FDown; }
    void SetDown(bool value);
    bool Flat() const { return FFlat; }
    void SetFlat(bool value);
    bool AllowAllUp() const { return FAllowAllUp; }
    void SetAllowAllUp(bool value);
    TButtonLayout Layout() const { return FLayout; }
    void SetLayout(TButtonLayout value);
    int Spacing() const { return FSpacing; }
    void SetSpacing(int value);
    int Margin() const { return FMargin; }
    void SetMargin(int value);
    TModalResult ModalResult() const { return FModalResult; }
    void SetModalResult(TModalResult value) { FModalResult = value; }
    bool Transparent() const { return FTransparent; }
    void SetTransparent(bool value);
    bool MarkDropDown() const { return FMarkDropDown; }
    void SetMarkDropDown(bool value);
    TPopupMenu* DropDownMenu() const { return FDropDownMenu; }
    void SetDropDownMenu(TPopupMenu* menu);
    TExDropDownMenuPos MenuPosition() const { return FMenuPosition; }
    void SetMenuPosition(TExDropDownMenuPos value);
    bool GrayedInactive() const { return FGrayedInactive; }
    void SetGrayedInactive(bool value);
    bool AllowTimer() const { return FAllowTimer; }
    void SetAllowTimer(bool value);
    uint16_t InitPause = 500;
    uint16_t RepeatInterval = 100;

    TExButtonState State() const { return FState; }
    bool Dragging() const { return FDragging; }
    bool MouseInControl() const { return FMouseInControl; }
    bool MenuTracking() const { return FMenuTracking; }
    // The repeat timer, or null before its first use.
    TTimer* RepeatTimer() const { return FRepeatTimer.get(); }
    TExButtonGlyph& ButtonGlyph() { return *FGlyph; }

    // The form's ModalResult becomes the button's, then OnClick.
    void Click() override;
    bool DialogChar(char Key, TShiftState Shift) override;
    // Another member of the group was pressed (sent to every control of the parent).
    void ButtonPressed(int group, TExSpeedButton* sender);
    // Where the drop-down menu pops up, in button coordinates.
    TPoint DropDownPosition() const;
    // Pops the drop-down menu up when there is one with AutoPopup; true when it did.
    bool CheckBtnMenuDropDown();
    // Recomputes whether the pointer is over the button (enter and leave as they come).
    void UpdateTracking();
    // The system colours changed: the images are made again.
    void SysColorChange();
    void Loaded() override;
    // The buttons alive in the process.
    static int LiveCount();
    // The shared pattern of the latched state, or null while none is made.
    static const TBitmap* ExclusivePattern();
    friend void PressAndClickButton(TExSpeedButton* button);

protected:
    void Paint() override;
    void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void MouseMove(TShiftState Shift, int X, int Y) override;
    void DblClick() override;
    void MouseEnter() override;
    void MouseLeave() override;
    void EnabledChanged() override;
    void VisibleChanged() override;
    void FontChanged() override { Invalidate(); }
    void TextChanged() override { Invalidate(); }
    void Notification(TComponent* AComponent, TOperation Operation) override;
    // The frame for the rectangle; returns it shrunk to the content.
    TRect PaintButtonFrame(TCanvas& canvas, TRect rect, bool pressed);
    // Inside for the held button's tests: x from 0 to below the width, y from 0 to the
    // height inclusive.
    bool InsideForDrag(int X, int Y) const;
    void TimerExpired();
    void BroadcastGroup();
    void BuildAhead();

    TExButtonState FState = bsUp;
    bool FDragging = false;
    bool FMouseInControl = false;
    bool FMenuTracking = false;
    // Null once the button is destroyed (handlers check it after calling out).
    std::shared_ptr<bool> FAlive = std::make_shared<bool>(true);

private:
    int FGroupIndex = 0;
    TButtonStyle FStyle = bsAutoDetect;
    std::unique_ptr<TExButtonGlyph> FGlyph;
    TBitmap FDrawImage;
    bool FDown = false;
    bool FFlat = false;
    bool FAllowAllUp = false;
    TButtonLayout FLayout = blGlyphTop;
    int FSpacing = 1;
    int FMargin = -1;
    TModalResult FModalResult = mrNone;
    bool FTransparent = false;
    bool FMarkDropDown = true;
    TPopupMenu* FDropDownMenu = nullptr;
    TExDropDownMenuPos FMenuPosition = dmpBottom;
    bool FGrayedInactive = true;
    std::unique_ptr<TTimer> FRepeatTimer;
    bool FAllowTimer = false;
};

// Shows the button pressed for 20 ms (on the tick count) and clicks it, as a key that
// stands for it would; grouped buttons toggle. Nothing for a disabled button, one
// tracking a menu or one with an automatic drop-down menu.
void PressAndClickButton(TExSpeedButton* button);
