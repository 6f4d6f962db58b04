#pragma once
// The game's sounds and music: samples from the "samples\" folder and modules from the
// "Music\" folder, played at the volumes the settings give, with one module playing at
// a time. Also the driver names of each sound output, for the option pages.
#include <string>

#include "platform/StringList.h"
#include "tesk/toolkit/Faudio.h"

class tGameSample : public tSample {
public:
    // Loads "samples\" + name; when no such data file exists, the same path with the
    // extension ".mp3" instead.
    void LoadWav(const std::string& name) override;
    // Play at the sample's own rate and pan, its volume scaled by SoundVolume. With
    // SoundOn off nothing plays and the result is channel 0 (no real channel). When the
    // sound cannot play (no sample, every channel busy) the result is -1: a missing
    // sound never stops the game.
    int Play() override;
    int PlayOnChannel(int channel) override;
    // The same as Play; the variant number is not used.
    int PlayVariant(int variant);

private:
    int PlayScaled(int channel);
};

class tGameModule : public tModule {
public:
    ~tGameModule() override;
    // Loads "Music\" + name.
    void Load(const std::string& name) override;
    // Stops the module that is playing, becomes the current one, and plays at the
    // MusicVolume setting (silent with MusicOn off).
    void Play() override;
};

// The module now playing, or nullptr.
extern tGameModule* CurrentGameModule;

// Driver names reported for the outputs 0 (no sound), 1 (WaveOut) and 2 (DirectSound).
extern TStringList SoundDriverNames[3];

// Fills SoundDriverNames, asking the library for each output in turn: called at program
// start, before the library is initialised. DoneGameSound empties them.
void InitGameSound();
void DoneGameSound();

// The module master volume for a MusicVolume setting (0..10): (v * 256 div 10) div 2.
int MusicMasterVolume(int musicVolume);
