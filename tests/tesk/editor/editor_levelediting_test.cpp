// Editing a level in place, without any window: the cells a press paints by page, layer
// and button; placing, picking, moving and deleting units; setting published properties
// from row texts (numbers held to the 32-bit range, refusals that leave the unit as it
// was); and the level telling whoever keeps one of its units that the unit goes.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "tesk/editor/LevelEditing.h"
#include "tests/tesk/game/UnitFixture.h"

namespace {

// A unit with a float property, which none of the game's kinds publishes.
class tFloatUnit : public tUnit {
    TP_CLASS(tFloatUnit)
public:
    double GetSpeed() const { return Speed; }
    void SetSpeed(double v) { Speed = v; }
    double Speed = 1.5;
};

} // namespace

TP_CLASS_INFO(tFloatUnit, tUnit, FloatProp("Speed", &tFloatUnit::GetSpeed, &tFloatUnit::SetSpeed))

namespace {

class LevelEditing : public UnitSuite {
protected:
    void TearDown() override
    {
        Level().OnUnitsFreed = nullptr;
        Level().FreeAllUnits();
        UnitSuite::TearDown();
    }
    static const TPropInfo& Prop(const tUnit& unit, const std::string& name)
    {
        const TPropInfo* p = GetPropInfo(unit.ClassType(), name);
        EXPECT_NE(p, nullptr) << name;
        return *p;
    }
    std::string Text(const tUnit& unit, const std::string& name) { return PropertyText(unit, Prop(unit, name)); }
};

} // namespace

TEST_F(LevelEditing, APressPaintsTheCellByPageLayerAndButton)
{
    struct Case {
        tEditPage Page;
        tTileLayer Layer;
        TMouseButton Button;
        tCell Expected;  // the cell (all layers 5, overlay 6, solid) after the press
    };
    // Chosen: tile 21, overlay tile 7, Solid off.
    const Case cases[] = {
        {tEditPage::Tiles, tTileLayer::Lower, mbLeft, {0, 21, 5, 5, 6}},
        {tEditPage::Tiles, tTileLayer::Base, mbLeft, {0, 5, 21, 5, 6}},
        {tEditPage::Tiles, tTileLayer::Upper, mbLeft, {0, 5, 5, 21, 6}},
        // Layer None paints the flag only.
        {tEditPage::Tiles, tTileLayer::None, mbLeft, {0, 5, 5, 5, 6}},
        {tEditPage::Tiles, tTileLayer::Base, mbRight, {0, 5, 0, 5, 6}},
        {tEditPage::Tiles, tTileLayer::None, mbRight, {0, 5, 5, 5, 6}},
        {tEditPage::Tiles, tTileLayer::Base, mbMiddle, {1, 5, 5, 5, 6}},
        {tEditPage::Overlay, tTileLayer::Base, mbLeft, {1, 5, 5, 5, 7}},
        {tEditPage::Overlay, tTileLayer::Base, mbRight, {1, 5, 5, 5, 0}},
        {tEditPage::Overlay, tTileLayer::Base, mbMiddle, {1, 5, 5, 5, 6}},
        {tEditPage::Objects, tTileLayer::Base, mbLeft, {1, 5, 5, 5, 6}},
        {tEditPage::None, tTileLayer::Base, mbLeft, {1, 5, 5, 5, 6}},
    };
    for (const Case& c : cases) {
        Level().Cells.fill(tCell{1, 5, 5, 5, 6});
        tEditChoices choices;
        choices.Page = c.Page;
        choices.Layer = c.Layer;
        choices.Tile = 21;
        choices.Solid = false;
        choices.OverlayTile = 7;
        EditCell(Level(), choices, c.Button, 15, 14);
        const tCell& got = Level().Cell(15, 14);
        SCOPED_TRACE(testing::Message() << "page " << int(c.Page) << " layer " << int(c.Layer) << " button " << int(c.Button));
        EXPECT_EQ(got.Solid, c.Expected.Solid);
        EXPECT_EQ(got.LowerTile, c.Expected.LowerTile);
        EXPECT_EQ(got.BaseTile, c.Expected.BaseTile);
        EXPECT_EQ(got.UpperTile, c.Expected.UpperTile);
        EXPECT_EQ(got.OverlayTile, c.Expected.OverlayTile);
        EXPECT_EQ(Level().Cell(14, 14).BaseTile, 5) << "only the cell pressed changes";
    }
    // Solid on sets the flag with the tile.
    tEditChoices choices;
    choices.Page = tEditPage::Tiles;
    choices.Tile = 3;
    EditCell(Level(), choices, mbLeft, 0, 0);
    EXPECT_EQ(Level().Cell(0, 0).Solid, 1);
    EXPECT_EQ(Level().Cell(0, 0).BaseTile, 3);
}

