#include "tesk/widgets/SpeedButtons.h"

#include <algorithm>

#include "platform/Keys.h"
#include "platform/System.h"

namespace {

std::unique_ptr<TGlyphCache>& CacheSlot()
{
    static std::unique_ptr<TGlyphCache> cache;
    return cache;
}

int gButtonCount = 0;
std::unique_ptr<TBitmap>& PatternSlot()
{
    static std::unique_ptr<TBitmap> pattern;
    return pattern;
}

constexpr UINT WM_LBUTTONDOWN_ = 0x0201;
constexpr UINT WM_LBUTTONDBLCLK_ = 0x0203;

void OffsetRect(TRect& r, int dx, int dy)
{
    r.Left += dx;
    r.Right += dx;
    r.Top += dy;
    r.Bottom += dy;
}

void InflateRect(TRect& r, int dx, int dy)
{
    r.Left -= dx;
    r.Right += dx;
    r.Top -= dy;
    r.Bottom += dy;
}

// A copy of a part of a bitmap as a 24-bit bitmap of its own.
TBitmap Section(const TBitmap& strip, int left, int width, int height)
{
    TBitmap part;
    part.SetPixelFormat(pf24bit);
    part.SetSize(width, height);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            part.SetPixelColor(x, y, strip.PixelColor(left + x, y));
    return part;
}

} // namespace

// ---------------------------------------------------------------------------------------
// TGlyphList and TGlyphCache

TGlyphList::TGlyphList(int width, int height) : TImageList(nullptr)
{
    SetWidth(width);
    SetHeight(height);
}

int TGlyphList::TakeSlot()
{
    size_t slot = 0;
    while (slot < FUsed.size() && FUsed[slot])
        ++slot;
    if (slot >= FUsed.size())
        FUsed.resize(slot + 1, false);
    while (Count() <= static_cast<int>(slot))
        Add(nullptr, nullptr);
    FUsed[slot] = true;
    return static_cast<int>(slot);
}

int TGlyphList::AddMaskedToSlot(const TBitmap& bitmap, TColor color)
{
    const int slot = TakeSlot();
    ReplaceMasked(slot, bitmap, color);
    ++FCount;
    return slot;
}

void TGlyphList::FreeSlot(int slot)
{
    if (slot < 0 || static_cast<size_t>(slot) >= FUsed.size() || !FUsed[static_cast<size_t>(slot)])
        return;
    --FCount;
    FUsed[static_cast<size_t>(slot)] = false;
}

TGlyphList* TGlyphCache::GetList(int width, int height)
{
    for (auto it = FLists.rbegin(); it != FLists.rend(); ++it)
        if ((*it)->Width() == width && (*it)->Height() == height)
            return it->get();
    FLists.push_back(std::make_unique<TGlyphList>(width, height));
    return FLists.back().get();
}

void TGlyphCache::ReturnList(TGlyphList* list)
{
    if (!list || list->InUseCount() != 0)
        return;
    auto it = std::find_if(FLists.begin(), FLists.end(), [list](const auto& p) { return p.get() == list; });
    if (it != FLists.end())
        FLists.erase(it);
}

TGlyphCache* GlyphCache() { return CacheSlot().get(); }

// ---------------------------------------------------------------------------------------
// TExButtonGlyph

TExButtonGlyph::TExButtonGlyph()
{
    if (!CacheSlot())
        CacheSlot() = std::make_unique<TGlyphCache>();
}

TExButtonGlyph::~TExButtonGlyph()
{
    try {
        ReleaseImages();
    } catch (...) {
    }
    if (CacheSlot() && CacheSlot()->Empty())
        CacheSlot().reset();
}

void TExButtonGlyph::SetStrip(const TBitmap* bitmap)
{
    ReleaseImages();
    FStrip.Assign(bitmap);
    StripChanged();
}

void TExButtonGlyph::StripChanged()
{
    ReleaseImages();
    if (FStrip.Height() > 0 && FStrip.Width() > 0) {
        FTransparentColor = FStrip.TransparentColor() & ~clPaletteRelative;
        if (FStrip.Width() % FStrip.Height() == 0) {
            const int n = FStrip.Width() / FStrip.Height();
            FNumGlyphs = static_cast<TExNumGlyphs>(n > 5 ? 1 : n);
        }
    }
    if (OnChange)
        OnChange();
}

