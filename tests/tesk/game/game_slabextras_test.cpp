// The instruction pages, the extras group and the credits scroll, the pages' pictures
// (loaded on use, released when the menu closes, any size) and the menu samples.
#include "platform/Fmod.h"
#include "tests/support/PictureFiles.h"
#include "tests/tesk/game/SlabTestSupport.h"

namespace {

constexpr uint16_t Marker = 0x1234;

class SlabExtras : public SlabTest {
protected:
    void SetUp() override
    {
        SlabTest::SetUp();
        WriteSlabPictures();
        LoadSlabDialogGraphicsData();
    }
    bool Loaded(const char* name)
    {
        tDib16* dib = FindDib(name);
        return dib && dib->Loaded;
    }
    // The frame rows that the band changed (at x 200 and anywhere).
    std::vector<int> BandRows()
    {
        std::vector<int> rows;
        for (int y = 0; y < 480; ++y)
            if (Frame->ScanLine(y)[200] != Marker)
                rows.push_back(y);
        return rows;
    }
    // One credits tick and band, on a frame of the marker colour.
    void CreditsFrame()
    {
        Tick(&tGameEngine::CreditsStep);
        Frame->Fill(Marker);
        DrawCreditsBand();
    }
};

std::vector<int> Rows(int first, int last)
{
    std::vector<int> rows;
    for (int y = first; y <= last; ++y)
        rows.push_back(y);
    return rows;
}

} // namespace

TEST_F(SlabExtras, SamplesAndPicturesLoadAsTheMenusNeedThem)
{
    FreeSlabDialogSoundData();
    FmodTest::ClearOpenedNames();
    LoadSlabDialogSoundData();
    EXPECT_EQ(FmodTest::OpenedNames(),
              (std::vector<std::string>{"samples\\MenuMove.wav", "samples\\MenuMouseMove.wav", "samples\\MenuSelect.wav",
                                        "samples\\menuClose.wav", "samples\\Slider.wav", "samples\\InvalidOption.wav",
                                        "samples\\MainMenuOpen.wav", "samples\\MainMenuClose.wav"}));

    EXPECT_TRUE(Loaded("Menu_Main.Jpg"));
    EXPECT_EQ(MainMenuSlab.Width, 392);
    EXPECT_EQ(MainMenuSlab.Height, 366);
    for (const char* name : {"Menu_Options.jpg", "Menu_Sound.jpg", "Menu_AdvSound.jpg", "Menu_Video.jpg",
                             "Menu_AdvVideo.jpg", "CreditsSlab.jpg"}) {
        ASSERT_TRUE(FindDib(name)) << name;
        EXPECT_FALSE(Loaded(name)) << name;
    }
    EXPECT_EQ(SliderKnob.SrcX, 32);
    EXPECT_EQ(SliderKnob.SrcY, 224);

    // The slab is drawn centred, the knob centred on its place.
    FillAll(*Frame, Marker);
    SoundVolume = 0;
    MusicVolume = 10;
    DrawSoundSlab();
    EXPECT_EQ(Frame->ScanLine(61)[117], Marker);
    EXPECT_NE(Frame->ScanLine(62)[118], Marker);
    EXPECT_NE(Frame->ScanLine(418)[521], Marker);
    EXPECT_EQ(Frame->ScanLine(419)[522], Marker);
    uint8_t r, g, b;
    PixelToRGB(Frame->ScanLine(227)[345], r, g, b);
    EXPECT_GT(r, 200);
    PixelToRGB(Frame->ScanLine(308)[465], r, g, b);
    EXPECT_GT(r, 200);

    // Freed and loaded again (a rebuild): nothing points at a freed picture.
    FreeSlabDialogGraphicsData();
    EXPECT_EQ(MainMenuSlab.Source, nullptr);
    EXPECT_EQ(SoundSlab.Source, nullptr);
    EXPECT_FALSE(OutputNamesDib);
    FreeAllDibs();
    DrawSoundSlab();
    LoadSlabDialogGraphicsData();
    DrawSoundSlab();
    EXPECT_EQ(SoundSlab.Source, FindDib("Menu_Sound.jpg"));
}

