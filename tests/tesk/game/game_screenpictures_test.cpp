// Pictures of the slab pages and of the information pop-up, drawn headless with the real
// art of "Base.Tarvol" in a 565 frame at brightness 1.1 and compared with the recorded
// references in tests/tesk/game/files/screens (record again after an intended change of
// drawing with TP_UPDATE_PICTURES=1 and look at each new picture before committing it; a
// failing comparison leaves <name>.actual.png in the build's bin folder).
#include <filesystem>

#include "platform/Keys.h"
#include "tesk/game/Fonts.h"
#include "tesk/game/EngineParts.h"
#include "tesk/game/PopUpForm.h"
#include "tests/support/FormPictures.h"
#include "tests/support/ScratchProgram.h"
#include "tests/tesk/game/SlabTestSupport.h"

namespace {

// A 16-bit surface as a 24-bit picture.
TBitmap SurfacePicture(tDib16& dib)
{
    TBitmap b;
    b.SetPixelFormat(pf24bit);
    b.SetSize(dib.Width, dib.Height);
    for (int y = 0; y < dib.Height; ++y) {
        uint8_t* row = b.ScanLine(y);
        const uint16_t* from = dib.ScanLine(y);
        for (int x = 0; x < dib.Width; ++x) {
            uint8_t r, g, bl;
            PixelToRGB(from[x], r, g, bl);
            row[3 * x] = bl;
            row[3 * x + 1] = g;
            row[3 * x + 2] = r;
        }
    }
    return b;
}

// Compares a picture with its reference: 24 per channel, under 1 % of the pixels.
void ExpectAsRecorded(const TBitmap& picture, const std::string& name)
{
    const std::string reference = std::string(TP_SOURCE_DIR) + "/tests/tesk/game/files/screens/" + name + ".png";
    const TPictureDifference d = CompareWithReference(picture, reference, 24);
    EXPECT_TRUE(d.SameSize) << "no reference picture of that size: " << reference;
    EXPECT_LT(d.Fraction(), 0.01) << name << ": " << d.Differing << " pixels differ (worst " << d.Worst << ")";
    if (!d.SameSize || d.Fraction() >= 0.01)
        SavePicturePng(picture, std::string(TP_BIN_DIR) + "/" + name + ".actual.png");
}

// The main window of the pop-up: frame (100, 50), 640 x 480.
class MainWindow : public TForm {
public:
    MainWindow()
    {
        SetBorderStyle(bsNone);
        SetBounds(100, 50, 640, 480);
    }
};

class ScreenPictures : public SlabTest {
protected:
    void SetUp() override
    {
        SlabTest::SetUp();
        AddPackage(ScratchProgramDir::BuiltPackage());
        MainFormRef = &Main;
        FmodTest::SetDeviceNames(std::vector<std::string>{"System audio output device"});
        InitGameSound();
        LoadFontGraphicsData();
        LoadSlabDialogGraphicsData();
        // The game behind the menu, dimmed as the menu's snapshot is: the side panel and a
        // background picture.
        engine.OverlaySnapshotDib = engine_parts::NewFrameSizedDib();
        tDib16& backdrop = *engine.OverlaySnapshotDib;
        backdrop.Fill(PixelBlack);
        tDib16* panel = FindOrLoadDib("SidePanel.jpg", true);
        tDib16* field = FindOrLoadDib("Morrowfinch.jpg", true);
        backdrop.BlitFrom(*panel, 0, 0, 128, 480, 0, 0);
        backdrop.BlitFrom(*field, 0, 0, 512, 480, 128, 0);
        backdrop.HalveLight();
        Snapshot = Pixels(backdrop);
    }
    void TearDown() override
    {
        engine.OverlaySnapshotDib.reset();
        FreeFontGraphicsData();
        SlabTest::TearDown();
    }
    // The engine draws its frame in the page's mode, as after entering it.
    TBitmap Screen(uint8_t mode)
    {
        engine.GameMode = mode;
        engine.FullRedraw = true;
        engine.DrawFrame();
        return SurfacePicture(*Frame);
    }
    void Enter(uint8_t mode)
    {
        engine.SetGameMode(mode);
        Played();
    }
    // An action tapped before the next tick of the page's handler.
    void TapThenTick(int action, void (tGameEngine::*step)())
    {
        Tap(action);
        Tick(step);
    }

    // The options page as its recorded picture shows it.
    void SetOptionsState()
    {
        Enter(gmOptions);
        Dialogs = true;
        TapThenTick(slab::aDown, &tGameEngine::OptionsMenuStep);
        Tick(&tGameEngine::OptionsMenuStep, 40);
    }
    // The menu font's glow sheet is released and made unreadable, so that its next use
    // loads it again and fails; MendGlowSheet lets the packaged one through again.
    void BreakGlowSheet()
    {
        tDib16* glow = FindDib("MenuFontGlow.Jpg");
        ASSERT_NE(glow, nullptr);
        glow->Unload();
        Dir.Write("MenuFontGlow.Jpg", "not a picture");
    }
    void MendGlowSheet() { std::filesystem::remove(std::filesystem::path(Dir.Path()) / "MenuFontGlow.Jpg"); }

