// The Windows editor window: class registration, the child window, its timer-driven redraws and message routing.
#include "EditorWindowWin.h"

#include <windowsx.h>

#include "IGraphicsWin.h"
#include "RasterBitmap.h"
#include "Text.h"
#include "WinDpi.h"
#include "WinInput.h"

namespace {
// Only the editor's own thread opens and closes windows, so plain statics serve. The class is registered with
// the first window and goes with the last; every window of a module carries its plug-in's one class name.
int sWindowCount = 0;
char sClassName[64] = "";

void ReleaseWindowClass(HINSTANCE module) {
  if (--sWindowCount == 0) UnregisterClassA(sClassName, module);
}

IMouseMods MouseMods(WPARAM keys) { return wininput::ModsFor(keys, GetKeyState(VK_MENU) < 0); }
}  // namespace

// ---- Opening and closing ----

std::unique_ptr<EditorWindow> EditorWindowWin::Create(IGraphicsWin* graphics, void* parent) {
  if (!graphics) return nullptr;
  std::unique_ptr<EditorWindowWin> window(new EditorWindowWin(graphics));
  if (!window->Open(static_cast<HWND>(parent))) return nullptr;
  return window;
}

EditorWindowWin::EditorWindowWin(IGraphicsWin* graphics) : mGraphics(graphics), mModule(graphics->ModuleInstance()) {}

bool EditorWindowWin::Open(HWND parent) {
  if (sWindowCount == 0) {
    WNDCLASSA windowClass = {};
    windowClass.style = CS_DBLCLKS;
    windowClass.lpfnWndProc = WindowProc;
    windowClass.hInstance = mModule;
    windowClass.hCursor = LoadCursorA(nullptr, MAKEINTRESOURCEA(32512));  // the arrow
    CopyText(sClassName, sizeof(sClassName), mGraphics->WindowClassName());
    windowClass.lpszClassName = sClassName;
    RegisterClassA(&windowClass);
  }
  ++sWindowCount;
  mClassInUse = true;
  const IRect& place = mGraphics->WindowPlace();
  // Messages before CreateWindowExA returns find mWindow unset and go to the default procedure, as they did
  // when the window was its graphics host.
  HWND window = CreateWindowExA(0, sClassName, mGraphics->WindowTitle(), WS_CHILD | WS_VISIBLE, place.L, place.T,
                                place.W(), place.H(), parent, nullptr, mModule, this);
  mWindow = window;
  return mWindow != nullptr;
}

EditorWindowWin::~EditorWindowWin() {
  if (mClosed) *mClosed = true;
  // The box dies with its parent; its handle and the edit it belonged to must not outlive it.
  CloseEntryBox();
  if (mWindow) {
    HWND window = mWindow;
    mWindow = nullptr;
    DestroyWindow(window);
  }
  if (mClassInUse) ReleaseWindowClass(mModule);
}

bool EditorWindowWin::PlaceIn(void* parent, IRect* r) const {
  // Measured in the parent's client area, where child windows are placed, so a framed parent does not shift it
  // by its border.
  RECT window = {};
  if (!mWindow || !IsWindow(mWindow) || !GetWindowRect(mWindow, &window)) return false;
  MapWindowPoints(nullptr, static_cast<HWND>(parent), reinterpret_cast<POINT*>(&window), 2);
  *r = IRect(window.left, window.top, window.right, window.bottom);
  return true;
}

bool EditorWindowWin::Paint(const IRect* r) {
  RasterBitmap* drawn = mGraphics->GetDrawBitmap();
  if (!mWindow || !drawn) return true;
  PAINTSTRUCT paint;
  HDC windowContext = BeginPaint(mWindow, &paint);
  BitBlt(windowContext, r->L, r->T, r->W(), r->H(), static_cast<HDC>(drawn->DeviceContext()), r->L, r->T, SRCCOPY);
  EndPaint(mWindow, &paint);
  return true;
}

void EditorWindowWin::SetSize(int width, int height) {
  if (!mWindow) return;
  RECT r = {};
  GetWindowRect(mWindow, &r);
  GrowBy(width - (r.right - r.left), height - (r.bottom - r.top));
}

void EditorWindowWin::GrowBy(int dw, int dh) {
  if (!mWindow) return;
  const UINT flags = SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE;
  auto grow = [&](HWND window) {
    RECT r = {};
    GetWindowRect(window, &r);
    SetWindowPos(window, nullptr, 0, 0, r.right - r.left + dw, r.bottom - r.top + dh, flags);
  };
  grow(mWindow);
  HWND ancestor = GetParent(mWindow);
  for (int level = 0; level < 2 && ancestor; ++level) {
    const LONG_PTR style = GetWindowLongPtrA(ancestor, GWL_STYLE);
    const LONG_PTR exStyle = GetWindowLongPtrA(ancestor, GWL_EXSTYLE);
    if (!(style & WS_CHILD) || (exStyle & WS_EX_MDICHILD)) break;
    grow(ancestor);
    ancestor = GetParent(ancestor);
  }
  InvalidateRect(mWindow, nullptr, FALSE);
}

// ---- Window procedure ----

LRESULT CALLBACK EditorWindowWin::WindowProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  if (msg == WM_CREATE) {
    auto* create = reinterpret_cast<CREATESTRUCTA*>(lParam);
    auto* window = static_cast<EditorWindowWin*>(create->lpCreateParams);
    SetWindowLongPtrA(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(window));
    SetTimer(hwnd, kTimerId, static_cast<UINT>(1000 / window->mGraphics->FPS()), nullptr);
    SetFocus(hwnd);
    return 0;
  }
  auto* window = reinterpret_cast<EditorWindowWin*>(GetWindowLongPtrA(hwnd, GWLP_USERDATA));
  if (!window || window->mWindow != hwnd) return DefWindowProcA(hwnd, msg, wParam, lParam);
  return window->HandleMessage(hwnd, msg, wParam, lParam);
}

