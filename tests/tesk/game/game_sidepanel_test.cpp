// The side panel drawn into a DirectDraw frame: the counters and what makes them redraw,
// the title's wrap and placement, the level digits, the menu button's mouse step, glow
// and frames, pictures of odd sizes or failing to load, and the panel in play.
#include <climits>
#include <cstdio>
#include <set>

#include "platform/TestHooks.h"
#include "tesk/game/Levels.h"
#include "tesk/game/SidePanel.h"
#include "tesk/toolkit/Misc.h"
#include "tests/support/JpegFiles.h"
#include "tests/tesk/game/EngineHarness.h"
#include "tests/tesk/toolkit/GraphicsFixture.h"

namespace {

const TRect Playfield{128, 0, 640, 480};

// A canvas on the frame's device context in the panel's title or counter font.
struct tPanelCanvas {
    tPanelCanvas(tDib16& frame, int32_t height, TFontStyles style) : DC(frame)
    {
        Canvas.SetHandle(DC.Handle());
        Canvas.Font.Name = "MS Sans Serif";
        Canvas.Font.Height = height;
        Canvas.Font.Style = style;
    }
    ~tPanelCanvas() { Canvas.SetHandle(nullptr); }
    int32_t Width(const std::string& text) { return Canvas.TextExtent(text).X; }
    tDibDC DC;
    TCanvas Canvas;
};

TColor ButtonColor(int frame) { return RGB(200, 20 + 30 * frame, 40); }
const TColor PressedColor = RGB(20, 200, 200);
const TColor PanelColor = RGB(30, 90, 160);
// A grey of its own for each digit cell (luminance keeps every cell exact in the JPEG).
TColor DigitColor(int position, int glyph)
{
    const int v = 20 + 6 * (12 * position + glyph);
    return RGB(v, v, v);
}

class SidePanelTest : public GraphicsTest {
protected:
    void SetUp() override
    {
        GraphicsTest::SetUp();
        Form = new TForm();
        Form->SetClientWidth(640);
        Form->SetClientHeight(480);
        MainFormRef = Form;
        CreateDirectDraw();
        Frame = tDib16::CreatePrimary(640, 480);
        Frame->ClipRect = Playfield;
        CurrentDib = Frame.get();
        Black = PixelBlack;
        WritePanel(128, 480);
        WriteButtons(576, 288);
        WriteDigits(42, 384);
        InitSidePanel();
        LoadSidePanelGraphicsData();
        LevelTitleText.clear();
        LevelNumberText = "   ";
        CollectedKeys = LevelKeys = CollectedGems = LevelGems = 0;
        ResetButton();
        FillFrame(Black);
    }
    void TearDown() override
    {
        FreeSidePanelGraphicsData();
        DoneSidePanel();
        LevelTitleText.clear();
        LevelNumberText = "  1";
        CollectedKeys = LevelKeys = CollectedGems = LevelGems = 0;
        ResetButton();
        CurrentDib = nullptr;
        Frame.reset();
        ReleaseDirectDraw();
        MainFormRef = nullptr;
        Form->Free();
        GraphicsTest::TearDown();
    }
    static void ResetButton()
    {
        SidePanelMenuClicked = MenuButtonOver = MenuButtonPressedInside = false;
        MenuButtonGlow = 0;
    }
    void WritePanel(int w, int h) { Dir.Write("SidePanel.jpg", MakeJpegFile(w, h, [](int, int) { return PanelColor; })); }
    void WriteButtons(int w, int h)
    {
        Dir.Write("BaseGfx.jpg", MakeJpegFile(w, h, [](int x, int y) {
                      if (x >= 480 && y >= 240)
                          return PressedColor;
                      return x >= 384 && x < 480 ? ButtonColor(y / 48) : TColor(clWhite);
                  }));
    }
    void WriteDigits(int w, int h)
    {
        Dir.Write("LevelDigits.jpg", MakeJpegFile(w, h, [](int x, int y) { return DigitColor(x / 14, y / 32); }));
    }
    void FillFrame(uint16_t v) { FillAll(*Frame, v); }
    uint16_t At(int x, int y) { return Frame->ScanLine(y)[x]; }
    uint16_t PanelPixel() { return FindDib("SidePanel.jpg")->ScanLine(0)[0]; }
    std::vector<uint16_t> Area(const TRect& r)
    {
        std::vector<uint16_t> out;
        for (int y = r.Top; y < r.Bottom; ++y)
            for (int x = r.Left; x < r.Right; ++x)
                out.push_back(At(x, y));
        return out;
    }
    // The pixels of an area that are not `fill`, as (x, y) pairs.
    std::set<std::pair<int, int>> Drawn(const TRect& r, uint16_t fill)
    {
        std::set<std::pair<int, int>> out;
        for (int y = r.Top; y < r.Bottom; ++y)
            for (int x = r.Left; x < r.Right; ++x)
                if (At(x, y) != fill)
                    out.insert({x, y});
        return out;
    }
    // What was drawn in the title's part of the panel, leaving out the level digits.
    std::set<std::pair<int, int>> TitleDrawn()
    {
        std::set<std::pair<int, int>> out = Drawn(TRect{0, 0, 128, 215}, Black);
        for (const auto& c : Cells(DigitsArea))
            out.erase(c);
        return out;
    }
    static std::set<std::pair<int, int>> WithoutDigits(std::set<std::pair<int, int>> cells)
    {
        for (const auto& c : Cells(DigitsArea))
            cells.erase(c);
        return cells;
    }
    static constexpr TRect DigitsArea{73, 64, 115, 96};
    static std::set<std::pair<int, int>> Cells(const TRect& r)
    {
        std::set<std::pair<int, int>> out;
        for (int y = std::max(r.Top, 0); y < std::min(r.Bottom, 480); ++y)
            for (int x = std::max(r.Left, 0); x < std::min(r.Right, 128); ++x)
                out.insert({x, y});
        return out;
    }
    // Where DrawSidePanelText restores the panel for a text centred on (x, y).
    TRect TextBox(int32_t height, TFontStyles style, int x, int y, const std::string& text)
    {
        tPanelCanvas c(*Frame, height, style);
        const TPoint e = c.Canvas.TextExtent(text);
        const int left = x - e.X / 2, top = y - e.Y / 2;
        return TRect{left, top, left + e.X + 3, top + e.Y + 3};
    }
    static bool Near(uint16_t pixel, TColor color, int tolerance = 8)
    {
        uint8_t r, g, b;
        PixelToRGB(pixel, r, g, b);
        return std::abs(r - int(GetRValue(color))) <= tolerance && std::abs(g - int(GetGValue(color))) <= tolerance &&
               std::abs(b - int(GetBValue(color))) <= tolerance;
    }
    bool AnyNear(const TRect& r, TColor color)
    {
        for (int y = r.Top; y < r.Bottom; ++y)
            for (int x = r.Left; x < r.Right; ++x)
                if (Near(At(x, y), color))
                    return true;
        return false;
    }
    uint16_t ButtonPixel() { return At(64, 439); }
    uint16_t ButtonSource(int frame) { return FindDib("BaseGfx.jpg")->ScanLine(48 * frame + 24)[432]; }
    uint16_t PressedSource() { return FindDib("BaseGfx.jpg")->ScanLine(264)[528]; }

