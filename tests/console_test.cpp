// Console reads: the tooth count, one word, and the single key of the data-file offer, on
// pipes and files as well as on a real (pseudo-)terminal.
#include "gearplot.h"
#include "test_support.h"

#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <fcntl.h>
#include <future>
#include <sys/stat.h>
#include <pty.h>
#include <sys/wait.h>
#include <termios.h>
#include <thread>
#include <unistd.h>

namespace {

ConsoleRun toothCount(const std::string& input, int* z)
{
    return runOnConsole(input, [z](std::FILE* in, std::FILE* out) { return readToothCount(in, out, "?", z); });
}

TEST(ReadToothCount, ReadsLikePercentDAndLeavesTheRestOfTheLine)
{
    int z = 0;
    ConsoleRun run = toothCount("  \n\n +25xyz\nmore", &z);
    EXPECT_TRUE(run.result);
    EXPECT_EQ(z, 25);
    EXPECT_EQ(run.output, "?");
    EXPECT_EQ(run.unread, "xyz\nmore");
}

TEST(ReadToothCount, SkipsTheWholeBadLineBeforeAskingAgain)
{
    int z = 0;
    ConsoleRun run = toothCount("-3 7\n12\n", &z);
    EXPECT_EQ(z, 12);  // not the 7 that followed the bad answer
    EXPECT_EQ(run.output, "?\n歯数は1以上の整数で入力してください?");
    run = toothCount("x\n-\n+\n-0\n0009\n", &z);
    EXPECT_EQ(z, 9);
    EXPECT_EQ(std::count(run.output.begin(), run.output.end(), '?'), 5);
}

TEST(ReadToothCount, NumbersBeyondTheLargestIntAreRefusedNotWrapped)
{
    int z = 0;
    for (const char* big : {"2147483648\n", "4294967317\n", "99999999999999999999999999\n"}) {
        const ConsoleRun run = toothCount(big, &z);
        EXPECT_FALSE(run.result) << big;  // refused, then the input ends
        EXPECT_NE(run.output.find("大きすぎます"), std::string::npos) << big;
        EXPECT_EQ(z, 0);
    }
    EXPECT_TRUE(toothCount("2147483647", &z).result);
    EXPECT_EQ(z, 2147483647);
}

TEST(ReadToothCount, EndOfInputReturnsFalseAndKeepsZ)
{
    int z = 42;
    EXPECT_FALSE(toothCount("", &z).result);
    EXPECT_FALSE(toothCount(" \n \t\n", &z).result);
    EXPECT_EQ(z, 42);
}

ConsoleRun trimmedLine(const std::string& input, std::string* line)
{
    return runOnConsole(input, [line](std::FILE* in, std::FILE*) { return readTrimmedLine(in, line); });
}

TEST(ReadTrimmedLine, TakesTheWholeLineWithoutSurroundingBlanksAndLeavesTheNextLine)
{
    std::string line;
    ConsoleRun run = trimmedLine("\n \t\n   my file.txt \t\r\n20\n", &line);
    EXPECT_TRUE(run.result);
    EXPECT_EQ(line, "my file.txt");
    EXPECT_EQ(run.unread, "20\n");  // nothing of the name's line is left for the next question
    EXPECT_TRUE(trimmedLine("last line without an end", &line).result);
    EXPECT_EQ(line, "last line without an end");
}

TEST(ReadTrimmedLine, ALongNameIsReadWholeAndBlankInputIsTheEnd)
{
    const std::string name(5000, 'n');
    std::string line;
    trimmedLine(name + "\n", &line);
    EXPECT_EQ(line, name);
    EXPECT_FALSE(trimmedLine("  \n\t\n ", &line).result);
}

int keyOf(const std::string& input, std::string* unread = nullptr)
{
    int key = 0;
    const ConsoleRun run = runOnConsole(input, [&key](std::FILE* in, std::FILE*) {
        key = readKeyAfterLine(in);
        return true;
    });
    if (unread) *unread = run.unread;
    return key;
}

TEST(ReadKeyAfterLine, OnAPipeTheKeyIsTheFirstCharacterOfTheNextLine)
{
    std::string unread;
    EXPECT_EQ(keyOf(" rest of the count line\n1abc\nname\n", &unread), '1');
    EXPECT_EQ(unread, "name\n");
    EXPECT_EQ(keyOf("\n\nname\n", &unread), '\n');  // an empty line answers no
    EXPECT_EQ(unread, "name\n");
    EXPECT_EQ(keyOf("\n"), EOF);
    EXPECT_EQ(keyOf("no line end"), EOF);
}

// A pseudo-terminal whose slave side is the console being read.
class Terminal : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_EQ(openpty(&master_, &slave_, nullptr, nullptr, nullptr), 0);
        in_ = fdopen(slave_, "r");
        ASSERT_NE(in_, nullptr);
    }
    void TearDown() override
    {
        std::fclose(in_);
        close(master_);
    }
    void type(const std::string& keys) { ASSERT_EQ(write(master_, keys.data(), keys.size()), (ssize_t)keys.size()); }
    termios modes() const
    {
        termios t{};
        tcgetattr(slave_, &t);
        return t;
    }
    bool waitForSingleKeyMode() const
    {
        for (int i = 0; i < 6000; ++i) {  // up to 30 s on a busy machine
            if (!(modes().c_lflag & ICANON)) return true;
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        }
        return false;
    }
    std::string echoed() const
    {
        std::string s;
        char buffer[256];
        for (;;) {
            fd_set ready;
            FD_ZERO(&ready);
            FD_SET(master_, &ready);
            timeval none{0, 50000};
            if (select(master_ + 1, &ready, nullptr, nullptr, &none) <= 0) return s;
            const ssize_t n = read(master_, buffer, sizeof buffer);
            if (n <= 0) return s;
            s.append(buffer, n);
        }
    }
    // Runs a read on another thread; false if it had not finished in a generous time, after
    // hanging up the terminal so that the read ends.
    bool finishes(const std::function<void()>& read)
    {
        auto done = std::async(std::launch::async, read);
        if (done.wait_for(std::chrono::seconds(30)) == std::future_status::ready) return true;
        close(master_);
        master_ = open("/dev/null", O_RDWR);  // for TearDown to close
        done.wait();
        return false;
    }
    // Waits for the child to stop (untraced) or end; its wait status, or -1 after a generous time.
    static int waitForChild(pid_t child, int options = 0)
    {
        for (int i = 0; i < 3000; ++i) {
            int status = 0;
            if (waitpid(child, &status, WNOHANG | options) == child) return status;
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
        kill(child, SIGKILL);
        waitpid(child, nullptr, 0);
        return -1;
    }
    // A child in its own process group reading the key, so that it may be stopped; it exits 0
    // when the key was '1'.
    pid_t keyReadingChild()
    {
        const pid_t child = fork();
        if (child == 0) {
            setpgid(0, 0);
            _exit(readKeyAfterLine(in_) == '1' ? 0 : 1);
        }
        return child;
    }
    int master_ = -1, slave_ = -1;
    std::FILE* in_ = nullptr;
};

