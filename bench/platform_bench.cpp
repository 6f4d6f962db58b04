#include <benchmark/benchmark.h>

#include "platform/Exceptions.h"

// Cost of raising and catching one of the programs' exceptions.
static void BM_RaiseAndCatch(benchmark::State& state)
{
    for (auto _ : state) {
        try {
            throw Exception("File is not Zip file.");
        } catch (const Exception& e) {
            benchmark::DoNotOptimize(e.Message().size());
        }
    }
}
BENCHMARK(BM_RaiseAndCatch);
