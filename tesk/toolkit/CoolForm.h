#pragma once
// An image that fills its form, shapes the form's window to a stored region and drags
// the whole form when pressed: the face of a borderless dialog.
#include <string>
#include <string_view>
#include <vector>

#include "platform/ExtCtrls.h"
#include "platform/Messages.h"

// A region: its rectangles (client coordinates of the form) when one is held.
struct TRegionType {
    bool Assigned = false;
    std::vector<TRect> Rects;
};

class TCoolForm : public TImage {
public:
    explicit TCoolForm(TComponent* AOwner);

    // Stays at 0, 0 whatever is asked; width and height pass through.
    void SetBounds(int left, int top, int width, int height) override;
    void SetParent(TWinControl* parent) override;

    bool Draggable() const { return FDraggable; }
    void SetDraggable(bool on) { FDraggable = on; }
    const TRegionType& Mask() const { return FMask; }

    // The stored "Mask2" property: an int32 byte count and that many bytes of region
    // data. A count of 0 means no region. Reading applies the region to the parent
    // form (outside design mode). Malformed data counts as no region: the form keeps
    // its rectangular shape.
    void ReadMask2(std::string_view stored);
    std::string WriteMask2() const;

protected:
    void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void PictureChanged() override;

private:
    void ApplyRegion();
    TRegionType FMask;
    bool FDraggable = true;
};
