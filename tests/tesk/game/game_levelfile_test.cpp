// The level file: sections, grids, unit blocks with their property lines, errors, and
// byte-exact round trips.
#include <gtest/gtest.h>

#include <optional>

#include "TestUnits.h"
#include "platform/Streams.h"
#include "tests/support/TestGameLevel.h"

namespace {

std::string Join(const std::vector<std::string>& lines)
{
    std::string out;
    for (const std::string& l : lines)
        out += l + "\r\n";
    return out;
}

std::vector<std::string> Section(const std::string& header, std::vector<std::string> body)
{
    body.insert(body.begin(), header);
    return body;
}

std::vector<std::string> Concat(std::initializer_list<std::vector<std::string>> parts)
{
    std::vector<std::string> out;
    for (const auto& p : parts)
        out.insert(out.end(), p.begin(), p.end());
    return out;
}

// A level as the writer lays it out: every section, a tinted water, two units.
std::vector<std::string> FullLevel()
{
    // [Tiles] and [MoreTiles] agree on the base tiles, as written files do.
    std::vector<std::string> tiles = GridLines("000");
    tiles[0] = "1A5,0A5,0FF,000,000,000,000,000,000,000,000,000,000,000,000,101";
    tiles[14] = "002,000,000,000,000,000,000,000,000,000,000,000,000,000,000,1FF";
    std::vector<std::string> more = GridLines("000000");
    more[0] = "00A500,00A500,00FF00,000000,000000,000000,000000,000000,000000,000000,000000,000000,000000,000000,000000,000100";
    more[14] = "010203,000000,000000,000000,000000,000000,000000,000000,000000,000000,000000,000000,000000,000000,000000,FFFFFF";
    std::vector<std::string> overlay = GridLines("000");
    overlay[7] = "000,000,000,000,000,000,000,0FF,000,000,000,000,000,000,000,012";
    return Concat({Section("[Misc]", {"Background=Cave.jpg", "TileSet=Rock.jpg", "OverlayTileSet=Leaves.jpg",
                                      "Title=The First", "Hint=Push it", "Music=Tune.xm", "WaterTint=1F"}),
                   Section("[Tiles]", tiles), Section("[MoreTiles]", more), Section("[Overlay]", overlay),
                   Section("[Units]", {"Begin Player", "   InitialDirection = Left", "   InitialX = 3",
                                       "   InitialY = 4", "End Player", "Begin Sign", "   Caption = HELLOTHERE",
                                       "   Colour = Blue", "   Edge = 9", "   InitialDirection = Up",
                                       "   InitialX = 15", "   InitialY = 14", "   Letter = q",
                                       "   Owner = ??? Unsuported type ???", "   PopupOnce = True",
                                       "   Scale = 0.25", "   Tag = short", "   Trigger = At(1,2)",
                                       "   TriggerDelay = -7", "End Sign", "Begin Block", "   InitialX = 0",
                                       "   InitialY = 0", "End Block"})});
}

class LevelFileTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        RegisterTestKinds();
        useLevel.emplace(level);
    }
    void TearDown() override { useLevel.reset(); }

    std::vector<std::string> Written()
    {
        std::vector<std::string> out;
        level.WriteLevelText(out);
        return out;
    }
    // Reads a text that may fail; returns the error message or "".
    std::string Read(const std::vector<std::string>& lines)
    {
        try {
            level.ReadLevelText(lines);
        } catch (const ELevelLoadError& e) {
            return e.Message();
        }
        return "";
    }

    tLevel level;
    std::optional<TestGameLevel> useLevel;
};

