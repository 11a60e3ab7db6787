// The floor that benchmarks measure plug-ins against: the least a VST 2.4 MIDI pass-through can do.
// MinimalPlugin.c defines the entry point with its own declarations of the same layouts.
#pragma once

#include "VstAbi.h"

extern "C" AEffect* VSTPluginMain(audioMasterCallback hostCallback);
