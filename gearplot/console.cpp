// Console input of the programs' set-ups: the tooth count, the single key of the data-file
// offer and the file name; and the standard streams and signals around it. Everything is
// read through the one stdio stream given, so type-ahead is never read out of order.
#include "gearplot.h"

#include <cctype>
#include <cerrno>
#include <climits>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <iterator>
#include <termios.h>
#include <unistd.h>

namespace {

void skipRestOfLine(std::FILE* in, int c)
{
    while (c != '\n' && c != EOF) c = std::getc(in);
}

// The key as the first character of the next line; the rest of that line is skipped.
int readLineKey(std::FILE* in)
{
    const int key = std::getc(in);
    if (key != '\n') skipRestOfLine(in, key);
    return key;
}

// ---- Terminal in single-key mode, restored on every way out ----

struct termios savedTerminal;
struct termios rawTerminal;
volatile std::sig_atomic_t terminalIsRaw = 0;
int rawTerminalFd = -1;
// Every signal whose default action ends the program, as Ctrl-C, kill, hang-up and timers do.
constexpr int restoringSignals[] = {SIGHUP, SIGINT,  SIGQUIT,   SIGTERM, SIGUSR1,
                                    SIGUSR2, SIGALRM, SIGVTALRM, SIGPROF, SIGPIPE};
struct sigaction previousActions[std::size(restoringSignals)];
struct sigaction previousStopAction;

bool restoreTerminal()
{
    if (!terminalIsRaw) return true;
    terminalIsRaw = 0;
    return tcsetattr(rawTerminalFd, TCSANOW, &savedTerminal) == 0;  // async-signal-safe
}

void restoreTerminalAtExit() { restoreTerminal(); }

extern "C" void restoreTerminalAndResignal(int sig)
{
    restoreTerminal();
    for (std::size_t i = 0; i < std::size(restoringSignals); ++i)
        if (restoringSignals[i] == sig) sigaction(sig, &previousActions[i], nullptr);
    std::raise(sig);  // delivered with the earlier action once this handler returns
}

// Ctrl-Z: the shell gets its terminal back as it was, and the key read goes on in single-
// key mode after fg.
extern "C" void restoreTerminalAndStop(int)
{
    const int savedErrno = errno;
    const bool wasRaw = terminalIsRaw;
    restoreTerminal();
    struct sigaction stopping {}, ours {};
    stopping.sa_handler = SIG_DFL;
    sigemptyset(&stopping.sa_mask);
    sigaction(SIGTSTP, &stopping, &ours);
    sigset_t tstp;
    sigemptyset(&tstp);
    sigaddset(&tstp, SIGTSTP);
    sigprocmask(SIG_UNBLOCK, &tstp, nullptr);
    std::raise(SIGTSTP);  // stopped here until SIGCONT
    sigaction(SIGTSTP, &ours, nullptr);
    if (wasRaw && tcsetattr(rawTerminalFd, TCSANOW, &rawTerminal) == 0) terminalIsRaw = 1;
    errno = savedErrno;
}

void catchTerminalSignals()
{
    for (std::size_t i = 0; i < std::size(restoringSignals); ++i)
        catchSignalUnlessIgnored(restoringSignals[i], restoreTerminalAndResignal, &previousActions[i]);
    catchSignalUnlessIgnored(SIGTSTP, restoreTerminalAndStop, &previousStopAction);
}

void releaseTerminalSignals()
{
    for (std::size_t i = 0; i < std::size(restoringSignals); ++i)
        sigaction(restoringSignals[i], &previousActions[i], nullptr);
    sigaction(SIGTSTP, &previousStopAction, nullptr);
}

int readTerminalKey(std::FILE* in)
{
    static bool exitHookInstalled = false;
    if (!exitHookInstalled) {
        std::atexit(restoreTerminalAtExit);
        exitHookInstalled = true;
    }
    const int fd = fileno(in);
    if (tcgetattr(fd, &savedTerminal) != 0) return readLineKey(in);
    rawTerminal = savedTerminal;
    rawTerminal.c_lflag &= ~(ICANON | ECHO);  // ISIG stays on, so Ctrl-C still works
    rawTerminal.c_cc[VMIN] = 1;
    rawTerminal.c_cc[VTIME] = 0;

    catchTerminalSignals();
    rawTerminalFd = fd;
    terminalIsRaw = 1;
    // TCSANOW: TCSAFLUSH would throw away keys typed ahead.
    if (tcsetattr(fd, TCSANOW, &rawTerminal) != 0) {
        const int error = errno;
        terminalIsRaw = 0;
        releaseTerminalSignals();
        std::fprintf(stderr, "\n(1キー入力にできません：%s。キーのあとEnterを押してください)", std::strerror(error));
        return readLineKey(in);
    }
    const int key = std::getc(in);
    if (!restoreTerminal())
        std::fprintf(stderr, "\n(端末の設定を戻せません：%s。stty sane で戻ります)", std::strerror(errno));
    releaseTerminalSignals();
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
    return isatty(fileno(in)) ? readTerminalKey(in) : readLineKey(in);
}

bool readTrimmedLine(std::FILE* in, std::string* line)
{
    for (;;) {
        line->clear();
        int c;
        while ((c = std::getc(in)) != EOF && c != '\n') line->push_back(static_cast<char>(c));
        const std::size_t first = line->find_first_not_of(" \t\r\v\f");
        if (first != std::string::npos) {
            line->erase(line->find_last_not_of(" \t\r\v\f") + 1);
            line->erase(0, first);
            return true;
        }
        if (c == EOF) return false;
    }
}
