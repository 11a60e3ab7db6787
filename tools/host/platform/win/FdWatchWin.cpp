// Windows has no descriptors for plug-ins to register: editors pump their own window messages there.
#include <chrono>
#include <thread>

#include "FdWatch.h"

namespace cchost {

bool FdWatchSupported() { return false; }

bool WaitForFds(std::vector<WatchedFd>* fds, int timeoutMs) {
  for (WatchedFd& w : *fds) w.ready = 0;
  if (timeoutMs > 0) std::this_thread::sleep_for(std::chrono::milliseconds(timeoutMs));
  return true;
}

}  // namespace cchost
