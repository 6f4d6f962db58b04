#include "tesk/game/EndOFLevelPopups.h"

#include "tesk/game/EngineParts.h"
#include "tesk/game/Fonts.h"
#include "tesk/game/SlabRules.h"
#include "tesk/toolkit/Misc.h"
#include "tesk/toolkit/Random.h"

tSprite SmallPopupBase;
tSprite LargePopupBase;
std::array<tSprite, 6> GeneralDeath;
std::array<tSprite, 3> SnakeDeath;
std::array<tSprite, 3> SpiderDeath;
std::array<tSprite, 3> BombDeath;
tSprite* CurrentDeathPopup = nullptr;
tSprite* CurrentResultPopup = nullptr;
tSprite SolvedPicture;
tSprite PartiallySolvedPicture;
std::array<float, 3> DeathItemGlow{};
std::array<float, 4> ResultItemGlow{};

namespace {

constexpr int32_t SmallBaseWidth = 402;
constexpr int32_t SmallBaseHeight = 304;
constexpr int32_t LargeBaseWidth = 426;
constexpr int32_t LargeBaseHeight = 356;
constexpr int32_t DeathPictureHeight = 144;
constexpr int32_t ResultPictureHeight = 160;

const char* const DeathMask = "PopUpTop_Death.bmp";
const char* const ResultMask = "PopupTop_LevelCompleted.bmp";

struct tItem {
    int32_t X;
    int32_t Y;
    const char* Text;
};

void MakeSprite(tSprite& sprite, const std::string& name, const char* mask, int32_t width, int32_t height)
{
    FindOrLoadDib(name, false);
    sprite = tSprite();
    if (mask)
        sprite.SetMaskedFrame(name, mask, 0, 0, width, height);
    else
        sprite.SetFrame(name, 0, 0, width, height);
}

template <size_t N>
void MakeDeathSprites(std::array<tSprite, N>& sprites, const std::string& kind)
{
    for (size_t i = 0; i < N; ++i)
        MakeSprite(sprites[i], "Popup_" + kind + "Death" + std::to_string(i + 1) + ".Jpg", DeathMask,
                   SmallBaseWidth, DeathPictureHeight);
}

// The base centred on the frame, the picture (when there is one) with its top edge on
// the base's top edge, then the items with their highlights.
template <size_t N>
void DrawPopup(tSprite& base, int32_t baseHeight, tSprite* picture, int32_t pictureHeight,
               const std::array<tItem, N>& items, const std::array<float, N>& levels)
{
    tDib16* frame = CurrentDib;
    if (!frame)
        return;
    const int32_t w = frame->Width;
    const int32_t h = frame->Height;
    // The pop-up covers part of the side panel: draw over the whole frame, and give the
    // playfield its clip back on every way out.
    engine_parts::tRestore<TRect> clip(frame->ClipRect, TRect{0, 0, w, h});
    base.Draw(w / 2, h / 2);
    if (picture)
        picture->Draw(w / 2, (h - baseHeight) / 2 + pictureHeight / 2);
    for (size_t i = 0; i < N; ++i)
        DrawMenuTextCentred(items[i].X, items[i].Y, items[i].Text, slab::GlowOf(levels[i]));
}

const std::array<tItem, 3> DeathItems{{{323, 287, "TRY AGAIN"}, {332, 325, "GO TO LEVEL..."}, {320, 363, "MENU"}}};
const std::array<tItem, 4> SolvedItems{
    {{320, 275, "MOVE ON"}, {324, 311, "PLAY AGAIN"}, {336, 349, "GO TO LEVEL..."}, {320, 387, "MENU"}}};
const std::array<tItem, 4> PartiallySolvedItems{
    {{320, 275, "WHO CARES?"}, {320, 311, "TRY AGAIN"}, {332, 349, "GO TO LEVEL..."}, {320, 387, "MENU"}}};

} // namespace

void ChooseDeathPopup(const std::string& killerClassName)
{
    // The general pictures come up six times in ten whoever the killer was.
    const std::string killer = LowerCased(Random() < 0.6 ? std::string("tUnit") : killerClassName);
    if (killer == "tcherrybomb")
        CurrentDeathPopup = &BombDeath[static_cast<size_t>(Random(3))];
    else if (killer == "tspider")
        CurrentDeathPopup = &SpiderDeath[static_cast<size_t>(Random(3))];
    else if (killer == "tsnake")
        CurrentDeathPopup = &SnakeDeath[static_cast<size_t>(Random(3))];
    else
        CurrentDeathPopup = &GeneralDeath[static_cast<size_t>(Random(6))];
}

void ResetEndOfLevelPopupHighlights()
{
    DeathItemGlow.fill(0);
    ResultItemGlow.fill(0);
}

void DrawDeathPopup()
{
    DrawPopup(SmallPopupBase, SmallBaseHeight, CurrentDeathPopup, DeathPictureHeight, DeathItems, DeathItemGlow);
}

void DrawSolvedPopup()
{
    DrawPopup(LargePopupBase, LargeBaseHeight, CurrentResultPopup, ResultPictureHeight, SolvedItems,
              ResultItemGlow);
}

void DrawPartiallySolvedPopup()
{
    DrawPopup(LargePopupBase, LargeBaseHeight, CurrentResultPopup, ResultPictureHeight, PartiallySolvedItems,
              ResultItemGlow);
}

void LoadEndOfLevelPopupsGraphicsData()
{
    MakeSprite(LargePopupBase, "PopupBase_Large.jpg", nullptr, LargeBaseWidth, LargeBaseHeight);
    MakeSprite(SmallPopupBase, "PopupBase_Small.jpg", nullptr, SmallBaseWidth, SmallBaseHeight);
    MakeDeathSprites(GeneralDeath, "General");
    MakeDeathSprites(SnakeDeath, "Snake");
    MakeDeathSprites(SpiderDeath, "Spider");
    MakeDeathSprites(BombDeath, "Bomb");
    MakeSprite(SolvedPicture, "Popup_Solved.jpg", ResultMask, LargeBaseWidth, ResultPictureHeight);
    MakeSprite(PartiallySolvedPicture, "Popup_PartiallySolved.jpg", ResultMask, LargeBaseWidth,
               ResultPictureHeight);
}

void FreeEndOfLevelPopupsGraphicsData()
{
    for (tSprite* s : {&LargePopupBase, &SmallPopupBase, &SolvedPicture, &PartiallySolvedPicture})
        *s = tSprite();
    for (auto* kind : {&SnakeDeath, &SpiderDeath, &BombDeath})
        kind->fill(tSprite());
    GeneralDeath.fill(tSprite());
}
