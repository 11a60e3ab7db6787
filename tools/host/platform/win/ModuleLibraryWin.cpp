// Module loading through LoadLibrary.
#include "ModuleLibrary.h"

#include <windows.h>

namespace cchost {

void* OpenModule(const std::string& path, std::string* why) {
  // A name without a folder would make Windows search the system folders first.
  const bool bare = path.find_first_of("/\\:") == std::string::npos;
  const std::string openPath = bare ? ".\\" + path : path;
  // No "cannot load" dialogs when the file is not a module or misses a DLL.
  const UINT oldMode = SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX);
  HMODULE module = LoadLibraryExA(openPath.c_str(), nullptr, LOAD_WITH_ALTERED_SEARCH_PATH);
  const DWORD error = module ? 0 : GetLastError();
  SetErrorMode(oldMode);
  if (!module) {
    char text[256] = {};
    const DWORD n = FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, error, 0,
                                   text, sizeof(text) - 1, nullptr);
    std::string message(text, n);
    while (!message.empty() && (message.back() == '\n' || message.back() == '\r' || message.back() == '.'))
      message.pop_back();
    *why = message.empty() ? "error " + std::to_string(error) : message;
  }
  return module;
}

void* FindModuleSymbol(void* module, const char* name) {
  return reinterpret_cast<void*>(GetProcAddress(static_cast<HMODULE>(module), name));
}

void CloseModule(void* module) { FreeLibrary(static_cast<HMODULE>(module)); }

}  // namespace cchost
