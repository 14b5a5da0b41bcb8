#include "x_harness.h"

#include <X11/Xlib.h>

#include <X11/Xatom.h>
#include <X11/Xutil.h>
#include <X11/keysym.h>

#include <chrono>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace e2e {
namespace {

using Clock = std::chrono::steady_clock;

double since(Clock::time_point start) { return std::chrono::duration<double>(Clock::now() - start).count(); }

void pause(double seconds) { std::this_thread::sleep_for(std::chrono::duration<double>(seconds)); }

// Reads fd to its end into text, under the lock.
void drain(int fd, std::mutex* mutex, std::string* text)
{
    char buffer[4096];
    for (;;) {
        const ssize_t n = read(fd, buffer, sizeof buffer);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) break;
        std::lock_guard<std::mutex> lock(*mutex);
        text->append(buffer, n);
    }
    close(fd);
}

int decodeStatus(int status)
{
    if (WIFEXITED(status)) return WEXITSTATUS(status);
    if (WIFSIGNALED(status)) return 128 + WTERMSIG(status);
    return -1;
}

}  // namespace

XvfbServer::XvfbServer()
{
    int fds[2];
    if (pipe(fds) != 0) return;
    pid_ = fork();
    if (pid_ == 0) {
        close(fds[0]);
        const std::string fd = std::to_string(fds[1]);
        const int devnull = open("/dev/null", O_RDWR);
        dup2(devnull, 0);
        dup2(devnull, 1);
        dup2(devnull, 2);
        execlp("Xvfb", "Xvfb", "-displayfd", fd.c_str(), "-screen", "0", "1280x1024x24", "-nolisten", "tcp",
               "-noreset", "-s", "0", static_cast<char*>(nullptr));  // no screen saver
        _exit(127);
    }
    close(fds[1]);
    // Xvfb writes the display number it chose, then a line end, once it accepts clients.
    std::string number;
    pollfd p{fds[0], POLLIN, 0};
    const auto start = Clock::now();
    while (since(start) < 120 && poll(&p, 1, 200) >= 0) {
        char c;
        if (p.revents & POLLIN) {
            if (read(fds[0], &c, 1) != 1) break;
            if (c == '\n') break;
            number.push_back(c);
        } else if (p.revents & (POLLHUP | POLLERR)) {
            break;
        }
    }
    close(fds[0]);
    if (!number.empty()) display_ = ":" + number;
}

XvfbServer::~XvfbServer()
{
    if (pid_ > 0) {
        kill(pid_, SIGTERM);
        waitpid(pid_, nullptr, 0);
    }
}

ProgramRun::ProgramRun(const std::string& path, const std::string& display, const std::string& input,
                       const std::vector<std::string>& extraEnvironment, bool outputClosed)
{
    int in[2], out[2], err[2];
    if (pipe(in) != 0 || pipe(out) != 0 || pipe(err) != 0) return;
    std::vector<std::string> env;
    for (char** e = environ; *e; ++e)
        if (std::strncmp(*e, "DISPLAY=", 8) != 0) env.emplace_back(*e);
    if (!display.empty()) env.push_back("DISPLAY=" + display);
    for (const auto& e : extraEnvironment) env.push_back(e);
    std::vector<char*> envp;
    for (auto& e : env) envp.push_back(e.data());
    envp.push_back(nullptr);

    pid_ = fork();
    if (pid_ == 0) {
        dup2(in[0], 0);
        dup2(out[1], 1);
        dup2(err[1], 2);
        for (int fd : {in[0], in[1], out[0], out[1], err[0], err[1]}) close(fd);
        if (outputClosed) close(1);
        execle(path.c_str(), path.c_str(), static_cast<char*>(nullptr), envp.data());
        _exit(127);
    }
    close(in[0]);
    close(out[1]);
    close(err[1]);
    inFd_ = in[1];
    outReader_ = std::thread(drain, out[0], &mutex_, &out_);
    errReader_ = std::thread(drain, err[0], &mutex_, &err_);
    type(input);
}

ProgramRun::~ProgramRun()
{
    if (running()) {
        kill(pid_, SIGKILL);
        wait(5);
    }
    closeInput();
    if (outReader_.joinable()) outReader_.join();
    if (errReader_.joinable()) errReader_.join();
}

void ProgramRun::type(const std::string& text)
{
    void (*previous)(int) = std::signal(SIGPIPE, SIG_IGN);  // the program may be gone
    for (std::size_t done = 0; inFd_ >= 0 && done < text.size();) {
        const ssize_t n = write(inFd_, text.data() + done, text.size() - done);
        if (n <= 0) break;
        done += n;
    }
    std::signal(SIGPIPE, previous);
}

void ProgramRun::closeInput()
{
    if (inFd_ >= 0) close(inFd_);
    inFd_ = -1;
}

bool ProgramRun::running()
{
    if (pid_ <= 0 || status_ >= 0) return false;
    int status = 0;
    if (waitpid(pid_, &status, WNOHANG) == pid_) {
        status_ = decodeStatus(status);
        return false;
    }
    return true;
}

int ProgramRun::wait(double seconds)
{
    const auto start = Clock::now();
    while (running() && since(start) < seconds) pause(0.02);
    return running() ? -1 : status_;
}

std::string ProgramRun::output()
{
    std::lock_guard<std::mutex> lock(mutex_);
    return out_;
}

std::string ProgramRun::errors()
{
    std::lock_guard<std::mutex> lock(mutex_);
    return err_;
}