    MainWindow Main;
    std::vector<uint16_t> Snapshot;
};

} // namespace

TEST_F(ScreenPictures, OptionsPage)
{
    SetOptionsState();
    ASSERT_EQ(OptionsSelection, 1);
    ExpectAsRecorded(Screen(gmOptions), "options");
}

TEST_F(ScreenPictures, SoundPages)
{
    SoundVolume = 7;
    MusicVolume = 3;
    SoundOn = true;
    MusicOn = false;
    SoundDevice = 1;
    SoundDriver = 0;
    Enter(gmOptions);
    TapThenTick(slab::aDown, &tGameEngine::OptionsMenuStep);
    TapThenTick(slab::aRight, &tGameEngine::OptionsMenuStep);
    ASSERT_EQ(engine.GameMode, gmSoundOptions);
    TapThenTick(slab::aDown, &tGameEngine::SoundOptionsStep);
    TapThenTick(slab::aDown, &tGameEngine::SoundOptionsStep);
    Tick(&tGameEngine::SoundOptionsStep, 40);
    ASSERT_EQ(SoundSelection, 2);
    ExpectAsRecorded(Screen(gmSoundOptions), "sound");

    // The advanced page settled on the output and driver the settings name.
    SoundSelection = 5;
    TapThenTick(slab::aRight, &tGameEngine::SoundOptionsStep);
    ASSERT_EQ(engine.GameMode, gmAdvancedSoundOptions);
    TapThenTick(slab::aDown, &tGameEngine::AdvancedSoundOptionsStep);
    Tick(&tGameEngine::AdvancedSoundOptionsStep, 40);
    ASSERT_EQ(PendingSoundDevice, 1);
    ExpectAsRecorded(Screen(gmAdvancedSoundOptions), "advanced_sound");

    // Halfway through both rolls: from the second output to none.
    TapThenTick(slab::aEnter, &tGameEngine::AdvancedSoundOptionsStep);
    TapThenTick(slab::aEnter, &tGameEngine::AdvancedSoundOptionsStep);
    ASSERT_EQ(PreviousSoundDevice, 2);
    ASSERT_EQ(PendingSoundDevice, 0);
    DeviceRoll = DriverRoll = 0.5f;
    ExpectAsRecorded(Screen(gmAdvancedSoundOptions), "advanced_sound_rolling");
}

TEST_F(ScreenPictures, VideoPages)
{
    Enter(gmOptions);
    OptionsSelection = 2;
    TapThenTick(slab::aRight, &tGameEngine::OptionsMenuStep);
    ASSERT_EQ(engine.GameMode, gmVideoOptions);
    TapThenTick(slab::aDown, &tGameEngine::VideoOptionsStep);
    Tick(&tGameEngine::VideoOptionsStep, 40);
    ASSERT_FALSE(VideoChanged);
    ExpectAsRecorded(Screen(gmVideoOptions), "video_unchanged");

    // Brighter by one step: "APPLY CHANGES" pulses, 15 ticks into its rise.
    TapThenTick(slab::aRight, &tGameEngine::VideoOptionsStep);
    Tick(&tGameEngine::VideoOptionsStep, 15);
    ASSERT_TRUE(VideoChanged);
    ASSERT_EQ(ApplyPulseCounter, 15);
    ExpectAsRecorded(Screen(gmVideoOptions), "video_changed");

    VideoSelection = 4;
    TapThenTick(slab::aRight, &tGameEngine::VideoOptionsStep);
    ASSERT_EQ(engine.GameMode, gmAdvancedVideoOptions);
    TapThenTick(slab::aDown, &tGameEngine::AdvancedVideoOptionsStep);
    Tick(&tGameEngine::AdvancedVideoOptionsStep, 40);
    ExpectAsRecorded(Screen(gmAdvancedVideoOptions), "advanced_video");
}

TEST_F(ScreenPictures, InstructionPages)
{
    Enter(gmInstructions);
    InstructionsPage = 1;
    InstructionButtonGlows = {0.95f, 0, 0};
    ExpectAsRecorded(Screen(gmInstructions), "instructions_page1");
    InstructionsPage = 2;
    InstructionButtonGlows = {0, 0, 0.95f};
    ExpectAsRecorded(Screen(gmInstructions), "instructions_page2");
}

