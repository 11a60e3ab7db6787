#include <gtest/gtest.h>

#include <cstring>

#include "IStateChunk.h"

TEST(IStateChunk, WritesLittleEndianAndReadsBack) {
  IStateChunk chunk;
  EXPECT_EQ(chunk.Data(), nullptr);
  EXPECT_EQ(chunk.AppendInt32(kChunkMagic), 4);
  EXPECT_EQ(chunk.AppendReal64(-2.5), 12);
  const uint8_t expected[4] = {0x74, 0x66, 0x66, 0x70};
  EXPECT_EQ(std::memcmp(chunk.Data(), expected, 4), 0);
  int32_t i = 0;
  double d = 0;
  EXPECT_EQ(chunk.ReadInt32(&i, 0), 4);
  EXPECT_EQ(i, kChunkMagic);
  EXPECT_EQ(chunk.ReadReal64(&d, 4), 12);
  EXPECT_EQ(d, -2.5);
}

TEST(IStateChunk, ReadsOutsideTheBufferFailWithoutTouchingTheOutput) {
  IStateChunk chunk;
  chunk.AppendInt32(7);
  chunk.AppendInt32(8);
  double d = 42;
  int32_t i = 42;
  EXPECT_EQ(chunk.ReadReal64(&d, 1), -1);
  EXPECT_EQ(chunk.ReadInt32(&i, 5), -1);
  EXPECT_EQ(chunk.ReadInt32(&i, -1), -1);
  EXPECT_EQ(chunk.ReadInt32(&i, 0x7FFFFFFE), -1) << "no overflow in the bounds check";
  EXPECT_EQ(d, 42);
  EXPECT_EQ(i, 42);
}

TEST(IStateChunk, ResizeZeroFillsAndReturnsOldSize) {
  IStateChunk chunk;
  chunk.AppendInt32(-1);
  EXPECT_EQ(chunk.Resize(8), 4);
  int32_t i = 1;
  EXPECT_EQ(chunk.ReadInt32(&i, 4), 8);
  EXPECT_EQ(i, 0);
  EXPECT_EQ(chunk.Resize(-3), 8);
  EXPECT_EQ(chunk.Size(), 0);
}