TEST_F(SlabExtras, ClosingTheMenuReleasesThePagePicturesAndTheyComeBackTheSame)
{
    auto drawAll = [&] {
        std::vector<std::vector<uint16_t>> pictures;
        InstructionsPage = 1;
        for (void (*painter)() : {DrawOptionsSlab, DrawSoundSlab, DrawAdvancedSoundSlab, DrawVideoSlab,
                                  DrawAdvancedVideoSlab, DrawInstructionsSlab}) {
            FillAll(*Frame, Marker);
            painter();
            pictures.push_back(Pixels(*Frame));
        }
        InstructionsPage = 2;
        DrawInstructionsSlab();
        pictures.push_back(Pixels(*Frame));
        return pictures;
    };
    const auto first = drawAll();
    tDib16* names = OutputNamesDib.get();
    UnloadSlabImages();
    for (const char* name : {"Menu_Options.jpg", "Menu_Sound.jpg", "Menu_AdvSound.jpg", "Menu_Video.jpg",
                             "Menu_AdvVideo.jpg", "Instructions(Page1).jpg", "Instructions(Page2).jpg",
                             "InstructionButtons.jpg"})
        EXPECT_FALSE(Loaded(name)) << name;
    EXPECT_TRUE(Loaded("Menu_Main.Jpg"));
    EXPECT_EQ(OutputNamesDib.get(), names);
    UnloadSlabImages();
    EXPECT_EQ(drawAll(), first);

    FreeSlabDialogGraphicsData();
    FreeAllDibs();
    UnloadSlabImages();  // with nothing loaded at all
}

TEST_F(SlabExtras, APageStateOutlivesARebuild)
{
    OptionsSelection = 2;
    VideoSelection = 4;
    AdvancedVideoSelection = 1;
    PendingBitBlt = true;
    InstructionsPage = 2;
    CreditsScroll = 77;
    OptionsLevels[2] = 1;
    FreeSlabDialogGraphicsData();
    DoneSlabDialogs();
    FreeAllDibs();
    InitSlabDialogs();
    LoadSlabDialogGraphicsData();
    EXPECT_EQ(OptionsSelection, 2);
    EXPECT_EQ(VideoSelection, 4);
    EXPECT_EQ(AdvancedVideoSelection, 1);
    EXPECT_TRUE(PendingBitBlt);
    EXPECT_EQ(InstructionsPage, 2);
    EXPECT_EQ(CreditsScroll, 77);
    EXPECT_EQ(OptionsLevels[2], 0.0f);  // the highlights start dark again
    DrawOptionsSlab();
}

TEST_F(SlabExtras, ResetSlabHighlightsZeroesOnlyThePageItems)
{
    for (auto* levels : {OptionsLevels.data(), SoundLevels.data(), AdvancedSoundLevels.data(), VideoLevels.data(),
                         AdvancedVideoLevels.data()})
        levels[0] = 0.5f;
    ExtrasLevels[0] = DialogsGlow.On = SlotLevels[0] = InstructionButtonGlows[0] = 0.5f;
    OptionsSelection = 2;
    ResetSlabHighlights();
    for (auto* levels : {OptionsLevels.data(), SoundLevels.data(), AdvancedSoundLevels.data(), VideoLevels.data(),
                         AdvancedVideoLevels.data()})
        EXPECT_EQ(levels[0], 0.0f);
    EXPECT_EQ(ExtrasLevels[0], 0.5f);
    EXPECT_EQ(DialogsGlow.On, 0.5f);
    EXPECT_EQ(SlotLevels[0], 0.5f);
    EXPECT_EQ(InstructionButtonGlows[0], 0.5f);
    EXPECT_EQ(OptionsSelection, 2);
}

