#include "WinDpi.h"

#include <cmath>

namespace windpi {

double ScaleFromDpi(unsigned dpi) {
  if (dpi == 0) return 0.0;
  const double scale = std::round(dpi / 96.0 * 4.0) / 4.0;
  return scale < 1.0 ? 1.0 : (scale > 3.0 ? 3.0 : scale);
}

double ScaleOf(HWND window) {
  // Looked up, not linked: older Windows lack it, and the module must still load there.
  using GetDpiForWindowFn = UINT(WINAPI*)(HWND);
  static const auto getDpiForWindow = reinterpret_cast<GetDpiForWindowFn>(
      reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("user32.dll"), "GetDpiForWindow")));
  if (window && getDpiForWindow) return ScaleFromDpi(getDpiForWindow(window));
  HDC screen = GetDC(nullptr);
  if (!screen) return 0.0;
  const int dpi = GetDeviceCaps(screen, LOGPIXELSX);
  ReleaseDC(nullptr, screen);
  return dpi > 0 ? ScaleFromDpi(static_cast<unsigned>(dpi)) : 0.0;
}

}  // namespace windpi
