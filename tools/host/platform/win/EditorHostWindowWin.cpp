// The edit command's top-level window on Windows: a plain framed window whose client area holds the editor.
#include <windows.h>

#include "EditorHostWindow.h"

namespace cchost {
namespace {

constexpr const char* kClassName = "CyclochordHostWindow";
constexpr DWORD kStyle = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | WS_CLIPCHILDREN;

LRESULT CALLBACK HostWindowProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  if (msg == WM_CLOSE) {
    // The owner notices in ProcessEvents and closes the editor before the window goes.
    SetWindowLongPtrA(hwnd, GWLP_USERDATA, 1);
    return 0;
  }
  return DefWindowProcA(hwnd, msg, wParam, lParam);
}

class EditorHostWindowWin final : public EditorHostWindow {
 public:
  explicit EditorHostWindowWin(HWND window) : mWindow(window) {}
  ~EditorHostWindowWin() override { DestroyWindow(mWindow); }

  void* ParentHandle() const override { return mWindow; }

  void SetClientSize(int width, int height) override {
    RECT r = {0, 0, width, height};
    AdjustWindowRectEx(&r, kStyle, FALSE, 0);
    SetWindowPos(mWindow, nullptr, 0, 0, r.right - r.left, r.bottom - r.top,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  }

  bool ProcessEvents(int timeoutMs) override {
    MsgWaitForMultipleObjects(0, nullptr, FALSE, timeoutMs < 0 ? 0 : static_cast<DWORD>(timeoutMs), QS_ALLINPUT);
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
      TranslateMessage(&msg);
      DispatchMessageA(&msg);
    }
    return GetWindowLongPtrA(mWindow, GWLP_USERDATA) == 0;
  }

  bool Capture(std::vector<std::uint32_t>* pixels, int* width, int* height) override {
    RECT client = {};
    GetClientRect(mWindow, &client);
    const int w = client.right;
    const int h = client.bottom;
    if (w <= 0 || h <= 0) return false;
    // The screen shows what the user sees: the window with the editor and any box over it.
    POINT origin = {0, 0};
    ClientToScreen(mWindow, &origin);
    HDC screen = GetDC(nullptr);
    if (!screen) return false;
    HDC memory = CreateCompatibleDC(screen);
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = w;
    info.bmiHeader.biHeight = -h;  // top-down rows
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    HBITMAP section = CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    bool ok = false;
    if (memory && section && bits) {
      HGDIOBJ old = SelectObject(memory, section);
      ok = BitBlt(memory, 0, 0, w, h, screen, origin.x, origin.y, SRCCOPY | CAPTUREBLT) != 0;
      GdiFlush();
      if (ok) {
        const auto* p = static_cast<const std::uint32_t*>(bits);
        pixels->assign(p, p + static_cast<size_t>(w) * static_cast<size_t>(h));
        for (std::uint32_t& pixel : *pixels) pixel |= 0xFF000000u;
        *width = w;
        *height = h;
      }
      SelectObject(memory, old);
    }
    if (section) DeleteObject(section);
    if (memory) DeleteDC(memory);
    ReleaseDC(nullptr, screen);
    return ok;
  }

 private:
  HWND mWindow;
};

}  // namespace

const char* EditorHostWindow::WindowSystem() { return "win32"; }

std::unique_ptr<EditorHostWindow> EditorHostWindow::Create(const std::string& title, int width, int height,
                                                           std::string* error) {
  HINSTANCE instance = GetModuleHandleA(nullptr);
  WNDCLASSA windowClass = {};
  if (!GetClassInfoA(instance, kClassName, &windowClass)) {
    windowClass.lpfnWndProc = HostWindowProc;
    windowClass.hInstance = instance;
    windowClass.hCursor = LoadCursorA(nullptr, MAKEINTRESOURCEA(32512));  // the arrow
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    windowClass.lpszClassName = kClassName;
    if (!RegisterClassA(&windowClass)) {
      *error = "cannot register the window class (error " + std::to_string(GetLastError()) + ")";
      return nullptr;
    }
  }
  RECT r = {0, 0, width, height};
  AdjustWindowRectEx(&r, kStyle, FALSE, 0);
  HWND window = CreateWindowExA(0, kClassName, title.c_str(), kStyle, 0, 0, r.right - r.left, r.bottom - r.top,
                                nullptr, nullptr, instance, nullptr);
  if (!window) {
    *error = "cannot open a window (error " + std::to_string(GetLastError()) + "); is there a display?";
    return nullptr;
  }
  ShowWindow(window, SW_SHOWNORMAL);
  UpdateWindow(window);
  SetForegroundWindow(window);
  return std::make_unique<EditorHostWindowWin>(window);
}

}  // namespace cchost
