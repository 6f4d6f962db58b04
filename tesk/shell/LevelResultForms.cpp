#include "tesk/shell/LevelResultForms.h"

#include <algorithm>

#include "tesk/game/PopUpForm.h"
#include "tesk/shell/LayoutPictures.h"
#include "tesk/shell/Unit1.h"

TLevelFailureForm* LevelFailureForm = nullptr;
TLevelSuccessForm* LevelSuccessForm = nullptr;
TLevelPartialSuccessForm* LevelPartialSuccessForm = nullptr;

namespace {
constexpr int DesignWidth = 400;
constexpr int DesignHeight = 243;
constexpr int ButtonTop = 168;
constexpr int ButtonHeight = 44;
} // namespace

TLevelResultForm::TLevelResultForm(const std::string& className, TModalResult enterResult)
    : FClassName(className), FEnterResult(enterResult)
{
    SetBorderStyle(bsNone);
    SetBorderIcons(0);
    SetFormStyle(fsStayOnTop);
    SetKeyPreview(true);
    SetClientWidth(DesignWidth);
    SetClientHeight(DesignHeight);

    Image1 = PlaceControl<TImage>(this, 0, 0, DesignWidth, DesignHeight);
    Image1->SetAlign(alClient);
    Image1->SetStretch(true);

    MMTimer1 = new TMMTimer(this);
    MMTimer1->SetEnabled(false);
    MMTimer1->SetInterval(16);
    MMTimer1->SetResolution(1);
    MMTimer1->OnTimer = [this](TObject* s, int32_t ticks) { MMTimer1Timer(s, ticks); };

    OnCreate = [this](TObject* s) { FormCreate(s); };
    OnShow = [this](TObject* s) { FormShow(s); };
    OnClose = [this](TObject* s, TCloseAction& a) { FormClose(s, a); };
    // Enter, Space and Esc are the form's: its buttons never see them (their press
    // comes as the typed character, which FormKeyPress answers).
    OnKeyDown = [](TObject*, WORD& key, TShiftState) {
        if (key == VK_RETURN || key == VK_SPACE || key == VK_ESCAPE)
            key = 0;
    };
    OnKeyPress = [this](TObject* s, char& key) { FormKeyPress(s, key); };
}

TMultiImageButton* TLevelResultForm::AddButton(const std::string& name, int left, int width, TModalResult result,
                                               TNotifyEvent onClick)
{
    auto* button = PlaceControl<TMultiImageButton>(this, left, ButtonTop, width, ButtonHeight);
    button->SetName(name);
    button->SetAutoSize(false);
    button->SetTabStop(true);
    button->SetTabOrder(static_cast<int>(FButtons.size()));
    button->SetModalResult(result);
    button->SetCancel(result == mrMainMenu);
    button->OnClick = std::move(onClick);
    const std::string prefix = FClassName + "." + name + ".";
    LoadLayoutPicture(button->DefaultUpImage(), prefix + "DefaultUpImage");
    LoadLayoutPicture(button->DefaultDownImage(), prefix + "DefaultDownImage");
    LoadLayoutPicture(button->HasFocusUpImage(), prefix + "HasFocusUpImage");
    LoadLayoutPicture(button->MouseOverUpImage(), prefix + "MouseOverUpImage");
    FButtons.push_back(button);
    return button;
}

void TLevelResultForm::FormCreate(TObject*)
{
    GrowTicks = 25;
}

void TLevelResultForm::FormShow(TObject*)
{
    MMTimer1->SetEnabled(true);
    Growing = true;
    Elapsed = 0;
    SetBounds(AnchorX, AnchorY, 1, 1);
    for (TMultiImageButton* b : FButtons)
        b->Hide();
    const bool hasPicture = Image1->Picture().Graphic() && !Image1->Picture().Graphic()->Empty();
    const TRect target = PopUpTargetRect(Point(AnchorX, AnchorY), hasPicture ? Image1->Picture().Width() : DesignWidth,
                                         hasPicture ? Image1->Picture().Height() : DesignHeight, MainWindowRect());
    TargetTop = target.Top;
    TargetLeft = target.Left;
    TargetWidth = target.Right - target.Left;
    TargetHeight = target.Bottom - target.Top;
}

