// Modifiers, wheel steps, double-clicks and key codes from X11 event fields.
#include "X11Input.h"

#include <cstdlib>

namespace x11input {
namespace {

constexpr std::uint32_t kKeypadFirst = 0xFF80;  // KP_Space
constexpr std::uint32_t kKeypadLast = 0xFFBD;   // KP_Equal
constexpr std::uint32_t kKeypad0 = 0xFFB0;

bool IsKeypad(std::uint32_t sym) { return sym >= kKeypadFirst && sym <= kKeypadLast; }

bool IsLower(std::uint32_t sym) { return (sym >= 'a' && sym <= 'z') || (sym >= 0xE0 && sym <= 0xFE && sym != 0xF7); }
bool IsUpper(std::uint32_t sym) { return (sym >= 'A' && sym <= 'Z') || (sym >= 0xC0 && sym <= 0xDE && sym != 0xD7); }

std::uint32_t Upper(std::uint32_t sym) { return IsLower(sym) ? sym - 0x20 : sym; }

}  // namespace

IMouseMods ModsFor(std::uint16_t state, int button, bool press) {
  bool left = (state & kButton1Mask) != 0;
  bool right = (state & kButton3Mask) != 0;
  if (button == kLeftButton) left = press;
  if (button == kRightButton) right = press;
  return IMouseMods(left, right, (state & kShiftMask) != 0, (state & kControlMask) != 0, (state & kMod1Mask) != 0);
}

int WheelSteps(int button) { return button == 4 ? 1 : button == 5 ? -1 : 0; }

bool IsWheelButton(int button) { return button >= 4 && button <= 7; }

bool ClickCounter::IsDoubleClick(int button, std::uint32_t timeMs, int x, int y) {
  // Server time is a 32-bit millisecond counter: the unsigned difference stays right across its wrap.
  if (mArmed && button == mButton && timeMs - mTime <= kIntervalMs && std::abs(x - mX) <= kSlop &&
      std::abs(y - mY) <= kSlop) {
    mArmed = false;
    return true;
  }
  mArmed = true;
  mButton = button;
  mTime = timeMs;
  mX = x;
  mY = y;
  return false;
}

int KeyCodeFor(std::uint32_t sym) {
  switch (sym) {
    case ' ':
    case 0xFF80:  // KP_Space
      return KeySpace;
    case keysym::kUp:
    case 0xFF97:  // KP_Up
      return KeyUpArrow;
    case keysym::kDown:
    case 0xFF99:  // KP_Down
      return KeyDownArrow;
    case keysym::kLeft:
    case 0xFF96:  // KP_Left
      return KeyLeftArrow;
    case keysym::kRight:
    case 0xFF98:  // KP_Right
      return KeyRightArrow;
    default:
      break;
  }
  if (sym >= '0' && sym <= '9') return KeyDigit0 + static_cast<int>(sym - '0');
  if (sym >= kKeypad0 && sym <= kKeypad0 + 9) return KeyDigit0 + static_cast<int>(sym - kKeypad0);
  if (sym >= 'A' && sym <= 'Z') return KeyLetterA + static_cast<int>(sym - 'A');
  if (sym >= 'a' && sym <= 'z') return KeyLetterA + static_cast<int>(sym - 'a');
  return -1;
}

std::uint32_t ChooseKeysym(std::uint32_t unshifted, std::uint32_t shifted, std::uint16_t state) {
  const bool shift = (state & kShiftMask) != 0;
  if ((state & kMod2Mask) && IsKeypad(shifted)) return shift ? unshifted : shifted;
  const bool letter = IsLower(unshifted) || IsUpper(unshifted);
  if (shifted == 0) shifted = letter ? Upper(unshifted) : unshifted;
  const bool caps = letter && (state & kLockMask) != 0;
  return shift != caps ? shifted : unshifted;
}

char CharacterFor(std::uint32_t sym) {
  if ((sym >= 0x20 && sym <= 0x7E) || (sym >= 0xA0 && sym <= 0xFF)) return static_cast<char>(sym);
  if (sym >= kKeypad0 && sym <= kKeypad0 + 9) return static_cast<char>('0' + (sym - kKeypad0));
  switch (sym) {
    case 0xFF80:
      return ' ';
    case 0xFFAA:
      return '*';
    case 0xFFAB:
      return '+';
    case 0xFFAC:
      return ',';
    case 0xFFAD:
      return '-';
    case 0xFFAE:
      return '.';
    case 0xFFAF:
      return '/';
    default:
      return 0;
  }
}

}  // namespace x11input