TEST_F(LevelFileTest, ReadsEverySectionAndWritesTheSameTextBack)
{
    ASSERT_EQ(Read(FullLevel()), "");
    EXPECT_EQ(level.Background, "Cave.jpg");
    EXPECT_EQ(level.WaterTint, 0x1F);
    EXPECT_EQ(level.Cell(0, 0).BaseTile, 0xA5);
    EXPECT_EQ(level.Cell(0, 0).Solid, 1);
    EXPECT_EQ(level.Cell(1, 0).Solid, 0);
    EXPECT_EQ(level.Cell(15, 0).BaseTile, 1);
    EXPECT_EQ(level.Cell(0, 14).LowerTile, 1);
    EXPECT_EQ(level.Cell(0, 14).BaseTile, 2);
    EXPECT_EQ(level.Cell(0, 14).UpperTile, 3);
    EXPECT_EQ(level.Cell(7, 7).OverlayTile, 0xFF);
    ASSERT_EQ(level.UnitList.Count(), 3);
    EXPECT_EQ(level.Player, level.UnitList[0]);
    EXPECT_EQ(level.UnitList[0]->InitialDirection, Left);
    auto* sign = dynamic_cast<tTestSign*>(level.UnitList[1]);
    ASSERT_NE(sign, nullptr);
    EXPECT_EQ(sign->FColour, tcBlue);
    EXPECT_EQ(sign->FEdge, 9);
    EXPECT_EQ(sign->FLetter, 'q');
    EXPECT_TRUE(sign->FPopupOnce);
    EXPECT_EQ(sign->FScale, 0.25);
    EXPECT_EQ(sign->FTriggerDelay, -7);
    EXPECT_EQ(sign->InitialX, 15);
    EXPECT_EQ(level.Cell(15, 14).Solid, 1);
    EXPECT_EQ(Written(), FullLevel());
    // A later section overwrites an earlier one's layer.
    std::vector<std::string> more = GridLines("000000");
    ASSERT_EQ(Read(Concat({FullLevel(), Section("[MoreTiles]", more)})), "");
    EXPECT_EQ(level.Cell(0, 0).BaseTile, 0);
    EXPECT_EQ(level.Cell(0, 0).Solid, 1);
}

TEST_F(LevelFileTest, RoundTripsThroughStreamsWithCrLf)
{
    TMemoryStream in;
    const std::string text = Join(FullLevel());
    in.WriteBuffer(text.data(), static_cast<int32_t>(text.size()));
    in.SetPosition(0);
    level.LoadFromStream(in);
    TMemoryStream out;
    level.SaveToStream(out);
    EXPECT_EQ(out.DataString(), text);

    // LF-only, CR-only and mixed line ends read alike; so does a last line without one.
    for (const char* eols : {"\n", "\r", "\r\n\n\r", "-"}) {
        std::string other;
        const std::string pattern = eols;
        size_t n = 0;
        for (const std::string& l : FullLevel()) {
            const char e = pattern[n++ % pattern.size()];
            other += l + (e == '-' ? std::string("\r\n") : std::string(1, e));
        }
        if (pattern == "-")
            other.resize(other.size() - 2);
        TMemoryStream s;
        s.WriteBuffer(other.data(), static_cast<int32_t>(other.size()));
        s.SetPosition(0);
        level.LoadFromStream(s);
        TMemoryStream back;
        level.SaveToStream(back);
        EXPECT_EQ(back.DataString(), text);
    }
}

