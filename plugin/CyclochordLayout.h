// Cyclochord's editor: the 410 x 680 picture with its faders, read-outs, LED switches and parameter texts.
#pragma once

#include <atomic>
#include <cstdint>

#include "IGraphics.h"

class IPluginBase;

constexpr int kCyclochordEditorWidth = 410;
constexpr int kCyclochordEditorHeight = 680;

// Builds the graphics host with its background and 62 controls, bound to the plug-in's parameters.
// The caller hands the result to AttachEditor, which pushes the parameter values into the controls.
// Null when the platform cannot make a graphics host. The lights show the bits of activity (VoiceActivity's);
// without it they stay dark.
IGraphics* MakeCyclochordEditor(IPluginBase* plug, void* moduleInstance,
                                const std::atomic<uint32_t>* activity = nullptr);
