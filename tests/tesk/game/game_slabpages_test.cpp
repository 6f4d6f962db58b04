// The option pages tick by tick: hover bands, click boxes and the ways back, the volume
// and brightness sliders, the video choices that wait for "APPLY CHANGES", the sound
// device and driver cycling with the names the library reports, and the name strips.
#include <cmath>
#include <limits>

#include "tests/tesk/game/SlabTestSupport.h"

namespace {

class SlabPages : public SlabTest {
protected:
    void SetUp() override
    {
        SlabTest::SetUp();
        MainFormRef = &Form;
    }
    // The device names outputs 1 and 2 report (output 0 always has "no sound").
    void Names(std::vector<std::string> names)
    {
        FmodTest::SetDeviceNames(std::move(names));
        InitGameSound();
    }
    int PostedAfterRun(UINT message)
    {
        TestHooks::RunPostedMessages();
        return Form.Posted[message];
    }
    CountingForm Form;
};

} // namespace

// ---- options page

TEST_F(SlabPages, OptionsHoverClickAndTheWaysOut)
{
    engine.SetGameMode(gmOptions);
    MoveMouse(300, 260);
    Tick(&tGameEngine::OptionsMenuStep);
    EXPECT_EQ(OptionsSelection, 2);
    EXPECT_TRUE(PlayedOnly({"mousemove"}));
    MoveMouse(104, 230);  // left of the band: no change
    Tick(&tGameEngine::OptionsMenuStep);
    EXPECT_EQ(OptionsSelection, 2);

    // Up and Down wrap over the four items.
    Tap(3);
    Tap(3);
    Tick(&tGameEngine::OptionsMenuStep);
    EXPECT_EQ(OptionsSelection, 3);
    Tap(3);
    Tick(&tGameEngine::OptionsMenuStep);
    EXPECT_EQ(OptionsSelection, 0);
    EXPECT_TRUE(PlayedOnly({"mousemove", "mousemove", "move", "move"}));

    // The in-game menus switch: Left on, Right off, activation toggles.
    OptionsSelection = 3;
    Tap(5);
    Tick(&tGameEngine::OptionsMenuStep);
    EXPECT_FALSE(Dialogs);
    Tap(4);
    Tick(&tGameEngine::OptionsMenuStep);
    EXPECT_TRUE(Dialogs);
    Tap(7);
    Tick(&tGameEngine::OptionsMenuStep);
    EXPECT_FALSE(Dialogs);
    EXPECT_TRUE(PlayedOnly({"select", "select", "select"}));

    // Right on "SOUND >" enters the sound page at its first item.
    SoundSelection = 4;
    OptionsSelection = 1;
    Tap(5);
    Tick(&tGameEngine::OptionsMenuStep);
    EXPECT_EQ(engine.GameMode, gmSoundOptions);
    EXPECT_EQ(SoundSelection, 0);
    EXPECT_TRUE(engine.FullRedraw);
    EXPECT_EQ(OptionsSelection, 1);

    // Outside the click box, Esc and Left on the first item all go back to the main menu.
    for (int way = 0; way < 3; ++way) {
        engine.SetGameMode(gmOptions);
        engine.FullRedraw = false;
        Played();
        if (way == 0) {
            Click(300, 322);
        } else if (way == 1) {
            Tap(8);
        } else {
            OptionsSelection = 0;
            Tap(4);
        }
        Tick(&tGameEngine::OptionsMenuStep);
        EXPECT_EQ(engine.GameMode, gmMainMenu) << way;
        EXPECT_TRUE(engine.FullRedraw);
        EXPECT_EQ(Played(), std::vector<std::string>{"close"}) << way;
    }
}

