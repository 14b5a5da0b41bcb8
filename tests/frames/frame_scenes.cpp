// The scenes, the private server and window they are drawn in, and their PNG pictures.
#include "frame_scenes.h"
#include "png_reader.h"

#include "cutdemo1.h"
#include "cutdemo2.h"
#include "cutdemo3.h"
#include "unwind.h"

#include <GL/freeglut.h>
#include <GL/glx.h>
#include <X11/Xutil.h>
#include <poll.h>
#include <sys/prctl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

constexpr int lastStep = 1000000;   // past every mode's last step: each stays at its end
constexpr double startUpLimit = 60; // seconds for the server to start and the window to show

// ---- The private server and the window, one instance ----
struct FrameWindow {
    pid_t server = -1;    // the Xvfb process
    bool exposed = false; // the window has been mapped and asked to draw
};
FrameWindow frameWindow;

double secondsSince(std::chrono::steady_clock::time_point start)
{
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

// Starts Xvfb on a display number it picks itself and points DISPLAY at it.
bool startServer()
{
    int fds[2];
    if (pipe(fds) != 0) return false;
    const pid_t pid = fork();
    if (pid < 0) return false;
    if (pid == 0) {
        prctl(PR_SET_PDEATHSIG, SIGTERM);  // the server goes with us, however we end
        close(fds[0]);
        const std::string fd = std::to_string(fds[1]);
        std::freopen("/dev/null", "w", stderr);
        execlp("Xvfb", "Xvfb", "-displayfd", fd.c_str(), "-screen", "0", "1024x1024x24", "-nolisten", "tcp",
               static_cast<char*>(nullptr));
        _exit(127);
    }
    close(fds[1]);
    frameWindow.server = pid;
    std::string number;
    pollfd wait{fds[0], POLLIN, 0};
    char c = 0;
    while (poll(&wait, 1, static_cast<int>(startUpLimit * 1000)) > 0 && read(fds[0], &c, 1) == 1 && c != '\n')
        number += c;
    close(fds[0]);
    if (number.empty()) return false;
    setenv("DISPLAY", (":" + number).c_str(), 1);
    return true;
}

void noteExposed() { frameWindow.exposed = true; }

// The window is on the screen: drawn once and viewable, so the server holds its pixels.
bool windowShows()
{
    XWindowAttributes attributes{};
    return frameWindow.exposed && XGetWindowAttributes(glXGetCurrentDisplay(), glXGetCurrentDrawable(), &attributes) &&
           attributes.map_state == IsViewable;
}

void stopServerAtExit() { closeFrameWindow(); }

FrameScene scene(const char* name, const char* program, int z, char mode, int step, int zoomIns = 0)
{
    return {name, program, z, mode, step, zoomIns};
}

bool isUnwindDemo(const FrameScene& s) { return std::strcmp(s.program, "unwinddemo") == 0; }

const RackEdition& editionOf(const FrameScene& s)
{
    if (std::strcmp(s.program, "cutdemo2") == 0) return cutdemo2Edition;
    if (std::strcmp(s.program, "cutdemo1") == 0) return cutdemo1Edition;
    return cutdemo3Edition;
}

double zoomedIn(double zoom, int presses)
{
    for (int i = 0; i < presses; ++i) zoom = zoomIn(zoom);
    return zoom;
}

std::FILE* nowhere()
{
    static std::FILE* devNull = std::fopen("/dev/null", "w");
    return devNull;
}

}  // namespace

const std::vector<FrameScene> frameScenes = {
    scene("cutdemo3-z20-mode1", "cutdemo3", 20, '1', lastStep),
    scene("cutdemo3-z20-mode2", "cutdemo3", 20, '2', lastStep),
    scene("cutdemo3-z7-mode3", "cutdemo3", 7, '3', lastStep),
    scene("cutdemo3-z20-mode4-step200", "cutdemo3", 20, '4', 200),
    scene("cutdemo3-z20-mode4-step1000", "cutdemo3", 20, '4', 1000),
    scene("cutdemo3-z20-mode4-step2000", "cutdemo3", 20, '4', 2000),
    scene("cutdemo3-z20-mode5-step200", "cutdemo3", 20, '5', 200),
    scene("cutdemo3-z20-mode5-step1000", "cutdemo3", 20, '5', 1000),
    scene("cutdemo3-z20-mode6", "cutdemo3", 20, '6', 0),
    scene("cutdemo3-z20-mode6-W20", "cutdemo3", 20, '6', 0, 20),
    scene("cutdemo3-z20-mode4-step200-W20", "cutdemo3", 20, '4', 200, 20),
    scene("cutdemo3-z1000-mode6", "cutdemo3", 1000, '6', 0),
    scene("cutdemo3-z100000-mode1", "cutdemo3", 100000, '1', lastStep),
    scene("cutdemo3-z2147483647-mode1", "cutdemo3", 2147483647, '1', lastStep),
    scene("cutdemo2-z20-mode2", "cutdemo2", 20, '2', lastStep),
    scene("cutdemo2-z20-mode5-step1000", "cutdemo2", 20, '5', 1000),
    scene("cutdemo2-z20-mode6", "cutdemo2", 20, '6', 0),
    scene("cutdemo2-z100000-mode1", "cutdemo2", 100000, '1', lastStep),
    scene("cutdemo1-z20-mode3", "cutdemo1", 20, '3', lastStep),
    scene("cutdemo1-z20-mode4", "cutdemo1", 20, '4', lastStep),
    scene("cutdemo1-z100000-mode1-W20", "cutdemo1", 100000, '1', lastStep, 20),
    scene("unwinddemo-mode1", "unwinddemo", 0, '1', lastStep),
    scene("unwinddemo-mode2", "unwinddemo", 0, '2', 200),
    scene("unwinddemo-mode3", "unwinddemo", 0, '3', 200),
    scene("unwinddemo-mode4", "unwinddemo", 0, '4', 300),
    scene("unwinddemo-mode5", "unwinddemo", 0, '5', 200),
    scene("unwinddemo-mode6", "unwinddemo", 0, '6', 1000),
    scene("unwinddemo-mode5-W20", "unwinddemo", 0, '5', 200, 20),
};

