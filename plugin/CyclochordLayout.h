// Cyclochord's editor: the 410 x 680 picture with its faders, read-outs, LED switches and parameter texts.
#pragma once

#include "IGraphics.h"

class IPluginBase;

constexpr int kCyclochordEditorWidth = 410;
constexpr int kCyclochordEditorHeight = 680;

// Builds the graphics host with its background and 49 controls, bound to the plug-in's parameters.
// The caller hands the result to AttachEditor, which pushes the parameter values into the controls.
// Null when the platform cannot make a graphics host.
IGraphics* MakeCyclochordEditor(IPluginBase* plug, void* moduleInstance);
