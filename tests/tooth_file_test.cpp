// The tooth data file: its bytes, and that a file is either written whole or not touched,
// whatever fails, whatever the name points to and whatever signal arrives.
#include "gearplot.h"
#include "rack_generation.h"
#include "test_support.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <dirent.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

const std::string trailerRule = "\n/********************************************************/";

std::string toothData(int z, int m, const Point2 table[])
{
    char* buffer = nullptr;
    std::size_t length = 0;
    std::FILE* out = open_memstream(&buffer, &length);
    EXPECT_TRUE(writeToothData(out, z, m, table));
    std::fclose(out);
    std::string s(buffer, length);
    std::free(buffer);
    return s;
}

TEST(ToothData, LayoutIsExact)
{
    const Point2 t[] = {{1.5, -0.25}, {0.0, -0.0000004}, {-12.3456789, 7.0}};
    EXPECT_EQ(toothData(20, 2, t),
              "z=20   m=2\n"
              "1.500000,-0.250000\n"
              "0.000000,-0.000000\n"
              "-12.345679,7.000000\n" +
                  trailerRule + "\nz=20 : 歯数  m=2：インボリュート・切り下げを含むデータ数");
}

TEST(ToothData, TrailerIsUtf8AndEndsWithoutALineEnd)
{
    const Point2 t[] = {{0, 0}};
    const std::string data = toothData(7, 0, t);
    EXPECT_EQ(data, "z=7   m=0\n0.000000,0.000000\n" + trailerRule +
                        "\nz=7 : \xE6\xAD\xAF\xE6\x95\xB0  m=0\xEF\xBC\x9A"
                        "\xE3\x82\xA4\xE3\x83\xB3\xE3\x83\x9C\xE3\x83\xAA\xE3\x83\xA5\xE3\x83\xBC\xE3\x83\x88"
                        "\xE3\x83\xBB\xE5\x88\x87\xE3\x82\x8A\xE4\xB8\x8B\xE3\x81\x92\xE3\x82\x92"
                        "\xE5\x90\xAB\xE3\x82\x80\xE3\x83\x87\xE3\x83\xBC\xE3\x82\xBF\xE6\x95\xB0");
    EXPECT_EQ(std::count(trailerRule.begin(), trailerRule.end(), '*'), 56);
}

// Rows of a generated profile: the count, and each row the table entry to six digits.
void expectRowsOf(int z, int rows, double firstX, double firstY)
{
    static RackTables tables;
    const RackGear g = makeRackGear(z);
    generateRackTables(g, rollSteps(g), &tables);
    ScratchDir dir;
    std::string reason;
    const std::string path = dir.path("dataz" + std::to_string(z));
    ASSERT_TRUE(saveToothData(path, z, tables.profileLast, tables.toothProfile, &reason)) << reason;
    const std::string file = readWholeFile(path);
    EXPECT_EQ(file, toothData(z, tables.profileLast, tables.toothProfile));
    EXPECT_EQ(file.rfind("z=" + std::to_string(z) + "   m=" + std::to_string(rows - 1) + "\n", 0), 0u);
    std::FILE* f = std::fopen(path.c_str(), "r");
    int zz = 0, m = 0;
    ASSERT_EQ(std::fscanf(f, "z=%d   m=%d\n", &zz, &m), 2);
    for (int i = 0; i <= m; ++i) {
        double x = 0, y = 0;
        ASSERT_EQ(std::fscanf(f, "%lf,%lf\n", &x, &y), 2) << i;
        EXPECT_NEAR(x, tables.toothProfile[i].x, 5.1e-7);
        EXPECT_NEAR(y, tables.toothProfile[i].y, 5.1e-7);
        if (i == 0) {
            EXPECT_NEAR(x, firstX, 5e-5);
            EXPECT_NEAR(y, firstY, 5e-5);
        }
    }
    std::fclose(f);
}

TEST(ToothData, GeneratedProfilesForTenAndTwentyTeeth)
{
    expectRowsOf(10, 247, -0.3408, -1.2655);
    expectRowsOf(20, 189, -0.3980, -1.2591);
}

bool onlyEntryIs(const std::string& dir, const std::string& name)
{
    DIR* d = opendir(dir.c_str());
    int count = 0;
    bool found = false;
    while (dirent* e = readdir(d)) {
        const std::string n = e->d_name;
        if (n == "." || n == "..") continue;
        ++count;
        found = found || n == name;
    }
    closedir(d);
    return count == 1 && found;
}

TEST(SaveToothData, ReplacesAnExistingFileKeepingItsPermissions)
{
    ScratchDir dir;
    const std::string path = dir.path("dataz10");
    {
        std::FILE* f = std::fopen(path.c_str(), "w");
        std::fputs("old content that is longer than the new one will be, by a good margin\n", f);
        std::fclose(f);
    }
    chmod(path.c_str(), 0640);
    const Point2 t[] = {{1, 2}};
    std::string reason;
    ASSERT_TRUE(saveToothData(path, 10, 0, t, &reason));
    EXPECT_EQ(readWholeFile(path), toothData(10, 0, t));
    struct stat st {};
    stat(path.c_str(), &st);
    EXPECT_EQ(st.st_mode & 0777, 0640u);
    EXPECT_TRUE(onlyEntryIs(dir.dir(), "dataz10"));
}

