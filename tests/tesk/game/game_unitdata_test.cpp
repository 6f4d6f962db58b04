// The hero, boulders, water, dirt, keys, jewels and exits as level-file data: what each
// kind publishes, a level of every kind written, read back and written again, a level
// written during play (arrival warps on the list) and bad property values; then levels
// that push them: no hero, every kind on one cell, pictures smaller than their sheets.
#include "tests/tesk/game/UnitFixture.h"

#include "tesk/game/Levels.h"
#include "tesk/toolkit/Dib16.h"
#include "tests/support/JpegFiles.h"

namespace {

class UnitDataTest : public UnitSuite {
protected:
    void TearDown() override
    {
        Level().FreeAllUnits();
        SetWaterTint(DefaultWaterTint);
        UnitSuite::TearDown();
    }
    void ReleaseArrows()
    {
        for (int a = 2; a <= 5; ++a)
            Release(a);
        Eng->LiveInput.ClearLatched(AllActions);
    }
    void EditMode(bool on)
    {
        Eng->SetEditMode(on);
        Eng->GameMode = on ? gmEditing : gmPlaying;
    }
    std::vector<std::string> Lines()
    {
        std::vector<std::string> lines;
        Level().WriteLevelText(lines);
        return lines;
    }
    static std::string Joined(const std::vector<std::string>& lines)
    {
        std::string out;
        for (const std::string& l : lines)
            out += l + "\r\n";
        return out;
    }
    // A level of every registered kind, each property away from its constructor value.
    static std::string EveryKind()
    {
        return "[Misc]\r\nTitle=Every kind\r\n[Units]\r\n" + Block("Player", {"InitialX = 1", "InitialY = 2"}) +
               Block("FakePlayer", {"InitialX = 14", "InitialY = 13"}) + Block("Boulder", {"InitialX = 3", "InitialY = 3"}) +
               Block("Snake", {"InitialX = 15", "InitialY = 0"}) + Block("Key", {"InitialX = 4", "InitialY = 4"}) +
               Block("Jewel", {"InitialX = 5", "InitialY = 5", "Kind = Green_1000"}) +
               Block("Jewel", {"InitialX = 6", "InitialY = 5", "Kind = Yellow_250"}) +
               Block("Exit", {"InitialX = 7", "InitialY = 7", "Kind = ExitHatch"}) +
               Block("Dirt", {"InitialX = 8", "InitialY = 8"}) +
               Block("Water", {"AutoEdge = False", "Boulder = True", "Edge = 5", "EdgeStyle = weTypeB", "InitialX = 9",
                               "InitialY = 9", "Tint = A0B0C0"}) +
               Block("Water", {"EdgeStyle = weTypeA", "InitialX = 10", "InitialY = 9"}) +
               Block("Spider", {"InitialDirection = Right", "WallFollowing = RightWall", "InitialX = 11", "InitialY = 11"}) +
               Block("Info", {"Caption = Hello", "ImageName = Sign.jpg", "PopupOnce = False", "Trigger = KeysLeft=0",
                              "TriggerDelay = 4", "InitialX = 12", "InitialY = 12"}) +
               Block("CherryBomb", {"InitialX = 13", "InitialY = 1"});
    }
};

std::string Names(TClass cls)
{
    std::string out;
    for (const TPropInfo* p : GetPropList(cls))
        out += (out.empty() ? "" : ", ") + p->Name;
    return out;
}

TEST_F(UnitDataTest, EachKindPublishesExactlyItsProperties)
{
    const std::string plain = "InitialX, InitialY";
    const std::pair<TClass, std::string> kinds[] = {
        {tActualPlayer::StaticClass(), plain},
        {tFakePlayer::StaticClass(), plain},
        {tOOTPlayer::StaticClass(), plain},
        {tWarp::StaticClass(), plain},
        {tResetWarp::StaticClass(), plain},
        {tBoulder::StaticClass(), plain},
        {tDirt::StaticClass(), plain},
        {tKey::StaticClass(), plain},
        {tWater::StaticClass(), "AutoEdge, Boulder, Edge, EdgeStyle, InitialX, InitialY, Tint"},
        {tJewel::StaticClass(), "InitialX, InitialY, Kind"},
        {tExit::StaticClass(), "InitialX, InitialY, Kind"},
    };
    for (const auto& [cls, names] : kinds)
        EXPECT_EQ(Names(cls), names) << cls->ClassName;

    // The constructor values, and every enumeration name back to its value.
    const tWater water;
    EXPECT_TRUE(water.AutoEdge);
    EXPECT_FALSE(water.Boulder);
    EXPECT_EQ(water.Edge, 0);
    EXPECT_EQ(water.EdgeStyle, weSquare);
    EXPECT_EQ(tJewel().Kind, Blue_50);
    EXPECT_EQ(tExit().Kind, ExitDoor);
    const std::pair<const TTypeInfo*, std::vector<std::string>> enums[] = {
        {&TypeInfo_tWaterEdgeStyle, {"weTypeA", "weTypeB", "weTypeC", "weSquare"}},
        {&TypeInfo_tJewelkinds, {"Blue_50", "Magenta_100", "Yellow_250", "Green_1000"}},
        {&TypeInfo_tExitKind, {"ExitDoor", "ExitUpDoor", "ExitLeft", "ExitRight", "ExitHatch"}},
        {&TypeInfo_tDirection, {"Up", "Right", "Down", "Left"}},
    };
    for (const auto& [type, names] : enums)
        for (size_t i = 0; i < names.size(); ++i) {
            EXPECT_EQ(GetEnumName(type, static_cast<int64_t>(i)), names[i]);
            EXPECT_EQ(GetEnumValue(type, names[i]), static_cast<int64_t>(i));
        }
    EXPECT_EQ(TypeInfo_tDirectionSet.CompType, &TypeInfo_tDirection);
}

TEST_F(UnitDataTest, ALevelOfEveryKindWritesReadsAndWritesTheSameText)
{
    // As the editor loads a level: in edit mode (so Tint applies), then its restart puts
    // the level's tint in force.
    EditMode(true);
    Level().ReadLevelText(EveryKind());
    Level().Restart();
    const std::vector<std::string> once = Lines();
    const std::string text = Joined(once);
    for (const char* line : {"WaterTint=A0B0C0", "   Kind = Green_1000", "   Kind = ExitHatch", "   Edge = 5",
                             "   EdgeStyle = weTypeB", "   AutoEdge = False", "   Boulder = True", "   Tint = A0B0C0",
                             "   WallFollowing = RightWall", "   Trigger = KeysLeft=0", "Begin FakePlayer"})
        EXPECT_NE(text.find(std::string(line) + "\r\n"), std::string::npos) << line;
    EXPECT_EQ(Level().WaterTint, 0xA0B0C0);
    Level().FreeAllUnits();
    Level().ReadLevelText(text);
    Level().Restart();
    EXPECT_EQ(Lines(), once);

    // Enumerations and flags read back to their values.
    const tWater* pool = First<tWater>();
    ASSERT_NE(pool, nullptr);
    EXPECT_FALSE(pool->AutoEdge);
    EXPECT_TRUE(pool->Boulder);
    EXPECT_EQ(pool->Edge, 5);
    EXPECT_EQ(pool->EdgeStyle, weTypeB);
    EXPECT_EQ(First<tJewel>()->Kind, Green_1000);
    EXPECT_EQ(First<tExit>()->Kind, ExitHatch);
    EXPECT_EQ(First<tExit>()->Sprite, &UnitSprites.Exit[ExitHatch][0]);

    // The same level read and restarted for play (each hero's arrival warp on the unit
    // list) writes the same text: run-time units have no kind name and no block.
    Level().FreeAllUnits();
    EditMode(false);
    Level().ReadLevelText(text);
    Level().Restart();
    EXPECT_EQ(CountOf(tWarp::StaticClass()), 2);
    EXPECT_EQ(Lines(), once);
}

TEST_F(UnitDataTest, BadPropertyValuesKeepAValueOfTheirType)
{
    struct Case {
        const char* Kind;
        const char* Line;
        int64_t Want;  // the property's value afterwards
    };
    const Case cases[] = {
        {"Jewel", "Kind = Red_5", Blue_50},         {"Jewel", "Kind = 2", Blue_50},
        {"Jewel", "Kind =", Blue_50},               {"Jewel", "Kind = green_1000", Green_1000},
        {"Exit", "Kind = Red_5", ExitDoor},         {"Exit", "Kind = 2", ExitDoor},
        {"Exit", "Kind =", ExitDoor},               {"Exit", "Kind = EXITLEFT", ExitLeft},
        {"Water", "EdgeStyle = weRound", weSquare}, {"Water", "EdgeStyle = 1", weSquare},
        {"Water", "Edge = 255", 0},                 {"Water", "Edge = -1", 0},
        {"Water", "Edge = 1099511627776", 0},       {"Water", "Edge = Up", 0},
        {"Water", "Edge = 15", 15},                 {"Water", "AutoEdge = 1", 1},
        {"Water", "AutoEdge = yes", 1},             {"Water", "AutoEdge = false", 0},
        {"Water", "Boulder = 1", 0},                {"Water", "Boulder = yes", 0},
        {"Water", "Boulder = true", 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.Kind) + ": " + c.Line);
        Level().FreeAllUnits();
        Level().ReadLevelText("[Units]\r\n" + Block(c.Kind, {c.Line, "InitialX = 3", "InitialY = 3"}));
        ASSERT_EQ(Level().UnitList.Count(), 1);
        tUnit* u = Level().UnitList[0];
        const std::string prop = std::string(c.Line).substr(0, std::string(c.Line).find(' '));
        const TPropInfo* info = FindPropInfo(u->ClassType(), prop);
        ASSERT_NE(info, nullptr);
        EXPECT_EQ(GetOrdProp(*u, *info), c.Want);
        // Every picture index stays in range: reset, spin, open and draw.
        u->Reset();
        for (int i = 0; i < 200; ++i)
            u->Move();
        if (auto* exit = dynamic_cast<tExit*>(u)) {
            exit->Opening = true;
            TurnFraction = 0.99f;
            exit->OpenTurns = 1;
            exit->Move();
            EXPECT_EQ(exit->Sprite, &UnitSprites.Exit[exit->Kind][6]);
        }
        ++Eng->FrameCount;
        u->Draw();
    }
}

