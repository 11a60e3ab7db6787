// Test names made from the cases' own descriptions.
#pragma once

#include <gtest/gtest.h>

#include <cctype>
#include <string>

template <typename Case>
std::string CaseName(const testing::TestParamInfo<Case>& param) {
  std::string name;
  for (const char* p = param.param.mName; *p; ++p) name += std::isalnum(static_cast<unsigned char>(*p)) ? *p : '_';
  return name;
}