TEST(SaveToothData, WritesThroughASymbolicLinkAndKeepsTheLink)
{
    ScratchDir dir;
    const std::string target = dir.path("real");
    const std::string link = dir.path("link");
    std::fclose(std::fopen(target.c_str(), "w"));
    ASSERT_EQ(symlink(target.c_str(), link.c_str()), 0);
    const Point2 t[] = {{3, 4}};
    std::string reason;
    ASSERT_TRUE(saveToothData(link, 5, 0, t, &reason)) << reason;
    struct stat st {};
    lstat(link.c_str(), &st);
    EXPECT_TRUE(S_ISLNK(st.st_mode));
    EXPECT_EQ(readWholeFile(target), toothData(5, 0, t));
}

TEST(SaveToothData, FailuresSayWhyAndLeaveNothingBehind)
{
    ScratchDir dir;
    const Point2 t[] = {{1, 2}};
    std::string reason;
    EXPECT_FALSE(saveToothData(dir.path("missing/dataz10"), 10, 0, t, &reason));
    EXPECT_EQ(reason, "No such file or directory");
    EXPECT_FALSE(saveToothData(dir.dir(), 10, 0, t, &reason));
    EXPECT_EQ(reason, "Is a directory");
    EXPECT_FALSE(saveToothData("/dev/full", 10, 0, t, &reason));
    EXPECT_EQ(reason, "No space left on device");
    DIR* d = opendir(dir.dir().c_str());
    int entries = 0;
    while (readdir(d)) ++entries;
    closedir(d);
    EXPECT_EQ(entries, 2);  // only . and ..
}

TEST(SaveToothData, AWriteThatFailsHalfWayLeavesTheOldFileWhole)
{
    ScratchDir dir;
    const std::string path = dir.path("dataz3");
    const std::string old = "the previous tooth data\n";
    {
        std::FILE* f = std::fopen(path.c_str(), "w");
        std::fputs(old.c_str(), f);
        std::fclose(f);
    }
    static Point2 many[601];
    for (int i = 0; i < 601; ++i) many[i] = {i * 1.5, -i * 0.25};
    const pid_t child = fork();
    if (child == 0) {
        // A file size limit of 4 KiB makes the write fail part-way through.
        std::signal(SIGXFSZ, SIG_IGN);
        rlimit limit{4096, 4096};
        setrlimit(RLIMIT_FSIZE, &limit);
        std::string reason;
        const bool ok = saveToothData(path, 3, 600, many, &reason);
        _exit(!ok && reason == "File too large" ? 0 : 1);
    }
    int status = 0;
    waitpid(child, &status, 0);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0);
    EXPECT_EQ(readWholeFile(path), old);
    EXPECT_TRUE(onlyEntryIs(dir.dir(), "dataz3"));
}

// ---- Faults of the atomic save: late failures, permissions, links, owners, signals ----

const Point2 oneRow[] = {{1, 2}};

std::string saveOneRow(const std::string& path, bool* ok = nullptr)
{
    std::string reason;
    const bool saved = saveToothData(path, 10, 0, oneRow, &reason);
    if (ok) *ok = saved;
    return saved ? "" : reason;
}

void writeFile(const std::string& path, const std::string& content)
{
    std::FILE* f = std::fopen(path.c_str(), "w");
    ASSERT_NE(f, nullptr) << path;
    std::fputs(content.c_str(), f);
    std::fclose(f);
}

int failWithIo(int) { return errno = EIO, -1; }
int failAcrossDevices(const char*, const char*) { return errno = EXDEV, -1; }

TEST(SaveFaults, AFailedSyncOrRenameIsReportedAndLeavesTheOldFileAlone)
{
    const FileSystemCalls real = fileSystemCalls;
    for (int failing = 0; failing < 2; ++failing) {
        ScratchDir dir;
        const std::string path = dir.path("dataz10");
        writeFile(path, "old\n");
        fileSystemCalls = real;
        if (failing == 0) fileSystemCalls.fsync = failWithIo;
        if (failing == 1) fileSystemCalls.rename = failAcrossDevices;
        bool ok = true;
        const std::string reason = saveOneRow(path, &ok);
        fileSystemCalls = real;
        EXPECT_FALSE(ok) << failing;
        EXPECT_EQ(reason, failing == 0 ? "Input/output error" : "Invalid cross-device link");
        EXPECT_EQ(readWholeFile(path), "old\n");
        EXPECT_TRUE(onlyEntryIs(dir.dir(), "dataz10")) << failing;
    }
}

