// Terminal check on Windows: a console, not a pipe or a file.
#include <windows.h>

#include "Terminal.h"

namespace cchost {

bool StandardErrorIsTerminal() {
  DWORD mode = 0;
  const HANDLE handle = GetStdHandle(STD_ERROR_HANDLE);
  return handle != INVALID_HANDLE_VALUE && handle != nullptr && GetConsoleMode(handle, &mode) != 0;
}

}  // namespace cchost
