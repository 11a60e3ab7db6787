// Creation of a VST 2.4 plug-in object for a host, shared by the exported entry points and tests.
#pragma once

#include "PluginFactory.h"
#include "VstAbi.h"

// Builds the plug-in and its wrapper under the process-wide creation lock; null when it cannot be created.
AEffect* VstCreateEffect(audioMasterCallback hostCallback, PluginFactory factory);

class IPluginBase;
// The plug-in behind an effect this framework made; null for any other.
IPluginBase* VstPluginOf(AEffect* effect);
