#include "tesk/editor/AdvancedSettingsForms.h"

#include <algorithm>
#include <cmath>
#include <initializer_list>
#include <string>
#include <vector>

#include "platform/StringList.h"
#include "platform/SysUtils.h"
#include "tesk/game/GameSound.h"
#include "tesk/game/Settings.h"
#include "tesk/toolkit/Dib16.h"

TAdvancedSettingsForm* AdvancedSettingsForm = nullptr;

namespace {

constexpr int kClientWidth = 327;
constexpr int kClientHeight = 423;
constexpr int kGammaMin = 10;
constexpr int kGammaMax = 150;
// The brightness the settings accept.
constexpr float kLowestBrightness = 0.5f;
constexpr float kHighestBrightness = 2.7f;

const char* const BrightnessHint =
    "The curve here shows how the brightness will be modified.\r\n"
    "\r\n"
    "A curve tending towards the top-left appears brighter.\r\n"
    "A curve tending towards the bottom-right appears darker.\r\n"
    "\r\n"
    "A value of 1.0 represents no change.\r\n"
    "\r\n"
    "The graph shows the the original brightness on the X axis\r\n"
    "and the new brightness value to be used on the the Y axis";
const char* const FullScreenHint =
    "Full screen sets the screen mode to the resolution and color \r\n"
    "depth to that used by the game.";
const char* const SystemMemoryBackBufferHint =
    "A system memory back-buffer will aid transparancy effects on \r\n"
    "some video cards.  It will also slow page flips on some systems.\r\n"
    "\r\n"
    "Performance will vary according to your system architecture.";
const char* const UseBitBltHint =
    "The windows function BitBlt will be used in preferance to the\r\n"
    "DirectX function BltFast for some operations.";
const char* const AnimateWaterHint =
    "Animating water uses quite a lot of processing power and can\r\n"
    "degrade performance on older computers.\r\n"
    "\r\n"
    "If you are experiencing poor perfomance you may wish to turn\r\n"
    "animating water off to enable the computer more time to work\r\n"
    "on other aspects of the game.";
const char* const OutputDeviceHint =
    "The sound output device can be changed if you are experiencing\r\n"
    "problems with the sound in the game.\r\n"
    "\r\n"
    "WaveOut is the basic soundcard output device.  There can be\r\n"
    "a noticable lag on sound effects in the game while using the\r\n"
    "WaveOut device.\r\n"
    "\r\n"
    "DirectSound output uses the sound portion of DirectX.  This is\r\n"
    "the preferred output device for game sounds.";
const char* const SoundDriverHint =
    "If you have more than one sound driver available, you can select\r\n"
    "which driver you wish to be used for the game sound.\r\n"
    "\r\n"
    "This only needs to be changed if the default driver is not\r\n"
    "providing satisfactory results.";

// A control placed as the stored layout would, in its parent's font.
template <class T>
T* Place(TWinControl* parent, int left, int top, int width, int height)
{
    T* control = PlaceControl<T>(parent, left, top, width, height);
    control->SetParentFont(true);
    return control;
}

TGroupBox* PlaceGroup(TWinControl* parent, const std::string& caption, int left, int top, int width, int height)
{
    auto* group = Place<TGroupBox>(parent, left, top, width, height);
    group->SetCaption(caption);
    return group;
}

std::vector<std::string> LinesOf(const TStringList& list)
{
    std::vector<std::string> lines;
    for (int i = 0; i < list.Count(); ++i)
        lines.push_back(list[i]);
    return lines;
}

// The slider value that shows a brightness.
int GammaSliderValueOf(float brightness)
{
    const double value = std::nearbyint(static_cast<double>(brightness) * 50.0);
    if (!(value > kGammaMin))
        return kGammaMin;
    return value >= kGammaMax ? kGammaMax : static_cast<int>(value);
}

} // namespace

