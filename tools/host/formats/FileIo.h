// Reading whole files, and writing a command's outputs all at once or not at all.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace cchost {

bool ReadWholeFile(const std::string& path, std::vector<uint8_t>* out, std::string* error);

// Collects output files in memory; Commit writes each to a temporary name beside its target and
// renames them into place only when every one was written, so a failure leaves nothing half-made.
class OutputFiles {
 public:
  void Add(const std::string& path, std::vector<uint8_t> bytes);
  bool Commit(std::string* error);
  const std::vector<std::string>& Paths() const { return mPaths; }

 private:
  std::vector<std::string> mPaths;
  std::vector<std::vector<uint8_t>> mContents;
};

// Checks early that an output can be created there (its folder exists and is writable).
bool CheckWritable(const std::string& path, std::string* error);

}  // namespace cchost
