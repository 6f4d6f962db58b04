// The advanced settings dialog on its own: its controls start from the settings, the
// output list fills the driver list, the hint box follows the pointer and the keyboard,
// the curve follows the slider, and it sits at the main window's top, centred.
#include <gtest/gtest.h>

#include <array>
#include <memory>
#include <string>
#include <vector>

#include "platform/Application.h"
#include "platform/TestHooks.h"
#include "tesk/editor/AdvancedSettingsForms.h"
#include "tesk/game/GameSound.h"
#include "tesk/game/Settings.h"
#include "tesk/toolkit/Dib16.h"
#include "tests/support/FormPictures.h"
#include "tests/tesk/game/SettingsReset.h"

namespace {

std::vector<std::string> Names(std::initializer_list<const char*> names)
{
    return std::vector<std::string>(names.begin(), names.end());
}

class AdvancedSettings : public ::testing::Test {
protected:
    void SetUp() override
    {
        ResetSettings();
        TestHooks::SetApplicationActive(true);
        const std::array<std::vector<std::string>, 3> drivers{
            Names({}), Names({"Wave A", "Wave B"}), Names({"Direct A", "Direct B", "Direct C"})};
        for (int output = 0; output < 3; ++output) {
            SoundDriverNames[output].Clear();
            for (const std::string& name : drivers[static_cast<size_t>(output)])
                SoundDriverNames[output].Add(name);
        }
        Dialog = new TAdvancedSettingsForm;
        Dialog->AfterConstruction();
    }
    void TearDown() override
    {
        TestHooks::ReleaseActiveForm();
        if (Dialog)
            Dialog->Free();
        for (TStringList& names : SoundDriverNames)
            names.Clear();
        MainFormRef = nullptr;
        ResetSettings();
    }

    void ShowDialog()
    {
        Dialog->Show();
        TestHooks::SetActiveForm(Dialog);
        TestHooks::RunPostedMessages();
    }
    // The pointer moved onto a point of a control, as a user would.
    void MoveOnto(TControl* control, int x = 3, int y = 3)
    {
        TestHooks::SetCursorPos(control->ClientToScreen(Point(x, y)));
        TestHooks::MouseMove(Dialog, TestHooks::ControlToForm(control, Point(x, y)));
    }
    std::vector<std::string> HintLines() const { return Dialog->HintBox->Items(); }

    TAdvancedSettingsForm* Dialog = nullptr;
};

TEST_F(AdvancedSettings, ItsControlsStartFromTheSettings)
{
    struct Case {
        uint8_t device;
        int32_t driver;
        float brightness;
        bool fullScreen, systemMemory, bitBlt, animateWater;
        int outputShown, driverShown, sliderShown;
        std::vector<std::string> drivers;
    };
    const Case cases[] = {
        // As the settings start: DirectSound's first driver, brightness 1.1.
        {2, 0, 1.1f, true, true, false, true, 2, 0, 55, Names({"Direct A", "Direct B", "Direct C"})},
        {2, 2, 0.5f, false, false, true, false, 2, 2, 25, Names({"Direct A", "Direct B", "Direct C"})},
        // A driver number the output has no driver for shows its first; the slider
        // shows the nearest step of the brightness.
        {1, 5, 2.71f, true, false, false, true, 1, 0, 136, Names({"Wave A", "Wave B"})},
        {1, -1, 0.49f, false, true, true, true, 1, 0, 25, Names({"Wave A", "Wave B"})},
        // An output past DirectSound shows as none, which has no drivers here.
        {7, 0, 2.7f, true, true, true, true, 0, -1, 135, Names({})},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.device) + "/" + std::to_string(c.driver) + "/" + std::to_string(c.brightness));
        SoundDevice = c.device;
        SoundDriver = c.driver;
        DisplayBrightness = c.brightness;
        FullScreen = c.fullScreen;
        SystemMemoryBackBuffer = c.systemMemory;
        UseBitBlt = c.bitBlt;
        DontAnimateWater = !c.animateWater;
        Dialog->ShowCurrentSettings();
        EXPECT_EQ(Dialog->OutputDeviceComboBox->ItemIndex(), c.outputShown);
        EXPECT_EQ(Dialog->SoundDriverComboBox->Items(), c.drivers);
        EXPECT_EQ(Dialog->SoundDriverComboBox->ItemIndex(), c.driverShown);
        EXPECT_EQ(Dialog->GammaSlider->Value(), c.sliderShown);
        EXPECT_EQ(Dialog->FullScreenCheckBox->Checked(), c.fullScreen);
        EXPECT_EQ(Dialog->SystemMemoryBackBufferCheckBox->Checked(), c.systemMemory);
        EXPECT_EQ(Dialog->UseBitBltCheckBox->Checked(), c.bitBlt);
        EXPECT_EQ(Dialog->AnimateWaterCheckBox->Checked(), c.animateWater);
        // Shown and left alone, the controls hold exactly the settings (the brightness
        // too, though the slider shows it to the nearest step).
        const tVideoChoices video = Dialog->ChosenVideoChoices();
        EXPECT_EQ(video, CurrentVideoChoices());
        EXPECT_EQ(Dialog->ChosenSoundChoices(), CurrentSoundChoices());
    }
}

