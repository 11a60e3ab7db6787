// The one factory of Cyclochord objects: the module's exported entry points call it, and so do tests. The format's
// header on the include path declares it, for the VST or the LV2 module.
#include "Cyclochord.h"

IPluginFormat* CreatePluginInstance(IPluginHostLink host) { return new Cyclochord(host); }
