// The unit kinds' shared data: the registry in palette order with the editor pictures,
// the pictures each loader registers or loads, the sprite tables cut from the real data
// package, and a display rebuild that keeps every sprite object.
#include "tests/tesk/game/UnitFixture.h"

#include <algorithm>

#include "tesk/game/Levels.h"

namespace {

class UnitKindsTest : public UnitSuite {};

struct Frame {
    std::string Picture;
    int32_t X, Y, W, H, HotX, HotY;
    uint8_t Mode;
};

void ExpectFrame(const tSprite& s, const Frame& f, const std::string& what)
{
    ASSERT_NE(s.Source, nullptr) << what;
    EXPECT_EQ(s.Source, FindDib(f.Picture)) << what;
    EXPECT_EQ((std::vector<int32_t>{s.SrcX, s.SrcY, s.Width, s.Height, s.HotSpotX, s.HotSpotY}),
              (std::vector<int32_t>{f.X, f.Y, f.W, f.H, f.HotX, f.HotY}))
        << what;
    EXPECT_EQ(s.DrawMode, f.Mode) << what;
}

TEST_F(UnitKindsTest, TheRegistryHoldsTheTwelveKindsInPaletteOrder)
{
    const std::vector<std::pair<std::string, TClass>> kinds = {
        {"Player", tActualPlayer::StaticClass()}, {"FakePlayer", tFakePlayer::StaticClass()},
        {"Boulder", tBoulder::StaticClass()},     {"Snake", tSnake::StaticClass()},
        {"Key", tKey::StaticClass()},             {"Jewel", tJewel::StaticClass()},
        {"Exit", tExit::StaticClass()},           {"Dirt", tDirt::StaticClass()},
        {"Water", tWater::StaticClass()},         {"Spider", tSpider::StaticClass()},
        {"Info", tInfo::StaticClass()},           {"CherryBomb", tCherryBomb::StaticClass()},
    };
    const std::vector<const tSprite*> pictures = {
        &HeroSprites.Walk[Down][1], &HeroSprites.FakeHero,       &UnitSprites.Boulder,
        &UnitSprites.SnakePalette,  &UnitSprites.Key[0],         &UnitSprites.Jewel[Magenta_100][5],
        &UnitSprites.Exit[ExitDoor][0], &UnitSprites.Dirt,       &UnitSprites.WaterPalette,
        &UnitSprites.SpiderPalette, &UnitSprites.SignPalette,    &UnitSprites.BombPalette,
    };
    for (int round = 0; round < 2; ++round) {
        ASSERT_EQ(UnitKinds.size(), kinds.size()) << round;
        for (size_t i = 0; i < kinds.size(); ++i) {
            EXPECT_EQ(UnitKinds[i].Name, kinds[i].first) << round;
            EXPECT_EQ(UnitKinds[i].UnitClass, kinds[i].second) << kinds[i].first;
            EXPECT_EQ(UnitKinds[i].Sprite, pictures[i]) << kinds[i].first;
            EXPECT_NE(UnitKinds[i].Sprite->Source, nullptr) << kinds[i].first;
        }
        // A rebuild: the Free routines and the loaders again.
        FreeAll();
        LoadAll();
    }
    EXPECT_EQ(UnitClassByName("Water"), tWater::StaticClass());
    EXPECT_EQ(UnitKindName(tFakePlayer::StaticClass()), "FakePlayer");
}

TEST_F(UnitKindsTest, EachPictureIsRegisteredAndLoadedAsListed)
{
    const std::vector<std::pair<std::string, bool>> pictures = {
        {"ZoraWalking.jpg", true},  {"ZoraStanding.jpg", true}, {"ZoraDying.jpg", true},
        {"BaseGfx.jpg", false},     {"Warp.jpg", false},        {"Spider.jpg", true},
        {"Explosion1.jpg", true},   {"SpinningThings.jpg", true}, {"Snake1.Jpg", true},
        {"Exits.Jpg", true},        {"WaterTemplates.jpg", true}, {"FireBall.jpg", false},
    };
    // Pictures registered for loading on use have been drawn by no sprite yet.
    FreeAll();
    LoadAll();
    for (const auto& [name, loaded] : pictures) {
        const tDib16* dib = FindDib(name);
        ASSERT_NE(dib, nullptr) << name;
        EXPECT_EQ(dib->Loaded, loaded) << name;
        const bool unbrightened = name == "Warp.jpg" || name == "FireBall.jpg";
        EXPECT_EQ(dib->NoBrightnessChange, unbrightened) << name;
    }
    EXPECT_EQ(WaterTemplates, FindDib("WaterTemplates.jpg"));
    EXPECT_EQ(WaterGreyMap.Width(), 256);
    EXPECT_EQ(WaterGreyMap.FrameHeight(), 256);
}

TEST_F(UnitKindsTest, SpritesAreCutAsTheSheetsAreLaidOut)
{
    const tHeroSprites& h = HeroSprites;
    const int32_t columns[4] = {0, 96, 32, 64};  // Up, Right, Down, Left
    for (int d = 0; d < 4; ++d) {
        ExpectFrame(h.Walk[d][0], {"ZoraWalking.jpg", columns[d], 0, 32, 64, 16, 34, dmKeyed}, "walk");
        ExpectFrame(h.Walk[d][15], {"ZoraWalking.jpg", columns[d], 15 * 64, 32, 64, 16, 34, dmKeyed}, "walk 15");
        ExpectFrame(h.Stand[d][2], {"ZoraStanding.jpg", columns[d], 128, 32, 64, 16, 34, dmKeyed}, "stand");
    }
    ExpectFrame(h.Dying[13], {"ZoraDying.jpg", 0, 13 * 40, 40, 40, 20, 22, dmKeyed}, "dying");
    ExpectFrame(h.Warp[70], {"Warp.jpg", 0, 70 * 30, 66, 30, 33, 15, dmAdditive}, "warp");
    ExpectFrame(h.FakeHero, {"ZoraWalking.jpg", 32, 64, 32, 64, 16, 32, dmAdditive}, "fake hero");

    const tUnitSprites& u = UnitSprites;
    ExpectFrame(u.Boulder, {"BaseGfx.jpg", 0, 224, 32, 32, 16, 16, dmKeyed}, "boulder");
    ExpectFrame(u.FilledWater, {"BaseGfx.jpg", 96, 224, 32, 32, 16, 16, dmKeyed}, "filled water");
    ExpectFrame(u.Dirt, {"BaseGfx.jpg", 96, 288, 32, 32, 16, 16, dmKeyed}, "dirt");
    ExpectFrame(u.WaterPalette, {"BaseGfx.jpg", 128, 288, 32, 32, 16, 16, dmKeyed}, "water palette");
    ExpectFrame(u.KeyInitial, {"BaseGfx.jpg", 0, 288, 32, 32, 16, 16, dmKeyed}, "key initial");
    ExpectFrame(u.JewelInitial, {"BaseGfx.jpg", 32, 288, 32, 32, 16, 16, dmKeyed}, "jewel initial");
    ExpectFrame(u.Key[31], {"SpinningThings.jpg", 0, 31 * 24, 32, 24, 16, 12, dmKeyed}, "key");
    const int32_t jewelColumns[4] = {32, 64, 128, 96};  // Blue, Magenta, Yellow, Green
    for (int k = 0; k < 4; ++k)
        ExpectFrame(u.Jewel[k][JewelLastFrame[k]],
                    {"SpinningThings.jpg", jewelColumns[k], JewelLastFrame[k] * 24, 32, 24, 16, 12, dmKeyed}, "jewel");
    const int32_t exitRows[5][3] = {{64, 64, 16}, {0, 64, 16}, {128, 32, 16}, {160, 32, 16}, {192, 64, 45}};
    for (int k = 0; k < 5; ++k)
        ExpectFrame(u.Exit[k][6], {"Exits.Jpg", 192, exitRows[k][0], 32, exitRows[k][1], 16, exitRows[k][2], dmKeyed},
                    "exit");
    ExpectFrame(u.SnakePalette, {"BaseGfx.jpg", 0, 256, 32, 32, 16, 16, dmKeyed}, "snake palette");
    ExpectFrame(u.SpiderPalette, {"Spider.jpg", 0, 0, 36, 26, 18, 13, dmKeyed}, "spider palette");
    ExpectFrame(u.SignPalette, {"BaseGfx.jpg", 64, 224, 32, 32, 16, 16, dmAdditive}, "sign");
    ExpectFrame(u.BombPalette, {"BaseGfx.jpg", 0, 320, 32, 32, 16, 16, dmKeyed}, "bomb");
}

// Every pixel of the frame.
std::vector<uint16_t> Snapshot(tDib16& dib)
{
    std::vector<uint16_t> out;
    for (int y = 0; y < dib.Height; ++y)
        out.insert(out.end(), dib.ScanLine(y), dib.ScanLine(y) + dib.Width);
    return out;
}

TEST_F(UnitKindsTest, ARebuildKeepsEverySpriteObjectAndTheLevelDrawsAlike)
{
    Eng->SetEditMode(true);
    Eng->GameMode = gmEditing;
    ReadUnits("Begin Player\r\n   InitialX = 3\r\n   InitialY = 4\r\nEnd Player\r\n"
              "Begin Boulder\r\n   InitialX = 5\r\nEnd Boulder\r\n"
              "Begin Water\r\n   InitialX = 6\r\nEnd Water\r\nBegin Water\r\n   InitialX = 7\r\nEnd Water\r\n"
              "Begin Key\r\n   InitialY = 2\r\nEnd Key\r\nBegin Jewel\r\n   Kind = Yellow_250\r\nEnd Jewel\r\n"
              "Begin Exit\r\n   Kind = ExitHatch\r\n   InitialX = 9\r\nEnd Exit\r\nBegin Dirt\r\nEnd Dirt\r\n");
    std::vector<tSprite*> sprites;
    for (int32_t i = 0; i < Level().UnitList.Count(); ++i)
        sprites.push_back(Level().UnitList[i]->Sprite);
    ASSERT_TRUE(std::all_of(sprites.begin(), sprites.end(), [](tSprite* s) { return s && s->Source; }));
    FillFrame(0);
    Level().DrawUnitsAtInitialCells();
    const std::vector<uint16_t> before = Snapshot(*Frame);

    for (int round = 0; round < 2; ++round) {
        FreeAll();
        for (tSprite* s : sprites)
            EXPECT_EQ(s->Source, nullptr);  // detached, not freed
        Level().DrawUnitsAtInitialCells();
        LoadAll();
        ASSERT_NE(Eng->LookAheadPlayer, nullptr);
        EXPECT_NE(Eng->LookAheadPlayer, &LookAhead);
        EXPECT_EQ(Eng->LookAheadPlayer->ClassType(), tOOTPlayer::StaticClass());
        Eng->LookAheadPlayer = &LookAhead;
    }
    for (int32_t i = 0; i < Level().UnitList.Count(); ++i)
        EXPECT_EQ(Level().UnitList[i]->Sprite, sprites[static_cast<size_t>(i)]);
    FillFrame(0);
    Level().DrawUnitsAtInitialCells();
    EXPECT_EQ(Snapshot(*Frame), before);

    // Then a few ticks of play.
    Eng->SetEditMode(false);
    Eng->GameMode = gmPlaying;
    Restart();
    for (int i = 0; i < 40; ++i) {
        Tick();
        Draw();
    }
    EXPECT_EQ(Eng->GameMode, gmPlaying);
}

}  // namespace