void TExButtonGlyph::SetNumGlyphs(int value)
{
    value = std::clamp(value, 1, 5);
    if (value == FNumGlyphs)
        return;
    ReleaseImages();
    FNumGlyphs = static_cast<TExNumGlyphs>(value);
    if (OnChange)
        OnChange();
}

void TExButtonGlyph::ReleaseImages()
{
    for (int& index : FIndices) {
        if (index != -1 && FGlyphList)
            FGlyphList->FreeSlot(index);
        index = -1;
    }
    if (FGlyphList) {
        TGlyphList* list = FGlyphList;
        FGlyphList = nullptr;
        if (CacheSlot())
            CacheSlot()->ReturnList(list);
    }
}

TColor TExButtonGlyph::ToGrey(TColor color) const
{
    const TColor c = ColorToRGB(color) & 0xFFFFFF;
    if (c == (ColorToRGB(FTransparentColor) & 0xFFFFFF) || c == ColorToRGB(clBtnFace))
        return c;
    const int l = (77 * GetRValue(c) + 150 * GetGValue(c) + 29 * GetBValue(c)) >> 8;
    return RGB(static_cast<uint8_t>(l), static_cast<uint8_t>(l), static_cast<uint8_t>(l));
}

TPoint TExButtonGlyph::GlyphSize() const
{
    if (FStrip.Empty())
        return {};
    return Point(FStrip.Width() / FNumGlyphs, FStrip.Height());
}

int TExButtonGlyph::BuildStateImage(TExButtonState state)
{
    int s = state;
    if (s == bsDown && FNumGlyphs < 3)
        s = bsUp;
    if (FIndices[static_cast<size_t>(s)] != -1)
        return FIndices[static_cast<size_t>(s)];
    if (FStrip.Empty())
        return -1;
    const int gw = FStrip.Width() / FNumGlyphs;
    const int gh = FStrip.Height();
    if (gw < 1 || gh < 1)
        return -1;
    if (!CacheSlot())
        CacheSlot() = std::make_unique<TGlyphCache>();
    if (!FGlyphList)
        FGlyphList = CacheSlot()->GetList(gw, gh);
    const int section = s < FNumGlyphs ? s : 0;
    TBitmap image = Section(FStrip, section * gw, gw, gh);
    int index = -1;
    if (s == bsDisabled && FNumGlyphs < 2) {
        auto embossed = EmbossBitmap(image, clBlack, clBtnFace, clBtnHighlight, clBtnShadow, true);
        index = FGlyphList->AddMaskedToSlot(*embossed, ColorToRGB(clBtnFace));
    } else if (s == bsInactive && FNumGlyphs < 5) {
        for (int y = 0; y < gh; ++y)
            for (int x = 0; x < gw; ++x)
                image.SetPixelColor(x, y, ToGrey(image.PixelColor(x, y)));
        index = FGlyphList->AddMaskedToSlot(image, ColorToRGB(FTransparentColor));
    } else {
        index = FGlyphList->AddMaskedToSlot(image, ColorToRGB(FTransparentColor));
    }
    FIndices[static_cast<size_t>(s)] = index;
    return index;
}