TEST_F(SlabExtras, APageThatFailsToLoadTriesAgainOnItsNextDraw)
{
    FreeSlabDialogGraphicsData();
    FreeAllDibs();
    Dir.Write("Menu_Options.jpg", "not a picture");
    LoadSlabDialogGraphicsData();
    OptionsSelection = 2;
    EXPECT_THROW(DrawOptionsSlab(), Exception);
    EXPECT_EQ(OptionsSelection, 2);
    EXPECT_EQ(CurrentDib, Frame.get());
    Dir.Write("Menu_Options.jpg", FlatJpeg(480, 282, RGB(100, 70, 40)));
    FillAll(*Frame, Marker);
    DrawOptionsSlab();
    EXPECT_NE(Frame->ScanLine(240)[320], Marker);
}

TEST_F(SlabExtras, PicturesOfAnySizeStayInsideTheFrame)
{
    FreeSlabDialogGraphicsData();
    FreeAllDibs();
    for (const char* name : {"Menu_Options.jpg", "Menu_Sound.jpg", "Menu_AdvSound.jpg", "Menu_Video.jpg",
                             "Menu_AdvVideo.jpg", "CreditsSlab.jpg", "BaseGfx.jpg"})
        Dir.Write(name, FlatJpeg(20, 20, RGB(10, 200, 10)));
    Dir.Write("InstructionButtons.jpg", FlatJpeg(10, 10, RGB(10, 200, 10)));
    LoadSlabDialogGraphicsData();
    for (void (*painter)() : {DrawOptionsSlab, DrawSoundSlab, DrawVideoSlab, DrawAdvancedSoundSlab,
                              DrawAdvancedVideoSlab, DrawCreditsSlab})
        painter();
    for (int size : {100, 1000}) {
        Dir.Write("Instructions(Page1).jpg", FlatJpeg(size, size, RGB(200, 10, 10)));
        UnloadSlabImages();
        FillAll(*Frame, Marker);
        InstructionsPage = 1;
        DrawInstructionsSlab();
        EXPECT_NE(Frame->ScanLine(std::min(size, 480) - 1)[std::min(size, 640) - 1], Marker);
        if (size == 100) {
            EXPECT_EQ(Frame->ScanLine(100)[0], Marker);
            EXPECT_EQ(Frame->ScanLine(0)[100], Marker);
            EXPECT_NE(Frame->ScanLine(438)[577], Marker);  // the button's 10 x 10 corner
            EXPECT_EQ(Frame->ScanLine(448)[587], Marker);
        }
    }
}

TEST_F(SlabExtras, InstructionPagesTurnOnAnyKeyButShiftOrAlt)
{
    engine.SetGameMode(gmInstructions);
    InstructionsPage = 1;
    engine.LiveInput.KeyDown(13);  // the Enter that opened the page, cleared with its tick
    engine.LiveInput.ClearLatched(AllActions);
    Tick(&tGameEngine::InstructionsStep);
    EXPECT_EQ(InstructionsPage, 1);
    for (uint16_t key : {16, 18}) {
        engine.LiveInput.KeyDown(key);
        Tick(&tGameEngine::InstructionsStep);
        EXPECT_EQ(InstructionsPage, 1) << key;
    }
    InstructionButtonGlows = {0.3f, 0.4f, 0.5f};
    engine.LiveInput.KeyDown('X');
    Tick(&tGameEngine::InstructionsStep);
    EXPECT_EQ(InstructionsPage, 2);
    EXPECT_EQ(InstructionButtonGlows[1], 0.0f);
    EXPECT_EQ(InstructionButtonGlows[2], 0.0f);
    EXPECT_TRUE(PlayedOnly({"select"}));

    // Left, or a click on button A, turns back; any other key or button leaves.
    Tap(4);
    Tick(&tGameEngine::InstructionsStep);
    EXPECT_EQ(InstructionsPage, 1);
    EXPECT_EQ(InstructionButtonGlows[0], 0.0f);
    engine.LiveInput.KeyDown(1);
    engine.LiveInput.KeyUp(1);
    Tick(&tGameEngine::InstructionsStep);
    ASSERT_EQ(InstructionsPage, 2);
    engine.MouseX = 530;
    engine.MouseY = 450;
    engine.LiveInput.KeyDown(1);
    engine.LiveInput.KeyUp(1);
    Tick(&tGameEngine::InstructionsStep);
    EXPECT_EQ(InstructionsPage, 1);
    EXPECT_TRUE(PlayedOnly({"select", "select", "select"}));

    DrawInstructionsSlab();
    InstructionsPage = 2;
    DrawInstructionsSlab();
    EXPECT_TRUE(Loaded("Instructions(Page1).jpg"));
    EXPECT_TRUE(Loaded("Instructions(Page2).jpg"));
    engine.LiveInput.KeyDown(2);
    Tick(&tGameEngine::InstructionsStep);
    EXPECT_EQ(engine.GameMode, gmMainMenu);
    EXPECT_TRUE(engine.FullRedraw);
    EXPECT_TRUE(PlayedOnly({"close"}));
    EXPECT_FALSE(Loaded("Instructions(Page1).jpg"));
    EXPECT_FALSE(Loaded("Instructions(Page2).jpg"));
}

