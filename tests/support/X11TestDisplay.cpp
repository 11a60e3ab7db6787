// The tests' X server connection: windows, screen pixels and XTEST input.
#include "X11TestDisplay.h"

#include <xcb/xtest.h>

#include <cstdlib>
#include <cstring>
#include <thread>

namespace {
constexpr std::uint32_t kShiftL = 0xFFE1;
}

X11TestDisplay::X11TestDisplay() {
  if (!std::getenv("DISPLAY")) return;
  int screenNumber = 0;
  // The server sometimes hangs up on a client that connects just after another one left.
  for (int attempt = 0; attempt < 20 && !mConnection; ++attempt) {
    if (attempt > 0) std::this_thread::sleep_for(std::chrono::milliseconds(5));
    mConnection = xcb_connect(nullptr, &screenNumber);
    if (xcb_connection_has_error(mConnection)) {
      xcb_disconnect(mConnection);
      mConnection = nullptr;
    }
  }
  if (!mConnection) return;
  auto it = xcb_setup_roots_iterator(xcb_get_setup(mConnection));
  for (int i = 0; it.rem; ++i, xcb_screen_next(&it))
    if (i == screenNumber) mScreen = it.data;
  xcb_test_get_version_reply_t* version =
      xcb_test_get_version_reply(mConnection, xcb_test_get_version(mConnection, 2, 2), nullptr);
  mHasXTest = version != nullptr;
  std::free(version);
}

X11TestDisplay::~X11TestDisplay() {
  if (mConnection) xcb_disconnect(mConnection);
}

std::string X11TestDisplay::Problem() const {
  if (!std::getenv("DISPLAY")) return "DISPLAY is not set";
  if (!mConnection) return "cannot connect to the X server";
  if (!mHasXTest) return "the X server has no XTEST extension";
  return "";
}

void X11TestDisplay::Sync() {
  std::free(xcb_get_input_focus_reply(mConnection, xcb_get_input_focus(mConnection), nullptr));
}

xcb_window_t X11TestDisplay::MakeWindow(int x, int y, int width, int height) {
  const xcb_window_t w = xcb_generate_id(mConnection);
  const std::uint32_t values[] = {0x203040, 1, XCB_EVENT_MASK_STRUCTURE_NOTIFY};
  xcb_create_window(mConnection, XCB_COPY_FROM_PARENT, w, mScreen->root, static_cast<std::int16_t>(x),
                    static_cast<std::int16_t>(y), static_cast<std::uint16_t>(width), static_cast<std::uint16_t>(height),
                    0, XCB_WINDOW_CLASS_INPUT_OUTPUT, mScreen->root_visual,
                    XCB_CW_BACK_PIXEL | XCB_CW_OVERRIDE_REDIRECT | XCB_CW_EVENT_MASK, values);
  xcb_map_window(mConnection, w);
  Sync();
  return w;
}

void X11TestDisplay::DestroyWindow(xcb_window_t window) {
  xcb_destroy_window(mConnection, window);
  Sync();
}

std::vector<xcb_window_t> X11TestDisplay::Children(xcb_window_t window) {
  std::vector<xcb_window_t> children;
  xcb_query_tree_reply_t* tree = xcb_query_tree_reply(mConnection, xcb_query_tree(mConnection, window), nullptr);
  if (!tree) return children;
  const xcb_window_t* list = xcb_query_tree_children(tree);
  children.assign(list, list + xcb_query_tree_children_length(tree));
  std::free(tree);
  return children;
}

void X11TestDisplay::Size(xcb_window_t window, int* width, int* height) {
  xcb_get_geometry_reply_t* g = xcb_get_geometry_reply(mConnection, xcb_get_geometry(mConnection, window), nullptr);
  *width = g ? g->width : 0;
  *height = g ? g->height : 0;
  std::free(g);
}

std::vector<std::uint32_t> X11TestDisplay::Pixels(xcb_window_t window, int width, int height) {
  std::vector<std::uint32_t> pixels;
  xcb_get_image_reply_t* image =
      xcb_get_image_reply(mConnection,
                          xcb_get_image(mConnection, XCB_IMAGE_FORMAT_Z_PIXMAP, window, 0, 0,
                                        static_cast<std::uint16_t>(width), static_cast<std::uint16_t>(height), ~0u),
                          nullptr);
  if (!image) return pixels;
  // The test server runs at depth 24 with 32-bit pixels, least significant byte first.
  const std::size_t count = std::size_t(width) * std::size_t(height);
  if (xcb_get_image_data_length(image) >= int(count * 4)) {
    pixels.resize(count);
    std::memcpy(pixels.data(), xcb_get_image_data(image), count * 4);
    for (std::uint32_t& p : pixels) p &= 0xFFFFFFu;
  }
  std::free(image);
  return pixels;
}

std::string X11TestDisplay::WindowClass(xcb_window_t window) {
  xcb_get_property_reply_t* reply = xcb_get_property_reply(
      mConnection, xcb_get_property(mConnection, 0, window, XCB_ATOM_WM_CLASS, XCB_ATOM_STRING, 0, 64), nullptr);
  std::string text;
  if (reply) {
    text.assign(static_cast<const char*>(xcb_get_property_value(reply)), size_t(xcb_get_property_value_length(reply)));
    std::free(reply);
  }
  return text;
}

