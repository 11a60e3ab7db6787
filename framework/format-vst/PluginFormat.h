// The plug-in format a product class is built on, chosen by its target's include path: VST 2.4.
#pragma once

#include "IPluginVST.h"
#include "VSTEntry.h"

using IPluginFormat = IPluginVST;               // the adapter the product class derives from
using IPluginHostLink = audioMasterCallback;    // what the entry point hands the product's constructor