    TForm* Form = nullptr;
    std::unique_ptr<tDib16> Frame;
    uint16_t Black = 0;
};

// ---- counters

TEST_F(SidePanelTest, CountersShowTheirDigitsInARestoredBoxClippedToThePanel)
{
    struct Row {
        int32_t Collected, Present;
        std::string Text;
    } rows[] = {{3, 5, "03/05"},
                {100, 120, "100/120"},
                {0, 0, "00/00"},
                {99, 7, "99/07"},
                {2147483647, 2147483647, "2147483647/2147483647"},
                {-1, -1, "-1/-1"}};
    for (const Row& row : rows) {
        SCOPED_TRACE(row.Text);
        FillFrame(Black);
        CollectedKeys = CollectedGems = row.Collected;
        LevelKeys = LevelGems = row.Present;
        InvalidateSidePanel();
        RedrawSidePanel();
        for (const int y : {244, 311}) {
            const TRect box = TextBox(25, 0, 64, y, row.Text);
            // The restored box is the text's extent plus 3 each way, never outside the
            // panel; the text is inside it, in its four colours.
            EXPECT_EQ(Drawn(TRect{0, y - 40, 128, y + 40}, Black), Cells(box));
            EXPECT_TRUE(AnyNear(box, static_cast<TColor>(BrightenColor(0x041830))));
            EXPECT_TRUE(AnyNear(box, static_cast<TColor>(BrightenColor(0x4080B0))));
        }
        EXPECT_TRUE(Drawn(TRect{128, 0, 640, 480}, Black).empty());
        EXPECT_EQ(Frame->ClipRect, Playfield);
    }
}

TEST_F(SidePanelTest, ACounterRedrawsOnlyWhenItsCollectedCountChanges)
{
    const TRect keys{0, 215, 128, 275}, gems{0, 282, 128, 342};
    CollectedKeys = 3;
    LevelKeys = 5;
    CollectedGems = 1;
    LevelGems = 2;
    RedrawSidePanel();
    const std::vector<uint16_t> keysBefore = Area(keys);
    EXPECT_FALSE(Drawn(keys, Black).empty());

    FillFrame(Black);
    LevelKeys = 9;
    LevelGems = 9;
    RedrawSidePanel();
    EXPECT_TRUE(Drawn(keys, Black).empty());
    EXPECT_TRUE(Drawn(gems, Black).empty());

    CollectedKeys = 4;
    RedrawSidePanel();
    EXPECT_EQ(Drawn(keys, Black), Cells(TextBox(25, 0, 64, 244, "04/09")));
    EXPECT_TRUE(Drawn(gems, Black).empty());

    CollectedGems = 2;
    RedrawSidePanel();
    EXPECT_EQ(Drawn(gems, Black), Cells(TextBox(25, 0, 64, 311, "02/09")));

    // After an invalidation everything is drawn again, changed or not.
    FillFrame(Black);
    CollectedKeys = 3;
    LevelKeys = 5;
    RedrawSidePanel();
    InvalidateSidePanel();
    FillFrame(Black);
    RedrawSidePanel();
    EXPECT_EQ(Area(keys), keysBefore);
    EXPECT_FALSE(Drawn(gems, Black).empty());
}

// ---- the title

TEST_F(SidePanelTest, TheTitleWrapsIntoLinesNarrowerThanThePanelAndAlwaysEnds)
{
    tPanelCanvas c(*Frame, 20, fsBold);
    const auto wrap = [&](const std::string& text) {
        WrapSidePanelMessage(c.Canvas, text);
        return SidePanelMessageLines();
    };
    using Lines = std::vector<std::string>;
    EXPECT_EQ(wrap(""), Lines{});
    EXPECT_EQ(wrap("    "), Lines{});
    EXPECT_EQ(wrap("Gromble"), Lines{"Gromble"});
    EXPECT_EQ(wrap("A  B"), Lines{"A  B"});

    std::string wide = "W";
    while (c.Width(wide) < 300)
        wide += "W";
    EXPECT_EQ(wrap(wide), Lines{wide});
    EXPECT_EQ(wrap("Hi " + wide + " Yo"), (Lines{"Hi", wide, "Yo"}));

    // The greedy rule: every line is narrower than 116 pixels, the next line's first word
    // does not fit on it, and the lines joined by spaces give the text back.
    const auto expectGreedy = [&](const std::string& text, const Lines& lines) {
        std::string joined;
        for (size_t i = 0; i < lines.size(); ++i) {
            joined += (i ? " " : "") + lines[i];
            if (lines[i].find(' ') != std::string::npos) {
                EXPECT_LT(c.Width(lines[i]), 116) << lines[i];
            }
            if (i + 1 < lines.size()) {
                const std::string next = lines[i + 1].substr(0, lines[i + 1].find(' '));
                EXPECT_GE(c.Width(lines[i] + " " + next), 116) << lines[i];
            }
        }
        EXPECT_TRUE(joined == text) << "the lines do not join up to the text of " << text.size() << " bytes";
    };
    std::string words = "a";
    while (c.Width(words) < 280)
        words += " a";
    const Lines three = wrap(words);
    EXPECT_EQ(three.size(), 3u);
    expectGreedy(words, three);

    const std::string odd = "Tab\there \x01\x02\x1F caf\xC3\xA9 \xFF\xFE\xFD end of the \x7F line";
    expectGreedy(odd, wrap(odd));

    // A megabyte of title: the wrap ends, every line narrow.
    std::string huge;
    while (huge.size() < (1u << 20))
        huge += "ab cd ";
    huge.pop_back();
    const Lines many = wrap(huge);
    EXPECT_GT(many.size(), 10000u);
    expectGreedy(huge, many);
    EXPECT_TRUE(wrap(std::string(1u << 20, 'x')) == Lines{std::string(1u << 20, 'x')});
}

TEST_F(SidePanelTest, TitleLinesSitCentredAroundTheirRowsAndOnlyInsideThePanel)
{
    std::vector<std::string> lines;
    {
        tPanelCanvas c(*Frame, 20, fsBold);
        WrapSidePanelMessage(c.Canvas, "THE SPIDERS OF MORROWFINCH CAVE");
        lines = SidePanelMessageLines();
    }
    ASSERT_GE(lines.size(), 2u);
    LevelTitleText = "THE SPIDERS OF MORROWFINCH CAVE";
    RedrawSidePanel();
    const int n = static_cast<int>(lines.size());
    std::set<std::pair<int, int>> expected;
    for (int k = 0; k < n; ++k) {
        const std::set<std::pair<int, int>> box =
            Cells(TextBox(20, fsBold, 64, 150 - (n * 20) / 2 + k * 20, lines[static_cast<size_t>(k)]));
        expected.insert(box.begin(), box.end());
    }
    EXPECT_EQ(TitleDrawn(), WithoutDigits(expected));

    // A title of a million characters: only the middle lines reach the panel, nothing
    // reaches the playfield.
    for (const std::string& title : {[] {
             std::string t;
             while (t.size() < (1u << 20))
                 t += "Gromble ";
             return t;
         }(),
                                     std::string(1u << 20, 'M')}) {
        FillFrame(Black);
        LevelTitleText = title;
        RedrawSidePanel();
        EXPECT_TRUE(Drawn(Playfield, Black).empty());
        EXPECT_FALSE(TitleDrawn().empty());
        EXPECT_EQ(Frame->ClipRect, Playfield);
    }
}

TEST_F(SidePanelTest, ATitleSpellingTheOldInvalidMarkIsDrawnAfterAnInvalidation)
{
    LevelTitleText = "***invalid***";
    RedrawSidePanel();
    const std::set<std::pair<int, int>> title = TitleDrawn();
    EXPECT_FALSE(title.empty());
    FillFrame(Black);
    RedrawSidePanel();
    EXPECT_TRUE(TitleDrawn().empty());
    InvalidateSidePanel();
    RedrawSidePanel();
    EXPECT_EQ(TitleDrawn(), title);
}

// ---- the level number

TEST_F(SidePanelTest, LevelDigitsTakeTheirGlyphsPositionByPosition)
{
    struct Row {
        std::string Text;
        std::array<int, 3> Glyphs;
    } rows[] = {{"  7", {10, 10, 7}}, {" 54", {10, 5, 4}},     {" B1", {10, 11, 1}}, {" b1", {10, 11, 1}},
                {"X9-", {10, 9, 10}}, {"", {10, 10, 10}},      {"1", {1, 10, 10}},   {"1234", {1, 2, 3}},
                {"\xFF\xFE\xFD", {10, 10, 10}}, {"B0b", {11, 0, 11}}};
    tDib16* digits = FindOrLoadDib("LevelDigits.jpg", true);
    for (const Row& row : rows) {
        SCOPED_TRACE(row.Text);
        LevelNumberText = row.Text;
        FillFrame(Black);
        RedrawSidePanel();
        for (int j = 0; j < 3; ++j) {
            EXPECT_EQ(At(80 + 14 * j, 80), digits->ScanLine(32 * row.Glyphs[j] + 16)[14 * j + 7]) << j;
        }
        // The cells cover x 73..114, y 64..95.
        EXPECT_EQ(Drawn(TRect{0, 50, 128, 110}, Black), Cells(TRect{73, 64, 115, 96}));
    }
}

// ---- the menu button

TEST_F(SidePanelTest, AClickNeedsThePressAndTheReleaseOverTheButton)
{
    struct Row {
        const char* Name;
        TPoint Press, Release;
        bool OutAndBack;
        bool Opens;
    } rows[] = {
        {"inside", {60, 440}, {60, 440}, false, true},
        {"released outside", {60, 440}, {10, 440}, false, false},
        {"pressed outside", {10, 440}, {60, 440}, false, false},
        {"out and back", {60, 440}, {60, 440}, true, true},
        {"top left edge", {27, 426}, {27, 426}, false, true},
        {"bottom right edge", {99, 457}, {99, 457}, false, true},
        {"left of it", {26, 426}, {26, 426}, false, false},
        {"right of it", {100, 457}, {100, 457}, false, false},
        {"above it", {27, 425}, {27, 425}, false, false},
        {"below it", {99, 458}, {99, 458}, false, false},
        {"left of the frame", {-1, 440}, {-1, 440}, false, false},
        {"below the frame", {60, 480}, {60, 480}, false, false},
        {"far out", {INT_MIN, INT_MIN}, {INT_MAX, INT_MAX}, false, false},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.Name);
        ResetButton();
        UpdateSidePanelMouse(row.Press, true, true);
        UpdateSidePanelMouse(row.Press, false, true);
        if (row.OutAndBack) {
            UpdateSidePanelMouse(TPoint{300, 200}, false, true);
            EXPECT_FALSE(MenuButtonOver);
            UpdateSidePanelMouse(row.Press, false, true);
        }
        UpdateSidePanelMouse(row.Release, false, true);
        EXPECT_FALSE(SidePanelMenuClicked);
        UpdateSidePanelMouse(row.Release, false, false);
        EXPECT_EQ(SidePanelMenuClicked, row.Opens);
        EXPECT_FALSE(MenuButtonPressedInside);
    }
    // A press and its release within one tick.
    ResetButton();
    UpdateSidePanelMouse(TPoint{60, 440}, true, false);
    EXPECT_TRUE(SidePanelMenuClicked);
}