TEST_F(AdvancedSettings, AMovedSliderGivesItsBrightnessWithinWhatTheSettingsTake)
{
    Dialog->ShowCurrentSettings();
    ASSERT_EQ(Dialog->GammaSlider->Value(), 55);
    struct Case {
        int value;
        float gamma, brightness;
    };
    const Case cases[] = {{60, 1.2f, 1.2f}, {10, 0.2f, 0.5f}, {24, 0.48f, 0.5f},
                          {135, 2.7f, 2.7f}, {136, 2.72f, 2.7f}, {150, 3.0f, 2.7f}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.value);
        Dialog->GammaSlider->SetValue(c.value);
        EXPECT_FLOAT_EQ(Dialog->Gamma(), c.gamma);
        EXPECT_FLOAT_EQ(Dialog->ChosenVideoChoices().Brightness, c.brightness);
    }
    // Moved back to where it started: the brightness as it was.
    DisplayBrightness = 1.13f;
    Dialog->ShowCurrentSettings();
    Dialog->GammaSlider->SetValue(80);
    Dialog->GammaSlider->SetValue(56);
    EXPECT_EQ(Dialog->ChosenVideoChoices().Brightness, 1.13f);
}

TEST_F(AdvancedSettings, ChoosingAnOutputListsItsDriversAndPicksTheFirst)
{
    SoundDevice = 2;
    SoundDriver = 2;
    Dialog->ShowCurrentSettings();
    ShowDialog();
    Dialog->OutputDeviceComboBox->SetFocus();
    ASSERT_EQ(Dialog->ActiveControl(), Dialog->OutputDeviceComboBox);
    struct Step {
        WORD key;
        int output;
        std::vector<std::string> drivers;
        int driver;
    };
    const Step steps[] = {
        {VK_UP, 1, Names({"Wave A", "Wave B"}), 0},
        {VK_UP, 0, Names({}), -1},
        {VK_DOWN, 1, Names({"Wave A", "Wave B"}), 0},
        {VK_DOWN, 2, Names({"Direct A", "Direct B", "Direct C"}), 0},
    };
    for (const Step& s : steps) {
        SCOPED_TRACE(s.output);
        TestHooks::KeyStroke(Dialog, s.key);
        EXPECT_EQ(Dialog->OutputDeviceComboBox->ItemIndex(), s.output);
        EXPECT_EQ(Dialog->SoundDriverComboBox->Items(), s.drivers);
        EXPECT_EQ(Dialog->SoundDriverComboBox->ItemIndex(), s.driver);
    }
    // No output chosen at all lists the drivers of none.
    Dialog->OutputDeviceComboBox->SetItemIndex(-1);
    Dialog->OutputDeviceComboBoxChange(Dialog->OutputDeviceComboBox);
    EXPECT_EQ(Dialog->SoundDriverComboBox->Items(), Names({}));
    EXPECT_EQ(Dialog->ChosenSoundChoices(), (tSoundChoices{0, 0}));
}

TEST_F(AdvancedSettings, TheHintBoxExplainsTheControlThePointerEnters)
{
    EXPECT_EQ(HintLines(), Names({}));
    EXPECT_EQ(Dialog->LastHintSource, nullptr);
    // Shown, the first control has the keyboard and is explained at once.
    ShowDialog();
    EXPECT_EQ(Dialog->LastHintSource, Dialog->OutputDeviceComboBox);
    struct Case {
        TControl* control;
        const char* firstLine;
        size_t lines;
    };
    const Case cases[] = {
        {Dialog->OutputDeviceComboBox, "The sound output device can be changed if you are experiencing", 9},
        {Dialog->SoundDriverComboBox, "If you have more than one sound driver available, you can select", 5},
        {Dialog->FullScreenCheckBox, "Full screen sets the screen mode to the resolution and color ", 2},
        {Dialog->SystemMemoryBackBufferCheckBox, "A system memory back-buffer will aid transparancy effects on ", 4},
        {Dialog->UseBitBltCheckBox, "The windows function BitBlt will be used in preferance to the", 2},
        {Dialog->AnimateWaterCheckBox, "Animating water uses quite a lot of processing power and can", 6},
        {Dialog->PaintBox1, "The curve here shows how the brightness will be modified.", 9},
        {Dialog->GammaSlider, "The curve here shows how the brightness will be modified.", 9},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.firstLine);
        MoveOnto(Dialog->Panel1);  // off the controls in between
        MoveOnto(c.control);
        EXPECT_EQ(Dialog->LastHintSource, c.control);
        const std::vector<std::string> lines = HintLines();
        ASSERT_EQ(lines.size(), c.lines);
        EXPECT_EQ(lines.front(), c.firstLine);
        // One row per line of the hint, the empty ones kept.
        std::string joined;
        for (const std::string& line : lines)
            joined += (joined.empty() ? "" : "\r\n") + line;
        EXPECT_EQ(joined, c.control->Hint());
    }
    EXPECT_EQ(HintLines()[1], "");

    // The bare part of the brightness group has no hint: the text stays.
    MoveOnto(Dialog->FullScreenCheckBox);
    MoveOnto(Dialog->GroupBox3, 110, 10);
    EXPECT_EQ(Dialog->LastHintSource, Dialog->FullScreenCheckBox);
    EXPECT_EQ(HintLines().size(), 2u);
}

