// Output files on POSIX systems.
#include "PlatformFiles.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <vector>

namespace cchost {

int CreateUniqueFile(const std::string& prefix, std::string* name) {
  std::string pattern = prefix + "XXXXXX";
  std::vector<char> buffer(pattern.begin(), pattern.end());
  buffer.push_back('\0');
  const int fd = mkstemp(buffer.data());
  if (fd >= 0) *name = buffer.data();
  return fd;
}

bool FinishUniqueFile(int fd) {
  // mkstemp makes the file private; outputs are ordinary files.
  const bool modeSet = fchmod(fd, 0644) == 0;
  return close(fd) == 0 && modeSet;
}

bool MoveReplacing(const std::string& from, const std::string& to) { return std::rename(from.c_str(), to.c_str()) == 0; }

}  // namespace cchost