TEST_F(SidePanelTest, TheButtonGlowsWhileHoveredAndShowsItsPressedFrame)
{
    UpdateSidePanelMouse(TPoint{60, 440}, false, false);
    EXPECT_NEAR(MenuButtonGlow, 0.075f, 1e-6);
    float last = MenuButtonGlow;
    int frame = 0;
    for (int tick = 2; tick <= 20; ++tick) {
        UpdateSidePanelMouse(TPoint{60, 440}, false, false);
        EXPECT_GE(MenuButtonGlow, last);
        last = MenuButtonGlow;
        RedrawSidePanel();
        // The frame shown follows the glow up, one step at a time.
        int shown = -1;
        for (int f = 0; f < 6; ++f)
            if (ButtonPixel() == ButtonSource(f))
                shown = f;
        EXPECT_TRUE(shown == frame || shown == frame + 1) << tick;
        frame = shown;
    }
    EXPECT_EQ(MenuButtonGlow, 1.0f);
    EXPECT_EQ(frame, 5);
    for (int tick = 0; tick < 20; ++tick)
        UpdateSidePanelMouse(TPoint{-5, 900}, false, false);
    EXPECT_EQ(MenuButtonGlow, 0.0f);

    // The frame is round(glow x 5), halves to even.
    for (auto [glow, f] : {std::pair{0.0f, 0}, {0.09f, 0}, {0.11f, 1}, {0.5f, 2}, {0.7f, 4}, {0.95f, 5}, {1.0f, 5}}) {
        MenuButtonGlow = glow;
        RedrawSidePanel();
        EXPECT_EQ(ButtonPixel(), ButtonSource(f)) << glow;
    }

    // Pressed inside: the pressed frame while over the button, the glow frame after it leaves.
    ResetButton();
    UpdateSidePanelMouse(TPoint{60, 440}, true, true);
    FillFrame(Black);
    RedrawSidePanel();
    EXPECT_EQ(ButtonPixel(), PressedSource());
    // The button covers x 16..111, y 415..462, and only that below the counters.
    EXPECT_EQ(Drawn(TRect{0, 400, 128, 480}, Black), Cells(TRect{16, 415, 112, 463}));
    UpdateSidePanelMouse(TPoint{200, 440}, false, true);
    RedrawSidePanel();
    EXPECT_EQ(ButtonPixel(), ButtonSource(0));
    // Pressed outside and moved in: no pressed frame.
    ResetButton();
    UpdateSidePanelMouse(TPoint{200, 440}, true, true);
    UpdateSidePanelMouse(TPoint{60, 440}, false, true);
    RedrawSidePanel();
    EXPECT_EQ(ButtonPixel(), ButtonSource(0));
}

