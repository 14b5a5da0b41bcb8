// safefile: files written as a shell redirect by the same user could write them, and never
// left half-written; the standard streams and signals around a program's output. No drawing
// and no geometry: the engine's exports, both tools and the four programs share it.
#pragma once

#include <signal.h>

#include <cstdio>
#include <functional>
#include <string>

// ---- Atomic files ----

// Writes a file's whole content to the given stream; false when a write failed.
using FileWriter = std::function<bool(std::FILE* out)>;

// Which targets a save may write.
enum class SaveTargets {
    any,          // a regular file atomically; a pipe, a terminal or a device in place
    regularOnly,  // a regular file only: a window must never wait on a pipe that nobody reads
};

// Writes fileName through write, atomically (temporary file, then rename); on failure says why
// in the kernel's words. A symbolic link is followed only where the kernel would follow it for
// this process (in a sticky world-writable folder, only a link owned by this user or by the
// folder's owner), a dangling one too; a file this process could not open for writing is
// refused. The replaced file keeps its permissions and, where the process may, its owner and
// group. A target that is not a regular file (a pipe, /dev/stdout) is written in place.
bool saveFileAtomically(const std::string& fileName, const FileWriter& write, std::string* reason,
                        SaveTargets targets = SaveTargets::any);

// Whether two names reach the same file: the same device and inode where it exists, else the
// same place once links and the folder are resolved.
bool sameFileTarget(const std::string& a, const std::string& b);

// The system calls that make a save durable and final; tests replace them to make them fail.
struct FileSystemCalls {
    int (*fsync)(int fd);
    int (*rename)(const char* from, const char* to);
};
extern FileSystemCalls fileSystemCalls;

// ---- Streams, signals and messages ----

// Reopens any of descriptors 0 to 2 that is closed on /dev/null, so that no file opened later
// takes its place: the first call of every main. Standard output and error are reopened
// read-only, so what a program writes there still fails, as it would have.
void ensureStandardStreams();
// Flushes out and says whether everything written to it arrived; the reason when not.
bool streamDelivered(std::FILE* out, std::string* reason);
// Catches sig with handler, restarting interrupted reads, unless the program was started with
// sig ignored, which it keeps; the earlier action goes to previous.
void catchSignalUnlessIgnored(int sig, void (*handler)(int), struct sigaction* previous);
// text with control characters and broken UTF-8 shown as escapes (\n, \x1b), so that a
// message quoting what a user typed is one line and sends nothing to the terminal.
std::string printable(const std::string& text);