void TExButtonGlyph::PlaceGlyphAndText(TCanvas& canvas, const TRect& client, std::string& caption,
                                       TButtonLayout layout, int margin, int spacing,
                                       bool dropDownMark, TPoint& glyphPos, TRect& textBounds)
{
    const int w = RectWidth(client);
    const int h = RectHeight(client);
    TPoint g = GlyphSize();
    const int m = margin == -1 ? 0 : margin;
    const int s = spacing == -1 ? 0 : spacing;
    // 1. The room for the caption.
    int roomW = 0;
    int roomH = 0;
    if (layout == blGlyphTop || layout == blGlyphBottom) {
        roomW = w - 2;
        roomH = h - g.Y - 2 - m - s;
    } else {
        roomW = w - g.X - 2 - m - s - (dropDownMark ? 9 : 0);
        roomH = h - 2;
    }
    roomW = std::max(roomW, 0);
    roomH = std::max(roomH, 0);
    // 2. Lines shortened to the room, trailing blanks off, at most 255 characters.
    if (caption.size() > 255)
        caption.resize(255);
    if (!WordWrap) {
        std::string result;
        size_t start = 0;
        for (;;) {
            size_t end = caption.find('\n', start);
            std::string line = caption.substr(start, end == std::string::npos ? std::string::npos : end - start);
            const bool cr = !line.empty() && line.back() == '\r';
            if (cr)
                line.pop_back();
            result += TrimTrailingSpaces(EllipsisText(line, canvas, roomW));
            if (cr)
                result += '\r';
            if (end == std::string::npos)
                break;
            result += '\n';
            start = end + 1;
        }
        caption = result;
        if (caption.size() > 255)
            caption.resize(255);
    }
    // 3. The caption's size.
    TPoint t{};
    if (!caption.empty()) {
        TRect r = Rect(0, 0, roomW, roomH);
        uint32_t flags = DT_CALCRECT | DT_CENTER | (WordWrap ? DT_WORDBREAK : 0);
        flags |= Alignment == taLeftJustify ? DT_LEFT : Alignment == taRightJustify ? DT_RIGHT : DT_CENTER;
        canvas.DrawText(caption, r, flags);
        t = Point(std::min(RectWidth(r), roomW), std::min(RectHeight(r), roomH));
    }
    // 4. The drop-down mark's room.
    bool markOnText = false;
    if (dropDownMark) {
        if (g.X == 0 || layout == blGlyphLeft) {
            t.X += 9;
            markOnText = true;
        } else {
            g.X += 6;
        }
    }
    // 5. Centred across the axis.
    const bool horizontal = layout == blGlyphLeft || layout == blGlyphRight;
    TPoint gp{};
    TPoint tp{};
    if (horizontal) {
        gp.Y = h / 2 - g.Y / 2;
        tp.Y = h / 2 - t.Y / 2;
    } else {
        gp.X = w / 2 - g.X / 2;
        tp.X = w / 2 - t.X / 2;
    }
    // 6. Margin and spacing.
    const int extent = horizontal ? w : h;
    const int gs = horizontal ? g.X : g.Y;
    const int ts = horizontal ? t.X : t.Y;
    int mm = margin;
    int ss = spacing;
    if (t.X == 0 || g.X == 0)
        ss = 0;
    if (mm == -1) {
        if (ss == -1) {
            ss = (extent - gs - ts) / 3;
            mm = ss;
        } else {
            mm = extent / 2 - (ss + gs + ts) / 2;
        }
    } else if (ss == -1) {
        ss = (extent - mm - gs) / 2 - ts / 2;
    }
    // 7. Along the axis.
    int glyphAt = 0;
    int textAt = 0;
    switch (layout) {
    case blGlyphLeft:
    case blGlyphTop:
        glyphAt = mm;
        textAt = mm + gs + ss;
        break;
    case blGlyphRight:
    case blGlyphBottom:
        glyphAt = extent - mm - gs;
        textAt = glyphAt - ss - ts;
        break;
    }
    if (horizontal) {
        gp.X = glyphAt;
        tp.X = textAt;
    } else {
        gp.Y = glyphAt;
        tp.Y = textAt;
    }
    glyphPos = Point(gp.X + client.Left, gp.Y + client.Top);
    const int textWidth = markOnText ? t.X - 9 : t.X;
    textBounds = Rect(tp.X + client.Left, tp.Y + client.Top, tp.X + client.Left + std::max(textWidth, 0),
                      tp.Y + client.Top + t.Y);
}

