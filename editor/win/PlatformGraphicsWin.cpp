// Creation of the Windows graphics host, whose window comes from the Windows window class, with the images
// found in the DLL that holds this code.
#include "IGraphicsWin.h"
#include "PlatformGraphics.h"

IGraphicsRaster* MakePlatformGraphics(IPluginBase* plug, int width, int height, int frameRate, void* moduleInstance,
                                      const IWindowNames& names) {
  auto* graphics = new IGraphicsWin(plug, width, height, frameRate);
  HINSTANCE module = static_cast<HINSTANCE>(moduleInstance);
  if (!module) {
    // The plug-in does not know its instance handle; this function's address lies inside the module.
    GetModuleHandleExA(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                       reinterpret_cast<LPCSTR>(&MakePlatformGraphics), &module);
  }
  graphics->SetModuleInstance(module);
  graphics->SetWindowNames(names);
  return graphics;
}
