// The few file operations whose POSIX and Windows forms differ, for the all-or-nothing output commit.
#pragma once

#include <string>

namespace cchost {

// Creates and opens (binary, for writing) a new file named prefix plus a unique suffix; -1 on failure, with errno set.
int CreateUniqueFile(const std::string& prefix, std::string* name);
// Ends writing a file made by CreateUniqueFile; it becomes readable like any other output.
bool FinishUniqueFile(int fd);
// Moves from onto to, replacing a file that is there.
bool MoveReplacing(const std::string& from, const std::string& to);

}  // namespace cchost