TEST_F(SlabExtras, EscOnTheFirstInstructionPageLeaves)
{
    engine.SetGameMode(gmInstructions);
    InstructionsPage = 1;
    DrawInstructionsSlab();
    engine.LiveInput.KeyDown(27);
    Tick(&tGameEngine::InstructionsStep);
    EXPECT_EQ(engine.GameMode, gmMainMenu);
    EXPECT_EQ(InstructionsPage, 1);
    EXPECT_TRUE(PlayedOnly({"close"}));
    EXPECT_FALSE(Loaded("Instructions(Page1).jpg"));
}

TEST_F(SlabExtras, InstructionButtonsGlowUnderTheMouse)
{
    engine.SetGameMode(gmInstructions);
    InstructionsPage = 1;
    engine.MouseX = 584;
    engine.MouseY = 443;
    Tick(&tGameEngine::InstructionsStep);
    EXPECT_FLOAT_EQ(InstructionButtonGlows[0], 0.075f);
    Tick(&tGameEngine::InstructionsStep, 20);
    EXPECT_FLOAT_EQ(InstructionButtonGlows[0], 0.95f);
    engine.MouseX = 583;
    Tick(&tGameEngine::InstructionsStep);
    EXPECT_FLOAT_EQ(InstructionButtonGlows[0], 0.855f);

    // The frame follows the glow: trunc(glow x 10), at most 9.
    for (auto [glow, frame] : {std::pair{0.95f, 9}, {0.0f, 0}, {0.55f, 5}}) {
        InstructionButtonGlows[0] = glow;
        FillAll(*Frame, Marker);
        DrawInstructionsSlab();
        uint8_t r, g, b;
        PixelToRGB(Frame->ScanLine(450)[600], r, g, b);
        EXPECT_NEAR(r, 20 + 20 * frame, 8) << glow;
    }

    // Page 2: A's and B's hot areas.
    InstructionsPage = 2;
    InstructionButtonGlows = {0, 0, 0};
    for (auto [x, y, a, b] : {std::tuple{524, 443, true, false}, {556, 464, true, false}, {557, 450, false, false},
                              {581, 443, false, true}, {611, 461, false, true}, {611, 462, false, false}}) {
        InstructionButtonGlows = {0, 0, 0};
        engine.MouseX = x;
        engine.MouseY = y;
        Tick(&tGameEngine::InstructionsStep);
        EXPECT_EQ(InstructionButtonGlows[1] > 0, a) << x << "," << y;
        EXPECT_EQ(InstructionButtonGlows[2] > 0, b) << x << "," << y;
    }
}

