// The option pages: options, sound, advanced sound, video and advanced video. Each has
// a per-tick handler of the engine and a painter.
#include <algorithm>
#include <cmath>

#include "tesk/game/Fonts.h"
#include "tesk/game/GameEngine.h"
#include "tesk/game/Settings.h"
#include "tesk/game/SettingsApply.h"
#include "tesk/game/SlabDialogs.h"
#include "tesk/game/SlabRules.h"

using namespace slab;

namespace {

constexpr int32_t NameRow = 29;

// The device and driver the advanced sound page started from (after bringing them into
// range): leaving it stores and restarts the sound only when they changed.
uint8_t StartSoundDevice = 0;
int32_t StartSoundDriver = 0;

// A volume step of the arrow keys or the slider, with SliderSound when it changed.
void SetVolume(int32_t& volume, int32_t value)
{
    value = std::clamp(value, 0, 10);
    if (value != volume) {
        volume = value;
        SliderSound.Play();
    }
}

// The volume a slider knob dragged to the mouse's x gives.
int32_t VolumeAt(int32_t mouseX)
{
    const double v = std::nearbyint((mouseX - 345) * 10 / 120.0);
    return static_cast<int32_t>(std::clamp(v, 0.0, 10.0));
}

void SetBrightness(float value)
{
    value = std::clamp(value, 0.5f, 2.7f);
    const bool sound = std::fabs(value - PendingBrightness) > 0.05f;
    PendingBrightness = value;
    if (sound)
        SliderSound.Play();
}

void EnterSoundPage(tGameEngine& e)
{
    SoundSelection = 0;
    GoTo(e, gmSoundOptions);
}

uint8_t ValidDevice(uint8_t device) { return device <= 2 ? device : 0; }

int32_t DriverCount(uint8_t device) { return SoundDriverNames[ValidDevice(device)].Count(); }

void LeaveAdvancedSound(tGameEngine& e)
{
    GoTo(e, gmSoundOptions);
    if (PendingSoundDevice == StartSoundDevice && PendingSoundDriver == StartSoundDriver) {
        MenuCloseSound.Play();
        return;
    }
    ApplySoundChoices(tSoundChoices{PendingSoundDevice, PendingSoundDriver});
}

void ApplyVideoSettings()
{
    ApplyVideoChoices(tVideoChoices{PendingBrightness, PendingAnimateWater, PendingFullScreen,
                                    PendingSystemMemoryBackBuffer, PendingBitBlt});
}

// "ON"/"OFF" or "YES"/"NO" centred on their places with their glows, and the "/" between
// them from its x in the item's glow. The "/" goes first: drawn last, its cell would cut
// off the glow of the word before it.
void DrawChoice(int32_t onX, int32_t offX, int32_t slashX, int32_t y, const char* on, const char* off,
                const tChoiceGlow& glow, float itemLevel)
{
    DrawMenuText(slashX, y, "/", GlowOf(itemLevel));
    DrawMenuTextCentred(onX, y, on, GlowOf(glow.On));
    DrawMenuTextCentred(offX, y, off, GlowOf(glow.Off));
}

} // namespace

int32_t BrightnessKnob(float brightness)
{
    const float k = (brightness - 0.5f) / 2.2f * 10.0f;
    if (!(k > 0.0f))
        return 0;
    if (k >= 10.0f)
        return 10;
    return static_cast<int32_t>(std::nearbyint(k));
}

namespace slab {

void EnterVideoPage(tGameEngine& e)
{
    VideoSelection = 0;
    PendingBrightness = DisplayBrightness;
    PendingAnimateWater = !DontAnimateWater;
    PendingFullScreen = FullScreen;
    PendingSystemMemoryBackBuffer = SystemMemoryBackBuffer;
    PendingBitBlt = UseBitBlt;
    GoTo(e, gmVideoOptions);
}

void EnterAdvancedSoundPage(tGameEngine& e)
{
    const tSoundChoices shown = CurrentSoundChoices();
    PendingSoundDevice = PreviousSoundDevice = StartSoundDevice = shown.Device;
    PendingSoundDriver = PreviousSoundDriver = StartSoundDriver = shown.Driver;
    DeviceRoll = DriverRoll = 0;
    GoTo(e, gmAdvancedSoundOptions);
}

} // namespace slab