// ---- pictures

// Pictures smaller or larger than the cells read from them draw what they have, inside
// the panel only.
TEST_F(SidePanelTest, PicturesOfOddSizesDrawClippedToThemAndToThePanel)
{
    const uint16_t fill = RGBToPixel(10, 250, 10);
    for (auto [panel, buttons, digits] : {std::tuple{10, 10, 5}, std::tuple{1000, 1000, 1000}}) {
        SCOPED_TRACE(panel);
        FreeSidePanelGraphicsData();
        FreeAllDibs();
        WritePanel(panel, panel);
        WriteButtons(buttons, buttons);
        WriteDigits(digits, digits);
        LoadSidePanelGraphicsData();
        FillFrame(fill);
        LevelTitleText = "A TITLE OF SOME WORDS";
        LevelNumberText = " B9";
        CollectedKeys = 2147483647;
        LevelKeys = -1;
        InvalidateSidePanel();
        DrawSidePanelBackground();
        RedrawSidePanel();
        EXPECT_TRUE(Drawn(Playfield, fill).empty());
        EXPECT_EQ(Frame->ClipRect, Playfield);
        if (panel == 10) {
            // Only the picture's 10 x 10 pixels of background; the buttons' and digits'
            // cells lie outside their tiny pictures.
            EXPECT_EQ(At(9, 9), PanelPixel());
            EXPECT_EQ(At(10, 10), fill);
            EXPECT_EQ(ButtonPixel(), fill);
            EXPECT_EQ(At(80, 80), fill);
        } else {
            EXPECT_EQ(At(127, 479), PanelPixel());
            EXPECT_EQ(ButtonPixel(), ButtonSource(0));
        }
    }
}