TEST_F(SlabExtras, ExtrasMenuLeadsToItsThreePages)
{
    struct Case {
        uint8_t item;
        uint8_t mode;
    } cases[] = {{0, gmInstructions}, {1, gmHighScores}, {2, gmCredits}};
    for (const Case& c : cases) {
        engine.SetGameMode(gmExtrasMenu);
        engine.FullRedraw = false;
        ExtrasSelection = c.item;
        InstructionsPage = 2;
        CreditsScroll = 50;
        Tap(7);
        Tick(&tGameEngine::ExtrasMenuStep);
        EXPECT_EQ(engine.GameMode, c.mode);
        EXPECT_TRUE(engine.FullRedraw);
        if (c.mode == gmInstructions) {
            EXPECT_EQ(InstructionsPage, 1);
        }
        if (c.mode == gmCredits) {
            EXPECT_EQ(CreditsScroll, 0);
        }
    }
    for (auto [x, acts] : {std::pair{161, true}, {160, false}, {480, false}, {479, true}}) {
        engine.SetGameMode(gmExtrasMenu);
        ExtrasSelection = 1;
        Click(x, 10);
        Tick(&tGameEngine::ExtrasMenuStep);
        EXPECT_EQ(engine.GameMode, acts ? gmHighScores : gmExtrasMenu) << x;
    }
    engine.SetGameMode(gmExtrasMenu);
    Tap(2);
    Tick(&tGameEngine::ExtrasMenuStep);
    EXPECT_EQ(ExtrasSelection, 0);
    Played();
    Tap(8);
    Tick(&tGameEngine::ExtrasMenuStep);
    EXPECT_EQ(engine.GameMode, gmMainMenu);
    EXPECT_TRUE(PlayedOnly({"close"}));
    EXPECT_EQ(ExtrasMenuItems[1], "HIGHSCORES");

    engine.SetGameMode(gmHighScores);
    Tap(8);
    Tick(&tGameEngine::HighScoresStep);
    EXPECT_EQ(engine.GameMode, gmExtrasMenu);
    EXPECT_TRUE(PlayedOnly({"close"}));
}

TEST_F(SlabExtras, EmptyPagesLeaveTheFrameAlone)
{
    FillAll(*Frame, Marker);
    const auto before = Pixels(*Frame);
    for (void (*painter)() : {DrawExtrasSlab, DrawHighScoresSlab, DrawSpareSlabA, DrawSpareSlabB, DrawLoadGameSlab,
                              DrawSaveGameSlab})
        painter();
    EXPECT_EQ(Pixels(*Frame), before);
}

TEST_F(SlabExtras, CreditsEdgesDarkenOutwards)
{
    FillAll(*Frame, 0xFFFF);
    FadeCreditsEdges();
    auto darkened = [](int times) {
        uint16_t p = 0xFFFF;
        for (int i = 0; i < times; ++i)
            p = DarkenTable[p];
        return p;
    };
    for (auto [y, times] : {std::pair{373, 8}, {358, 1}, {104, 8}, {119, 1}, {357, 0}, {120, 0}, {374, 0}, {103, 0}}) {
        EXPECT_EQ(Frame->ScanLine(y)[159], darkened(times)) << y;
        EXPECT_EQ(Frame->ScanLine(y)[478], darkened(times)) << y;
        EXPECT_EQ(Frame->ScanLine(y)[158], 0xFFFF) << y;
        EXPECT_EQ(Frame->ScanLine(y)[479], 0xFFFF) << y;
    }
    tDib16 tiny(100, 110);
    CurrentDib = &tiny;
    FadeCreditsEdges();
}

