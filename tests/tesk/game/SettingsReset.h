#pragma once
// The user settings, the command-line switches and what the main window notes about the
// desktop, back at their values before a start: shared by the engine, page and
// whole-program tests.
#include "tesk/game/Settings.h"
#include "tesk/toolkit/Dib16.h"

inline void ResetSettings()
{
    SoundOn = true;
    SoundVolume = 5;
    MusicOn = true;
    MusicVolume = 5;
    SoundDriver = 0;
    SoundDevice = 2;
    FullScreen = true;
    Dialogs = true;
    UseBitBlt = false;
    DontAnimateWater = false;
    DisplayBrightness = 1.1f;
    SystemMemoryBackBuffer = true;
    NoVideo = false;
    LevelSetFileName = "Gromble.Set";
    DesktopDepth = 0;
    SoundDriverText.clear();
}
