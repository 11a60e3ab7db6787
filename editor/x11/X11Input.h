// X11 pointer and key events in the graphics host's terms: modifiers, wheel steps, double-clicks and key codes.
// Nothing here talks to a server, so the rules stand on their own.
#pragma once

#include <cstdint>

#include "IGraphicsStructs.h"

namespace x11input {

// Bits of an event's state field, as the core protocol numbers them.
constexpr std::uint16_t kShiftMask = 1 << 0;
constexpr std::uint16_t kLockMask = 1 << 1;
constexpr std::uint16_t kControlMask = 1 << 2;
constexpr std::uint16_t kMod1Mask = 1 << 3;  // Alt on every common keyboard map
constexpr std::uint16_t kMod2Mask = 1 << 4;  // Num Lock on every common keyboard map
constexpr std::uint16_t kButton1Mask = 1 << 8;
constexpr std::uint16_t kButton3Mask = 1 << 10;

constexpr int kLeftButton = 1;
constexpr int kRightButton = 3;

// The modifiers of a pointer event. X gives the state from just before the event, so a press adds its own
// button and a release takes its button away.
IMouseMods ModsFor(std::uint16_t state, int button, bool press);

// Steps of a wheel button: 4 (turned away from the user) is +1, 5 is -1; other buttons are no wheel.
int WheelSteps(int button);
bool IsWheelButton(int button);

// The server reports presses only; two of the same button close in time and place make a double-click.
class ClickCounter {
 public:
  // The interval and distance desktop toolkits use by default.
  static constexpr std::uint32_t kIntervalMs = 400;
  static constexpr int kSlop = 4;

  // True when this press completes a double-click. Its two presses are used up by it: a third press starts anew.
  bool IsDoubleClick(int button, std::uint32_t timeMs, int x, int y);
  void Reset() { mArmed = false; }

 private:
  bool mArmed = false;
  int mButton = 0;
  std::uint32_t mTime = 0;
  int mX = 0;
  int mY = 0;
};

// The controls' key code of a keysym: space, arrows, digits and letters (either case); -1 for any other key.
int KeyCodeFor(std::uint32_t keysym);

// Of the two keysyms of a key's first group, the one that the state selects: Shift, with Caps Lock for
// letters and Num Lock for the keypad, the way Xlib's lookup chooses.
std::uint32_t ChooseKeysym(std::uint32_t unshifted, std::uint32_t shifted, std::uint16_t state);

// The Latin-1 character that a keysym types, 0 for keys that type none.
char CharacterFor(std::uint32_t keysym);

// Keysyms of the keys that the entry box handles.
namespace keysym {
constexpr std::uint32_t kBackSpace = 0xFF08;
constexpr std::uint32_t kTab = 0xFF09;
constexpr std::uint32_t kReturn = 0xFF0D;
constexpr std::uint32_t kEscape = 0xFF1B;
constexpr std::uint32_t kHome = 0xFF50;
constexpr std::uint32_t kLeft = 0xFF51;
constexpr std::uint32_t kUp = 0xFF52;
constexpr std::uint32_t kRight = 0xFF53;
constexpr std::uint32_t kDown = 0xFF54;
constexpr std::uint32_t kEnd = 0xFF57;
constexpr std::uint32_t kKeypadEnter = 0xFF8D;
constexpr std::uint32_t kDelete = 0xFFFF;
}  // namespace keysym

}  // namespace x11input