// ---------------------------------------------------------------------------------------
// Options page (mode 17)

void tGameEngine::OptionsMenuStep()
{
    WithSelectionSound(OptionsSelection, [this] {
        const int hover = HoverItem(*this, 105, 529, {{181, 209}, {218, 246}, {255, 283}, {292, 320}});
        if (hover >= 0)
            OptionsSelection = static_cast<uint8_t>(hover);
        Ramp(OptionsLevels, OptionsSelection);
        UpdateChoice(DialogsGlow, Dialogs);
        MoveSelection(*this, OptionsSelection, 4);
        const int item = OptionsSelection;
        if (Latched(*this, aLeft)) {
            if (item == 0)
                return Back(*this, gmMainMenu);
            if (item == 3) {
                MenuSelectSound.Play();
                Dialogs = true;
            }
        }
        if (Latched(*this, aRight)) {
            if (item == 1 || item == 2) {
                MenuSelectSound.Play();
                return item == 1 ? EnterSoundPage(*this) : EnterVideoPage(*this);
            }
            if (item == 3) {
                MenuSelectSound.Play();
                Dialogs = false;
            }
        }
        switch (ClickOrBack(*this, 105, 177, 529, 319)) {
        case tClick::None:
            return;
        case tClick::Outside:
            return Back(*this, gmMainMenu);
        case tClick::Activate:
            MenuSelectSound.Play();
            if (item == 0)
                Back(*this, gmMainMenu);
            else if (item == 1)
                EnterSoundPage(*this);
            else if (item == 2)
                EnterVideoPage(*this);
            else
                Dialogs = !Dialogs;
        }
    });
}

void DrawOptionsSlab()
{
    OptionsSlab.Draw(320, 240);
    DrawMenuTextCentred(312, 218, "< BACK TO MAIN", GlowOf(OptionsLevels[0]));
    DrawMenuTextCentred(334, 256, "SOUND >", GlowOf(OptionsLevels[1]));
    DrawMenuTextCentred(336, 293, "VIDEO >", GlowOf(OptionsLevels[2]));
    DrawMenuTextCentred(310, 330, "IN-GAME MENUS       / ", GlowOf(OptionsLevels[3]));
    DrawMenuTextCentred(432, 330, "ON", GlowOf(DialogsGlow.On));
    DrawMenuTextCentred(504, 330, "OFF", GlowOf(DialogsGlow.Off));
}

// ---------------------------------------------------------------------------------------
// Sound page (mode 20)

void tGameEngine::SoundOptionsStep()
{
    WithSelectionSound(SoundSelection, [this] {
        if (SliderDrag == 0) {
            const int hover = HoverItem(*this, 142, 467,
                                        {{135, 158}, {181, 203}, {219, 243}, {263, 287}, {301, 323}, {347, 371}});
            if (hover >= 0)
                SoundSelection = static_cast<uint8_t>(hover);
        }
        if (Latched(*this, aClick) && Within(MouseX, 346, 465)) {
            if (Within(MouseY, 219, 243))
                SliderDrag = 1;
            else if (Within(MouseY, 301, 323))
                SliderDrag = 2;
        }
        if (!Held(*this, aClick))
            SliderDrag = 0;
        if (SliderDrag != 0)
            SetVolume(SliderDrag == 1 ? SoundVolume : MusicVolume, VolumeAt(MouseX));
        Ramp(SoundLevels, SoundSelection);
        UpdateChoice(SoundOnGlow, SoundOn);
        UpdateChoice(MusicOnGlow, MusicOn);
        MoveSelection(*this, SoundSelection, 6);
        const int item = SoundSelection;
        if (Latched(*this, aLeft)) {
            switch (item) {
            case 0:
                return Back(*this, gmOptions);
            case 1:
                MenuSelectSound.Play();
                SoundOn = true;
                break;
            case 2:
                SetVolume(SoundVolume, SoundVolume - 1);
                break;
            case 3:
                MenuSelectSound.Play();
                MusicOn = true;
                break;
            case 4:
                SetVolume(MusicVolume, MusicVolume - 1);
                break;
            }
        }
        if (Latched(*this, aRight)) {
            switch (item) {
            case 1:
                MenuSelectSound.Play();
                SoundOn = false;
                break;
            case 2:
                SetVolume(SoundVolume, SoundVolume + 1);
                break;
            case 3:
                MenuSelectSound.Play();
                MusicOn = false;
                break;
            case 4:
                SetVolume(MusicVolume, MusicVolume + 1);
                break;
            case 5:
                MenuSelectSound.Play();
                AdvancedSoundSelection = 0;
                return EnterAdvancedSoundPage(*this);
            }
        }
        switch (ClickOrBack(*this, 142, 129, 467, 373)) {
        case tClick::None:
            return;
        case tClick::Outside:
            return Back(*this, gmOptions);
        case tClick::Activate:
            MenuSelectSound.Play();
            if (item == 0)
                Back(*this, gmOptions);
            else if (item == 1)
                SoundOn = !SoundOn;
            else if (item == 3)
                MusicOn = !MusicOn;
            else if (item == 5)
                EnterAdvancedSoundPage(*this);
        }
    });
}

