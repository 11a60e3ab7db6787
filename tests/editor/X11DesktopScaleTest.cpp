// Where an editor without a scale from its host takes one on X11: GDK_SCALE, else the Xft.dpi resource.
#include <gtest/gtest.h>

#include "X11DesktopScale.h"

TEST(X11DesktopScale, GdkScaleIsAWholeNumberHeldToTheEditorsRange) {
  const struct {
    const char* value;
    double scale;
  } cases[] = {{"2", 2.0}, {"1", 1.0}, {"3", 3.0}, {"4", 3.0}, {"0", 0.0}, {"-1", 0.0},
               {"1.5", 0.0}, {"", 0.0}, {"two", 0.0}, {nullptr, 0.0}};
  for (const auto& c : cases) EXPECT_EQ(ScaleFromGdkScale(c.value), c.scale) << (c.value ? c.value : "(unset)");
}

TEST(X11DesktopScale, XftDpiOverNinetySixRoundedToQuarters) {
  const struct {
    const char* resources;
    double scale;
  } cases[] = {
      {"Xft.dpi:\t96\n", 1.0},
      {"Xft.antialias:\t1\nXft.dpi:\t192\nXft.hinting:\t1\n", 2.0},
      {"Xft.dpi: 144", 1.5},
      {"Xft.dpi:\t120\n", 1.25},
      {"Xft.dpi:\t110\n", 1.25},  // 1.146 rounds to the nearest quarter
      {"Xft.dpi:\t72\n", 1.0},    // below 100 % the editor stays at its own size
      {"Xft.dpi:\t400\n", 3.0},
      {"Xft.dpi:\tnone\n", 0.0},
      {"Xcursor.size:\t48\n", 0.0},
      {"", 0.0},
      {"  Xft.dpi:\t192\n", 0.0},  // not at a line's start: some other resource's text
  };
  for (const auto& c : cases) EXPECT_EQ(ScaleFromXResources(c.resources), c.scale) << c.resources;
}
