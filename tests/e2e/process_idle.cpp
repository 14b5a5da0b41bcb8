#include "process_idle.h"

#include <sys/syscall.h>

#include <chrono>
#include <dirent.h>
#include <fstream>
#include <string>
#include <thread>

namespace e2e {
namespace {

// A thread as /proc shows it at one moment.
struct ThreadSample {
    int tid;
    char state;              // R running or runnable, S asleep, D in the disk, …
    long long switches;      // context switches so far: a thread woken meanwhile has more
};

// The syscalls a thread blocks in while it waits for its next input.
bool isWaitingForInput(long call)
{
    switch (call) {
#ifdef SYS_poll
    case SYS_poll:
#endif
#ifdef SYS_select
    case SYS_select:
#endif
#ifdef SYS_epoll_wait
    case SYS_epoll_wait:
#endif
    case SYS_ppoll:
    case SYS_pselect6:
    case SYS_epoll_pwait:
#ifdef SYS_epoll_pwait2
    case SYS_epoll_pwait2:
#endif
        return true;
    default:
        return false;
    }
}

bool sampleThread(int pid, int tid, ThreadSample* sample)
{
    std::ifstream status("/proc/" + std::to_string(pid) + "/task/" + std::to_string(tid) + "/status");
    std::string key;
    sample->tid = tid;
    sample->state = 0;
    sample->switches = 0;
    bool gotState = false;
    while (status >> key) {
        if (key == "State:") {
            status >> sample->state;
            gotState = true;
        } else if (key == "voluntary_ctxt_switches:" || key == "nonvoluntary_ctxt_switches:") {
            long long n = 0;
            status >> n;
            sample->switches += n;
        }
        status.ignore(1 << 20, '\n');
    }
    return gotState;
}

// Every thread of pid; false if the process has gone.
bool sampleProcess(int pid, std::vector<ThreadSample>* threads)
{
    const std::string dir = "/proc/" + std::to_string(pid) + "/task";
    DIR* d = opendir(dir.c_str());
    if (!d) return false;
    while (dirent* e = readdir(d)) {
        if (e->d_name[0] == '.') continue;
        ThreadSample s{};
        if (sampleThread(pid, std::stoi(e->d_name), &s)) threads->push_back(s);
    }
    closedir(d);
    return !threads->empty();
}

// The main thread's blocking syscall; a program blocked writing to a full pipe is not idle.
// Where /proc does not tell (no permission), the thread states alone decide.
bool mainThreadWaitsForInput(int pid)
{
    std::ifstream file("/proc/" + std::to_string(pid) + "/syscall");
    std::string first;
    if (!(file >> first)) return true;
    if (first == "running") return false;
    try {
        return isWaitingForInput(std::stol(first));
    } catch (...) {
        return false;
    }
}

bool allAsleep(const std::vector<ThreadSample>& threads)
{
    for (const auto& t : threads)
        if (t.state != 'S') return false;
    return true;
}

bool sameThreadsUnwoken(const std::vector<ThreadSample>& a, const std::vector<ThreadSample>& b)
{
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (a[i].tid != b[i].tid || a[i].switches != b[i].switches) return false;
    return true;
}

// All processes sampled in turn; false if one has gone or is busy.
bool sampleAsleep(const std::vector<int>& pids, std::vector<std::vector<ThreadSample>>* samples)
{
    samples->assign(pids.size(), {});
    for (std::size_t i = 0; i < pids.size(); ++i)
        if (!sampleProcess(pids[i], &(*samples)[i]) || !allAsleep((*samples)[i]) || !mainThreadWaitsForInput(pids[i]))
            return false;
    return true;
}

}  // namespace

bool waitUntilIdle(const std::vector<int>& pids, double seconds)
{
    using Clock = std::chrono::steady_clock;
    const auto deadline = Clock::now() + std::chrono::duration<double>(seconds);
    std::vector<std::vector<ThreadSample>> before, after;
    while (Clock::now() < deadline) {
        // Two samples of every process with a pause between: a thread asleep at both with no
        // context switch in between slept throughout, and the intervals of all processes
        // overlap. Asleep together, none can have anything left to hand to another.
        if (sampleAsleep(pids, &before)) {
            std::this_thread::sleep_for(std::chrono::milliseconds(30));
            if (sampleAsleep(pids, &after)) {
                bool unwoken = true;
                for (std::size_t i = 0; i < pids.size() && unwoken; ++i)
                    unwoken = sameThreadsUnwoken(before[i], after[i]);
                if (unwoken) return true;
            }
        }
        for (int pid : pids)
            if (!std::ifstream("/proc/" + std::to_string(pid) + "/stat")) return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return false;
}

}  // namespace e2e
