#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>

#include "IParameter.h"

namespace {
std::string Display(const IParameter& p, double v, bool normalized = false) {
  char text[kParamTextSize];
  p.FormatDisplay(v, normalized, text);
  return text;
}
}  // namespace

TEST(IParameter, BoolShowsOffOnAndRoundsAtHalf) {
  IParameter p;
  p.DefineBool("Mute", false);
  EXPECT_EQ(p.Type(), kParamBool);
  EXPECT_EQ(Display(p, 0), "off");
  EXPECT_EQ(Display(p, 1), "on");
  p.SetFromNormalized(0.49);
  EXPECT_EQ(p.Value(), 0.0);
  p.SetFromNormalized(0.5);
  EXPECT_EQ(p.Value(), 1.0);
}

TEST(IParameter, EnumRoundsToNearestStepHalvesUp) {
  IParameter p;
  p.DefineEnum("Algo", 0, 5);
  EXPECT_EQ(p.Max(), 4.0);
  p.SetFromNormalized(0.3);
  EXPECT_EQ(p.Value(), 1.0);
  p.SetFromNormalized(0.375);
  EXPECT_EQ(p.Value(), 2.0);
}

TEST(IParameter, NormalisedValuesNeverLeaveTheRange) {
  IParameter p;
  p.DefineInt("Vel", 0, -30, 30, "");
  p.SetFromNormalized(1.2);
  EXPECT_EQ(p.Value(), 30.0);
  p.SetFromNormalized(-0.1);
  EXPECT_EQ(p.Value(), -30.0);
  p.SetFromNormalized(std::numeric_limits<double>::infinity());
  EXPECT_EQ(p.Value(), 30.0);
  p.SetFromNormalized(0.5);
  p.SetFromNormalized(std::nan(""));
  EXPECT_EQ(p.Value(), 0.0) << "a NaN leaves the parameter where it was";
}

TEST(IParameter, SetClampedHandlesNaNAsMaximum) {
  IParameter p;
  p.DefineInt("Chan", 1, 1, 16, "");
  p.SetClamped(-5);
  EXPECT_EQ(p.Value(), 1.0);
  p.SetClamped(99);
  EXPECT_EQ(p.Value(), 16.0);
  p.SetClamped(std::nan(""));
  EXPECT_EQ(p.Value(), 16.0);
}

TEST(IParameter, DoubleKeepsUnroundedValueAndShowsTwoPlaces) {
  IParameter p;
  p.DefineDouble("Human", 0, 0, 1, 0.01, "");
  EXPECT_EQ(p.DisplayPrecision(), 2);
  p.SetFromNormalized(0.256);
  EXPECT_DOUBLE_EQ(p.Value(), 0.256);
  EXPECT_EQ(Display(p, p.Value()), "0.26");
  EXPECT_EQ(Display(p, 0.0), "0");
}

TEST(IParameter, PrecisionStopsAtSixPlaces) {
  IParameter p;
  p.DefineDouble("x", 0, 0, 1, 1.0 / 3.0, "");
  EXPECT_EQ(p.DisplayPrecision(), 6);
  IParameter q;
  q.DefineDouble("y", 0, 0, 10, 1, "");
  EXPECT_EQ(q.DisplayPrecision(), 0);
}

TEST(IParameter, RangeIsAtLeastOneStepAndDefaultIsNotClamped) {
  IParameter p;
  p.DefineDouble("x", 5, 0, 1, 2, "");
  EXPECT_EQ(p.Max(), 2.0);
  EXPECT_EQ(p.Value(), 5.0);
  EXPECT_EQ(p.Normalized(), 1.0);
}

TEST(IParameter, DisplayTextsTruncateAndFallBackToNumbers) {
  IParameter p;
  p.DefineEnum("Colour", 0, 3);
  p.AddDisplayText(0, "Red");
  p.AddDisplayText(1, "");
  p.AddDisplayText(2, "Blue");
  EXPECT_EQ(Display(p, 0.999), "Red");
  EXPECT_EQ(Display(p, 1), "1") << "an empty text shows the number";
  EXPECT_EQ(Display(p, 1.0, true), "Blue") << "normalised 1.0 is the top of the range";
  int value = -1;
  EXPECT_TRUE(p.ValueForDisplayText("Blue", &value));
  EXPECT_EQ(value, 2);
  value = -1;
  EXPECT_FALSE(p.ValueForDisplayText("blue", &value));
  EXPECT_EQ(value, -1);
}

TEST(IParameter, IntegersShowTruncatedAndHostileValuesFormatSafely) {
  IParameter p;
  p.DefineInt("Int", 0, -24, 24, "");
  EXPECT_EQ(Display(p, -7.9), "-7");
  EXPECT_EQ(Display(p, 1e300), "2147483647");
  EXPECT_EQ(Display(p, std::nan(""), true), "0");
}

TEST(IParameter, TextsLongerThanTheirFieldsAreCut) {
  IParameter p;
  const std::string longName(100, 'n');
  p.DefineInt(longName.c_str(), 0, 0, 1, longName.c_str());
  p.AddDisplayText(0, longName.c_str());
  EXPECT_EQ(std::string(p.Name()), std::string(kParamTextSize - 1, 'n'));
  EXPECT_EQ(std::string(p.Label()).size(), kParamTextSize - 1);
  EXPECT_EQ(Display(p, 0).size(), kParamTextSize - 1);
}
