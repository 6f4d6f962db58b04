#include <benchmark/benchmark.h>

#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <memory>
#include <string>

#include "bench/FrameCopyTiming.h"
#include "platform/Fmod.h"
#include "platform/Params.h"
#include "tesk/game/GameEngine.h"
#include "tesk/game/Tiles.h"
#include "tesk/toolkit/Misc.h"
#include "tesk/toolkit/PackageFiles.h"
#include "tests/tesk/game/TestUnits.h"

// One engine tick in play (Step and DrawFrame) on a busy level with the real tile sets
// and background: 120 walking units (the test kinds' tBouncer) with 32 x 32 keyed
// sprites, every one moving every turn. Reported as the median per tick over 1000
// consecutive ticks, beside a copy of the whole frame measured in the same run, and as
// the ratio of the two; once with the incremental game screen as in play and once
// redrawing the whole screen every frame.
namespace {

tSprite WalkerSprite;

std::string BusyLevel()
{
    std::string text =
        "[Misc]\r\nBackground=Morrowfinch.jpg\r\nTileSet=BasicTiles.jpg\r\nOverlayTileSet=BasicOverlay.jpg\r\n"
        "Title=Busy\r\nMusic=\r\n[Tiles]\r\n";
    const auto wall = [](int x, int y) { return x == 0 || x == 15 || y == 0 || y == 14; };
    for (int y = 0; y < 15; ++y)
        for (int x = 0; x < 16; ++x)
            text += std::string(wall(x, y) ? "141" : "081") + (x == 15 ? "\r\n" : ",");
    text += "[MoreTiles]\r\n";
    for (int y = 0; y < 15; ++y)
        for (int x = 0; x < 16; ++x)
            text += std::string(wall(x, y) ? "004100" : "008100") + (x == 15 ? "\r\n" : ",");
    text += "[Overlay]\r\n";
    for (int y = 0; y < 15; ++y)
        for (int x = 0; x < 16; ++x)
            text += std::string(y == 4 && !wall(x, y) ? "021" : "000") + (x == 15 ? "\r\n" : ",");
    text += "[Units]\r\n";
    int placed = 0;
    for (int y = 1; y <= 13 && placed < 120; ++y)
        for (int x = 1; x <= 14 && placed < 120; x += 1) {
            if ((x + y) % 3 == 0)
                continue;
            const char* dir = (y % 2) ? "Right" : "Left";
            text += "Begin Bouncer\r\n   InitialDirection = " + std::string(dir) + "\r\n   InitialX = " +
                    std::to_string(x) + "\r\n   InitialY = " + std::to_string(y) + "\r\nEnd Bouncer\r\n";
            ++placed;
        }
    return text;
}

struct tBenchGame {
    tBenchGame()
    {
        folder = std::filesystem::temp_directory_path() / ("tesk_engine_bench_" + std::to_string(getpid()));
        std::filesystem::create_directories(folder);
        std::ofstream(folder / "Busy.map", std::ios::binary) << BusyLevel();
        SetApplicationDirForTests(folder.string());
        ResetPackageFiles();
        AddPackage(ProgramFolder() + "/../bin/Base.Tarvol");
        FSOUND_SetOutput(FSOUND_OUTPUT_NOSOUND);
        FSOUND_Init(44100, 64, 0);
        frame = std::make_unique<tDib16>(640, 480);
        frame->ClipRect = TRect{0, 0, 640, 480};
        frame->RecordDirtyRects = true;
        frame->SetUseCoverMask(true);
        CurrentDib = frame.get();
        InitGameEngineData();
        CreateTileSprites();
        FindOrLoadDib("SpinningThings.jpg", true);
        WalkerSprite.SetFrame("SpinningThings.jpg", 0, 0, 32, 32);
        tBouncer::Picture = &WalkerSprite;
        RegisterUnitKind("Bouncer", tBouncer::StaticClass(), nullptr);
        engine = std::make_unique<tGameEngine>();
        Engine = engine.get();
        engine->LoadLevel("Busy.map");
        for (int i = 0; i < 200 && engine->GameMode != gmPlaying; ++i) {
            engine->Step();
            engine->DrawFrame();
        }
    }
    ~tBenchGame()
    {
        Engine = nullptr;
        engine.reset();
        FreeTileSprites();
        FreeGameEngineData();
        CurrentDib = nullptr;
        frame.reset();
        FreeAllDibs();
        FSOUND_Close();
        SetApplicationDirForTests(std::nullopt);
        ResetPackageFiles();
        std::error_code ec;
        std::filesystem::remove_all(folder, ec);
    }
    std::filesystem::path folder;
    std::unique_ptr<tDib16> frame;
    std::unique_ptr<tGameEngine> engine;
};

void RunTicks(benchmark::State& state, bool fullRedraw)
{
    tBenchGame game;
    if (game.engine->GameMode != gmPlaying) {
        state.SkipWithError("the level does not start");
        return;
    }
    benchtiming::MeasureBesideFrameCopy(state, 1000, "tick_us", "tick_per_copy", [&](int) {
        if (fullRedraw)
            game.engine->FullRedraw = true;
        game.engine->Step();
        game.engine->DrawFrame();
    });
}

void BM_EngineTickInPlay(benchmark::State& state) { RunTicks(state, false); }
void BM_EngineTickFullRedraw(benchmark::State& state) { RunTicks(state, true); }

}  // namespace

BENCHMARK(BM_EngineTickInPlay)->Iterations(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_EngineTickFullRedraw)->Iterations(1)->Unit(benchmark::kMillisecond);