TEST_F(LevelFileTest, MiscDefaultsAndWhatTheWriterLeavesOut)
{
    level.Background = "Old.jpg";
    ASSERT_EQ(Read(Section("[Misc]", {"Title=X", "Bogus=1", "NoEquals", "title=lower"})), "");
    EXPECT_EQ(level.Background, "Morrowfinch.jpg");
    EXPECT_EQ(level.TileSet, "BasicTiles.jpg");
    EXPECT_EQ(level.OverlayTileSet, "BasicOverlay.jpg");
    EXPECT_EQ(level.Music, "AncientStories2.xm");
    EXPECT_EQ(level.WaterTint, 0x806040);
    EXPECT_EQ(level.Title, "X");
    EXPECT_EQ(level.Hint, "");

    // Empty Music, Title and Hint and the default tint are not written.
    level.Music.clear();
    level.Title.clear();
    std::vector<std::string> w = Written();
    EXPECT_EQ(std::vector<std::string>(w.begin(), w.begin() + 5),
              (std::vector<std::string>{"[Misc]", "Background=Morrowfinch.jpg", "TileSet=BasicTiles.jpg",
                                        "OverlayTileSet=BasicOverlay.jpg", "[Tiles]"}));
    ASSERT_EQ(Read(w), "");
    EXPECT_EQ(level.Music, "AncientStories2.xm");

    // A file without [Misc], or with an empty one, keeps the previous values.
    level.Title = "Kept";
    level.WaterTint = 5;
    ASSERT_EQ(Read(Concat({{"[Misc]"}, Section("[Units]", {"Begin Block", "End Block"})})), "");
    EXPECT_EQ(level.Title, "Kept");
    EXPECT_EQ(level.WaterTint, 5);

    // The tint: hexadecimal from the right end, either case; junk reads 0.
    struct Case {
        const char* text;
        int32_t tint;
    };
    for (const Case& c : {Case{"806040", 0x806040}, Case{" 806040", 0x806040}, Case{"abC", 0xABC}, Case{"ZZZ", 0},
                          Case{"", 0}, Case{"FFFFFFFFFF", -1}, Case{"G12", 0x12}}) {
        ASSERT_EQ(Read(Section("[Misc]", {std::string("WaterTint=") + c.text})), "");
        EXPECT_EQ(level.WaterTint, c.tint) << c.text;
    }
    level.WaterTint = 0xA0B;
    EXPECT_EQ(Written()[5], "WaterTint=A0B");
}

TEST_F(LevelFileTest, SectionsDispatchByExactNameInFileOrder)
{
    std::vector<std::string> first = GridLines("001");
    std::vector<std::string> second = GridLines("002");
    // Later sections overwrite; unknown and miscased headers are ignored; lines before
    // the first header are ignored; an empty section is not dispatched.
    ASSERT_EQ(Read(Concat({{"junk before", "[Units]"}, Section("[Tiles]", first), Section("[Tiles]", second),
                           Section("[tiles]", GridLines("003")), Section("[Mystery]", {"x"}), {"[Overlay]"},
                           Section("  [Units]  ", {"Begin Block", "End Block"})})),
              "");
    EXPECT_EQ(level.Cell(5, 5).BaseTile, 2);
    EXPECT_EQ(level.UnitList.Count(), 1);
    // Reading starts from an empty grid and no units.
    ASSERT_EQ(Read({"[Misc]", "Title=t"}), "");
    EXPECT_EQ(level.Cell(5, 5).BaseTile, 0);
    EXPECT_EQ(level.UnitList.Count(), 0);
    for (const auto& empty : {std::vector<std::string>{}, std::vector<std::string>{"", "", ""},
                              std::vector<std::string>{"[]", "x"}, std::vector<std::string>{"\x01\xff\x80"}})
        EXPECT_EQ(Read(empty), "");
}

TEST_F(LevelFileTest, GridErrorsNameTheChunkAndKeepWhatWasRead)
{
    auto withLine = [](int row, std::string line) {
        std::vector<std::string> g = GridLines("000");
        g[static_cast<size_t>(row)] = std::move(line);
        return g;
    };
    std::vector<std::string> fourteen = GridLines("000");
    fourteen.pop_back();
    std::vector<std::string> sixteen = GridLines("000");
    sixteen.push_back("");
    std::vector<std::string> blankInside = GridLines("000");
    blankInside[3] = "";
    std::string full = GridLines("000")[0];
    struct Case {
        std::string header;
        std::vector<std::string> body;
        std::string message;
    };
    const std::vector<Case> cases = {
        {"[Tiles]", fourteen, "Not enough lines in [Tiles] chunk"},
        {"[Tiles]", sixteen, "Not enough lines in [Tiles] chunk"},
        {"[Overlay]", fourteen, "Not enough lines in [Tiles] chunk"},
        {"[MoreTiles]", sixteen, "Not enough lines in [Tiles] chunk"},
        {"[Tiles]", blankInside, "Line 4 in [Tiles] chunk wrong length"},
        {"[Tiles]", withLine(2, full.substr(0, 62)), "Line 3 in [Tiles] chunk wrong length"},
        {"[Overlay]", withLine(14, full + "0"), "Line 15 in [Tiles] chunk wrong length"},
        {"[Tiles]", withLine(0, full.substr(0, 60) + "\t00"), ""},
        {"[MoreTiles]", withLine(0, "1"), ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.header + " " + c.message);
        // The overlay's errors name [Tiles] too.
        const std::string& expected = c.message;
        EXPECT_EQ(Read(Concat({Section("[Units]", {"Begin Block", "End Block"}), Section(c.header, c.body),
                               Section("[Misc]", {"Title=after"})})),
                  expected);
        // Units read before the failure stay.
        EXPECT_EQ(level.UnitList.Count(), 1);
    }
}

