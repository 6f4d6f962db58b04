// The slab menus' shared parts: their state, samples and pictures, the rules every page
// follows, the pictures of the sound output and driver names and the strip roll that
// shows them.
#include "tesk/game/SlabDialogs.h"

#include <algorithm>
#include <cmath>

#include "tesk/game/Fonts.h"
#include "tesk/game/GameEngine.h"
#include "tesk/game/Settings.h"
#include "tesk/game/SlabRules.h"
#include "tesk/toolkit/Misc.h"

tGameSample MenuMoveSound;
tGameSample MenuMouseMoveSound;
tGameSample MenuSelectSound;
tGameSample MenuCloseSound;
tGameSample SliderSound;
tGameSample InvalidOptionSound;
tGameSample MainMenuOpenSound;
tGameSample MainMenuCloseSound;

tSprite MainMenuSlab;
tSprite OptionsSlab;
tSprite SoundSlab;
tSprite AdvancedSoundSlab;
tSprite VideoSlab;
tSprite AdvancedVideoSlab;
tSprite CreditsSlab;
tSprite SliderKnob;

uint8_t OptionsSelection = 0;
uint8_t SoundSelection = 0;
uint8_t AdvancedSoundSelection = 0;
uint8_t VideoSelection = 0;
uint8_t AdvancedVideoSelection = 0;
uint8_t ExtrasSelection = 0;
std::array<float, 4> OptionsLevels{};
std::array<float, 6> SoundLevels{};
std::array<float, 3> AdvancedSoundLevels{};
std::array<float, 6> VideoLevels{};
std::array<float, 3> AdvancedVideoLevels{};
std::array<float, 3> ExtrasLevels{};

tChoiceGlow DialogsGlow;
tChoiceGlow SoundOnGlow;
tChoiceGlow MusicOnGlow;
tChoiceGlow AnimateWaterGlow;
tChoiceGlow FullScreenGlow;
tChoiceGlow SystemMemoryGlow;
tChoiceGlow BitBltGlow;

float PendingBrightness = 0;
bool PendingAnimateWater = false;
bool PendingFullScreen = false;
bool PendingSystemMemoryBackBuffer = false;
bool PendingBitBlt = false;
bool VideoChanged = false;
int32_t ApplyPulseCounter = 0;
float ApplyPulse = 0;

uint8_t PendingSoundDevice = 0;
uint8_t PreviousSoundDevice = 0;
int32_t PendingSoundDriver = 0;
int32_t PreviousSoundDriver = 0;
float DeviceRoll = 0;
float DriverRoll = 0;

int32_t InstructionsPage = 0;
std::array<float, 3> InstructionButtonGlows{};
int32_t CreditsScroll = 0;

std::unique_ptr<tDib16> OutputNamesDib;
std::array<std::unique_ptr<tDib16>, 3> DriverNamesDibs;

namespace {

struct tSlabPicture {
    tSprite* Sprite;
    const char* Name;
    int32_t Width, Height;
};
// The page slabs, loaded on their first draw.
const tSlabPicture PageSlabs[] = {
    {&OptionsSlab, "Menu_Options.jpg", 480, 282},     {&SoundSlab, "Menu_Sound.jpg", 404, 358},
    {&AdvancedSoundSlab, "Menu_AdvSound.jpg", 464, 322}, {&VideoSlab, "Menu_Video.jpg", 488, 372},
    {&AdvancedVideoSlab, "Menu_AdvVideo.jpg", 488, 320}, {&CreditsSlab, "CreditsSlab.jpg", 470, 402},
};
// The pictures released when the menu closes.
const char* const MenuClosePictures[] = {
    "Menu_Options.jpg", "Menu_Sound.jpg", "Menu_AdvSound.jpg", "Menu_Video.jpg", "Menu_AdvVideo.jpg",
    "Instructions(Page1).jpg", "Instructions(Page2).jpg", "InstructionButtons.jpg",
};

struct tSampleFile {
    tGameSample* Sample;
    const char* Name;
};
const tSampleFile MenuSamples[] = {
    {&MenuMoveSound, "MenuMove.wav"},        {&MenuMouseMoveSound, "MenuMouseMove.wav"},
    {&MenuSelectSound, "MenuSelect.wav"},    {&MenuCloseSound, "menuClose.wav"},
    {&SliderSound, "Slider.wav"},            {&InvalidOptionSound, "InvalidOption.wav"},
    {&MainMenuOpenSound, "MainMenuOpen.wav"}, {&MainMenuCloseSound, "MainMenuClose.wav"},
};

constexpr int32_t NameRow = 29;
constexpr int32_t WorkWidth = 708;

// Draws names at double size into a work picture and shrinks it to half size.
std::unique_ptr<tDib16> NamesPicture(const std::vector<std::string>& names, int32_t rowHeight, int32_t firstY)
{
    const int32_t rows = std::max<int32_t>(1, static_cast<int32_t>(names.size()));
    tDib16 work(WorkWidth, rows * rowHeight);
    work.Fill(RGBToPixel(105, 76, 27));
    {
        tDibTarget target(&work);
        for (size_t i = 0; i < names.size(); ++i)
            DrawMenuTextCentred(WorkWidth / 2, rowHeight * static_cast<int32_t>(i) + firstY, names[i], 29);
    }
    auto picture = std::make_unique<tDib16>(1, 1);
    picture->ShrinkFrom(work);
    return picture;
}

} // namespace