TEST_F(ScreenPictures, CreditsEmptyRisingAndMidScroll)
{
    Enter(gmCredits);
    for (auto [counter, name] : {std::pair{0, "credits_0"}, {120, "credits_120"}, {800, "credits_800"}}) {
        CreditsScroll = counter;
        ExpectAsRecorded(Screen(gmCredits), name);
    }
}

TEST_F(ScreenPictures, PagesThatDrawNothingShowTheSnapshot)
{
    for (uint8_t mode : {gmSpareSlabA, gmSpareSlabB, gmExtrasMenu, gmHighScores, gmLoadGame, gmSaveGame}) {
        Frame->Fill(0x1234);
        Screen(mode);
        EXPECT_EQ(Pixels(*Frame), Snapshot) << int(mode);
    }
}

TEST_F(ScreenPictures, InformationPopUpHalfwayAndFullyGrown)
{
    TPopUp pop;
    pop.AfterConstruction();
    pop.MMTimer1->SetInterval(0);
    bool ran = false;
    TestHooks::SetModalStarted([&](TForm*) {
        ran = true;
        for (int call = 1; call <= 12; ++call)
            pop.MMTimer1Timer(pop.MMTimer1, 1);
        ASSERT_TRUE(pop.Growing);
        ExpectAsRecorded(DrawControlPicture(pop), "popup_halfway");
        for (int call = 1; call <= 40; ++call)
            pop.MMTimer1Timer(pop.MMTimer1, 1);
        ASSERT_FALSE(pop.Growing);
        ASSERT_EQ(pop.CaptionFade, 1.0f);
        ExpectAsRecorded(DrawControlPicture(pop), "popup_grown");
        pop.SetModalResult(mrCancel);
    });
    pop.ShowPopUp("Morrowfinch.jpg", {420, 290}, "A SIGN BY THE WAY");
    TestHooks::SetModalStarted(nullptr);
    EXPECT_TRUE(ran);
}

// The menu opened over a game leaves the frame clipped to the playfield, as the game's
// units draw; a page still draws over the side panel too.
TEST_F(ScreenPictures, PagesDrawOverTheSidePanelAfterPlay)
{
    const TRect playfield{PlayfieldX, 0, FrameWidth, FrameHeight};
    SetOptionsState();
    Frame->ClipRect = playfield;
    ExpectAsRecorded(Screen(gmOptions), "options");
    EXPECT_EQ(Frame->ClipRect, playfield);
}

TEST_F(ScreenPictures, AGlowSheetFailingOnFirstUseLeavesTheTargetAsItWas)
{
    const TRect playfield{PlayfieldX, 0, FrameWidth, FrameHeight};
    const int depth = DibStackDepthUsed();

    // In a page's painter: the error reaches the caller of the frame's drawing, the
    // frame stays the target with its clip, and once the sheet loads the next frame is
    // the page as it should be.
    SetOptionsState();
    Frame->ClipRect = playfield;
    BreakGlowSheet();
    EXPECT_THROW(Screen(gmOptions), Exception);
    EXPECT_EQ(CurrentDib, Frame.get());
    EXPECT_EQ(DibStackDepthUsed(), depth);
    EXPECT_EQ(Frame->ClipRect, playfield);
    MendGlowSheet();
    ExpectAsRecorded(Screen(gmOptions), "options");

    // While the name pictures are drawn.
    BreakGlowSheet();
    EXPECT_THROW(GenerateSoundTextDib(), Exception);
    EXPECT_EQ(CurrentDib, Frame.get());
    EXPECT_EQ(DibStackDepthUsed(), depth);
    MendGlowSheet();
    GenerateSoundTextDib();
    ASSERT_TRUE(OutputNamesDib);
    EXPECT_EQ(OutputNamesDib->Width, 354);

    // In the pop-up's render, from its timer.
    TPopUp pop;
    pop.AfterConstruction();
    pop.MMTimer1->SetInterval(0);
    bool ran = false;
    TestHooks::SetModalStarted([&](TForm*) {
        ran = true;
        for (int call = 1; call <= 40; ++call)
            pop.MMTimer1Timer(pop.MMTimer1, 1);
        BreakGlowSheet();
        EXPECT_THROW(pop.MMTimer1Timer(pop.MMTimer1, 1), Exception);
        EXPECT_EQ(CurrentDib, Frame.get());
        EXPECT_EQ(DibStackDepthUsed(), depth);
        MendGlowSheet();
        pop.MMTimer1Timer(pop.MMTimer1, 1);
        ExpectAsRecorded(DrawControlPicture(pop), "popup_grown");
        pop.SetModalResult(mrCancel);
    });
    pop.ShowPopUp("Morrowfinch.jpg", {420, 290}, "A SIGN BY THE WAY");
    TestHooks::SetModalStarted(nullptr);
    EXPECT_TRUE(ran);
    EXPECT_EQ(CurrentDib, Frame.get());
}
