#include "tesk/toolkit/CoolForm.h"

#include "platform/Forms.h"
#include "platform/Regions.h"
#include "platform/Resources.h"

TCoolForm::TCoolForm(TComponent* AOwner) : TImage(AOwner)
{
    SetAlign(alClient);
}

void TCoolForm::SetBounds(int left, int top, int width, int height)
{
    (void)left;
    (void)top;
    TImage::SetBounds(0, 0, width, height);
}

void TCoolForm::SetParent(TWinControl* parent)
{
    TImage::SetParent(parent);
    if (TForm* form = dynamic_cast<TForm*>(parent)) {
        form->SetBorderStyle(bsNone);
        // A region read before the form held the image shapes it now.
        ApplyRegion();
    }
    SetBounds(0, 0, Width(), Height());
}

void TCoolForm::ReadMask2(std::string_view stored)
{
    FMask = {};
    std::optional<std::vector<ResourceRect>> rects = DecodeRegionData(stored);
    if (!rects || rects->empty())
        return;
    FMask.Assigned = true;
    FMask.Rects = std::move(*rects);
    ApplyRegion();
}

std::string TCoolForm::WriteMask2() const
{
    if (!FMask.Assigned)
        return std::string(4, '\0');
    return EncodeRegionData(FMask.Rects);
}

void TCoolForm::ApplyRegion()
{
    if (!FMask.Assigned || (ComponentState() & csDesigning))
        return;
    if (TForm* form = dynamic_cast<TForm*>(Parent()))
        SetWindowRegion(form, FMask.Rects);
}

void TCoolForm::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y)
{
    TImage::MouseDown(Button, Shift, X, Y);
    if (Button != mbLeft || !FDraggable || !Parent())
        return;
    ReleaseCapture();
    Parent()->Perform(WM_SYSCOMMAND, SC_DRAGMOVE, 0);
}

void TCoolForm::PictureChanged()
{
    TImage::PictureChanged();
    // The form keeps the shape it has; only the stored region goes.
    FMask = {};
}
