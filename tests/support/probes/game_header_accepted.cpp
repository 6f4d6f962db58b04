// Compiled with the game library's include path by a build test: the game's own headers
// are all it needs.
#include "tesk/game/GameEngine.h"
#include "tesk/shell/Unit1.h"
