#pragma once
// Putting new display and sound choices into effect. The video and advanced sound option
// pages and the advanced settings dialog all go through these: the choices are stored
// into the settings ("Config.cfg" keeps them on exit), then the main window rebuilds the
// display with all its data (WM_RELOADDATA), which also builds the brightness table and
// restarts the sound library, or only restarts the sound library (WM_REINITAUDIO).
#include <cstdint>

// The display choices: brightness (0.5..2.7), water animation, and the three that pick
// the display type and its back buffer.
struct tVideoChoices {
    float Brightness = 1.1f;
    bool AnimateWater = true;
    bool FullScreen = true;
    bool SystemMemoryBackBuffer = true;
    bool BitBlt = false;

    bool operator==(const tVideoChoices&) const = default;
};

// The display choices as the settings hold them now.
tVideoChoices CurrentVideoChoices();

// Stores the display choices and asks the main window to rebuild with them.
void ApplyVideoChoices(const tVideoChoices& choices);

// The sound choices: the output (0 none, 1 WaveOut, 2 DirectSound) and the number of its
// driver in the output's list of driver names.
struct tSoundChoices {
    uint8_t Device = 2;
    int32_t Driver = 0;

    bool operator==(const tSoundChoices&) const = default;
};

// The sound choices as the settings hold them, brought into range for showing: an output
// past DirectSound counts as none, a driver outside its output's list as the first.
tSoundChoices CurrentSoundChoices();

// Stores the sound choices and asks the main window to restart the sound library on them.
void ApplySoundChoices(const tSoundChoices& choices);
// Only stores them: for a caller that asks for a display rebuild as well, which restarts
// the sound library on them by itself.
void StoreSoundChoices(const tSoundChoices& choices);
