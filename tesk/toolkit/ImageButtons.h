#pragma once
// A push button drawn from pictures: one per state (up or down, each plain, focused,
// under the mouse or disabled). A state without its own picture falls back to the
// plainer one, and with no picture at all the button draws a standard push button.
#include "platform/StdCtrls.h"

class TMultiImageButton : public TButton {
public:
    explicit TMultiImageButton(TComponent* AOwner);

    // The pictures are owned copies; setting one re-sizes the button (AutoSize) and
    // redraws it.
    TPicture& DefaultUpImage() { return FDefaultUp; }
    TPicture& DefaultDownImage() { return FDefaultDown; }
    TPicture& HasFocusUpImage() { return FFocusUp; }
    TPicture& HasFocusDownImage() { return FFocusDown; }
    TPicture& MouseOverUpImage() { return FOverUp; }
    TPicture& MouseOverDownImage() { return FOverDown; }
    TPicture& DisabledUpImage() { return FDisabledUp; }
    TPicture& DisabledDownImage() { return FDisabledDown; }
    void SetDefaultUpImage(const TPicture* p) { FDefaultUp.Assign(p); }
    void SetDefaultDownImage(const TPicture* p) { FDefaultDown.Assign(p); }
    void SetHasFocusUpImage(const TPicture* p) { FFocusUp.Assign(p); }
    void SetHasFocusDownImage(const TPicture* p) { FFocusDown.Assign(p); }
    void SetMouseOverUpImage(const TPicture* p) { FOverUp.Assign(p); }
    void SetMouseOverDownImage(const TPicture* p) { FOverDown.Assign(p); }
    void SetDisabledUpImage(const TPicture* p) { FDisabledUp.Assign(p); }
    void SetDisabledDownImage(const TPicture* p) { FDisabledDown.Assign(p); }

    // With AutoSize the button takes DefaultUpImage's size (when it has one).
    bool AutoSize() const { return FAutoSize; }
    void SetAutoSize(bool on);
    bool MouseOver() const { return FMouseOver; }

    // The picture drawn in a state, or nullptr for the standard button look.
    const TGraphic* ImageFor(TOwnerDrawState state) const;

protected:
    void DrawButton(TCanvas& canvas, TOwnerDrawState state) override;
    void MouseEnter() override;
    void MouseLeave() override;

private:
    void PictureChanged();
    TPicture FDefaultUp;
    TPicture FDefaultDown;
    TPicture FFocusUp;
    TPicture FFocusDown;
    TPicture FOverUp;
    TPicture FOverDown;
    TPicture FDisabledUp;
    TPicture FDisabledDown;
    bool FAutoSize = true;
    bool FMouseOver = false;
};
