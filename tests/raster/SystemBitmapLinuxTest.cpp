// The Linux drawing context follows the system bitmap's pixels, so the text renderer draws where blits do.
#include "PixelContext.h"
#include "SystemBitmap.h"

#include <gtest/gtest.h>

TEST(SystemBitmap, DrawingContextDescribesThePixelsThroughResizes) {
  SystemBitmap surface(410, 680);
  auto* context = static_cast<PixelContext*>(surface.DeviceContext());
  ASSERT_NE(context, nullptr);
  EXPECT_EQ(context->mBits, surface.Bits());
  EXPECT_EQ(context->mWidth, 410);
  EXPECT_EQ(context->mHeight, 680);
  EXPECT_EQ(context->mRowSpan, 412);

  surface.Resize(20, 10);
  EXPECT_EQ(surface.DeviceContext(), context);
  EXPECT_EQ(context->mWidth, 20);
  EXPECT_EQ(context->mHeight, 10);
  EXPECT_EQ(context->mRowSpan, 412);

  surface.Resize(0, 0);
  EXPECT_EQ(context->mBits, nullptr);
  EXPECT_EQ(context->mWidth, 0);
}