TEST_F(Terminal, OneKeyIsReadWithoutEnterAndWithoutEchoThenTheTerminalIsRestored)
{
    int z = 0;
    type("20\n");
    ASSERT_TRUE(readToothCount(in_, stdout, "", &z));
    EXPECT_EQ(z, 20);
    int key = 0;
    std::thread reader([&] { key = readKeyAfterLine(in_); });
    ASSERT_TRUE(waitForSingleKeyMode());
    const termios during = modes();
    EXPECT_FALSE(during.c_lflag & ECHO);
    EXPECT_TRUE(during.c_lflag & ISIG);  // Ctrl-C still works
    EXPECT_EQ(during.c_cc[VMIN], 1);
    type("1");  // no Enter
    reader.join();
    EXPECT_EQ(key, '1');
    EXPECT_EQ(echoed().find('1'), std::string::npos);
    const termios after = modes();
    EXPECT_TRUE(after.c_lflag & ICANON);
    EXPECT_TRUE(after.c_lflag & ECHO);
}

TEST_F(Terminal, KeysTypedAheadAreKeptInOrder)
{
    type("20\n1dataz20\n");  // the key and the name typed before they are asked for
    int z = 0, key = 0;
    std::string name;
    ASSERT_TRUE(finishes([&] {
        readToothCount(in_, stdout, "", &z);
        key = readKeyAfterLine(in_);
        readTrimmedLine(in_, &name);
    }));
    EXPECT_EQ(z, 20);
    EXPECT_EQ(key, '1');
    EXPECT_EQ(name, "dataz20");
}

