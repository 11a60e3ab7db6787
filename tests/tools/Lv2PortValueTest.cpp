// Setting LV2 control ports from command-line text: labels, toggles, numbers with units, and what is refused.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>
#include <vector>

#include "Lv2PortValue.h"

using cchost::Lv2PortValue;

namespace {
const float kNone = std::numeric_limits<float>::quiet_NaN();

Lv2PortValue Algorithm() {
  Lv2PortValue p;
  p.symbol = "v1algo";
  p.name = "Rotator 1 algorithm";
  p.min = 0;
  p.max = 3;
  p.integer = true;
  p.points = {{0, "Off"}, {1, "Up"}, {2, "ZigZag"}, {3, "Random"}};
  return p;
}
Lv2PortValue Toggle() {
  Lv2PortValue p;
  p.symbol = "Snap";
  p.name = "Snap";
  p.max = 1;
  p.toggled = p.integer = true;
  return p;
}
Lv2PortValue Velocity() {
  Lv2PortValue p;
  p.symbol = "ParVel";
  p.name = "Parallel velocity";
  p.min = -64;
  p.max = 64;
  p.integer = true;
  return p;
}
Lv2PortValue Unbounded() {
  Lv2PortValue p;
  p.symbol = "gain";
  p.name = "Gain";
  p.min = p.max = kNone;
  return p;
}

struct TextCase {
  const char* name;
  Lv2PortValue (*port)();
  const char* text;
  bool ok;
  float value;      // when ok
  const char* shown;  // when ok; else a part of the message
};

const TextCase kCases[] = {
    {"label", Algorithm, "ZigZag", true, 2, "ZigZag"},
    {"label in another case", Algorithm, "zigzag", true, 2, "ZigZag"},
    {"number of a labelled value", Algorithm, "3", true, 3, "Random"},
    {"unknown label lists the labels", Algorithm, "Sideways", false, 0, "one of: Off, Up, ZigZag, Random"},
    {"beyond the range", Algorithm, "4", false, 0, "goes from 0 to 3"},
    {"toggle on", Toggle, "on", true, 1, "on"},
    {"toggle yes", Toggle, "YES", true, 1, "on"},
    {"toggle off", Toggle, "false", true, 0, "off"},
    {"toggle nonsense", Toggle, "maybe", false, 0, "(on or off)"},
    {"negative number", Velocity, "-12", true, -12, "-12"},
    {"number with a unit", Velocity, "12 steps", true, 12, "12"},
    {"fraction for a whole-number port", Velocity, "1.5", false, 0, "whole numbers"},
    {"below the range", Velocity, "-65", false, 0, "goes from -64 to 64"},
    {"number glued to text", Velocity, "12x", false, 0, "(a number)"},
    {"empty", Velocity, "", false, 0, "(a number)"},
    {"not finite", Unbounded, "inf", false, 0, "(a number)"},
    {"no bounds declared", Unbounded, "1e6", true, 1e6f, "1e+06"},
};

TEST(Lv2PortValue, SetsFromTextOrRefusesAndKeepsTheValue) {
  for (const TextCase& c : kCases) {
    SCOPED_TRACE(c.name);
    Lv2PortValue port = c.port();
    port.value = 0.25f;  // no case expects this value
    std::string shown, error;
    ASSERT_EQ(port.SetFromText(c.text, &shown, &error), c.ok) << error;
    if (c.ok) {
      EXPECT_EQ(port.value, c.value);
      EXPECT_EQ(shown, c.shown);
    } else {
      EXPECT_EQ(port.value, 0.25f);
      EXPECT_NE(error.find(c.shown), std::string::npos) << error;
    }
  }
}

TEST(Lv2PortValue, FindsBySymbolBeforeNameInAnyCase) {
  Lv2PortValue a = Algorithm(), b = Velocity(), c = Toggle();
  c.name = "v1algo";  // a name equal to another port's symbol: the symbol wins
  const std::vector<Lv2PortValue*> ports = {&c, &a, &b};
  std::string error;
  EXPECT_EQ(cchost::FindControl(ports, "V1ALGO", &error), &a);
  EXPECT_EQ(cchost::FindControl(ports, "parallel velocity", &error), &b);
  EXPECT_EQ(cchost::FindControl(ports, "Colour", &error), nullptr);
  EXPECT_NE(error.find("Snap v1algo ParVel"), std::string::npos) << error;
}

}  // namespace
