#pragma once
// Shared set-up of the unit-kind tests: the built data package in a scratch program
// folder, the hero and unit pictures loaded once per test suite, the kinds registered,
// and per test a fresh engine (the global Engine and GameLevel), a 640 x 480 frame as the
// drawing target and a fixed random seed. Helpers place units, step the level's passes
// the way the turn loop does, and press keys.
#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

#include "tesk/game/GameEngine.h"
#include "tesk/game/LevelRecorder.h"
#include "tesk/game/Settings.h"
#include "tesk/game/Players.h"
#include "tesk/game/UnitGraphics.h"
#include "tesk/game/Units.h"
#include "tesk/game/WaterPainter.h"
#include "tesk/toolkit/Dib16.h"
#include "tesk/toolkit/PackageFiles.h"
#include "tesk/toolkit/Random.h"
#include "tests/support/ScratchProgram.h"

class UnitSuite : public ::testing::Test {
public:
    // Mounts the package and loads every picture; loose files written into Program()
    // before LoadAll override the packaged ones.
    static void SetUpTestSuite()
    {
        DisplayBrightness = 1.0f;
        SetPixelFormat(0xF800, 0x07E0, 0x001F);
        Is565 = true;
        FProgram = new ScratchProgramDir();
        FOverride = new ProgramDirOverride(FProgram->Path());
        AddPackage(FProgram->Path() + "/Base.Tarvol");
        LoadAll();
    }
    static void TearDownTestSuite()
    {
        FreeAll();
        delete FOverride;
        delete FProgram;
        FOverride = nullptr;
        FProgram = nullptr;
        Is565 = false;
        DisplayBrightness = 1.1f;
        SetPixelFormat(0xF800, 0x07E0, 0x001F);
    }
    // The start-up order of the pictures, sounds and registry (sounds are not loaded).
    static void LoadAll()
    {
        LoadGameEngineGraphicsData();
        LoadPlayerGraphicsData();
        LoadUnitGraphicsData();
        InitGameEngineData();
        InitPlayerData();
        InitUnitData();
    }
    // The teardown's part of the hero and the unit kinds.
    static void FreeAll()
    {
        FreePlayerData();
        FreeUnitData();
        FreeGameEngineData();
        FreePlayerGraphicsData();
        FreeUnitGraphicsData();
        FreeAllDibs();
    }
    static const ScratchProgramDir& Program() { return *FProgram; }

protected:
    void SetUp() override
    {
        SetRandomSeed(16);
        Eng = std::make_unique<tGameEngine>();
        Engine = Eng.get();
        Eng->GameMode = gmPlaying;
        Eng->LookAheadPlayer = &LookAhead;
        Frame = std::make_unique<tDib16>(FrameWidth, FrameHeight);
        Frame->ClipRect = TRect{0, 0, FrameWidth, FrameHeight};
        CurrentDib = Frame.get();
        TicksPerTurn = 12;
        TickInTurn = 0;
        TurnFraction = 0;
        PlayfieldX = 128;
        ClearCarriedUnits();
    }
    void TearDown() override
    {
        CurrentDib = nullptr;
        Frame.reset();
        Engine = nullptr;
        Eng.reset();
        Recorder.Clear();
        FrameByTickAnimation = true;
        DontAnimateWater = false;
        TicksPerTurn = 12;
    }