TEST_F(LevelFileTest, CellTextsReadAsHexadecimal)
{
    struct Case {
        const char* cell;
        int32_t base;
        uint8_t solid;
    };
    for (const Case& c : {Case{"1A5", 0xA5, 1}, Case{"0a5", 0xA5, 0}, Case{"2FF", 0xFF, 0}, Case{"XYZ", 0, 0},
                          Case{"3G1", 0x1, 0}}) {
        ASSERT_EQ(Read(Section("[Tiles]", GridLines(c.cell))), "") << c.cell;
        EXPECT_EQ(level.Cell(9, 9).BaseTile, c.base) << c.cell;
        EXPECT_EQ(level.Cell(9, 9).Solid, c.solid) << c.cell;
    }
    // MoreTiles cells are read from their right end, two digits a layer.
    struct More {
        const char* cell;
        int32_t lower, base, upper;
    };
    for (const More& m : {More{"", 0, 0, 0}, More{"7", 0, 0, 7}, More{"ABC", 0, 0xA, 0xBC},
                          More{"12345678", 0x34, 0x56, 0x78}, More{"0a0b0c", 0xA, 0xB, 0xC}}) {
        ASSERT_EQ(Read(Section("[MoreTiles]", GridLines(m.cell))), "") << m.cell;
        EXPECT_EQ(level.Cell(15, 14).LowerTile, m.lower) << m.cell;
        EXPECT_EQ(level.Cell(15, 14).BaseTile, m.base) << m.cell;
        EXPECT_EQ(level.Cell(15, 14).UpperTile, m.upper) << m.cell;
    }
    // A line with too few cells leaves the rest empty.
    ASSERT_EQ(Read(Section("[MoreTiles]", std::vector<std::string>(15, "010101"))), "");
    EXPECT_EQ(level.Cell(0, 3).BaseTile, 1);
    EXPECT_EQ(level.Cell(1, 3).BaseTile, 0);
}

TEST_F(LevelFileTest, UnitBlocksPairBeginAndEnd)
{
    struct Case {
        std::vector<std::string> lines;
        std::vector<std::string> kinds;
        bool hasPlayer;
    };
    const std::vector<Case> cases = {
        {{"Begin Block", "End Block"}, {"tTestBlock"}, false},
        {{"Begin Block"}, {}, false},
        {{"End Block"}, {}, false},
        {{"Begin Block", "Begin Sign", "End Sign", "End Block"}, {"tTestSign"}, false},
        {{"Begin Mystery", "End Mystery", "Begin Block", "End Walker"}, {"tTestBlock"}, false},
        {{"Begin player", "End player"}, {}, false},
        {{"Begin FakePlayer", "End FakePlayer"}, {"tTestPlayer"}, true},
        // Kinds whose classes are not registered are unknown kinds.
        {{"Begin Boulder", "   InitialX = 3", "End Boulder", "Begin Water", "End Water"}, {}, false},
        {{"Begin", "End"}, {}, false},
        {{"Begin Player", "End Player", "Begin FakePlayer", "End"}, {"tTestPlayer", "tTestPlayer"}, true},
    };
    for (const Case& c : cases) {
        ASSERT_EQ(Read(Section("[Units]", c.lines)), "");
        std::vector<std::string> kinds;
        for (int i = 0; i < level.UnitList.Count(); ++i)
            kinds.push_back(level.UnitList[i]->ClassName());
        EXPECT_EQ(kinds, c.kinds) << c.lines[0];
        EXPECT_EQ(level.Player != nullptr, c.hasPlayer) << c.lines[0];
    }
    // A FakePlayer block after a Player block is a figure of the level: the Player stays
    // the level's player.
    EXPECT_EQ(level.Player, level.UnitList[0]);
    // Reading a level without a player leaves none (never the freed one).
    ASSERT_EQ(Read(Section("[Units]", {"Begin Block", "End Block"})), "");
    EXPECT_EQ(level.Player, nullptr);
}