TAdvancedSettingsForm::TAdvancedSettingsForm()
{
    SetCaption("Advanced Settings");
    SetBorderStyle(bsToolWindow);
    SetBorderIcons(biSystemMenu);
    SetFormStyle(fsStayOnTop);
    TFont font = Font();
    font.Name = "Arial";
    font.Height = -11;
    SetFont(font);
    // The stored layout's size; creation and every show make it 423 high.
    SetClientWidth(kClientWidth);
    SetClientHeight(427);

    // Sound.
    GroupBox2 = PlaceGroup(this, "Audio Settings", 8, -1, 313, 83);
    Label1 = Place<TLabel>(GroupBox2, 12, 24, 70, 14);
    Label1->SetCaption("Output Device");
    OutputDeviceComboBox = Place<tQuibComboBox>(GroupBox2, 96, 20, 205, 22);
    OutputDeviceComboBox->SetStyle(csDropDownList);
    OutputDeviceComboBox->SetItems({"None", "WaveOut", "DirectSound"});
    OutputDeviceComboBox->SetHint(OutputDeviceHint);
    Label2 = Place<TLabel>(GroupBox2, 12, 54, 70, 14);
    Label2->SetCaption("Sound Driver");
    SoundDriverComboBox = Place<tQuibComboBox>(GroupBox2, 96, 50, 205, 22);
    SoundDriverComboBox->SetStyle(csDropDownList);
    SoundDriverComboBox->SetHint(SoundDriverHint);

    // Display.
    GroupBox1 = PlaceGroup(this, "Video Settings", 8, 82, 313, 172);
    GroupBox4 = PlaceGroup(GroupBox1, "Options", 8, 18, 177, 145);
    struct tBoxLayout {
        tQuibCheckBox** Box;
        const char* Caption;
        const char* Hint;
    };
    const tBoxLayout boxes[] = {
        {&FullScreenCheckBox, "Full Screen", FullScreenHint},
        {&SystemMemoryBackBufferCheckBox, "System memory back buffer", SystemMemoryBackBufferHint},
        {&UseBitBltCheckBox, "Use BitBlt", UseBitBltHint},
        {&AnimateWaterCheckBox, "Animate water", AnimateWaterHint},
    };
    int y = 30;
    for (const tBoxLayout& b : boxes) {
        *b.Box = Place<tQuibCheckBox>(GroupBox4, 12, y, 157, 17);
        (*b.Box)->SetCaption(b.Caption);
        (*b.Box)->SetHint(b.Hint);
        y += 28;
    }
    GroupBox3 = PlaceGroup(GroupBox1, "Brightness", 192, 18, 113, 145);
    PaintBox1 = Place<TPaintBox>(GroupBox3, 6, 17, 102, 102);
    PaintBox1->SetColor(clBtnFace);
    PaintBox1->SetHint(BrightnessHint);
    GammaSlider = Place<TExSlider>(GroupBox3, 0, 119, 113, 26);
    // The ticks would lie below the slider's height, which stops at the curve.
    GammaSlider->SetOptions(soShowFocus | soSmooth);
    GammaSlider->SetBevelStyle(bvLowered);
    GammaSlider->SetRange(kGammaMin, kGammaMax);
    GammaSlider->SetValue(50);
    GammaSlider->SetAlign(alBottom);
    GammaSlider->SetHint(BrightnessHint);

    // The hint box and the buttons.
    Panel1 = Place<TPanel>(this, 0, 257, 327, 167);
    HintBox = Place<TListBox>(Panel1, 1, 1, 325, 131);
    HintBox->SetColor(clBtnFace);
    HintBox->SetTabStop(false);
    Button1 = Place<TButton>(Panel1, 164, 137, 75, 25);
    Button1->SetCaption("OK");
    Button1->SetModalResult(mrOk);
    Button2 = Place<TButton>(Panel1, 244, 137, 75, 25);
    Button2->SetCaption("Cancel");
    Button2->SetModalResult(mrCancel);
    Button2->SetCancel(true);

    // Tab order within each parent (the group boxes and the panel are no stops).
    for (const auto& siblings : {std::initializer_list<TWinControl*>{GroupBox2, GroupBox1, Panel1},
                                 {OutputDeviceComboBox, SoundDriverComboBox},
                                 {GroupBox4, GroupBox3},
                                 {FullScreenCheckBox, SystemMemoryBackBufferCheckBox, UseBitBltCheckBox,
                                  AnimateWaterCheckBox},
                                 {Button1, Button2}}) {
        int order = 0;
        for (TWinControl* control : siblings)
            control->SetTabOrder(order++);
    }
    GammaSlider->SetTabStop(true);

    // The events the layout binds.
    OnCreate = [this](TObject* s) { FormCreate(s); };
    OnShow = [this](TObject* s) { FormShow(s); };
    OnClose = [this](TObject* s, TCloseAction& a) { FormClose(s, a); };
    PaintBox1->OnPaint = [this](TObject* s) { PaintBox1Paint(s); };
    GammaSlider->OnChange = [this](TObject* s) { GammaSliderChange(s); };
    GammaSlider->OnEnter = [this](TObject* s) { SetHintBox(s); };
    const TMouseMoveEvent overHint = [this](TObject* s, TShiftState shift, int x, int yAt) {
        SetHintMouseMove(s, shift, x, yAt);
    };
    GroupBox3->OnMouseMove = overHint;
    PaintBox1->OnMouseMove = overHint;
    GammaSlider->OnMouseMove = overHint;
    for (TWinControl* c : std::initializer_list<TWinControl*>{
             FullScreenCheckBox, SystemMemoryBackBufferCheckBox, UseBitBltCheckBox, AnimateWaterCheckBox,
             OutputDeviceComboBox, SoundDriverComboBox}) {
        c->OnEnter = [this](TObject* s) { SetHintBox(s); };
        c->OnMouseEnter = [this](TObject* s) { SetHintBox(s); };
    }
    OutputDeviceComboBox->OnChange = [this](TObject* s) { OutputDeviceComboBoxChange(s); };
}

