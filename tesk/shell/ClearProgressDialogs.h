#pragma once
// The clear-progress confirmation: a shaped, borderless window drawn with the menu font,
// offering "CLEAR PROGRESS" and "LEAVE IT ALONE!" with the slab menus' glow ramp. Its
// modal result is 1 (clear the progress) or 2 (leave it). The choice is kept between
// showings.
#include <array>
#include <cstdint>
#include <memory>

#include "platform/ExtCtrls.h"
#include "platform/Forms.h"
#include "tesk/toolkit/CoolForm.h"
#include "tesk/toolkit/Dib16.h"
#include "tesk/toolkit/MMTimer.h"

constexpr TModalResult mrClearProgress = 1;
constexpr TModalResult mrLeaveProgress = 2;

class TClearProgressDialog : public TForm {
public:
    TClearProgressDialog();
    ~TClearProgressDialog() override;

    TCoolForm* CoolForm1 = nullptr;
    TPaintBox* PaintBox = nullptr;
    TMMTimer* MMTimer1 = nullptr;

    std::unique_ptr<tDib16> Picture;
    std::unique_ptr<tDib16> WorkDib;
    std::array<float, 2> ChoiceGlow{};
    uint8_t Choice = 0;

    void FormShow(TObject* Sender);
    void FormClose(TObject* Sender, TCloseAction& Action);
    void PaintBoxPaint(TObject* Sender);
    void MMTimer1Timer(TObject* Sender, int32_t Ticks);
    void FormKeyDown(TObject* Sender, WORD& Key, TShiftState Shift);
    void PaintBoxMouseMove(TObject* Sender, TShiftState Shift, int X, int Y);
    void PaintBoxMouseDown(TObject* Sender, TMouseButton Button, TShiftState Shift, int X, int Y);
    void Render();
};

extern TClearProgressDialog* ClearProgressDialog;

// The choice band under a point of the dialog: 0 "CLEAR PROGRESS", 1 "LEAVE IT ALONE!",
// -1 neither.
int ClearProgressBandAt(int X, int Y);
