// Creation of the graphics host of the platform this library is built for; one source file per platform.
#pragma once

class IGraphicsRaster;
class IPluginBase;

// The module instance finds the library's resources where the platform needs it (Windows); others ignore it.
IGraphicsRaster* MakePlatformGraphics(IPluginBase* plug, int width, int height, int frameRate, void* moduleInstance);
