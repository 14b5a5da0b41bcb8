// The frame benchmark: every scene drawn again and again through real Mesa under a private
// Xvfb, with the CPU time of each frame (display handler and glFinish, all of the process's
// threads, so llvmpipe's too). Not a test: it reports and never fails on a figure.
//
//   frame_benchmark [--frames N] [NAME-PART]   median and worst ms per frame of each scene
//                                              (a whole scene name: that scene alone)
//   frame_benchmark --capture DIR              one PNG per scene, DIR/<scene>.png
//   frame_benchmark --memory STEPS [NAME-PART] resident memory over STEPS steps of the soaks
//   frame_benchmark --list                     the scene names, one a line
//   frame_benchmark --scenes                   each scene a line: name program z mode step 'W' presses
#include "frame_scenes.h"

#include <GL/gl.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <string>
#include <unistd.h>
#include <vector>

namespace {

constexpr double secondsPerScene = 3.0;  // CPU time after which a scene stops early
constexpr int fewestFrames = 5;

double cpuMilliseconds()
{
    timespec t{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return t.tv_sec * 1e3 + t.tv_nsec / 1e6;
}

double residentMegabytes()
{
    long pages = 0, resident = 0;
    std::FILE* statm = std::fopen("/proc/self/statm", "r");
    if (!statm) return 0;
    if (std::fscanf(statm, "%ld %ld", &pages, &resident) != 2) resident = 0;
    std::fclose(statm);
    return resident * static_cast<double>(sysconf(_SC_PAGESIZE)) / (1024 * 1024);
}

// The frames that lead up to the scene, one step each as a held 's' draws them, so that
// what a program keeps from frame to frame is kept here too; the last is the scene's own.
void timeScene(const FrameScene& scene, int frames)
{
    constexpr int warmUps = 2;
    FrameScene lead = scene;
    lead.step = std::max(0, scene.step - (warmUps + frames - 1));
    setUpScene(lead);
    std::vector<double> ms;
    for (int warmUp = 0; warmUp < warmUps; ++warmUp) {
        drawSceneFrame(scene);
        glFinish();
    }
    double total = 0;
    for (int i = 0; i < frames && (i < fewestFrames || total < secondsPerScene * 1e3); ++i) {
        const double start = cpuMilliseconds();
        drawSceneFrame(scene);
        glFinish();
        ms.push_back(cpuMilliseconds() - start);
        total += ms.back();
    }
    std::sort(ms.begin(), ms.end());
    std::printf("%-34s %9.1f %9.1f %7zu %9.0f\n", scene.name, ms[ms.size() / 2], ms.back(), ms.size(),
                residentMegabytes());
    std::fflush(stdout);
}

int benchmark(int frames, const char* only)
{
    if (!std::getenv("FRAMES_NO_HEADER"))
        std::printf("%-34s %9s %9s %7s %9s\n", "scene", "median ms", "worst ms", "frames", "RSS MB");
    // A whole name picks that scene alone, a part of one every scene that holds it.
    const bool whole = only && std::any_of(frameScenes.begin(), frameScenes.end(),
                                           [only](const FrameScene& s) { return std::strcmp(s.name, only) == 0; });
    for (const FrameScene& scene : frameScenes)
        if (!only || (whole ? std::strcmp(scene.name, only) == 0 : std::strstr(scene.name, only) != nullptr))
            timeScene(scene, frames);
    return 0;
}

int capture(const std::string& directory)
{
    for (const FrameScene& scene : frameScenes) {
        setUpScene(scene);
        drawSceneFrame(scene);
        const std::string path = directory + "/" + scene.name + ".png";
        if (!writePicture(path, readWindow())) {
            std::fprintf(stderr, "frame_benchmark: cannot write %s\n", path.c_str());
            return 1;
        }
        std::printf("%s\n", path.c_str());
    }
    return 0;
}

// Steps a mode on from its start, one frame per step as a held 's' does, and reports the
// resident size as it goes.
void soak(const FrameScene& start, int steps)
{
    setUpScene(start);
    std::printf("%s:", start.name);
    for (int step = 0; step <= steps; ++step) {
        if (step % (steps / 8) == 0) {
            std::printf(" %d:%.0f", step, residentMegabytes());
            std::fflush(stdout);
        }
        drawSceneFrame(start);
        glFinish();
    }
    std::printf(" MB\n");
}

// The animated modes whose frames grow, or could, as they step on.
const FrameScene soaks[] = {
    {"cutdemo3-z20-mode4", "cutdemo3", 20, '4', 0, 0},
    {"cutdemo3-z20-mode5", "cutdemo3", 20, '5', 0, 0},
    {"unwinddemo-mode5", "unwinddemo", 0, '5', 0, 0},
};

int memory(int steps, const char* only)
{
    for (const FrameScene& scene : soaks)
        if (!only || std::strstr(scene.name, only)) soak(scene, steps);
    return 0;
}

}  // namespace

int main(int argc, char** argv)
{
    int frames = 30;
    const char* only = nullptr;
    std::string captureDirectory;
    int soakSteps = 0;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--frames" && i + 1 < argc)
            frames = std::max(1, std::atoi(argv[++i]));
        else if (arg == "--capture" && i + 1 < argc)
            captureDirectory = argv[++i];
        else if (arg == "--memory" && i + 1 < argc)
            soakSteps = std::max(8, std::atoi(argv[++i]));
        else if (arg == "--list") {
            for (const FrameScene& scene : frameScenes) std::printf("%s\n", scene.name);
            return 0;
        } else if (arg == "--scenes") {
            // For the browser's benchmark, which drives the same scenes with keys.
            for (const FrameScene& s : frameScenes)
                std::printf("%s %s %d %c %d %d\n", s.name, s.program, s.toothCount, s.mode, s.step, s.zoomIns);
            return 0;
        } else if (arg[0] != '-')
            only = argv[i];
        else {
            std::fprintf(stderr, "usage: frame_benchmark [--frames N] [NAME-PART] | --capture DIR | --memory STEPS [NAME-PART] | --list | --scenes\n");
            return 2;
        }
    }
    if (!openFrameWindow()) return 1;
    if (!captureDirectory.empty()) return capture(captureDirectory);
    if (soakSteps > 0) return memory(soakSteps, only);
    return benchmark(frames, only);
}
