// What the console trace costs: a frame of mode '4' at step 50 (51 racks, 2,550 trace lines),
// drawn through the recording stand-in, with the trace going to a file, to /dev/null, and
// switched off.
#include "cutdemo1.h"
#include "gl_standin.h"

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <string>
#include <unistd.h>

namespace {

void startModeFourAtStepFifty()
{
    useRackEdition(cutdemo1Edition);
    rackGear = makeRackGear(20);
    generatePhiTables(rackGear, &rackTables, &phiRack);
    rackView = RackView{'4', 0, 0, 0, wholeToothLastStep, 0.5};
    glstub::reset();
}

// Draws the frame again and again; the step stays at 50, so every frame is the same.
void drawFrames(benchmark::State& state, std::FILE* sink)
{
    startModeFourAtStepFifty();
    std::FILE* saved = rackTrace.sink;
    rackTrace.sink = sink;
    for (auto _ : state) {
        displayCutdemo1();
        state.PauseTiming();
        glstub::clearLog();  // the stand-in keeps what it records
        state.ResumeTiming();
    }
    rackTrace.sink = saved;
    state.SetLabel(sink ? "2550 trace lines" : "no trace");
}

void ModeFourFrame_TraceToFile(benchmark::State& state)
{
    char name[] = "/tmp/cutdemo1-trace-XXXXXX";
    const int fd = mkstemp(name);
    std::FILE* file = fdopen(fd, "w");
    drawFrames(state, file);
    std::fclose(file);
    unlink(name);
}

void ModeFourFrame_TraceToDevNull(benchmark::State& state)
{
    std::FILE* devNull = std::fopen("/dev/null", "w");
    drawFrames(state, devNull);
    std::fclose(devNull);
}

void ModeFourFrame_TraceOff(benchmark::State& state) { drawFrames(state, nullptr); }

BENCHMARK(ModeFourFrame_TraceToFile)->Unit(benchmark::kMillisecond);
BENCHMARK(ModeFourFrame_TraceToDevNull)->Unit(benchmark::kMillisecond);
BENCHMARK(ModeFourFrame_TraceOff)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