TEST_F(LevelEditing, CellsOffTheGridAreLeftAloneOnEveryPage)
{
    Level().Cells.fill(tCell{1, 5, 5, 5, 6});
    const std::array<tCell, LevelCells> before = Level().Cells;
    const int32_t units = Level().UnitList.Count();
    tEditChoices choices;
    choices.ArmedKind = tBoulder::StaticClass();
    for (tEditPage page : {tEditPage::Tiles, tEditPage::Overlay, tEditPage::Objects})
        for (auto [x, y] : {std::pair{-1, -1}, {16, 0}, {0, 15}, {-1, 3}}) {
            choices.Page = page;
            const tCellEdit done = EditCell(Level(), choices, mbLeft, x, y);
            EXPECT_EQ(done.Placed, nullptr);
            EXPECT_EQ(done.Picked, nullptr);
            PaintTile(Level(), x, y, tTileLayer::Base, 9, false);
            ClearTile(Level(), x, y, tTileLayer::Base);
            SetOverlayTile(Level(), x, y, 9);
        }
    for (size_t i = 0; i < before.size(); ++i) {
        EXPECT_EQ(Level().Cells[i].BaseTile, before[i].BaseTile);
        EXPECT_EQ(Level().Cells[i].OverlayTile, before[i].OverlayTile);
        EXPECT_EQ(Level().Cells[i].Solid, before[i].Solid);
    }
    EXPECT_EQ(Level().UnitList.Count(), units);
}

TEST_F(LevelEditing, TheObjectsPagePlacesTheArmedKindOrPicksTheUnitAtItsInitialCell)
{
    tEditChoices choices;
    choices.Page = tEditPage::Objects;
    choices.ArmedKind = tSpider::StaticClass();
    const tCellEdit placed = EditCell(Level(), choices, mbRight, 6, 2);
    ASSERT_NE(placed.Placed, nullptr);
    EXPECT_EQ(placed.Picked, nullptr);
    EXPECT_EQ(placed.Placed->ClassType(), tSpider::StaticClass());
    EXPECT_EQ(Level().UnitList[Level().UnitList.Count() - 1], placed.Placed);
    EXPECT_EQ(placed.Placed->InitialX, 6);
    EXPECT_EQ(placed.Placed->InitialY, 2);
    // Reset: it stands on its initial cell.
    EXPECT_EQ(placed.Placed->X, 6.0f);
    EXPECT_EQ(placed.Placed->Y, 2.0f);

    // No kind armed: the unit whose initial cell it is, wherever it stands now.
    choices.ArmedKind = nullptr;
    placed.Placed->X = 9;
    EXPECT_EQ(EditCell(Level(), choices, mbLeft, 6, 2).Picked, placed.Placed);
    EXPECT_EQ(EditCell(Level(), choices, mbLeft, 9, 2).Picked, nullptr);
    EXPECT_EQ(EditCell(Level(), choices, mbLeft, 7, 7).Picked, nullptr);
    // A temporary unit on the cell (the hero's arrival warp) is passed over.
    auto warp = std::make_unique<tWarp>();
    warp->SetInitialX(7);
    warp->SetInitialY(7);
    Level().UnitList.Items().insert(Level().UnitList.Items().begin(), std::move(warp));
    EXPECT_EQ(EditCell(Level(), choices, mbLeft, 7, 7).Picked, nullptr);
    tUnit* spider = PlaceUnit(Level(), tSpider::StaticClass(), 7, 7);
    EXPECT_EQ(EditCell(Level(), choices, mbLeft, 7, 7).Picked, spider);
    EXPECT_EQ(Level().UnitAtInitialCell(7, 7)->ClassType(), tWarp::StaticClass());

    // A class that is no unit, or cannot be made, places nothing.
    EXPECT_EQ(PlaceUnit(Level(), TPersistent::StaticClass(), 1, 1), nullptr);
    EXPECT_EQ(PlaceUnit(Level(), nullptr, 1, 1), nullptr);
    EXPECT_EQ(Level().UnitList.Count(), 3);
}

