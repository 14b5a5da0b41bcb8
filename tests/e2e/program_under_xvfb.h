// A program under a private X server: one Xvfb for all the end-to-end tests of a program,
// the program started with its console on pipes, and keys and captures that wait for it.
#pragma once

#include "process_idle.h"
#include "x_harness.h"

#include <gtest/gtest.h>

#include <memory>

namespace e2e {

// However busy the machine, a program that has not caught up in this time is stuck. A
// sanitized build on two cores shared with a dozen busy processes needs minutes for the
// longer key runs.
constexpr double idleLimitSeconds = 300;

class ProgramUnderXvfb : public ::testing::Test {
protected:
    static void SetUpTestSuite() { server_ = std::make_unique<XvfbServer>(); }
    static void TearDownTestSuite() { server_.reset(); }
    void SetUp() override
    {
        ASSERT_TRUE(server_->running()) << "Xvfb did not start; is the xvfb package installed?";
        screen_ = std::make_unique<Screen>(server_->display());
        ASSERT_TRUE(screen_->connected());
    }
    // Starts the program with console input; its window once it shows and has drawn, or 0.
    WindowId start(const std::string& program, const std::string& input, const std::string& title,
                   bool outputClosed = false)
    {
        run_ = std::make_unique<ProgramRun>(programPath(program), server_->display(), input,
                                            std::vector<std::string>{}, outputClosed);
        const WindowId w = screen_->findWindow(title, idleLimitSeconds);
        if (w) waitForProgram();  // the first exposure has been drawn
        return w;
    }
    // Waits until the program and the server have handled everything sent so far.
    void waitForProgram()
    {
        EXPECT_TRUE(waitUntilIdle({run_->pid(), server_->pid()}, idleLimitSeconds))
            << "the program did not catch up with its input";
    }
    // The window once everything sent to it has been drawn.
    Capture settled(WindowId w)
    {
        waitForProgram();
        return screen_->capture(w);
    }
    void press(WindowId w, std::initializer_list<const char*> keys)
    {
        for (const char* k : keys) screen_->key(w, k);
    }
    void pressTimes(WindowId w, const char* key, int times)
    {
        for (int i = 0; i < times; ++i) screen_->key(w, key);
    }

    static std::unique_ptr<XvfbServer> server_;
    std::unique_ptr<Screen> screen_;
    std::unique_ptr<ProgramRun> run_;
};

inline std::unique_ptr<XvfbServer> ProgramUnderXvfb::server_;

// Colours as the window shows them.
namespace pixel {
constexpr Rgb white{255, 255, 255}, black{0, 0, 0}, red{255, 0, 0}, green{0, 255, 0}, blue{0, 0, 255};
}

}  // namespace e2e
