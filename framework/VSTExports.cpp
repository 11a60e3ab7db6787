// The module's exported entry point; linked into each plug-in module.
#include "VSTEntry.h"

extern "C" CC_EXPORT AEffect* VSTPluginMain(audioMasterCallback hostCallback) {
  return VSTCreateEffect(hostCallback, CreatePluginInstance);
}
