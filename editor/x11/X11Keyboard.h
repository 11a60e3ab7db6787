// The server's keyboard map on an XCB connection: key codes of events to keysyms.
#pragma once

#include <xcb/xcb.h>

#include <cstdint>
#include <vector>

class X11Keyboard {
 public:
  // Reads the map; on failure every key answers no keysym (0).
  void Load(xcb_connection_t* connection);
  // The keysym that the key types with the event's modifier state.
  std::uint32_t KeysymFor(std::uint8_t keycode, std::uint16_t state) const;

 private:
  std::uint8_t mMinKeycode = 0;
  int mPerKeycode = 0;
  std::vector<std::uint32_t> mSyms;
};
