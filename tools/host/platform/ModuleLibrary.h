// Opening a plug-in module and finding its entry points: a shared object on Linux, a DLL on Windows.
#pragma once

#include <string>

namespace cchost {

// The loaded module, or null with the system's reason in why.
void* OpenModule(const std::string& path, std::string* why);
void* FindModuleSymbol(void* module, const char* name);
void CloseModule(void* module);

}  // namespace cchost
