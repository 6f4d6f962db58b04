#include "tesk/game/Settings.h"

bool SoundOn = true;
int32_t SoundVolume = 5;
bool MusicOn = true;
int32_t MusicVolume = 5;
int32_t SoundDriver = 0;
uint8_t SoundDevice = 2;
bool FullScreen = true;
bool Dialogs = true;
bool UseBitBlt = false;
bool DontAnimateWater = false;

bool NoVideo = false;
std::string LevelSetFileName = "Gromble.Set";

int32_t DesktopDepth = 0;
std::string SoundDriverText;