TEST_F(LevelFileTest, PropertyLinesLoseTheirSpacesAndBadValuesAreSkipped)
{
    auto signWith = [&](const std::string& line) {
        EXPECT_EQ(Read(Section("[Units]", {"Begin Sign", "   InitialX = 4", "   TriggerDelay = 11",
                                           "   Colour = Green", "   Edge = 3", "   Scale = 1.5", line, "End Sign"})),
                  "");
        return dynamic_cast<tTestSign*>(level.UnitList[0]);
    };
    struct Case {
        const char* line;
        int32_t x, delay;
        tTestColour colour;
        uint8_t edge;
        double scale;
    };
    const std::vector<Case> cases = {
        {"InitialX = 20", 4, 11, tcGreen, 3, 1.5},
        {"InitialX = -1", 4, 11, tcGreen, 3, 1.5},
        {"InitialX = 1 2", 12, 11, tcGreen, 3, 1.5},
        {"initialx = 9", 4, 11, tcGreen, 3, 1.5},
        {"InitialX 9", 4, 11, tcGreen, 3, 1.5},
        {"InitialX = 9 = 9", 4, 11, tcGreen, 3, 1.5},
        {"TriggerDelay = 99999999999", 4, 11, tcGreen, 3, 1.5},
        {"TriggerDelay = -", 4, 11, tcGreen, 3, 1.5},
        {"TriggerDelay = +5", 4, 5, tcGreen, 3, 1.5},
        {"TriggerDelay = 1e3", 4, 11, tcGreen, 3, 1.5},
        {"TriggerDelay = 0x10", 4, 11, tcGreen, 3, 1.5},
        {"TriggerDelay = -2147483648", 4, INT32_MIN, tcGreen, 3, 1.5},
        {"TriggerDelay = 2147483648", 4, 11, tcGreen, 3, 1.5},
        {"TriggerDelay =", 4, 11, tcGreen, 3, 1.5},
        {"Colour = Purple", 4, 11, tcGreen, 3, 1.5},
        {"Colour = 2", 4, 11, tcGreen, 3, 1.5},
        {"Colour = blue", 4, 11, tcBlue, 3, 1.5},
        {"Edge = 15", 4, 11, tcGreen, 15, 1.5},
        {"Edge = 255", 4, 11, tcGreen, 3, 1.5},
        {"Edge = -1", 4, 11, tcGreen, 3, 1.5},
        {"Edge = 1099511627776", 4, 11, tcGreen, 3, 1.5},
        {"Scale = nan", 4, 11, tcGreen, 3, 1.5},
        {"Scale = inf", 4, 11, tcGreen, 3, 1.5},
        {"Scale = 1e999", 4, 11, tcGreen, 3, 1.5},
        {"Scale = -2.5E-3", 4, 11, tcGreen, 3, -0.0025},
        {"Scale = 1,5", 4, 11, tcGreen, 3, 1.5},
        {"Owner = x", 4, 11, tcGreen, 3, 1.5},
        {"OnPopup = x", 4, 11, tcGreen, 3, 1.5},
        {"Mystery = 1", 4, 11, tcGreen, 3, 1.5},
    };
    for (const Case& c : cases) {
        tTestSign* s = signWith(std::string("   ") + c.line);
        ASSERT_NE(s, nullptr);
        EXPECT_EQ(s->InitialX, c.x) << c.line;
        EXPECT_EQ(s->FTriggerDelay, c.delay) << c.line;
        EXPECT_EQ(s->FColour, c.colour) << c.line;
        EXPECT_EQ(s->FEdge, c.edge) << c.line;
        EXPECT_EQ(s->FScale, c.scale) << c.line;
    }
    // Strings: spaces run together, the setter sees the value, "=" inside stays.
    tTestSign* s = signWith("   Caption = two words = here");
    EXPECT_EQ(s->FCaption, "TWOWORDS=HERE");
    s = signWith("   Letter =");
    EXPECT_EQ(s->FLetter, 0);
    s = signWith("   PopupOnce = true");
    EXPECT_TRUE(s->FPopupOnce);
    s = signWith("   Tag = " + std::string(300, 'z'));
    EXPECT_EQ(s->FTag.size(), 255u);
    s = signWith("   Caption = " + std::string(1 << 20, 'c'));
    EXPECT_EQ(s->FCaption.size(), size_t(1) << 20);
}

