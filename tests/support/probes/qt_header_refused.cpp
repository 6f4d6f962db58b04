// Compiled with the game library's include path by a build test: must not find Qt.
#include <QObject>
#include "tesk/game/GameEngine.h"