void X11TestDisplay::Fake(std::uint8_t type, std::uint8_t detail, int rootX, int rootY) {
  xcb_test_fake_input(mConnection, type, detail, XCB_CURRENT_TIME, mScreen->root, static_cast<std::int16_t>(rootX),
                      static_cast<std::int16_t>(rootY), 0);
}

void X11TestDisplay::MoveTo(xcb_window_t window, int x, int y) {
  xcb_translate_coordinates_reply_t* at = xcb_translate_coordinates_reply(
      mConnection,
      xcb_translate_coordinates(mConnection, window, mScreen->root, static_cast<std::int16_t>(x),
                                static_cast<std::int16_t>(y)),
      nullptr);
  if (!at) return;
  Fake(XCB_MOTION_NOTIFY, 0, at->dst_x, at->dst_y);
  std::free(at);
  Sync();
}

void X11TestDisplay::Press(int button) {
  Fake(XCB_BUTTON_PRESS, static_cast<std::uint8_t>(button));
  Sync();
}

void X11TestDisplay::Release(int button) {
  Fake(XCB_BUTTON_RELEASE, static_cast<std::uint8_t>(button));
  Sync();
}

void X11TestDisplay::Click(xcb_window_t window, int x, int y, int button) {
  MoveTo(window, x, y);
  Press(button);
  Release(button);
}

std::uint8_t X11TestDisplay::KeycodeFor(std::uint32_t keysym, bool* shift) {
  const xcb_setup_t* setup = xcb_get_setup(mConnection);
  const int count = setup->max_keycode - setup->min_keycode + 1;
  xcb_get_keyboard_mapping_reply_t* map = xcb_get_keyboard_mapping_reply(
      mConnection, xcb_get_keyboard_mapping(mConnection, setup->min_keycode, static_cast<std::uint8_t>(count)),
      nullptr);
  std::uint8_t found = 0;
  if (map) {
    const xcb_keysym_t* syms = xcb_get_keyboard_mapping_keysyms(map);
    const int per = map->keysyms_per_keycode;
    for (int k = 0; k < count && !found; ++k)
      for (int column = 0; column < per && column < 2; ++column)
        if (syms[k * per + column] == keysym) {
          found = static_cast<std::uint8_t>(setup->min_keycode + k);
          *shift = column == 1;
          break;
        }
    std::free(map);
  }
  return found;
}

void X11TestDisplay::Key(std::uint32_t keysym) {
  bool shift = false;
  const std::uint8_t code = KeycodeFor(keysym, &shift);
  if (!code) return;
  bool unused = false;
  const std::uint8_t shiftCode = shift ? KeycodeFor(kShiftL, &unused) : 0;
  if (shiftCode) Fake(XCB_KEY_PRESS, shiftCode);
  Fake(XCB_KEY_PRESS, code);
  Fake(XCB_KEY_RELEASE, code);
  if (shiftCode) Fake(XCB_KEY_RELEASE, shiftCode);
  Sync();
}

void X11TestDisplay::KeyDown(std::uint32_t keysym) {
  bool shift = false;
  if (const std::uint8_t code = KeycodeFor(keysym, &shift)) Fake(XCB_KEY_PRESS, code);
  Sync();
}

void X11TestDisplay::KeyUp(std::uint32_t keysym) {
  bool shift = false;
  if (const std::uint8_t code = KeycodeFor(keysym, &shift)) Fake(XCB_KEY_RELEASE, code);
  Sync();
}

void X11TestDisplay::Type(const std::string& text) {
  for (char c : text) Key(static_cast<unsigned char>(c));
}

xcb_window_t X11TestDisplay::Focus() {
  xcb_get_input_focus_reply_t* reply =
      xcb_get_input_focus_reply(mConnection, xcb_get_input_focus(mConnection), nullptr);
  const xcb_window_t focus = reply ? reply->focus : 0;
  std::free(reply);
  return focus;
}

void X11TestDisplay::SetFocus(xcb_window_t window) {
  xcb_set_input_focus(mConnection, XCB_INPUT_FOCUS_POINTER_ROOT, window, XCB_CURRENT_TIME);
  Sync();
}

void X11TestDisplay::AskToClose(xcb_window_t window) {
  auto atom = [this](const char* name) {
    xcb_intern_atom_reply_t* reply = xcb_intern_atom_reply(
        mConnection, xcb_intern_atom(mConnection, 0, static_cast<std::uint16_t>(std::strlen(name)), name), nullptr);
    const xcb_atom_t a = reply ? reply->atom : 0;
    std::free(reply);
    return a;
  };
  xcb_client_message_event_t message = {};
  message.response_type = XCB_CLIENT_MESSAGE;
  message.format = 32;
  message.window = window;
  message.type = atom("WM_PROTOCOLS");
  message.data.data32[0] = atom("WM_DELETE_WINDOW");
  message.data.data32[1] = XCB_CURRENT_TIME;
  xcb_send_event(mConnection, 0, window, XCB_EVENT_MASK_NO_EVENT, reinterpret_cast<const char*>(&message));
  Sync();
}

bool WaitFor(const std::function<bool()>& condition, std::chrono::milliseconds timeout) {
  const auto end = std::chrono::steady_clock::now() + timeout;
  while (!condition()) {
    if (std::chrono::steady_clock::now() >= end) return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
  return true;
}