void TExButtonGlyph::DrawCaption(TCanvas& canvas, TRect rect, const std::string& caption,
                                 TExButtonState state)
{
    if (caption.empty())
        return;
    canvas.Brush.Style = bsClear;
    uint32_t flags = DT_VCENTER | (WordWrap ? DT_WORDBREAK : 0);
    flags |= Alignment == taLeftJustify ? DT_LEFT : Alignment == taRightJustify ? DT_RIGHT : DT_CENTER;
    const TColor fontColor = canvas.Font.Color;
    if (state == bsDisabled) {
        TRect shifted = rect;
        OffsetRect(shifted, 1, 1);
        canvas.Font.Color = clWhite;
        canvas.DrawText(caption, shifted, flags);
        canvas.Font.Color = RGB(128, 128, 128);
        canvas.DrawText(caption, rect, flags);
    } else {
        canvas.DrawText(caption, rect, flags);
    }
    canvas.Font.Color = fontColor;
    canvas.Brush.Style = bsSolid;
}

TRect TExButtonGlyph::PaintGlyphAndText(TCanvas& canvas, const TRect& client, const std::string& caption,
                                        TButtonLayout layout, int margin, int spacing,
                                        TExButtonState state, bool dropDownMark)
{
    std::string text = caption;
    TPoint glyphPos{};
    TRect textBounds{};
    PlaceGlyphAndText(canvas, client, text, layout, margin, spacing, dropDownMark, glyphPos, textBounds);
    const TPoint g = GlyphSize();
    const int index = BuildStateImage(state);
    if (index != -1 && FGlyphList)
        FGlyphList->Draw(canvas, glyphPos.X, glyphPos.Y, index);
    DrawCaption(canvas, textBounds, text, state);
    if (dropDownMark) {
        int x = 0;
        int y = 0;
        if (layout != blGlyphLeft && g.X > 0) {
            x = glyphPos.X + g.X + 1;
            y = glyphPos.Y + g.Y / 2;
        } else {
            x = text.empty() ? (client.Left + client.Right - 7) / 2 : textBounds.Right + 3;
            y = (textBounds.Top + textBounds.Bottom) / 2;
        }
        auto triangle = [&](int ox, int oy, TColor color) {
            canvas.Pen.Color = color;
            for (int row = 0; row < 4; ++row) {
                canvas.MoveTo(ox + row, oy - 1 + row);
                canvas.LineTo(ox + 7 - row, oy - 1 + row);
            }
        };
        if (state == bsDisabled) {
            triangle(x + 1, y + 1, clBtnHighlight);
            triangle(x, y, clBtnShadow);
        } else {
            triangle(x, y, clBtnText);
        }
    }
    return textBounds;
}

// ---------------------------------------------------------------------------------------
// TExSpeedButton

TExSpeedButton::TExSpeedButton(TComponent* AOwner) : TGraphicControl(AOwner)
{
    InitWidgetLibrary();
    ++gButtonCount;
    FGlyph = std::make_unique<TExButtonGlyph>();
    FGlyph->OnChange = [this] { Invalidate(); };
    SetBounds(Left(), Top(), 25, 25);
    ControlStyle = csCaptureMouse | csOpaque | csDoubleClicks | csReplicatable;
    SetParentFont(true);
    SetParentShowHint(false);
    SetShowHint(true);
}

TExSpeedButton::~TExSpeedButton()
{
    *FAlive = false;
    FRepeatTimer.reset();
    if (FDropDownMenu)
        FDropDownMenu->RemoveFreeNotification(this);
    FGlyph.reset();
    if (--gButtonCount == 0)
        PatternSlot().reset();
}

int TExSpeedButton::LiveCount() { return gButtonCount; }
const TBitmap* TExSpeedButton::ExclusivePattern() { return PatternSlot().get(); }

void TExSpeedButton::SetGroupIndex(int value)
{
    if (value == FGroupIndex)
        return;
    FGroupIndex = value;
    BroadcastGroup();
}

void TExSpeedButton::SetAllowAllUp(bool value)
{
    if (value == FAllowAllUp)
        return;
    FAllowAllUp = value;
    BroadcastGroup();
}

void TExSpeedButton::SetStyle(TButtonStyle value)
{
    if (value == FStyle)
        return;
    FStyle = value;
    Invalidate();
}

void TExSpeedButton::SetGlyph(const TBitmap* bitmap)
{
    FGlyph->ReleaseImages();
    FGlyph->SetStrip(bitmap);
    Invalidate();
}

