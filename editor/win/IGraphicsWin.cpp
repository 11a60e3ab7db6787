// The Windows editor window: class registration, the child window, its timer-driven redraws, message routing,
// GDI text on the draw bitmap and images from the DLL's resources.
#include "IGraphicsWin.h"

#include <windowsx.h>

#include <cstring>

#include "IControl.h"
#include "PngResource.h"
#include "RasterBitmap.h"
#include "Text.h"

namespace {
// Only the editor's own thread opens and closes windows, so plain statics serve. The class is registered with
// the first window and goes with the last; every window of a module carries its plug-in's one class name.
int sWindowCount = 0;
int sFrameRate = IGraphics::kDefaultFrameRate;
char sClassName[64] = "";

void ReleaseWindowClass(HINSTANCE module) {
  if (--sWindowCount == 0) UnregisterClassA(sClassName, module);
}

IMouseMods MouseMods(WPARAM keys) {
  // The message carries buttons, shift and control; alt only the keyboard state knows.
  return IMouseMods((keys & MK_LBUTTON) != 0, (keys & MK_RBUTTON) != 0, (keys & MK_SHIFT) != 0,
                    (keys & MK_CONTROL) != 0, GetKeyState(VK_MENU) < 0);
}
}  // namespace

IGraphicsWin::IGraphicsWin(IPluginBase* plug, int width, int height, int frameRate)
    : IGraphicsRaster(plug, width, height, frameRate) {}

IGraphicsWin::~IGraphicsWin() {
  CloseWindow();
  if (mTextFont) {
    // GDI keeps a font that is still selected into a context; the draw bitmap's context goes only after us.
    HDC dc = mDrawBitmap ? static_cast<HDC>(mDrawBitmap->DeviceContext()) : nullptr;
    if (dc) SelectObject(dc, GetStockObject(SYSTEM_FONT));
    DeleteObject(mTextFont);
  }
}

int IGraphicsWin::TranslateKey(WPARAM key) {
  switch (key) {
    case VK_SPACE: return KeySpace;
    case VK_UP: return KeyUpArrow;
    case VK_DOWN: return KeyDownArrow;
    case VK_LEFT: return KeyLeftArrow;
    case VK_RIGHT: return KeyRightArrow;
    default: break;
  }
  if (key >= '0' && key <= '9') return KeyDigit0 + static_cast<int>(key - '0');
  if (key >= 'A' && key <= 'Z') return KeyLetterA + static_cast<int>(key - 'A');
  // Codes 0x61..0x7A get the letters' numbers too, as if they were lower-case letters.
  if (key >= 0x61 && key <= 0x7A) return KeyLetterA + static_cast<int>(key - 0x61);
  return -1;
}

void* IGraphicsWin::OpenWindow(void* parentWindow) {
  HWND parent = static_cast<HWND>(parentWindow);
  mParentWindow = parent;
  int x = 0, y = 0, w = Width(), h = Height();
  if (mWindow) {
    // A host that opens again without closing gets the window where and as large as it was. The place is
    // measured in the parent's client area, where child windows are placed, so a framed parent does not
    // shift it by its border.
    // A host that destroyed its window first took ours along; that one has no place to keep.
    RECT window = {};
    const bool alive = IsWindow(mWindow) && GetWindowRect(mWindow, &window);
    CloseWindow();
    if (alive) {
      MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&window), 2);
      x = window.left;
      y = window.top;
      w = window.right - window.left;
      h = window.bottom - window.top;
    }
  }

  if (sWindowCount == 0) {
    WNDCLASSA windowClass = {};
    windowClass.style = CS_DBLCLKS;
    windowClass.lpfnWndProc = WindowProc;
    windowClass.hInstance = mModule;
    windowClass.hCursor = LoadCursorA(nullptr, MAKEINTRESOURCEA(32512));  // the arrow
    CopyText(sClassName, sizeof(sClassName), WindowClassName());
    windowClass.lpszClassName = sClassName;
    RegisterClassA(&windowClass);
  }
  ++sWindowCount;
  sFrameRate = FPS();

  mWindow = CreateWindowExA(0, sClassName, WindowTitle(), WS_CHILD | WS_VISIBLE, x, y, w, h, parent, nullptr,
                            mModule, this);
  if (!mWindow) {
    ReleaseWindowClass(mModule);
    return nullptr;
  }
  SetAllControlsDirty();
  return mWindow;
}

