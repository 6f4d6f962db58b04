// The advanced settings dialog in the running program: OK puts what changed into effect
// through the main window as the option pages do (one rebuild for display choices, with
// the sound restarted on the chosen output inside it; a sound restart alone for sound
// choices); Cancel, Esc, the close box and an untouched OK change nothing.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <string>

#include "tesk/editor/AdvancedSettingsForms.h"
#include "tesk/editor/EditorForm.h"
#include "tesk/game/GameSound.h"
#include "tesk/game/SettingsApply.h"
#include "tesk/game/SlabRules.h"
#include "tests/tesk/shell/ShellHarness.h"

// The program lists the outputs' drivers once, before its forms exist.
class AdvancedSettingsDialog : public ShellTest {
protected:
    void TearDown() override
    {
        ShellTest::TearDown();
        DoneGameSound();
    }
    void StartWithDrivers(const std::vector<std::string>& switches = {})
    {
        InitGameSound();
        Start(switches);
    }
};

namespace {

// How often a step was shown (with "ShowDebugmessages") since the log was cleared.
long StepsShown(const std::string& step)
{
    const std::vector<std::string> texts = BoxTexts();
    return std::count(texts.begin(), texts.end(), step);
}

// Opens the dialog through the editor's "Options" menu and runs the script inside it (the
// script ends it as a user would); then runs what the main window was asked to do.
TModalResult OpenDialog(const std::function<void(TAdvancedSettingsForm&)>& script)
{
    TestHooks::SetModalStarted([&](TForm* form) {
        if (form == AdvancedSettingsForm)
            script(*AdvancedSettingsForm);
        else if (form == QueryDisplayForm)
            form->SetModalResult(mrRunWindowed);
    });
    TestHooks::ChooseMenuItem(Editor->AdvancedSettings1);
    const TModalResult result = AdvancedSettingsForm->ModalResult();
    TestHooks::RunPostedMessages();
    TestHooks::SetModalStarted(nullptr);
    return result;
}

void Click(TAdvancedSettingsForm& dialog, TControl* control)
{
    const TPoint at = TestHooks::ControlToForm(control, Point(control->Width() / 2, control->Height() / 2));
    TestHooks::MouseMove(&dialog, at);
    TestHooks::MouseDown(&dialog, mbLeft, at);
    TestHooks::MouseUp(&dialog, mbLeft, at);
}

void Keys(TAdvancedSettingsForm& dialog, TWinControl* control, std::initializer_list<WORD> keys)
{
    control->SetFocus();
    for (WORD key : keys)
        TestHooks::KeyStroke(&dialog, key);
}

} // namespace

TEST_F(AdvancedSettingsDialog, OkRebuildsTheDisplayOnceWithTheNewDisplayAndSoundChoices)
{
    WriteConfig("FullScreen=False\r\nBitBlt=True\r\n");
    TestHooks::SetDesktopDepth(16);  // windowed DirectDraw asks no question
    StartWithDrivers({"-ShowDebugmessages"});
    ASSERT_EQ(Form1->ActiveDisplayType, dtWindowedBitmap);
    ASSERT_EQ(FmodTest::ChosenOutput(), 2);
    const auto tableBefore = BrightnessTable;
    TestHooks::ClearMessageBoxLog();
    const TModalResult result = OpenDialog([](TAdvancedSettingsForm& d) {
        EXPECT_TRUE(d.UseBitBltCheckBox->Checked());
        Click(d, d.UseBitBltCheckBox);
        Keys(d, d.GammaSlider, {VK_END});  // 3.0: past the brightest the settings take
        Keys(d, d.OutputDeviceComboBox, {VK_UP});  // WaveOut
        Click(d, d.Button1);
    });
    EXPECT_EQ(result, mrOk);
    Tick();
    EXPECT_EQ(Form1->ActiveDisplayType, dtWindowedDirectDraw);
    EXPECT_FALSE(UseBitBlt);
    EXPECT_EQ(DisplayBrightness, 2.7f);
    EXPECT_NE(BrightnessTable, tableBefore);
    EXPECT_EQ(SoundDevice, 1);
    EXPECT_EQ(FmodTest::ChosenOutput(), 1);
    EXPECT_EQ(StepsShown("SetUpEverything begins"), 1);
    EXPECT_EQ(StepsShown("Attempting to Initialize FMOD"), 1);
    CloseWindow();
    const std::string config = ReadConfig();
    for (const char* line : {"BitBlt=False\r\n", "SoundDevice=1\r\n", "DisplayBrightness=2.7\r\n", "FullScreen=False\r\n"})
        EXPECT_NE(config.find(line), std::string::npos) << line;
}

