// Creation of the Linux graphics host, whose window comes from the X11 window class.
#include "IGraphicsLinux.h"
#include "PlatformGraphics.h"

IGraphicsRaster* MakePlatformGraphics(IPluginBase* plug, int width, int height, int frameRate, void* moduleInstance,
                                      const IWindowNames& names) {
  auto* graphics = new IGraphicsLinux(plug, width, height, frameRate);
  graphics->SetModuleInstance(moduleInstance);
  graphics->SetWindowNames(names);
  return graphics;
}
