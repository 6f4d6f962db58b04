// Start-up of the whole program in-process: the forms, set-up in each display type, the
// step texts, failures of set-up, and closing.
#include <gtest/gtest.h>

#include "platform/FramePresenter.h"
#include "tests/tesk/shell/ShellHarness.h"

using StartUp = ShellTest;

TEST_F(StartUp, TheNineFormsAreMadeInOrderAndOnlyTheMainWindowShows)
{
    Start();
    const std::vector<TForm*>& forms = Application->Forms();
    ASSERT_GE(forms.size(), 9u);
    const std::vector<TForm*> expected{Form1, Editor, QueryDisplayForm, PopUp, LevelPartialSuccessForm,
                                       LevelFailureForm, LevelSuccessForm, AdvancedSettingsForm, ClearProgressDialog};
    EXPECT_EQ(std::vector<TForm*>(forms.end() - 9, forms.end()), expected);
    EXPECT_EQ(Application->MainForm(), Form1);
    for (TForm* f : expected)
        EXPECT_EQ(f->Visible(), f == Form1);
    EXPECT_EQ(Form1->Caption(), "");
    EXPECT_TRUE(Form1->KeyPreview());
}

TEST_F(StartUp, AFirstStartWithoutSettingsIsFullScreenAndClosingWritesTheDefaults)
{
    Start();
    EXPECT_EQ(BoxTexts(), std::vector<std::string>{});
    EXPECT_FALSE(Form1->SettingUp);
    EXPECT_TRUE(Form1->SetUpDone);
    EXPECT_EQ(Form1->ActiveDisplayType, dtFullScreenDirectDraw);
    EXPECT_EQ(Form1->BorderStyle(), bsNone);
    EXPECT_TRUE(Form1->MMTimer1->Enabled());
    EXPECT_EQ(Form1->MMTimer1->Interval(), 20);
    EXPECT_EQ(LastOperation, "DebugMessage('SetUpEverything ends')");
    ASSERT_NE(Engine, nullptr);
    EXPECT_TRUE(Engine->AcceptInput);
    CloseWindow();
    EXPECT_TRUE(Application->Terminated());
    EXPECT_EQ(Engine, nullptr);
    EXPECT_EQ(ReadConfig(),
              "SoundOn=True\r\nSoundVolume=5\r\nMusicOn=True\r\nMusicVolume=5\r\nSoundDriver=0\r\n"
              "SoundDevice=2\r\nDisplayBrightness=1.1\r\nFullScreen=True\r\nDialogs=True\r\nBitBlt=False\r\n"
              "AnimateWater=True\r\nSystemMemoryBackBuffer=True\r\n");
    EXPECT_EQ(BoxTexts(), std::vector<std::string>{});
}

namespace {

struct StepCase {
    const char* Name;
    const char* Config;
    int Depth;
    uint8_t Type;
    std::vector<std::string> DisplaySteps;  // between "Attempting to init Display" and "Display init done"
};
void PrintTo(const StepCase& c, std::ostream* os) { *os << c.Name; }

std::vector<std::string> StepTexts(const std::vector<std::string>& displaySteps)
{
    std::vector<std::string> texts{"SetUpEverything begins", "Attempting to Initialize FMOD", "FSound_SetDriver(0);",
                                   "Loading Sound data", "Sound Data Loaded", "FMOD Initialized",
                                   "Attempting to init DirectDraw", "DirectDraw init done", "Attempting to init Display"};
    texts.insert(texts.end(), displaySteps.begin(), displaySteps.end());
    for (const char* t : {"Display init done", "Enabling timer", "Timer Enabled", "Loading Graphics data",
                          "GenerateSoundTextDib Begins", "Setting tile set", "Tile set set", "Graphics data Loaded",
                          "Initializing the little bits that aren't Graphics or sounds.", "Little bits initialised.",
                          "Initializing editor", "Editor initialized", "SetUpEverything ends"})
        texts.emplace_back(t);
    return texts;
}

class StepTextsTest : public ShellTest, public ::testing::WithParamInterface<StepCase> {};

} // namespace

// With "ShowDebugmessages" every step of set-up shows its text in a box, in order (the
// loaders' names only become the last operation).
TEST_P(StepTextsTest, EachStepShowsItsTextInOrder)
{
    const StepCase& c = GetParam();
    WriteConfig(c.Config);
    TestHooks::SetDesktopDepth(c.Depth);
    Start({"-ShowDebugmessages"});
    EXPECT_EQ(Form1->ActiveDisplayType, c.Type);
    EXPECT_EQ(BoxTexts(), StepTexts(c.DisplaySteps));
}

INSTANTIATE_TEST_SUITE_P(
    Types, StepTextsTest,
    ::testing::Values(
        StepCase{"WindowedDirectDraw", "FullScreen=False\r\n", 16, dtWindowedDirectDraw,
                 {"DirectDraw.SetCooperativeLevel(handle,DDSCL_Normal)", "Creating windowed DirectDraw framebuffer"}},
        StepCase{"FullScreenBitmap", "BitBlt=True\r\n", 24, dtFullScreenBitmap,
                 {"Going Exclusive", "Exclusive", "Setting display mode", "Mode should be changed",
                  "Using a DIB for a framebuffer"}},
        StepCase{"FullScreenDirectDrawOn16Bits", "FullScreen=True\r\n", 16, dtFullScreenDirectDraw,
                 {"Going Exclusive", "Exclusive", "Setting display mode", "Mode should be changed",
                  "Creating FullScreen DirectDraw framebuffer"}}),
    [](const auto& info) { return std::string(info.param.Name); });

TEST_F(StartUp, AFailedDirectDrawShowsTheStepAndEndsTheProgram)
{
    SetDirectDrawCreateFailure(DDERR_GENERIC);
    Start();
    ASSERT_EQ(BoxTexts().size(), 1u);
    const std::string text = BoxTexts()[0];
    EXPECT_EQ(text.rfind("Couldn't Create a DirectDraw Object", 0), 0u) << text;
    EXPECT_NE(text.find(" at $"), std::string::npos) << text;
    const std::string last = "\rLast operation performed: DebugMessage('Attempting to init DirectDraw')";
    ASSERT_GE(text.size(), last.size());
    EXPECT_EQ(text.substr(text.size() - last.size()), last);
    EXPECT_TRUE(StartupFailed);
    EXPECT_TRUE(Application->Terminated());
    EXPECT_FALSE(Form1->SettingUp);
    EXPECT_EQ(DirectDrawObject, nullptr);
    // The program ends without a close: nothing writes the settings.
    FreeForms();
    EXPECT_FALSE(std::filesystem::exists(Dir / "Config.cfg"));
}
