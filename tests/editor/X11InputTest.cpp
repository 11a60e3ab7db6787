// X11 event fields in the graphics host's terms: modifiers, wheel steps, double-clicks, key codes and keysyms.
#include <gtest/gtest.h>

#include "X11Input.h"

using namespace x11input;

TEST(X11Input, PressAddsItsButtonAndReleaseTakesItAway) {
  const IMouseMods press = ModsFor(kShiftMask | kMod1Mask, kLeftButton, true);
  EXPECT_TRUE(press.L);
  EXPECT_FALSE(press.R);
  EXPECT_TRUE(press.S);
  EXPECT_FALSE(press.C);
  EXPECT_TRUE(press.A);
  // X reports the released button as still held in the release's state.
  const IMouseMods release = ModsFor(kButton1Mask | kButton3Mask | kControlMask, kLeftButton, false);
  EXPECT_FALSE(release.L);
  EXPECT_TRUE(release.R);
  EXPECT_TRUE(release.C);
  const IMouseMods right = ModsFor(0, kRightButton, true);
  EXPECT_FALSE(right.L);
  EXPECT_TRUE(right.R);
  // Motion: only what is held.
  const IMouseMods drag = ModsFor(kButton3Mask, 0, false);
  EXPECT_TRUE(drag.R);
  EXPECT_FALSE(drag.L);
}

TEST(X11Input, DoubleClickNeedsTheSameButtonSoonAndClose) {
  ClickCounter c;
  EXPECT_FALSE(c.IsDoubleClick(1, 1000, 50, 50));
  EXPECT_TRUE(c.IsDoubleClick(1, 1000 + ClickCounter::kIntervalMs, 50 + ClickCounter::kSlop, 50));
  // Both presses are used up: the third starts anew, the fourth completes the next pair.
  EXPECT_FALSE(c.IsDoubleClick(1, 1500, 50, 50));
  EXPECT_TRUE(c.IsDoubleClick(1, 1550, 50, 50));

  EXPECT_FALSE(c.IsDoubleClick(1, 3000, 50, 50));
  EXPECT_FALSE(c.IsDoubleClick(1, 3000 + ClickCounter::kIntervalMs + 1, 50, 50)) << "too slow";
  EXPECT_FALSE(c.IsDoubleClick(1, 3500, 50, 50 + ClickCounter::kSlop + 1)) << "too far";
  EXPECT_FALSE(c.IsDoubleClick(3, 3550, 50, 55)) << "another button";
  EXPECT_TRUE(c.IsDoubleClick(3, 3600, 50, 55));
}

TEST(X11Input, DoubleClickAcrossTheServerClockWrap) {
  ClickCounter c;
  EXPECT_FALSE(c.IsDoubleClick(1, 0xFFFFFF00u, 10, 10));
  EXPECT_TRUE(c.IsDoubleClick(1, 0x00000010u, 10, 10));
}

TEST(X11Input, KeyCodesForSpaceArrowsDigitsAndLettersOnly) {
  EXPECT_EQ(KeyCodeFor(' '), KeySpace);
  EXPECT_EQ(KeyCodeFor(keysym::kUp), KeyUpArrow);
  EXPECT_EQ(KeyCodeFor(keysym::kDown), KeyDownArrow);
  EXPECT_EQ(KeyCodeFor(keysym::kLeft), KeyLeftArrow);
  EXPECT_EQ(KeyCodeFor(keysym::kRight), KeyRightArrow);
  EXPECT_EQ(KeyCodeFor('0'), 5);
  EXPECT_EQ(KeyCodeFor('9'), 14);
  EXPECT_EQ(KeyCodeFor(0xFFB7), 12);  // keypad 7
  EXPECT_EQ(KeyCodeFor('A'), 15);
  EXPECT_EQ(KeyCodeFor('z'), 40);
  EXPECT_EQ(KeyCodeFor('q'), KeyCodeFor('Q'));
  for (std::uint32_t other : {keysym::kReturn, keysym::kEscape, std::uint32_t('.'), std::uint32_t(0xE9), 0xFFBEu})
    EXPECT_EQ(KeyCodeFor(other), -1) << std::hex << other;
}

TEST(X11Input, ShiftCapsAndNumLockChooseTheKeysym) {
  EXPECT_EQ(ChooseKeysym('a', 'A', 0), std::uint32_t('a'));
  EXPECT_EQ(ChooseKeysym('a', 'A', kShiftMask), std::uint32_t('A'));
  EXPECT_EQ(ChooseKeysym('a', 'A', kLockMask), std::uint32_t('A'));
  EXPECT_EQ(ChooseKeysym('a', 'A', kLockMask | kShiftMask), std::uint32_t('a'));
  EXPECT_EQ(ChooseKeysym('a', 0, kShiftMask), std::uint32_t('A')) << "no second column: the capital";
  // Caps Lock is for letters only.
  EXPECT_EQ(ChooseKeysym('1', '!', kLockMask), std::uint32_t('1'));
  EXPECT_EQ(ChooseKeysym('1', '!', kShiftMask), std::uint32_t('!'));
  // The keypad types digits with Num Lock on, moves without it.
  EXPECT_EQ(ChooseKeysym(0xFF9C, 0xFFB1, kMod2Mask), 0xFFB1u);
  EXPECT_EQ(ChooseKeysym(0xFF9C, 0xFFB1, 0), 0xFF9Cu);
  EXPECT_EQ(ChooseKeysym(0xFF9C, 0xFFB1, kMod2Mask | kShiftMask), 0xFF9Cu);
}

