// Helpers shared by the console tests: run a console operation on given input text and
// capture everything it prints.
#pragma once

#include <cstdio>
#include <functional>
#include <string>

struct ConsoleRun {
    std::string output;   // everything written to the output stream
    std::string unread;   // what the operation left unread on its input
    bool result = false;  // what the operation returned, where it returns a bool
};

// Runs op on a stream holding input and a stream capturing its output.
ConsoleRun runOnConsole(const std::string& input,
                        const std::function<bool(std::FILE* in, std::FILE* out)>& op);

// Runs action with the process's standard input reading input and its standard output going
// to a file; gives back what was printed. For handlers that use the console directly.
std::string withStandardConsole(const std::string& input, const std::function<void()>& action);

// The whole content of a file; empty if it cannot be read.
std::string readWholeFile(const std::string& path);

// A fresh empty directory under /tmp, removed with its files when the object goes.
class ScratchDir {
public:
    ScratchDir();
    ~ScratchDir();
    ScratchDir(const ScratchDir&) = delete;
    ScratchDir& operator=(const ScratchDir&) = delete;
    std::string path(const std::string& name) const { return dir_ + "/" + name; }
    const std::string& dir() const { return dir_; }

private:
    std::string dir_;
};

// A test fixture that runs each test in a fresh scratch directory, so relative file names land there.
#include <gtest/gtest.h>

class InScratchDir : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;
    ScratchDir scratch_;
    std::string home_;
};