void TExSpeedButton::SetNumGlyphs(int value)
{
    if (value > 5)
        value = 5;
    if (value == FGlyph->NumGlyphs())
        return;
    FGlyph->SetNumGlyphs(value);
    Invalidate();
}

void TExSpeedButton::SetAlignment(TAlignment value)
{
    if (value == FGlyph->Alignment)
        return;
    FGlyph->Alignment = value;
    Invalidate();
}

void TExSpeedButton::SetWordWrap(bool value)
{
    if (value == FGlyph->WordWrap)
        return;
    FGlyph->WordWrap = value;
    Invalidate();
}

void TExSpeedButton::SetDown(bool value)
{
    if (FGroupIndex == 0)
        value = false;
    if (value == FDown || (FDown && !FAllowAllUp))
        return;
    FDown = value;
    if (value) {
        if (FState == bsUp)
            Invalidate();
        FState = bsExclusive;
        BroadcastGroup();
    } else {
        FState = bsUp;
        Repaint();
    }
}

void TExSpeedButton::SetFlat(bool value)
{
    if (value == FFlat)
        return;
    FFlat = value;
    Invalidate();
}

void TExSpeedButton::SetLayout(TButtonLayout value)
{
    if (value == FLayout)
        return;
    FLayout = value;
    Invalidate();
}

void TExSpeedButton::SetSpacing(int value)
{
    if (value == FSpacing)
        return;
    FSpacing = value;
    Invalidate();
}

void TExSpeedButton::SetMargin(int value)
{
    if (value == FMargin || value < -1)
        return;
    FMargin = value;
    Invalidate();
}

void TExSpeedButton::SetTransparent(bool value)
{
    if (value == FTransparent)
        return;
    FTransparent = value;
    Invalidate();
}

void TExSpeedButton::SetMarkDropDown(bool value)
{
    if (value == FMarkDropDown)
        return;
    FMarkDropDown = value;
    Invalidate();
}

void TExSpeedButton::SetDropDownMenu(TPopupMenu* menu)
{
    if (FDropDownMenu && FDropDownMenu != menu)
        FDropDownMenu->RemoveFreeNotification(this);
    FDropDownMenu = menu;
    if (menu)
        menu->FreeNotification(this);
    if (FMarkDropDown)
        Invalidate();
}

void TExSpeedButton::SetMenuPosition(TExDropDownMenuPos value)
{
    if (value == FMenuPosition)
        return;
    FMenuPosition = value;
    Invalidate();
}

void TExSpeedButton::SetGrayedInactive(bool value)
{
    if (value == FGrayedInactive)
        return;
    FGrayedInactive = value;
    Invalidate();
}

void TExSpeedButton::SetAllowTimer(bool value)
{
    if (value == FAllowTimer)
        return;
    FAllowTimer = value;
    if (!value)
        FRepeatTimer.reset();
}

void TExSpeedButton::Notification(TComponent* AComponent, TOperation Operation)
{
    TGraphicControl::Notification(AComponent, Operation);
    if (Operation == opRemove && AComponent == FDropDownMenu) {
        FDropDownMenu = nullptr;
        if (FMarkDropDown)
            Invalidate();
    }
}

void TExSpeedButton::BroadcastGroup()
{
    if (!Parent() || FGroupIndex == 0)
        return;
    TWinControl* parent = Parent();
    for (int i = 0; i < parent->ControlCount(); ++i)
        if (auto* other = dynamic_cast<TExSpeedButton*>(parent->Controls(i)))
            other->ButtonPressed(FGroupIndex, this);
}

void TExSpeedButton::ButtonPressed(int group, TExSpeedButton* sender)
{
    if (group != FGroupIndex || sender == this || !sender)
        return;
    if (sender->Down() && FDown) {
        FDown = false;
        FState = bsUp;
        Repaint();
    }
    FAllowAllUp = sender->AllowAllUp();
}

void TExSpeedButton::Click()
{
    auto alive = FAlive;
    if (TForm* form = ParentForm())
        form->SetModalResult(FModalResult);
    if (!*alive)
        return;
    TGraphicControl::Click();
}

