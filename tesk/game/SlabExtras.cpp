// The instruction pages, the extras group (extras menu, high scores, credits) and the
// spare pages that draw nothing.
#include <algorithm>
#include <cmath>

#include "tesk/game/GameEngine.h"
#include "tesk/game/SlabDialogs.h"
#include "tesk/game/SlabRules.h"

using namespace slab;

const std::array<std::string, 3> ExtrasMenuItems{"INSTRUCTIONS", "HIGHSCORES", "CREDITS"};

namespace {

const char* const InstructionPages[] = {"Instructions(Page1).jpg", "Instructions(Page2).jpg"};
const char* const InstructionButtons = "InstructionButtons.jpg";
const char* const CreditsPicture = "Credits.jpg";

void Release(const char* name)
{
    if (tDib16* dib = FindDib(name))
        dib->Unload();
}

// A button's glow: it rises while the mouse is over its hot area and decays otherwise.
void StepButtonGlow(float& glow, bool over)
{
    glow = std::clamp(over ? glow + 0.075f : glow * 0.9f, 0.0f, 0.95f);
}

void LeaveInstructions(tGameEngine& e)
{
    MenuCloseSound.Play();
    e.SetGameMode(gmMainMenu);
    for (const char* page : InstructionPages)
        Release(page);
    e.FullRedraw = true;
}

// Copies a picture's rectangle to the frame (clipped to both).
void Blit(tDib16& picture, int32_t sx, int32_t sy, int32_t w, int32_t h, int32_t x, int32_t y)
{
    if (CurrentDib)
        CurrentDib->BlitFrom(picture, sx, sy, w, h, x, y);
}

void DrawButton(float glow, int32_t sourceY, int32_t x, int32_t y)
{
    tDib16* buttons = FindOrLoadDib(InstructionButtons, true);
    const int32_t frame = std::clamp(static_cast<int32_t>(glow * 10.0f), 0, 9);
    Blit(*buttons, 48 * frame, sourceY, 48, 32, x, y);
}

} // namespace

// ---------------------------------------------------------------------------------------
// Instruction pages (mode 25)

void tGameEngine::InstructionsStep()
{
    float& page1 = InstructionButtonGlows[0];
    float& buttonA = InstructionButtonGlows[1];
    float& buttonB = InstructionButtonGlows[2];
    const bool anyKey = Input && Input->AnyKey;
    if (InstructionsPage != 2) {
        StepButtonGlow(page1, MouseIn(*this, 584, 443, 616, 464));
        if (Latched(*this, aBack))
            return LeaveInstructions(*this);
        if (anyKey) {
            MenuSelectSound.Play();
            InstructionsPage = 2;
            buttonA = buttonB = 0;
        }
        return;
    }
    const bool overA = MouseIn(*this, 524, 443, 556, 464);
    StepButtonGlow(buttonA, overA);
    StepButtonGlow(buttonB, MouseIn(*this, 581, 443, 611, 461));
    if (Latched(*this, aLeft) || (Latched(*this, aClick) && overA)) {
        MenuSelectSound.Play();
        InstructionsPage = 1;
        page1 = 0;
    } else if (anyKey) {
        LeaveInstructions(*this);
    }
}

void DrawInstructionsSlab()
{
    const bool second = InstructionsPage == 2;
    tDib16* page = FindOrLoadDib(InstructionPages[second ? 1 : 0], true);
    Blit(*page, 0, 0, page->Width, page->Height, 0, 0);
    if (!second) {
        DrawButton(InstructionButtonGlows[0], 0, 577, 438);
    } else {
        DrawButton(InstructionButtonGlows[1], 32, 518, 438);
        DrawButton(InstructionButtonGlows[2], 64, 574, 438);
    }
}

// ---------------------------------------------------------------------------------------
// Extras group (modes 24, 26 and 27)

void tGameEngine::ExtrasMenuStep()
{
    Ramp(ExtrasLevels, ExtrasSelection);
    MoveSelection(*this, ExtrasSelection, 3);
    if (Latched(*this, aBack))
        return Back(*this, gmMainMenu);
    if (!(Latched(*this, aClick) && MouseX > 160 && MouseX < 480) && !Latched(*this, aEnter))
        return;
    switch (ExtrasSelection) {
    case 0:
        InstructionsPage = 1;
        InstructionButtonGlows[0] = 0;
        GoTo(*this, gmInstructions);
        break;
    case 1:
        GoTo(*this, gmHighScores);
        break;
    default:
        CreditsScroll = 0;
        GoTo(*this, gmCredits);
        break;
    }
}

void tGameEngine::HighScoresStep()
{
    if (Latched(*this, aBack))
        Back(*this, gmExtrasMenu);
}

void tGameEngine::CreditsStep()
{
    ++CreditsScroll;
    if (Input && Input->AnyKey) {
        MenuCloseSound.Play();
        Release(CreditsPicture);
        GoTo(*this, gmMainMenu);
    }
}

void DrawCreditsBand()
{
    tDib16* credits = FindOrLoadDib(CreditsPicture, true);
    // The band of the picture in the 270-row window: it enters from below, then scrolls
    // up until its last row has passed the top.
    const int32_t s = CreditsScroll / 2;
    int32_t top = s - 271, offset = 0, height = 270;
    if (top < 0) {
        offset = -top;
        height = 270 + top;
        top = 0;
    }
    height = std::min(height, credits->Height - top);
    if (height > 0)
        Blit(*credits, 0, top, 320, height, 159, 104 + offset);
    else if (s - 271 >= credits->Height)
        CreditsScroll = 2;
}

void DrawCreditsSlab()
{
    CreditsSlab.Draw(320, 240);
    DrawCreditsBand();
    FadeCreditsEdges();
}

void DrawExtrasSlab() {}
void DrawHighScoresSlab() {}
void DrawSpareSlabA() {}
void DrawSpareSlabB() {}
