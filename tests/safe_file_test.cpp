// Where the safe writer may write, checked against what the kernel itself allows this process:
// planted links, read-only files, other users' files in shared folders, pipes and standard
// output; and the messages and streams around it.
#include "safefile.h"
#include "test_support.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

constexpr uid_t someoneElse = 65534;  // nobody

void writeFile(const std::string& path, const std::string& content)
{
    std::FILE* f = std::fopen(path.c_str(), "w");
    ASSERT_NE(f, nullptr) << path;
    std::fputs(content.c_str(), f);
    std::fclose(f);
}

// Saves "new\n"; the reason, or "" when saved.
std::string saveNew(const std::string& path, SaveTargets targets = SaveTargets::any)
{
    std::string reason;
    return saveFileAtomically(path, [](std::FILE* f) { return std::fputs("new\n", f) >= 0; }, &reason, targets)
               ? ""
               : reason;
}

// What the kernel says to opening path for writing as a redirect does: "" or its reason.
std::string kernelVerdict(const std::string& path)
{
    const int fd = open(path.c_str(), O_WRONLY | O_CREAT, 0666);
    if (fd < 0) return std::strerror(errno);
    close(fd);
    return "";
}

int readSetting(const char* file)
{
    int value = -1;
    if (std::FILE* f = std::fopen(file, "r")) {
        if (std::fscanf(f, "%d", &value) != 1) value = -1;
        std::fclose(f);
    }
    return value;
}

