#pragma once
// The pictures of the hero and the unit kinds.
//
// The sprite objects live as long as the program: units and the unit-kind registry point
// at them and never own them. The graphics loaders only point them into the pictures
// they load (LoadPlayerGraphicsData, LoadUnitGraphicsData), and the Free routines detach
// them before the pictures are freed, so a unit that outlives a display rebuild keeps a
// valid sprite that draws nothing until the pictures are back.
#include <array>
#include <cstdint>
#include <string>

#include "tesk/toolkit/Dib16.h"

// Sprite draw modes.
constexpr uint8_t dmKeyed = 0;
constexpr uint8_t dmAdditive = 2;

// Walk and stand pictures are indexed by tDirection (Up, Right, Down, Left).
constexpr int32_t HeroWalkFrames = 16;
constexpr int32_t HeroStandVariants = 3;
constexpr int32_t HeroDyingFrames = 14;
constexpr int32_t WarpPictures = 71;

struct tHeroSprites {
    std::array<std::array<tSprite, HeroWalkFrames>, 4> Walk;
    std::array<std::array<tSprite, HeroStandVariants>, 4> Stand;
    std::array<tSprite, HeroDyingFrames> Dying;
    std::array<tSprite, WarpPictures> Warp;
    tSprite FakeHero;  // the fake hero's editor picture
};

constexpr int32_t SpinFrames = 32;
constexpr int32_t JewelKinds = 4;
constexpr int32_t ExitKinds = 5;
constexpr int32_t ExitFrames = 7;
constexpr int32_t SnakePhases = 31;
constexpr int32_t FlameFrames = 7;
constexpr int32_t SpiderFrames = 10;
constexpr int32_t LitFrames = 3;
constexpr int32_t BombFlashFrames = 5;
constexpr int32_t BombBlastFrames = 28;
constexpr int32_t ExplosionFrames = 27;

struct tUnitSprites {
    // Boulders, water and dirt.
    tSprite Boulder;
    tSprite FilledWater;
    tSprite Dirt;
    tSprite WaterPalette;
    // Keys, jewels and exits. Jewel pictures by kind (Blue_50, Magenta_100, Yellow_250,
    // Green_1000); a kind uses frames 0..JewelLastFrame[kind]. Exit pictures by kind,
    // frame 0 closed to frame 6 open.
    std::array<tSprite, SpinFrames> Key;
    std::array<std::array<tSprite, SpinFrames>, JewelKinds> Jewel;
    tSprite KeyInitial;
    tSprite JewelInitial;
    std::array<std::array<tSprite, ExitFrames>, ExitKinds> Exit;
    // The editor pictures of the snake, spider, sign and cherry bomb kinds.
    tSprite SnakePalette;
    tSprite SpiderPalette;
    tSprite SignPalette;
    tSprite BombPalette;
    // Snakes and fireballs: the sway pictures 0..30 by facing, the fireball in flight and
    // its flames.
    std::array<tSprite, SnakePhases> SnakeLeft;
    std::array<tSprite, SnakePhases> SnakeRight;
    tSprite FireBallRight;
    tSprite FireBallLeft;
    std::array<tSprite, FlameFrames> Flame;
    // Spiders by tDirection (Up, Right, Down, Left), walk frames 0..9.
    std::array<std::array<tSprite, SpiderFrames>, 4> Spider;
    // Cherry bombs (the lying bomb is BombPalette) and explosions.
    std::array<tSprite, LitFrames> BombLit;
    std::array<tSprite, BombFlashFrames> BombFlash;
    std::array<tSprite, BombBlastFrames> BombBlast;
    std::array<tSprite, ExplosionFrames> Explosion;
};

// The last spin picture of each jewel kind.
constexpr std::array<int32_t, JewelKinds> JewelLastFrame = {31, 15, 12, 15};

extern tHeroSprites HeroSprites;
extern tUnitSprites UnitSprites;
// The water template picture ("WaterTemplates.jpg"); null while the unit pictures are
// not loaded.
extern tDib16* WaterTemplates;

// Points a sprite at a frame of a registered picture, with its hot spot and draw mode.
void CutSprite(tSprite& sprite, const std::string& picture, int32_t x, int32_t y, int32_t width,
               int32_t height, int32_t hotX, int32_t hotY, uint8_t drawMode = dmKeyed);
// The same with the hot spot at the frame's centre.
void CutCentredSprite(tSprite& sprite, const std::string& picture, int32_t x, int32_t y,
                      int32_t width, int32_t height, uint8_t drawMode = dmKeyed);
// Cuts `count` frames stepping by (dx, dy) from (x, y).
template <size_t N>
void CutSpriteRun(std::array<tSprite, N>& sprites, size_t count, const std::string& picture, int32_t x,
                  int32_t y, int32_t dx, int32_t dy, int32_t width, int32_t height, int32_t hotX,
                  int32_t hotY, uint8_t drawMode = dmKeyed)
{
    for (size_t i = 0; i < count && i < N; ++i)
        CutSprite(sprites[i], picture, x + dx * static_cast<int32_t>(i), y + dy * static_cast<int32_t>(i),
                  width, height, hotX, hotY, drawMode);
}

// Detaches sprites from their pictures (they draw nothing until cut again).
void DetachSprite(tSprite& sprite);
template <size_t N>
void DetachSprites(std::array<tSprite, N>& sprites)
{
    for (tSprite& s : sprites)
        DetachSprite(s);
}
template <size_t N, size_t M>
void DetachSprites(std::array<std::array<tSprite, M>, N>& tables)
{
    for (auto& t : tables)
        DetachSprites(t);
}

// The sprites of the snakes, spiders and cherry bombs: cut by LoadUnitGraphicsData and
// detached by FreeUnitGraphicsData.
void CutSnakeSprites();
void DetachSnakeSprites();
void CutSpiderSprites();
void DetachSpiderSprites();
void CutBombSprites();
void DetachBombSprites();

// Registers a picture that loads on first use and skips the brightness pass.
tDib16* RegisterUnbrightenedPicture(const std::string& name);
