#include "tesk/game/UnitGraphics.h"

tHeroSprites HeroSprites;
tUnitSprites UnitSprites;
tDib16* WaterTemplates = nullptr;

void CutSprite(tSprite& sprite, const std::string& picture, int32_t x, int32_t y, int32_t width,
               int32_t height, int32_t hotX, int32_t hotY, uint8_t drawMode)
{
    sprite.SetFrame(picture, x, y, width, height);
    sprite.HotSpotX = hotX;
    sprite.HotSpotY = hotY;
    sprite.DrawMode = drawMode;
}

void CutCentredSprite(tSprite& sprite, const std::string& picture, int32_t x, int32_t y,
                      int32_t width, int32_t height, uint8_t drawMode)
{
    CutSprite(sprite, picture, x, y, width, height, width / 2, height / 2, drawMode);
}

void DetachSprite(tSprite& sprite)
{
    sprite.Source = nullptr;
    sprite.Source2 = nullptr;
}

tDib16* RegisterUnbrightenedPicture(const std::string& name)
{
    tDib16* dib = FindOrLoadDib(name, false);
    dib->NoBrightnessChange = true;
    return dib;
}
