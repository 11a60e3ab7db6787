// Windows messages in the graphics host's terms.
#include "WinInput.h"

namespace wininput {

IMouseMods ModsFor(WPARAM keys, bool alt) {
  return IMouseMods((keys & MK_LBUTTON) != 0, (keys & MK_RBUTTON) != 0, (keys & MK_SHIFT) != 0,
                    (keys & MK_CONTROL) != 0, alt);
}

int KeyCodeFor(WPARAM key) {
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

}  // namespace wininput
