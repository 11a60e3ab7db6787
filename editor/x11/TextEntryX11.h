// The typed-entry box on X11: a child window of the editor that shows a TextEntryBox and takes the keyboard.
#pragma once

#include <xcb/xcb.h>

#include <memory>
#include <vector>

#include "RasterBitmap.h"
#include "TextEntryBox.h"

class FreeTypeFont;
class X11ImageTransfer;

class TextEntryX11 {
 public:
  // Creates and shows the window over box's place in the editor window parent; font may be null (no text).
  TextEntryX11(xcb_connection_t* connection, xcb_window_t parent, xcb_visualid_t visual, std::uint8_t depth,
               bool swapBytes, TextEntryBox box, FreeTypeFont* font);
  // Destroys the window; the keyboard focus goes back to the editor.
  ~TextEntryX11();
  TextEntryX11(const TextEntryX11&) = delete;
  TextEntryX11& operator=(const TextEntryX11&) = delete;

  xcb_window_t Window() const { return mWindow; }
  TextEntryBox& Box() { return mBox; }
  FreeTypeFont* Font() const { return mFont; }
  void TakeFocus(xcb_timestamp_t time);
  // Paints the box and shows it.
  void Repaint();

 private:
  xcb_connection_t* mConnection;
  xcb_window_t mWindow;
  TextEntryBox mBox;
  FreeTypeFont* mFont;
  std::vector<Pixel> mPixels;
  std::unique_ptr<X11ImageTransfer> mTransfer;
};