TEST_F(SlabExtras, CreditsRiseFromBelowAndStartAgainOncePassed)
{
    // Rows of the picture tell apart by their grey.
    Dir.Write("Credits.jpg", MakeJpeg(320, 60, [](int, int y) { return RGB(4 * y, 4 * y, 4 * y); }));
    Dir.Write("CreditsSlab.jpg", FlatJpeg(470, 402, RGB(255, 0, 255)));
    engine.SetGameMode(gmCredits);
    CreditsScroll = 0;
    for (int counter = 1; counter <= 3; ++counter) {
        CreditsFrame();
        EXPECT_EQ(BandRows(), std::vector<int>{}) << counter;
    }
    CreditsFrame();
    EXPECT_EQ(BandRows(), std::vector<int>{373});
    while (CreditsScroll < 100)
        CreditsFrame();
    EXPECT_EQ(BandRows(), Rows(325, 373));
    for (int y : {325, 340, 357}) {
        uint8_t r, g, b;
        PixelToRGB(Frame->ScanLine(y)[200], r, g, b);
        EXPECT_NEAR(r, 4 * (y - 325), 10) << y;
    }
    while (CreditsScroll < 660)
        CreditsFrame();
    EXPECT_EQ(BandRows(), std::vector<int>{104});  // the last row at the top
    CreditsFrame();
    CreditsFrame();
    EXPECT_EQ(CreditsScroll, 2);
    CreditsFrame();
    CreditsFrame();
    EXPECT_EQ(CreditsScroll, 4);
    EXPECT_EQ(BandRows(), std::vector<int>{373});

    // The page: the slab, the band, then the edge fade.
    Dir.Write("CreditsSlab.jpg", FlatJpeg(470, 402, RGB(0, 250, 0)));
    Frame->Fill(Marker);
    CreditsScroll = 100;
    DrawCreditsSlab();
    tDib16 expected(640, 480);
    expected.Fill(Marker);
    {
        tDibTarget target(&expected);
        CreditsSlab.Draw(320, 240);
        DrawCreditsBand();
        FadeCreditsEdges();
    }
    EXPECT_EQ(Pixels(*Frame), Pixels(expected));

    // Any key or button leaves and releases the picture.
    ASSERT_TRUE(Loaded("Credits.jpg"));
    engine.LiveInput.KeyDown(2);
    Tick(&tGameEngine::CreditsStep);
    EXPECT_EQ(engine.GameMode, gmMainMenu);
    EXPECT_TRUE(engine.FullRedraw);
    EXPECT_TRUE(PlayedOnly({"close"}));
    EXPECT_FALSE(Loaded("Credits.jpg"));
}

TEST_F(SlabExtras, CreditsPicturesOfAnySize)
{
    Dir.Write("CreditsSlab.jpg", FlatJpeg(470, 402, RGB(255, 0, 255)));
    for (auto [w, h] : {std::pair{100, 30}, {320, 1}, {320, 8000}}) {
        if (tDib16* dib = FindDib("Credits.jpg"))
            dib->Unload();
        Dir.Write("Credits.jpg", FlatJpeg(w, h, RGB(250, 250, 250)));
        CreditsScroll = 0;
        for (int i = 0; i < 100; ++i)
            CreditsFrame();
        EXPECT_EQ(BandRows(), Rows(325, 324 + std::min(h, 49))) << w << " x " << h;
        if (w < 320) {
            EXPECT_EQ(Frame->ScanLine(325)[159 + w], Marker) << w;
        }
        EXPECT_EQ(Frame->ScanLine(325)[158], Marker);
        EXPECT_EQ(Frame->ScanLine(325)[479], Marker);
    }
    // Beyond the loader's limit: the error reaches the caller after the slab is drawn.
    FindDib("Credits.jpg")->Unload();
    Dir.Write("CreditsSlab.jpg", FlatJpeg(470, 402, RGB(0, 250, 0)));
    FindDib("CreditsSlab.jpg")->Unload();
    Dir.Write("Credits.jpg", WithJpegSize(FlatJpeg(16, 16, RGB(250, 250, 250)), 320, 9000));
    FillAll(*Frame, Marker);
    EXPECT_THROW(DrawCreditsSlab(), Exception);
    EXPECT_NE(Frame->ScanLine(240)[320], Marker);
    EXPECT_EQ(CurrentDib, Frame.get());
}
