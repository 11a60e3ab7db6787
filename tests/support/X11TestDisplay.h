// A test's own connection to the X server: windows to embed editors in, their pixels as the screen shows them,
// and synthetic pointer and key input through the XTEST extension.
#pragma once

#include <xcb/xcb.h>

#include <chrono>
#include <cstdlib>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

class X11TestDisplay {
 public:
  // Connects to $DISPLAY; Connected() tells whether that worked and XTEST is there.
  X11TestDisplay();
  ~X11TestDisplay();
  X11TestDisplay(const X11TestDisplay&) = delete;
  X11TestDisplay& operator=(const X11TestDisplay&) = delete;

  bool Connected() const { return mConnection && mScreen && mHasXTest; }
  // Why a test cannot run here; empty when it can.
  std::string Problem() const;
  xcb_connection_t* Connection() const { return mConnection; }

  // A mapped top-level window at (x, y) of the screen, as a host's editor frame; waits until it is on screen.
  xcb_window_t MakeWindow(int x, int y, int width, int height);
  void DestroyWindow(xcb_window_t window);
  std::vector<xcb_window_t> Children(xcb_window_t window);
  // The window's size, 0 x 0 when it does not exist.
  void Size(xcb_window_t window, int* width, int* height);
  // Pixels 0xRRGGBB of the window's area as shown, children included.
  std::vector<std::uint32_t> Pixels(xcb_window_t window, int width, int height);
  std::string WindowClass(xcb_window_t window);

  // XTEST input at positions inside window.
  void MoveTo(xcb_window_t window, int x, int y);
  void Press(int button);
  void Release(int button);
  void Click(xcb_window_t window, int x, int y, int button);
  // Types text (digits, letters, space, '.', '-') and named keys (keysyms) on the focused window.
  void Type(const std::string& text);
  void Key(std::uint32_t keysym);
  // Holds and lets go of a key, such as a modifier.
  void KeyDown(std::uint32_t keysym);
  void KeyUp(std::uint32_t keysym);
  // The window with the keyboard focus, and moving it elsewhere as another application would.
  xcb_window_t Focus();
  void SetFocus(xcb_window_t window);
  // Asks a top-level window to close, as a window manager does for the user (WM_DELETE_WINDOW).
  void AskToClose(xcb_window_t window);
  // Waits until the server has handled every request made so far.
  void Sync();

 private:
  std::uint8_t KeycodeFor(std::uint32_t keysym, bool* shift);
  void Fake(std::uint8_t type, std::uint8_t detail, int rootX = 0, int rootY = 0);

  xcb_connection_t* mConnection = nullptr;
  xcb_screen_t* mScreen = nullptr;
  bool mHasXTest = false;
};

// Polls condition until it holds or timeout passes; true when it held.
bool WaitFor(const std::function<bool()>& condition, std::chrono::milliseconds timeout = std::chrono::seconds(5));

// Skips the running test when there is no X server, but fails it in CI, where one must be.
#define REQUIRE_X_DISPLAY(display)                                                   \
  do {                                                                               \
    if (!(display).Connected()) {                                                    \
      if (std::getenv("CI")) FAIL() << "no X server in CI: " << (display).Problem(); \
      GTEST_SKIP() << (display).Problem();                                           \
    }                                                                                \
  } while (0)
