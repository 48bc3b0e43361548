// Tiling and cascading window frames over a work area.
#include "shell/window_arrange.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

namespace yk {

namespace {

// The edge of part index of parts equal parts of [from, from + length):
// consecutive parts share their edges and the last ends at the end.
int Edge(int from, int length, int index, int parts) {
  return from + static_cast<int>(std::int64_t{length} * index / parts);
}

}  // namespace

std::vector<TRect> TileFrames(const TRect& area, int count, TTileMode mode) {
  std::vector<TRect> frames;
  if (count <= 0) return frames;
  frames.reserve(static_cast<std::size_t>(count));
  const int lanes = std::max(1, static_cast<int>(std::sqrt(static_cast<double>(count))));
  const int base = count / lanes;
  const int extra = count % lanes;  // the last `extra` lanes hold one more
  const bool columns = mode == TTileMode::AboveEachOther;
  const int across = columns ? area.Width() : area.Height();
  const int along = columns ? area.Height() : area.Width();
  const int acrossFrom = columns ? area.left : area.top;
  const int alongFrom = columns ? area.top : area.left;
  for (int lane = 0; lane < lanes; ++lane) {
    const int inLane = base + (lane >= lanes - extra ? 1 : 0);
    const int a0 = Edge(acrossFrom, across, lane, lanes);
    const int a1 = Edge(acrossFrom, across, lane + 1, lanes);
    for (int k = 0; k < inLane; ++k) {
      const int b0 = Edge(alongFrom, along, k, inLane);
      const int b1 = Edge(alongFrom, along, k + 1, inLane);
      frames.push_back(columns ? TRect{a0, b0, a1, b1} : TRect{b0, a0, b1, a1});
    }
  }
  return frames;
}

std::vector<TRect> CascadeFrames(const TRect& area, int count, int step) {
  std::vector<TRect> frames;
  if (count <= 0) return frames;
  step = std::max(1, step);
  const int width = std::max(1, area.Width() * 3 / 4);
  const int height = std::max(1, area.Height() * 3 / 4);
  // How many positions fit before a frame would leave the area.
  const int slots = 1 + std::max(0, std::min(area.Width() - width, area.Height() - height) / step);
  frames.reserve(static_cast<std::size_t>(count));
  for (int i = 0; i < count; ++i) {
    const int position = (count - 1 - i) % slots;
    const int left = area.left + position * step;
    const int top = area.top + position * step;
    frames.push_back({left, top, left + width, top + height});
  }
  return frames;
}

namespace {

// The overlap in square pixels (0 when none), wide enough for any frame.
long long Overlap(const TRect& a, const TRect& b) {
  const TRect common = a.Intersect(b);
  if (common.Empty()) return 0;
  return static_cast<long long>(common.Width()) * common.Height();
}

// A span of length that starts at from, kept inside [low, high).
int Inside(int from, int length, int low, int high) { return std::clamp(from, low, std::max(low, high - length)); }

}  // namespace

TRect FitFrame(const TRect& frame, const std::vector<TRect>& areas, TSize minimum) {
  if (areas.empty()) return frame;
  const TRect* area = &areas.front();
  long long best = 0;
  for (const TRect& a : areas) {
    const long long overlap = Overlap(frame, a);
    if (overlap > best) best = overlap, area = &a;
  }
  const int width = std::clamp(frame.Width(), std::min(minimum.width, area->Width()), area->Width());
  const int height = std::clamp(frame.Height(), std::min(minimum.height, area->Height()), area->Height());
  const int left = Inside(frame.left, width, area->left, area->right);
  const int top = Inside(frame.top, height, area->top, area->bottom);
  return {left, top, left + width, top + height};
}

}  // namespace yk