TEST_F(Terminal, ASignalDuringTheKeyReadRestoresTheTerminal)
{
    for (int sig : {SIGINT, SIGTERM, SIGHUP, SIGQUIT, SIGUSR1, SIGALRM}) {
        type("\n");
        const pid_t child = fork();
        if (child == 0) {
            readKeyAfterLine(in_);
            _exit(3);
        }
        ASSERT_TRUE(waitForSingleKeyMode()) << sig;
        kill(child, sig);
        const int status = waitForChild(child);
        EXPECT_TRUE(WIFSIGNALED(status)) << sig;
        EXPECT_EQ(WTERMSIG(status), sig);
        EXPECT_TRUE(modes().c_lflag & ICANON) << sig;
        EXPECT_TRUE(modes().c_lflag & ECHO) << sig;
    }
}

TEST_F(Terminal, CtrlZGivesTheShellItsTerminalBackAndFgReturnsToSingleKeys)
{
    type("\n");
    const pid_t child = keyReadingChild();
    ASSERT_TRUE(waitForSingleKeyMode());
    kill(child, SIGTSTP);
    const int stopped = waitForChild(child, WUNTRACED);
    ASSERT_TRUE(stopped != -1 && WIFSTOPPED(stopped)) << stopped;
    EXPECT_TRUE(modes().c_lflag & ICANON);
    EXPECT_TRUE(modes().c_lflag & ECHO);
    kill(child, SIGCONT);
    ASSERT_TRUE(waitForSingleKeyMode());
    type("1");  // still one key, no Enter
    const int status = waitForChild(child);
    EXPECT_TRUE(status != -1 && WIFEXITED(status) && WEXITSTATUS(status) == 0) << status;
    EXPECT_TRUE(modes().c_lflag & ICANON);
}

TEST_F(Terminal, SignalsIgnoredAtStartStayIgnoredDuringTheKeyRead)
{
    type("\n");
    std::signal(SIGHUP, SIG_IGN);  // as nohup and trap "" leave them for the program
    std::signal(SIGINT, SIG_IGN);
    const pid_t child = keyReadingChild();
    std::signal(SIGHUP, SIG_DFL);
    std::signal(SIGINT, SIG_DFL);
    ASSERT_TRUE(waitForSingleKeyMode());
    kill(child, SIGHUP);
    kill(child, SIGINT);
    type("1");
    const int status = waitForChild(child);
    EXPECT_TRUE(status != -1 && WIFEXITED(status) && WEXITSTATUS(status) == 0) << status;
}

TEST(StandardStreams, ClosedOnesAreOpenedOnDevNullBeforeAnythingElseTakesThem)
{
    const pid_t child = fork();
    if (child == 0) {
        close(0);
        close(1);
        close(2);
        ensureStandardStreams();
        struct stat null {}, st {};
        stat("/dev/null", &null);
        for (int fd = 0; fd <= 2; ++fd)
            if (fstat(fd, &st) != 0 || st.st_rdev != null.st_rdev) _exit(10 + fd);
        const int next = open("/dev/null", O_RDONLY);  // as the X connection would be
        _exit(next > 2 ? 0 : 1);
    }
    int status = 0;
    waitpid(child, &status, 0);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << status;
}

}  // namespace
