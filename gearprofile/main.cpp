// gearprofile: an involute spur gear's numbers and its closed outline, from the command line.
#include "gearprofile.h"
#include "safefile.h"

#include <csignal>
#include <exception>
#include <new>

int main(int argc, char** argv)
{
    ensureStandardStreams();  // a file written must never take the place of standard output
    // A reader that leaves early is a failed write, reported, not a silent death: the next
    // file is still written.
    std::signal(SIGPIPE, SIG_IGN);
    try {
        return runGearProfile(argc, argv, stdout, stderr);
    } catch (const std::bad_alloc&) {
        std::fputs("gearprofile: out of memory\n", stderr);
    } catch (const std::exception& e) {
        std::fprintf(stderr, "gearprofile: %s\n", e.what());
    }
    return exitWriteFailed;
}