// A picture that fails to load on first use makes the redraw raise; the frame's device
// context is let go, its clip rectangle is the playfield, and once the picture is there
// the next redraw draws.
TEST_F(SidePanelTest, APictureFailingToLoadLeavesTheFrameAsItWas)
{
    for (const char* name : {"SidePanel.jpg", "BaseGfx.jpg", "LevelDigits.jpg"}) {
        SCOPED_TRACE(name);
        FreeSidePanelGraphicsData();
        FreeAllDibs();
        WritePanel(128, 480);
        WriteButtons(576, 288);
        WriteDigits(42, 384);
        Dir.Write(name, "not a picture");
        LoadSidePanelGraphicsData();
        CurrentDib = Frame.get();
        LevelTitleText = "SOME TITLE";
        InvalidateSidePanel();
        EXPECT_ANY_THROW(RedrawSidePanel());
        EXPECT_EQ(Frame->ClipRect, Playfield);
        EXPECT_EQ(Frame->CachedDC, nullptr);
        EXPECT_EQ(CurrentDib, Frame.get());
        EXPECT_NO_THROW(tDibDC{*Frame});

        WritePanel(128, 480);
        WriteButtons(576, 288);
        WriteDigits(42, 384);
        FillFrame(Black);
        EXPECT_NO_THROW(RedrawSidePanel());
        // Everything was drawn, as the failed redraw had not finished.
        EXPECT_FALSE(TitleDrawn().empty());
        EXPECT_EQ(ButtonPixel(), ButtonSource(0));
        EXPECT_EQ(Frame->ClipRect, Playfield);
    }
}