void TAdvancedSettingsForm::FormCreate(TObject* Sender)
{
    FormShow(Sender);
    PaintBox1->ControlStyle |= csOpaque;
}

void TAdvancedSettingsForm::FormShow(TObject*)
{
    SetClientWidth(kClientWidth);
    SetClientHeight(kClientHeight);
    if (MainFormRef)
        SetTop(MainFormRef->Top());
    SetLeft((Screen->Width() - Width()) / 2);
}

void TAdvancedSettingsForm::FormClose(TObject*, TCloseAction&)
{
    if (MainFormRef && MainFormRef->OnActivate)
        MainFormRef->OnActivate(MainFormRef);
}

float TAdvancedSettingsForm::Gamma() const
{
    return static_cast<float>(GammaSlider->Value()) * 0.02f;
}

void TAdvancedSettingsForm::PaintBox1Paint(TObject*)
{
    TCanvas& canvas = PaintBox1->Canvas();
    const int width = PaintBox1->Width();
    const int height = PaintBox1->Height();
    canvas.Brush.Color = clBtnFace;
    canvas.Brush.Style = bsSolid;
    canvas.Pen.Color = clBtnText;
    canvas.FillRect(Rect(0, 0, width, height));
    canvas.MoveTo(0, height - 1);
    const float gamma = Gamma();
    if (width > 0) {
        const float step = 1.0f / static_cast<float>(width);
        const double exponent = 1.0 / static_cast<double>(gamma);
        for (int x = 0; x < width; ++x) {
            double v = std::pow(static_cast<double>(static_cast<float>(x) * step), exponent);
            if (!(v >= 0))
                v = 0;
            if (v > 1)
                v = 1;
            canvas.LineTo(x, static_cast<int>((1 - v) * height));
        }
    }
    canvas.Font = PaintBox1->Font();
    canvas.TextOut(4, 4, FloatToStrF(gamma, ffGeneral, 3, 0));
}