uint16_t NameStripFill()
{
    return RGBToPixel(105, 76, 27);
}

// ---------------------------------------------------------------------------------------
// Life cycle

void InitSlabDialogs()
{
    ResetSlabHighlights();
    ExtrasLevels.fill(0);
    for (tChoiceGlow* g : {&DialogsGlow, &SoundOnGlow, &MusicOnGlow, &AnimateWaterGlow, &FullScreenGlow,
                           &SystemMemoryGlow, &BitBltGlow})
        *g = tChoiceGlow{};
    SlotLevels.fill(0);
}

void DoneSlabDialogs() {}

void LoadSlabDialogGraphicsData()
{
    FindOrLoadDib("Menu_Main.Jpg", true);
    MainMenuSlab = tSprite();
    MainMenuSlab.SetFrame("Menu_Main.Jpg", 0, 0, 392, 366);
    for (const tSlabPicture& p : PageSlabs) {
        FindOrLoadDib(p.Name, false);
        *p.Sprite = tSprite();
        p.Sprite->SetFrame(p.Name, 0, 0, p.Width, p.Height);
    }
    FindOrLoadDib("BaseGfx.jpg", false);
    SliderKnob = tSprite();
    SliderKnob.SetFrame("BaseGfx.jpg", 32, 224, 32, 32);
    GenerateSoundTextDib();
}

void FreeSlabDialogGraphicsData()
{
    MainMenuSlab = tSprite();
    for (const tSlabPicture& p : PageSlabs)
        *p.Sprite = tSprite();
    SliderKnob = tSprite();
    OutputNamesDib.reset();
    for (auto& names : DriverNamesDibs)
        names.reset();
}

void LoadSlabDialogSoundData()
{
    for (const tSampleFile& s : MenuSamples)
        s.Sample->LoadWav(s.Name);
}

void FreeSlabDialogSoundData()
{
    for (const tSampleFile& s : MenuSamples)
        s.Sample->FreeSample();
}

void ResetSlabHighlights()
{
    OptionsLevels.fill(0);
    SoundLevels.fill(0);
    AdvancedSoundLevels.fill(0);
    VideoLevels.fill(0);
    AdvancedVideoLevels.fill(0);
}

void UnloadSlabImages()
{
    for (const char* name : MenuClosePictures)
        if (tDib16* dib = FindDib(name))
            dib->Unload();
}

bool VideoSettingsChanged()
{
    return std::fabs(DisplayBrightness - PendingBrightness) > 0.1f || PendingAnimateWater != !DontAnimateWater ||
           PendingFullScreen != FullScreen || PendingSystemMemoryBackBuffer != SystemMemoryBackBuffer ||
           PendingBitBlt != UseBitBlt;
}

// ---------------------------------------------------------------------------------------
// Name pictures and the strip roll

void GenerateSoundTextDib()
{
    DebugMessage("GenerateSoundTextDib Begins");
    OutputNamesDib = NamesPicture({"NO SOUND", "WAVEOUT", "DIRECTSOUND"}, 58, 54);
    for (size_t output = 0; output < DriverNamesDibs.size(); ++output) {
        std::vector<std::string> names;
        const TStringList& list = SoundDriverNames[output];
        for (int i = 0; i < list.Count(); ++i)
            names.push_back(UpperCased(list[i]));
        DriverNamesDibs[output] = NamesPicture(names, 58, 54);
    }
}

