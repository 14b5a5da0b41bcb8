// End-to-end harness: a private Xvfb server, a real program run with its console on pipes,
// and its window found, keyed and captured through Xlib.
#pragma once

#include <cmath>
#include <cstdint>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

struct _XDisplay;  // Xlib's display; its header's macros clash with GoogleTest's names

namespace e2e {

using WindowId = unsigned long;  // an X window

// An Xvfb server on a free display number, stopped when the object goes.
class XvfbServer {
public:
    XvfbServer();
    ~XvfbServer();
    XvfbServer(const XvfbServer&) = delete;
    XvfbServer& operator=(const XvfbServer&) = delete;
    bool running() const { return pid_ > 0 && !display_.empty(); }
    const std::string& display() const { return display_; }  // ":N"
    int pid() const { return pid_; }

private:
    int pid_ = -1;
    std::string display_;
};

// A program started with standard input and output on pipes (or its output closed, as
// `>&-` leaves it), killed when the object goes.
class ProgramRun {
public:
    ProgramRun(const std::string& path, const std::string& display, const std::string& input,
               const std::vector<std::string>& extraEnvironment = {}, bool outputClosed = false);
    ~ProgramRun();
    ProgramRun(const ProgramRun&) = delete;
    ProgramRun& operator=(const ProgramRun&) = delete;

    void type(const std::string& text);      // more standard input
    void closeInput();
    int pid() const { return pid_; }
    // Waits for the program to end; its exit status, -1 if it did not end in time,
    // 128 + signal if a signal ended it.
    int wait(double seconds);
    bool running();
    std::string output();                    // standard output so far
    std::string errors();                    // standard error so far
    // Waits until standard output holds text; false on timeout.
    bool waitForOutput(const std::string& text, double seconds);

private:
    int pid_ = -1;
    int status_ = -1;
    int inFd_ = -1;
    std::mutex mutex_;
    std::string out_, err_;
    std::thread outReader_, errReader_;
};

struct Rgb {
    int r, g, b;
};

// A captured window: pixels in window coordinates; parts off the screen read as absent.
struct Capture {
    int width = 0, height = 0;
    std::vector<std::uint32_t> pixels;  // 0xRRGGBB, or 0xFF000000 where nothing was captured
    bool has(int x, int y) const;
    Rgb at(int x, int y) const;
    // Pixels within radius of (x, y) whose colour is near want (each channel within 60).
    int countNear(int x, int y, int radius, Rgb want) const;
    bool operator==(const Capture& o) const { return width == o.width && height == o.height && pixels == o.pixels; }
};

// An Xlib connection to the test's server.
class Screen {
public:
    explicit Screen(const std::string& display);
    ~Screen();
    Screen(const Screen&) = delete;
    Screen& operator=(const Screen&) = delete;
    bool connected() const { return display_ != nullptr; }

    // The top-level window whose _NET_WM_NAME is title; 0 if none appeared in time.
    WindowId findWindow(const std::string& title, double seconds);
    std::string netWmName(WindowId w);
    void size(WindowId w, int* width, int* height);
    void resize(WindowId w, int width, int height);
    // Sends a key press and release as a window manager would (a named key such as "Escape",
    // or one character) and returns once the server has queued them for the window.
    void key(WindowId w, const std::string& key);
    // What the window shows now; see waitUntilIdle for knowing the program has caught up.
    Capture capture(WindowId w);

private:
    _XDisplay* display_ = nullptr;
};

// View coordinates (-1 … 1, y up) to window pixels of a window width × height.
inline int pixelX(double x, int width) { return static_cast<int>(std::lround((x + 1) * width / 2.0)); }
inline int pixelY(double y, int height) { return static_cast<int>(std::lround((1 - y) * height / 2.0)); }

// The built program's path, from the environment the test runs in.
std::string programPath(const std::string& name);

}  // namespace e2e
