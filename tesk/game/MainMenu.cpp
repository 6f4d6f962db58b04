// The main menu (mode 13): six items on the "Menu_Main.Jpg" slab, picked with the arrow
// keys, Enter or the mouse. Item 0 ("BACK TO GAME") exists only while a game runs behind
// the menu; every way back to that game leaves the overlay through CloseMenu exactly
// once. The other items stay inside the overlay: the option and instruction pages, the
// level pick, the help page and the exit.
#include <algorithm>

#include "tesk/game/EngineParts.h"
#include "tesk/game/Fonts.h"
#include "tesk/game/GameEngine.h"
#include "tesk/game/SlabDialogs.h"
#include "tesk/game/SlabRules.h"

using namespace slab;

std::array<std::string, 6> MainMenuItems{"BACK TO GAME", "START GAME", "OPTIONS", "INSTRUCTIONS", "HELP PAGE",
                                         "EXIT PROGRAM"};

namespace {

constexpr int32_t ItemCount = 6;
constexpr int32_t LastItem = ItemCount - 1;

// Item rows: item i is centred on (320, 170 + 38 i).
constexpr int32_t ItemsX = 320;
constexpr int32_t FirstItemY = 170;
constexpr int32_t RowHeight = 38;
// The hover band (160 < x < 480) and the rows' origin: the row under the pointer is
// (y - 132) div 38, truncated toward zero.
constexpr int32_t HoverLeft = 161;
constexpr int32_t HoverRight = 479;
constexpr int32_t HoverOriginY = 132;
// The click box: a left click inside activates the selected item, outside it goes back
// to the game.
constexpr int32_t BoxLeft = 161, BoxTop = 130, BoxRight = 479, BoxBottom = 394;
// The marks beside "BACK TO GAME" and "OPTIONS".
constexpr int32_t BackMarkX = 170;
constexpr int32_t OptionsMarkX = 416;

// The row under the pointer when it moved this tick inside the band, else -1. Row 0 is
// taken only while a game runs.
int HoveredRow(const tGameEngine& e)
{
    if (!e.MouseMoved || !Within(e.MouseX, HoverLeft, HoverRight))
        return -1;
    // Wide arithmetic: the pointer may lie anywhere, far outside the frame.
    const int64_t row = (static_cast<int64_t>(e.MouseY) - HoverOriginY) / RowHeight;
    if (row < 0 || row > LastItem)
        return -1;
    if (row == 0 && !e.GameRunning)
        return -1;
    return static_cast<int>(row);
}

void EnterOptions(tGameEngine& e)
{
    e.SetGameMode(gmOptions);
    OptionsSelection = 0;
    e.FullRedraw = true;
}

void EnterInstructions(tGameEngine& e)
{
    e.SetGameMode(gmInstructions);
    InstructionsPage = 1;
    InstructionButtonGlows[0] = 0;
    e.FullRedraw = true;
}

} // namespace

void tGameEngine::MainMenuStep()
{
    for (int i = 0; i < ItemCount; ++i)
        MenuItemGlow[static_cast<size_t>(i)] = i == MenuItem ? std::min(800, MenuItemGlow[static_cast<size_t>(i)] + 30)
                                                             : std::max(0, MenuItemGlow[static_cast<size_t>(i)] - 20);

    const int row = HoveredRow(*this);
    if (row >= 0 && row != MenuItem) {
        MenuMouseMoveSound.Play();
        MenuItem = static_cast<uint8_t>(row);
    }

    if (Latched(*this, aLeft) && GameRunning && MenuItem == 0)
        return CloseMenu();
    if (Latched(*this, aRight) && MenuItem == 2) {
        MenuSelectSound.Play();
        return EnterOptions(*this);
    }
    if (Latched(*this, aDown)) {
        MenuItem = static_cast<uint8_t>(MenuItem >= LastItem ? 0 : MenuItem + 1);
        MenuMoveSound.Play();
        if (!GameRunning && MenuItem == 0)
            MenuItem = 1;
    }
    if (Latched(*this, aUp)) {
        MenuItem = static_cast<uint8_t>(MenuItem == 0 || MenuItem > LastItem ? LastItem : MenuItem - 1);
        MenuMoveSound.Play();
        if (!GameRunning && MenuItem == 0)
            MenuItem = LastItem;
    }

    const bool click = Latched(*this, aClick);
    const bool inside = MouseIn(*this, BoxLeft, BoxTop, BoxRight, BoxBottom);
    if (click && !inside && GameRunning) {
        MenuSelectSound.Play();
        return CloseMenu();
    }
    // Without a game a click outside the box does nothing; Enter in the same tick still
    // activates the selected item.
    if (!(click && inside) && !Latched(*this, aEnter))
        return;
    MenuSelectSound.Play();
    switch (MenuItem) {
    case 0:
        if (GameRunning)
            CloseMenu();
        break;
    case 1: SetGameMode(gmLevelPick); break;
    case 2: EnterOptions(*this); break;
    case 3: EnterInstructions(*this); break;
    case 4: WebLinkRequested = true; break;
    case 5: StartTransition(gmExitProgram); break;
    default: break;
    }
}

void tGameEngine::DrawMainMenu()
{
    tDib16* frame = CurrentDib;
    if (!frame)
        return;
    // The slab reaches over the side panel's edge: draw over the whole frame, and give
    // the playfield its clip back on every way out.
    engine_parts::tRestore<TRect> clip(frame->ClipRect, TRect{0, 0, frame->Width, frame->Height});
    MainMenuSlab.Draw(frame->Width / 2, frame->Height / 2);
    for (int i = 0; i < ItemCount; ++i) {
        if (i == 0 && !GameRunning)
            continue;
        const int32_t y = FirstItemY + RowHeight * i;
        const int32_t glow = MenuItemGlow[static_cast<size_t>(i)] / 25;
        DrawMenuTextCentred(ItemsX, y, MainMenuItems[static_cast<size_t>(i)], glow);
        if (i == 0)
            DrawMenuTextCentred(BackMarkX, y, "<", glow);
        else if (i == 2)
            DrawMenuTextCentred(OptionsMarkX, y, ">", glow);
    }
}
