#include "tesk/game/UnitSounds.h"

#include <memory>

#include "tesk/game/GameSound.h"

const std::array<const char*, UnitSoundCount> UnitSoundFiles = {
    "SpiderMunching.Wav", "SpiderExplosion.Wav", "Splosh.Wav",         "SlideStone.Wav",
    "CollectKey.Wav",     "CollectGem.Wav",      "ClearRubble.Wav",    "SnakeAngry.Wav",
    "SnakeFire.Wav",      "Fireball.Wav",        "SpiderAttack.Wav",   "SpiderShuffle.Wav",
    "SpiderTrapped.Wav",  "CherryBombExplosion.Wav", "CherryBombFuse.Wav", "DropBomb.Wav",
    "CherryBombPickup.Wav", "OpeningDoor.Wav",
};

const std::array<const char*, HeroSoundCount> HeroSoundFiles = {"TeleportIn.wav", "TelePortOut.wav"};

namespace {

std::array<std::unique_ptr<tGameSample>, UnitSoundCount> UnitSamples;
std::array<std::unique_ptr<tGameSample>, HeroSoundCount> HeroSamples;

template <size_t N>
void LoadAll(std::array<std::unique_ptr<tGameSample>, N>& samples, const std::array<const char*, N>& files)
{
    for (size_t i = 0; i < N; ++i) {
        samples[i].reset();
        auto sample = std::make_unique<tGameSample>();
        sample->LoadWav(files[i]);
        samples[i] = std::move(sample);
    }
}

int PlayOf(tGameSample* sample)
{
    return sample ? sample->Play() : -1;
}

}  // namespace

tGameSample* UnitSample(tUnitSound sound)
{
    return sound < UnitSoundCount ? UnitSamples[sound].get() : nullptr;
}

tGameSample* HeroSample(tHeroSound sound)
{
    return sound < HeroSoundCount ? HeroSamples[sound].get() : nullptr;
}

int PlayUnitSound(tUnitSound sound) { return PlayOf(UnitSample(sound)); }
int PlayHeroSound(tHeroSound sound) { return PlayOf(HeroSample(sound)); }

void LoadUnitSamples()
{
    LoadAll(UnitSamples, UnitSoundFiles);
    UnitSamples[usCherryBombFuse]->SetLoopMode(FSOUND_LOOP_NORMAL);
}

void FreeUnitSamples()
{
    for (auto& s : UnitSamples)
        s.reset();
}

void LoadHeroSamples() { LoadAll(HeroSamples, HeroSoundFiles); }

void FreeHeroSamples()
{
    for (auto& s : HeroSamples)
        s.reset();
}
