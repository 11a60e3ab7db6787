// The entry box's X11 window: creation over the edited control, painting, focus.
#include "TextEntryX11.h"

#include "PixelContext.h"
#include "X11ImageTransfer.h"

TextEntryX11::TextEntryX11(xcb_connection_t* connection, xcb_window_t parent, xcb_visualid_t visual, std::uint8_t depth,
                           bool swapBytes, TextEntryBox box, FreeTypeFont* font)
    : mConnection(connection), mWindow(xcb_generate_id(connection)), mBox(std::move(box)), mFont(font) {
  const IRect& r = mBox.Rect();
  // The editor window's visual and colour map, so no colour map of its own is needed.
  const std::uint32_t values[] = {
      XCB_BACK_PIXMAP_NONE, 0,
      XCB_EVENT_MASK_EXPOSURE | XCB_EVENT_MASK_BUTTON_PRESS | XCB_EVENT_MASK_KEY_PRESS | XCB_EVENT_MASK_FOCUS_CHANGE};
  xcb_create_window(mConnection, depth, mWindow, parent, static_cast<std::int16_t>(r.L), static_cast<std::int16_t>(r.T),
                    static_cast<std::uint16_t>(r.W()), static_cast<std::uint16_t>(r.H()), 0,
                    XCB_WINDOW_CLASS_INPUT_OUTPUT, visual, XCB_CW_BACK_PIXMAP | XCB_CW_BORDER_PIXEL | XCB_CW_EVENT_MASK,
                    values);
  mTransfer = std::make_unique<X11ImageTransfer>(mConnection, mWindow, r.W(), r.H(), depth, swapBytes, false);
  mPixels.resize(size_t(r.W()) * size_t(r.H()));
  xcb_map_window(mConnection, mWindow);
}

TextEntryX11::~TextEntryX11() {
  mTransfer.reset();
  xcb_destroy_window(mConnection, mWindow);
}

void TextEntryX11::TakeFocus(xcb_timestamp_t time) {
  // Fails quietly (an error event) while the editor is not on screen; the next click tries again.
  xcb_set_input_focus(mConnection, XCB_INPUT_FOCUS_PARENT, mWindow, time);
}

void TextEntryX11::Repaint() {
  const IRect& r = mBox.Rect();
  PixelContext surface;
  surface.mBits = mPixels.data();
  surface.mWidth = r.W();
  surface.mHeight = r.H();
  surface.mRowSpan = r.W();
  mBox.Paint(&surface, mFont);
  mTransfer->Put(mPixels.data(), r.W(), IRect(0, 0, r.W(), r.H()));
}
