#include "tesk/game/SettingsApply.h"

#include "platform/Messages.h"
#include "tesk/game/GameSound.h"
#include "tesk/game/Settings.h"
#include "tesk/toolkit/Dib16.h"

namespace {

void PostToMainWindow(UINT message)
{
    if (MainFormRef)
        PostMessage(MainFormRef->Handle(), message, 0, 0);
}

} // namespace

tVideoChoices CurrentVideoChoices()
{
    return tVideoChoices{DisplayBrightness, !DontAnimateWater, FullScreen, SystemMemoryBackBuffer, UseBitBlt};
}

void ApplyVideoChoices(const tVideoChoices& choices)
{
    DisplayBrightness = choices.Brightness;
    DontAnimateWater = !choices.AnimateWater;
    FullScreen = choices.FullScreen;
    SystemMemoryBackBuffer = choices.SystemMemoryBackBuffer;
    UseBitBlt = choices.BitBlt;
    PostToMainWindow(WM_RELOADDATA);
}

tSoundChoices CurrentSoundChoices()
{
    const uint8_t device = SoundDevice <= FSOUND_OUTPUT_DSOUND ? SoundDevice : FSOUND_OUTPUT_NOSOUND;
    const int32_t drivers = SoundDriverNames[device].Count();
    return tSoundChoices{device, SoundDriver >= 0 && SoundDriver < drivers ? SoundDriver : 0};
}

void StoreSoundChoices(const tSoundChoices& choices)
{
    SoundDevice = choices.Device;
    SoundDriver = choices.Driver;
}

void ApplySoundChoices(const tSoundChoices& choices)
{
    StoreSoundChoices(choices);
    PostToMainWindow(WM_REINITAUDIO);
}
