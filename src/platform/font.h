// The editor font as the core sees it, and the metrics the windowing system
// reports for it.
#pragma once

#include <cstdint>
#include <string>

#include "text/graphics_types.h"

namespace yk {

struct TFontSpec {
  std::string name = "FixedSys";
  int height = -16;  // negative: character height in pixels; positive: cell height
  TColor color = clWindowText;
  TFontStyles style;
  std::uint8_t charset = 1;  // DEFAULT_CHARSET, the system's default
  bool operator==(const TFontSpec&) const = default;
};

// Text metrics of a font, in pixels.
struct TFontMetrics {
  int aveCharWidth = 8;
  int height = 16;
  int externalLeading = 0;
  bool operator==(const TFontMetrics&) const = default;
};

}  // namespace yk
