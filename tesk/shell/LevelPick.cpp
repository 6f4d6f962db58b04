// The level-pick screen of the main window. For now it shows nothing and the keys do
// nothing; the game stays in the pick mode until something else changes it.
#include "tesk/shell/Unit1.h"

void TForm1::CreateLevelPickButtons() {}
void TForm1::LayoutLevelPickButtons() {}
void TForm1::ShowLevelPickScreen() {}
void TForm1::HideLevelPickScreen() {}
void TForm1::RepaintLevelButton(int32_t) {}
void TForm1::LevelPickKeyDown(WORD&, TShiftState) {}
void TForm1::LevelPickKeyPress(char&) {}
bool TForm1::LevelPickScreenVisible() const { return false; }
