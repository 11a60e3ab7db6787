// Setting parameters by name and display text, on the framework's test plug-in through its AEffect.
#include <gtest/gtest.h>

#include "ParameterText.h"
#include "ToolTestSupport.h"

using namespace cchost;

class ParameterText : public ::testing::Test {
 protected:
  void SetUp() override {
    std::string error;
    mPlugin = Plugin::Load(cchost_test::ModulePath("TestPlugin.so"), &mHost, &error);
    ASSERT_TRUE(mPlugin) << error;
  }
  bool Set(const std::string& name, const std::string& value, std::string* error) {
    const int index = FindParameter(*mPlugin, name, error);
    return index >= 0 && SetParameterByDisplay(*mPlugin, index, value, error);
  }
  std::string Display(const std::string& name) {
    std::string error;
    return mPlugin->ParamDisplay(FindParameter(*mPlugin, name, &error));
  }
  Host mHost{44100.0, 512};
  std::unique_ptr<Plugin> mPlugin;
};

TEST_F(ParameterText, NamesMatchExactlyThenIgnoringCaseThenAsIndex) {
  std::string error;
  EXPECT_EQ(FindParameter(*mPlugin, "Colour", &error), 1);
  EXPECT_EQ(FindParameter(*mPlugin, "offset", &error), 2);
  EXPECT_EQ(FindParameter(*mPlugin, "3", &error), 3);
  EXPECT_EQ(FindParameter(*mPlugin, "Volume", &error), -1);
  EXPECT_NE(error.find("Switch, Colour, Offset, Amount"), std::string::npos) << error;
  EXPECT_EQ(FindParameter(*mPlugin, "4", &error), -1) << "the host sees four parameters only";
}

TEST_F(ParameterText, EnumeratedSwitchAndIntegerValuesAreFoundByTheirText) {
  std::string error;
  ASSERT_TRUE(Set("Colour", "Blue", &error)) << error;
  EXPECT_EQ(Display("Colour"), "Blue");
  ASSERT_TRUE(Set("Colour", "green", &error)) << error;
  EXPECT_EQ(Display("Colour"), "Green");
  ASSERT_TRUE(Set("Switch", "on", &error)) << error;
  EXPECT_EQ(Display("Switch"), "on");
  for (const char* value : {"-12", "-12 st", "-12st", " -12 "}) {
    ASSERT_TRUE(Set("Offset", "0", &error));
    ASSERT_TRUE(Set("Offset", value, &error)) << value << ": " << error;
    EXPECT_EQ(Display("Offset"), "-12") << value;
  }
  for (const char* value : {"30", "-30", "1"}) {
    ASSERT_TRUE(Set("Offset", value, &error)) << error;
    EXPECT_EQ(Display("Offset"), value);
  }
}

TEST_F(ParameterText, ContinuousValuesAreFoundToTheDisplaysResolution) {
  std::string error;
  ASSERT_TRUE(Set("Amount", "0.37", &error)) << error;
  EXPECT_EQ(Display("Amount"), "0.37");
  ASSERT_TRUE(Set("Amount", "0.5", &error)) << error;
  EXPECT_EQ(Display("Amount"), "0.50");
}

TEST_F(ParameterText, AnUnknownValueIsRefusedAndTheParameterKeepsItsValue) {
  std::string error;
  ASSERT_TRUE(Set("Colour", "Green", &error));
  EXPECT_FALSE(Set("Colour", "Purple", &error));
  EXPECT_NE(error.find("Red, Green, Blue"), std::string::npos) << error;
  EXPECT_EQ(Display("Colour"), "Green");
  EXPECT_FALSE(Set("Offset", "31", &error));
  EXPECT_FALSE(Set("Offset", "", &error));
  EXPECT_FALSE(Set("Switch", "maybe", &error));
  EXPECT_EQ(Display("Switch"), "off");
}