TEST_F(LevelEditing, MovingAUnitSetsItsInitialCellThroughItsSettersAndRestartsTheLevel)
{
    ReadUnits(Block("Player", 2, 2) + Block("Key", 5, 5));
    tKey* key = First<tKey>();
    ASSERT_NE(key, nullptr);
    const uint32_t restarts = Level().ResetCount;
    EXPECT_TRUE(MoveUnit(Level(), *key, 9, 11));
    EXPECT_EQ(key->InitialX, 9);
    EXPECT_EQ(key->InitialY, 11);
    EXPECT_EQ(key->X, 9.0f) << "the restart put it there";
    EXPECT_EQ(Level().ResetCount, restarts + 1);
    // Each coordinate on its own: one off the grid is refused, the other taken.
    EXPECT_TRUE(MoveUnit(Level(), *key, 20, 3));
    EXPECT_EQ(key->InitialX, 9);
    EXPECT_EQ(key->InitialY, 3);
    // Off the grid altogether (the side panel gives -1, -1), or the same cell: no change,
    // no restart.
    const uint32_t now = Level().ResetCount;
    EXPECT_FALSE(MoveUnit(Level(), *key, -1, -1));
    EXPECT_FALSE(MoveUnit(Level(), *key, 9, 3));
    EXPECT_EQ(Level().ResetCount, now);
    EXPECT_EQ(key->InitialX, 9);
    EXPECT_EQ(key->InitialY, 3);
}

TEST_F(LevelEditing, DeletingAUnitTellsTheListenerWhileItExistsAndTheHeroMayGo)
{
    ReadUnits(Block("Player", 2, 2) + Block("Key", 5, 5) + Block("Exit", 7, 7));
    // The hero's arrival warp, a temporary unit, goes at every restart: not counted here.
    std::vector<std::string> heard;
    Level().OnUnitsFreed = [&](const tUnit* unit) {
        if (!unit || !unit->Temporary)
            heard.push_back(unit ? unit->ClassName() : "all");
    };
    tKey* key = First<tKey>();
    EXPECT_EQ(LevelKeys, 1);
    DeleteUnit(Level(), key);
    EXPECT_EQ(heard, std::vector<std::string>{"tKey"});
    EXPECT_EQ(First<tKey>(), nullptr);
    EXPECT_EQ(LevelKeys, 0) << "the level restarted without it";

    tUnit* hero = Level().Player;
    ASSERT_NE(hero, nullptr);
    DeleteUnit(Level(), hero);
    EXPECT_EQ(Level().Player, nullptr);
    EXPECT_EQ(heard.back(), "tActualPlayer");
    // The level plays on without a hero.
    Eng->GameMode = gmPlaying;
    Turns(3);
    EXPECT_EQ(Level().UnitList.Count(), 1);

    // A unit that is not the level's is left alone, and so is none.
    tKey stranger;
    DeleteUnit(Level(), &stranger);
    DeleteUnit(Level(), nullptr);
    EXPECT_EQ(heard.size(), 2u);
}

