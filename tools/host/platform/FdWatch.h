// Waiting on the file descriptors a CLAP plug-in registers for its editor (posix-fd-support). Only POSIX
// systems have them (FdWatchPosix.cpp); on Windows (FdWatchWin.cpp) there is nothing to watch.
#pragma once

#include <cstdint>
#include <vector>

namespace cchost {

struct WatchedFd {
  int fd;
  uint32_t wanted;  // read 1, write 2, error 4: the CLAP flag bits
  uint32_t ready;   // what happened, same bits
};

// Whether plug-ins may register descriptors on this system.
bool FdWatchSupported();
// Waits at most timeoutMs for any of fds to become ready and fills in ready; false on error.
bool WaitForFds(std::vector<WatchedFd>* fds, int timeoutMs);

}  // namespace cchost
