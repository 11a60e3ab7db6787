// File reading and the all-or-nothing output commit.
#include "FileIo.h"
#include "PlatformFiles.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>

#include <sys/stat.h>
#include <unistd.h>

namespace cchost {
namespace {
constexpr long kMaxInputBytes = 256L << 20;  // no MIDI or preset file comes near this

std::string Folder(const std::string& path) {
  const size_t slash = path.find_last_of('/');
  if (slash == std::string::npos) return ".";
  return slash == 0 ? "/" : path.substr(0, slash);
}
}  // namespace

bool ReadWholeFile(const std::string& path, std::vector<uint8_t>* out, std::string* error) {
  struct stat st = {};
  if (stat(path.c_str(), &st) != 0) {
    *error = path + ": " + std::strerror(errno);
    return false;
  }
  if (!S_ISREG(st.st_mode)) {
    *error = path + ": not a regular file";
    return false;
  }
  if (st.st_size > kMaxInputBytes) {
    *error = path + ": file too large";
    return false;
  }
  FILE* f = std::fopen(path.c_str(), "rb");
  if (!f) {
    *error = path + ": " + std::strerror(errno);
    return false;
  }
  std::vector<uint8_t> bytes(static_cast<size_t>(st.st_size));
  const size_t got = bytes.empty() ? 0 : std::fread(bytes.data(), 1, bytes.size(), f);
  const bool ok = got == bytes.size() && !std::ferror(f);
  std::fclose(f);
  if (!ok) {
    *error = path + ": read error";
    return false;
  }
  *out = std::move(bytes);
  return true;
}

bool CheckWritable(const std::string& path, std::string* error) {
  const std::string folder = Folder(path);
  struct stat st = {};
  if (stat(folder.c_str(), &st) != 0 || !S_ISDIR(st.st_mode)) {
    *error = path + ": folder " + folder + " does not exist";
    return false;
  }
  if (access(folder.c_str(), W_OK) != 0) {
    *error = path + ": folder " + folder + " is not writable";
    return false;
  }
  if (stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode)) {
    *error = path + ": is a folder";
    return false;
  }
  return true;
}

void OutputFiles::Add(const std::string& path, std::vector<uint8_t> bytes) {
  mPaths.push_back(path);
  mContents.push_back(std::move(bytes));
}

bool OutputFiles::Commit(std::string* error) {
  std::vector<std::string> temps;
  auto cleanUp = [&temps]() {
    for (const std::string& t : temps) std::remove(t.c_str());
  };
  for (size_t i = 0; i < mPaths.size(); ++i) {
    std::string temp;
    const int fd = CreateUniqueFile(mPaths[i] + ".part", &temp);
    if (fd < 0) {
      *error = mPaths[i] + ": " + std::strerror(errno);
      cleanUp();
      return false;
    }
    temps.push_back(temp);
    const std::vector<uint8_t>& data = mContents[i];
    size_t done = 0;
    while (done < data.size()) {
      const auto n = write(fd, data.data() + done, static_cast<unsigned>(std::min<size_t>(data.size() - done, 1u << 30)));
      if (n <= 0) break;
      done += static_cast<size_t>(n);
    }
    const bool ok = FinishUniqueFile(fd) && done == data.size();
    if (!ok) {
      *error = mPaths[i] + ": write error";
      cleanUp();
      return false;
    }
  }
  for (size_t i = 0; i < mPaths.size(); ++i) {
    if (!MoveReplacing(temps[i], mPaths[i])) {
      *error = mPaths[i] + ": " + std::strerror(errno);
      cleanUp();
      return false;
    }
  }
  return true;
}

}  // namespace cchost
