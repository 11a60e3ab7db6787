// The one factory of Cyclochord objects: the module's exported entry points call it, and so do tests.
#include "Cyclochord.h"
#include "VSTEntry.h"

IPluginVST* CreatePluginInstance(audioMasterCallback hostCallback) { return new Cyclochord(hostCallback); }
