// Text pictures of levels: a picture made into a level file by the game's own writer and
// read back by the game's reader holds what the picture shows and shows back as the same
// picture; a level written by hand shows what it holds for play; a picture with a fault
// is refused with its name and line, and nothing is made of it.
#include <gtest/gtest.h>

#include <functional>
#include <memory>

#include "platform/Streams.h"
#include "tesk/game/Levels.h"
#include "tesk/game/Players.h"
#include "tesk/game/Units.h"
#include "tests/support/ScratchDir.h"
#include "tools/levels/LevelPictures.h"
#include "tools/levels/LevelSession.h"

namespace {

// Every character every picture knows, and the four kinds of entry a level's own legend
// has: a kind with a property, a wall with a unit on it, a kind with two properties, and
// two units on one cell.
const std::vector<std::string> GoodLines = {
    "[Misc]",
    "Title=Every Kind",
    "Hint=Nothing here is meant to be played.",
    "Background=Morrowfinch.jpg",
    "TileSet=BasicTiles.jpg",
    "OverlayTileSet=BasicOverlay.jpg",
    "Music=Quickstep.xm",
    "WaterTint=405060",
    "WallTile=41 45",
    "WallUpperTile=C0 C1",
    "FloorTile=81",
    "[Picture]",
    "################",
    "#@.o~=%k*ESXb?&#",
    "#..............#",
    "#A............B#",
    "#C.....D.......#",
    "#..............#",
    "#..............#",
    "#..............#",
    "#..............#",
    "#..............#",
    "#..............#",
    "#..............#",
    "#..............#",
    "#..............#",
    "################",
    "[Legend]",
    "A = Exit Kind=ExitHatch",
    "B = Wall + Info Caption=HELLO_THERE ImageName=Morrowfinch.jpg Trigger=KeysLeft=0 TriggerDelay=3",
    "C = Spider InitialDirection=Left WallFollowing=RightWall",
    "D = Jewel Kind=Green_1000 + Info PopupOnce=False",
};

std::string Joined(const std::vector<std::string>& lines)
{
    std::string text;
    for (const std::string& l : lines)
        text += l + "\n";
    return text;
}

class Pictures : public ::testing::Test {
protected:
    void SetUp() override
    {
        tSessionData data;
        data.Packages = {std::string(TP_BIN_DIR) + "/Base.Tarvol"};
        data.Play = false;
        Session = std::make_unique<tLevelSession>(data);
    }
    void TearDown() override { Session.reset(); }
    // The level file the game's writer makes of the level.
    static std::string LevelFile(tLevel& level)
    {
        TMemoryStream stream;
        level.SaveToStream(stream);
        return stream.DataString();
    }
    template <class T>
    static std::vector<T*> UnitsAt(const tLevel& level, int32_t x, int32_t y)
    {
        std::vector<T*> out;
        for (int32_t i = 0; i < level.UnitList.Count(); ++i)
            if (auto* u = dynamic_cast<T*>(level.UnitList[i]); u && u->InitialX == x && u->InitialY == y)
                out.push_back(u);
        return out;
    }
    std::unique_ptr<tLevelSession> Session;
};

} // namespace

