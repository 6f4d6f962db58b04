#include <benchmark/benchmark.h>

#include <memory>
#include <string>
#include <vector>

#include "bench/FrameCopyTiming.h"
#include "platform/Params.h"
#include "tesk/game/GameEngine.h"
#include "tesk/game/Levels.h"
#include "tesk/game/Players.h"
#include "tesk/game/UnitGraphics.h"
#include "tesk/game/Units.h"
#include "tesk/toolkit/Dib16.h"
#include "tesk/toolkit/PackageFiles.h"

// One frame of the water painter: a playfield of 240 water units (all 16 x 15 cells, so
// every edge template of the square style is in use) drawn into the 640 x 480 frame with
// the real "WaterTemplates.jpg" and "WaterBW.jpg", once as in play (from the third frame
// on half the cells are composed and the other half copied back, alternating) and once
// composing every cell (the first two frames). Reported as the median per frame over 1000
// consecutive frames, beside a copy of the whole frame measured in the same run, and as
// the ratio of the two.
namespace {

struct tWaterBench {
    tWaterBench()
    {
        ResetPackageFiles();
        AddPackage(ProgramFolder() + "/../bin/Base.Tarvol");
        frame = std::make_unique<tDib16>(640, 480);
        frame->ClipRect = TRect{0, 0, 640, 480};
        CurrentDib = frame.get();
        LoadUnitGraphicsData();
        InitGameEngineData();
        InitPlayerData();
        InitUnitData();
        engine = std::make_unique<tGameEngine>();
        Engine = engine.get();
        engine->GameMode = gmPlaying;
        std::string text = "[Units]\r\n";
        for (int y = 0; y < LevelHeight; ++y)
            for (int x = 0; x < LevelWidth; ++x)
                text += "Begin Water\r\n   InitialX = " + std::to_string(x) + "\r\n   InitialY = " + std::to_string(y) +
                        "\r\nEnd Water\r\n";
        engine->Level.ReadLevelText(text);
        engine->Level.Restart();
        for (int32_t i = 0; i < engine->Level.UnitList.Count(); ++i)
            waters.push_back(engine->Level.UnitList[i]);
    }
    ~tWaterBench()
    {
        engine->Level.FreeAllUnits();
        Engine = nullptr;
        engine.reset();
        FreePlayerData();
        FreeUnitData();
        FreeGameEngineData();
        FreeUnitGraphicsData();
        CurrentDib = nullptr;
        frame.reset();
        FreeAllDibs();
        ResetPackageFiles();
    }
    void DrawFrame(int32_t frameCount)
    {
        engine->FrameCount = frameCount;
        engine->TickCount = frameCount;
        for (tUnit* w : waters)
            w->Draw();
    }
    std::unique_ptr<tDib16> frame;
    std::unique_ptr<tGameEngine> engine;
    std::vector<tUnit*> waters;
};

void RunFrames(benchmark::State& state, bool everyCell)
{
    tWaterBench bench;
    if (bench.waters.size() != 240 || !WaterTemplates || WaterGreyMap.Empty()) {
        state.SkipWithError("the water pictures or units are missing");
        return;
    }
    // Frame numbers 0 and 1 compose every cell; later ones half of them.
    benchtiming::MeasureBesideFrameCopy(state, 1000, "water_frame_us", "water_per_copy",
                                        [&](int i) { bench.DrawFrame(everyCell ? i % 2 : 2 + i); });
    benchmark::DoNotOptimize(bench.frame->ScanLine(0)[128]);
}

void BM_WaterFrameInPlay(benchmark::State& state) { RunFrames(state, false); }
void BM_WaterFrameEveryCellComposed(benchmark::State& state) { RunFrames(state, true); }

}  // namespace

BENCHMARK(BM_WaterFrameInPlay)->Iterations(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_WaterFrameEveryCellComposed)->Iterations(1)->Unit(benchmark::kMillisecond);