// Sprites of the panel record dirty rectangles; restoring them from the playfield's
// background leaves the panel alone and the playfield exactly as the background.
TEST_F(SidePanelTest, DirtyRectanglesOfThePanelRestoreOnlyThePlayfield)
{
    tDib16 background(512, 480);
    FillWith(background, [](int x, int y) { return static_cast<uint16_t>(x * 7 + y * 131); });
    Frame->RecordDirtyRects = true;
    Frame->ClearDirtyRects();
    LevelNumberText = " 42";
    MenuButtonGlow = 1;
    DrawSidePanelBackground();
    RedrawSidePanel();
    ASSERT_GT(Frame->DirtyRectCount, 0);
    // Something of the playfield was drawn too.
    Frame->ClipRect = Playfield;
    Frame->AddDirtyRect(TRect{200, 100, 260, 180});
    const std::vector<uint16_t> panel = Area(TRect{0, 0, 128, 480});
    Frame->RestoreDirtyRects(background, TPoint{-128, 0});
    EXPECT_EQ(Area(TRect{0, 0, 128, 480}), panel);
    for (int y = 100; y < 180; ++y)
        for (int x = 200; x < 260; ++x)
            ASSERT_EQ(At(x, y), background.ScanLine(y)[x - 128]);
    EXPECT_EQ(At(199, 100), Black);
}

