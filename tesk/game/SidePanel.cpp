#include "tesk/game/SidePanel.h"

std::string LevelTitleText;
std::string LevelNumberText = "  1";
bool SidePanelMenuClicked = false;
bool MenuButtonOver = false;
bool MenuButtonPressedInside = false;

void InvalidateSidePanel() {}
void DrawSidePanelBackground() {}
void RedrawSidePanel() {}
void UpdateSidePanelMouse(TPoint, bool, bool) {}

void InitSidePanel() {}
void DoneSidePanel() {}
void LoadSidePanelGraphicsData() {}
void FreeSidePanelGraphicsData() {}
void LoadSidePanelSoundData() {}
void FreeSidePanelSoundData() {}
