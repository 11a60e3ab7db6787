// Makes the test plug-in a loadable module, to check the exported entry points.
#include "TestPlugin.h"

IPluginBase* CreatePluginInstance() { return new TestPlugin(); }