// ---- in play

class SidePanelInPlay : public ::testing::Test {
protected:
    void SetUp() override
    {
        H = std::make_unique<tEngineHarness>();
        tLevelText level;
        level.Title = "A LEVEL WITH A LONGER TITLE";
        level.Unit("Player", 3, 3).Unit("Gem", 9, 9).Unit("Exit", 12, 12);
        H->WriteLoose("Levels/A.map", level.Text());
        H->WriteSet("One.set", {"Level Levels\\A.map"});
        H->E().LoadLevelSet("One.set");
        H->StartEntry(0);
        ASSERT_EQ(H->E().GameMode, gmPlaying);
    }
    void TearDown() override { H.reset(); }
    std::vector<uint16_t> Panel()
    {
        std::vector<uint16_t> out;
        for (int y = 0; y < FrameHeight; ++y) {
            const uint16_t* row = H->Frame->ScanLine(y);
            out.insert(out.end(), row, row + 128);
        }
        return out;
    }
    std::unique_ptr<tEngineHarness> H;
};

TEST_F(SidePanelInPlay, TheButtonOpensTheMenuOnlyForAPressAndReleaseOverIt)
{
    // Pressed over the button, released outside: play goes on.
    H->Pointer(60, 440);
    H->Tick();
    H->KeyDown(1);
    H->Tick();
    H->Pointer(300, 300);
    H->Tick();
    H->KeyUp(1);
    H->Tick(2);
    EXPECT_EQ(H->E().GameMode, gmPlaying);
    // Pressed and released over it: the menu opens.
    H->Pointer(60, 440);
    H->Tick();
    H->KeyDown(1);
    H->Tick();
    EXPECT_TRUE(MenuButtonPressedInside);
    H->KeyUp(1);
    H->Tick();
    EXPECT_EQ(H->E().GameMode, gmMainMenu);
    EXPECT_FALSE(SidePanelMenuClicked);
    EXPECT_FALSE(MenuButtonOver);
    EXPECT_FALSE(MenuButtonPressedInside);
}