TEST_F(SlabPages, ChoiceGlowsFollowTheirValue)
{
    engine.SetGameMode(gmOptions);
    Dialogs = true;
    DialogsGlow = tChoiceGlow{0.5f, 0.5f};
    Tick(&tGameEngine::OptionsMenuStep);
    EXPECT_FLOAT_EQ(DialogsGlow.On, 0.55f);
    EXPECT_FLOAT_EQ(DialogsGlow.Off, 0.47f);
    Tick(&tGameEngine::OptionsMenuStep, 30);
    EXPECT_FLOAT_EQ(DialogsGlow.On, 1.0f);
    EXPECT_FLOAT_EQ(DialogsGlow.Off, 0.0f);
    EXPECT_FLOAT_EQ(OptionsLevels[0], 1.0f);
}

// ---- sound page

TEST_F(SlabPages, VolumeKnobDragFollowsTheMouse)
{
    engine.SetGameMode(gmSoundOptions);
    SoundVolume = 3;
    Press(420, 230);
    Tick(&tGameEngine::SoundOptionsStep);
    ASSERT_EQ(engine.SliderDrag, 1);
    EXPECT_EQ(SoundVolume, 6);  // (420 - 345) / 120 x 10 = 6.25
    EXPECT_EQ(SoundSelection, 2);
    Played();

    struct Case {
        int x, volume;
        bool sound;
    } cases[] = {{300, 0, true}, {345, 0, false}, {351, 0, false}, {357, 1, true}, {363, 2, true},
                 {465, 10, true}, {600, 10, false}, {465, 10, false}};
    for (const Case& c : cases) {
        MoveMouse(c.x, 140);  // over another item: no hover while dragging
        Tick(&tGameEngine::SoundOptionsStep);
        EXPECT_EQ(SoundVolume, c.volume) << c.x;
        EXPECT_EQ(Played(), c.sound ? std::vector<std::string>{"slider"} : std::vector<std::string>{}) << c.x;
        EXPECT_EQ(SoundSelection, 2);
    }

    // Releasing the button ends the drag; the music knob has its own band.
    engine.LiveInput.Release(1);
    Tick(&tGameEngine::SoundOptionsStep);
    EXPECT_EQ(engine.SliderDrag, 0);
    Press(346, 310);
    Tick(&tGameEngine::SoundOptionsStep);
    EXPECT_EQ(engine.SliderDrag, 2);
    EXPECT_EQ(MusicVolume, 0);
    engine.LiveInput.Release(1);

    // Outside the knob columns a click starts no drag.
    for (int x : {345, 466}) {
        Tick(&tGameEngine::SoundOptionsStep);
        Press(x, 230);
        Tick(&tGameEngine::SoundOptionsStep);
        EXPECT_EQ(engine.SliderDrag, 0) << x;
        engine.LiveInput.Release(1);
    }
}

TEST_F(SlabPages, SoundKeysStepTheVolumesAndSwitches)
{
    engine.SetGameMode(gmSoundOptions);
    struct Case {
        uint8_t item;
        int action;
        int32_t* volume;
        int32_t from, to;
    } cases[] = {{2, 4, &SoundVolume, 5, 4}, {2, 4, &SoundVolume, 0, 0},  {2, 5, &SoundVolume, 9, 10},
                 {2, 5, &SoundVolume, 10, 10}, {4, 4, &MusicVolume, 1, 0}, {4, 5, &MusicVolume, 3, 4}};
    for (const Case& c : cases) {
        SoundSelection = c.item;
        *c.volume = c.from;
        Played();
        Tap(c.action);
        Tick(&tGameEngine::SoundOptionsStep);
        EXPECT_EQ(*c.volume, c.to);
        EXPECT_EQ(Played(), c.from != c.to ? std::vector<std::string>{"slider"} : std::vector<std::string>{});
    }
    SoundSelection = 1;
    Tap(5);
    Tick(&tGameEngine::SoundOptionsStep);
    EXPECT_FALSE(SoundOn);
    Tap(4);
    Tick(&tGameEngine::SoundOptionsStep);
    EXPECT_TRUE(SoundOn);
    SoundSelection = 3;
    Tap(7);
    Tick(&tGameEngine::SoundOptionsStep);
    EXPECT_FALSE(MusicOn);
    Tap(8);
    Tick(&tGameEngine::SoundOptionsStep);
    EXPECT_EQ(engine.GameMode, gmOptions);
}