bool TExSpeedButton::DialogChar(char Key, TShiftState Shift)
{
    (void)Shift;
    if (IsAccel(Key, Caption()) && Enabled() && Visible()) {
        Click();
        return true;
    }
    return false;
}

void TExSpeedButton::DblClick()
{
    if (FMenuTracking)
        return;
    if (FDown)
        TGraphicControl::DblClick();
}

TPoint TExSpeedButton::DropDownPosition() const
{
    const TPopupAlignment alignment = FDropDownMenu ? FDropDownMenu->Alignment() : paLeft;
    if (FMenuPosition == dmpBottom) {
        switch (alignment) {
        case paLeft: return Point(-1, Height());
        case paRight: return Point(Width() + 1, Height());
        case paCenter: return Point(Width() / 2, Height());
        }
    } else {
        switch (alignment) {
        case paLeft: return Point(Width(), -1);
        case paRight: return Point(-1, -1);
        case paCenter: return Point(Width() / 2, Height());
        }
    }
    return {};
}

bool TExSpeedButton::CheckBtnMenuDropDown()
{
    if (!FDropDownMenu || !FDropDownMenu->AutoPopup())
        return false;
    TPopupMenu* menu = FDropDownMenu;
    if (TForm* form = ParentForm())
        form->SendCancelMode(nullptr);
    menu->SetPopupComponent(this);
    const TPoint at = ClientToScreen(DropDownPosition());
    menu->Popup(at.X, at.Y);
    return true;
}

bool TExSpeedButton::InsideForDrag(int X, int Y) const
{
    return X >= 0 && X < ClientWidth() && Y >= 0 && Y <= ClientHeight();
}

void TExSpeedButton::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y)
{
    if (FMenuTracking)
        return;
    auto alive = FAlive;
    TGraphicControl::MouseDown(Button, Shift, X, Y);
    if (!*alive)
        return;
    if (Enabled() && !FMouseInControl) {
        FMouseInControl = true;
        Repaint();
    }
    if (Button == mbRight) {
        UpdateTracking();
        return;
    }
    const bool plain = !Shift.Contains(ssShift) && !Shift.Contains(ssCtrl) && !Shift.Contains(ssAlt) &&
                       !Shift.Contains(ssDouble);
    if (Button != mbLeft || !plain || !Enabled())
        return;
    if (!FDown) {
        FState = bsDown;
        Repaint();
    }
    FDragging = true;
    FMenuTracking = true;
    bool dropped = false;
    try {
        dropped = CheckBtnMenuDropDown();
    } catch (...) {
        if (*alive)
            FMenuTracking = false;
        throw;
    }
    if (!*alive)
        return;
    if (dropped) {
        MouseUp(Button, Shift, X, Y);
        if (!*alive)
            return;
        if (Parent() && Parent()->HandleAllocated()) {
            DiscardPendingMessage(Parent()->Handle(), WM_LBUTTONDOWN_);
            DiscardPendingMessage(Parent()->Handle(), WM_LBUTTONDBLCLK_);
        }
    }
    FMenuTracking = false;
    if (FAllowTimer && FDragging) {
        if (!FRepeatTimer) {
            FRepeatTimer = std::make_unique<TTimer>(nullptr);
            FRepeatTimer->SetEnabled(false);
            FRepeatTimer->OnTimer = [this](TObject*) { TimerExpired(); };
        }
        FRepeatTimer->SetInterval(InitPause);
        FRepeatTimer->SetEnabled(true);
    }
}

void TExSpeedButton::MouseMove(TShiftState Shift, int X, int Y)
{
    auto alive = FAlive;
    TGraphicControl::MouseMove(Shift, X, Y);
    if (!*alive || !FDragging)
        return;
    TExButtonState next = FDown ? bsExclusive : bsUp;
    if (InsideForDrag(X, Y))
        next = FDown ? bsExclusive : bsDown;
    if (next != FState) {
        FState = next;
        Repaint();
    }
}