TEST_F(UnitDataTest, TintTextsSetTheLevelsTintInEditModeOnly)
{
    struct Case {
        const char* Text;
        int32_t Tint;
    };
    const Case cases[] = {{"A0B0C0", 0xA0B0C0}, {"ZZZ", 0}, {"FFFFFFFFFF", static_cast<int32_t>(0xFFFFFFFF)}, {"", 0}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Text);
        Level().FreeAllUnits();
        Level().WaterTint = DefaultWaterTint;
        SetWaterTint(DefaultWaterTint);
        tWater* water = Put<tWater>(4, 4);
        EXPECT_EQ(water->GetTint(), "806040");
        EditMode(false);
        water->SetTint(c.Text);
        EXPECT_EQ(Level().WaterTint, DefaultWaterTint);
        EditMode(true);
        water->SetTint(c.Text);
        EXPECT_EQ(Level().WaterTint, c.Tint);
        // The restart builds the ramp from it; the water draws with that ramp.
        Level().Restart();
        EXPECT_EQ(water->GetTint(), IntToHexStr(c.Tint));
        Eng->FrameCount = 0;
        water->Draw();
        EditMode(false);
    }
    // The same values in [Misc].
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string("[Misc] ") + c.Text);
        Level().ReadLevelText(std::string("[Misc]\r\nWaterTint=") + c.Text + "\r\n[Units]\r\n" +
                              Block("Water", {"InitialX = 2", "InitialY = 2"}));
        Level().Restart();
        EXPECT_EQ(GetWaterTint(), c.Tint);
        Eng->FrameCount = 0;
        First<tWater>()->Draw();
    }
}