TEST_F(LevelFileTest, ASetterErrorAbortsTheLoadWithoutLeakingTheUnit)
{
    std::string message;
    try {
        level.ReadLevelText(Concat({Section("[Units]", {"Begin Player", "End Player", "Begin Sign",
                                                        "   Trigger = Bad(", "End Sign", "Begin Block", "End Block"}),
                                    Section("[Misc]", {"Title=never"})}));
    } catch (const Exception& e) {
        message = e.Message();
    }
    EXPECT_EQ(message, "Couldn't Interpret Trigger String Bad(");
    // The part read so far stays: the player, but not the failed sign or what followed.
    ASSERT_EQ(level.UnitList.Count(), 1);
    EXPECT_EQ(level.Player, level.UnitList[0]);
}

TEST_F(LevelFileTest, AFailedReloadLeavesNoReferenceToTheOldUnits)
{
    ASSERT_EQ(Read(Section("[Units]", {"Begin Player", "End Player", "Begin Block", "InitialX=3", "End Block"})), "");
    level.Restart();
    level.BeginTurn();
    level.UnitList[1]->PickUp();
    ASSERT_EQ(CarriedCount, 1);
    std::vector<std::string> shortGrid = GridLines("000");
    shortGrid.pop_back();
    EXPECT_EQ(Read(Concat({Section("[Units]", {"Begin Block", "End Block"}), Section("[Tiles]", shortGrid)})),
              "Not enough lines in [Tiles] chunk");
    // The half-read level keeps its new unit; nothing points at the freed ones.
    EXPECT_EQ(level.UnitList.Count(), 1);
    EXPECT_EQ(level.Player, nullptr);
    EXPECT_EQ(CarriedCount, 0);
    EXPECT_EQ(TakeCarriedUnit(), nullptr);
    for (const auto& row : level.RowLists)
        EXPECT_TRUE(row.empty());
    EXPECT_EQ(level.UnitAt(3, 0), nullptr);
}

