// The URIs Cyclochord is known by as an LV2 plug-in; hosts store sessions under them, so they never change.
#include "Lv2Entry.h"

#define CYCLOCHORD_LV2_URI "https://larkspire.example/plugins/cyclochord"

const Lv2PluginURIs kLv2PluginURIs = {
    CYCLOCHORD_LV2_URI,
    CYCLOCHORD_LV2_URI "#ui",
    CYCLOCHORD_LV2_URI "#chunk",
    CYCLOCHORD_LV2_URI "#program",
};