// Every kind of the hero and unit modules but the hero, on a level without one.
std::string NoHeroLevel()
{
    return "[Units]\r\n"
           "Begin Boulder\r\n   InitialX = 3\r\n   InitialY = 3\r\nEnd Boulder\r\n"
           "Begin Water\r\n   InitialX = 4\r\n   InitialY = 3\r\nEnd Water\r\n"
           "Begin Water\r\n   Boulder = True\r\n   InitialX = 5\r\n   InitialY = 3\r\nEnd Water\r\n"
           "Begin Dirt\r\n   InitialX = 6\r\n   InitialY = 3\r\nEnd Dirt\r\n"
           "Begin Key\r\n   InitialX = 7\r\n   InitialY = 3\r\nEnd Key\r\n"
           "Begin Jewel\r\n   Kind = Yellow_250\r\n   InitialX = 8\r\n   InitialY = 3\r\nEnd Jewel\r\n"
           "Begin Exit\r\n   Kind = ExitHatch\r\n   InitialX = 9\r\n   InitialY = 3\r\nEnd Exit\r\n";
}

TEST_F(UnitDataTest, WithoutAHeroTheKindsLookForNobody)
{
    Level().ReadLevelText(NoHeroLevel());
    Restart();
    ASSERT_EQ(Level().Player, nullptr);
    for (int i = 0; i < 200; ++i) {
        Tick();
        Draw();
    }
    EXPECT_EQ(Eng->GameMode, gmPlaying);
    EXPECT_EQ(LevelKeys, 1);
    EXPECT_EQ(CollectedKeys, 0);
    // Each operation called directly, with units of every kind as pushers.
    tWarp warp;
    tResetWarp reset;  // no hero: it stays where it is
    EXPECT_EQ(reset.X, 0.0f);
    EXPECT_EQ(reset.Y, 0.0f);
    std::vector<tUnit*> units = {&warp, &reset};
    for (int32_t i = 0; i < Level().UnitList.Count(); ++i)
        units.push_back(Level().UnitList[i]);
    for (tUnit* u : units) {
        SCOPED_TRACE(u->ClassType()->ClassName);
        u->TakeTurn();
        u->Move();
        u->DeathAnimMove();
        u->Draw();
        (void)u->WillInteractWithThePlayerNextTurn();
        for (tUnit* pusher : units) {
            (void)u->QueryPush(pusher, Right);
            (void)u->TryPush(pusher, Left);
        }
        (void)u->QueryPush(nullptr, Up);
        u->Reset();
    }
    EXPECT_FALSE(Level().UnitList[0]->WillInteractWithThePlayerNextTurn());  // the boulder
    Level().FreeTemporaryUnits();
}

