// Makes Cyclochord the plug-in that the LV2 module's descriptor creates.
#include "Cyclochord.h"
#include "LV2Entry.h"

IPluginLV2* CreateLV2PluginInstance(const LV2HostLink* host) { return new Cyclochord(host); }
