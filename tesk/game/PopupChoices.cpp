// The choices of the death pop-up (mode 35) and of the level-result pop-ups (modes 33
// and 34). Every way out leaves the overlay through EndPopup exactly once, before the
// mode changes or a transition starts, so the mode stack and the snapshot stay balanced.
#include "tesk/game/EndOFLevelPopups.h"
#include "tesk/game/GameEngine.h"
#include "tesk/game/SlabDialogs.h"
#include "tesk/game/SlabRules.h"

using namespace slab;

uint8_t DeathItemSelection = 0;
uint8_t ResultItemSelection = 0;

namespace {

// Death pop-up: items "TRY AGAIN", "GO TO LEVEL...", "MENU".
constexpr int32_t DeathHoverLeft = 205;  // 204 < x < 462
constexpr int32_t DeathHoverRight = 461;
constexpr int32_t DeathBoxLeft = 205, DeathBoxTop = 247, DeathBoxRight = 461, DeathBoxBottom = 356;

// Result pop-ups: "MOVE ON" / "WHO CARES?", "PLAY AGAIN" / "TRY AGAIN", "GO TO LEVEL...",
// "MENU".
constexpr int32_t ResultHoverLeft = 211;  // 210 < x < 446
constexpr int32_t ResultHoverRight = 445;
constexpr int32_t ResultBoxLeft = 210, ResultBoxTop = 236, ResultBoxRight = 449, ResultBoxBottom = 379;

} // namespace

void tGameEngine::DeathPopupStep()
{
    WithSelectionSound(DeathItemSelection, [this] {
        const int hover = HoverItem(*this, DeathHoverLeft, DeathHoverRight, {{249, 281}, {289, 317}, {327, 355}});
        if (hover >= 0)
            DeathItemSelection = static_cast<uint8_t>(hover);
        Ramp(DeathItemGlow, DeathItemSelection);
        MoveSelection(*this, DeathItemSelection, 3);

        uint8_t choice = 0;
        switch (ClickOrBack(*this, DeathBoxLeft, DeathBoxTop, DeathBoxRight, DeathBoxBottom)) {
        case tClick::None: return;
        case tClick::Outside: choice = paMenu; break;
        case tClick::Activate:
            choice = DeathItemSelection == 0 ? paTryAgain : DeathItemSelection == 1 ? paLevelPick : paMenu;
            break;
        }
        // The engine acts on the choice once the reset warp has run.
        EndPopup();
        PendingAction = choice;
        SetGameMode(gmDeathChoiceMade);
    });
}

void tGameEngine::LevelResultPopupStep()
{
    WithSelectionSound(ResultItemSelection, [this] {
        const int hover = HoverItem(*this, ResultHoverLeft, ResultHoverRight,
                                    {{239, 265}, {275, 303}, {313, 343}, {353, 381}});
        if (hover >= 0)
            ResultItemSelection = static_cast<uint8_t>(hover);
        Ramp(ResultItemGlow, ResultItemSelection);
        MoveSelection(*this, ResultItemSelection, 4);

        const auto playAgain = [this] {
            EndPopup();
            RestartRequested = true;
            FullRedraw = true;
        };
        switch (ClickOrBack(*this, ResultBoxLeft, ResultBoxTop, ResultBoxRight, ResultBoxBottom)) {
        case tClick::None: return;
        case tClick::Outside:
            MenuCloseSound.Play();
            playAgain();
            return;
        case tClick::Activate: break;
        }
        MenuSelectSound.Play();
        switch (ResultItemSelection) {
        case 0:
            EndPopup();
            StartTransition(gmNextUnsolvedLevel);
            break;
        case 1: playAgain(); break;
        default:
            // Leaving the level: to the level pick (2) or the main menu (3).
            EndPopup();
            GameRunning = false;
            if (CurrentDib)
                CurrentDib->CoverMaskActive = false;
            StartTransition(ResultItemSelection == 2 ? gmLevelPick : gmMainMenu);
            break;
        }
    });
}