TEST_F(LevelFileTest, UnitsAreWrittenInListOrderWithSortedProperties)
{
    auto sign = std::make_unique<tTestSign>();
    sign->SetCaption("a b");
    sign->FScale = 1e20;
    sign->SetInitialX(2);
    level.AddUnit(std::make_unique<tTestWalker>());
    level.AddUnit(std::move(sign));
    level.AddUnit(std::make_unique<tTestPlayer>());
    std::vector<std::string> w = Written();
    const auto units = std::find(w.begin(), w.end(), "[Units]");
    ASSERT_NE(units, w.end());
    EXPECT_EQ(std::vector<std::string>(units + 1, w.end()),
              (std::vector<std::string>{"Begin Walker", "   InitialDirection = Up", "   InitialX = 0", "   InitialY = 0",
                                        "End Walker", "Begin Sign", "   Caption = A B", "   Colour = Red",
                                        "   Edge = 0", "   InitialDirection = Up", "   InitialX = 2",
                                        "   InitialY = 0", "   Letter = ", "   Owner = ??? Unsuported type ???",
                                        "   PopupOnce = False", "   Scale = 1E20", "   Tag = ", "   Trigger = ",
                                        "   TriggerDelay = 0", "End Sign", "Begin Player", "   InitialDirection = Up",
                                        "   InitialX = 0", "   InitialY = 0", "End Player"}));
    // Reading it back runs the caption's words together.
    ASSERT_EQ(Read(w), "");
    EXPECT_EQ(dynamic_cast<tTestSign*>(level.UnitList[1])->FCaption, "AB");
    EXPECT_EQ(dynamic_cast<tTestSign*>(level.UnitList[1])->FScale, 1e20);
    EXPECT_EQ(level.Player, level.UnitList[2]);
}

TEST_F(LevelFileTest, FloatsRoundTripInTheirShortestForm)
{
    struct Case {
        double value;
        const char* text;
    };
    // 1/3 keeps 15 digits: the text reads back as what it says.
    for (const Case& c : {Case{0.1, "0.1"}, Case{-2.5e-7, "-2.5E-7"}, Case{123456789012345.0, "123456789012345"},
                          Case{0, "0"}, Case{0.333333333333333, "0.333333333333333"}, Case{1e20, "1E20"}}) {
        tTestSign s;
        s.FScale = c.value;
        const TPropInfo* p = FindPropInfo(tTestSign::StaticClass(), "Scale");
        ASSERT_NE(p, nullptr);
        EXPECT_EQ(PropertyText(s, *p), c.text);
        tTestSign back;
        EXPECT_TRUE(SetPropertyFromText(back, *p, c.text));
        EXPECT_EQ(back.FScale, c.value);
    }
    tTestSign third;
    third.FScale = 1.0 / 3;
    EXPECT_EQ(PropertyText(third, *FindPropInfo(tTestSign::StaticClass(), "Scale")), "0.333333333333333");
    EXPECT_EQ(FindPropInfo(tTestSign::StaticClass(), "scale"), nullptr);
    EXPECT_EQ(FindPropInfo(tTestSign::StaticClass(), "OnPopup"), nullptr);
}

TEST_F(LevelFileTest, MillionsOfMeaninglessLinesAreSkipped)
{
    // Blank lines under an unknown section and inside a unit block, read from one text.
    std::string text = "[Mystery]\r\n" + std::string(1 << 21, '\n') + "[Units]\r\nBegin Block\r\n" +
                       std::string(1 << 21, '\r') + "InitialX=5\r\nEnd Block\r\n[Tiles]\r\n" + std::string(1 << 20, '\n');
    TMemoryStream s;
    s.WriteBuffer(text.data(), static_cast<int32_t>(text.size()));
    s.SetPosition(0);
    try {
        level.LoadFromStream(s);
        ADD_FAILURE() << "the grid has too many lines";
    } catch (const ELevelLoadError& e) {
        EXPECT_EQ(e.Message(), "Not enough lines in [Tiles] chunk");
    }
    ASSERT_EQ(level.UnitList.Count(), 1);
    EXPECT_EQ(level.UnitList[0]->InitialX, 5);
}

TEST_F(LevelFileTest, ManyUnitsAndOneCellForAll)
{
    std::vector<std::string> lines{"[Units]"};
    for (int i = 0; i < 10000; ++i) {
        lines.push_back("Begin Walker");
        lines.push_back("InitialX=7");
        lines.push_back("End Walker");
    }
    ASSERT_EQ(Read(lines), "");
    EXPECT_EQ(level.UnitList.Count(), 10000);
    level.Restart();
    level.BeginTurn();
    level.TakeTurns();
    level.MoveUnits();
    EXPECT_EQ(level.RowLists[0].size(), 10000u);
}

}  // namespace
