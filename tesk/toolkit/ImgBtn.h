#pragma once
// A picture button: an image that shows one picture at rest (Pic), another while the
// pointer is over it (PicUp) and a third while it is pressed with the pointer over it
// (PicDown).
#include "platform/ExtCtrls.h"

class TImgBtn : public TImage {
public:
    explicit TImgBtn(TComponent* AOwner);

    // Shows the picture and keeps a copy of it as the resting picture.
    const TPicture& Pic() const { return FPic; }
    void SetPic(const TPicture* picture);
    // Only keep copies; they show on entry and press.
    const TPicture& PicUp() const { return FPicUp; }
    void SetPicUp(const TPicture* picture) { FPicUp.Assign(picture); }
    const TPicture& PicDown() const { return FPicDown; }
    void SetPicDown(const TPicture* picture) { FPicDown.Assign(picture); }
    // Without Supported the button ignores the mouse (and fires no enter or leave).
    bool Supported() const { return FSupported; }
    void SetSupported(bool on) { FSupported = on; }

protected:
    void MouseEnter() override;
    void MouseLeave() override;
    void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;

private:
    void ShowPicture(const TPicture& picture) { Picture().Assign(&picture); }
    TPicture FPic;
    TPicture FPicUp;
    TPicture FPicDown;
    bool FSupported = true;
    bool FInside = false;
    bool FDown = false;
};