void TExSpeedButton::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y)
{
    auto alive = FAlive;
    TGraphicControl::MouseUp(Button, Shift, X, Y);
    if (!*alive)
        return;
    if (Button == mbRight) {
        UpdateTracking();
        return;
    }
    if (Button != mbLeft || !FDragging)
        return;
    FDragging = false;
    const bool inside = InsideForDrag(X, Y);
    const bool wasInControl = FMouseInControl;
    if (FGroupIndex == 0) {
        FState = bsUp;
        FMouseInControl = false;
        if (inside)
            Repaint();
        else
            Invalidate();
    } else if (inside) {
        SetDown(!FDown);
        if (FDown)
            Repaint();
    } else {
        if (FDown)
            FState = bsExclusive;
        Repaint();
    }
    if (inside && !FMenuTracking) {
        struct StopTimer {
            TExSpeedButton* self;
            std::shared_ptr<bool> alive;
            ~StopTimer()
            {
                if (*alive && self->FRepeatTimer)
                    self->FRepeatTimer->SetEnabled(false);
            }
        } stop{this, alive};
        Click();
        if (!*alive)
            return;
    }
    // A leave held back while the button was held is told now.
    if (wasInControl && !FMouseInControl)
        FMouseInControl = true;
    UpdateTracking();
    if (FRepeatTimer)
        FRepeatTimer->SetEnabled(false);
}

void TExSpeedButton::TimerExpired()
{
    if (!FRepeatTimer)
        return;
    FRepeatTimer->SetInterval(RepeatInterval);
    if (FState == bsDown && MouseCapture()) {
        auto alive = FAlive;
        try {
            Click();
        } catch (...) {
            if (*alive && FRepeatTimer)
                FRepeatTimer->SetEnabled(false);
            throw;
        }
    }
}

void TExSpeedButton::MouseEnter()
{
    if (!Enabled() || FMouseInControl || !ThreadOwnsActiveWindow())
        return;
    FMouseInControl = true;
    if (FFlat)
        Repaint();
    TGraphicControl::MouseEnter();
}

void TExSpeedButton::MouseLeave()
{
    if (!FMouseInControl || !Enabled() || FDragging)
        return;
    FMouseInControl = false;
    if (FFlat)
        Invalidate();
    TGraphicControl::MouseLeave();
}

void TExSpeedButton::UpdateTracking()
{
    if (!Enabled())
        return;
    const bool over = FindControlAtPos(GetCursorPos(), false) == this && ThreadOwnsActiveWindow();
    if (over && !FMouseInControl)
        MouseEnter();
    else if (!over && FMouseInControl)
        MouseLeave();
}

void TExSpeedButton::BuildAhead()
{
    const TExButtonState state = Enabled() ? (FFlat ? bsInactive : bsUp) : bsDisabled;
    FGlyph->BuildStateImage(state);
}

void TExSpeedButton::EnabledChanged()
{
    BuildAhead();
    UpdateTracking();
    Repaint();
}

void TExSpeedButton::VisibleChanged()
{
    TGraphicControl::VisibleChanged();
    if (Visible())
        UpdateTracking();
}

void TExSpeedButton::Loaded()
{
    TGraphicControl::Loaded();
    BuildAhead();
    Invalidate();
}

void TExSpeedButton::SysColorChange()
{
    FGlyph->ReleaseImages();
    Invalidate();
}

TRect TExSpeedButton::PaintButtonFrame(TCanvas& canvas, TRect rect, bool pressed)
{
    const bool newLook = FStyle == bsNew || (FStyle == bsAutoDetect && NewStyleControls);
    if (!pressed) {
        if (newLook) {
            if (!FFlat) {
                canvas.Frame3D(rect, clBtnHighlight, clWindowFrame, 1);
                canvas.Frame3D(rect, clBtnFace, clBtnShadow, 1);
            } else {
                canvas.Frame3D(rect, clBtnHighlight, clBtnShadow, 1);
            }
        } else if (!FFlat) {
            canvas.Frame3D(rect, clWindowFrame, clWindowFrame, 1);
            canvas.Frame3D(rect, clBtnHighlight, clBtnShadow, 1);
        } else {
            canvas.Frame3D(rect, clBtnHighlight, clWindowFrame, 1);
        }
    } else if (newLook) {
        canvas.Frame3D(rect, clWindowFrame, clBtnHighlight, 1);
        if (!FFlat)
            canvas.Frame3D(rect, clBtnShadow, clBtnFace, 1);
    } else if (!FFlat) {
        canvas.Frame3D(rect, clWindowFrame, clWindowFrame, 1);
        canvas.Pen.Color = clBtnShadow;
        canvas.MoveTo(rect.Left, rect.Bottom - 1);
        canvas.LineTo(rect.Left, rect.Top);
        canvas.LineTo(rect.Right, rect.Top);
    } else {
        canvas.Frame3D(rect, clWindowFrame, clBtnHighlight, 1);
    }
    InflateRect(rect, -1, -1);
    return rect;
}

