// The tooth data file: a header, one "x,y" row per point and a Japanese trailer; and the
// atomic file wrapper every export shares. A file is written beside its final name and
// renamed into place, so a failed write never leaves an existing file truncated.
#include "gearplot.h"

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
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

namespace {

std::string systemReason(int error) { return std::strerror(error); }

// Devices and pipes (such as /dev/full) are written in place: they cannot be renamed over.
bool writeInPlace(const std::string& path, const FileWriter& write, std::string* reason)
{
    std::FILE* f = std::fopen(path.c_str(), "w");
    if (!f) {
        *reason = systemReason(errno);
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

}  // namespace

bool saveFileAtomically(const std::string& fileName, const FileWriter& write, std::string* reason)
{
    std::string target = fileName;
    struct stat st {};
    bool exists = lstat(target.c_str(), &st) == 0;
    if (exists && S_ISLNK(st.st_mode)) {
        // Replace the file the link points to, not the link.
        if (char* resolved = realpath(target.c_str(), nullptr)) {
            target = resolved;
            std::free(resolved);
        }
        exists = stat(target.c_str(), &st) == 0;
    }
    if (exists && S_ISDIR(st.st_mode)) {
        *reason = systemReason(EISDIR);
        return false;
    }
    if (exists && !S_ISREG(st.st_mode)) return writeInPlace(target, write, reason);

    const std::size_t slash = target.rfind('/');
    const std::string dir = slash == std::string::npos ? "." : target.substr(0, slash + 1);
    std::string temp = dir + (slash == std::string::npos ? "/" : "") + ".toothdata-XXXXXX";
    const int fd = mkstemp(temp.data());
    if (fd < 0) {
        *reason = systemReason(errno);
        return false;
    }
    fchmod(fd, exists ? (st.st_mode & 07777) : creationMode());
    std::FILE* f = fdopen(fd, "w");
    if (!f) {
        *reason = systemReason(errno);
        close(fd);
        unlink(temp.c_str());
        return false;
    }
    bool ok = write(f) && std::fflush(f) == 0 && fsync(fd) == 0;
    int error = errno;
    if (std::fclose(f) != 0 && ok) {
        ok = false;
        error = errno;
    }
    if (ok && std::rename(temp.c_str(), target.c_str()) != 0) {
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
    if (!readWord(in, &name)) {
        std::fputs("\n入力が終わりました：ファイルは書き込みません", out);
        return;
    }
    std::string reason;
    if (!saveToothData(name, z, m, table, &reason))
        std::fprintf(out, "\nファイル「%s」に書き込めません：%s", name.c_str(), reason.c_str());
}
