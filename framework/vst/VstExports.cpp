// The module's exported entry point; linked into each plug-in module.
#include "VstEntry.h"

extern "C" CC_EXPORT AEffect* VSTPluginMain(audioMasterCallback hostCallback) {
  return VstCreateEffect(hostCallback, CreatePluginInstance);
}
