#include <gtest/gtest.h>

#include "Assert.h"

TEST(AssertDeathTest, FailedAssertionStopsWithExpressionAndFile) {
  int mNumEmitted = 4;
  EXPECT_DEATH(CC_ASSERT(mNumEmitted < 4), "mNumEmitted < 4.*AssertTest\\.cpp");
}
