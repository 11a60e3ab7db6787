// Creation of a plug-in object for a host, shared by the exported entry points and tests.
#pragma once

#include "VstAbi.h"

class IPluginVST;

typedef IPluginVST* (*PluginFactory)(audioMasterCallback hostCallback);

// Builds the object under the process-wide creation lock; null when it cannot be created.
AEffect* VSTCreateEffect(audioMasterCallback hostCallback, PluginFactory factory);

// Supplied by each plug-in module; the exported entry points call it.
IPluginVST* CreatePluginInstance(audioMasterCallback hostCallback);
