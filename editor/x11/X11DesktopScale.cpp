#include "X11DesktopScale.h"

#include <xcb/xcb.h>

#include <cmath>
#include <cstdlib>
#include <cstring>

namespace {
double Held(double scale) {
  if (!(scale > 0.0)) return 0.0;
  scale = std::round(scale * 4.0) / 4.0;
  return scale < 1.0 ? 1.0 : (scale > 3.0 ? 3.0 : scale);
}

std::string RootResources() {
  xcb_connection_t* c = xcb_connect(nullptr, nullptr);
  std::string text;
  if (!xcb_connection_has_error(c)) {
    const xcb_screen_t* screen = xcb_setup_roots_iterator(xcb_get_setup(c)).data;
    if (screen) {
      // The resources are a few kilobytes; 64 kB (in 4-byte units) covers any desktop's.
      xcb_get_property_reply_t* reply = xcb_get_property_reply(
          c, xcb_get_property(c, 0, screen->root, XCB_ATOM_RESOURCE_MANAGER, XCB_ATOM_STRING, 0, 16384), nullptr);
      if (reply) {
        text.assign(static_cast<const char*>(xcb_get_property_value(reply)),
                    static_cast<size_t>(xcb_get_property_value_length(reply)));
        std::free(reply);
      }
    }
  }
  xcb_disconnect(c);
  return text;
}
}  // namespace

double ScaleFromGdkScale(const char* value) {
  if (!value || !*value) return 0.0;
  char* end = nullptr;
  const long n = std::strtol(value, &end, 10);
  if (*end != '\0' || n < 1) return 0.0;
  return Held(double(n));
}

double ScaleFromXResources(const std::string& resources) {
  size_t at = 0;
  while (at < resources.size()) {
    size_t end = resources.find('\n', at);
    if (end == std::string::npos) end = resources.size();
    const std::string line = resources.substr(at, end - at);
    at = end + 1;
    static const char kKey[] = "Xft.dpi:";
    if (line.compare(0, sizeof(kKey) - 1, kKey) != 0) continue;
    const double dpi = std::strtod(line.c_str() + sizeof(kKey) - 1, nullptr);
    return dpi > 0.0 ? Held(dpi / 96.0) : 0.0;
  }
  return 0.0;
}

double X11DesktopScale() {
  // Set by the user for GTK programs: the most deliberate word on it.
  if (const double gdk = ScaleFromGdkScale(std::getenv("GDK_SCALE")); gdk > 0.0) return gdk;
  return ScaleFromXResources(RootResources());
}
