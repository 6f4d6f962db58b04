#pragma once
// The information pop-up: a borderless window that zooms a sign's picture with its
// caption out of an anchor point, shown modally from inside the turn of an information
// sign. It grows to the picture's size over 25 timer ticks, then fades its caption in,
// and closes on a key or a click once it has been up for more than 40 ticks.
#include <functional>
#include <memory>
#include <string>

#include "platform/ExtCtrls.h"
#include "platform/Forms.h"
#include "tesk/toolkit/Dib16.h"
#include "tesk/toolkit/MMTimer.h"

// Where a picture of width x height shown round the anchor comes to lie: centred on it,
// then moved inside the frame rectangle (left, top, width, height, in screen
// coordinates): up to its left and top edges, then in from its right and bottom edges,
// which win for a picture larger than the frame. Returned as Bounds(left, top, w, h).
TRect PopUpTargetRect(TPoint anchor, int32_t width, int32_t height, const TRect& frameBounds);
// The window's bounds after `elapsed` of `growTicks` ticks of the zoom from the anchor to
// the target: t = elapsed / growTicks in single precision, each coordinate rounded half
// to even. Returned as Bounds(left, top, w, h).
TRect PopUpGrowBounds(TPoint anchor, const TRect& target, int32_t elapsed, int32_t growTicks);

class TPopUp : public TForm {
public:
    TPopUp();
    ~TPopUp() override;

    // Shows the picture with the caption, zooming from the anchor (screen coordinates),
    // and returns when it is closed; the main window then gets the focus back. A picture
    // that cannot be loaded shows nothing: the error goes to standard error. With
    // PopUpShowHook set, calls the hook instead.
    void ShowPopUp(const std::string& imageName, TPoint anchor, const std::string& caption);
    // Loads the picture (when none is loaded) and makes WorkDib of its size.
    void LoadImage(const std::string& name);
    // Draws the picture and the caption into WorkDib and shows it stretched over the
    // window (nothing without a picture).
    void Render();
    // True from the start of ShowPopUp until it returns.
    bool PoppedUp() const { return FPoppedUp; }

    // Components.
    TPaintBox* BackGround = nullptr;
    TMMTimer* MMTimer1 = nullptr;

    // Handlers.
    void FormCreate(TObject* Sender);
    void FormShow(TObject* Sender);
    void MMTimer1Timer(TObject* Sender, int32_t Ticks);
    void FormKeyDown(TObject* Sender, WORD& Key, TShiftState Shift);
    void BackGroundClick(TObject* Sender);
    void FormClose(TObject* Sender, TCloseAction& Action);

    std::unique_ptr<tDib16> Picture;  // nullptr between showings
    std::unique_ptr<tDib16> WorkDib;  // the picture with its caption
    float CaptionFade = 0;
    std::string PopUpCaption;
    int32_t Elapsed = 0;
    int32_t GrowTicks = 0;
    bool Growing = false;
    int32_t AnchorX = 0;
    int32_t AnchorY = 0;
    int32_t TargetTop = 0;
    int32_t TargetLeft = 0;
    int32_t TargetWidth = 0;
    int32_t TargetHeight = 0;

private:
    // Stretches WorkDib over the paint box.
    void PaintBackGround();
    void CloseWhenDone();
    void FreePictures();
    bool FPoppedUp = false;
};

// The one pop-up (created by the main window at start-up).
extern TPopUp* PopUp;

// Tests: when set, ShowPopUp calls it in place of showing the window.
extern std::function<void(const std::string& imageName, TPoint anchor, const std::string& caption)> PopUpShowHook;
