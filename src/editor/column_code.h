// Reading a row's column map by 0-based display column, as the editor's
// caret, selection and editing code do.
#pragma once

#include <cstddef>
#include <string_view>

#include <string>

#include "text/column_map.h"
#include "text/cp932.h"

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

// The column codes of one row for the caret's questions. A row with a tab
// needs its whole column map (a tab's width depends on everything before
// it); a row without one has a column per byte, so its codes are read from
// the bytes around the column asked for, and a caret move in a row of many
// megabytes costs no more than in a short one. The row's text must outlive
// this object and stay unchanged.
class TRowColumns {
 public:
  TRowColumns(std::string_view text, int tabWidth, int wrapByte, const TDelimiterSet& delimiters)
      : TRowColumns(text, text.find('\t') != std::string_view::npos, tabWidth, wrapByte, delimiters) {}
  // For a caller that knows whether the row holds a tab without reading it.
  TRowColumns(std::string_view text, bool hasTab, int tabWidth, int wrapByte, const TDelimiterSet& delimiters)
      : text_(text), delimiters_(delimiters), mapped_(hasTab) {
    if (mapped_) ColumnMapInto(text, tabWidth, wrapByte, delimiters, own_);
    map_ = own_;
  }
  // For a row whose column map the caller keeps (it must outlive this).
  TRowColumns(std::string_view text, std::string_view map, const TDelimiterSet& delimiters)
      : text_(text), delimiters_(delimiters), mapped_(true), map_(map) {}
  // The map may view own_: a copy would view the original's.
  TRowColumns(const TRowColumns&) = delete;
  TRowColumns& operator=(const TRowColumns&) = delete;

  int Width() const noexcept { return static_cast<int>(mapped_ ? map_.size() : text_.size()); }

  char CodeAt(int c) const noexcept {
    if (mapped_) return yk::CodeAt(map_, c);
    if (c < 0 || static_cast<std::size_t>(c) >= text_.size()) return kColEnd;
    const auto i = static_cast<std::size_t>(c);
    if (cp932::IsTrailAt(text_, i)) return kColTrail;
    if (cp932::CharLength(text_, i) == 2) return kColLead;
    return delimiters_[static_cast<unsigned char>(text_[i])] ? kColDelimiter : kColSingle;
  }

  // As the free CharStartColumn, for this row.
  int CharStartColumn(int c, bool inTab) const noexcept {
    if (CodeAt(c) == kColTrail) --c;
    if (!inTab)
      while (CodeAt(c) == kColTabFill) --c;
    return c;
  }

 private:
  std::string_view text_;
  const TDelimiterSet& delimiters_;
  bool mapped_;
  std::string own_;
  std::string_view map_;
};

}  // namespace yk
