// A module whose entry point gives the host nothing, as a plug-in does when it fails to start.
#include "VstAbi.h"

extern "C" __attribute__((visibility("default"))) AEffect* VSTPluginMain(audioMasterCallback) { return nullptr; }