// ---- advanced sound page

TEST_F(SlabPages, EnteringTheAdvancedSoundPage)
{
    Names({"ONE", "TWO"});
    SoundDevice = 1;
    SoundDriver = 1;
    engine.SetGameMode(gmSoundOptions);
    AdvancedSoundSelection = 2;
    SoundSelection = 5;
    Tap(7);  // activation keeps the selection
    Tick(&tGameEngine::SoundOptionsStep);
    EXPECT_EQ(engine.GameMode, gmAdvancedSoundOptions);
    EXPECT_EQ(AdvancedSoundSelection, 2);
    EXPECT_EQ(PendingSoundDevice, 1);
    EXPECT_EQ(PendingSoundDriver, 1);
    EXPECT_TRUE(engine.FullRedraw);

    engine.SetGameMode(gmSoundOptions);
    SoundSelection = 5;
    Tap(5);  // Right starts it at the first item
    Tick(&tGameEngine::SoundOptionsStep);
    EXPECT_EQ(engine.GameMode, gmAdvancedSoundOptions);
    EXPECT_EQ(AdvancedSoundSelection, 0);
}

TEST_F(SlabPages, CyclingDevicesAndDrivers)
{
    struct Case {
        std::vector<std::string> names;
        uint8_t device;
        int item, times;
        std::vector<std::pair<int, int>> expected;  // device, driver after each
    } cases[] = {
        {{"A"}, 0, 1, 3, {{1, 0}, {2, 0}, {0, 0}}},
        {{}, 1, 2, 1, {{1, 0}}},
        {{"A", "B"}, 2, 2, 2, {{2, 1}, {2, 0}}},
        {std::vector<std::string>(20, "N"), 1, 2, 21, {}},
    };
    for (const Case& c : cases) {
        Names(c.names);
        SoundDevice = c.device;
        SoundDriver = 0;
        engine.SetGameMode(gmSoundOptions);
        slab::EnterAdvancedSoundPage(engine);
        AdvancedSoundSelection = static_cast<uint8_t>(c.item);
        for (int i = 0; i < c.times; ++i) {
            const int device = PendingSoundDevice, driver = PendingSoundDriver;
            Tap(7);
            Tick(&tGameEngine::AdvancedSoundOptionsStep);
            EXPECT_EQ(PreviousSoundDevice, device);
            EXPECT_EQ(PreviousSoundDriver, driver);
            if (i < static_cast<int>(c.expected.size())) {
                EXPECT_EQ(PendingSoundDevice, c.expected[i].first) << i;
                EXPECT_EQ(PendingSoundDriver, c.expected[i].second) << i;
            }
            EXPECT_FLOAT_EQ(DriverRoll, 1.0f);
            EXPECT_FLOAT_EQ(DeviceRoll, c.item == 1 ? 1.0f : 0.0f);
        }
        if (c.names.size() == 20) {
            EXPECT_EQ(PendingSoundDriver, 1);  // 21 steps through 20 names
        }
    }
    // Each tick the rolls settle by a quarter.
    DeviceRoll = 1;
    DriverRoll = 0.5f;
    Tick(&tGameEngine::AdvancedSoundOptionsStep);
    EXPECT_FLOAT_EQ(DeviceRoll, 0.75f);
    EXPECT_FLOAT_EQ(DriverRoll, 0.375f);
}

