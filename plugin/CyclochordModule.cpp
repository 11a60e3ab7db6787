// The one factory of Cyclochord objects: every format's entry points call it, and so do tests.
#include "Cyclochord.h"
#include "PluginFactory.h"

IPluginBase* CreatePluginInstance() { return new Cyclochord(); }
