// Turns what a ClapTestHost recorded into a GoogleTest result: EXPECT_TRUE(NoViolations(host)).
#pragma once

#include <gtest/gtest.h>

#include "ClapTestHost.h"

namespace clap_test {

inline ::testing::AssertionResult NoViolations(const ClapTestHost& host) {
  const std::vector<std::string> violations = host.Violations();
  if (violations.empty()) return ::testing::AssertionSuccess();
  ::testing::AssertionResult failure = ::testing::AssertionFailure();
  failure << violations.size() << " rule violation(s):";
  for (const std::string& v : violations) failure << "\n  " << v;
  return failure;
}

}  // namespace clap_test
