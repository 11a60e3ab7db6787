// File descriptor waiting through poll().
#include <poll.h>

#include <cstddef>

#include "FdWatch.h"

namespace cchost {

bool FdWatchSupported() { return true; }

bool WaitForFds(std::vector<WatchedFd>* fds, int timeoutMs) {
  std::vector<pollfd> polled;
  for (const WatchedFd& w : *fds)
    polled.push_back({w.fd, short(((w.wanted & 1) ? POLLIN : 0) | ((w.wanted & 2) ? POLLOUT : 0)), 0});
  const int n = poll(polled.data(), nfds_t(polled.size()), timeoutMs);
  if (n < 0) return false;
  for (std::size_t i = 0; i < fds->size(); ++i) {
    const short r = polled[i].revents;
    (*fds)[i].ready =
        ((r & POLLIN) ? 1u : 0u) | ((r & POLLOUT) ? 2u : 0u) | ((r & (POLLERR | POLLHUP | POLLNVAL)) ? 4u : 0u);
  }
  return true;
}

}  // namespace cchost
