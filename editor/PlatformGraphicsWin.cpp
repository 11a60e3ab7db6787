// Windows has no graphics host class yet: the plug-in is built there without an editor until it has one.
#include "PlatformGraphics.h"

IGraphicsRaster* MakePlatformGraphics(IPluginBase*, int, int, int, void*) { return nullptr; }
