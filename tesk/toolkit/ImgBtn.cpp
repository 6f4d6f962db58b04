#include "tesk/toolkit/ImgBtn.h"

TImgBtn::TImgBtn(TComponent* AOwner) : TImage(AOwner) {}

void TImgBtn::SetPic(const TPicture* picture)
{
    FPic.Assign(picture);
    ShowPicture(FPic);
}

void TImgBtn::MouseEnter()
{
    if (!FSupported)
        return;
    FInside = true;
    ShowPicture(FDown ? FPicDown : FPicUp);
    TImage::MouseEnter();
}

void TImgBtn::MouseLeave()
{
    if (!FSupported)
        return;
    FInside = false;
    ShowPicture(FPic);
    TImage::MouseLeave();
}

void TImgBtn::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y)
{
    if (!FSupported || Button != mbLeft) {
        TImage::MouseDown(Button, Shift, X, Y);
        return;
    }
    // The second press of a double click looks like any press.
    FDown = true;
    if (FInside)
        ShowPicture(FPicDown);
    TImage::MouseDown(Button, Shift, X, Y);
    Repaint();
}

void TImgBtn::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y)
{
    if (FSupported && Button == mbLeft) {
        FDown = false;
        if (FInside)
            ShowPicture(FPicUp);
    }
    TImage::MouseUp(Button, Shift, X, Y);
}
