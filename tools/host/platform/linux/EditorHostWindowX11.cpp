// The edit command's top-level window on X11 (XCB): a fixed-size window whose client area holds the editor.
#include <poll.h>
#include <xcb/xcb.h>

#include <chrono>
#include <cstdlib>
#include <cstring>
#include <thread>

#include "EditorHostWindow.h"

namespace cchost {
namespace {

xcb_atom_t Atom(xcb_connection_t* c, const char* name) {
  xcb_intern_atom_reply_t* reply =
      xcb_intern_atom_reply(c, xcb_intern_atom(c, 0, static_cast<std::uint16_t>(std::strlen(name)), name), nullptr);
  const xcb_atom_t atom = reply ? reply->atom : xcb_atom_t(XCB_ATOM_NONE);
  std::free(reply);
  return atom;
}

// Shift that brings a channel mask's lowest bit to bit 0.
int ShiftOf(std::uint32_t mask) {
  int shift = 0;
  while (mask && !(mask & 1u)) {
    mask >>= 1;
    ++shift;
  }
  return shift;
}

class EditorHostWindowX11 final : public EditorHostWindow {
 public:
  EditorHostWindowX11(xcb_connection_t* connection, xcb_screen_t* screen) : mConnection(connection), mScreen(screen) {}

  ~EditorHostWindowX11() override {
    if (mWindow) xcb_destroy_window(mConnection, mWindow);
    xcb_flush(mConnection);
    xcb_disconnect(mConnection);
  }

  bool Open(const std::string& title, int width, int height) {
    xcb_connection_t* c = mConnection;
    mWindow = xcb_generate_id(c);
    const std::uint32_t values[] = {mScreen->black_pixel, XCB_EVENT_MASK_STRUCTURE_NOTIFY | XCB_EVENT_MASK_EXPOSURE};
    xcb_create_window(c, XCB_COPY_FROM_PARENT, mWindow, mScreen->root, 0, 0, static_cast<std::uint16_t>(width),
                      static_cast<std::uint16_t>(height), 0, XCB_WINDOW_CLASS_INPUT_OUTPUT, mScreen->root_visual,
                      XCB_CW_BACK_PIXEL | XCB_CW_EVENT_MASK, values);
    xcb_change_property(c, XCB_PROP_MODE_REPLACE, mWindow, XCB_ATOM_WM_NAME, XCB_ATOM_STRING, 8,
                        static_cast<std::uint32_t>(title.size()), title.data());
    const xcb_atom_t utf8 = Atom(c, "UTF8_STRING");
    xcb_change_property(c, XCB_PROP_MODE_REPLACE, mWindow, Atom(c, "_NET_WM_NAME"), utf8, 8,
                        static_cast<std::uint32_t>(title.size()), title.data());
    static const char kClass[] = "cyclochord-host\0CyclochordHost";
    xcb_change_property(c, XCB_PROP_MODE_REPLACE, mWindow, XCB_ATOM_WM_CLASS, XCB_ATOM_STRING, 8, sizeof(kClass),
                        kClass);
    mProtocols = Atom(c, "WM_PROTOCOLS");
    mDeleteWindow = Atom(c, "WM_DELETE_WINDOW");
    xcb_change_property(c, XCB_PROP_MODE_REPLACE, mWindow, mProtocols, XCB_ATOM_ATOM, 32, 1, &mDeleteWindow);
    SetClientSize(width, height);
    xcb_map_window(c, mWindow);
    xcb_flush(c);
    // Editors take the keyboard focus when they open, which only a window on screen can give them.
    const auto giveUp = std::chrono::steady_clock::now() + std::chrono::seconds(2);
    while (!mMapped && std::chrono::steady_clock::now() < giveUp) {
      if (!ProcessEvents(50)) return false;
    }
    return !xcb_connection_has_error(c);
  }

  void* ParentHandle() const override { return reinterpret_cast<void*>(std::uintptr_t(mWindow)); }

  void SetClientSize(int width, int height) override {
    mWidth = width;
    mHeight = height;
    const std::uint32_t size[] = {std::uint32_t(width), std::uint32_t(height)};
    xcb_configure_window(mConnection, mWindow, XCB_CONFIG_WINDOW_WIDTH | XCB_CONFIG_WINDOW_HEIGHT, size);
    // Window managers read WM_NORMAL_HINTS: minimum and maximum size equal keep the editor's size.
    std::uint32_t hints[18] = {};
    hints[0] = 16 | 32;  // PMinSize | PMaxSize
    hints[5] = hints[7] = std::uint32_t(width);
    hints[6] = hints[8] = std::uint32_t(height);
    xcb_change_property(mConnection, XCB_PROP_MODE_REPLACE, mWindow, XCB_ATOM_WM_NORMAL_HINTS, XCB_ATOM_WM_SIZE_HINTS,
                        32, 18, hints);
    xcb_flush(mConnection);
  }

  bool ProcessEvents(int timeoutMs) override {
    xcb_flush(mConnection);
    pollfd fd = {xcb_get_file_descriptor(mConnection), POLLIN, 0};
    if (!HandleQueued()) poll(&fd, 1, timeoutMs < 0 ? 0 : timeoutMs);
    HandleQueued();
    return !mClosed && !xcb_connection_has_error(mConnection);
  }

