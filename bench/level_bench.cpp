#include <benchmark/benchmark.h>

#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <fstream>

#include "platform/StringList.h"
#include "tesk/game/Levels.h"
#include "tesk/toolkit/PackageFiles.h"
#include "tests/support/TestGameLevel.h"

// Level loading and one turn over 300 units, each beside a plain split of the same text
// into lines.
namespace {

class tBenchWalker : public tUnit {
    TP_CLASS(tBenchWalker)
public:
    tDirection GetInitialDirection() const { return InitialDirection; }
    void SetInitialDirection(tDirection d) { InitialDirection = d; }
    void TakeTurn() override
    {
        const tCellDelta d = DirectionDelta[Direction];
        if (CanEnter(CellX + d.DX, CellY + d.DY))
            StartMoveOn();
        else
            Direction = static_cast<tDirection>((Direction + 1) & 3);
    }
};

}  // namespace

TP_CLASS_INFO(tBenchWalker, tUnit,
              OrdProp("InitialDirection", &TypeInfo_tDirection, &tBenchWalker::GetInitialDirection,
                      &tBenchWalker::SetInitialDirection))

namespace {

struct BenchLevel {
    BenchLevel()
    {
        UnitKinds.clear();
        RegisterUnitKind("Player", tBenchWalker::StaticClass(), nullptr);
        RegisterUnitKind("Walker", tBenchWalker::StaticClass(), nullptr);
        tLevel level;
        TestGameLevel useLevel(level);
        for (int i = 0; i < 300; ++i) {
            auto u = std::make_unique<tBenchWalker>();
            u->SetInitialX(i % 16);
            u->SetInitialY((i / 16) % 15);
            u->InitialDirection = static_cast<tDirection>(i & 3);
            level.AddUnit(std::move(u));
        }
        for (int x = 0; x < 16; ++x)
            level.Cell(x, 7).Solid = static_cast<uint8_t>(x % 3 == 0);
        folder = std::filesystem::temp_directory_path() / ("tesk_level_bench_" + std::to_string(getpid()));
        std::filesystem::create_directories(folder);
        level.SaveToFile((folder / "Bench.map").string());
        std::ifstream in(folder / "Bench.map", std::ios::binary);
        text.assign(std::istreambuf_iterator<char>(in), {});
        ResetPackageFiles(folder.string());
    }
    ~BenchLevel()
    {
        ResetPackageFiles();
        std::error_code ec;
        std::filesystem::remove_all(folder, ec);
    }
    std::filesystem::path folder;
    std::string text;
};

BenchLevel& Bench()
{
    static BenchLevel b;
    return b;
}

void BM_SplitLevelTextIntoLines(benchmark::State& state)
{
    const std::string& text = Bench().text;
    for (auto _ : state) {
        TStringList lines;
        lines.SetText(text);
        benchmark::DoNotOptimize(lines.Count());
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(text.size()));
}
BENCHMARK(BM_SplitLevelTextIntoLines);

void BM_LoadLevelWith300UnitsFromPackagedFile(benchmark::State& state)
{
    Bench();
    tLevel level;
    for (auto _ : state) {
        level.LoadFromFile("Bench.map");
        benchmark::DoNotOptimize(level.UnitList.Count());
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(Bench().text.size()));
}
BENCHMARK(BM_LoadLevelWith300UnitsFromPackagedFile);

void BM_TurnPassOver300Units(benchmark::State& state)
{
    Bench();
    tLevel level;
    TestGameLevel useLevel(level);
    level.LoadFromFile("Bench.map");
    level.Restart();
    for (auto _ : state) {
        level.BeginTurn();
        level.TakeTurns();
        level.MoveUnits();
    }
}
BENCHMARK(BM_TurnPassOver300Units);

}  // namespace
