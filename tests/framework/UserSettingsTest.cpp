// The user's settings file: values kept across a save and a load, made in a folder that did not exist yet,
// numbers written the same way whatever the locale, and a damaged or missing file giving the fallback.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <fstream>
#include <string>

#include "UserSettings.h"

namespace {
// A folder name of this run's own, so a file an earlier run left cannot be found.
std::string TempFolder() {
  static const auto run = std::chrono::steady_clock::now().time_since_epoch().count();
  static int n = 0;
  return testing::TempDir() + "user-settings-" + std::to_string(run) + "-" + std::to_string(++n);
}
}  // namespace

TEST(UserSettings, ValuesSurviveASaveAndALoadInANewFolder) {
  const std::string path = TempFolder() + "/deeper/settings.ini";
  UserSettings out(path);
  EXPECT_FALSE(out.Load());
  out.SetNumber("editor-scale", 1.25);
  out.SetNumber("other", -3);
  ASSERT_TRUE(out.Save());
  out.SetNumber("editor-scale", 2.0);
  ASSERT_TRUE(out.Save());

  UserSettings in(path);
  ASSERT_TRUE(in.Load());
  EXPECT_EQ(in.GetNumber("editor-scale", 0.0), 2.0);
  EXPECT_EQ(in.GetNumber("other", 0.0), -3.0);
  EXPECT_EQ(in.GetNumber("missing", 7.5), 7.5);
  // No temporary file is left beside it.
  EXPECT_FALSE(std::ifstream(path + ".new").good());
}

TEST(UserSettings, DamagedLinesAndValuesGiveTheFallback) {
  const std::string folder = TempFolder();
  UserSettings make(folder + "/settings.ini");
  ASSERT_TRUE(make.Save());
  {
    std::ofstream file(folder + "/settings.ini");
    file << "no equals sign\n=orphan value\neditor-scale=huge\r\nratio=1.5\r\nempty=\n";
  }
  UserSettings in(folder + "/settings.ini");
  ASSERT_TRUE(in.Load());
  EXPECT_EQ(in.GetNumber("editor-scale", 1.0), 1.0);
  EXPECT_EQ(in.GetNumber("ratio", 0.0), 1.5);  // a Windows line end is no part of the value
  EXPECT_EQ(in.GetNumber("empty", 4.0), 4.0);
  EXPECT_EQ(in.GetNumber("", 4.0), 4.0);
}

TEST(UserSettings, NoPathKeepsNothing) {
  UserSettings none("");
  none.SetNumber("editor-scale", 2.0);
  EXPECT_FALSE(none.Save());
  EXPECT_FALSE(none.Load());
  // A file where the folder should be: saving fails instead of writing somewhere else.
  const std::string blocker = TempFolder() + "-file";
  std::ofstream(blocker) << "x";
  UserSettings blocked(blocker + "/settings.ini");
  EXPECT_FALSE(blocked.Save());
}