TEST_F(UnitDataTest, EveryKindOnOneCellLoadsRestartsAndPlays)
{
    std::string blocks = "[Units]\r\n";
    for (const char* kind : {"Player", "FakePlayer", "Boulder", "Key", "Jewel", "Exit", "Dirt", "Water"})
        blocks += std::string("Begin ") + kind + "\r\n   InitialX = 6\r\n   InitialY = 6\r\nEnd " + kind + "\r\n";
    Level().ReadLevelText(blocks);
    for (int round = 0; round < 2; ++round) {
        Restart();
        for (int i = 0; i < 300; ++i) {
            Tick();
            Draw();
            if (i % 40 == 0)
                Press(2 + i / 40 % 4);
            if (i % 40 == 20)
                ReleaseArrows();
        }
        ReleaseArrows();
        Eng->GameMode = gmPlaying;
    }
    EXPECT_NE(Level().Player, nullptr);
}

// The unit and hero pictures replaced by ones far smaller than their sheets.
class SmallPicturesTest : public UnitDataTest {
public:
    static void SetUpTestSuite()
    {
        UnitSuite::SetUpTestSuite();
        const auto grey = [](int x, int y) { return static_cast<TColor>(((x * 7 + y * 3) & 0xFF) * 0x010101); };
        for (const auto& [name, w, h] : std::vector<std::tuple<std::string, int, int>>{
                 {"BaseGfx.jpg", 10, 10}, {"WaterTemplates.jpg", 100, 100}, {"SpinningThings.jpg", 40, 30},
                 {"Exits.Jpg", 50, 50}, {"ZoraWalking.jpg", 20, 40}, {"Warp.jpg", 30, 30}})
            Program().Write(name, MakeJpegFile(w, h, grey));
        FreeAll();
        LoadAll();
    }
};

