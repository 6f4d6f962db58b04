#include "tesk/shell/ClearProgressDialogs.h"

#include <algorithm>
#include <cmath>

#include "platform/Resources.h"
#include "tesk/game/Fonts.h"
#include "tesk/game/SlabDialogs.h"
#include "tesk/shell/Unit1.h"
#include "tesk/toolkit/Misc.h"

TClearProgressDialog* ClearProgressDialog = nullptr;

namespace {
constexpr int DesignWidth = 402;
constexpr int DesignHeight = 304;
int32_t GlowOf(float level)
{
    return static_cast<int32_t>(std::nearbyint(level * 29.0f));
}
} // namespace

int ClearProgressBandAt(int X, int Y)
{
    if (X < 61 || X > 342)
        return -1;
    if (Y >= 196 && Y <= 229)
        return 0;
    if (Y >= 236 && Y <= 269)
        return 1;
    return -1;
}

TClearProgressDialog::TClearProgressDialog()
{
    SetBorderStyle(bsNone);
    SetFormStyle(fsStayOnTop);
    SetKeyPreview(true);
    SetClientWidth(DesignWidth);
    SetClientHeight(DesignHeight);

    CoolForm1 = PlaceControl<TCoolForm>(this, 0, 0, DesignWidth, DesignHeight);
    CoolForm1->SetAlign(alClient);
    if (auto mask = FindResource("TClearProgressDialog.CoolForm1.Mask2", "RCDATA"))
        CoolForm1->ReadMask2(*mask);

    PaintBox = PlaceControl<TPaintBox>(this, 0, 0, DesignWidth, DesignHeight);
    PaintBox->SetAlign(alClient);
    PaintBox->OnPaint = [this](TObject* s) { PaintBoxPaint(s); };
    PaintBox->OnMouseMove = [this](TObject* s, TShiftState sh, int x, int y) { PaintBoxMouseMove(s, sh, x, y); };
    PaintBox->OnMouseDown = [this](TObject* s, TMouseButton b, TShiftState sh, int x, int y) {
        PaintBoxMouseDown(s, b, sh, x, y);
    };

    MMTimer1 = new TMMTimer(this);
    MMTimer1->SetEnabled(false);
    MMTimer1->SetInterval(20);
    MMTimer1->SetResolution(1);
    MMTimer1->OnTimer = [this](TObject* s, int32_t ticks) { MMTimer1Timer(s, ticks); };

    OnShow = [this](TObject* s) { FormShow(s); };
    OnClose = [this](TObject* s, TCloseAction& a) { FormClose(s, a); };
    OnKeyDown = [this](TObject* s, WORD& key, TShiftState sh) { FormKeyDown(s, key, sh); };
}

TClearProgressDialog::~TClearProgressDialog() = default;

void TClearProgressDialog::FormShow(TObject*)
{
    if (!Picture) {
        try {
            Picture = tDib16::CreateFromFile("Popup_ConfirmCP.jpg");
        } catch (const Exception& e) {
            // Without its picture the dialog draws nothing but still answers.
            ReportProblem(e.Message());
        }
    }
    if (Picture && !WorkDib)
        WorkDib = std::make_unique<tDib16>(Picture->Width, Picture->Height);
    MMTimer1->SetEnabled(true);
}

void TClearProgressDialog::FormClose(TObject*, TCloseAction&)
{
    MMTimer1->SetEnabled(false);
    Picture.reset();
    WorkDib.reset();
}

void TClearProgressDialog::PaintBoxPaint(TObject*)
{
    Render();
}

void TClearProgressDialog::Render()
{
    if (!Picture || !WorkDib)
        return;
    {
        tDibTarget target(WorkDib.get());
        WorkDib->Fill(PixelBlack);
        WorkDib->BlitFrom(*Picture, 0, 0, Picture->Width, Picture->Height, 0, 0);
        DrawMenuTextCentred(Picture->Width / 2, 235, "CLEAR PROGRESS", GlowOf(ChoiceGlow[0]));
        DrawMenuTextCentred(Picture->Width / 2, 275, "LEAVE IT ALONE!", GlowOf(ChoiceGlow[1]));
    }
    PaintBox->Canvas().StretchDraw(PaintBox->ClientRect(), WorkDib->Bitmap());
}

void TClearProgressDialog::MMTimer1Timer(TObject*, int32_t Ticks)
{
    Render();
    for (int32_t i = 0; i < Ticks; ++i) {
        float& chosen = ChoiceGlow[Choice & 1];
        float& other = ChoiceGlow[(Choice & 1) ^ 1];
        chosen = std::min(chosen + 0.05f, 1.0f);
        other = std::max(other - 0.03f, 0.0f);
    }
}

void TClearProgressDialog::FormKeyDown(TObject*, WORD& Key, TShiftState)
{
    switch (Key) {
    case VK_RETURN:
    case VK_SPACE:
        MenuSelectSound.Play();
        SetModalResult(Choice == 0 ? mrClearProgress : mrLeaveProgress);
        break;
    case VK_ESCAPE:
        SetModalResult(mrLeaveProgress);
        MenuCloseSound.Play();
        break;
    case VK_UP:
    case VK_DOWN:
        MenuMoveSound.Play();
        Choice = Choice == 0 ? 1 : 0;
        break;
    default: break;
    }
}

void TClearProgressDialog::PaintBoxMouseMove(TObject*, TShiftState, int X, int Y)
{
    const int band = ClearProgressBandAt(X, Y);
    if (band >= 0)
        Choice = static_cast<uint8_t>(band);
}

void TClearProgressDialog::PaintBoxMouseDown(TObject*, TMouseButton, TShiftState, int X, int Y)
{
    const int band = ClearProgressBandAt(X, Y);
    if (band < 0)
        return;
    SetModalResult(band == 0 ? mrClearProgress : mrLeaveProgress);
    MenuSelectSound.Play();
}