void IGraphicsWin::CloseWindow() {
  if (!mWindow) return;
  // The box dies with its parent; its handle and the edit it belonged to must not outlive it.
  CloseEntryBox();
  HWND window = mWindow;
  mWindow = nullptr;
  DestroyWindow(window);
  ReleaseWindowClass(mModule);
}

bool IGraphicsWin::PaintToWindow(const IRect* r) {
  if (!mWindow || !mDrawBitmap) return true;
  PAINTSTRUCT paint;
  HDC windowContext = BeginPaint(mWindow, &paint);
  BitBlt(windowContext, r->L, r->T, r->W(), r->H(), static_cast<HDC>(mDrawBitmap->DeviceContext()), r->L, r->T,
         SRCCOPY);
  EndPaint(mWindow, &paint);
  return true;
}

void IGraphicsWin::SetTextColor(HDC dc, const IColor& color) {
  ::SetTextColor(dc, RGB(color.R, color.G, color.B));
  mLastTextColor = color;
}

bool IGraphicsWin::DrawText(const ITextStyle* style, const char* text, const IRect* rect) {
  if (!text || text[0] == '\0') return true;
  HDC dc = mDrawBitmap ? static_cast<HDC>(mDrawBitmap->DeviceContext()) : nullptr;
  if (!dc) return false;
  if (!mFontMade) {
    const int angle = style->mOrientation * 10;
    mTextFont = CreateFontA(style->mSize, 0, angle, angle, style->mStyle == ITextStyle::StyleBold ? FW_BOLD : 0,
                            style->mStyle == ITextStyle::StyleItalic, FALSE, FALSE, DEFAULT_CHARSET,
                            OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, CLEARTYPE_QUALITY, DEFAULT_PITCH | FF_DONTCARE,
                            style->mFont);
    SelectObject(dc, mTextFont);
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, style->mColor);
    mFontMade = true;
  } else if (style->mColor != mLastTextColor) {
    SetTextColor(dc, style->mColor);
  }

  UINT format = DT_NOCLIP | DT_TOP;
  if (style->mAlign == ITextStyle::AlignNear) {
    format |= DT_LEFT;
  } else if (style->mAlign == ITextStyle::AlignFar) {
    format |= DT_RIGHT;
  } else {
    format |= DT_CENTER;
  }
  // Text may overhang its rectangle, but not the area being repainted: ink left outside it would stay on
  // screen after the control moved on.
  HRGN clip = nullptr;
  if (!mDrawRect.Empty()) {
    clip = CreateRectRgn(mDrawRect.L, mDrawRect.T, mDrawRect.R, mDrawRect.B);
    SelectClipRgn(dc, clip);
  }
  RECT r = {rect->L, rect->T, rect->R, rect->B};
  const int drawn = ::DrawTextA(dc, text, -1, &r, format);
  if (clip) {
    SelectClipRgn(dc, nullptr);
    DeleteObject(clip);
  }
  return drawn != 0;
}

RasterBitmap* IGraphicsWin::LoadPlatformBitmap(int id, const char* name) {
  const char* dot = name ? std::strrchr(name, '.') : nullptr;
  if (!dot || lstrcmpiA(dot + 1, "png") != 0) return nullptr;
  return PngFromResource(mModule, id, nullptr);
}

