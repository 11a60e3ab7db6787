// Processor time of another thread of this process, found from outside the code that started it (Linux): list
// the threads before and after it starts, then read the new one's CPU clock by its thread id.
#pragma once

#include <sys/types.h>

#include <vector>

namespace threadclock {

// Ids of this process's threads, ascending.
std::vector<pid_t> ThreadIds();
// The one thread that is in ThreadIds() now and not in before; 0 when there is none or more than one.
pid_t StartedSince(const std::vector<pid_t>& before);
// Processor time that thread tid of this process has used, in seconds; a negative value when it cannot be read.
double CpuSeconds(pid_t tid);

}  // namespace threadclock
