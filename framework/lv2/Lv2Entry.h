// Creation of LV2 plug-in instances and the descriptors the module exports.
#pragma once

#include <lv2/core/lv2.h>
#include <lv2/ui/ui.h>

#include "Lv2HostLink.h"
#include "PluginFactory.h"

class Lv2Wrapper;

// Supplied by each LV2 product module: its URIs.
extern const Lv2PluginURIs kLv2PluginURIs;

// Builds the plug-in and its wrapper under the process-wide creation lock; null when it cannot be made or the
// host lacks a required feature.
Lv2Wrapper* Lv2CreateInstance(const Lv2HostLink* host, PluginFactory factory);

const LV2_Descriptor* Lv2PluginDescriptor();
const LV2UI_Descriptor* Lv2EditorDescriptor();
