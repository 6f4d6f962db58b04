// Cherry bombs and explosions: picking up and the pick-up sound's cooldown, dropping and
// the looping fuse, the twenty-turn fuse, the blast on the hero and on the neighbours,
// chains, the fuse under the menu and across a sound restart, the blast pictures over the
// cover mask, and the explosions that follow their targets.
#include "tests/tesk/game/KindsFixture.h"

#include "tesk/game/Levels.h"

namespace {

constexpr int aDrop = 6;

class BombTest : public KindsSuite {
protected:
    void Clear()
    {
        Level().FreeAllUnits();
        Level().Cells.fill(tCell{});
        Level().ClaimMap.fill(0);
        ClearCarriedUnits();
        Eng->GameMode = gmPlaying;
        StopAllSounds();
    }
    // The hero drops what he carries in the next turn.
    void DropTurn()
    {
        Press(aDrop);
        Release(aDrop);
        Turn();
    }
    // A bomb at (x, y) lit with `fuse` turns to go.
    tCherryBomb* LitBomb(int32_t x, int32_t y, int32_t fuse)
    {
        tCherryBomb* b = Put<tCherryBomb>(x, y);
        b->Drop();
        b->Fuse = fuse;
        return b;
    }
    static FmodChannelState ChannelOf(int channel)
    {
        FmodChannelState st;
        if (!FmodTest::Channel(channel, st))
            st.playing = false;
        return st;
    }
    int32_t Explosions() const { return CountOf(tExplosion1::StaticClass()); }
    bool Exploded(const tUnit* u) const
    {
        for (int32_t i = 0; i < Eng->Level.UnitList.Count(); ++i)
            if (auto* e = dynamic_cast<tExplosion1*>(Eng->Level.UnitList[i]); e && e->Target == u)
                return true;
        return false;
    }
};

TEST_F(BombTest, ThreeArePickedUpAndAFourthStaysOnTheFloorSilently)
{
    tActualPlayer* hero = ActiveHero(2, 5);
    std::vector<tCherryBomb*> bombs;
    for (int32_t x = 3; x <= 6; ++x)
        bombs.push_back(Put<tCherryBomb>(x, 5));
    for (size_t i = 0; i < bombs.size(); ++i) {
        hero->X = static_cast<float>(3 + i);
        Eng->TurnCount = 20 * static_cast<int32_t>(i + 1);  // no cooldown in the way
        Boundary();
        const int sounds = PlaysDuring(usCherryBombPickup, [&] { Level().TakeTurns(); });
        EXPECT_EQ(sounds, i < 3 ? 1 : 0) << i;
        EXPECT_EQ(bombs[i]->Held, i < 3) << i;
    }
    EXPECT_EQ(CarriedCount, 3);
    EXPECT_EQ(CarriedUnits[0], bombs[0]);
    // Carried bombs are not drawn and not live.
    FillFrame(0);
    hero->Sprite = nullptr;
    Draw();
    for (int32_t y = 5 * 32; y < 6 * 32; ++y)
        for (int32_t x = 128 + 3 * 32; x < 128 + 6 * 32; ++x)
            ASSERT_EQ(Frame->ScanLine(y)[x], 0) << x;
    Boundary();
    EXPECT_EQ(Level().UnitAt(3, 5), nullptr);
}

TEST_F(BombTest, ThePickupSoundWaitsTenTurnsFromTheRestart)
{
    tActualPlayer* hero = ActiveHero(2, 5);
    tCherryBomb* a = Put<tCherryBomb>(3, 5);
    tCherryBomb* b = Put<tCherryBomb>(4, 5);
    tCherryBomb* c = Put<tCherryBomb>(5, 5);
    EXPECT_EQ(LastPickupSoundTurn, -9);
    const struct {
        tCherryBomb* Bomb;
        int32_t Turn;
        int Sounds;
    } steps[] = {{a, 3, 1}, {b, 8, 0}, {c, 14, 1}};
    for (const auto& s : steps) {
        hero->X = static_cast<float>(s.Bomb->InitialX);
        Eng->TurnCount = s.Turn;
        Boundary();
        EXPECT_EQ(PlaysDuring(usCherryBombPickup, [&] { Level().TakeTurns(); }), s.Sounds) << s.Turn;
        EXPECT_TRUE(s.Bomb->Held);
    }
    EXPECT_EQ(LastPickupSoundTurn, 14);
    // Before turn 2 after a restart nothing plays.
    Restart();
    EXPECT_EQ(LastPickupSoundTurn, -9);
    Eng->TurnCount = 1;
    hero = dynamic_cast<tActualPlayer*>(Level().Player);
    ASSERT_NE(hero, nullptr);
    hero->PlayerState = psActive;
    hero->X = 3;
    Boundary();
    EXPECT_EQ(PlaysDuring(usCherryBombPickup, [&] { Level().TakeTurns(); }), 0);
    EXPECT_TRUE(a->Held);
}

TEST_F(BombTest, SpaceDropsTheFirstPickedUpWithALoopingFuse)
{
    tActualPlayer* hero = ActiveHero(5, 5);
    tCherryBomb* first = Put<tCherryBomb>(5, 5);
    tCherryBomb* second = Put<tCherryBomb>(5, 5);
    Turn();
    ASSERT_EQ(CarriedCount, 2);
    hero->X = 7;
    Turn();
    ASSERT_EQ(hero->CellX, 7);
    std::set<int> before = PlayingHandles();
    DropTurn();
    EXPECT_FALSE(first->Held);
    EXPECT_TRUE(second->Held);
    EXPECT_EQ(first->CellX, 7);
    EXPECT_EQ(first->BombState, bsLit);
    EXPECT_EQ(NewlyPlaying(before, usDropBomb), 1);
    EXPECT_EQ(NewlyPlaying(before, usCherryBombFuse), 1);
    const FmodChannelState fuse = ChannelOf(first->FuseChannel);
    EXPECT_TRUE(fuse.playing);
    EXPECT_EQ(fuse.loopMode, FSOUND_LOOP_NORMAL);
    EXPECT_EQ(fuse.sample, UnitSample(usCherryBombFuse)->Sample());
    DropTurn();
    EXPECT_FALSE(second->Held);
    EXPECT_EQ(CarriedCount, 0);
    before = PlayingHandles();
    DropTurn();
    EXPECT_EQ(NewlyPlaying(before, usDropBomb), 0);
}

TEST_F(BombTest, TheFuseBurnsTwentyTurnsAndFlashesItsSoundAtTheEnd)
{
    tActualPlayer* hero = ActiveHero(5, 5);
    tCherryBomb* bomb = Put<tCherryBomb>(5, 5);
    Turn();
    ASSERT_TRUE(bomb->Held);
    hero->X = 1;  // out of the blast's reach
    Turn();
    hero->X = 3;
    hero->Y = 3;
    Turn();
    std::set<int> before;
    int channel = -1;
    for (int turn = 1; turn <= 20; ++turn) {
        before = PlayingHandles();
        if (turn == 1)
            DropTurn();
        else
            Turn();
        if (turn == 1)
            channel = bomb->FuseChannel;
        SCOPED_TRACE(turn);
        EXPECT_EQ(bomb->Fuse, 20 - turn);
        if (turn < 20) {
            EXPECT_EQ(bomb->BombState, bomb->Fuse < 5 ? bsFlashing : bsLit);
            const FmodChannelState st = ChannelOf(channel);
            EXPECT_TRUE(st.playing);
            if (bomb->Fuse < 5) {
                EXPECT_EQ(st.volume, bomb->Fuse % 2 ? 64 : 0);
            }
            EXPECT_EQ(NewlyPlaying(before, usCherryBombExplosion), 0);
        }
    }
    EXPECT_EQ(bomb->BombState, bsDetonated);
    EXPECT_EQ(NewlyPlaying(before, usCherryBombExplosion), 1);
    EXPECT_EQ(bomb->FuseChannel, -1);
    EXPECT_FALSE(ChannelOf(channel).playing);
    EXPECT_EQ(bomb->DrawLayer, 3);
    EXPECT_EQ(bomb->BlastTurns, 2);
}

TEST_F(BombTest, AHeroNextToTheBlastDiesTwoTurnsLaterAndNoAreaBlastFollows)
{
    tActualPlayer* hero = ActiveHero(6, 6);  // diagonal
    tCherryBomb* bomb = LitBomb(5, 5, 1);
    tBoulder* boulder = Put<tBoulder>(4, 5);
    Turn();
    ASSERT_EQ(bomb->BombState, bsDetonated);
    Turn();
    EXPECT_EQ(bomb->BombState, bsExploding);
    EXPECT_EQ(hero->PlayerState, psActive);
    Turn();
    EXPECT_EQ(hero->PlayerState, psDying);
    EXPECT_EQ(hero->Killer, tCherryBomb::StaticClass());
    EXPECT_EQ(Eng->GameMode, gmDying);
    const int32_t ticks = bomb->BlastTicks;
    Turns(2);
    EXPECT_GT(bomb->BlastTicks, ticks);  // the blast keeps playing
    EXPECT_EQ(Explosions(), 0);
    EXPECT_FALSE(boulder->Dead);
}

TEST_F(BombTest, TheAreaBlastTakesBouldersSpidersDirtAndSnakesButNotKeysOrWater)
{
    tActualPlayer* hero = ActiveHero(7, 9);
    tSpider* spider = Put<tSpider>(7, 6);
    spider->Patience = 1000;
    Solid(7, 5);
    tBoulder* boulder = Put<tBoulder>(6, 6);
    tDirt* dirt = Put<tDirt>(8, 6);
    tSnake* snake = Put<tSnake>(6, 7);
    tKey* key = Put<tKey>(8, 7);
    tWater* water = Put<tWater>(6, 8);
    tBoulder* boulder2 = Put<tBoulder>(7, 8);
    tBoulder* far = Put<tBoulder>(9, 7);
    tCherryBomb* bomb = LitBomb(7, 7, 1);
    Turn();
    ASSERT_EQ(bomb->BombState, bsDetonated);
    Turns(2);
    EXPECT_EQ(Explosions(), 0);
    Turn();
    for (const tUnit* u : std::initializer_list<const tUnit*>{boulder, spider, dirt, snake, boulder2}) {
        EXPECT_TRUE(Exploded(u)) << u->ClassType()->ClassName;
        EXPECT_FALSE(u->Dead);
    }
    EXPECT_FALSE(Exploded(key));
    EXPECT_FALSE(Exploded(water));
    EXPECT_FALSE(Exploded(far));
    EXPECT_FALSE(Exploded(hero));
    Turn();
    for (const tUnit* u : std::initializer_list<const tUnit*>{boulder, spider, dirt, snake, boulder2})
        EXPECT_TRUE(u->Dead) << u->ClassType()->ClassName;
    EXPECT_FALSE(key->Dead);
    EXPECT_FALSE(water->Dead);
    EXPECT_FALSE(far->Dead);
    EXPECT_EQ(hero->PlayerState, psActive);
    EXPECT_EQ(Eng->GameMode, gmPlaying);
}

TEST_F(BombTest, ABlastSetsOffALyingNeighbourWhoseBlastFollowsThreeTurnsLater)
{
    ActiveHero(0, 0);
    tCherryBomb* lying = Put<tCherryBomb>(6, 5);
    tBoulder* beyond = Put<tBoulder>(7, 5);  // next to the second bomb only
    tCherryBomb* bomb = LitBomb(5, 5, 1);
    Turns(3);
    EXPECT_EQ(lying->BombState, bsLying);
    const std::set<int> before = PlayingHandles();
    Turn();  // the first area blast
    EXPECT_EQ(NewlyPlaying(before, usCherryBombExplosion), 1);
    EXPECT_EQ(lying->BombState, bsDetonated);
    EXPECT_FALSE(Exploded(beyond));
    Turns(2);
    EXPECT_FALSE(Exploded(beyond));
    Turn();
    EXPECT_TRUE(Exploded(beyond));
    EXPECT_EQ(bomb->BombState, bsExploding);
}

TEST_F(BombTest, AHundredBombsInAChainEachGoOffOnce)
{
    ActiveHero(0, 0);
    std::vector<tCherryBomb*> bombs;
    for (int32_t y = 2; y < 12; ++y)
        for (int32_t x = 3; x < 13; ++x)
            bombs.push_back(Put<tCherryBomb>(x, y));
    bombs.back()->Drop();
    bombs.back()->Fuse = 1;
    int detonations = 0;
    for (int turn = 0; turn < 80; ++turn) {
        const std::set<int> before = PlayingHandles();
        Turn();
        detonations += NewlyPlaying(before, usCherryBombExplosion);
        StopAllSounds();
    }
    EXPECT_EQ(detonations, 100);
    for (const tCherryBomb* b : bombs)
        EXPECT_EQ(b->BombState, bsExploding);
    Ticks(200);
    EXPECT_TRUE(std::all_of(bombs.begin(), bombs.end(), [](const tCherryBomb* b) { return b->Dead; }));
}

TEST_F(BombTest, TheMenuSilencesTheFuseAndClosingItRestoresFullVolume)
{
    ActiveHero(0, 0);
    tCherryBomb* bomb = LitBomb(5, 5, 20);
    const int channel = bomb->FuseChannel;
    ASSERT_TRUE(ChannelOf(channel).playing);
    for (int phase = 0; phase < 2; ++phase) {
        if (phase == 1)
            bomb->Fuse = 4;
        Turn();
        Level().PauseUnitSounds();
        EXPECT_EQ(ChannelOf(channel).volume, 0) << phase;
        Level().ResumeUnitSounds();
        EXPECT_EQ(ChannelOf(channel).volume, 255) << phase;
        EXPECT_TRUE(ChannelOf(channel).playing);
    }
    EXPECT_EQ(bomb->BombState, bsFlashing);
    Turn();  // the next turn flashes again
    EXPECT_EQ(ChannelOf(channel).volume, bomb->Fuse % 2 ? 64 : 0);
}

TEST_F(BombTest, TheBlastIsDrawnOverTheCoverMaskAndLaterUnitsAreCoveredAgain)
{
    const tUnitSprites& s = UnitSprites;
    EXPECT_EQ(s.BombBlast[0].Source, FindDib("BaseGfx.jpg"));
    EXPECT_EQ(s.BombBlast[1].Source, FindDib("BaseGfx.jpg"));
    for (size_t i = 2; i < 28; ++i) {
        EXPECT_EQ(s.BombBlast[i].Source, FindDib("FireBall.jpg"));
        EXPECT_EQ(s.BombBlast[i].SrcY, static_cast<int32_t>(132 * i));
    }
    tCherryBomb* bomb = LitBomb(5, 5, 1);
    bomb->Detonate();
    bomb->BombState = bsExploding;
    tBoulder* boulder = Put<tBoulder>(5, 5);
    Frame->UseCoverMask = true;
    Frame->CoverMask.assign(static_cast<size_t>(Frame->Width * Frame->Height), 1);
    Frame->CoverMaskActive = true;
    FillFrame(0);
    bomb->Draw();
    EXPECT_TRUE(Frame->CoverMaskActive);
    int changed = 0;
    for (int32_t y = 5 * 32; y < 6 * 32; ++y)
        for (int32_t x = 128 + 5 * 32; x < 128 + 6 * 32; ++x)
            changed += Frame->ScanLine(y)[x] != 0 ? 1 : 0;
    EXPECT_GT(changed, 20);
    FillFrame(0);
    boulder->Draw();
    for (int32_t y = 5 * 32; y < 6 * 32; ++y)
        for (int32_t x = 128 + 5 * 32; x < 128 + 6 * 32; ++x)
            ASSERT_EQ(Frame->ScanLine(y)[x], 0);
    Frame->CoverMaskActive = false;
    Frame->UseCoverMask = false;

    // Blast[BlastTicks div 4]; dead after 112 ticks of blast.
    for (int tick = 1; tick <= 112; ++tick) {
        bomb->Move();
        if (tick < 112) {
            ASSERT_FALSE(bomb->Dead) << tick;
            bomb->Draw();
            ASSERT_EQ(bomb->Sprite, &s.BombBlast[static_cast<size_t>(tick / 4)]);
        }
    }
    EXPECT_TRUE(bomb->Dead);
}

TEST_F(BombTest, WillInteractWhenLitOrExplodingWithinOneCell)
{
    ActiveHero(5, 5);
    tCherryBomb* bomb = Put<tCherryBomb>(6, 6);
    EXPECT_FALSE(bomb->WillInteractWithThePlayerNextTurn());  // lying
    for (uint8_t state : {bsLit, bsFlashing, bsExploding}) {
        bomb->BombState = state;
        EXPECT_TRUE(bomb->WillInteractWithThePlayerNextTurn()) << int(state);
    }
    bomb->BombState = bsDetonated;
    EXPECT_FALSE(bomb->WillInteractWithThePlayerNextTurn());
    bomb->BombState = bsLit;
    bomb->CellX = 7;
    EXPECT_FALSE(bomb->WillInteractWithThePlayerNextTurn());
}

TEST_F(BombTest, ARestartPutsOutTheFuse)
{
    ActiveHero(0, 0);
    tCherryBomb* bomb = LitBomb(5, 5, 3);
    const int channel = bomb->FuseChannel;
    LastPickupSoundTurn = 40;
    Turn();
    ASSERT_EQ(bomb->BombState, bsFlashing);
    Restart();
    EXPECT_EQ(bomb->BombState, bsLying);
    EXPECT_EQ(bomb->Fuse, 20);
    EXPECT_EQ(bomb->FuseChannel, -1);
    EXPECT_EQ(bomb->Sprite, &UnitSprites.BombPalette);
    EXPECT_EQ(bomb->DrawLayer, 1);
    EXPECT_EQ(LastPickupSoundTurn, -9);
    EXPECT_FALSE(ChannelOf(channel).playing);
}

TEST_F(BombTest, AnExplosionFollowsItsTargetAndKillsItAtTheNextTurn)
{
    ActiveHero(0, 0);
    tBoulder* boulder = Put<tBoulder>(5, 5);
    EXPECT_EQ(PlaysDuring(usSpiderExplosion, [&] { ExplodeOver(boulder); }), 1);
    tExplosion1* blast = nullptr;
    for (int32_t i = 0; i < Level().UnitList.Count(); ++i)
        if (auto* e = dynamic_cast<tExplosion1*>(Level().UnitList[i]))
            blast = e;
    ASSERT_NE(blast, nullptr);
    EXPECT_TRUE(blast->Temporary);
    EXPECT_EQ(blast->DrawLayer, 3);
    EXPECT_EQ(blast->Target, boulder);
    boulder->X = 5.5f;
    for (int tick = 1; tick < 27; ++tick) {
        blast->Move();
        ASSERT_EQ(blast->Sprite, &UnitSprites.Explosion[static_cast<size_t>(tick)]);
        EXPECT_EQ(blast->X, 5.5f);
    }
    blast->TakeTurn();
    EXPECT_TRUE(boulder->Dead);
    EXPECT_EQ(blast->Target, nullptr);
    blast->Move();
    EXPECT_TRUE(blast->Dead);
    Level().FreeDeadTemporaryUnits();
    EXPECT_EQ(Explosions(), 0);

    // Through the turn loop: the kill comes at the turn after the explosion was added.
    tBoulder* other = Put<tBoulder>(8, 8);
    ExplodeOver(other);
    Turn();
    EXPECT_TRUE(other->Dead);
    Ticks(30);
    EXPECT_EQ(Explosions(), 0);
}

TEST_F(BombTest, FuseChannelsNeverOutliveTheSoundSession)
{
    ActiveHero(0, 0);
    tCherryBomb* bomb = LitBomb(5, 5, 20);
    Turns(3);
    ASSERT_NE(bomb->FuseChannel, -1);
    StopFuseSounds();
    EXPECT_EQ(bomb->FuseChannel, -1);
    // A new sound session with a long sound playing.
    FreeUnitSoundData();
    FreePlayerSoundData();
    FSOUND_Close();
    ASSERT_TRUE(FSOUND_Init(44100, 64, 0));
    LoadUnitSoundData();
    LoadPlayerSoundData();
    const int channel = PlayUnitSound(usCherryBombFuse);
    ASSERT_TRUE(ChannelOf(channel).playing);
    const int volume = ChannelOf(channel).volume;
    Level().PauseUnitSounds();
    Level().ResumeUnitSounds();
    Turns(2);
    Restart();
    Level().FreeAllUnits();
    EXPECT_TRUE(ChannelOf(channel).playing);
    EXPECT_EQ(ChannelOf(channel).volume, volume);
}

TEST_F(BombTest, WithSoundOffOrNoFreeChannelTheBombStillGoesOffOnTime)
{
    ActiveHero(0, 0);
    // Sound off: channel 0, which is nobody's.
    SoundOn = false;
    tCherryBomb* quiet = LitBomb(5, 5, 2);
    EXPECT_EQ(quiet->FuseChannel, 0);
    SoundOn = true;
    const int other = PlayUnitSound(usCherryBombFuse);
    const int volume = ChannelOf(other).volume;
    quiet->PauseSound();
    EXPECT_EQ(ChannelOf(other).volume, volume);
    quiet->ResumeSound();
    quiet->StopFuseSound();
    EXPECT_TRUE(ChannelOf(other).playing);
    EXPECT_EQ(ChannelOf(other).volume, volume);
    StopAllSounds();

    // Every channel busy with looping sounds: no fuse channel, the same timing.
    for (int i = 0; i < 64; ++i)
        FSOUND_PlaySound(FSOUND_FREE, UnitSample(usCherryBombFuse)->Sample());
    tCherryBomb* busy = LitBomb(8, 8, 6);
    EXPECT_EQ(busy->FuseChannel, -1);
    tBoulder* after = Put<tBoulder>(12, 12);
    ExplodeOver(after);  // a later unit of the pass still takes its turn
    Turns(5);
    EXPECT_EQ(busy->BombState, bsFlashing);
    Turn();
    EXPECT_EQ(busy->BombState, bsDetonated);
    EXPECT_TRUE(after->Dead);
    Turns(3);
    EXPECT_EQ(busy->BombState, bsExploding);
    EXPECT_EQ(busy->BlastTurns, 0);
    StopAllSounds();
    Clear();

    // No samples loaded at all: every play gives no channel, and the fuse, the flashing,
    // the detonation and the area blast keep their turns.
    FreeUnitSoundData();
    ActiveHero(0, 0);
    tCherryBomb* silent = Put<tCherryBomb>(8, 8);
    silent->Drop();
    EXPECT_EQ(silent->FuseChannel, -1);
    tDirt* dirt = Put<tDirt>(9, 8);
    Turns(15);
    EXPECT_EQ(silent->BombState, bsLit);
    Turn();
    EXPECT_EQ(silent->BombState, bsFlashing);
    Turns(3);
    EXPECT_EQ(silent->BombState, bsFlashing);
    Turn();
    EXPECT_EQ(silent->BombState, bsDetonated);
    EXPECT_EQ(silent->FuseChannel, -1);
    Turns(2);
    EXPECT_FALSE(Exploded(dirt));
    Turn();
    EXPECT_TRUE(Exploded(dirt));
    Turn();
    EXPECT_TRUE(dirt->Dead);
    EXPECT_TRUE(FmodTest::PlayingChannels().empty());
    LoadUnitSoundData();
}

}  // namespace
