#include "tesk/game/GameEngine.h"

std::array<std::string, 6> MainMenuItems{"BACK TO GAME", "START GAME", "OPTIONS", "INSTRUCTIONS", "HELP PAGE",
                                         "EXIT PROGRAM"};

void tGameEngine::MainMenuStep() {}
void tGameEngine::DrawMainMenu() {}
