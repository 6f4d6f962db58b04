#pragma once
// The side panel: the left strip of the frame (x 0..127) with the level title, the key
// and gem counters, the level number and the menu button that opens the in-game menu.
// The engine and the units write its globals; the panel redraws only what changed.
#include <string>

#include "platform/Types.h"

// Written by the engine (the title, or "Untitled Level"; the 3-character number).
extern std::string LevelTitleText;
extern std::string LevelNumberText;
// Set when the menu button was clicked; the engine opens the menu and clears it.
extern bool SidePanelMenuClicked;
// The menu button's hover and press state (the engine clears them when a menu opens).
extern bool MenuButtonOver;
extern bool MenuButtonPressedInside;

// The next redraw draws every element.
void InvalidateSidePanel();
// Copies the whole panel picture to the frame at (0, 0).
void DrawSidePanelBackground();
// Redraws the changed elements into the frame.
void RedrawSidePanel();
// The menu button's mouse step: the pointer in frame pixels, whether the left button was
// newly pressed this tick and whether it is held.
void UpdateSidePanelMouse(TPoint point, bool newlyPressed, bool held);

void InitSidePanel();
void DoneSidePanel();
void LoadSidePanelGraphicsData();
void FreeSidePanelGraphicsData();
void LoadSidePanelSoundData();
void FreeSidePanelSoundData();