TEST_F(SlabPages, LeavingTheAdvancedSoundPage)
{
    Names({"A", "B"});
    SoundDevice = 2;
    SoundDriver = 0;
    auto enter = [&] {
        engine.SetGameMode(gmSoundOptions);
        slab::EnterAdvancedSoundPage(engine);
        Played();
    };

    // Nothing changed: "< BACK TO SOUND" or Left on it closes without storing.
    for (int way : {4, 7}) {
        enter();
        AdvancedSoundSelection = 0;
        Tap(way);
        Tick(&tGameEngine::AdvancedSoundOptionsStep);
        EXPECT_EQ(engine.GameMode, gmSoundOptions);
        EXPECT_TRUE(engine.FullRedraw);
        EXPECT_TRUE(PlayedOnly(way == 4 ? std::vector<std::string>{"close"}
                                        : std::vector<std::string>{"close", "select"}));
    }
    EXPECT_EQ(PostedAfterRun(WM_REINITAUDIO), 0);

    // Esc or a click outside drops a change.
    for (int way = 0; way < 2; ++way) {
        enter();
        AdvancedSoundSelection = 2;
        Tap(7);
        Tick(&tGameEngine::AdvancedSoundOptionsStep);
        ASSERT_EQ(PendingSoundDriver, 1);
        Played();
        if (way == 0)
            Tap(8);
        else
            Click(125, 200);
        Tick(&tGameEngine::AdvancedSoundOptionsStep);
        EXPECT_EQ(engine.GameMode, gmSoundOptions);
        EXPECT_TRUE(PlayedOnly({"close"}));
        EXPECT_EQ(SoundDriver, 0);
        EXPECT_EQ(SoundDevice, 2);
    }
    EXPECT_EQ(PostedAfterRun(WM_REINITAUDIO), 0);

    // A change stored through the way back restarts the sound once.
    enter();
    AdvancedSoundSelection = 1;
    Tap(7);
    Tick(&tGameEngine::AdvancedSoundOptionsStep);
    AdvancedSoundSelection = 0;
    Played();
    Tap(4);
    Tick(&tGameEngine::AdvancedSoundOptionsStep);
    EXPECT_TRUE(PlayedOnly({}));
    EXPECT_EQ(SoundDevice, 0);
    EXPECT_EQ(SoundDriver, 0);
    EXPECT_EQ(PostedAfterRun(WM_REINITAUDIO), 1);
}

TEST_F(SlabPages, StoredDeviceAndDriverOutOfRangeAreShownAsTheFirst)
{
    for (const std::vector<std::string>& names : {std::vector<std::string>{}, std::vector<std::string>{"ONE"}}) {
        Names(names);
        GenerateSoundTextDib();
        for (uint8_t device : {3, 7, 255}) {
            for (int32_t driver : {50, -1}) {
                SoundDevice = device;
                SoundDriver = driver;
                engine.SetGameMode(gmSoundOptions);
                slab::EnterAdvancedSoundPage(engine);
                EXPECT_EQ(PendingSoundDevice, 0);
                EXPECT_EQ(PreviousSoundDevice, 0);
                EXPECT_EQ(PendingSoundDriver, 0);
                EXPECT_EQ(PreviousSoundDriver, 0);
                DrawAdvancedSoundSlab();
                AdvancedSoundSelection = 0;
                Tap(4);
                Tick(&tGameEngine::AdvancedSoundOptionsStep);
                EXPECT_EQ(SoundDevice, device);  // nothing stored
                EXPECT_EQ(SoundDriver, driver);

                // A real change stores valid values.
                slab::EnterAdvancedSoundPage(engine);
                AdvancedSoundSelection = 1;
                Tap(7);
                Tick(&tGameEngine::AdvancedSoundOptionsStep);
                AdvancedSoundSelection = 2;
                Tap(7);
                Tick(&tGameEngine::AdvancedSoundOptionsStep);
                DrawAdvancedSoundSlab();
                AdvancedSoundSelection = 0;
                Tap(4);
                Tick(&tGameEngine::AdvancedSoundOptionsStep);
                EXPECT_EQ(SoundDevice, 1);
                EXPECT_EQ(SoundDriver, 0);
            }
        }
    }
    EXPECT_EQ(PostedAfterRun(WM_REINITAUDIO), 12);
}

// ---- video pages

