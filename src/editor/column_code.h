// Reading a row's column map by 0-based display column, as the editor's
// caret, selection and editing code do.
#pragma once

#include <cstddef>
#include <string_view>

#include "text/column_map.h"

namespace yk {

// The code of display column c; kColEnd outside the map.
inline char CodeAt(std::string_view map, int c) noexcept {
  return c >= 0 && static_cast<std::size_t>(c) < map.size() ? map[static_cast<std::size_t>(c)] : kColEnd;
}

// Column c moved back to where its character starts: off a trail byte and,
// unless the caret may stand inside tabs (inTab), off a tab's further
// columns, so that no edit there splits a character or a tab.
inline int CharStartColumn(std::string_view map, int c, bool inTab) noexcept {
  if (CodeAt(map, c) == kColTrail) --c;
  if (!inTab)
    while (CodeAt(map, c) == kColTabFill) --c;
  return c;
}

}  // namespace yk