TEST_F(AdvancedSettings, TheKeyboardReachingAControlShowsItsHintOnce)
{
    ShowDialog();
    Dialog->AnimateWaterCheckBox->SetFocus();
    EXPECT_EQ(Dialog->LastHintSource, Dialog->AnimateWaterCheckBox);
    TestHooks::KeyStroke(Dialog, VK_TAB);
    ASSERT_EQ(Dialog->ActiveControl(), Dialog->GammaSlider);
    EXPECT_EQ(Dialog->LastHintSource, Dialog->GammaSlider);
    EXPECT_EQ(HintLines().front(), "The curve here shows how the brightness will be modified.");
    // Away to the buttons (which explain nothing) and back: the box is not filled again,
    // so the row picked in it stays picked.
    Dialog->HintBox->SetItemIndex(3);
    TestHooks::KeyStroke(Dialog, VK_TAB);
    EXPECT_EQ(Dialog->ActiveControl(), Dialog->Button1);
    TestHooks::KeyStroke(Dialog, VK_TAB, TShiftState{ssShift});
    ASSERT_EQ(Dialog->ActiveControl(), Dialog->GammaSlider);
    EXPECT_EQ(Dialog->HintBox->ItemIndex(), 3);
    // The pointer on the slider, already the source, leaves the box alone too.
    MoveOnto(Dialog->GammaSlider);
    EXPECT_EQ(Dialog->HintBox->ItemIndex(), 3);
}

TEST_F(AdvancedSettings, TheCurveBowsAsTheSliderSays)
{
    ShowDialog();
    const TColor pen = ColorToRGB(clBtnText);
    const TColor face = ColorToRGB(clBtnFace);
    struct Case {
        int value;
        // Rows of the curve at columns 51 and 76 of the 102-pixel box.
        int row51, row76;
    };
    const Case cases[] = {
        {10, 98, 78},   // 0.2: hugs the bottom-right
        {50, 51, 25},   // 1.0: the diagonal
        {150, 21, 9},   // 3.0: bows toward the top-left
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.value);
        Dialog->GammaSlider->SetValue(c.value);
        for (const auto& [x, row] : {std::pair{51, c.row51}, std::pair{76, c.row76}}) {
            EXPECT_EQ(TestHooks::ControlPixel(Dialog->PaintBox1, x, row), pen) << x;
            EXPECT_EQ(TestHooks::ControlPixel(Dialog->PaintBox1, x, row - 6), face) << x;
            EXPECT_EQ(TestHooks::ControlPixel(Dialog->PaintBox1, x, row + 3), face) << x;
        }
    }
    // The slider's whole range draws without a gap at the left edge.
    for (int value : {10, 150}) {
        Dialog->GammaSlider->SetValue(value);
        EXPECT_EQ(TestHooks::ControlPixel(Dialog->PaintBox1, 0, 101), pen);
    }
}

TEST_F(AdvancedSettings, ShowsAtTheMainWindowsTopCentredOnTheScreen)
{
    TForm main;
    main.SetBounds(30, 77, 400, 300);
    int activations = 0;
    TObject* activatedBy = nullptr;
    main.OnActivate = [&](TObject* sender) {
        ++activations;
        activatedBy = sender;
    };
    MainFormRef = &main;
    Dialog->SetClientHeight(500);
    ShowDialog();
    EXPECT_EQ(Dialog->ClientWidth(), 327);
    EXPECT_EQ(Dialog->ClientHeight(), 423);
    EXPECT_EQ(Dialog->Top(), 77);
    EXPECT_EQ(Dialog->Left(), (Screen->Width() - Dialog->Width()) / 2);
    EXPECT_EQ(Dialog->FormStyle(), fsStayOnTop);
    EXPECT_EQ(Dialog->BorderStyle(), bsToolWindow);
    EXPECT_EQ(Dialog->Caption(), "Advanced Settings");
    // Closing it gives the main window back its keys, through its activation handler.
    Dialog->Close();
    EXPECT_EQ(activations, 1);
    EXPECT_EQ(activatedBy, &main);
    // Shown again after the main window moved: it follows.
    main.SetTop(120);
    ShowDialog();
    EXPECT_EQ(Dialog->Top(), 120);
}

TEST_F(AdvancedSettings, LooksAsRecorded)
{
    Dialog->ShowCurrentSettings();
    ShowDialog();
    MoveOnto(Dialog->OutputDeviceComboBox);
    ExpectLikeReference(DrawControlPicture(*Dialog), "tests/tesk/editor/files", "advanced_settings");
}

} // namespace
