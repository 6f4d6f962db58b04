#include "tesk/game/PopUpForm.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "tesk/game/Fonts.h"

TPopUp* PopUp = nullptr;
std::function<void(const std::string&, TPoint, const std::string&)> PopUpShowHook;

namespace {
// The zoom counts at most this many ticks per timer call, so a slow machine still sees it.
constexpr int32_t MaxTicksPerCall = 5;
// A key or a click closes the window only after this many ticks.
constexpr int32_t CloseAfterTicks = 40;

int32_t RoundHalfEven(float v) { return static_cast<int32_t>(std::nearbyint(v)); }
} // namespace

TRect PopUpTargetRect(TPoint anchor, int32_t width, int32_t height, const TRect& frameBounds)
{
    int32_t top = anchor.Y - height / 2;
    int32_t left = anchor.X - width / 2;
    top = std::max(top, frameBounds.Top);
    left = std::max(left, frameBounds.Left);
    if (top + height > frameBounds.Bottom)
        top = frameBounds.Bottom - height;
    if (left + width > frameBounds.Right)
        left = frameBounds.Right - width;
    return Bounds(left, top, width, height);
}

TRect PopUpGrowBounds(TPoint anchor, const TRect& target, int32_t elapsed, int32_t growTicks)
{
    const float t = growTicks > 0 ? static_cast<float>(elapsed) / static_cast<float>(growTicks) : 1.0f;
    const float s = 1.0f - t;
    return Bounds(RoundHalfEven(s * static_cast<float>(anchor.X) + t * static_cast<float>(target.Left)),
                  RoundHalfEven(s * static_cast<float>(anchor.Y) + t * static_cast<float>(target.Top)),
                  RoundHalfEven(t * static_cast<float>(target.Width())),
                  RoundHalfEven(t * static_cast<float>(target.Height())));
}

TPopUp::TPopUp()
{
    SetBorderStyle(bsNone);
    SetFormStyle(fsStayOnTop);
    SetClientWidth(366);
    SetClientHeight(285);
    SetKeyPreview(true);
    BackGround = new TPaintBox(this);
    BackGround->SetParent(this);
    BackGround->SetAlign(alClient);
    BackGround->OnClick = [this](TObject* s) { BackGroundClick(s); };
    BackGround->OnPaint = [this](TObject*) { PaintBackGround(); };
    MMTimer1 = new TMMTimer(this);
    MMTimer1->SetEnabled(false);
    MMTimer1->SetInterval(16);
    MMTimer1->SetResolution(1);
    MMTimer1->OnTimer = [this](TObject* s, int32_t ticks) { MMTimer1Timer(s, ticks); };
    OnCreate = [this](TObject* s) { FormCreate(s); };
    OnShow = [this](TObject* s) { FormShow(s); };
    OnKeyDown = [this](TObject* s, WORD& key, TShiftState shift) { FormKeyDown(s, key, shift); };
    OnClose = [this](TObject* s, TCloseAction& action) { FormClose(s, action); };
}

TPopUp::~TPopUp() = default;

void TPopUp::FormCreate(TObject*)
{
    GrowTicks = 25;
}

void TPopUp::ShowPopUp(const std::string& imageName, TPoint anchor, const std::string& caption)
{
    if (PopUpShowHook) {
        PopUpShowHook(imageName, anchor, caption);
        return;
    }
    struct tUp {
        TPopUp& Form;
        explicit tUp(TPopUp& form) : Form(form) { Form.FPoppedUp = true; }
        ~tUp()
        {
            // Nothing is held between showings, whichever way the showing ended.
            Form.MMTimer1->SetEnabled(false);
            Form.FreePictures();
            Form.FPoppedUp = false;
        }
    } up(*this);
    try {
        LoadImage(imageName);
    } catch (const Exception& e) {
        std::fprintf(stderr, "The picture \"%s\" cannot be shown: %s\n", imageName.c_str(), e.Message().c_str());
        std::fflush(stderr);
        return;
    }
    AnchorX = anchor.X;
    AnchorY = anchor.Y;
    CaptionFade = 0;
    PopUpCaption = caption;
    ShowModal();
    if (MainFormRef && MainFormRef->Visible())
        MainFormRef->SetFocus();
}

void TPopUp::LoadImage(const std::string& name)
{
    if (Picture)
        return;
    std::unique_ptr<tDib16> picture = tDib16::CreateFromFile(name);
    WorkDib = std::make_unique<tDib16>(picture->Width, picture->Height);
    Picture = std::move(picture);
}

void TPopUp::FreePictures()
{
    Picture.reset();
    WorkDib.reset();
}

void TPopUp::FormShow(TObject*)
{
    MMTimer1->SetEnabled(true);
    Growing = true;
    Elapsed = 0;
    SetBounds(AnchorX, AnchorY, 1, 1);
    const int32_t width = Picture ? Picture->Width : 0, height = Picture ? Picture->Height : 0;
    TRect frame = Bounds(AnchorX - width / 2, AnchorY - height / 2, width, height);
    if (MainFormRef)
        frame = Bounds(MainFormRef->Left(), MainFormRef->Top(), MainFormRef->Width(), MainFormRef->Height());
    const TRect target = PopUpTargetRect(TPoint{AnchorX, AnchorY}, width, height, frame);
    TargetTop = target.Top;
    TargetLeft = target.Left;
    TargetWidth = target.Width();
    TargetHeight = target.Height();
}

void TPopUp::MMTimer1Timer(TObject*, int32_t Ticks)
{
    Elapsed += std::clamp(Ticks, 0, MaxTicksPerCall);
    if (Growing) {
        if (Elapsed > GrowTicks) {
            Growing = false;
            Elapsed = GrowTicks;
        }
        const TRect b = PopUpGrowBounds(TPoint{AnchorX, AnchorY},
                                        Bounds(TargetLeft, TargetTop, TargetWidth, TargetHeight), Elapsed, GrowTicks);
        SetBounds(b.Left, b.Top, std::max(1, b.Width()), std::max(1, b.Height()));
    } else {
        CaptionFade = std::min(1.0f, CaptionFade + 0.05f);
    }
    Render();
}

void TPopUp::Render()
{
    if (!Picture || !WorkDib)
        return;
    {
        tDibTarget target(WorkDib.get());
        WorkDib->CopyBlockFrom(*Picture, 0, 0, Picture->Width, Picture->Height, 0, 0);
        DrawMenuTextCentred(Picture->Width / 2, Picture->Height - 30, PopUpCaption,
                            static_cast<int32_t>(std::nearbyint(CaptionFade * 29.0f)));
    }
    // The paint box shows it on its next paint, which a change of size brings anyway.
    BackGround->Invalidate();
}

void TPopUp::PaintBackGround()
{
    if (WorkDib && BackGround)
        BackGround->Canvas().StretchDraw(BackGround->ClientRect(), WorkDib->Bitmap());
}

void TPopUp::CloseWhenDone()
{
    if (!Growing && Elapsed > CloseAfterTicks)
        Close();
}

void TPopUp::FormKeyDown(TObject*, WORD&, TShiftState)
{
    CloseWhenDone();
}

void TPopUp::BackGroundClick(TObject*)
{
    CloseWhenDone();
}

void TPopUp::FormClose(TObject*, TCloseAction&)
{
    MMTimer1->SetEnabled(false);
    if (MainFormRef && MainFormRef->OnActivate)
        MainFormRef->OnActivate(MainFormRef);
    FreePictures();
}