void TAdvancedSettingsForm::GammaSliderChange(TObject*)
{
    PaintBox1->Invalidate();
}

void TAdvancedSettingsForm::SetHintBox(TObject* Sender)
{
    auto* source = dynamic_cast<TControl*>(Sender);
    if (!source || source == LastHintSource)
        return;
    LastHintSource = source;
    TStringList lines;
    lines.SetText(source->Hint());
    HintBox->SetItems(LinesOf(lines));
}

void TAdvancedSettingsForm::SetHintMouseMove(TObject* Sender, TShiftState, int, int)
{
    const auto* source = dynamic_cast<TControl*>(Sender);
    if (source && !source->Hint().empty())
        SetHintBox(Sender);
}

void TAdvancedSettingsForm::ShowDriversOf(uint8_t device)
{
    SoundDriverComboBox->SetItems(LinesOf(SoundDriverNames[device]));
}

void TAdvancedSettingsForm::OutputDeviceComboBoxChange(TObject*)
{
    const int index = OutputDeviceComboBox->ItemIndex();
    ShowDriversOf(static_cast<uint8_t>(index == 1 || index == 2 ? index : 0));
    SoundDriverComboBox->SetItemIndex(0);
}

void TAdvancedSettingsForm::ShowCurrentSettings()
{
    FShownSound = CurrentSoundChoices();
    FShownVideo = CurrentVideoChoices();
    OutputDeviceComboBox->SetItemIndex(FShownSound.Device);
    ShowDriversOf(FShownSound.Device);
    SoundDriverComboBox->SetItemIndex(FShownSound.Driver);
    FullScreenCheckBox->SetChecked(FShownVideo.FullScreen);
    SystemMemoryBackBufferCheckBox->SetChecked(FShownVideo.SystemMemoryBackBuffer);
    UseBitBltCheckBox->SetChecked(FShownVideo.BitBlt);
    AnimateWaterCheckBox->SetChecked(FShownVideo.AnimateWater);
    FShownGammaValue = GammaSliderValueOf(FShownVideo.Brightness);
    GammaSlider->SetValue(FShownGammaValue);
}

tSoundChoices TAdvancedSettingsForm::ChosenSoundChoices() const
{
    const int device = OutputDeviceComboBox->ItemIndex();
    return tSoundChoices{static_cast<uint8_t>(device == 1 || device == 2 ? device : 0),
                         std::max(SoundDriverComboBox->ItemIndex(), 0)};
}

tVideoChoices TAdvancedSettingsForm::ChosenVideoChoices() const
{
    tVideoChoices chosen;
    // An untouched slider keeps the brightness as it was, also one between its steps;
    // one moved past what the settings accept stops at their limit.
    chosen.Brightness = GammaSlider->Value() == FShownGammaValue
                            ? FShownVideo.Brightness
                            : std::clamp(Gamma(), kLowestBrightness, kHighestBrightness);
    chosen.AnimateWater = AnimateWaterCheckBox->Checked();
    chosen.FullScreen = FullScreenCheckBox->Checked();
    chosen.SystemMemoryBackBuffer = SystemMemoryBackBufferCheckBox->Checked();
    chosen.BitBlt = UseBitBltCheckBox->Checked();
    return chosen;
}

void TAdvancedSettingsForm::ApplyChosenSettings()
{
    const tSoundChoices sound = ChosenSoundChoices();
    const tVideoChoices video = ChosenVideoChoices();
    const bool soundChanged = !(sound == FShownSound);
    if (!(video == FShownVideo)) {
        if (soundChanged)
            StoreSoundChoices(sound);
        ApplyVideoChoices(video);
    } else if (soundChanged) {
        ApplySoundChoices(sound);
    }
}

TModalResult TAdvancedSettingsForm::Execute()
{
    ShowCurrentSettings();
    const TModalResult result = ShowModal();
    if (result == mrOk)
        ApplyChosenSettings();
    return result;
}