void DrawSoundSlab()
{
    SoundSlab.Draw(320, 240);
    DrawMenuTextCentred(314, 170, "< BACK TO OPTIONS", GlowOf(SoundLevels[0]));
    DrawMenuText(170, 214, "EFFECTS", GlowOf(SoundLevels[1]));
    DrawMenuText(170, 252, "VOLUME", GlowOf(SoundLevels[2]));
    DrawMenuText(170, 298, "MUSIC", GlowOf(SoundLevels[3]));
    DrawMenuText(170, 336, "VOLUME", GlowOf(SoundLevels[4]));
    DrawMenuText(170, 382, "ADVANCED  >", GlowOf(SoundLevels[5]));
    SliderKnob.Draw(345 + 12 * SoundVolume, 227);
    SliderKnob.Draw(345 + 12 * MusicVolume, 308);
    DrawChoice(368, 440, 394, 214, "ON", "OFF", SoundOnGlow, SoundLevels[1]);
    DrawChoice(368, 440, 394, 298, "ON", "OFF", MusicOnGlow, SoundLevels[3]);
}

// ---------------------------------------------------------------------------------------
// Advanced sound page (mode 21)

void tGameEngine::AdvancedSoundOptionsStep()
{
    WithSelectionSound(AdvancedSoundSelection, [this] {
        const int hover = HoverItem(*this, 126, 511, {{159, 184}, {196, 261}, {273, 337}});
        if (hover >= 0)
            AdvancedSoundSelection = static_cast<uint8_t>(hover);
        DeviceRoll *= 0.75f;
        DriverRoll *= 0.75f;
        Ramp(AdvancedSoundLevels, AdvancedSoundSelection);
        MoveSelection(*this, AdvancedSoundSelection, 3);
        const int item = AdvancedSoundSelection;
        if (Latched(*this, aLeft) && item == 0)
            return LeaveAdvancedSound(*this);
        switch (ClickOrBack(*this, 126, 159, 511, 337)) {
        case tClick::None:
            return;
        case tClick::Outside:
            return Back(*this, gmSoundOptions);
        case tClick::Activate:
            MenuSelectSound.Play();
            if (item == 0)
                return LeaveAdvancedSound(*this);
            PreviousSoundDevice = PendingSoundDevice;
            PreviousSoundDriver = PendingSoundDriver;
            if (item == 1) {
                PendingSoundDriver = 0;
                PendingSoundDevice = static_cast<uint8_t>(PendingSoundDevice >= 2 ? 0 : PendingSoundDevice + 1);
                DeviceRoll = DriverRoll = 1;
            } else {
                ++PendingSoundDriver;
                if (PendingSoundDriver >= DriverCount(PendingSoundDevice) || PendingSoundDriver < 0)
                    PendingSoundDriver = 0;
                DriverRoll = 1;
            }
        }
    });
}

