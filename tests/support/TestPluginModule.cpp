// Makes the test plug-in a loadable module, to check the exported entry points.
#include "TestPlugin.h"

IPluginVST* CreatePluginInstance(audioMasterCallback hostCallback) { return new TestPlugin(hostCallback); }
