// The top-level window in which `cyclochord-host edit` embeds a plug-in's editor; one implementation per window
// system (EditorHostWindowX11.cpp, EditorHostWindowWin.cpp), chosen at build time.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace cchost {

class EditorHostWindow {
 public:
  // Opens a visible top-level window titled title with a client area of width x height; null and *error when
  // there is no window system to talk to (no display) or the window cannot be made.
  static std::unique_ptr<EditorHostWindow> Create(const std::string& title, int width, int height,
                                                  std::string* error);
  // The window system's name as plug-in formats spell it: "x11" or "win32".
  static const char* WindowSystem();
  // Destroys the window; the plug-in's editor must have been closed (effEditClose) before.
  virtual ~EditorHostWindow() = default;

  // What effEditOpen receives as its pointer: the X11 window id, or the HWND of the client area.
  virtual void* ParentHandle() const = 0;
  // Resizes the client area, for editors that announce their size only after effEditOpen.
  virtual void SetClientSize(int width, int height) = 0;
  // Handles the window's pending events, waiting at most timeoutMs for one; false once the user closed it.
  virtual bool ProcessEvents(int timeoutMs) = 0;
  // Reads the client area as shown on screen, the embedded editor included, as 0xFFRRGGBB pixels, rows top to
  // bottom; false when the screen cannot be read.
  virtual bool Capture(std::vector<std::uint32_t>* pixels, int* width, int* height) = 0;
};

}  // namespace cchost