void DrawChoiceRoll(tDib16& oldPicture, int32_t oldY, tDib16& newPicture, int32_t newY, float fraction,
                    int32_t x, int32_t y)
{
    tDib16* target = CurrentDib;
    if (!target)
        return;
    if (!(fraction > 0.0f))  // NaN too
        fraction = 0.0f;
    fraction = std::min(fraction, 1.0f);
    const int32_t e = static_cast<int32_t>(std::nearbyint(static_cast<float>(oldPicture.Width) * fraction));
    const int32_t w = newPicture.Width;
    auto copyRow = [target](tDib16& source, int32_t sourceY, int32_t sourceX, int32_t width, int32_t toX,
                            int32_t toY) {
        if (width > 0 && sourceY >= 0 && sourceY < source.Height)
            target->BlitFrom(source, sourceX, sourceY, width, 1, toX, toY);
    };
    for (int32_t r = 0; r < NameRow; ++r) {
        if (r % 2 == 1) {
            copyRow(oldPicture, oldY + r, 0, e, x + w - e, y + r);
            copyRow(newPicture, newY + r, e, w - e, x, y + r);
        } else {
            copyRow(newPicture, newY + r, 0, w - e, x + e, y + r);
            copyRow(oldPicture, oldY + r, w - e, e, x, y + r);
        }
    }
}

void FadeCreditsEdges()
{
    tDib16* target = CurrentDib;
    if (!target)
        return;
    tDrawScope scope(*target);
    const int32_t left = std::max(159, 0), right = std::min(159 + 320, target->Width);
    for (int32_t i = 0; i < 16; ++i) {
        const int32_t times = i / 2 + 1;
        for (int32_t row : {358 + i, 119 - i}) {
            if (row < 0 || row >= target->Height)
                continue;
            uint16_t* p = target->ScanLine(row);
            for (int32_t x = left; x < right; ++x)
                for (int32_t k = 0; k < times; ++k)
                    p[x] = DarkenTable[p[x]];
        }
    }
}

// ---------------------------------------------------------------------------------------
// The rules of the pages

namespace slab {

void Ramp(float* levels, int count, int selected, float rise, float fall)
{
    for (int i = 0; i < count; ++i)
        levels[i] = i == selected ? std::min(1.0f, levels[i] + rise) : std::max(0.0f, levels[i] - fall);
}

void UpdateChoice(tChoiceGlow& glow, bool on)
{
    float& lit = on ? glow.On : glow.Off;
    float& dim = on ? glow.Off : glow.On;
    lit = std::min(1.0f, lit + 0.05f);
    dim = std::max(0.0f, dim - 0.03f);
}

int HoverItem(const tGameEngine& e, int32_t left, int32_t right, std::initializer_list<tBand> bands)
{
    if (!e.MouseMoved || !Within(e.MouseX, left, right))
        return -1;
    int item = 0;
    for (const tBand& b : bands) {
        if (Within(e.MouseY, b.Top, b.Bottom))
            return item;
        ++item;
    }
    return -1;
}

bool MoveSelection(const tGameEngine& e, uint8_t& selection, int count)
{
    bool moved = false;
    if (Latched(e, aDown)) {
        selection = static_cast<uint8_t>(selection + 1 >= count ? 0 : selection + 1);
        MenuMoveSound.Play();
        moved = true;
    }
    if (Latched(e, aUp)) {
        selection = static_cast<uint8_t>(selection == 0 || selection > count ? count - 1 : selection - 1);
        MenuMoveSound.Play();
        moved = true;
    }
    return moved;
}

void GoTo(tGameEngine& e, uint8_t mode)
{
    e.SetGameMode(mode);
    e.FullRedraw = true;
}

void Back(tGameEngine& e, uint8_t parent)
{
    MenuCloseSound.Play();
    GoTo(e, parent);
}

tClick ClickOrBack(const tGameEngine& e, int32_t left, int32_t top, int32_t right, int32_t bottom)
{
    if (Latched(e, aBack))
        return tClick::Outside;
    if (Latched(e, aClick))
        return MouseIn(e, left, top, right, bottom) ? tClick::Activate : tClick::Outside;
    if (Latched(e, aEnter))
        return tClick::Activate;
    return tClick::None;
}

} // namespace slab