bool openFrameWindow()
{
    if (!startServer()) {
        std::fputs("frames: could not start Xvfb\n", stderr);
        return false;
    }
    std::atexit(stopServerAtExit);
    holdDriverHeap();  // as runWindow does
    int argc = 1;
    char name[] = "frames";
    char* argv[] = {name, nullptr};
    // The window the programs open, as runWindow opens it, but driven from here.
    glutInitWindowSize(frameSize, frameSize);
    glutInitWindowPosition(0, 0);  // all of it on the screen, so all of it can be read back
    glutInit(&argc, argv);
    glutInitDisplayMode(GLUT_DOUBLE | GLUT_DEPTH);
    createTitledWindow("frames");
    glutDisplayFunc(noteExposed);
    glutReshapeFunc(reshapeView);
    const auto start = std::chrono::steady_clock::now();
    while (!windowShows() && secondsSince(start) < startUpLimit) glutMainLoopEvent();
    if (!windowShows()) {
        std::fputs("frames: the window never showed\n", stderr);
        return false;
    }
    setWhiteBackground();
    glEnable(GL_LIGHTING);
    // Every frame leaves the line width at 2 pixels; the scenes are frames after the first.
    glLineWidth(2.0f);
    return true;
}

void closeFrameWindow()
{
    if (frameWindow.server <= 0) return;
    kill(frameWindow.server, SIGTERM);
    waitpid(frameWindow.server, nullptr, 0);
    frameWindow.server = -1;
}

void setUpScene(const FrameScene& s)
{
    if (isUnwindDemo(s)) {
        setCircleSegmentCount(unwindCircleSegments);
        runUnwindSetUp(nowhere());
        UnwindView& v = unwindView;
        v.mode = s.mode;
        v.direction = 'd';
        v.fixedStep = v.turnStep = std::min(s.step, unwindSteps);
        v.rollAngle = s.mode >= '4' ? s.step * meshTurnStep : 0.0;
        v.zoom = zoomedIn(startZoom, s.zoomIns);
        return;
    }
    useRackEdition(editionOf(s));
    rackTrace.sink = nowhere();
    // The dialogue as a student answers it: the tooth count, then no data file.
    const std::string answers = std::to_string(s.toothCount) + "\n0\n";
    std::FILE* in = fmemopen(const_cast<char*>(answers.data()), answers.size(), "r");
    rackEdition.setUp(in, nowhere());
    std::fclose(in);
    RackView& v = rackView;
    v.mode = s.mode;
    v.addendumStep = v.dedendumStep = v.undercutStep = v.wholeStep = s.step;
    v.zoom = zoomedIn(v.zoom, s.zoomIns);
}

void drawSceneFrame(const FrameScene& s)
{
    if (isUnwindDemo(s))
        displayUnwindDemo();
    else
        rackEdition.display();
}

FramePicture readWindow()
{
    FramePicture picture;
    picture.width = picture.height = frameSize;
    picture.rgb.reserve(static_cast<std::size_t>(frameSize) * frameSize * 3);
    glFinish();
    // What the server shows in the window, as a screenshot would: the swapped frame.
    Display* display = glXGetCurrentDisplay();
    XImage* image = XGetImage(display, glXGetCurrentDrawable(), 0, 0, frameSize, frameSize, AllPlanes, ZPixmap);
    if (!image) return {};
    for (int y = 0; y < frameSize; ++y)
        for (int x = 0; x < frameSize; ++x) {
            const unsigned long pixel = XGetPixel(image, x, y);
            picture.rgb.push_back(static_cast<std::uint8_t>((pixel & image->red_mask) >> 16));
            picture.rgb.push_back(static_cast<std::uint8_t>((pixel & image->green_mask) >> 8));
            picture.rgb.push_back(static_cast<std::uint8_t>(pixel & image->blue_mask));
        }
    XDestroyImage(image);
    return picture;
}

bool writePicture(const std::string& path, const FramePicture& picture)
{
    std::string reason;
    return saveFileAtomically(
        path, [&](std::FILE* out) { return writePng(out, picture.width, picture.height, picture.rgb); }, &reason);
}

bool readPicture(const std::string& path, FramePicture* picture)
{
    picture->rgb = readPngRgb(path, &picture->width, &picture->height);
    return !picture->rgb.empty();
}
