#include "tesk/game/GameSound.h"

#include <cmath>

#include "tesk/game/Settings.h"
#include "tesk/toolkit/Misc.h"
#include "tesk/toolkit/PackageFiles.h"

tGameModule* CurrentGameModule = nullptr;
TStringList SoundDriverNames[3];

void InitGameSound()
{
    for (int output = FSOUND_OUTPUT_NOSOUND; output <= FSOUND_OUTPUT_DSOUND; ++output) {
        TStringList& names = SoundDriverNames[output];
        names.Clear();
        FSOUND_SetOutput(output);
        const int count = FSOUND_GetNumDrivers();
        for (int i = 0; i < count; ++i) {
            const char* name = FSOUND_GetDriverName(i);
            names.Add(name ? name : "");
        }
    }
}

void DoneGameSound()
{
    for (TStringList& names : SoundDriverNames)
        names.Clear();
}

int MusicMasterVolume(int musicVolume) { return (musicVolume * 256 / 10) / 2; }

// --- tGameSample ---

void tGameSample::LoadWav(const std::string& name)
{
    std::string path = "samples\\" + name;
    if (!PackageFileExists(path)) {
        const size_t dot = path.rfind('.');
        path = (dot == std::string::npos ? path : path.substr(0, dot)) + ".mp3";
    }
    LastOperation = "Loading " + path;
    PumpMessages();
    tSample::LoadWav(path);
}

int tGameSample::PlayScaled(int channel)
{
    if (!SoundOn)
        return 0;
    try {
        int frequency = 0, volume = 0, pan = 0, priority = 0;
        GetDefaults(frequency, volume, pan, priority);
        // Rounded to nearest, halves to even: 255 at SoundVolume 5 plays at 128.
        const int scaled = int(std::nearbyint(volume * (SoundVolume * 0.1)));
        if (channel == FSOUND_FREE)
            return PlayAttrib(frequency, scaled, pan);
        return PlayAttribOnChannel(channel, frequency, scaled, pan);
    } catch (const eFSoundError&) {
        return -1;
    }
}

int tGameSample::Play() { return PlayScaled(FSOUND_FREE); }
int tGameSample::PlayOnChannel(int channel) { return PlayScaled(channel); }
int tGameSample::PlayVariant(int) { return Play(); }

// --- tGameModule ---

tGameModule::~tGameModule()
{
    if (CurrentGameModule == this)
        CurrentGameModule = nullptr;
}

void tGameModule::Load(const std::string& name) { tModule::Load("Music\\" + name); }

void tGameModule::Play()
{
    if (CurrentGameModule)
        CurrentGameModule->Stop();
    CurrentGameModule = this;
    SetMasterVolume(MusicOn ? MusicMasterVolume(MusicVolume) : 0);
    tModule::Play();
}