TEST_F(Pictures, APictureMakesTheLevelItShowsAndShowsBackTheSame)
{
    const std::string picture = Joined(GoodLines);
    tLevel made;
    ReadLevelPicture(picture, "every.pic", made);
    tLevel level;
    level.ReadLevelText(LevelFile(made));

    EXPECT_EQ(level.Title, "Every Kind");
    EXPECT_EQ(level.Hint, "Nothing here is meant to be played.");
    EXPECT_EQ(level.Music, "Quickstep.xm");
    EXPECT_EQ(level.WaterTint, 0x405060);
    // Walls are solid and take the wall tiles with the upper tiles over them; floors not.
    for (int32_t y = 0; y < LevelHeight; ++y)
        for (int32_t x = 0; x < LevelWidth; ++x) {
            const tCell& c = level.Cell(x, y);
            const bool wall = x == 0 || y == 0 || x == 15 || y == 14 || (x == 14 && y == 3);
            EXPECT_EQ(c.Solid, wall ? 1 : 0) << x << "," << y;
            EXPECT_TRUE(wall ? (c.BaseTile == 0x41 || c.BaseTile == 0x45) : c.BaseTile == 0x81) << x << "," << y;
            EXPECT_TRUE(wall ? (c.UpperTile == 0xC0 || c.UpperTile == 0xC1) : c.UpperTile == 0) << x << "," << y;
        }
    ASSERT_EQ(level.UnitList.Count(), 18);
    EXPECT_EQ(UnitsAt<tActualPlayer>(level, 1, 1).size(), 1u);
    EXPECT_EQ(UnitsAt<tBoulder>(level, 3, 1).size(), 1u);
    ASSERT_EQ(UnitsAt<tWater>(level, 4, 1).size(), 1u);
    EXPECT_FALSE(UnitsAt<tWater>(level, 4, 1)[0]->GetBoulder());
    ASSERT_EQ(UnitsAt<tWater>(level, 5, 1).size(), 1u);
    EXPECT_TRUE(UnitsAt<tWater>(level, 5, 1)[0]->GetBoulder());
    EXPECT_EQ(UnitsAt<tDirt>(level, 6, 1).size(), 1u);
    EXPECT_EQ(UnitsAt<tKey>(level, 7, 1).size(), 1u);
    ASSERT_EQ(UnitsAt<tJewel>(level, 8, 1).size(), 1u);
    EXPECT_EQ(UnitsAt<tJewel>(level, 8, 1)[0]->GetKind(), Blue_50);
    ASSERT_EQ(UnitsAt<tExit>(level, 9, 1).size(), 1u);
    EXPECT_EQ(UnitsAt<tExit>(level, 9, 1)[0]->GetKind(), ExitDoor);
    EXPECT_EQ(UnitsAt<tSnake>(level, 10, 1).size(), 1u);
    ASSERT_EQ(UnitsAt<tSpider>(level, 11, 1).size(), 1u);
    EXPECT_EQ(UnitsAt<tSpider>(level, 11, 1)[0]->GetWallFollowing(), LeftWall);
    EXPECT_EQ(UnitsAt<tCherryBomb>(level, 12, 1).size(), 1u);
    EXPECT_EQ(UnitsAt<tInfo>(level, 13, 1).size(), 1u);
    EXPECT_EQ(UnitsAt<tFakePlayer>(level, 14, 1).size(), 1u);
    ASSERT_EQ(UnitsAt<tExit>(level, 1, 3).size(), 1u);
    EXPECT_EQ(UnitsAt<tExit>(level, 1, 3)[0]->GetKind(), ExitHatch);
    ASSERT_EQ(UnitsAt<tInfo>(level, 14, 3).size(), 1u);
    const tInfo& sign = *UnitsAt<tInfo>(level, 14, 3)[0];
    EXPECT_EQ(sign.GetCaption(), "HELLO_THERE");
    EXPECT_EQ(sign.GetImageName(), "Morrowfinch.jpg");
    EXPECT_EQ(sign.GetTrigger(), "KeysLeft=0");
    EXPECT_EQ(sign.GetTriggerDelay(), 3);
    ASSERT_EQ(UnitsAt<tSpider>(level, 1, 4).size(), 1u);
    EXPECT_EQ(UnitsAt<tSpider>(level, 1, 4)[0]->GetInitialDirection(), Left);
    EXPECT_EQ(UnitsAt<tSpider>(level, 1, 4)[0]->GetWallFollowing(), RightWall);
    ASSERT_EQ(UnitsAt<tJewel>(level, 7, 4).size(), 1u);
    EXPECT_EQ(UnitsAt<tJewel>(level, 7, 4)[0]->GetKind(), Green_1000);
    ASSERT_EQ(UnitsAt<tInfo>(level, 7, 4).size(), 1u);
    EXPECT_FALSE(UnitsAt<tInfo>(level, 7, 4)[0]->GetPopupOnce());

    EXPECT_EQ(LevelPicture(level), picture);
}

// A level written by hand (as the editor writes one: water with its derived edge and
// tint lines) shows what it holds for play and nothing the units derive.
TEST_F(Pictures, ALevelWrittenByHandShowsWhatItHolds)
{
    tLevel level;
    level.ReadLevelText(ScratchDir::Read(std::string(TP_SOURCE_DIR) + "/tests/tesk/game/files/replays/First.map"));
    std::vector<std::string> lines = {"[Misc]",
                                      "Title=First Steps",
                                      "Background=Morrowfinch.jpg",
                                      "TileSet=BasicTiles.jpg",
                                      "OverlayTileSet=BasicOverlay.jpg",
                                      "Music=AncientStories2.xm",
                                      "WallTile=41",
                                      "FloorTile=81",
                                      "[Picture]",
                                      "################"};
    for (int i = 0; i < 6; ++i)
        lines.push_back("#..............#");
    lines.push_back("#.@.o.~..k..E..#");
    for (int i = 0; i < 6; ++i)
        lines.push_back("#..............#");
    lines.push_back("################");
    EXPECT_EQ(LevelPicture(level), Joined(lines));
}

