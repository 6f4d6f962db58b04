#pragma once
// The user settings that "Config.cfg" stores (one global each, named after its key),
// with their values before the file is read. The option pages change them during play;
// the main window reads the file at start and writes it on exit.
#include <cstdint>
#include <string>

extern bool SoundOn;          // sampled sounds play
extern int32_t SoundVolume;   // effects volume 0..10
extern bool MusicOn;          // music plays
extern int32_t MusicVolume;   // music volume 0..10
extern int32_t SoundDriver;   // driver number of the output, stored and written back
extern uint8_t SoundDevice;   // sound output: 0 none, 1 WaveOut, 2 DirectSound
extern bool FullScreen;       // full-screen display types
extern bool Dialogs;          // in-game result and death pop-ups
// The "BitBlt" key: a bitmap frame buffer instead of DirectDraw surfaces (named apart
// from the platform's BitBlt routine).
extern bool UseBitBlt;
extern bool DontAnimateWater; // the "AnimateWater" key, held inverted

// Set from the command line.
extern bool NoVideo;                  // video entries are skipped
extern std::string LevelSetFileName;  // the level set to load

// Set by the main window, read by the editor and the option pages: the desktop's bits per
// pixel at the last set-up or display change, and the name the sound library gives for
// the driver it opened (empty when it names none).
extern int32_t DesktopDepth;
extern std::string SoundDriverText;
