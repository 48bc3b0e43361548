// Tiled and cascaded window frames: exact cover of the work area without
// overlap for any number of windows, the grid's shape, and the cascade's
// order and wrap.
#include "shell/window_arrange.h"

#include <gtest/gtest.h>

#include <string>

namespace yk {
namespace {

std::string Dump(const std::vector<TRect>& frames) {
  std::string s;
  for (const TRect& r : frames) {
    if (!s.empty()) s += " ";
    s += std::to_string(r.left) + "," + std::to_string(r.top) + "," + std::to_string(r.right) + "," +
         std::to_string(r.bottom);
  }
  return s;
}

TEST(WindowArrange, TilesCoverTheAreaExactlyWithoutOverlap) {
  const TRect area{10, 20, 1290, 1000};  // odd sizes leave remainders
  for (TTileMode mode : {TTileMode::AboveEachOther, TTileMode::SideBySide}) {
    for (int count = 1; count <= 300; count += count < 20 ? 1 : 37) {
      const std::vector<TRect> frames = TileFrames(area, count, mode);
      ASSERT_EQ(frames.size(), static_cast<std::size_t>(count));
      long long covered = 0;
      for (std::size_t i = 0; i < frames.size(); ++i) {
        const TRect& f = frames[i];
        EXPECT_EQ(f.Intersect(area), f) << count;
        covered += static_cast<long long>(f.Width()) * f.Height();
        for (std::size_t j = 0; j < i; ++j) EXPECT_TRUE(f.Intersect(frames[j]).Empty()) << count << " " << i << " " << j;
      }
      EXPECT_EQ(covered, static_cast<long long>(area.Width()) * area.Height()) << count;
    }
  }
}

TEST(WindowArrange, TheGridGrowsColumnsOrRowsWithTheSquareRoot) {
  const TRect area{0, 0, 800, 600};
  EXPECT_EQ(Dump(TileFrames(area, 1, TTileMode::AboveEachOther)), "0,0,800,600");
  EXPECT_EQ(Dump(TileFrames(area, 2, TTileMode::AboveEachOther)), "0,0,800,300 0,300,800,600");
  EXPECT_EQ(Dump(TileFrames(area, 2, TTileMode::SideBySide)), "0,0,400,600 400,0,800,600");
  EXPECT_EQ(Dump(TileFrames(area, 3, TTileMode::AboveEachOther)), "0,0,800,200 0,200,800,400 0,400,800,600");
  // Five: two columns, the second one holding the odd window.
  EXPECT_EQ(Dump(TileFrames(area, 5, TTileMode::AboveEachOther)),
            "0,0,400,300 0,300,400,600 400,0,800,200 400,200,800,400 400,400,800,600");
  EXPECT_EQ(Dump(TileFrames(area, 5, TTileMode::SideBySide)),
            "0,0,400,300 400,0,800,300 0,300,266,600 266,300,533,600 533,300,800,600");
  EXPECT_TRUE(TileFrames(area, 0, TTileMode::SideBySide).empty());
  // More windows than pixel rows: some frames are empty, none is inverted.
  for (const TRect& f : TileFrames({0, 0, 3, 3}, 20, TTileMode::AboveEachOther)) EXPECT_GE(f.Height(), 0);
}

TEST(WindowArrange, CascadeEndsWithTheFrontWindowAndWrapsInsideTheArea) {
  const TRect area{0, 0, 800, 600};
  // Three quarters of the area; the first of the list is last in the cascade.
  EXPECT_EQ(Dump(CascadeFrames(area, 3, 20)), "40,40,640,490 20,20,620,470 0,0,600,450");
  // 150 pixels spare vertically: eight positions, then the top left again.
  const std::vector<TRect> many = CascadeFrames(area, 10, 20);
  EXPECT_EQ(Dump({many[9], many[2], many[1], many[0]}), "0,0,600,450 140,140,740,590 0,0,600,450 20,20,620,470");
  for (const TRect& f : many) EXPECT_EQ(f.Intersect(area), f);
  EXPECT_EQ(Dump(CascadeFrames({0, 0, 0, 0}, 2, 0)), "0,0,1,1 0,0,1,1");  // never a frame of no size
}

}  // namespace
}  // namespace yk
