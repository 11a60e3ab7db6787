// Opening a .clap file with LoadLibrary.
#include <windows.h>

#include "ClapTestHost.h"

namespace clap_test {

std::unique_ptr<ClapLibrary> ClapLibrary::Open(const std::string& path, std::string* error) {
  // Without a folder Windows would search the system folders first.
  const std::string openPath = path.find_first_of("/\\:") == std::string::npos ? ".\\" + path : path;
  HMODULE module = LoadLibraryExA(openPath.c_str(), nullptr, LOAD_WITH_ALTERED_SEARCH_PATH);
  if (!module) {
    *error = path + ": cannot be loaded (error " + std::to_string(GetLastError()) + ")";
    return nullptr;
  }
  std::unique_ptr<ClapLibrary> library(new ClapLibrary());
  library->mModule = module;
  library->mEntry = reinterpret_cast<const clap_plugin_entry_t*>(GetProcAddress(module, "clap_entry"));
  if (!library->mEntry) {
    *error = path + ": exports no clap_entry";
    return nullptr;
  }
  return library;
}

ClapLibrary::~ClapLibrary() {
  if (mModule) FreeLibrary(static_cast<HMODULE>(mModule));
}

}  // namespace clap_test
