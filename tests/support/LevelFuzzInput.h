#pragma once
// One input of the level-file and record-file fuzzers, shared by the libFuzzer targets
// and the tests that replay their corpora. Header-only: the bodies need the game library,
// which the shared test support library does not link.
//
// A level input is read as a level file with the game's own unit kinds registered (the
// hero kinds and every kind of the unit module, so their constructors and property
// setters see the input) beside the test kinds "Sign", "Block" and "Walker", played for a
// few turns, and written back; the written text must then read and write back unchanged.
// A record input is loaded; whatever loads must save back as the bytes it came from.
// Each returns false when such a round trip differs (a fault), true otherwise.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <cstring>
#include <string>
#include <vector>

#include "platform/Graphics.h"
#include "platform/Streams.h"
#include "tesk/game/LevelRecorder.h"
#include "tesk/game/Levels.h"
#include "tesk/game/Players.h"
#include "tesk/game/PopUpForm.h"
#include "tesk/game/Units.h"
#include "tesk/toolkit/PackageFiles.h"
#include "tests/tesk/game/TestUnits.h"
#include "tests/support/ScratchDir.h"
#include "tests/support/TestGameLevel.h"

// The unit-kind registry of the level fuzzer: InitPlayerData and InitUnitData as the
// program runs them, then the test kinds. The unit module's set-up reads the water grey
// map "WaterBW.jpg" through the data files; the fuzzer brings its own, a 64 x 1920
// picture made here and found as a loose file in a scratch program folder for the one
// call. Made once per process; a test that replaced the registry meanwhile gets it back.
inline void UseLevelFuzzKinds()
{
    static const std::vector<tUnitRecord> kinds = [] {
        UnitKinds.clear();
        InitPlayerData();
        {
            ScratchDir dir;
            TBitmap grey;
            grey.SetPixelFormat(pf24bit);
            grey.SetSize(64, 64 * 30);
            for (int32_t y = 0; y < grey.Height(); ++y) {
                uint8_t* row = grey.ScanLine(y);
                for (int32_t x = 0; x < 3 * grey.Width(); ++x)
                    row[x] = static_cast<uint8_t>(x / 3 * 2 + y);
            }
            dir.Write("WaterBW.jpg", EncodeJpeg(grey));
            ResetPackageFiles(dir.Path());
            try {
                InitUnitData();
            } catch (...) {
                ResetPackageFiles();
                throw;
            }
            ResetPackageFiles();
        }
        RegisterUnitKind("Sign", tTestSign::StaticClass(), nullptr);
        RegisterUnitKind("Block", tTestBlock::StaticClass(), nullptr);
        RegisterUnitKind("Walker", tTestWalker::StaticClass(), nullptr);
        return UnitKinds;
    }();
    const bool same = UnitKinds.size() == kinds.size() &&
                      std::equal(kinds.begin(), kinds.end(), UnitKinds.begin(), [](const tUnitRecord& a, const tUnitRecord& b) {
                          return a.Name == b.Name && a.UnitClass == b.UnitClass;
                      });
    if (!same)
        UnitKinds = kinds;
}

inline bool LevelFuzzOneInput(const uint8_t* data, size_t size)
{
    if (size > (1u << 22))
        return true;
    UseLevelFuzzKinds();
    // A sign whose picture exists would open the modal pop-up: record nothing instead.
    struct tNoPopUps {
        decltype(PopUpShowHook) Saved = PopUpShowHook;
        tNoPopUps() { PopUpShowHook = [](const std::string&, TPoint, const std::string&) {}; }
        ~tNoPopUps() { PopUpShowHook = Saved; }
    } noPopUps;
    ClearCarriedUnits();
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
