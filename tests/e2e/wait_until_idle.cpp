// wait_until_idle SECONDS PID... — exits 0 once the processes have handled all their input
// (see process_idle.h), 1 if they did not within SECONDS. For the picture script.
#include "process_idle.h"

#include <cstdio>
#include <cstdlib>
#include <vector>

int main(int argc, char** argv)
{
    if (argc < 3) {
        std::fputs("usage: wait_until_idle SECONDS PID...\n", stderr);
        return 2;
    }
    std::vector<int> pids;
    for (int i = 2; i < argc; ++i) pids.push_back(std::atoi(argv[i]));
    if (e2e::waitUntilIdle(pids, std::atof(argv[1]))) return 0;
    std::fprintf(stderr, "wait_until_idle: still busy after %s s\n", argv[1]);
    return 1;
}
