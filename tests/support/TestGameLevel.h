#pragma once
// Tests and benchmarks that build a level without an engine make it the game level here,
// for the lifetime of the object: the units find their level through GameLevel, which
// otherwise only the engine sets. The edit view (units found at their initial cells)
// belongs to the engine's edit mode alone: a test of it needs an engine.
#include "tesk/game/Levels.h"
#include "tesk/game/Units.h"

class TestGameLevel {
public:
    explicit TestGameLevel(tLevel& level) { GameLevel = &level; }
    ~TestGameLevel() { GameLevel = nullptr; }
    TestGameLevel(const TestGameLevel&) = delete;
    TestGameLevel& operator=(const TestGameLevel&) = delete;
};
