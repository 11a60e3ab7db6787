// Creation of LV2 plug-in instances and the descriptors the module exports.
#pragma once

#include <lv2/core/lv2.h>
#include <lv2/ui/ui.h>

#include "LV2HostLink.h"

class IPluginLV2;

typedef IPluginLV2* (*LV2PluginFactory)(const LV2HostLink* host);

// Supplied by each LV2 product module: its URIs and the one factory of its plug-in class.
extern const LV2PluginURIs kLV2PluginURIs;
IPluginLV2* CreatePluginInstance(const LV2HostLink* host);

// Builds and sets up an instance under the process-wide creation lock; null when it cannot be made or the
// host lacks a required feature.
IPluginLV2* LV2CreateInstance(const LV2HostLink* host, LV2PluginFactory factory);

const LV2_Descriptor* LV2PluginDescriptor();
const LV2UI_Descriptor* LV2EditorDescriptor();