void IGraphicsWin::Resize(int width, int height) {
  const int dw = width - Width();
  const int dh = height - Height();
  IGraphicsRaster::Resize(width, height);
  if (!mWindow) return;
  const UINT flags = SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE;
  auto grow = [&](HWND window) {
    RECT r = {};
    GetWindowRect(window, &r);
    SetWindowPos(window, nullptr, 0, 0, r.right - r.left + dw, r.bottom - r.top + dh, flags);
  };
  grow(mWindow);
  // The host's frames grow along, as long as they are plain child windows.
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

LRESULT CALLBACK IGraphicsWin::WindowProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  if (msg == WM_CREATE) {
    auto* create = reinterpret_cast<CREATESTRUCTA*>(lParam);
    SetWindowLongPtrA(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
    SetTimer(hwnd, kTimerId, static_cast<UINT>(1000 / sFrameRate), nullptr);
    SetFocus(hwnd);
    return 0;
  }
  auto* graphics = reinterpret_cast<IGraphicsWin*>(GetWindowLongPtrA(hwnd, GWLP_USERDATA));
  if (!graphics || graphics->mWindow != hwnd) return DefWindowProcA(hwnd, msg, wParam, lParam);
  return graphics->HandleMessage(hwnd, msg, wParam, lParam);
}

LRESULT IGraphicsWin::HandleMessage(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
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
      OnMouseUp(GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam), &mods);
      return 0;
    }
    return DefWindowProcA(hwnd, msg, wParam, lParam);
  }

  const int x = GET_X_LPARAM(lParam);
  const int y = GET_Y_LPARAM(lParam);
  switch (msg) {
    case WM_PAINT: {
      RECT r;
      if (GetUpdateRect(hwnd, &r, FALSE)) {
        const IRect update(r.left, r.top, r.right, r.bottom);
        Draw(&update);
      }
      return 0;
    }
    case WM_CLOSE:
      CloseWindow();
      return 0;
    case WM_MOUSEACTIVATE:
      SetFocus(hwnd);
      return MA_ACTIVATE;
    case WM_KEYDOWN: {
      const int key = TranslateKey(wParam);
      if (key < 0) return 0;
      POINT p;
      GetCursorPos(&p);
      ScreenToClient(hwnd, &p);
      OnKeyDown(p.x, p.y, key);
      return 0;
    }
    case WM_TIMER:
      if (wParam == kTimerId) OnTimerTick();
      return 0;
    case WM_MOUSEMOVE: {
      const IMouseMods mods = MouseMods(wParam);
      if (mods.L || mods.R) {
        if (GetCapture() == hwnd) OnMouseDrag(x, y, &mods);
      } else if (OnMouseOver(x, y, &mods)) {
        TRACKMOUSEEVENT track = {sizeof(TRACKMOUSEEVENT), TME_LEAVE, hwnd, HOVER_DEFAULT};
        TrackMouseEvent(&track);
      }
      return 0;
    }
    case WM_LBUTTONDOWN: {
      if (mEntryBox) mEntryState = EntryCommit;
      SetCapture(hwnd);
      const IMouseMods mods = MouseMods(wParam);
      OnMouseDown(x, y, &mods);
      return 0;
    }
    case WM_RBUTTONDOWN: {
      if (mEntryBox) {
        mEntryState = EntryCancel;
        return 0;
      }
      SetCapture(hwnd);
      const IMouseMods mods = MouseMods(wParam);
      OnMouseDown(x, y, &mods);
      return 0;
    }
    case WM_LBUTTONUP:
    case WM_RBUTTONUP: {
      ReleaseCapture();
      const IMouseMods mods = MouseMods(wParam);
      OnMouseUp(x, y, &mods);
      return 0;
    }
    case WM_LBUTTONDBLCLK: {
      const IMouseMods mods = MouseMods(wParam);
      if (OnMouseDblClick(x, y, &mods)) SetCapture(hwnd);
      return 0;
    }
    case WM_MOUSEWHEEL: {
      RECT window;
      GetWindowRect(hwnd, &window);
      const IMouseMods mods = MouseMods(GET_KEYSTATE_WPARAM(wParam));
      const int steps = GET_WHEEL_DELTA_WPARAM(wParam) / WHEEL_DELTA;
      OnMouseWheel(x - window.left, y - window.top, &mods, steps);
      return 0;
    }
    case WM_MOUSELEAVE:
      OnMouseOut();
      return 0;
    default:
      return DefWindowProcA(hwnd, msg, wParam, lParam);
  }
}

void IGraphicsWin::OnTimerTick() {
  if (mEntryBox && mEntryState != EntryNone) {
    ServeEntryState();
    return;
  }
  IRect r;
  if (!IsDirty(&r)) return;
  const RECT invalid = {r.L, r.T, r.R, r.B};
  InvalidateRect(mWindow, &invalid, FALSE);
  UpdateWindow(mWindow);
  if (mEntryBox) mEntryState = EntryUpdate;
}
