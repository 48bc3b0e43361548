// Pixel geometry shared by the platform interfaces: points, sizes and
// rectangles in client coordinates (right and bottom exclusive).
#pragma once

#include <algorithm>

namespace yk {

struct TPoint {
  int x = 0;
  int y = 0;
  bool operator==(const TPoint&) const = default;
};

struct TSize {
  int width = 0;
  int height = 0;
  bool operator==(const TSize&) const = default;
};

struct TRect {
  int left = 0;
  int top = 0;
  int right = 0;
  int bottom = 0;

  int Width() const { return right - left; }
  int Height() const { return bottom - top; }
  bool Empty() const { return right <= left || bottom <= top; }
  bool Contains(TPoint p) const { return p.x >= left && p.x < right && p.y >= top && p.y < bottom; }
  // The common part of two rectangles; empty (possibly inverted) when they
  // do not overlap.
  TRect Intersect(const TRect& o) const {
    return {std::max(left, o.left), std::max(top, o.top), std::min(right, o.right), std::min(bottom, o.bottom)};
  }
  bool operator==(const TRect&) const = default;
};

}  // namespace yk
