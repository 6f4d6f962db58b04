// The unit kinds' shared data: the kind registry entries in palette order, the pictures
// and sprites, the samples and the water grey map.
#include "tesk/game/Levels.h"
#include "tesk/game/Players.h"
#include "tesk/game/UnitGraphics.h"
#include "tesk/game/UnitSounds.h"
#include "tesk/game/Units.h"
#include "tesk/game/WaterPainter.h"

void InitUnitData()
{
    WaterGreyMap.Load("WaterBW.jpg");
    tUnitSprites& s = UnitSprites;
    RegisterUnitKind("Boulder", tBoulder::StaticClass(), &s.Boulder);
    RegisterUnitKind("Snake", tSnake::StaticClass(), &s.SnakePalette);
    RegisterUnitKind("Key", tKey::StaticClass(), &s.Key[0]);
    RegisterUnitKind("Jewel", tJewel::StaticClass(), &s.Jewel[Magenta_100][5]);
    RegisterUnitKind("Exit", tExit::StaticClass(), &s.Exit[ExitDoor][0]);
    RegisterUnitKind("Dirt", tDirt::StaticClass(), &s.Dirt);
    RegisterUnitKind("Water", tWater::StaticClass(), &s.WaterPalette);
    RegisterUnitKind("Spider", tSpider::StaticClass(), &s.SpiderPalette);
    RegisterUnitKind("Info", tInfo::StaticClass(), &s.SignPalette);
    RegisterUnitKind("CherryBomb", tCherryBomb::StaticClass(), &s.BombPalette);
}

void FreeUnitData()
{
    WaterGreyMap.Clear();
}

namespace {

// Jewel spin columns by kind: Blue_50, Magenta_100, Yellow_250, Green_1000.
constexpr std::array<int32_t, JewelKinds> JewelColumn = {32, 64, 128, 96};
struct ExitRow {
    int32_t Y, Height, HotY;
};
constexpr std::array<ExitRow, ExitKinds> ExitRows = {{{64, 64, 16}, {0, 64, 16}, {128, 32, 16}, {160, 32, 16}, {192, 64, 45}}};

void CutFirstHalfSprites()
{
    tUnitSprites& s = UnitSprites;
    CutCentredSprite(s.Boulder, "BaseGfx.jpg", 0, 224, 32, 32);
    CutCentredSprite(s.FilledWater, "BaseGfx.jpg", 96, 224, 32, 32);
    CutCentredSprite(s.Dirt, "BaseGfx.jpg", 96, 288, 32, 32);
    CutCentredSprite(s.WaterPalette, "BaseGfx.jpg", 128, 288, 32, 32);
    CutSpriteRun(s.Key, SpinFrames, "SpinningThings.jpg", 0, 0, 0, 24, 32, 24, 16, 12);
    for (size_t k = 0; k < JewelKinds; ++k)
        CutSpriteRun(s.Jewel[k], static_cast<size_t>(JewelLastFrame[k] + 1), "SpinningThings.jpg", JewelColumn[k], 0, 0,
                     24, 32, 24, 16, 12);
    CutCentredSprite(s.KeyInitial, "BaseGfx.jpg", 0, 288, 32, 32);
    CutCentredSprite(s.JewelInitial, "BaseGfx.jpg", 32, 288, 32, 32);
    for (size_t k = 0; k < ExitKinds; ++k)
        CutSpriteRun(s.Exit[k], ExitFrames, "Exits.Jpg", 0, ExitRows[k].Y, 32, 0, 32, ExitRows[k].Height, 16,
                     ExitRows[k].HotY);
}

// The editor pictures of the kinds whose behaviour lives with their own sprites.
void CutPaletteSprites()
{
    tUnitSprites& s = UnitSprites;
    CutCentredSprite(s.SnakePalette, "BaseGfx.jpg", 0, 256, 32, 32);
    CutSprite(s.SpiderPalette, "Spider.jpg", 0, 0, 36, 26, 18, 13);
    CutCentredSprite(s.SignPalette, "BaseGfx.jpg", 64, 224, 32, 32, dmAdditive);
    CutCentredSprite(s.BombPalette, "BaseGfx.jpg", 0, 320, 32, 32);
}

void DetachFirstHalfSprites()
{
    tUnitSprites& s = UnitSprites;
    for (tSprite* one : {&s.Boulder, &s.FilledWater, &s.Dirt, &s.WaterPalette, &s.KeyInitial, &s.JewelInitial,
                         &s.SnakePalette, &s.SpiderPalette, &s.SignPalette, &s.BombPalette})
        DetachSprite(*one);
    DetachSprites(s.Key);
    DetachSprites(s.Jewel);
    DetachSprites(s.Exit);
}

}  // namespace

void LoadUnitGraphicsData()
{
    FindOrLoadDib("BaseGfx.jpg", false);
    for (const char* name : {"Spider.jpg", "Explosion1.jpg", "SpinningThings.jpg", "Snake1.Jpg", "Exits.Jpg"})
        FindOrLoadDib(name, true);
    WaterTemplates = FindOrLoadDib("WaterTemplates.jpg", true);
    RegisterUnbrightenedPicture("FireBall.jpg");
    CutFirstHalfSprites();
    CutPaletteSprites();
    CutSnakeSprites();
    CutSpiderSprites();
    CutBombSprites();
}

void FreeUnitGraphicsData()
{
    DetachFirstHalfSprites();
    DetachSnakeSprites();
    DetachSpiderSprites();
    DetachBombSprites();
    WaterTemplates = nullptr;
}

void LoadUnitSoundData() { LoadUnitSamples(); }
void FreeUnitSoundData() { FreeUnitSamples(); }