  bool Capture(std::vector<std::uint32_t>* pixels, int* width, int* height) override {
    const xcb_visualtype_t* visual = RootVisual();
    xcb_get_image_reply_t* image =
        xcb_get_image_reply(mConnection,
                            xcb_get_image(mConnection, XCB_IMAGE_FORMAT_Z_PIXMAP, mWindow, 0, 0,
                                          static_cast<std::uint16_t>(mWidth), static_cast<std::uint16_t>(mHeight), ~0u),
                            nullptr);
    if (!image || !visual) {
      std::free(image);
      return false;
    }
    const std::size_t count = std::size_t(mWidth) * std::size_t(mHeight);
    const bool ok = xcb_get_image_data_length(image) >= int(count * 4);
    if (ok) {
      // 32 bits per pixel with the visual's channel masks, in the server's byte order.
      const std::uint8_t* data = xcb_get_image_data(image);
      const bool msbFirst = xcb_get_setup(mConnection)->image_byte_order == XCB_IMAGE_ORDER_MSB_FIRST;
      const int rs = ShiftOf(visual->red_mask), gs = ShiftOf(visual->green_mask), bs = ShiftOf(visual->blue_mask);
      pixels->resize(count);
      for (std::size_t i = 0; i < count; ++i) {
        const std::uint8_t* p = data + i * 4;
        const std::uint32_t v =
            msbFirst ? (std::uint32_t(p[0]) << 24 | std::uint32_t(p[1]) << 16 | std::uint32_t(p[2]) << 8 | p[3])
                     : (std::uint32_t(p[3]) << 24 | std::uint32_t(p[2]) << 16 | std::uint32_t(p[1]) << 8 | p[0]);
        (*pixels)[i] = 0xFF000000u | (((v & visual->red_mask) >> rs) & 0xFF) << 16 |
                       (((v & visual->green_mask) >> gs) & 0xFF) << 8 | (((v & visual->blue_mask) >> bs) & 0xFF);
      }
      *width = mWidth;
      *height = mHeight;
    }
    std::free(image);
    return ok;
  }

 private:
  // Handles the events already received; true when there were any.
  bool HandleQueued() {
    bool any = false;
    while (xcb_generic_event_t* event = xcb_poll_for_event(mConnection)) {
      any = true;
      switch (event->response_type & 0x7F) {
        case XCB_MAP_NOTIFY:
          mMapped = true;
          break;
        case XCB_CLIENT_MESSAGE: {
          const auto* m = reinterpret_cast<const xcb_client_message_event_t*>(event);
          if (m->type == mProtocols && m->data.data32[0] == mDeleteWindow) mClosed = true;
          break;
        }
        case XCB_DESTROY_NOTIFY:
          mClosed = true;
          break;
        default:
          break;
      }
      std::free(event);
    }
    return any;
  }

  const xcb_visualtype_t* RootVisual() const {
    for (auto d = xcb_screen_allowed_depths_iterator(mScreen); d.rem; xcb_depth_next(&d))
      for (auto v = xcb_depth_visuals_iterator(d.data); v.rem; xcb_visualtype_next(&v))
        if (v.data->visual_id == mScreen->root_visual) return d.data->depth >= 24 ? v.data : nullptr;
    return nullptr;
  }

  xcb_connection_t* mConnection;
  xcb_screen_t* mScreen;
  xcb_window_t mWindow = 0;
  xcb_atom_t mProtocols = XCB_ATOM_NONE;
  xcb_atom_t mDeleteWindow = XCB_ATOM_NONE;
  int mWidth = 0;
  int mHeight = 0;
  bool mMapped = false;
  bool mClosed = false;
};

}  // namespace

const char* EditorHostWindow::WindowSystem() { return "x11"; }

std::unique_ptr<EditorHostWindow> EditorHostWindow::Create(const std::string& title, int width, int height,
                                                           std::string* error) {
  int screenNumber = 0;
  xcb_connection_t* connection = nullptr;
  // A server that has just seen another client go sometimes hangs up on the next one: try again shortly.
  for (int attempt = 0; attempt < 10 && !connection; ++attempt) {
    if (attempt > 0) std::this_thread::sleep_for(std::chrono::milliseconds(2));
    connection = xcb_connect(nullptr, &screenNumber);
    if (xcb_connection_has_error(connection)) {
      xcb_disconnect(connection);
      connection = nullptr;
    }
  }
  if (!connection) {
    const char* display = std::getenv("DISPLAY");
    *error = std::string("cannot connect to the X server") +
             (display && *display ? std::string(" at DISPLAY=") + display : " (DISPLAY is not set)");
    return nullptr;
  }
  xcb_screen_t* screen = nullptr;
  auto it = xcb_setup_roots_iterator(xcb_get_setup(connection));
  for (int i = 0; it.rem; ++i, xcb_screen_next(&it))
    if (i == screenNumber) screen = it.data;
  auto window = std::make_unique<EditorHostWindowX11>(connection, screen);
  if (!screen || !window->Open(title, width, height)) {
    *error = "cannot open a window on the X server";
    return nullptr;
  }
  return window;
}

}  // namespace cchost
