// Keyboard map lookup for the X11 editor window.
#include "X11Keyboard.h"

#include <cstdlib>

#include "X11Input.h"

void X11Keyboard::Load(xcb_connection_t* connection) {
  mSyms.clear();
  mPerKeycode = 0;
  const xcb_setup_t* setup = xcb_get_setup(connection);
  const int count = setup->max_keycode - setup->min_keycode + 1;
  xcb_get_keyboard_mapping_reply_t* reply = xcb_get_keyboard_mapping_reply(
      connection, xcb_get_keyboard_mapping(connection, setup->min_keycode, static_cast<std::uint8_t>(count)), nullptr);
  if (!reply) return;
  const xcb_keysym_t* syms = xcb_get_keyboard_mapping_keysyms(reply);
  const int length = xcb_get_keyboard_mapping_keysyms_length(reply);
  mMinKeycode = setup->min_keycode;
  mPerKeycode = reply->keysyms_per_keycode;
  mSyms.assign(syms, syms + length);
  std::free(reply);
}

std::uint32_t X11Keyboard::KeysymFor(std::uint8_t keycode, std::uint16_t state) const {
  if (mPerKeycode <= 0 || keycode < mMinKeycode) return 0;
  const size_t at = size_t(keycode - mMinKeycode) * size_t(mPerKeycode);
  if (at >= mSyms.size()) return 0;
  const std::uint32_t unshifted = mSyms[at];
  const std::uint32_t shifted = mPerKeycode > 1 ? mSyms[at + 1] : 0;
  return x11input::ChooseKeysym(unshifted, shifted, state);
}
