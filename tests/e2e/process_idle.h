// Knowing that processes have caught up: every thread asleep, none woken for a while, and the
// main threads waiting for input. Xvfb and a GLUT program only ever act on input, so once both
// sleep through the same interval every key sent before has been handled and drawn.
#pragma once

#include <vector>

namespace e2e {

// Waits until every process in pids sleeps through a short interval with its main thread
// blocked waiting for input (poll, select or epoll); false if that does not happen within
// seconds or a process has gone.
bool waitUntilIdle(const std::vector<int>& pids, double seconds);

}  // namespace e2e