bool ProgramRun::waitForOutput(const std::string& text, double seconds)
{
    const auto start = Clock::now();
    while (output().find(text) == std::string::npos) {
        if (since(start) > seconds) return false;
        pause(0.02);
    }
    return true;
}

bool Capture::has(int x, int y) const
{
    return x >= 0 && y >= 0 && x < width && y < height && pixels[y * width + x] != 0xFF000000u;
}

Rgb Capture::at(int x, int y) const
{
    if (!has(x, y)) return {-1, -1, -1};
    const std::uint32_t p = pixels[y * width + x];
    return {int(p >> 16 & 0xFF), int(p >> 8 & 0xFF), int(p & 0xFF)};
}

int Capture::countNear(int x, int y, int radius, Rgb want) const
{
    int count = 0;
    for (int dy = -radius; dy <= radius; ++dy)
        for (int dx = -radius; dx <= radius; ++dx) {
            if (dx * dx + dy * dy > radius * radius || !has(x + dx, y + dy)) continue;
            const Rgb c = at(x + dx, y + dy);
            if (std::abs(c.r - want.r) <= 60 && std::abs(c.g - want.g) <= 60 && std::abs(c.b - want.b) <= 60) ++count;
        }
    return count;
}

Screen::Screen(const std::string& display) { display_ = XOpenDisplay(display.c_str()); }

Screen::~Screen()
{
    if (display_) XCloseDisplay(display_);
}

std::string Screen::netWmName(WindowId w)
{
    Atom type;
    int format;
    unsigned long count, after;
    unsigned char* data = nullptr;
    const Atom name = XInternAtom(display_, "_NET_WM_NAME", False);
    const Atom utf8 = XInternAtom(display_, "UTF8_STRING", False);
    std::string title;
    if (XGetWindowProperty(display_, w, name, 0, 4096, False, utf8, &type, &format, &count, &after, &data) ==
            Success &&
        data && type == utf8 && format == 8)
        title.assign(reinterpret_cast<char*>(data), count);
    if (data) XFree(data);
    return title;
}

WindowId Screen::findWindow(const std::string& title, double seconds)
{
    const auto start = Clock::now();
    while (since(start) < seconds) {
        Window root, parent, *children = nullptr;
        unsigned count = 0;
        if (XQueryTree(display_, DefaultRootWindow(display_), &root, &parent, &children, &count)) {
            for (unsigned i = 0; i < count; ++i) {
                XWindowAttributes a;
                if (netWmName(children[i]) == title && XGetWindowAttributes(display_, children[i], &a) &&
                    a.map_state == IsViewable) {
                    const Window found = children[i];
                    XFree(children);
                    return found;
                }
            }
            if (children) XFree(children);
        }
        pause(0.05);
    }
    return 0;
}

void Screen::size(WindowId w, int* width, int* height)
{
    XWindowAttributes a;
    XGetWindowAttributes(display_, w, &a);
    *width = a.width;
    *height = a.height;
}

void Screen::resize(WindowId w, int width, int height)
{
    XResizeWindow(display_, w, width, height);
    XSync(display_, False);
}

void Screen::key(WindowId w, const std::string& name)
{
    KeySym sym = XStringToKeysym(name.c_str());
    unsigned state = 0;
    if (name.size() == 1) {
        const char c = name[0];
        sym = static_cast<unsigned char>(c);
        if (c >= 'A' && c <= 'Z') {
            sym = c - 'A' + 'a';
            state = ShiftMask;
        }
    }
    XKeyEvent e{};
    e.display = display_;
    e.window = w;
    e.root = DefaultRootWindow(display_);
    e.subwindow = None;
    e.time = CurrentTime;
    e.same_screen = True;
    e.state = state;
    e.keycode = XKeysymToKeycode(display_, sym);
    e.type = KeyPress;
    XSendEvent(display_, w, True, KeyPressMask, reinterpret_cast<XEvent*>(&e));
    e.type = KeyRelease;
    XSendEvent(display_, w, True, KeyReleaseMask, reinterpret_cast<XEvent*>(&e));
    XSync(display_, False);
}

Capture Screen::capture(WindowId w)
{
    Capture c;
    XWindowAttributes a;
    XGetWindowAttributes(display_, w, &a);
    c.width = a.width;
    c.height = a.height;
    c.pixels.assign(std::size_t(c.width) * c.height, 0xFF000000u);
    // Read through the root window: the window may stick out of the screen by a pixel.
    const Window root = DefaultRootWindow(display_);
    int x0, y0;
    Window child;
    XTranslateCoordinates(display_, w, root, 0, 0, &x0, &y0, &child);
    const int left = std::max(0, x0), top = std::max(0, y0);
    const int right = std::min(x0 + c.width, DisplayWidth(display_, DefaultScreen(display_)));
    const int bottom = std::min(y0 + c.height, DisplayHeight(display_, DefaultScreen(display_)));
    if (right <= left || bottom <= top) return c;
    XImage* image = XGetImage(display_, root, left, top, right - left, bottom - top, AllPlanes, ZPixmap);
    if (!image) return c;
    for (int y = top; y < bottom; ++y)
        for (int x = left; x < right; ++x)
            c.pixels[std::size_t(y - y0) * c.width + (x - x0)] =
                static_cast<std::uint32_t>(XGetPixel(image, x - left, y - top)) & 0xFFFFFFu;
    XDestroyImage(image);
    return c;
}

std::string programPath(const std::string& name) { return std::string(PROGRAM_DIR) + "/" + name + "/" + name; }

}  // namespace e2e
