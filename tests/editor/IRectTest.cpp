// The rectangle rules that the repaint area depends on.
#include <gtest/gtest.h>

#include "IRect.h"

TEST(IRect, OnlyTheAllZeroRectangleIsEmpty) {
  EXPECT_TRUE(IRect().Empty());
  EXPECT_FALSE(IRect(5, 5, 5, 5).Empty());
  EXPECT_FALSE(IRect(0, 0, 0, 1).Empty());
}

TEST(IRect, UnionWithEmptyGivesTheOtherAndOtherwiseTheBoundingBox) {
  const IRect a(10, 20, 30, 40), empty;
  EXPECT_EQ(empty.Union(&a), a);
  EXPECT_EQ(a.Union(&empty), a);
  const IRect far(300, 500, 320, 510);
  EXPECT_EQ(a.Union(&far), IRect(10, 20, 320, 510));
  // A zero-sized rectangle away from the origin still counts.
  const IRect point(5, 5, 5, 5);
  EXPECT_EQ(point.Union(&a), IRect(5, 5, 30, 40));
}

TEST(IRect, TouchingRightOrBottomEdgeIntersectsButNotTheLeftOrTop) {
  const IRect a(0, 0, 10, 10), right(10, 0, 20, 10), below(0, 10, 10, 20);
  EXPECT_TRUE(a.Intersects(&right));
  EXPECT_FALSE(right.Intersects(&a));
  EXPECT_TRUE(a.Intersects(&below));
  EXPECT_FALSE(below.Intersects(&a));
  const IRect apart(11, 0, 20, 10), empty;
  EXPECT_FALSE(a.Intersects(&apart));
  EXPECT_FALSE(a.Intersects(&empty));
  EXPECT_FALSE(empty.Intersects(&a));
}

TEST(IRect, IntersectionIsTheOverlapOrEmpty) {
  const IRect a(0, 0, 100, 100), b(50, 60, 150, 160);
  EXPECT_EQ(a.Intersect(&b), IRect(50, 60, 100, 100));
  const IRect apart(200, 200, 300, 300), empty, edge(100, 0, 120, 10);
  EXPECT_TRUE(a.Intersect(&apart).Empty());
  EXPECT_TRUE(a.Intersect(&empty).Empty());
  // Touching edges give a rectangle of width 0 that is not the empty one.
  const IRect touching = a.Intersect(&edge);
  EXPECT_FALSE(touching.Empty());
  EXPECT_EQ(touching.W(), 0);
}