    tLevel& Level() { return Eng->Level; }
    // A unit of the class at (x, y), reset and added to the level.
    template <class T>
    T* Put(int32_t x, int32_t y)
    {
        auto u = std::make_unique<T>();
        u->SetInitialX(x);
        u->SetInitialY(y);
        T* raw = u.get();
        Level().AddUnit(std::move(u));
        raw->Reset();
        return raw;
    }
    // A level read from [Units] blocks, restarted as the engine does.
    void ReadUnits(const std::string& blocks)
    {
        Level().ReadLevelText("[Units]\r\n" + blocks);
        Restart();
    }
    void Restart()
    {
        ClearCarriedUnits();
        Eng->TickCount = Eng->TurnCount = Eng->FrameCount = Eng->LevelTicks = 0;
        TickInTurn = 0;
        TurnFraction = 0;
        Level().Restart();
    }
    // One tick of the turn loop in the playing and dying modes: the turn timing, the
    // boundary steps (the turns only while playing), the units' moves or death
    // animation, the latches, and a restart when a reset warp has played.
    void Tick()
    {
        const uint8_t mode = Eng->GameMode;
        ++Eng->TickCount;
        if (mode == gmPlaying || mode == gmDying) {
            ++Eng->LevelTicks;
            TickInTurn = Eng->LevelTicks % TicksPerTurn;
            TurnFraction = static_cast<float>(TickInTurn) / static_cast<float>(TicksPerTurn);
        }
        if (TickInTurn == 0) {
            Level().BeginTurn();
            Eng->PreviousInput2.Assign(Eng->PreviousInput);
            Eng->PreviousInput.Assign(Eng->LiveInput);
            if (mode == gmPlaying)
                Level().TakeTurns();
            Eng->Input->ClearLatched(TurnActions);
            ++Eng->TurnCount;
        }
        if (mode == gmDying || mode == gmDead || mode == gmDeathChoiceMade || mode == gmResetWarp)
            Level().DeathAnimUnits();
        else
            Level().MoveUnits();
        Level().FreeDeadTemporaryUnits();
        Eng->LiveInput.ClearLatched(mode == gmPlaying && Eng->GameMode == gmPlaying ? 2 : AllActions);
        if (Eng->ResetWarpDone) {
            Eng->ResetWarpDone = false;
            ++WarpsDone;
            Restart();
            Eng->GameMode = gmPlaying;
        }
    }
    void Ticks(int n)
    {
        for (int i = 0; i < n; ++i)
            Tick();
    }
    // Ticks up to and including the next turn boundary.
    void Turn()
    {
        do
            Tick();
        while (TickInTurn != 0);
    }
    void Turns(int n)
    {
        for (int i = 0; i < n; ++i)
            Turn();
    }
    void Draw()
    {
        ++Eng->FrameCount;
        Level().DrawUnits();
    }
    void FillFrame(uint16_t v)
    {
        for (int y = 0; y < Frame->Height; ++y)
            std::fill(Frame->ScanLine(y), Frame->ScanLine(y) + Frame->Width, v);
    }
    void Press(int action) { Eng->LiveInput.Press(action); }
    void Release(int action) { Eng->LiveInput.Release(action); }
    // A [Units] block of the kind with the properties given, one a line.
    static std::string Block(const std::string& kind, const std::vector<std::string>& props)
    {
        std::string out = "Begin " + kind + "\r\n";
        for (const std::string& p : props)
            out += "   " + p + "\r\n";
        return out + "End " + kind + "\r\n";
    }
    // A block of the kind at (x, y), with more properties after the cell.
    static std::string Block(const std::string& kind, int32_t x, int32_t y, const std::vector<std::string>& more = {})
    {
        std::vector<std::string> props{"InitialX = " + std::to_string(x), "InitialY = " + std::to_string(y)};
        props.insert(props.end(), more.begin(), more.end());
        return Block(kind, props);
    }
    // The first unit of the class on the level's list (null when there is none), and all.
    template <class T>
    T* First()
    {
        for (int32_t i = 0; i < Level().UnitList.Count(); ++i)
            if (auto* u = dynamic_cast<T*>(Level().UnitList[i]))
                return u;
        return nullptr;
    }
    template <class T>
    std::vector<T*> All()
    {
        std::vector<T*> out;
        for (int32_t i = 0; i < Level().UnitList.Count(); ++i)
            if (auto* u = dynamic_cast<T*>(Level().UnitList[i]))
                out.push_back(u);
        return out;
    }
    int32_t CountOf(TClass cls) const
    {
        int32_t n = 0;
        for (int32_t i = 0; i < Eng->Level.UnitList.Count(); ++i)
            n += Eng->Level.UnitList[i]->ClassType() == cls ? 1 : 0;
        return n;
    }

    std::unique_ptr<tGameEngine> Eng;
    std::unique_ptr<tDib16> Frame;
    tOOTPlayer LookAhead;
    int WarpsDone = 0;

private:
    static inline ScratchProgramDir* FProgram = nullptr;
    static inline ProgramDirOverride* FOverride = nullptr;
};
