// The atomic save: a file is written beside its final name and renamed into place, so a failed
// write never leaves an existing file truncated. Links are followed by hand, to replace their
// target and keep the link, and so each one is checked as the kernel would check it.
#include "safefile.h"

#include <cerrno>
#include <climits>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <iterator>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/statfs.h>
#include <unistd.h>

// The late system calls of the atomic writer; a test puts failing ones here.
FileSystemCalls fileSystemCalls{fsync, std::rename};

namespace {

constexpr int linkLimit = 40;             // the kernel's own limit: more links in a row are a loop
constexpr long procFileSystem = 0x9fa0;   // statfs's f_type of /proc

std::string systemReason(int error) { return std::strerror(error); }

bool fail(std::string* reason, const std::string& why)
{
    *reason = why;
    return false;
}

std::string folderOf(const std::string& path)
{
    const std::size_t slash = path.rfind('/');
    if (slash == std::string::npos) return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

// A sticky folder anyone may write to, such as /tmp: there the kernel protects its users from
// each other's links and files.
bool stickyAndWorldWritable(const struct stat& folder)
{
    return (folder.st_mode & S_ISVTX) && (folder.st_mode & S_IWOTH);
}

// Whether a thing owned by owner, in that folder, is one this process may trust there: its own,
// or the folder owner's.
bool trustedIn(const std::string& folder, uid_t owner)
{
    struct stat f {};
    if (stat(folder.c_str(), &f) != 0 || !stickyAndWorldWritable(f)) return true;
    return owner == geteuid() || owner == f.st_uid;
}

// Where a name leads.
struct Target {
    std::string path;  // the file really written (or made)
    bool inPlace;      // reached through /proc's descriptor links: opened by name, as the kernel walks it
};

// Follows the symbolic links of name, dangling ones too, to the file that is really written.
bool followLinks(const std::string& name, Target* target, int* error)
{
    std::string at = name;
    for (int hops = 0;; ++hops) {
        struct stat st {};
        if (lstat(at.c_str(), &st) != 0 || !S_ISLNK(st.st_mode)) {
            *target = {at, false};
            return true;
        }
        if (hops == linkLimit) {
            *error = ELOOP;
            return false;
        }
        const std::string folder = folderOf(at);
        struct statfs fs {};
        if (statfs(folder.c_str(), &fs) == 0 && static_cast<long>(fs.f_type) == procFileSystem) {
            // /dev/stdout and its kind name an open descriptor, not a path: a pipe, or the file
            // a shell redirect already opened, which must not be replaced.
            *target = {name, true};
            return true;
        }
        if (!trustedIn(folder, st.st_uid)) {  // a link planted by another user
            *error = EACCES;
            return false;
        }
        std::string link(PATH_MAX, '\0');
        const ssize_t n = readlink(at.c_str(), link.data(), link.size());
        if (n < 0) {
            *error = errno;
            return false;
        }
        link.resize(static_cast<std::size_t>(n));
        if (link.front() != '/' && at.find('/') != std::string::npos) link = folderOf(at) + "/" + link;
        at = link;
    }
}

// Whether this process could open an existing regular file for writing, as a redirect would.
bool mayWrite(const std::string& path, const struct stat& st, int* error)
{
    if (faccessat(AT_FDCWD, path.c_str(), W_OK, AT_EACCESS) != 0) {
        *error = errno;
        return false;
    }
    // Another user's file in a sticky world-writable folder is not opened for writing by a
    // redirect either, even by root.
    if (!trustedIn(folderOf(path), st.st_uid)) {
        *error = EACCES;
        return false;
    }
    return true;
}

// Pipes, terminals and devices (such as /dev/full) are written in place: they cannot be
// renamed over. appending keeps what a redirect's file already holds.
bool writeInPlace(const std::string& path, bool appending, const FileWriter& write, std::string* reason)
{
    // Not blocking in open: a named pipe that nobody reads would wait for a reader forever.
    const int fd = open(path.c_str(), O_WRONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY | (appending ? O_APPEND : 0));
    if (fd < 0) return fail(reason, errno == ENXIO ? "No process is reading the pipe" : systemReason(errno));
    fcntl(fd, F_SETFL, fcntl(fd, F_GETFL) & ~O_NONBLOCK);
    std::FILE* f = fdopen(fd, "w");
    if (!f) {
        const int error = errno;
        close(fd);
        return fail(reason, systemReason(error));
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

// Writes a regular file (or a new one) beside its name and renames it into place.
bool replaceAtomically(const std::string& target, const struct stat* old, const FileWriter& write, std::string* reason)
{
    const std::string dir = folderOf(target);
    std::string temp = dir + "/.partial-XXXXXX";
    const TemporaryGuard guard(temp);  // mkstemp fills in the name in the same buffer
    const int fd = mkstemp(temp.data());
    if (fd < 0) return fail(reason, systemReason(errno));
    // Owner first: a change of owner can clear permission bits.
    if (old) keepOwnerWherePermitted(fd, *old);
    std::FILE* f = nullptr;
    if (fchmod(fd, old ? (old->st_mode & 07777) : creationMode()) != 0 || !(f = fdopen(fd, "w"))) {
        const int error = errno;
        close(fd);
        unlink(temp.c_str());
        return fail(reason, systemReason(error));
    }
    bool ok = write(f) && std::fflush(f) == 0 && fileSystemCalls.fsync(fd) == 0;
    int error = errno;
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

}  // namespace

bool saveFileAtomically(const std::string& fileName, const FileWriter& write, std::string* reason,
                        SaveTargets targets)
{
    if (fileName.empty()) return fail(reason, systemReason(ENOENT));
    Target target{};
    int error = 0;
    if (!followLinks(fileName, &target, &error)) return fail(reason, systemReason(error));
    struct stat st {};
    const bool exists = stat(target.path.c_str(), &st) == 0;
    if (exists && S_ISDIR(st.st_mode)) return fail(reason, systemReason(EISDIR));
    if (exists && (target.inPlace || !S_ISREG(st.st_mode))) {
        if (targets == SaveTargets::regularOnly) return fail(reason, "not a regular file (a pipe or a device)");
        return writeInPlace(target.path, S_ISREG(st.st_mode), write, reason);
    }
    if (exists && !mayWrite(target.path, st, &error)) return fail(reason, systemReason(error));
    return replaceAtomically(target.path, exists ? &st : nullptr, write, reason);
}

bool sameFileTarget(const std::string& a, const std::string& b)
{
    Target ta{}, tb{};
    int error = 0;
    if (!followLinks(a, &ta, &error)) ta = {a, true};
    if (!followLinks(b, &tb, &error)) tb = {b, true};
    struct stat sa {}, sb {};
    const bool existsA = stat(ta.path.c_str(), &sa) == 0, existsB = stat(tb.path.c_str(), &sb) == 0;
    if (existsA || existsB) return existsA && existsB && sa.st_dev == sb.st_dev && sa.st_ino == sb.st_ino;
    // Neither is there yet: the same name in the same folder, however the folder is spelt.
    const auto place = [](const std::string& path) {
        char* folder = realpath(folderOf(path).c_str(), nullptr);
        const std::string base = path.substr(path.rfind('/') == std::string::npos ? 0 : path.rfind('/') + 1);
        const std::string at = folder ? std::string(folder) + "/" + base : path;
        std::free(folder);
        return at;
    };
    return place(ta.path) == place(tb.path);
}