TEST_F(Pictures, APictureWithAFaultIsRefusedWithItsLine)
{
    struct Case {
        const char* What;
        std::function<void(std::vector<std::string>&)> Change;
        const char* Message;
    };
    const auto set = [](size_t line, std::string text) {
        return [=](std::vector<std::string>& l) { l[line - 1] = text; };
    };
    const Case cases[] = {
        {"14 rows", [](auto& l) { l.erase(l.begin() + 23); }, "p.pic:12: the picture has 14 rows; a level has 15"},
        {"16 rows", [](auto& l) { l.insert(l.begin() + 20, "#..............#"); }, "p.pic:28: a 16th picture row"},
        {"a long row", set(15, "#...............#"), "p.pic:15: the picture row 2 has 17 characters; a row has 16"},
        {"a short row", set(14, "#@.o~=%k*ESXb?&"), "p.pic:14: the picture row 1 has 15 characters"},
        {"a character in no legend", set(15, "#..Q...........#"), "p.pic:15: 'Q' (column 3) is in no legend"},
        {"no hero", set(14, "#..o~=%k*ESXb?&#"), "p.pic:12: the picture has no hero"},
        {"two heroes", set(15, "#.......@......#"), "p.pic:15: a second hero (column 8)"},
        {"an unknown key", set(8, "Colour=405060"), "p.pic:8: 'Colour' is no key of [Misc]"},
        {"a key twice", set(8, "Title=Again"), "p.pic:8: Title is given twice (line 2)"},
        {"a tint that is no number", set(8, "WaterTint=80G040"), "p.pic:8: '80G040' is not a hexadecimal colour"},
        {"a tile past FF", set(11, "FloorTile=81 100"), "p.pic:11: '100' is not a hexadecimal tile number"},
        {"no section first", [](auto& l) { l.insert(l.begin(), "Title=Early"); }, "p.pic:1: text before the first section"},
        {"an unknown section", set(28, "[Units]"), "p.pic:28: '[Units]' is no section of a picture"},
        {"an unknown kind", set(31, "C = Sprite"), "p.pic:31: 'Sprite' is no unit kind"},
        {"an unknown property", set(31, "C = Spider Speed=3"), "p.pic:31: Spider has no property 'Speed'"},
        {"the cell from the legend", set(29, "A = Exit InitialX=3"), "p.pic:29: Exit has no property 'InitialX' a legend sets (the picture places the units)"},
        {"a value of no member", set(29, "A = Exit Kind=Trapdoor"), "p.pic:29: Exit Kind=Trapdoor: not a value of Kind"},
        {"a trigger that does not read", set(30, "B = Wall + Info Trigger=KeysLeft=>1"), "p.pic:30: Info Trigger=KeysLeft=>1: Couldn't Interpret Trigger String Invalid operator in trigger 1"},
        {"a character every picture knows", set(31, "o = Boulder"), "p.pic:31: 'o' is a character every picture knows"},
        {"a character twice", set(31, "A = Key"), "p.pic:31: 'A' is in the legend already (line 29)"},
        {"a legend line without =", set(31, "C Spider"), "p.pic:31: a legend line is 'c = item + item ...'"},
        {"a dangling +", set(31, "C = Spider +"), "p.pic:31: a '+' with no item after it"},
        {"a property of a wall", set(30, "B = Wall Solid=1"), "p.pic:30: 'Solid=1' is not a property of the item before it"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.What);
        std::vector<std::string> lines = GoodLines;
        c.Change(lines);
        tLevel level;
        try {
            ReadLevelPicture(Joined(lines), "p.pic", level);
            ADD_FAILURE() << "made without a fault";
        } catch (const EToolError& e) {
            EXPECT_NE(std::string(e.what()).find(c.Message), std::string::npos) << e.what();
        }
    }
}