TEST_F(LevelEditing, TheLevelTellsWhenItsUnitsAreReplacedOrATemporaryOneGoesAtARestart)
{
    ReadUnits(Block("Key", 5, 5));
    std::vector<const tUnit*> heard;
    Level().OnUnitsFreed = [&](const tUnit* unit) { heard.push_back(unit); };
    // A temporary unit goes at the restart, alone.
    auto warp = std::make_unique<tWarp>();
    tUnit* temporary = Level().AddUnit(std::move(warp));
    Level().Restart();
    EXPECT_EQ(heard, std::vector<const tUnit*>{temporary});
    // Reading a level replaces them all at once.
    heard.clear();
    Level().ReadLevelText("[Units]\r\n" + Block("Key", 1, 1));
    EXPECT_EQ(heard, std::vector<const tUnit*>{nullptr});
    // A level without units has nothing to tell.
    Level().FreeAllUnits();
    heard.clear();
    Level().ReadLevelText(std::string("[Units]\r\n"));
    EXPECT_TRUE(heard.empty());
}

TEST_F(LevelEditing, APropertySetFromItsTextIsAppliedReadBackAndRestartsTheLevel)
{
    ReadUnits(Block("Info", 4, 4, {"Trigger = KeysLeft=0", "TriggerDelay = 2"}) + Block("Water", 6, 6, {"AutoEdge = False"}) +
              Block("Spider", 8, 8));
    auto* info = First<tInfo>();
    auto* water = First<tWater>();
    auto* spider = First<tSpider>();
    auto* floater = static_cast<tFloatUnit*>(Level().AddUnit(std::make_unique<tFloatUnit>()));
    struct Case {
        tUnit* Unit;
        const char* Property;
        const char* Text;
        const char* ReadBack;
    };
    const Case cases[] = {
        {info, "TriggerDelay", "7", "7"},
        // Integers are truncated toward zero...
        {info, "TriggerDelay", "3.9", "3"},
        {info, "TriggerDelay", "-3.9", "-3"},
        // ...and held to the 32-bit range.
        {info, "TriggerDelay", "99999999999", "2147483647"},
        {info, "TriggerDelay", "-1e300", "-2147483648"},
        // A value the setter refuses reads back as it was.
        {info, "InitialX", "20", "4"},
        {info, "InitialX", "15", "15"},
        {water, "Edge", "5", "5"},
        {spider, "InitialDirection", "left", "Left"},
        {spider, "WallFollowing", "RightWall", "RightWall"},
        {info, "PopupOnce", "True", "True"},
        {info, "Caption", "two words", "TWO WORDS"},
        {info, "Trigger", "KeysLeft>1", "KeysLeft>1"},
        {floater, "Speed", "2.25", "2.25"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.Property) + " := " + c.Text);
        const uint32_t restarts = Level().ResetCount;
        const tPropertyEdit done = SetUnitProperty(Level(), *c.Unit, Prop(*c.Unit, c.Property), c.Text);
        EXPECT_TRUE(done.Applied) << done.Reason;
        EXPECT_EQ(Text(*c.Unit, c.Property), c.ReadBack);
        EXPECT_EQ(Level().ResetCount, restarts + 1);
    }
    EXPECT_EQ(info->X, 15.0f) << "the restart shows the unit at its new cell";
}

