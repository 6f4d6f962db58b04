#pragma once
// Shared set-up of the slab page, save-slot and pop-up tests: a scratch program folder
// holding the menu samples, the silent sound output, a 640 x 480 frame as the drawing
// target, one engine, every page's state back at its start, and helpers to drive a page
// tick by tick and see which menu samples played.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "platform/Fmod.h"
#include "platform/TestHooks.h"
#include "tesk/game/GameEngine.h"
#include "tesk/game/GameSound.h"
#include "tesk/game/Settings.h"
#include "tesk/game/SlabDialogs.h"
#include "tesk/game/SlabRules.h"
#include "tesk/toolkit/Faudio.h"
#include "tesk/toolkit/Misc.h"
#include "tests/support/SoundFixtures.h"
#include "tests/tesk/game/SettingsReset.h"
#include "tests/tesk/toolkit/GraphicsFixture.h"

// A JPEG file whose pixel (x, y) has color(x, y).
inline std::string MakeJpeg(int width, int height, const std::function<TColor(int, int)>& color)
{
    TBitmap b;
    b.SetSize(width, height);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            b.SetPixelColor(x, y, color(x, y));
    return EncodeJpeg(b, {100});
}
inline std::string FlatJpeg(int width, int height, TColor color)
{
    return MakeJpeg(width, height, [color](int, int) { return color; });
}

// Every page, picker and name picture back at the program's start.
inline void ResetSlabState()
{
    OptionsSelection = SoundSelection = AdvancedSoundSelection = VideoSelection = AdvancedVideoSelection =
        ExtrasSelection = 0;
    OptionsLevels.fill(0);
    SoundLevels.fill(0);
    AdvancedSoundLevels.fill(0);
    VideoLevels.fill(0);
    AdvancedVideoLevels.fill(0);
    ExtrasLevels.fill(0);
    for (tChoiceGlow* g : {&DialogsGlow, &SoundOnGlow, &MusicOnGlow, &AnimateWaterGlow, &FullScreenGlow,
                           &SystemMemoryGlow, &BitBltGlow})
        *g = tChoiceGlow{};
    PendingBrightness = 0;
    PendingAnimateWater = PendingFullScreen = PendingSystemMemoryBackBuffer = PendingBitBlt = VideoChanged = false;
    ApplyPulseCounter = 0;
    ApplyPulse = 0;
    PendingSoundDevice = PreviousSoundDevice = 0;
    PendingSoundDriver = PreviousSoundDriver = 0;
    DeviceRoll = DriverRoll = 0;
    InstructionsPage = 0;
    InstructionButtonGlows.fill(0);
    CreditsScroll = 0;
    SaveSlots = {};
    SlotSelection = 0;
    EditSlot = -1;
    SlotCaretTicks = 0;
    SlotDescriptionEdit.clear();
    SlotLevels.fill(0);
    FreeSlabDialogGraphicsData();
}

// The eight menu samples as short files of the program folder ("samples\\...").
inline void WriteMenuSamples(const ScratchDir& dir)
{
    for (const char* name : {"MenuMove", "MenuMouseMove", "MenuSelect", "menuClose", "Slider", "InvalidOption",
                             "MainMenuOpen", "MainMenuClose"}) {
        const soundfix::Bytes wav = soundfix::ConstantWav(100, 100, 22050);
        dir.Write(std::string("samples/") + name + ".wav", std::string(wav.begin(), wav.end()));
    }
}

// The menu samples that played since the last call, sorted; their channels are stopped.
// (With the silent output on its manual clock, a sound plays until it is looked at.)
inline std::vector<std::string> MenuSamplesPlayed()
{
    const std::map<FSOUND_SAMPLE*, std::string> names = {
        {MenuMoveSound.Sample(), "move"},     {MenuMouseMoveSound.Sample(), "mousemove"},
        {MenuSelectSound.Sample(), "select"}, {MenuCloseSound.Sample(), "close"},
        {SliderSound.Sample(), "slider"},     {InvalidOptionSound.Sample(), "invalid"},
        {MainMenuOpenSound.Sample(), "open"}, {MainMenuCloseSound.Sample(), "mainclose"}};
    std::vector<std::string> played;
    for (const FmodChannelState& c : FmodTest::PlayingChannels()) {
        auto it = names.find(c.sample);
        played.push_back(it == names.end() ? "?" : it->second);
        FSOUND_StopSound(c.handle);
    }
    std::sort(played.begin(), played.end());
    return played;
}
inline bool MenuSamplesPlayedOnly(std::vector<std::string> expected)
{
    std::sort(expected.begin(), expected.end());
    return MenuSamplesPlayed() == expected;
}