void DrawAdvancedSoundSlab()
{
    AdvancedSoundSlab.Draw(320, 240);
    DrawMenuTextCentred(300, 196, "< BACK TO SOUND", GlowOf(AdvancedSoundLevels[0]));
    DrawMenuTextCentred(320, 233, "SOUND DEVICE&", GlowOf(AdvancedSoundLevels[1]));
    DrawMenuTextCentred(320, 309, "DEVICE DRIVER&", GlowOf(AdvancedSoundLevels[2]));
    const uint8_t previous = ValidDevice(PreviousSoundDevice), pending = ValidDevice(PendingSoundDevice);
    if (OutputNamesDib)
        DrawChoiceRoll(*OutputNamesDib, previous * NameRow, *OutputNamesDib, pending * NameRow, DeviceRoll, 154, 230);
    tDib16* from = DriverNamesDibs[previous].get();
    tDib16* to = DriverNamesDibs[pending].get();
    if (from && to)
        DrawChoiceRoll(*from, PreviousSoundDriver * NameRow, *to, PendingSoundDriver * NameRow, DriverRoll, 154, 306);
}

// ---------------------------------------------------------------------------------------
// Video page (mode 18)

void tGameEngine::VideoOptionsStep()
{
    WithSelectionSound(VideoSelection, [this] {
        VideoChanged = VideoSettingsChanged();
        if (VideoChanged) {
            ++ApplyPulseCounter;
            if ((ApplyPulseCounter & 0x70) == 0)
                ApplyPulse = std::min(0.6f, ApplyPulse + 0.03f);
            else
                ApplyPulse = std::max(0.0f, ApplyPulse - 0.02f);
        } else {
            ApplyPulseCounter = 0;
            ApplyPulse = 0;
        }
        if (SliderDrag == 0) {
            const int hover = VideoChanged ? HoverItem(*this, 111, 532,
                                                       {{134, 159}, {170, 195}, {209, 234}, {247, 272}, {287, 314}, {348, 385}})
                                           : HoverItem(*this, 111, 532,
                                                       {{134, 159}, {170, 195}, {209, 234}, {247, 272}, {287, 314}});
            if (hover >= 0)
                VideoSelection = static_cast<uint8_t>(hover);
        }
        if (Latched(*this, aClick) && MouseIn(*this, 401, 171, 529, 195))
            SliderDrag = 1;
        if (!Held(*this, aClick))
            SliderDrag = 0;
        if (SliderDrag != 0)
            SetBrightness(static_cast<float>(MouseX - 404) / 120.0f * 2.2f + 0.5f);
        Ramp(VideoLevels, VideoSelection);
        UpdateChoice(AnimateWaterGlow, PendingAnimateWater);
        UpdateChoice(FullScreenGlow, PendingFullScreen);
        MoveSelection(*this, VideoSelection, VideoChanged ? 6 : 5);
        const int item = VideoSelection;
        [&] {
            if (Latched(*this, aLeft)) {
                switch (item) {
                case 0:
                    return Back(*this, gmOptions);
                case 1:
                    SetBrightness(PendingBrightness - 0.22f);
                    break;
                case 2:
                    MenuSelectSound.Play();
                    PendingAnimateWater = true;
                    break;
                case 3:
                    MenuSelectSound.Play();
                    PendingFullScreen = true;
                    break;
                }
            }
            if (Latched(*this, aRight)) {
                switch (item) {
                case 1:
                    SetBrightness(PendingBrightness + 0.22f);
                    break;
                case 2:
                    MenuSelectSound.Play();
                    PendingAnimateWater = false;
                    break;
                case 3:
                    MenuSelectSound.Play();
                    PendingFullScreen = false;
                    break;
                case 4:
                    MenuSelectSound.Play();
                    return GoTo(*this, gmAdvancedVideoOptions);
                }
            }
            switch (ClickOrBack(*this, 111, 121, 532, VideoChanged ? 384 : 353)) {
            case tClick::None:
                return;
            case tClick::Outside:
                return Back(*this, gmOptions);
            case tClick::Activate:
                if (SliderDrag == 0)
                    MenuSelectSound.Play();
                if (item == 0)
                    Back(*this, gmOptions);
                else if (item == 2)
                    PendingAnimateWater = !PendingAnimateWater;
                else if (item == 3)
                    PendingFullScreen = !PendingFullScreen;
                else if (item == 4)
                    GoTo(*this, gmAdvancedVideoOptions);
                else if (item == 5 && VideoChanged)
                    ApplyVideoSettings();
            }
        }();
        if (GameMode == gmVideoOptions && VideoChanged && VideoSelection != 5)
            VideoLevels[5] = ApplyPulse;
    });
}