TEST_F(SmallPicturesTest, EveryKindDrawsClippedToItsPicture)
{
    ASSERT_NE(WaterTemplates, nullptr);
    EXPECT_EQ(WaterTemplates->Width, 100);
    std::string level = NoHeroLevel() + "Begin Player\r\n   InitialX = 1\r\n   InitialY = 1\r\nEnd Player\r\n";
    for (int x = 0; x < 16; ++x)
        level += "Begin Water\r\n   EdgeStyle = weTypeA\r\n   InitialX = " + std::to_string(x) +
                 "\r\n   InitialY = 10\r\nEnd Water\r\n";
    Level().ReadLevelText(level);
    Restart();
    for (int i = 0; i < 100; ++i) {
        Tick();
        Draw();
    }
    // Cells whose template lies outside the small picture are never composed.
    for (int32_t i = 0; i < Level().UnitList.Count(); ++i) {
        const auto* w = dynamic_cast<const tWater*>(Level().UnitList[i]);
        if (w && w->EdgeStyle == weSquare) {
            EXPECT_EQ(w->SavedPixels, tWaterPixels{});
        }
    }
    EditMode(true);
    Level().DrawUnitsAtInitialCells();
    EditMode(false);
}

TEST_F(SmallPicturesTest, OnlyWhatLiesInsideASmallPictureIsDrawn)
{
    // A pool whose template is the 100 x 100 picture's top-left corner is composed from
    // it; a pool whose template lies past its edge, an exit and a boulder whose frames
    // lie past the edges of their small pictures, and a key's first picture leave the
    // frame as it was.
    Level().ReadLevelText("[Units]\r\n"
                          "Begin Water\r\n   AutoEdge = False\r\n   Edge = 15\r\n   EdgeStyle = weTypeA\r\n"
                          "   InitialX = 2\r\n   InitialY = 2\r\nEnd Water\r\n"
                          "Begin Water\r\n   AutoEdge = False\r\n   Edge = 0\r\n   EdgeStyle = weTypeA\r\n"
                          "   InitialX = 4\r\n   InitialY = 2\r\nEnd Water\r\n"
                          "Begin Exit\r\n   Kind = ExitHatch\r\n   InitialX = 6\r\n   InitialY = 6\r\nEnd Exit\r\n"
                          "Begin Boulder\r\n   InitialX = 8\r\n   InitialY = 8\r\nEnd Boulder\r\n"
                          "Begin Key\r\n   InitialX = 10\r\n   InitialY = 8\r\nEnd Key\r\n");
    Restart();
    ASSERT_EQ(Level().UnitList.Count(), 5);
    const auto* composed = dynamic_cast<const tWater*>(Level().UnitList[0]);
    const auto* outside = dynamic_cast<const tWater*>(Level().UnitList[1]);
    ASSERT_TRUE(composed && outside);
    constexpr uint16_t Fill = 0x1234;
    FillFrame(Fill);
    Draw();
    const int32_t cellLeft = PlayfieldX + 2 * 32, cellTop = 2 * 32;
    for (int y = 0; y < Frame->Height; ++y)
        for (int x = 0; x < Frame->Width; ++x) {
            const bool inCell = x >= cellLeft && x < cellLeft + 32 && y >= cellTop && y < cellTop + 32;
            const uint16_t got = Frame->ScanLine(y)[x];
            if (!inCell) {
                ASSERT_EQ(got, Fill) << x << "," << y;
                continue;
            }
            const int c = x - cellLeft, r = y - cellTop;
            ASSERT_EQ(got, WaterTemplates->ScanLine(r)[c]) << c << "," << r;
            ASSERT_EQ(composed->SavedPixels[static_cast<size_t>(r * 32 + c)], got) << c << "," << r;
        }
    EXPECT_EQ(outside->SavedPixels, tWaterPixels{});
}

}  // namespace