// Runs check in a child as the given user (root stays root) and gives its exit status.
int asUser(uid_t user, const std::function<bool()>& check)
{
    const pid_t child = fork();
    if (child == 0) {
        if (user != 0 && (setgid(user) != 0 || setuid(user) != 0)) _exit(3);
        _exit(check() ? 0 : 1);
    }
    int status = 0;
    waitpid(child, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
}

TEST(FileTargets, ALinkPlantedByAnotherUserInAStickySharedFolderIsNotFollowed)
{
    if (geteuid() != 0) GTEST_SKIP() << "planting a link as another user needs root";
    ScratchDir dir;
    ASSERT_EQ(chmod(dir.dir().c_str(), 0755), 0);
    const std::string shared = dir.path("shared"), precious = dir.path("precious"), planted = shared + "/out.svg";
    ASSERT_EQ(mkdir(shared.c_str(), 0777), 0);
    ASSERT_EQ(chmod(shared.c_str(), 01777), 0);  // like /tmp
    writeFile(precious, "root's\n");
    ASSERT_EQ(symlink(precious.c_str(), planted.c_str()), 0);
    ASSERT_EQ(lchown(planted.c_str(), someoneElse, someoneElse), 0);

    EXPECT_EQ(saveNew(planted), "Permission denied");
    EXPECT_EQ(readWholeFile(precious), "root's\n");
    // Where the kernel protects links, a redirect is refused the same way.
    if (readSetting("/proc/sys/fs/protected_symlinks") == 1) {
        EXPECT_EQ(kernelVerdict(planted), "Permission denied");
    }

    // The writer's own link is followed there, and another user's link in a folder that is
    // not sticky: its owner could have put any file there anyway.
    ASSERT_EQ(lchown(planted.c_str(), 0, 0), 0);
    EXPECT_EQ(saveNew(planted), "");
    EXPECT_EQ(readWholeFile(precious), "new\n");
    ASSERT_EQ(lchown(planted.c_str(), someoneElse, someoneElse), 0);
    ASSERT_EQ(chmod(shared.c_str(), 0777), 0);
    writeFile(precious, "root's\n");
    EXPECT_EQ(saveNew(planted), "");
    EXPECT_EQ(readWholeFile(precious), "new\n");
    struct stat st {};
    ASSERT_EQ(lstat(planted.c_str(), &st), 0);
    EXPECT_TRUE(S_ISLNK(st.st_mode));  // the link itself stays
}

TEST(FileTargets, AFileThisProcessCouldNotOpenForWritingIsRefusedAsARedirectIs)
{
    ScratchDir dir;
    ASSERT_EQ(chmod(dir.dir().c_str(), 0777), 0);
    const std::string path = dir.path("read-only");
    writeFile(path, "old\n");
    ASSERT_EQ(chmod(path.c_str(), 0444), 0);
    const uid_t user = geteuid() == 0 ? someoneElse : geteuid();
    if (geteuid() == 0) {
        ASSERT_EQ(chown(path.c_str(), user, user), 0);
    }
    // The owner, without root's privilege: the kernel refuses, and so does the save.
    EXPECT_EQ(asUser(user, [&] {
                  const std::string kernel = kernelVerdict(path);
                  return !kernel.empty() && saveNew(path) == kernel && readWholeFile(path) == "old\n";
              }),
              0);
    // Root may, as with a redirect; the file keeps its mode.
    if (geteuid() == 0) {
        EXPECT_EQ(saveNew(path), "");
        EXPECT_EQ(readWholeFile(path), "new\n");
        struct stat st {};
        stat(path.c_str(), &st);
        EXPECT_EQ(st.st_mode & 0777, 0444u);
    }
}

TEST(FileTargets, AnotherUsersFileInAStickySharedFolderIsLeftAlone)
{
    if (geteuid() != 0) GTEST_SKIP() << "giving a file to another user needs root";
    ScratchDir dir;
    ASSERT_EQ(chmod(dir.dir().c_str(), 01777), 0);
    const std::string theirs = dir.path("theirs.svg");
    writeFile(theirs, "theirs\n");
    ASSERT_EQ(chown(theirs.c_str(), someoneElse, someoneElse), 0);
    ASSERT_EQ(chmod(theirs.c_str(), 0666), 0);
    EXPECT_EQ(saveNew(theirs), "Permission denied");
    EXPECT_EQ(readWholeFile(theirs), "theirs\n");
    if (readSetting("/proc/sys/fs/protected_regular") >= 1) {
        EXPECT_EQ(kernelVerdict(theirs), "Permission denied");
    }
    EXPECT_EQ(saveNew(dir.path("mine.svg")), "");  // a new name there is the writer's own
}

// Runs a save of "gear\n" to /dev/stdout in a child whose standard output is fd, after it has
// printed "report\n" there.
void saveToStandardOutput(int fd)
{
    const pid_t child = fork();
    if (child == 0) {
        dup2(fd, 1);
        std::fputs("report\n", stdout);
        std::fflush(stdout);
        _exit(saveNew("/dev/stdout").empty() ? 0 : 1);
    }
    int status = 0;
    waitpid(child, &status, 0);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << status;
}

TEST(FileTargets, StandardOutputIsWrittenInPlaceIntoAPipeOrAfterARedirectsReport)
{
    int ends[2];
    ASSERT_EQ(pipe(ends), 0);
    saveToStandardOutput(ends[1]);
    close(ends[1]);
    char buffer[64] = {};
    std::string piped;
    for (ssize_t n; (n = read(ends[0], buffer, sizeof buffer)) > 0;) piped.append(buffer, static_cast<std::size_t>(n));
    close(ends[0]);
    EXPECT_EQ(piped, "report\nnew\n");

    ScratchDir dir;
    const std::string redirected = dir.path("out.txt");
    const int fd = open(redirected.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    saveToStandardOutput(fd);
    close(fd);
    EXPECT_EQ(readWholeFile(redirected), "report\nnew\n");  // the report kept, not replaced
}

TEST(FileTargets, AWindowsSaveRefusesPipesAndDevicesAtOnce)
{
    ScratchDir dir;
    const std::string fifo = dir.path("gear.svg");
    ASSERT_EQ(mkfifo(fifo.c_str(), 0644), 0);
    EXPECT_EQ(asUser(0, [&] {
                  alarm(60);  // a save that waited on the pipe would fail the test, not hang it
                  return saveNew(fifo, SaveTargets::regularOnly) == "not a regular file (a pipe or a device)" &&
                         saveNew("/dev/null", SaveTargets::regularOnly) == "not a regular file (a pipe or a device)";
              }),
              0);
    EXPECT_EQ(saveNew(dir.path("plain.svg"), SaveTargets::regularOnly), "");
}

TEST(FileTargets, TwoNamesOfOneFileAreKnownAsOne)
{
    ScratchDir dir;
    const std::string a = dir.path("a.svg");
    writeFile(a, "a\n");
    ASSERT_EQ(link(a.c_str(), dir.path("hard.svg").c_str()), 0);
    ASSERT_EQ(symlink("a.svg", dir.path("soft.svg").c_str()), 0);
    ASSERT_EQ(mkdir(dir.path("sub").c_str(), 0755), 0);
    EXPECT_TRUE(sameFileTarget(a, dir.path("hard.svg")));
    EXPECT_TRUE(sameFileTarget(a, dir.path("soft.svg")));
    EXPECT_TRUE(sameFileTarget(a, dir.path("sub/../a.svg")));
    EXPECT_TRUE(sameFileTarget(dir.path("new.dxf"), dir.path("sub/../new.dxf")));  // neither there yet
    EXPECT_FALSE(sameFileTarget(dir.path("new.dxf"), dir.path("new.csv")));
    EXPECT_FALSE(sameFileTarget(a, dir.path("new.dxf")));
}

TEST(Messages, WhatAUserTypedIsShownOnOneLineAndSendsNothingToTheTerminal)
{
    EXPECT_EQ(printable("20\n"), "20\\n");
    EXPECT_EQ(printable("\x1b[31m"), "\\x1b[31m");
    EXPECT_EQ(printable("a\tb\\c\x7f"), "a\\tb\\\\c\\x7f");
    EXPECT_EQ(printable("歯数 α 20°"), "歯数 α 20°");       // well-formed UTF-8 stays
    EXPECT_EQ(printable("\xc2\x9b" "1m"), "\\xc2\\x9b1m");  // the C1 escape is a control too
    EXPECT_EQ(printable("\xff\xe6\xad"), "\\xff\\xe6\\xad");  // broken and cut-off sequences
}

TEST(Messages, AStreamThatDidNotDeliverSaysWhy)
{
    std::string reason;
    std::FILE* full = std::fopen("/dev/full", "w");
    ASSERT_NE(full, nullptr);
    std::fputs("report\n", full);
    EXPECT_FALSE(streamDelivered(full, &reason));
    EXPECT_EQ(reason, "No space left on device");
    std::fclose(full);

    // A closed standard output, reopened by ensureStandardStreams, still fails.
    EXPECT_EQ(asUser(0, [] {
                  close(1);
                  ensureStandardStreams();
                  std::fputs("report\n", stdout);
                  std::string why;
                  return !streamDelivered(stdout, &why) && why == "the stream is closed";
              }),
              0);
}

}  // namespace