LRESULT EditorWindowWin::HandleMessage(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  IGraphicsWin* g = mGraphics;
  if (mEntryBox && mEntryState == EntryEditing) {
    // While the box is being typed in, the editor only listens for the right button that cancels it.
    if (msg == WM_RBUTTONDOWN) {
      mEntryState = EntryCancel;
      return 0;
    }
    // The press that opened the box still holds the pointer; its release ends it and the host's gesture. Left to
    // the box, the release would pop up the box's own context menu.
    if ((msg == WM_LBUTTONUP || msg == WM_RBUTTONUP) && GetCapture() == hwnd) {
      ReleaseCapture();
      const IMouseMods mods = MouseMods(wParam);
      g->OnMouseUp(g->ToLogical(GET_X_LPARAM(lParam)), g->ToLogical(GET_Y_LPARAM(lParam)), &mods);
      return 0;
    }
    return DefWindowProcA(hwnd, msg, wParam, lParam);
  }

  // Past a call into the graphics host this window may be gone (the host closed the editor): the cases below
  // touch only their locals afterwards.
  // Pointer positions in editor units: the window is the scale's size in pixels.
  const int x = g->ToLogical(GET_X_LPARAM(lParam));
  const int y = g->ToLogical(GET_Y_LPARAM(lParam));
  switch (msg) {
    case WM_PAINT: {
      RECT r;
      if (GetUpdateRect(hwnd, &r, FALSE)) {
        const IRect update = g->ToLogicalCover(IRect(r.left, r.top, r.right, r.bottom));
        g->Draw(&update);
      }
      return 0;
    }
    case WM_CLOSE:
      g->CloseWindow();
      return 0;
    case WM_MOUSEACTIVATE:
      SetFocus(hwnd);
      return MA_ACTIVATE;
    case WM_KEYDOWN: {
      const int key = wininput::KeyCodeFor(wParam);
      if (key < 0) return 0;
      POINT p;
      GetCursorPos(&p);
      ScreenToClient(hwnd, &p);
      g->OnKeyDown(g->ToLogical(p.x), g->ToLogical(p.y), key);
      return 0;
    }
    case WM_TIMER:
      if (wParam == kTimerId) OnTimerTick();
      return 0;
    case WM_MOUSEMOVE: {
      const IMouseMods mods = MouseMods(wParam);
      if (mods.L || mods.R) {
        if (GetCapture() == hwnd) g->OnMouseDrag(x, y, &mods);
      } else if (g->OnMouseOver(x, y, &mods)) {
        TRACKMOUSEEVENT track = {sizeof(TRACKMOUSEEVENT), TME_LEAVE, hwnd, HOVER_DEFAULT};
        TrackMouseEvent(&track);
      }
      return 0;
    }
    case WM_LBUTTONDOWN: {
      if (mEntryBox) mEntryState = EntryCommit;
      SetCapture(hwnd);
      const IMouseMods mods = MouseMods(wParam);
      g->OnMouseDown(x, y, &mods);
      return 0;
    }
    case WM_RBUTTONDOWN: {
      if (mEntryBox) {
        mEntryState = EntryCancel;
        return 0;
      }
      SetCapture(hwnd);
      const IMouseMods mods = MouseMods(wParam);
      g->OnMouseDown(x, y, &mods);
      return 0;
    }
    case WM_LBUTTONUP:
    case WM_RBUTTONUP: {
      ReleaseCapture();
      const IMouseMods mods = MouseMods(wParam);
      g->OnMouseUp(x, y, &mods);
      return 0;
    }
    case WM_LBUTTONDBLCLK: {
      const IMouseMods mods = MouseMods(wParam);
      if (g->OnMouseDblClick(x, y, &mods)) SetCapture(hwnd);
      return 0;
    }
    case WM_MOUSEWHEEL: {
      RECT window;
      GetWindowRect(hwnd, &window);
      const IMouseMods mods = MouseMods(GET_KEYSTATE_WPARAM(wParam));
      const int steps = GET_WHEEL_DELTA_WPARAM(wParam) / WHEEL_DELTA;
      // The wheel's position comes in screen pixels from the screen's origin.
      g->OnMouseWheel(g->ToLogical(GET_X_LPARAM(lParam) - window.left), g->ToLogical(GET_Y_LPARAM(lParam) - window.top),
                      &mods, steps);
      return 0;
    }
    case WM_MOUSELEAVE:
      g->OnMouseOut();
      return 0;
    case windpi::kDpiChangedAfterParent:
    case windpi::kDpiChanged:
      // Moved to a monitor of another scale: followed unless the user or the host chose one.
      g->FollowDesktopScale(windpi::ScaleOf(hwnd));
      return 0;
    default:
      return DefWindowProcA(hwnd, msg, wParam, lParam);
  }
}

void EditorWindowWin::OnTimerTick() {
  if (mEntryBox && mEntryState != EntryNone) {
    ServeEntryState();
    return;
  }
  IRect r;
  if (!mGraphics->IsDirty(&r)) return;
  const RECT invalid = {r.L, r.T, r.R, r.B};
  InvalidateRect(mWindow, &invalid, FALSE);
  UpdateWindow(mWindow);
  if (mEntryBox) mEntryState = EntryUpdate;
}
