#pragma once
// Pop-up windows: a control of its own top-level window that belongs to another control.
//
// The window is frameless, stays on top, has no task-bar entry and is never activated nor
// given the keyboard focus: the owner's form stays the active window and its focused
// control keeps the keys. It has a one-pixel frame in the window-frame colour around its
// client area (2 pixels narrower and lower than Width x Height). Its controls take clicks
// (never the focus). A press inside it gives the owner form's cancel mode the control
// pressed; a press on any other control of the program gives it that control first, and
// the program losing activation or the owner's form being moved, hidden or closed gives
// it null. The window never closes by itself: its owner decides.
#include <algorithm>
#include <memory>
#include <vector>

#include "platform/Controls.h"

struct TPopupControlPrivate;

class TPopupControl : public TCustomControl {
public:
    // The owner also owns the pop-up.
    explicit TPopupControl(TWinControl* owner);
    ~TPopupControl() override;

    TWinControl* PopupOwner() const { return FPopupOwner; }
    // Shows the window with its top-left corner at a screen point, not activated.
    void ShowAt(int screenX, int screenY);
    void Hide();

    int ClientWidth() const override { return std::max(0, Width() - 2); }
    int ClientHeight() const override { return std::max(0, Height() - 2); }
    TPoint ClientToScreen(TPoint p) const override { return Point(p.X + Left() + 1, p.Y + Top() + 1); }
    TPopupControl* AsPopup() override { return this; }
    // The form whose cancel mode the pop-up's presses send.
    TForm* OwnerForm() const;

protected:
    void UpdateBounds() override;
    void VisibleChanged() override;

private:
    TWinControl* FPopupOwner = nullptr;
    std::unique_ptr<TPopupControlPrivate> FPopup;
};

// Every pop-up window now shown (for the platform layer: presses elsewhere cancel the
// owners' modes).
std::vector<TPopupControl*> VisiblePopups();