TEST_F(SlabPages, BrightnessDragAndSteps)
{
    DisplayBrightness = 1.1f;
    slab::EnterVideoPage(engine);
    Press(404, 180);
    Tick(&tGameEngine::VideoOptionsStep);
    ASSERT_EQ(engine.SliderDrag, 1);
    EXPECT_NEAR(PendingBrightness, 0.5f, 1e-5);
    for (auto [x, b] : {std::pair{464, 1.6f}, {524, 2.7f}, {700, 2.7f}, {100, 0.5f}}) {
        MoveMouse(x, 300);
        Tick(&tGameEngine::VideoOptionsStep);
        EXPECT_NEAR(PendingBrightness, b, 1e-5) << x;
    }
    engine.LiveInput.Release(1);
    Tick(&tGameEngine::VideoOptionsStep);
    EXPECT_EQ(engine.SliderDrag, 0);

    struct Case {
        float from;
        int action;
        float to;
        bool sound;
    } cases[] = {{0.6f, 4, 0.5f, true}, {0.52f, 4, 0.5f, false}, {0.5f, 4, 0.5f, false}, {2.68f, 5, 2.7f, false},
                 {1.1f, 5, 1.32f, true}};
    VideoSelection = 1;
    for (const Case& c : cases) {
        PendingBrightness = c.from;
        Played();
        Tap(c.action);
        Tick(&tGameEngine::VideoOptionsStep);
        EXPECT_NEAR(PendingBrightness, c.to, 1e-5) << c.from;
        EXPECT_EQ(Played(), c.sound ? std::vector<std::string>{"slider"} : std::vector<std::string>{}) << c.from;
    }
}

TEST_F(SlabPages, BrightnessKnobSteps)
{
    const float inf = std::numeric_limits<float>::infinity();
    struct Case {
        float brightness;
        int32_t knob;
    } cases[] = {{1.1f, 3},  {0.5f, 0},  {1.6f, 5},   {2.7f, 10}, {0.49f, 0},
                 {2.71f, 10}, {inf, 10}, {-inf, 0}, {std::nanf(""), 0}};
    for (const Case& c : cases)
        EXPECT_EQ(BrightnessKnob(c.brightness), c.knob) << c.brightness;
}

TEST_F(SlabPages, VideoSettingsChangedComparesEveryPendingChoice)
{
    DisplayBrightness = 1.1f;
    auto pendingAsSettings = [] {
        PendingBrightness = DisplayBrightness;
        PendingAnimateWater = !DontAnimateWater;
        PendingFullScreen = FullScreen;
        PendingSystemMemoryBackBuffer = SystemMemoryBackBuffer;
        PendingBitBlt = UseBitBlt;
    };
    pendingAsSettings();
    EXPECT_FALSE(VideoSettingsChanged());
    PendingBrightness = 1.15f;
    EXPECT_FALSE(VideoSettingsChanged());
    PendingBrightness = 1.25f;
    EXPECT_TRUE(VideoSettingsChanged());
    for (bool* pending : {&PendingAnimateWater, &PendingFullScreen, &PendingSystemMemoryBackBuffer, &PendingBitBlt}) {
        pendingAsSettings();
        *pending = !*pending;
        EXPECT_TRUE(VideoSettingsChanged());
    }
    for (float stored : {0.49f, 2.71f}) {
        DisplayBrightness = stored;
        slab::EnterVideoPage(engine);
        Tick(&tGameEngine::VideoOptionsStep);
        EXPECT_FALSE(VideoChanged) << stored;
    }
}

TEST_F(SlabPages, UnchangedVideoPageSkipsApply)
{
    slab::EnterVideoPage(engine);
    Tap(2);
    Tick(&tGameEngine::VideoOptionsStep);
    EXPECT_EQ(VideoSelection, 4);
    Tap(3);
    Tick(&tGameEngine::VideoOptionsStep);
    EXPECT_EQ(VideoSelection, 0);

    // Below the short click box the click goes back.
    Click(300, 360);
    Tick(&tGameEngine::VideoOptionsStep);
    EXPECT_EQ(engine.GameMode, gmOptions);
    EXPECT_EQ(PostedAfterRun(WM_RELOADDATA), 0);
}