void TLevelResultForm::MMTimer1Timer(TObject*, int32_t Ticks)
{
    Elapsed += std::min(Ticks, 5);
    if (!Growing)
        return;
    if (Elapsed > GrowTicks) {
        Growing = false;
        Elapsed = GrowTicks;
        for (TMultiImageButton* b : FButtons)
            b->Show();
        if (!FButtons.empty())
            FButtons.front()->SetFocus();
    }
    const TRect r = PopUpGrowBounds(Point(AnchorX, AnchorY), Bounds(TargetLeft, TargetTop, TargetWidth, TargetHeight),
                                    Elapsed, GrowTicks);
    SetBounds(r.Left, r.Top, r.Right - r.Left, r.Bottom - r.Top);
}

void TLevelResultForm::FormKeyPress(TObject*, char& Key)
{
    if (Key == 13 || Key == 32)
        SetModalResult(FEnterResult);
    else if (Key == 27)
        SetModalResult(mrMainMenu);
}

void TLevelResultForm::FormClose(TObject*, TCloseAction&)
{
    MMTimer1->SetEnabled(false);
    if (Form1)
        Form1->FormActivate(Form1);
}

TLevelFailureForm::TLevelFailureForm() : TLevelResultForm("TLevelFailureForm", mrPlayAgain)
{
    ReplayLevelButton = AddButton("ReplayLevelButton", 31, 86, mrPlayAgain, [this](TObject* s) { ImgBtn1Click(s); });
    PickALevelButton = AddButton("PickALevelButton", 157, 86, mrPickALevel, [this](TObject* s) { ImgBtn2Click(s); });
    MainMenuButton = AddButton("MainMenuButton", 283, 86, mrMainMenu, [this](TObject* s) { ImgBtn3Click(s); });
}

void TLevelFailureForm::ImgBtn1Click(TObject*) { SetModalResult(mrPlayAgain); }
void TLevelFailureForm::ImgBtn2Click(TObject*) { SetModalResult(mrPickALevel); }
void TLevelFailureForm::ImgBtn3Click(TObject*) { SetModalResult(mrMainMenu); }

TLevelSuccessForm::TLevelSuccessForm() : TLevelResultForm("TLevelSuccessForm", mrNextLevel)
{
    NextLevelButton = AddButton("NextLevelButton", 31, 86, mrNextLevel, [this](TObject* s) { NextLevelButtonClick(s); });
    PickALevelButton = AddButton("PickALevelButton", 156, 86, mrPickALevel, [this](TObject* s) { PickAlevelButtonClick(s); });
    MainMenuButton = AddButton("MainMenuButton", 283, 86, mrMainMenu, [this](TObject* s) { MainMenuButtonClick(s); });
}

void TLevelSuccessForm::NextLevelButtonClick(TObject*) { SetModalResult(mrNextLevel); }
void TLevelSuccessForm::PickAlevelButtonClick(TObject*) { SetModalResult(mrPickALevel); }
void TLevelSuccessForm::MainMenuButtonClick(TObject*) { SetModalResult(mrMainMenu); }

TLevelPartialSuccessForm::TLevelPartialSuccessForm() : TLevelResultForm("TLevelPartialSuccessForm", mrNextLevel)
{
    ReplayLevelButton = AddButton("ReplayLevelButton", 21, 86, mrPlayAgain, [this](TObject* s) { ReplayButtonClick(s); });
    NextLevelButton = AddButton("NextLevelButton", 115, 86, mrNextLevel, [this](TObject* s) { NextLevelButtonClick(s); });
    PickLevelButton = AddButton("PickLevelButton", 210, 86, mrPickALevel, [this](TObject* s) { PickLevelButtonClick(s); });
    MainMenuButton = AddButton("MainMenuButton", 304, 75, mrMainMenu, [this](TObject* s) { MainMenuButtonClick(s); });
}

void TLevelPartialSuccessForm::NextLevelButtonClick(TObject*) { SetModalResult(mrNextLevel); }
void TLevelPartialSuccessForm::ReplayButtonClick(TObject*) { SetModalResult(mrPlayAgain); }
void TLevelPartialSuccessForm::MainMenuButtonClick(TObject*) { SetModalResult(mrMainMenu); }
void TLevelPartialSuccessForm::PickLevelButtonClick(TObject*) { SetModalResult(mrPickALevel); }
