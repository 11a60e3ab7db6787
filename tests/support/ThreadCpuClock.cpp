#include "ThreadCpuClock.h"

#include <dirent.h>

#include <algorithm>
#include <cstdlib>
#include <ctime>
#include <iterator>

namespace threadclock {

std::vector<pid_t> ThreadIds() {
  std::vector<pid_t> ids;
  DIR* dir = opendir("/proc/self/task");
  if (!dir) return ids;
  while (const dirent* entry = readdir(dir)) {
    const long id = std::strtol(entry->d_name, nullptr, 10);
    if (id > 0) ids.push_back(static_cast<pid_t>(id));
  }
  closedir(dir);
  std::sort(ids.begin(), ids.end());
  return ids;
}

pid_t StartedSince(const std::vector<pid_t>& before) {
  const std::vector<pid_t> now = ThreadIds();
  std::vector<pid_t> started;
  std::set_difference(now.begin(), now.end(), before.begin(), before.end(), std::back_inserter(started));
  return started.size() == 1 ? started[0] : 0;
}

double CpuSeconds(pid_t tid) {
  // The kernel's clock id of one thread's scheduler time, as pthread_getcpuclockid builds it from the same id.
  const clockid_t clock = static_cast<clockid_t>((~static_cast<unsigned>(tid) << 3) | 6u);
  timespec t = {};
  if (tid <= 0 || clock_gettime(clock, &t) != 0) return -1.0;
  return double(t.tv_sec) + double(t.tv_nsec) * 1e-9;
}

}  // namespace threadclock