TEST_F(AdvancedSettingsDialog, OkWithOnlyASoundChoiceRestartsTheSoundAlone)
{
    FmodTest::SetDeviceNames(std::vector<std::string>{"First card", "Second card"});
    WriteConfig("FullScreen=False\r\nBitBlt=True\r\n");
    StartWithDrivers({"-ShowDebugmessages"});
    TestHooks::ClearMessageBoxLog();
    const TModalResult result = OpenDialog([](TAdvancedSettingsForm& d) {
        EXPECT_EQ(d.SoundDriverComboBox->Items(), (std::vector<std::string>{"First card", "Second card"}));
        Keys(d, d.SoundDriverComboBox, {VK_DOWN});
        Click(d, d.Button1);
    });
    EXPECT_EQ(result, mrOk);
    Tick();
    EXPECT_EQ(SoundDriver, 1);
    EXPECT_EQ(SoundDevice, 2);
    EXPECT_EQ(StepsShown("SetUpEverything begins"), 0);
    EXPECT_EQ(StepsShown("Attempting to Initialize FMOD"), 1);
    EXPECT_TRUE(FmodTest::Initialised());
    EXPECT_EQ(Form1->ActiveDisplayType, dtWindowedBitmap);
}

TEST_F(AdvancedSettingsDialog, CancelEscTheCloseBoxAndAnUntouchedOkChangeNothing)
{
    WriteConfig("FullScreen=False\r\nBitBlt=True\r\nDisplayBrightness=1.13\r\nSoundDevice=1\r\n");
    StartWithDrivers({"-ShowDebugmessages"});
    const tVideoChoices video = CurrentVideoChoices();
    const tSoundChoices sound = CurrentSoundChoices();
    ASSERT_EQ(video.Brightness, 1.13f);
    struct Case {
        const char* name;
        bool change;
        std::function<void(TAdvancedSettingsForm&)> end;
        TModalResult result;
    };
    const Case cases[] = {
        {"Cancel", true, [](TAdvancedSettingsForm& d) { Click(d, d.Button2); }, mrCancel},
        {"Esc", true, [](TAdvancedSettingsForm& d) { TestHooks::KeyStroke(&d, VK_ESCAPE); }, mrCancel},
        {"close box", true, [](TAdvancedSettingsForm& d) { d.Close(); }, mrCancel},
        // The slider shows 1.13 at its nearest step, 1.12; OK keeps 1.13.
        {"untouched OK", false, [](TAdvancedSettingsForm& d) { Click(d, d.Button1); }, mrOk},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TestHooks::ClearMessageBoxLog();
        Engine->LiveInput.Press(slab::aUp);
        const TModalResult result = OpenDialog([&](TAdvancedSettingsForm& d) {
            if (c.change) {
                Click(d, d.FullScreenCheckBox);
                Click(d, d.AnimateWaterCheckBox);
                Keys(d, d.GammaSlider, {VK_HOME});
                Keys(d, d.OutputDeviceComboBox, {VK_DOWN});
                EXPECT_NE(d.ChosenVideoChoices(), video);
                EXPECT_NE(d.ChosenSoundChoices(), sound);
            }
            c.end(d);
        });
        EXPECT_EQ(result, c.result);
        Tick();
        EXPECT_EQ(CurrentVideoChoices(), video);
        EXPECT_EQ(CurrentSoundChoices(), sound);
        EXPECT_EQ(Form1->ActiveDisplayType, dtWindowedBitmap);
        EXPECT_EQ(BoxTexts(), std::vector<std::string>{});
        // Closing it ran the main window's activation handler: the keys start afresh.
        EXPECT_FALSE(Engine->LiveInput.IsActive(slab::aUp));
    }
}
