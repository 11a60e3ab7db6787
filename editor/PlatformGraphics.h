// Creation of the graphics host of the platform this library is built for; one factory file per platform
// (x11/PlatformGraphicsX11.cpp, win/PlatformGraphicsWin.cpp).
#pragma once

#include "IGraphicsStructs.h"

class IGraphicsRaster;
class IPluginBase;

// The module instance finds the library's resources where the platform needs it (Windows); others ignore it.
// The window takes the plug-in's names: the toolkit has none of its own.
IGraphicsRaster* MakePlatformGraphics(IPluginBase* plug, int width, int height, int frameRate, void* moduleInstance,
                                      const IWindowNames& names);
