#pragma once
// The samples of the hero and the unit kinds, loaded at start-up in the order below and
// freed at shut-down. A sample that is not loaded plays nothing.
#include <array>
#include <cstdint>

class tGameSample;

enum tUnitSound : uint8_t {
    usSpiderMunching,
    usSpiderExplosion,
    usSplosh,
    usSlideStone,
    usCollectKey,
    usCollectGem,
    usClearRubble,
    usSnakeAngry,
    usSnakeFire,
    usFireball,
    usSpiderAttack,
    usSpiderShuffle,
    usSpiderTrapped,
    usCherryBombExplosion,
    usCherryBombFuse,  // loops (FSOUND_LOOP_NORMAL)
    usDropBomb,
    usCherryBombPickup,
    usOpeningDoor,
    UnitSoundCount
};

enum tHeroSound : uint8_t { hsTeleportIn, hsTeleportOut, HeroSoundCount };

// The sample files, in loading order.
extern const std::array<const char*, UnitSoundCount> UnitSoundFiles;
extern const std::array<const char*, HeroSoundCount> HeroSoundFiles;

// The loaded sample, or null.
tGameSample* UnitSample(tUnitSound sound);
tGameSample* HeroSample(tHeroSound sound);

// Plays a sample: the channel it plays on, 0 with sound switched off, -1 when it is not
// loaded or cannot play.
int PlayUnitSound(tUnitSound sound);
int PlayHeroSound(tHeroSound sound);

// Loading and freeing (LoadUnitSoundData / LoadPlayerSoundData call these). A sample
// that cannot be loaded raises, leaving those loaded before it in place.
void LoadUnitSamples();
void FreeUnitSamples();
void LoadHeroSamples();
void FreeHeroSamples();