TEST_F(LevelEditing, ATextThatDoesNotConvertOrASetterThatRaisesLeavesTheUnitAsItWas)
{
    ReadUnits(Block("Info", 4, 4, {"Trigger = KeysLeft=0", "TriggerDelay = 2", "Caption = Hello"}) + Block("Water", 6, 6) +
              Block("Spider", 8, 8));
    auto* info = First<tInfo>();
    auto* water = First<tWater>();
    auto* spider = First<tSpider>();
    auto* floater = static_cast<tFloatUnit*>(Level().AddUnit(std::make_unique<tFloatUnit>()));
    struct Case {
        tUnit* Unit;
        const char* Property;
        const char* Text;
        const char* Reason;  // a part of the reason given
    };
    const Case cases[] = {
        {info, "TriggerDelay", "abc", "'abc' is not a number"},
        {info, "TriggerDelay", "1e999", "not a number"},
        {info, "TriggerDelay", "nan", "not a number"},
        {info, "TriggerDelay", "1 2", "not a number"},
        {info, "TriggerDelay", "", "not a number"},
        {floater, "Speed", "inf", "not a number"},
        // A set takes no bit outside its members.
        {water, "Edge", "16", ""},
        {water, "Edge", "-1", ""},
        {spider, "InitialDirection", "Sideways", "Up, Right, Down, Left"},
        {info, "Trigger", "KeysLeft>>1", "Couldn't Interpret Trigger String"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.Property) + " := " + c.Text);
        const std::string before = Text(*c.Unit, c.Property);
        const uint32_t restarts = Level().ResetCount;
        const tPropertyEdit done = SetUnitProperty(Level(), *c.Unit, Prop(*c.Unit, c.Property), c.Text);
        EXPECT_FALSE(done.Applied);
        EXPECT_FALSE(done.Reason.empty());
        EXPECT_NE(done.Reason.find(c.Reason), std::string::npos) << done.Reason;
        EXPECT_EQ(Text(*c.Unit, c.Property), before);
        EXPECT_EQ(Level().ResetCount, restarts) << "nothing restarts";
    }
    // The old trigger still works: it was put back, not only its text.
    Eng->GameMode = gmPlaying;
    EXPECT_EQ(info->GetTrigger(), "KeysLeft=0");
    const tPropertyEdit again = SetUnitProperty(Level(), *info, Prop(*info, "Trigger"), info->GetTrigger());
    EXPECT_TRUE(again.Applied);
}

TEST_F(LevelEditing, NumbersOfIntegerRowsAreHeldToThe32BitRangeAndNonFiniteOnesRefused)
{
    constexpr double inf = std::numeric_limits<double>::infinity();
    const struct {
        double Value;
        bool Finite;
        int64_t Ordinal;
    } cases[] = {
        {3.9, true, 3},          {-3.9, true, -3},
        {2147483647.9, true, 2147483647},
        {2147483648.0, true, 2147483647},
        {-2147483649.0, true, -2147483648LL},
        {1e300, true, 2147483647}, {-1e300, true, -2147483648LL},
        {inf, false, 0},         {-inf, false, 0},
        {std::nan(""), false, 0},
    };
    for (const auto& c : cases) {
        int64_t ordinal = 0;
        EXPECT_EQ(OrdinalOfNumber(c.Value, ordinal), c.Finite) << c.Value;
        if (c.Finite) {
            EXPECT_EQ(ordinal, c.Ordinal) << c.Value;
        }
    }
    ReadUnits(Block("Info", 4, 4, {"TriggerDelay = 2"}));
    auto* info = First<tInfo>();
    const TPropInfo& delay = Prop(*info, "TriggerDelay");
    EXPECT_FALSE(SetUnitPropertyNumber(Level(), *info, delay, inf).Applied);
    EXPECT_FALSE(SetUnitPropertyNumber(Level(), *info, delay, std::nan("")).Applied);
    EXPECT_EQ(info->GetTriggerDelay(), 2);
    EXPECT_TRUE(SetUnitPropertyNumber(Level(), *info, delay, -1e12).Applied);
    EXPECT_EQ(info->GetTriggerDelay(), std::numeric_limits<int32_t>::min());
    // A string property takes no number.
    EXPECT_FALSE(SetUnitPropertyNumber(Level(), *info, Prop(*info, "Caption"), 1).Applied);
}

TEST_F(LevelEditing, LayerButtonTagsNameTheLayers)
{
    EXPECT_EQ(TileLayerOfTag(-1), tTileLayer::Lower);
    EXPECT_EQ(TileLayerOfTag(0), tTileLayer::Base);
    EXPECT_EQ(TileLayerOfTag(1), tTileLayer::Upper);
    EXPECT_EQ(TileLayerOfTag(-100), tTileLayer::None);
    EXPECT_EQ(TileLayerOfTag(2), tTileLayer::None);
}
