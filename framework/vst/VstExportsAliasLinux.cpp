// Exports the entry point a second time as "main", which C++ will not let us name directly.
#include "VstEntry.h"

extern "C" CC_EXPORT AEffect* VSTPluginMainAlias(audioMasterCallback hostCallback) __asm__("main");

AEffect* VSTPluginMainAlias(audioMasterCallback hostCallback) {
  return VstCreateEffect(hostCallback, CreatePluginInstance);
}
