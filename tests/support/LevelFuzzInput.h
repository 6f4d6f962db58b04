#pragma once
// One input of the level-file and record-file fuzzers, shared by the libFuzzer targets
// and the tests that replay their corpora. Header-only: the bodies need the game library,
// which the shared test support library does not link.
//
// A level input is read as a level file with the test unit kinds registered, played for a
// few turns, and written back; the written text must then read and write back unchanged.
// A record input is loaded; whatever loads must save back as the bytes it came from.
// Each returns false when such a round trip differs (a fault), true otherwise.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "platform/Streams.h"
#include "tesk/game/LevelRecorder.h"
#include "tesk/game/Levels.h"
#include "tests/tesk/game/TestUnits.h"
#include "tests/support/TestGameLevel.h"

inline bool LevelFuzzOneInput(const uint8_t* data, size_t size)
{
    if (size > (1u << 22))
        return true;
    static const bool registered = [] {
        RegisterTestKinds();
        return true;
    }();
    (void)registered;
    tLevel level;
    TestGameLevel useLevel(level);
    bool ok = true;
    try {
        TMemoryStream in;
        in.WriteBuffer(data, static_cast<int32_t>(size));
        in.SetPosition(0);
        try {
            level.LoadFromStream(in);
        } catch (const Exception&) {
            // Refused or half-read; what was read must still play and write.
        }
        level.Restart();
        for (int tick = 0; tick < 24; ++tick) {
            if (tick % 12 == 0) {
                level.BeginTurn();
                level.TakeTurns();
            }
            level.MoveUnits();
            level.FreeDeadTemporaryUnits();
        }
        std::vector<std::string> first;
        level.WriteLevelText(first);
        // Once written, a level reads and writes back to the same text.
        tLevel again;
        again.ReadLevelText(first);
        std::vector<std::string> second;
        again.WriteLevelText(second);
        tLevel third;
        third.ReadLevelText(second);
        std::vector<std::string> last;
        third.WriteLevelText(last);
        ok = last == second;
    } catch (const Exception&) {
        ok = false;
    }
    return ok;
}

inline bool RecordFuzzOneInput(const uint8_t* data, size_t size)
{
    if (size > (1u << 20))
        return true;
    tRecorder recorder;
    TMemoryStream in;
    in.WriteBuffer(data, static_cast<int32_t>(size));
    in.SetPosition(0);
    try {
        recorder.LoadFromStream(in);
    } catch (const Exception&) {
        return recorder.Length() == 0;
    }
    TMemoryStream out;
    recorder.SaveToStream(out);
    const std::string saved = out.DataString();
    recorder.StartPlayback();
    for (int i = 0; i < 8200; ++i)
        recorder.PlayBackValue();
    return saved.size() <= size && std::memcmp(saved.data(), data, saved.size()) == 0;
}
