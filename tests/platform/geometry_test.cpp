// Rectangle arithmetic the painting code clips with.
#include <gtest/gtest.h>

#include "platform/geometry.h"

namespace yk {
namespace {

TEST(Geometry, IntersectAndContain) {
  struct Case {
    TRect a, b, common;
    bool empty;
  };
  const Case cases[] = {
      {{0, 0, 10, 10}, {5, 5, 20, 20}, {5, 5, 10, 10}, false},
      {{0, 0, 10, 10}, {10, 0, 20, 10}, {10, 0, 10, 10}, true},  // touching edges share nothing
      {{0, 0, 10, 10}, {20, 20, 30, 30}, {20, 20, 10, 10}, true},
      {{2, 3, 4, 5}, {0, 0, 100, 100}, {2, 3, 4, 5}, false},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(c.a.Intersect(c.b), c.common);
    EXPECT_EQ(c.a.Intersect(c.b).Empty(), c.empty);
  }
  const TRect r{0, 0, 10, 10};
  EXPECT_TRUE(r.Contains({0, 0}));
  EXPECT_TRUE(r.Contains({9, 9}));
  EXPECT_FALSE(r.Contains({10, 5}));  // right and bottom are exclusive
  EXPECT_FALSE(r.Contains({5, 10}));
}

}  // namespace
}  // namespace yk
