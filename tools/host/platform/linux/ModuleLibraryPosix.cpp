// Module loading through dlopen.
#include "ModuleLibrary.h"

#include <dlfcn.h>

namespace cchost {

void* OpenModule(const std::string& path, std::string* why) {
  // A relative path without a slash would make dlopen search the library path instead.
  const std::string openPath = path.find('/') == std::string::npos ? "./" + path : path;
  void* module = dlopen(openPath.c_str(), RTLD_NOW | RTLD_LOCAL);
  if (!module) {
    const char* error = dlerror();
    *why = error ? error : "unknown reason";
  }
  return module;
}

void* FindModuleSymbol(void* module, const char* name) { return dlsym(module, name); }

void CloseModule(void* module) { dlclose(module); }

}  // namespace cchost
