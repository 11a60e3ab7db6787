// Makes Cyclochord the plug-in that the module's exported entry points create.
#include "Cyclochord.h"
#include "VSTEntry.h"

IPluginVST* CreatePluginInstance(audioMasterCallback hostCallback) { return new Cyclochord(hostCallback); }
