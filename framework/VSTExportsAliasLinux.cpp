// Exports the entry point a second time as "main", which C++ will not let us name directly.
#include "VSTEntry.h"

extern "C" CC_EXPORT AEffect* VSTPluginMainAlias(audioMasterCallback hostCallback) __asm__("main");

AEffect* VSTPluginMainAlias(audioMasterCallback hostCallback) {
  return VSTCreateEffect(hostCallback, CreatePluginInstance);
}