TEST(SaveFaults, ANewFileTakesItsPermissionsFromTheUmask)
{
    ScratchDir dir;
    for (const mode_t mask : {mode_t(022), mode_t(007), mode_t(0)}) {
        const mode_t before = umask(mask);
        const std::string path = dir.path("dataz" + std::to_string(mask));
        EXPECT_EQ(saveOneRow(path), "");
        umask(before);
        struct stat st {};
        stat(path.c_str(), &st);
        EXPECT_EQ(st.st_mode & 0777, 0666 & ~mask) << mask;
    }
}

TEST(SaveFaults, ALinkIsWrittenThroughByReplacingItsTargetEvenWhenItDangles)
{
    ScratchDir dir;
    const std::string target = dir.path("real"), link = dir.path("link");
    writeFile(target, "old\n");
    ASSERT_EQ(symlink("real", link.c_str()), 0);  // relative, as people make them
    // A reader that has the old file open keeps reading the old content: it was replaced, not
    // truncated and rewritten in place.
    std::FILE* reader = std::fopen(target.c_str(), "r");
    EXPECT_EQ(saveOneRow(link), "");
    char old[8] = {};
    EXPECT_EQ(std::fread(old, 1, sizeof old - 1, reader), 4u);
    std::fclose(reader);
    EXPECT_STREQ(old, "old\n");
    EXPECT_EQ(readWholeFile(target), toothData(10, 0, oneRow));

    const std::string dangling = dir.path("dangling"), missing = dir.path("sub/missing");
    ASSERT_EQ(mkdir(dir.path("sub").c_str(), 0755), 0);
    ASSERT_EQ(symlink("sub/missing", dangling.c_str()), 0);
    EXPECT_EQ(saveOneRow(dangling), "");
    EXPECT_EQ(readWholeFile(missing), toothData(10, 0, oneRow));
    struct stat st {};
    lstat(dangling.c_str(), &st);
    EXPECT_TRUE(S_ISLNK(st.st_mode));
}

TEST(SaveFaults, ALinkLoopIsReportedAndNothingIsWritten)
{
    ScratchDir dir;
    ASSERT_EQ(symlink("b", dir.path("a").c_str()), 0);
    ASSERT_EQ(symlink("a", dir.path("b").c_str()), 0);
    EXPECT_EQ(saveOneRow(dir.path("a")), "Too many levels of symbolic links");
    struct stat st {};
    lstat(dir.path("a").c_str(), &st);
    EXPECT_TRUE(S_ISLNK(st.st_mode));
}

TEST(SaveFaults, SavingOverAnotherUsersFileKeepsItsOwnerAndGroup)
{
    if (geteuid() != 0) GTEST_SKIP() << "only root may give a file to another user";
    ScratchDir dir;
    const std::string path = dir.path("dataz10");
    writeFile(path, "old\n");
    ASSERT_EQ(chown(path.c_str(), 4321, 8765), 0);
    chmod(path.c_str(), 0604);
    EXPECT_EQ(saveOneRow(path), "");
    struct stat st {};
    stat(path.c_str(), &st);
    EXPECT_EQ(st.st_uid, 4321u);
    EXPECT_EQ(st.st_gid, 8765u);
    EXPECT_EQ(st.st_mode & 07777, 0604u);
}

// Runs a save in a child whose writer raises sig half-way; the child's wait status.
int saveInterruptedBy(int sig, const std::string& path, bool ignored)
{
    const pid_t child = fork();
    if (child == 0) {
        if (ignored) std::signal(sig, SIG_IGN);
        std::string reason;
        const bool ok = saveFileAtomically(
            path, [sig](std::FILE* f) { return std::fputs("half", f) >= 0 && std::raise(sig) == 0; }, &reason);
        _exit(ok ? 0 : 1);
    }
    int status = 0;
    waitpid(child, &status, 0);
    return status;
}

TEST(SaveFaults, ASignalDuringASaveRemovesTheTemporaryAndLeavesTheOldFile)
{
    for (int sig : {SIGINT, SIGTERM, SIGHUP}) {
        ScratchDir dir;
        const std::string path = dir.path("dataz10");
        writeFile(path, "old\n");
        const int status = saveInterruptedBy(sig, path, false);
        EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == sig) << sig;
        EXPECT_EQ(readWholeFile(path), "old\n");
        EXPECT_TRUE(onlyEntryIs(dir.dir(), "dataz10")) << sig;
        // Started with the signal ignored, as under nohup, the save carries on.
        EXPECT_EQ(saveInterruptedBy(sig, path, true), 0) << sig;
        EXPECT_EQ(readWholeFile(path), "half");
    }
}

TEST(SaveFaults, ANamedPipeWithoutAReaderIsReportedNotWaitedFor)
{
    ScratchDir dir;
    const std::string fifo = dir.path("fifo");
    ASSERT_EQ(mkfifo(fifo.c_str(), 0644), 0);
    const pid_t child = fork();
    if (child == 0) {
        alarm(30);  // a save that waits for a reader fails the test instead of hanging it
        _exit(saveOneRow(fifo) == "No process is reading the pipe" ? 0 : 1);
    }
    int status = 0;
    waitpid(child, &status, 0);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << status;
}

}  // namespace
