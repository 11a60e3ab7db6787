// The plug-in format a product class is built on, chosen by its target's include path: LV2.
#pragma once

#include "IPluginLV2.h"
#include "LV2Entry.h"

using IPluginFormat = IPluginLV2;               // the adapter the product class derives from
using IPluginHostLink = const LV2HostLink*;     // what the entry point hands the product's constructor
