// Opening a .clap file with dlopen.
#include <dlfcn.h>

#include "ClapTestHost.h"

namespace clap_test {

std::unique_ptr<ClapLibrary> ClapLibrary::Open(const std::string& path, std::string* error) {
  // Without a slash dlopen would search the library path instead of the folder.
  const std::string openPath = path.find('/') == std::string::npos ? "./" + path : path;
  void* module = dlopen(openPath.c_str(), RTLD_NOW | RTLD_LOCAL);
  if (!module) {
    const char* why = dlerror();
    *error = path + ": " + (why ? why : "cannot be loaded");
    return nullptr;
  }
  std::unique_ptr<ClapLibrary> library(new ClapLibrary());
  library->mModule = module;
  library->mEntry = static_cast<const clap_plugin_entry_t*>(dlsym(module, "clap_entry"));
  if (!library->mEntry) {
    *error = path + ": exports no clap_entry";
    return nullptr;
  }
  return library;
}

ClapLibrary::~ClapLibrary() {
  if (mModule) dlclose(mModule);
}

}  // namespace clap_test