TEST_F(SlabPages, ChangedVideoPagePulsesAndApplies)
{
    DisplayBrightness = 1.1f;
    slab::EnterVideoPage(engine);
    PendingBrightness = 2.0f;
    PendingAnimateWater = false;
    PendingFullScreen = false;
    PendingSystemMemoryBackBuffer = false;
    PendingBitBlt = true;
    VideoSelection = 4;
    Tap(3);
    Tick(&tGameEngine::VideoOptionsStep);
    EXPECT_EQ(VideoSelection, 5);
    Tap(3);
    Tick(&tGameEngine::VideoOptionsStep);
    EXPECT_EQ(VideoSelection, 0);

    // The pulse: up by 0.03 while bits 4..6 of the counter are clear, down by 0.02 otherwise.
    ApplyPulseCounter = 0;
    ApplyPulse = 0;
    float expected = 0;
    for (int tick = 1; tick <= 300; ++tick) {
        Tick(&tGameEngine::VideoOptionsStep);
        expected = (tick & 0x70) == 0 ? std::min(0.6f, expected + 0.03f) : std::max(0.0f, expected - 0.02f);
        ASSERT_NEAR(ApplyPulse, expected, 1e-5) << tick;
        ASSERT_FLOAT_EQ(VideoLevels[5], ApplyPulse);
    }

    // Inside the taller click box the click activates "APPLY CHANGES".
    MoveMouse(300, 360);
    Tick(&tGameEngine::VideoOptionsStep);
    ASSERT_EQ(VideoSelection, 5);
    Click(300, 360);
    Tick(&tGameEngine::VideoOptionsStep);
    EXPECT_EQ(engine.GameMode, gmVideoOptions);
    EXPECT_FLOAT_EQ(DisplayBrightness, 2.0f);
    EXPECT_TRUE(DontAnimateWater);
    EXPECT_FALSE(FullScreen);
    EXPECT_FALSE(SystemMemoryBackBuffer);
    EXPECT_TRUE(UseBitBlt);
    EXPECT_EQ(PostedAfterRun(WM_RELOADDATA), 1);
    Tick(&tGameEngine::VideoOptionsStep);
    EXPECT_FALSE(VideoChanged);
    EXPECT_EQ(ApplyPulse, 0);
}

TEST_F(SlabPages, AdvancedVideoChoicesWaitForApply)
{
    SystemMemoryBackBuffer = true;
    UseBitBlt = false;
    slab::EnterVideoPage(engine);
    VideoSelection = 4;
    Tap(5);
    Tick(&tGameEngine::VideoOptionsStep);
    ASSERT_EQ(engine.GameMode, gmAdvancedVideoOptions);
    AdvancedVideoSelection = 1;
    Tap(5);
    Tick(&tGameEngine::AdvancedVideoOptionsStep);
    AdvancedVideoSelection = 2;
    Tap(7);
    Tick(&tGameEngine::AdvancedVideoOptionsStep);
    EXPECT_FALSE(PendingSystemMemoryBackBuffer);
    EXPECT_TRUE(PendingBitBlt);
    EXPECT_TRUE(VideoChanged);
    EXPECT_TRUE(SystemMemoryBackBuffer);
    EXPECT_FALSE(UseBitBlt);

    // Back to the video page: the pending values and both selections stay.
    Tap(8);
    Tick(&tGameEngine::AdvancedVideoOptionsStep);
    EXPECT_EQ(engine.GameMode, gmVideoOptions);
    EXPECT_EQ(VideoSelection, 4);
    EXPECT_TRUE(PendingBitBlt);
    VideoSelection = 4;
    Tap(5);
    Tick(&tGameEngine::VideoOptionsStep);
    EXPECT_EQ(AdvancedVideoSelection, 2);

    // Entering the video page again from the options page starts from the settings.
    engine.SetGameMode(gmOptions);
    OptionsSelection = 2;
    Tap(7);
    Tick(&tGameEngine::OptionsMenuStep);
    EXPECT_EQ(engine.GameMode, gmVideoOptions);
    EXPECT_EQ(VideoSelection, 0);
    EXPECT_FALSE(PendingBitBlt);
    EXPECT_TRUE(PendingSystemMemoryBackBuffer);
    EXPECT_EQ(PostedAfterRun(WM_RELOADDATA), 0);
}