TEST_F(SidePanelInPlay, APictureFailingDuringPlayLeavesThePlayfieldDrawing)
{
    H->Tick(3);
    EXPECT_NE(Panel(), std::vector<uint16_t>(128 * 480, PixelBlack));
    FindDib("LevelDigits.jpg")->Unload();
    H->WriteLoose("LevelDigits.jpg", "not a picture");
    H->KeyDown(39);
    int failures = 0;
    for (int i = 0; i < 24; ++i) {
        try {
            H->Tick();
        } catch (...) {
            ++failures;
        }
        ASSERT_EQ(H->Frame->ClipRect, Playfield);
        ASSERT_EQ(CurrentDib, H->Frame.get());
    }
    H->KeyUp(39);
    EXPECT_EQ(failures, 24);
    // The hero moved meanwhile, and the playfield drawn frame by frame is the one a
    // whole redraw gives.
    ASSERT_NE(H->Hero(), nullptr);
    EXPECT_GT(H->Hero()->CellX, 3);
    const std::vector<uint16_t> whileFailing = H->Playfield();
    H->E().FullRedraw = true;
    EXPECT_ANY_THROW(H->E().DrawFrame());
    EXPECT_EQ(H->Playfield(), whileFailing);

    std::remove(H->ProgramFile("LevelDigits.jpg").c_str());
    const std::vector<uint16_t> panelBefore = Panel();
    EXPECT_NO_THROW(H->Tick());
    EXPECT_NE(Panel(), panelBefore);
    EXPECT_EQ(H->Frame->ClipRect, Playfield);
}

// The panel picture gone after start-up: the level start fails at each try, with the
// frame kept as the drawing target, and starts once the picture is back.
TEST_F(SidePanelInPlay, ALevelStartsOnceAMissingPanelPictureIsBack)
{
    FindDib("SidePanel.jpg")->Unload();
    H->WriteLoose("SidePanel.jpg", "not a picture");
    H->E().GoToSetEntry(0);
    int failures = 0;
    for (int i = 0; i < 20; ++i) {
        try {
            H->Tick();
        } catch (...) {
            ++failures;
        }
        ASSERT_EQ(CurrentDib, H->Frame.get());
        ASSERT_EQ(DibStackDepthUsed(), 0);
    }
    EXPECT_GT(failures, 0);
    EXPECT_NE(H->E().GameMode, gmPlaying);
    std::remove(H->ProgramFile("SidePanel.jpg").c_str());
    EXPECT_TRUE(H->RunUntil(gmPlaying, 400));
    H->Tick(2);
    // The panel picture's colour (0x203040) under the title and counters.
    uint8_t r, g, b;
    PixelToRGB(H->FramePixel(4, 300), r, g, b);
    EXPECT_NEAR(r, 0x40, 8);
    EXPECT_NEAR(g, 0x30, 8);
    EXPECT_NEAR(b, 0x20, 8);
}

} // namespace