void TExSpeedButton::Paint()
{
    // 1. The state follows Enabled.
    if (!Enabled()) {
        FState = bsDisabled;
        FDragging = false;
    } else if (FState == bsDisabled) {
        FState = FDown && FGroupIndex != 0 ? bsExclusive : bsUp;
    }
    // 2. A flat button without the pointer is inactive.
    TExButtonState paintState = FState;
    if (FFlat && !FMouseInControl)
        paintState = bsInactive;
    // 3. The off-screen image.
    const int w = std::max(Width(), 0);
    const int h = std::max(Height(), 0);
    if (w == 0 || h == 0)
        return;
    FDrawImage.SetPixelFormat(pf32bit);
    FDrawImage.SetSize(w, h);
    TCanvas& canvas = FDrawImage.Canvas();
    canvas.Font = Font();
    canvas.Brush.Bitmap = nullptr;
    canvas.Brush.Style = bsSolid;
    canvas.Brush.Color = clBtnFace;
    TRect rect = Rect(0, 0, w, h);
    canvas.FillRect(rect);
    if (FTransparent)
        PaintParentBackground(this, canvas);
    // 4. The frame.
    if (paintState != bsInactive || FState == bsExclusive)
        rect = PaintButtonFrame(canvas, rect, FState == bsDown || FState == bsExclusive);
    else if (FFlat)
        InflateRect(rect, -2, -2);
    // 5. The latched pattern.
    if (FState == bsExclusive && !FFlat) {
        if (!PatternSlot())
            PatternSlot() = MakeCheckerPattern(clBtnFace, clBtnHighlight);
        TRect fill = rect;
        InflateRect(fill, 1, 1);
        canvas.Brush.Bitmap = PatternSlot().get();
        canvas.FillRect(fill);
        canvas.Brush.Bitmap = nullptr;
    }
    // 6. Pressed content moves by one pixel.
    if (FState == bsDown || FState == bsExclusive)
        OffsetRect(rect, 1, 1);
    // 7. The glyph's state.
    TExButtonState glyphState = FState;
    if (FState != bsDisabled && FGrayedInactive)
        glyphState = paintState;
    // 8. Glyph, caption and mark, then onto the button.
    FGlyph->PaintGlyphAndText(canvas, rect, Caption(), FLayout, FMargin, FSpacing, glyphState,
                              FMarkDropDown && FDropDownMenu != nullptr);
    Canvas().Draw(0, 0, FDrawImage);
}

// ---------------------------------------------------------------------------------------

void PressAndClickButton(TExSpeedButton* button)
{
    if (!button || !button->Enabled() || button->MenuTracking() ||
        (button->DropDownMenu() && button->DropDownMenu()->AutoPopup()))
        return;
    auto alive = button->FAlive;
    if (!button->Down()) {
        button->FState = bsDown;
        button->Repaint();
    }
    const uint32_t start = GetTickCount();
    for (;;) {
        const uint32_t now = GetTickCount();
        if (now < start || now - start >= 20)
            break;
    }
    auto finish = [&] {
        if (!*alive)
            return;
        button->FState = bsUp;
        if (button->GroupIndex() != 0) {
            button->SetDown(!button->Down());
            if (*alive)
                button->Click();
        } else {
            button->Repaint();
        }
    };
    if (button->GroupIndex() == 0) {
        try {
            button->Click();
        } catch (...) {
            finish();
            throw;
        }
    }
    finish();
}