class SlabTest : public GraphicsTest {
protected:
    void SetUp() override
    {
        GraphicsTest::SetUp();
        SetApplicationDirForTests(Dir.Path());
        ResetPackageFiles(Dir.Path());
        ResetSlabState();
        ResetSettings();
        Frame = std::make_unique<tDib16>(FrameWidth, FrameHeight);
        CurrentDib = Frame.get();
        Engine = &engine;
        WriteMenuSamples(Dir);
        InstallPackageFileCallbacks();
        FSOUND_SetOutput(FSOUND_OUTPUT_NOSOUND);
        ASSERT_TRUE(FSOUND_Init(44100, 64, 0));
        FmodTest::UseManualClock(true);  // the samples keep playing until looked at
        LoadSlabDialogSoundData();
    }
    void TearDown() override
    {
        FreeSlabDialogSoundData();
        FreeSlabDialogGraphicsData();
        FSOUND_Close();
        FSOUND_File_SetCallbacks(nullptr, nullptr, nullptr, nullptr, nullptr);
        Engine = nullptr;
        MainFormRef = nullptr;
        CurrentDib = nullptr;
        Frame.reset();
        ResetSettings();
        SetApplicationDirForTests(std::nullopt);
        GraphicsTest::TearDown();
    }

    // Every picture the pages use, each of its own flat colour and size.
    void WriteSlabPictures()
    {
        struct Picture {
            const char* Name;
            int W, H;
            TColor Color;
        } pictures[] = {{"Menu_Main.Jpg", 392, 366, RGB(90, 60, 30)},    {"Menu_Options.jpg", 480, 282, RGB(100, 70, 40)},
                        {"Menu_Sound.jpg", 404, 358, RGB(110, 80, 50)},  {"Menu_AdvSound.jpg", 464, 322, RGB(120, 90, 60)},
                        {"Menu_Video.jpg", 488, 372, RGB(130, 100, 70)}, {"Menu_AdvVideo.jpg", 488, 320, RGB(140, 110, 80)},
                        {"CreditsSlab.jpg", 470, 402, RGB(150, 120, 90)}, {"Credits.jpg", 320, 600, RGB(200, 200, 200)},
                        {"Instructions(Page1).jpg", 640, 480, RGB(40, 80, 160)},
                        {"Instructions(Page2).jpg", 640, 480, RGB(160, 80, 40)}};
        for (const Picture& p : pictures)
            Dir.Write(p.Name, FlatJpeg(p.W, p.H, p.Color));
        // Button frames 0..9 in rising greys, rows A and B apart.
        Dir.Write("InstructionButtons.jpg", MakeJpeg(480, 96, [](int x, int y) {
                      const int v = 20 + 20 * (x / 48);
                      return RGB(v, y < 32 ? v : 0, y >= 64 ? v : 0);
                  }));
        // The knob cell of BaseGfx.jpg is white, the rest black.
        Dir.Write("BaseGfx.jpg", MakeJpeg(128, 288, [](int x, int y) {
                      return x >= 32 && x < 64 && y >= 224 && y < 256 ? RGB(255, 255, 255) : RGB(0, 0, 0);
                  }));
    }

    std::vector<std::string> Played() { return MenuSamplesPlayed(); }
    bool PlayedOnly(const std::vector<std::string>& expected) { return MenuSamplesPlayedOnly(expected); }

    // One tick of a page: its handler, then the latches cleared as the engine's step does.
    void Tick(void (tGameEngine::*step)(), int times = 1)
    {
        for (int i = 0; i < times; ++i) {
            (engine.*step)();
            engine.LiveInput.ClearLatched(AllActions);
            engine.MouseMoved = false;
        }
    }
    // An action pressed and released before the next tick (still latched then).
    void Tap(int action)
    {
        engine.LiveInput.Press(action);
        engine.LiveInput.Release(action);
    }
    void MoveMouse(int x, int y)
    {
        engine.MouseMoved = true;
        engine.MouseX = x;
        engine.MouseY = y;
    }
    // A left click at a point, the button still held.
    void Press(int x, int y)
    {
        MoveMouse(x, y);
        engine.LiveInput.Press(1);
    }
    void Click(int x, int y)
    {
        Press(x, y);
        engine.LiveInput.Release(1);
    }

    tGameEngine engine;
    std::unique_ptr<tDib16> Frame;
};

// A main window that counts the messages the pages post to it.
class CountingForm : public TForm {
public:
    CountingForm()
    {
        for (UINT m : {WM_RELOADDATA, WM_REINITAUDIO})
            SetMessageHandler(m, [this, m](TMessage&) { ++Posted[m]; });
    }
    std::map<UINT, int> Posted;
};
