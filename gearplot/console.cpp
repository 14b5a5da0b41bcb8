// Console input of the programs' set-ups: the tooth count, the single key of the data-file
// offer and the file name. Everything is read through the one stdio stream given, so type-
// ahead is never read out of order.
#include "gearplot.h"

#include <cctype>
#include <climits>
#include <csignal>
#include <cstdlib>
#include <termios.h>
#include <unistd.h>

namespace {

void skipRestOfLine(std::FILE* in, int c)
{
    while (c != '\n' && c != EOF) c = std::getc(in);
}

// ---- Terminal in single-key mode, restored on every way out ----

struct termios savedTerminal;
volatile std::sig_atomic_t terminalIsRaw = 0;
int rawTerminalFd = -1;
constexpr int restoringSignals[] = {SIGINT, SIGTERM, SIGHUP, SIGQUIT};
struct sigaction previousActions[sizeof restoringSignals / sizeof restoringSignals[0]];

void restoreTerminal()
{
    if (terminalIsRaw) {
        tcsetattr(rawTerminalFd, TCSANOW, &savedTerminal);
        terminalIsRaw = 0;
    }
}

extern "C" void restoreTerminalAndDie(int sig)
{
    restoreTerminal();  // tcsetattr is async-signal-safe
    std::signal(sig, SIG_DFL);
    std::raise(sig);
}

int readTerminalKey(std::FILE* in)
{
    static bool exitHookInstalled = false;
    if (!exitHookInstalled) {
        std::atexit(restoreTerminal);
        exitHookInstalled = true;
    }
    const int fd = fileno(in);
    struct termios raw;
    if (tcgetattr(fd, &savedTerminal) != 0) return std::getc(in);
    raw = savedTerminal;
    raw.c_lflag &= ~(ICANON | ECHO);  // ISIG stays on, so Ctrl-C still works
    raw.c_cc[VMIN] = 1;
    raw.c_cc[VTIME] = 0;

    struct sigaction restoring {};
    restoring.sa_handler = restoreTerminalAndDie;
    sigemptyset(&restoring.sa_mask);
    for (std::size_t i = 0; i < std::size(restoringSignals); ++i)
        sigaction(restoringSignals[i], &restoring, &previousActions[i]);

    rawTerminalFd = fd;
    terminalIsRaw = 1;
    tcsetattr(fd, TCSANOW, &raw);  // TCSAFLUSH would throw away keys typed ahead
    const int key = std::getc(in);
    restoreTerminal();
    for (std::size_t i = 0; i < std::size(restoringSignals); ++i)
        sigaction(restoringSignals[i], &previousActions[i], nullptr);
    return key;
}

}  // namespace

bool readToothCount(std::FILE* in, std::FILE* out, const char* prompt, int* z)
{
    // A terminal may be read again after Ctrl-D; a pipe or file that ended stays ended.
    if (isatty(fileno(in))) std::clearerr(in);
    for (;;) {
        std::fputs(prompt, out);
        std::fflush(out);
        int c;
        do c = std::getc(in);
        while (c != EOF && std::isspace(c));
        if (c == EOF) return false;

        const bool negative = c == '-';
        if (c == '-' || c == '+') c = std::getc(in);
        if (!std::isdigit(c)) {
            std::fputs("\n歯数は数字で入力してください（1以上の整数）", out);
            skipRestOfLine(in, c);
            continue;
        }
        long long value = 0;
        bool tooLarge = false;
        for (; std::isdigit(c); c = std::getc(in)) {
            value = value * 10 + (c - '0');
            if (value > INT_MAX) {
                tooLarge = true;
                value = INT_MAX;  // keep consuming digits without overflowing
            }
        }
        if (c != EOF) std::ungetc(c, in);  // like "%d": what follows the number stays unread

        if (negative && (value > 0 || tooLarge)) {
            std::fputs("\n歯数は1以上の整数で入力してください", out);
        } else if (tooLarge) {
            std::fprintf(out, "\n歯数が大きすぎます（%dまで）", INT_MAX);
        } else if (value < 1) {
            std::fputs("\n歯数は1以上の整数で入力してください", out);
        } else {
            *z = static_cast<int>(value);
            return true;
        }
        skipRestOfLine(in, std::getc(in));
    }
}

int readKeyAfterLine(std::FILE* in)
{
    int c;
    do c = std::getc(in);
    while (c != '\n' && c != EOF);
    if (c == EOF) return EOF;
    if (isatty(fileno(in))) return readTerminalKey(in);
    const int key = std::getc(in);
    if (key != '\n') skipRestOfLine(in, key);
    return key;
}

bool readWord(std::FILE* in, std::string* word)
{
    int c;
    do c = std::getc(in);
    while (c != EOF && std::isspace(c));
    if (c == EOF) return false;
    word->clear();
    for (; c != EOF && !std::isspace(c); c = std::getc(in)) word->push_back(static_cast<char>(c));
    if (c != EOF) std::ungetc(c, in);  // the white space after the word stays unread
    return true;
}
