// What an outline and its numbers cost as the tooth count grows: the default tolerance,
// module 1, rack A; the same cut by the standard pinion cutter of 25 teeth, and ring gears
// with their rim. The complexity fit shows the cost growing linearly in z.
#include "gear.h"

#include <benchmark/benchmark.h>

namespace {

void OutlineAndNumbers(benchmark::State& state)
{
    const GearParameters gear = defaultGearParameters(static_cast<int>(state.range(0)));
    std::vector<OutlinePoint> outline;
    GearNumbers numbers{};
    std::string reason;
    for (auto _ : state) {
        const bool ok = computeGearNumbers(gear, &numbers, &reason) && computeGearOutline(gear, &outline, &reason);
        if (!ok) state.SkipWithError(reason.c_str());
        benchmark::DoNotOptimize(outline.data());
    }
    state.SetComplexityN(state.range(0));
    state.counters["points"] = static_cast<double>(outline.size());
}

BENCHMARK(OutlineAndNumbers)->RangeMultiplier(10)->Range(10, 10000)->Unit(benchmark::kMillisecond)->Complexity(benchmark::oN);

// The standard pinion cutter's cut, external or a ring gear with its rim: every loop.
template <bool internal>
void PinionCutLoopsAndNumbers(benchmark::State& state)
{
    GearParameters gear = defaultGearParameters(static_cast<int>(state.range(0)));
    gear.cutter = CutterKind::pinion;
    gear.internal = internal;
    std::vector<std::vector<OutlinePoint>> loops;
    GearNumbers numbers{};
    std::string reason;
    for (auto _ : state) {
        if (!computeGearNumbers(gear, &numbers, &reason) || !computeGearLoops(gear, &loops, &reason)) state.SkipWithError(reason.c_str());
        benchmark::DoNotOptimize(loops.data());
    }
    state.SetComplexityN(state.range(0));
    state.counters["points"] = static_cast<double>(loops[0].size() + (internal ? loops[1].size() : 0));
}

BENCHMARK(PinionCutLoopsAndNumbers<false>)->RangeMultiplier(10)->Range(10, 10000)->Unit(benchmark::kMillisecond)->Complexity(benchmark::oN);
BENCHMARK(PinionCutLoopsAndNumbers<true>)->RangeMultiplier(10)->Range(100, 10000)->Unit(benchmark::kMillisecond)->Complexity(benchmark::oN);

}  // namespace

BENCHMARK_MAIN();
