// The snakes, spiders, bombs and signs as data: their published properties, a level of
// them written and read back, bad property values and triggers in level files, their
// sprites cut from the real package, and levels that push them: no hero, a show screen,
// every kind on one cell, a thousand spiders boxed in.
#include "tests/tesk/game/KindsFixture.h"

#include <algorithm>

#include "tesk/game/Levels.h"

namespace {

class KindsDataTest : public KindsSuite {
protected:
    std::string Text()
    {
        std::vector<std::string> lines;
        Level().WriteLevelText(lines);
        std::string out;
        for (const std::string& l : lines)
            out += l + "\n";
        return out;
    }
    // Ticks of play with a frame drawn after each.
    void Play(int ticks)
    {
        for (int i = 0; i < ticks; ++i) {
            Tick();
            Draw();
        }
    }
};

std::string Names(TClass cls)
{
    std::string out;
    for (const TPropInfo* p : GetPropList(cls))
        out += (out.empty() ? "" : ", ") + p->Name;
    return out;
}

TEST_F(KindsDataTest, EachKindPublishesItsProperties)
{
    EXPECT_EQ(Names(tSpider::StaticClass()), "InitialDirection, InitialX, InitialY, WallFollowing");
    EXPECT_EQ(Names(tInfo::StaticClass()), "Caption, ImageName, InitialX, InitialY, PopupOnce, Trigger, TriggerDelay");
    EXPECT_EQ(Names(tSnake::StaticClass()), "InitialX, InitialY");
    EXPECT_EQ(Names(tCherryBomb::StaticClass()), "InitialX, InitialY");
    EXPECT_EQ(GetEnumName(&TypeInfo_tWallFollowing, 1), "RightWall");
    EXPECT_TRUE(tInfo().PopupOnce);
    EXPECT_EQ(tCherryBomb().FuseChannel, -1);
    EXPECT_EQ(UnitClassByName("Snake"), tSnake::StaticClass());
    EXPECT_EQ(UnitClassByName("Spider"), tSpider::StaticClass());
    EXPECT_EQ(UnitClassByName("Info"), tInfo::StaticClass());
    EXPECT_EQ(UnitClassByName("CherryBomb"), tCherryBomb::StaticClass());
}

TEST_F(KindsDataTest, ALevelOfTheseKindsWritesAndReadsBackTheSame)
{
    Level().ReadLevelText("[Units]\r\n" + Block("Player", {"InitialX = 1", "InitialY = 1"}) +
                          Block("Snake", {"InitialX = 3", "InitialY = 4"}) +
                          Block("Spider", {"InitialDirection = Left", "WallFollowing = RightWall", "InitialX = 15",
                                           "InitialY = 14"}) +
                          Block("Info", {"Caption = Hello,there!", "ImageName = Pics\\Sign1.jpg", "PopupOnce = False",
                                         "Trigger = KeysLeft=0;At(2,3)", "TriggerDelay = -7", "InitialX = 9"}) +
                          Block("CherryBomb", {"InitialX = 6", "InitialY = 6"}));
    const tSpider* spider = First<tSpider>();
    ASSERT_NE(spider, nullptr);
    EXPECT_EQ(spider->InitialDirection, Left);
    EXPECT_EQ(spider->WallFollowing, RightWall);
    const tInfo* sign = First<tInfo>();
    ASSERT_NE(sign, nullptr);
    EXPECT_EQ(sign->Caption, "HELLO,THERE!");
    EXPECT_EQ(sign->ImageName, "Pics\\Sign1.jpg");
    EXPECT_FALSE(sign->PopupOnce);
    EXPECT_EQ(sign->Terms.size(), 2u);
    EXPECT_EQ(sign->TriggerDelay, -7);
    const std::string once = Text();
    EXPECT_NE(once.find("Trigger = KeysLeft=0;At(2,3)"), std::string::npos);
    EXPECT_NE(once.find("WallFollowing = RightWall"), std::string::npos);
    Level().FreeAllUnits();
    Level().ReadLevelText(once);
    const std::string twice = Text();
    EXPECT_EQ(twice.substr(twice.find("[Units]")), once.substr(once.find("[Units]")));
}

TEST_F(KindsDataTest, BadPropertyValuesKeepAValueOfTheirType)
{
    for (const char* line : {"WallFollowing = Middle", "WallFollowing = 1", "WallFollowing =",
                                    "InitialDirection = North", "InitialDirection = 4", "InitialDirection = -1"}) {
        SCOPED_TRACE(line);
        Level().FreeAllUnits();
        Level().ReadLevelText("[Units]\r\n" + Block("Spider", {std::string(line)}));
        tSpider* spider = First<tSpider>();
        ASSERT_NE(spider, nullptr);
        EXPECT_LE(spider->WallFollowing, RightWall);
        EXPECT_LE(spider->InitialDirection, Left);
        spider->Reset();
        spider->Move();
        EXPECT_NE(spider->Sprite, nullptr);
    }
    const struct {
        std::string Line;
        int32_t Delay;
    } delays[] = {{"TriggerDelay = 99999999999", 0}, {"TriggerDelay = 1e3", 0}, {"TriggerDelay = -5", -5}};
    for (const auto& d : delays) {
        Level().FreeAllUnits();
        Level().ReadLevelText("[Units]\r\n" + Block("Info", {d.Line, "PopupOnce = maybe"}));
        tInfo* sign = First<tInfo>();
        ASSERT_NE(sign, nullptr);
        EXPECT_EQ(sign->TriggerDelay, d.Delay) << d.Line;
        EXPECT_TRUE(sign->PopupOnce);
    }
}

TEST_F(KindsDataTest, ABadTriggerAbortsTheLoadWithItsMessage)
{
    for (const std::string trigger : {"KeysLeft=>1", "At(3,4);Foo", "At 3,4", "KeysLeft=12x", "KeysLeft=0;;"}) {
        SCOPED_TRACE(trigger);
        Level().FreeAllUnits();
        std::string message;
        try {
            Level().ReadLevelText("[Units]\r\n" + Block("Player", {}) + Block("Info", {"Trigger = " + trigger}) +
                                  Block("Snake", {}));
        } catch (const Exception& e) {
            message = e.Message();
        }
        EXPECT_EQ(message.rfind("Couldn't Interpret Trigger String\r", 0), 0u) << message;
        EXPECT_EQ(First<tInfo>(), nullptr);
        EXPECT_EQ(First<tSnake>(), nullptr);
    }
}

TEST_F(KindsDataTest, EverySpriteIsCutFromTheRealSheets)
{
    const tUnitSprites& s = UnitSprites;
    struct Want {
        const tSprite* Sprite;
        const char* Picture;
        int32_t X, Y, W, H, HX, HY;
        uint8_t Mode;
    };
    const Want wants[] = {
        {&s.SnakeLeft[0], "Snake1.Jpg", 0, 0, 32, 48, 16, 32, dmKeyed},
        {&s.SnakeLeft[30], "Snake1.Jpg", 0, 48 * 30, 32, 48, 16, 32, dmKeyed},
        {&s.SnakeRight[7], "Snake1.Jpg", 32, 48 * 7, 32, 48, 16, 32, dmKeyed},
        {&s.FireBallRight, "BaseGfx.jpg", 64, 256, 32, 32, 16, 16, dmAdditive},
        {&s.FireBallLeft, "BaseGfx.jpg", 96, 256, 32, 32, 16, 28, dmAdditive},
        {&s.Flame[0], "BaseGfx.jpg", 0, 160, 32, 32, 16, 16, dmAdditive},
        {&s.Flame[6], "BaseGfx.jpg", 192, 160, 32, 32, 16, 16, dmAdditive},
        {&s.Spider[Up][9], "Spider.jpg", 324, 52, 36, 26, 18, 13, dmKeyed},
        {&s.Spider[Right][0], "Spider.jpg", 0, 26, 36, 26, 18, 13, dmKeyed},
        {&s.Spider[Down][4], "Spider.jpg", 144, 78, 36, 26, 18, 13, dmKeyed},
        {&s.Spider[Left][0], "Spider.jpg", 0, 0, 36, 26, 18, 13, dmKeyed},
        {&s.BombPalette, "BaseGfx.jpg", 0, 320, 32, 32, 16, 16, dmKeyed},
        {&s.BombLit[2], "BaseGfx.jpg", 96, 320, 32, 32, 16, 16, dmKeyed},
        {&s.BombFlash[4], "BaseGfx.jpg", 256, 320, 32, 32, 16, 16, dmKeyed},
        {&s.BombBlast[0], "BaseGfx.jpg", 288, 320, 32, 32, 16, 16, dmKeyed},
        {&s.BombBlast[1], "BaseGfx.jpg", 320, 320, 32, 32, 16, 16, dmKeyed},
        {&s.BombBlast[2], "FireBall.jpg", 0, 264, 160, 132, 78, 85, dmAdditive},
        {&s.BombBlast[27], "FireBall.jpg", 0, 132 * 27, 160, 132, 78, 85, dmAdditive},
        {&s.Explosion[0], "Explosion1.jpg", 0, 0, 52, 54, 26, 27, dmAdditive},
        {&s.Explosion[26], "Explosion1.jpg", 52 * 26, 0, 52, 54, 26, 27, dmAdditive},
        {&s.SignPalette, "BaseGfx.jpg", 64, 224, 32, 32, 16, 16, dmAdditive},
    };
    for (const Want& w : wants) {
        SCOPED_TRACE(std::string(w.Picture) + " " + std::to_string(w.X) + "," + std::to_string(w.Y));
        ASSERT_NE(w.Sprite->Source, nullptr);
        EXPECT_EQ(w.Sprite->Source, FindDib(w.Picture));
        EXPECT_EQ((std::vector<int32_t>{w.Sprite->SrcX, w.Sprite->SrcY, w.Sprite->Width, w.Sprite->Height,
                                        w.Sprite->HotSpotX, w.Sprite->HotSpotY}),
                  (std::vector<int32_t>{w.X, w.Y, w.W, w.H, w.HX, w.HY}));
        EXPECT_EQ(w.Sprite->DrawMode, w.Mode);
    }
    EXPECT_EQ(UnitKinds[9].Sprite, &s.SpiderPalette);
    // A rebuild keeps the sprite objects and cuts them again.
    const tSprite* flame = &s.Flame[3];
    FreeAll();
    EXPECT_EQ(flame->Source, nullptr);
    LoadAll();
    EXPECT_EQ(flame->Source, FindDib("BaseGfx.jpg"));
    Eng->LookAheadPlayer = &LookAhead;
}

TEST_F(KindsDataTest, ARebuildInPlayKeepsEverySpriteObjectAndTheFrameDrawsAlike)
{
    ReadUnits(Block("Player", {"InitialX = 1", "InitialY = 1"}) + Block("Snake", {"InitialX = 3", "InitialY = 5"}) +
              Block("Spider", {"InitialX = 6", "InitialY = 5", "InitialDirection = Down"}) +
              Block("CherryBomb", {"InitialX = 9", "InitialY = 5"}) + Block("CherryBomb", {"InitialX = 11", "InitialY = 5"}) +
              Block("CherryBomb", {"InitialX = 13", "InitialY = 5"}) +
              Block("Info", {"InitialX = 2", "InitialY = 2", "ImageName = BaseGfx.jpg"}) +
              Block("Boulder", {"InitialX = 9", "InitialY = 9"}));
    Level().FreeTemporaryUnits();
    static_cast<tPlayer*>(Level().Player)->PlayerState = psActive;
    Play(7);  // the snake sways, the spider sets off
    // Every picture source of this half in use at once: a flashing bomb, a blast frame
    // from the fire-ball sheet, an explosion frame over the boulder, a fireball in flight.
    std::vector<tCherryBomb*> bombs;
    for (int32_t i = 0; i < Level().UnitList.Count(); ++i)
        if (auto* b = dynamic_cast<tCherryBomb*>(Level().UnitList[i]))
            bombs.push_back(b);
    ASSERT_EQ(bombs.size(), 3u);
    bombs[1]->BombState = bsFlashing;
    bombs[1]->FlashTicks = 6;
    bombs[2]->BombState = bsExploding;
    bombs[2]->BlastTicks = 40;
    ExplodeOver(First<tBoulder>());
    auto shot = std::make_unique<tFireBall>();
    shot->X = 4;
    shot->Y = 5;
    tFireBall* fireball = shot.get();
    Level().AddUnit(std::move(shot));
    fireball->DeathAnimMove();
    tExplosion1* blast = First<tExplosion1>();
    ASSERT_NE(blast, nullptr);
    for (int i = 0; i < 3; ++i)
        blast->Move();
    tInfo* sign = First<tInfo>();

    const auto frame = [&] {
        std::vector<uint16_t> out;
        for (int32_t y = 0; y < Frame->Height; ++y)
            out.insert(out.end(), Frame->ScanLine(y), Frame->ScanLine(y) + Frame->Width);
        return out;
    };
    const auto drawAll = [&] {
        FillFrame(0);
        Level().DrawUnits();
        sign->DrawAtInitialCell();
    };
    drawAll();
    std::vector<tSprite*> sprites;
    for (int32_t i = 0; i < Level().UnitList.Count(); ++i)
        sprites.push_back(Level().UnitList[i]->Sprite);
    ASSERT_TRUE(std::all_of(sprites.begin(), sprites.end(), [](tSprite* s) { return s && s->Source; }));
    EXPECT_EQ(bombs[2]->Sprite->Source, FindDib("FireBall.jpg"));
    EXPECT_EQ(blast->Sprite, &UnitSprites.Explosion[3]);
    const std::vector<uint16_t> before = frame();

    FreeAll();
    for (tSprite* s : sprites)
        EXPECT_EQ(s->Source, nullptr);  // detached, not freed
    drawAll();                          // draws nothing from the freed pictures
    LoadAll();
    Eng->LookAheadPlayer = &LookAhead;
    for (int32_t i = 0; i < Level().UnitList.Count(); ++i)
        EXPECT_EQ(Level().UnitList[i]->Sprite, sprites[static_cast<size_t>(i)]);
    drawAll();
    EXPECT_EQ(frame(), before);
    // And play goes on over the cut-again pictures.
    Play(24);
    EXPECT_EQ(Eng->GameMode, gmPlaying);
}

TEST_F(KindsDataTest, WithoutAHeroNothingLooksForHim)
{
    ReadUnits(Block("Snake", {"InitialX = 2", "InitialY = 5"}) + Block("Spider", {"InitialX = 5", "InitialY = 5"}) +
              Block("CherryBomb", {"InitialX = 8", "InitialY = 5"}) + Block("Info", {"InitialX = 9", "ImageName = BaseGfx.jpg"}) +
              Block("Info", {"Trigger = KeysLeft=0;At(1,1)", "ImageName = BaseGfx.jpg"}) + Block("Boulder", {"InitialX = 7"}));
    ASSERT_EQ(Level().Player, nullptr);
    Play(200);
    EXPECT_EQ(Eng->GameMode, gmPlaying);
    EXPECT_TRUE(PopUps.empty());
    // Each operation called directly.
    tFireBall shot;
    tExplosion1 blast;
    for (tUnit* u : std::initializer_list<tUnit*>{First<tSnake>(), First<tSpider>(), First<tCherryBomb>(),
                                                 First<tInfo>(), &shot, &blast}) {
        ASSERT_NE(u, nullptr);
        u->TakeTurn();
        u->DeathAnimMove();
        u->Move();
        EXPECT_FALSE(u->WillInteractWithThePlayerNextTurn());
    }
    First<tSpider>()->SpiderState = ssAttacking;
    First<tSpider>()->DeathAnimMove();
    tCherryBomb* bomb = First<tCherryBomb>();
    bomb->Drop();
    bomb->Fuse = 1;
    Play(12 * 6);
    EXPECT_EQ(bomb->BombState, bsExploding);
    EXPECT_TRUE(PopUps.empty());
}

TEST_F(KindsDataTest, AShowScreenHeroIsNeitherShotNorEaten)
{
    ReadUnits(Block("FakePlayer", {"InitialX = 5", "InitialY = 5"}) + Block("Snake", {"InitialX = 1", "InitialY = 5"}) +
              Block("Spider", {"InitialX = 6", "InitialY = 5"}));
    Play(300);
    ASSERT_NE(Level().Player, nullptr);
    EXPECT_NE(static_cast<tPlayer*>(Level().Player)->PlayerState, psDying);
}

TEST_F(KindsDataTest, EveryKindOnOneCell)
{
    ReadUnits(Block("Player", {"InitialX = 5", "InitialY = 5"}) + Block("Snake", {"InitialX = 5", "InitialY = 5"}) +
              Block("Spider", {"InitialX = 5", "InitialY = 5"}) + Block("CherryBomb", {"InitialX = 5", "InitialY = 5"}) +
              Block("Info", {"InitialX = 5", "InitialY = 5", "ImageName = BaseGfx.jpg"}) +
              Block("Boulder", {"InitialX = 5", "InitialY = 5"}));
    Play(400);
    // The spider ate the hero; the rest went on animating without harm.
    EXPECT_NE(Eng->GameMode, gmPlaying);
}

TEST_F(KindsDataTest, AThousandSpidersBoxedInBlowUpTogether)
{
    std::string blocks = Block("Player", {"InitialX = 0", "InitialY = 0"});
    for (int i = 0; i < 1000; ++i)
        blocks += Block("Spider", {"InitialX = 8", "InitialY = 8"});
    for (auto [x, y] : {std::pair{7, 8}, {9, 8}, {8, 7}, {8, 9}})
        blocks += Block("Boulder", {"InitialX = " + std::to_string(x), "InitialY = " + std::to_string(y)});
    ReadUnits(blocks);
    Level().FreeTemporaryUnits();
    static_cast<tPlayer*>(Level().Player)->PlayerState = psActive;
    Play(12 * 5);
    int32_t dead = 0;
    for (int32_t i = 0; i < Level().UnitList.Count(); ++i)
        if (auto* s = dynamic_cast<tSpider*>(Level().UnitList[i]))
            dead += s->Dead ? 1 : 0;
    EXPECT_EQ(dead, 1000);
    Play(60);
    EXPECT_EQ(CountOf(tExplosion1::StaticClass()), 0);
}

}  // namespace
