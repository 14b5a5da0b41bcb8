// What a frame of gearlab costs on the real OpenGL (Mesa's llvmpipe under a private Xvfb):
// CPU time per frame, the renderer's threads included, for each view of a 10- and a
// 1000-tooth gear cut by the rack and by the pinion cutter, and of ring gears of 60 and 1000
// teeth with a pinion inside, after 1000 steps, from far out to close in. Prints a table; not a test
// of timing, so a busy machine only makes the figures larger.
//   gearlab_frame_benchmark [frames per case]
#include "gearlab.h"
#include "x_harness.h"

#include <GL/freeglut.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <string>

namespace {

double cpuMilliseconds()
{
    timespec t{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return t.tv_sec * 1e3 + t.tv_nsec / 1e6;
}

void ignoreDisplay() {}

struct FrameTimes {
    double mean = 0;
    double most = 0;
};

// Draws the lab's current state `frames` times, each finished on the renderer.
FrameTimes timeFrames(int frames)
{
    FrameTimes times;
    for (int f = 0; f < frames; ++f) {
        const double start = cpuMilliseconds();
        displayLab();
        glFinish();
        const double spent = cpuMilliseconds() - start;
        times.mean += spent / frames;
        times.most = std::max(times.most, spent);
    }
    return times;
}

}  // namespace

int main(int argc, char** argv)
{
    const int frames = argc > 1 ? std::max(1, std::atoi(argv[1])) : 30;
    e2e::XvfbServer server;
    if (!server.running()) {
        std::fprintf(stderr, "gearlab_frame_benchmark: Xvfb did not start\n");
        return 1;
    }
    setenv("DISPLAY", server.display().c_str(), 1);
    setenv("LIBGL_ALWAYS_SOFTWARE", "1", 1);
    int glutArgc = 1;
    glutInitWindowSize(800, 800);
    glutInit(&glutArgc, argv);
    glutInitDisplayMode(GLUT_DOUBLE | GLUT_DEPTH);
    const int window = glutCreateWindow("gearlab benchmark");
    glutDisplayFunc(ignoreDisplay);
    setWhiteBackground();
    reshapeLab(800, 800);
    std::string reason;
    loadUnicodeFont("/usr/share/unifont/unifont_jp.hex", &reason);
    std::printf("renderer: %s\n", reinterpret_cast<const char*>(glGetString(GL_RENDERER)));
    // The first frame of the process compiles the renderer's shaders: counted apart.
    resetLab();
    changeGear(defaultGearParameters(10), 20, 0);
    double start = cpuMilliseconds();
    displayLab();
    glFinish();
    std::printf("first frame of the process: %.2f ms of CPU\n", cpuMilliseconds() - start);
    // The gears measured: cut by the rack, by the pinion cutter, and ring gears with a pinion
    // inside, each small and as large as the lab draws; the mate as large as the pair allows,
    // the heaviest pair.
    struct Case {
        const char* kind;
        int teeth;
        int mateTeeth;
    };
    const Case cases[] = {{"rack", 10, 10},   {"rack", 1000, 1000},   {"pinion", 10, 10},
                          {"pinion", 1000, 1000}, {"ring", 60, 50}, {"ring", 1000, 990}};
    const auto gearOf = [](const Case& c) {
        GearParameters gear = defaultGearParameters(c.teeth);
        if (std::string(c.kind) != "rack") gear.cutter = CutterKind::pinion;
        gear.internal = std::string(c.kind) == "ring";
        return gear;
    };
    // What a key that changes the gear costs before the next frame: the outline, numbers,
    // traces and pair computed again.
    for (const Case& c : cases) {
        resetLab();
        lab.view = 1;
        lab.step = generationSteps;
        lab.mateTeeth = c.mateTeeth;
        start = cpuMilliseconds();
        if (!changeGear(gearOf(c), 20, 0)) std::printf("%s\n", lab.problem.c_str());
        std::printf("regenerating %s z = %d at the last step: %.2f ms of CPU\n", c.kind, c.teeth, cpuMilliseconds() - start);
    }
    std::printf("%7s %6s %5s %10s %10s %10s\n", "cutter", "z", "view", "zoom", "mean ms", "max ms");

    double worst = 0;
    for (const Case& c : cases) {
        for (int view : {1, 2, 3}) {
            for (double zoom : {1e-9, 1.0, 30.0, 1e4, 1e9}) {
                resetLab();
                lab.mateTeeth = c.mateTeeth;
                if (!changeGear(gearOf(c), 20, 0)) continue;
                lab.view = view;
                for (int i = 0; i < 1000; ++i) stepLab();
                lab.zoom = zoom;
                const FrameTimes times = timeFrames(frames);
                worst = std::max(worst, times.most);
                std::printf("%7s %6d %5d %10.0e %10.2f %10.2f\n", c.kind, c.teeth, view, zoom, times.mean, times.most);
            }
        }
    }
    // The finest outline the lab accepts, drawn whole in view 2 and fitted.
    std::printf("%8s %10s %10s %10s\n", "points", "tolerance", "mean ms", "max ms");
    for (double tolerance : {1e-3, 1e-4, 3e-5, 1e-5}) {
        resetLab();
        GearParameters gear = defaultGearParameters(labMostTeeth);
        gear.tolerance = tolerance;
        if (!changeGear(gear, 20, 0)) {
            std::printf("%8s %10.0e %s\n", "-", tolerance, lab.problem.c_str());
            continue;
        }
        lab.view = 2;
        const FrameTimes times = timeFrames(frames);
        worst = std::max(worst, times.most);
        std::printf("%8zu %10.0e %10.2f %10.2f\n", figures.outline.size(), tolerance, times.mean, times.most);
    }
    std::printf("slowest frame: %.2f ms of CPU\n", worst);
    // Let go of the display before the server goes, or freeglut's exit finds it gone.
    glutDestroyWindow(window);
    glutExit();
    return 0;
}
