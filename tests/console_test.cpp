// Console reads: the tooth count, one word, and the single key of the data-file offer, on
// pipes and files as well as on a real (pseudo-)terminal.
#include "gearplot.h"
#include "test_support.h"

#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
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

TEST(ReadWord, SkipsLeadingBlanksAndLinesAndStopsAtWhiteSpace)
{
    std::string word;
    ConsoleRun run = runOnConsole("\n\n   my file\nrest", [&word](std::FILE* in, std::FILE*) {
        return readWord(in, &word);
    });
    EXPECT_TRUE(run.result);
    EXPECT_EQ(word, "my");
    EXPECT_EQ(run.unread, " file\nrest");
}

TEST(ReadWord, ALongNameIsReadWhole)
{
    const std::string name(5000, 'n');
    std::string word;
    runOnConsole(name + "\n", [&word](std::FILE* in, std::FILE*) { return readWord(in, &word); });
    EXPECT_EQ(word, name);
    EXPECT_FALSE(runOnConsole("  \n", [&word](std::FILE* in, std::FILE*) { return readWord(in, &word); }).result);
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
        for (int i = 0; i < 500; ++i) {
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
    int z = 0;
    type("20\n");
    ASSERT_TRUE(readToothCount(in_, stdout, "", &z));
    type("1dataz20\n");  // typed before the key is asked for
    EXPECT_EQ(readKeyAfterLine(in_), '1');
    std::string word;
    ASSERT_TRUE(readWord(in_, &word));
    EXPECT_EQ(word, "dataz20");
}

TEST_F(Terminal, ASignalDuringTheKeyReadRestoresTheTerminal)
{
    for (int sig : {SIGINT, SIGTERM, SIGHUP, SIGQUIT}) {
        type("\n");
        const pid_t child = fork();
        if (child == 0) {
            readKeyAfterLine(in_);
            _exit(3);
        }
        ASSERT_TRUE(waitForSingleKeyMode()) << sig;
        kill(child, sig);
        int status = 0;
        waitpid(child, &status, 0);
        EXPECT_TRUE(WIFSIGNALED(status)) << sig;
        EXPECT_EQ(WTERMSIG(status), sig);
        EXPECT_TRUE(modes().c_lflag & ICANON) << sig;
        EXPECT_TRUE(modes().c_lflag & ECHO) << sig;
    }
}

}  // namespace