// ---- name strips

TEST_F(SlabPages, ChoiceRollSlidesTheNamesAcrossAlternateRows)
{
    const uint16_t a = RGBToPixel(200, 0, 0), b = RGBToPixel(0, 0, 200), under = RGBToPixel(0, 80, 0);
    tDib16 oldStrip(354, 29), newStrip(354, 29);
    FillAll(oldStrip, a);
    FillAll(newStrip, b);
    auto rowAt = [&](int x, int r) { return Frame->ScanLine(300 + r)[x]; };
    for (float fraction : {1.0f, 0.0f, 0.5f}) {
        FillAll(*Frame, under);
        DrawChoiceRoll(oldStrip, 0, newStrip, 0, fraction, 100, 300);
        for (int r = 0; r < 29; ++r) {
            for (int x = 100; x < 454; ++x) {
                uint16_t want = fraction == 1.0f ? a : fraction == 0.0f ? b : 0;
                if (fraction == 0.5f)
                    want = (r % 2 == 1) == (x < 277) ? b : a;
                ASSERT_EQ(rowAt(x, r), want) << fraction << " row " << r << " x " << x;
            }
            EXPECT_EQ(rowAt(99, r), under);
            EXPECT_EQ(rowAt(454, r), under);
        }
        EXPECT_EQ(Frame->ScanLine(299)[200], under);
        EXPECT_EQ(Frame->ScanLine(329)[200], under);
    }

    // Rows beyond a picture stay blank.
    FillAll(*Frame, under);
    DrawChoiceRoll(oldStrip, 20, newStrip, -20, 0.5f, 100, 300);
    EXPECT_EQ(rowAt(100, 0), a);      // old row 20
    EXPECT_EQ(rowAt(300, 0), under);  // new row -20
    EXPECT_EQ(rowAt(100, 10), under); // old row 30
    EXPECT_EQ(rowAt(300, 10), under); // new row -10
    EXPECT_EQ(rowAt(100, 20), under); // old row 40
    EXPECT_EQ(rowAt(300, 20), b);     // new row 0

    // The frame's edges clip the strip.
    DrawChoiceRoll(oldStrip, 0, newStrip, 0, 0.5f, 500, 470);
    EXPECT_EQ(Frame->ScanLine(479)[639], b);
    DrawChoiceRoll(oldStrip, 0, newStrip, 0, 0.5f, -300, -10);
    EXPECT_EQ(Frame->ScanLine(0)[0], b);
}

TEST_F(SlabPages, NamePicturesHoldOneStripPerName)
{
    DisplayBrightness = 1.1f;
    for (size_t n : {0u, 1u, 3u, 20u}) {
        std::vector<std::string> names;
        for (size_t i = 0; i < n; ++i)
            names.push_back(i == 1 ? std::string(300, 'w') : i == 2 ? "" : "dev\xC3\xA9" + std::to_string(i));
        Names(names);
        GenerateSoundTextDib();
        ASSERT_TRUE(OutputNamesDib);
        EXPECT_EQ(OutputNamesDib->Width, 354);
        EXPECT_EQ(OutputNamesDib->Height, 87);
        EXPECT_EQ(DriverNamesDibs[0]->Height, 29);
        for (int output : {1, 2}) {
            EXPECT_EQ(DriverNamesDibs[output]->Width, 354);
            EXPECT_EQ(DriverNamesDibs[output]->Height, static_cast<int>(std::max<size_t>(1, n)) * 29);
        }
    }
    EXPECT_EQ(LastOperation, "DebugMessage('GenerateSoundTextDib Begins')");
}
