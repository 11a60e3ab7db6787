#include <gtest/gtest.h>

#include <string>

#include "HostIdentification.h"

TEST(HostIdentification, MatchesSubstringsInTableOrderIgnoringCase) {
  EXPECT_EQ(IdentifyHost("Steinberg CUBASE"), 3);
  EXPECT_EQ(IdentifyHost("reaper and cubase"), 3);
  EXPECT_EQ(IdentifyHost("REAPER"), 1);
  EXPECT_EQ(IdentifyHost("Oliver"), 9) << "'live' inside a longer word";
  EXPECT_EQ(IdentifyHost("Digital Performer"), 22);
  EXPECT_EQ(IdentifyHost("Sonar"), 0);
  EXPECT_EQ(IdentifyHost(""), 0);
  EXPECT_EQ(IdentifyHost(nullptr), 0);
}

TEST(HostIdentification, OnlyTheFirst255CharactersCount) {
  std::string text(255, 'x');
  text += "cubase";
  EXPECT_EQ(IdentifyHost(text.c_str()), 0);
}
