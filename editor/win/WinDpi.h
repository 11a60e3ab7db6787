// The scale of the monitor a window is on, for an editor whose host gives none.
#pragma once

#include <windows.h>

namespace windpi {

// The window's DPI over 96, rounded to quarters and held to 1..3: per monitor where Windows tells it per window
// (Windows 10 and later), else the screen's. 0 when nothing can be asked.
double ScaleOf(HWND window);

// The rounding and holding, for tests.
double ScaleFromDpi(unsigned dpi);

// Sent to child windows after their parent moved to a monitor of another DPI (per-monitor v2).
constexpr UINT kDpiChangedAfterParent = 0x02E3;
constexpr UINT kDpiChanged = 0x02E0;

}  // namespace windpi
