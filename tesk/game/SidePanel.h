#pragma once
// The side panel: the left strip of the frame (x 0..127) with the level title, the key
// and gem counters, the level number and the menu button that opens the in-game menu.
// The engine and the units write its globals; the panel redraws only what changed.
#include <string>
#include <vector>

#include "platform/Graphics.h"
#include "platform/Types.h"

// Written by the engine (the title, or "Untitled Level"; the 3-character number).
extern std::string LevelTitleText;
extern std::string LevelNumberText;
// Set when the menu button was clicked; the engine opens the menu and clears it.
extern bool SidePanelMenuClicked;
// The menu button's hover and press state (the engine clears them when a menu opens).
extern bool MenuButtonOver;
extern bool MenuButtonPressedInside;
// The button's highlight, 0..1: it climbs while the pointer is over the button.
extern float MenuButtonGlow;

// The next redraw draws every element, whatever the caches hold.
void InvalidateSidePanel();
// Copies the panel picture to the frame's panel strip at (0, 0).
void DrawSidePanelBackground();
// Redraws the changed elements into the frame (CurrentDib); the frame's clip rectangle
// is the playfield (128, 0)-(640, 480) afterwards, also when a picture fails to load.
void RedrawSidePanel();
// The menu button's mouse step: the pointer in frame pixels, whether the left button was
// newly pressed this tick and whether it is held.
void UpdateSidePanelMouse(TPoint point, bool newlyPressed, bool held);

// The pieces of the redraw, drawing with a canvas attached to the frame's device context.
// Wraps the title into lines narrower than 116 pixels in the canvas's font; a word that
// is wider on its own gets a line of its own.
void WrapSidePanelMessage(TCanvas& canvas, const std::string& text);
// The wrapped lines, centred on the panel around y 150; lines outside the panel are not
// drawn.
void DrawSidePanelMessage(TCanvas& canvas);
// Text centred on (x, y) over its rectangle restored from the panel picture, all of it
// clipped to the panel strip.
void DrawSidePanelText(TCanvas& canvas, int32_t x, int32_t y, const std::string& text);
// The three level-number digits of LevelNumberText at (80 + 14 j, 80).
void DrawLevelNumber();
// The lines of the last wrap.
const std::vector<std::string>& SidePanelMessageLines();

void InitSidePanel();
void DoneSidePanel();
void LoadSidePanelGraphicsData();
void FreeSidePanelGraphicsData();
void LoadSidePanelSoundData();
void FreeSidePanelSoundData();
