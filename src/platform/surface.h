// A drawing surface with fixed-width character cells: what painting an
// editor needs from the windowing system, and nothing more.
#pragma once

#include <string_view>

#include "platform/geometry.h"
#include "text/graphics_types.h"

namespace yk {

class TSurface {
 public:
  virtual ~TSurface() = default;

  // Fills r with a solid colour.
  virtual void FillRect(const TRect& r, TColor color) = 0;
  // Draws CP932 bytes from (x, y), every byte in a cell cellWidth pixels
  // wide (a double-byte character takes two cells), clipped to clip. The
  // background is filled first unless bkColor is clNone.
  virtual void TextRun(int x, int y, int cellWidth, std::string_view bytes, TColor color, TColor bkColor,
                       TFontStyles style, const TRect& clip) = 0;
  // A one-pixel solid line from (x1, y1) to (x2, y2), end point excluded.
  virtual void Line(int x1, int y1, int x2, int y2, TColor color) = 0;
};

}  // namespace yk
