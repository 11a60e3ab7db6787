// Output files on Windows.
#include "PlatformFiles.h"

#include <fcntl.h>
#include <io.h>
#include <sys/stat.h>
#include <windows.h>

#include <cerrno>
#include <cstdio>

namespace cchost {

int CreateUniqueFile(const std::string& prefix, std::string* name) {
  // Binary mode: text mode would turn every 0x0A of a MIDI file into 0x0D 0x0A.
  const DWORD seed = GetTickCount() ^ (GetCurrentProcessId() << 16);
  for (unsigned attempt = 0; attempt < 100; ++attempt) {
    char suffix[16];
    std::snprintf(suffix, sizeof(suffix), "%06lx", static_cast<unsigned long>((seed + attempt * 7919u) & 0xFFFFFF));
    const std::string candidate = prefix + suffix;
    const int fd = _open(candidate.c_str(), _O_WRONLY | _O_CREAT | _O_EXCL | _O_BINARY, _S_IREAD | _S_IWRITE);
    if (fd >= 0) {
      *name = candidate;
      return fd;
    }
    if (errno != EEXIST) return -1;
  }
  return -1;
}

bool FinishUniqueFile(int fd) { return _close(fd) == 0; }

bool MoveReplacing(const std::string& from, const std::string& to) {
  // rename refuses to replace an existing file on Windows.
  return MoveFileExA(from.c_str(), to.c_str(), MOVEFILE_REPLACE_EXISTING) != 0;
}

}  // namespace cchost
