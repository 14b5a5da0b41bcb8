// The tooth data file: a header, one "x,y" row per point and a Japanese trailer; and the
// atomic file wrapper every export shares. A file is written beside its final name and
// renamed into place, so a failed write never leaves an existing file truncated.
#include "gearplot.h"

#include <cerrno>
#include <climits>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <iterator>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

bool writeToothData(std::FILE* out, int z, int m, const Point2 table[])
{
    bool ok = std::fprintf(out, "z=%d   m=%d\n", z, m) >= 0;
    for (int i = 0; i <= m && ok; ++i) ok = std::fprintf(out, "%lf,%lf\n", table[i].x, table[i].y) >= 0;
    ok = ok && std::fputs("\n/********************************************************/", out) >= 0;
    // The value written after m= is the last index; the file holds m + 1 rows.
    ok = ok && std::fprintf(out, "\nz=%d : 歯数  m=%d：インボリュート・切り下げを含むデータ数", z, m) >= 0;
    return ok;
}

// The late system calls of the atomic writer; a test puts failing ones here.
FileSystemCalls fileSystemCalls{fsync, std::rename};

namespace {

std::string systemReason(int error) { return std::strerror(error); }

// Devices and pipes (such as /dev/full) are written in place: they cannot be renamed over.
bool writeInPlace(const std::string& path, const FileWriter& write, std::string* reason)
{
    // Not blocking in open: a named pipe that nobody reads would wait for a reader forever.
    const int fd = open(path.c_str(), O_WRONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
    if (fd < 0) {
        *reason = errno == ENXIO ? "No process is reading the pipe" : systemReason(errno);
        return false;
    }
    fcntl(fd, F_SETFL, fcntl(fd, F_GETFL) & ~O_NONBLOCK);
    std::FILE* f = fdopen(fd, "w");
    if (!f) {
        *reason = systemReason(errno);
        close(fd);
        return false;
    }
    bool ok = write(f) && std::fflush(f) == 0;
    int error = errno;
    if (std::fclose(f) != 0 && ok) {
        ok = false;
        error = errno;
    }
    if (!ok) *reason = systemReason(error);
    return ok;
}

mode_t creationMode()
{
    const mode_t mask = umask(0);
    umask(mask);
    return 0666 & ~mask;
}

constexpr int linkLimit = 40;  // the kernel's own limit: more links in a row are a loop

// Follows the symbolic links of path, dangling ones too, to the name that is really written.
bool followLinks(const std::string& path, std::string* target, int* error)
{
    std::string at = path;
    for (int hops = 0;; ++hops) {
        struct stat st {};
        if (lstat(at.c_str(), &st) != 0 || !S_ISLNK(st.st_mode)) {
            *target = at;
            return true;
        }
        if (hops == linkLimit) {
            *error = ELOOP;
            return false;
        }
        std::string link(PATH_MAX, '\0');
        const ssize_t n = readlink(at.c_str(), link.data(), link.size());
        if (n < 0) {
            *error = errno;
            return false;
        }
        link.resize(static_cast<std::size_t>(n));
        const std::size_t slash = at.rfind('/');
        if (link.front() != '/' && slash != std::string::npos) link = at.substr(0, slash + 1) + link;
        at = link;
    }
}

// ---- The temporary file, removed when a signal ends the program during a save ----

const char* volatile temporaryInProgress = nullptr;
constexpr int interruptingSignals[] = {SIGINT, SIGTERM, SIGHUP, SIGQUIT};
struct sigaction actionsBeforeSave[std::size(interruptingSignals)];

extern "C" void removeTemporaryAndResignal(int sig)
{
    if (const char* temporary = temporaryInProgress) unlink(temporary);  // async-signal-safe
    temporaryInProgress = nullptr;
    for (std::size_t i = 0; i < std::size(interruptingSignals); ++i)
        if (interruptingSignals[i] == sig) sigaction(sig, &actionsBeforeSave[i], nullptr);
    raise(sig);  // delivered with the earlier action once this handler returns
}

// While it lives, the interrupting signals remove temporary first. Signals the program was
// told to ignore stay ignored.
class TemporaryGuard {
public:
    explicit TemporaryGuard(const std::string& temporary)
    {
        temporaryInProgress = temporary.c_str();
        for (std::size_t i = 0; i < std::size(interruptingSignals); ++i)
            catchSignalUnlessIgnored(interruptingSignals[i], removeTemporaryAndResignal, &actionsBeforeSave[i]);
    }
    ~TemporaryGuard()
    {
        for (std::size_t i = 0; i < std::size(interruptingSignals); ++i)
            sigaction(interruptingSignals[i], &actionsBeforeSave[i], nullptr);
        temporaryInProgress = nullptr;
    }
    TemporaryGuard(const TemporaryGuard&) = delete;
    TemporaryGuard& operator=(const TemporaryGuard&) = delete;
};

// Gives the replacement the old file's owner and group where this process may (root saving
// over a user's file); elsewhere it stays the saver's, as any new file would.
void keepOwnerWherePermitted(int fd, const struct stat& old)
{
    if (fchown(fd, old.st_uid, old.st_gid) == 0) return;
    if (fchown(fd, static_cast<uid_t>(-1), old.st_gid) == 0) return;
}

}  // namespace

bool saveFileAtomically(const std::string& fileName, const FileWriter& write, std::string* reason)
{
    std::string target;
    int linkError = 0;
    if (!followLinks(fileName, &target, &linkError)) {
        *reason = systemReason(linkError);
        return false;
    }
    struct stat st {};
    const bool exists = stat(target.c_str(), &st) == 0;
    if (exists && S_ISDIR(st.st_mode)) {
        *reason = systemReason(EISDIR);
        return false;
    }
    if (exists && !S_ISREG(st.st_mode)) return writeInPlace(target, write, reason);

    const std::size_t slash = target.rfind('/');
    const std::string dir = slash == std::string::npos ? "." : target.substr(0, slash + 1);
    std::string temp = dir + (slash == std::string::npos ? "/" : "") + ".toothdata-XXXXXX";
    const TemporaryGuard guard(temp);  // mkstemp fills in the name in the same buffer
    const int fd = mkstemp(temp.data());
    if (fd < 0) {
        *reason = systemReason(errno);
        return false;
    }
    // Owner first: a change of owner can clear permission bits.
    if (exists) keepOwnerWherePermitted(fd, st);
    std::FILE* f = nullptr;
    int error = 0;
    if (fchmod(fd, exists ? (st.st_mode & 07777) : creationMode()) != 0 || !(f = fdopen(fd, "w"))) {
        *reason = systemReason(errno);
        close(fd);
        unlink(temp.c_str());
        return false;
    }
    bool ok = write(f) && std::fflush(f) == 0 && fileSystemCalls.fsync(fd) == 0;
    error = errno;
    if (std::fclose(f) != 0 && ok) {
        ok = false;
        error = errno;
    }
    if (ok && fileSystemCalls.rename(temp.c_str(), target.c_str()) != 0) {
        ok = false;
        error = errno;
    }
    if (!ok) {
        unlink(temp.c_str());
        *reason = systemReason(error);
    }
    return ok;
}

bool saveToothData(const std::string& fileName, int z, int m, const Point2 table[],
                   std::string* reason)
{
    return saveFileAtomically(
        fileName, [&](std::FILE* f) { return writeToothData(f, z, m, table); }, reason);
}

void writeToothFile(std::FILE* in, std::FILE* out, int z, int m, const Point2 table[])
{
    std::fputs("\ndataz10,20,..（など歯数付加）へ書き込み", out);
    std::fputs("\nfilename=", out);
    std::fflush(out);
    std::string name;
    if (!readTrimmedLine(in, &name)) {
        std::fputs("\n入力が終わりました：ファイルは書き込みません", out);
        return;
    }
    std::string reason;
    if (!saveToothData(name, z, m, table, &reason))
        std::fprintf(out, "\nファイル「%s」に書き込めません：%s", name.c_str(), reason.c_str());
}
