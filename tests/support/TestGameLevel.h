#pragma once
// Tests and benchmarks that build a level without an engine make it the game level here,
// for the lifetime of the object: the units find their level through GameLevel, which
// otherwise only the engine sets. The edit view (units found at their initial cells)
// follows the engine's edit mode in the game; here it is set directly.
#include "tesk/game/Levels.h"
#include "tesk/game/Units.h"

class TestGameLevel {
public:
    explicit TestGameLevel(tLevel& level, bool editView = false)
    {
        GameLevel = &level;
        FindUnitsAtInitialCells = editView;
    }
    ~TestGameLevel()
    {
        GameLevel = nullptr;
        FindUnitsAtInitialCells = false;
    }
    TestGameLevel(const TestGameLevel&) = delete;
    TestGameLevel& operator=(const TestGameLevel&) = delete;

    static void SetEditView(bool on) { FindUnitsAtInitialCells = on; }
};