void DrawVideoSlab()
{
    VideoSlab.Draw(320, 240);
    DrawMenuTextCentred(314, 168, "< BACK TO OPTIONS", GlowOf(VideoLevels[0]));
    DrawMenuText(111, 206, "BRIGHTNESS", GlowOf(VideoLevels[1]));
    DrawMenuText(111, 246, "ANIMATE WATER", GlowOf(VideoLevels[2]));
    DrawMenuText(111, 286, "USE FULL SCREEN", GlowOf(VideoLevels[3]));
    DrawMenuText(111, 326, "ADVANCED >", GlowOf(VideoLevels[4]));
    DrawChoice(436, 505, 463, 244, "YES", "NO", AnimateWaterGlow, VideoLevels[2]);
    DrawChoice(436, 505, 463, 281, "YES", "NO", FullScreenGlow, VideoLevels[3]);
    SliderKnob.Draw(404 + 12 * BrightnessKnob(PendingBrightness), 181);
    DrawMenuTextCentred(320, 384, "APPLY CHANGES", VideoChanged ? GlowOf(VideoLevels[5]) : -1);
}

// ---------------------------------------------------------------------------------------
// Advanced video page (mode 19)

void tGameEngine::AdvancedVideoOptionsStep()
{
    WithSelectionSound(AdvancedVideoSelection, [this] {
        VideoChanged = VideoSettingsChanged();
        const int hover = HoverItem(*this, 111, 532, {{163, 187}, {203, 261}, {275, 333}});
        if (hover >= 0)
            AdvancedVideoSelection = static_cast<uint8_t>(hover);
        Ramp(AdvancedVideoLevels, AdvancedVideoSelection);
        UpdateChoice(SystemMemoryGlow, PendingSystemMemoryBackBuffer);
        UpdateChoice(BitBltGlow, PendingBitBlt);
        MoveSelection(*this, AdvancedVideoSelection, 3);
        const int item = AdvancedVideoSelection;
        bool* choice = item == 1 ? &PendingSystemMemoryBackBuffer : item == 2 ? &PendingBitBlt : nullptr;
        if (Latched(*this, aLeft)) {
            if (item == 0)
                return Back(*this, gmVideoOptions);
            MenuSelectSound.Play();
            *choice = true;
        }
        if (Latched(*this, aRight) && choice) {
            MenuSelectSound.Play();
            *choice = false;
        }
        switch (ClickOrBack(*this, 111, 161, 532, 337)) {
        case tClick::None:
            return;
        case tClick::Outside:
            return Back(*this, gmVideoOptions);
        case tClick::Activate:
            MenuSelectSound.Play();
            if (choice)
                *choice = !*choice;
            else
                Back(*this, gmVideoOptions);
        }
    });
}

void DrawAdvancedVideoSlab()
{
    AdvancedVideoSlab.Draw(320, 240);
    DrawMenuText(94, 199, "< BACK TO VIDEO", GlowOf(AdvancedVideoLevels[0]));
    DrawMenuText(121, 239, "BACK BUFFER", GlowOf(AdvancedVideoLevels[1]));
    DrawMenuText(121, 270, "IN SYSTEM RAM", GlowOf(AdvancedVideoLevels[1]));
    DrawMenuText(116, 314, "'BITBLT' INSTEAD", GlowOf(AdvancedVideoLevels[2]));
    DrawMenuText(121, 344, "OF DIRECTX", GlowOf(AdvancedVideoLevels[2]));
    // The words sit round the "/" as on the video page; drawn from their x they would
    // run into it.
    DrawChoice(436, 505, 463, 255, "YES", "NO", SystemMemoryGlow, AdvancedVideoLevels[1]);
    DrawChoice(436, 505, 463, 329, "YES", "NO", BitBltGlow, AdvancedVideoLevels[2]);
}
