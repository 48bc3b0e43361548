// Display columns of a logical line: tab widths, the column map, the column
// cursor used to place row breaks, and the small byte-string helpers that go
// with them.
#pragma once

#include <bitset>
#include <cstddef>
#include <string>
#include <string_view>
#include <type_traits>

namespace yk {

// Byte values that end a word; one bit per byte value.
using TDelimiterSet = std::bitset<256>;

// Control characters, space, ASCII punctuation except '_', 0x7F-0x80, the
// half-width ideographic punctuation 0xA0-0xA5 and 0xFD-0xFF.
const TDelimiterSet& DefaultWordDelimiters();

// Codes of the column map, one per display column.
inline constexpr char kColSingle = '1';     // single-byte character, not a delimiter
inline constexpr char kColDelimiter = '2';  // single-byte delimiter; a tab's own column
inline constexpr char kColTabFill = '3';    // further column of a tab
inline constexpr char kColLead = '4';       // lead byte of a double-byte character
inline constexpr char kColTrail = '5';      // trail byte of a double-byte character
inline constexpr char kColEnd = '0';        // the cursor's position past the last column

// Columns covered by a tab that starts at display column `column` (0-based,
// counted from the start of the logical line): tabWidth - column % tabWidth,
// and with wrapping on (wrapByte > 0) never past the next multiple of
// wrapByte. Always at least 1; a tabWidth below 1 counts as 1.
int TabColumns(int column, int tabWidth, int wrapByte) noexcept;

// Display width of a logical line with tabs expanded; no allocation. Pass
// wrapByte 0 when wrapping is off.
int LineWidth(std::string_view line, int tabWidth, int wrapByte) noexcept;

// One code per display column ('1'..'5', see above). A lead byte with no
// byte after it is a one-byte character ('1' or '2' by the delimiter set).
std::string ColumnMap(std::string_view line, int tabWidth, int wrapByte,
                      const TDelimiterSet& delimiters);
// The same into `out` (cleared first), so a caller can reuse one buffer.
void ColumnMapInto(std::string_view line, int tabWidth, int wrapByte,
                   const TDelimiterSet& delimiters, std::string& out);

// The display string of a line: each tab replaced by the spaces it covers.
// Its length is LineWidth of the line.
std::string ExpandTabs(std::string_view line, int tabWidth, int wrapByte);

// Byte index within the line of display column `column` (0-based) given the
// line's column map: a column inside a tab maps to the tab's byte. Capped to
// 0..(number of bytes the map describes).
int ColumnToByte(std::string_view columnMap, int column) noexcept;

// Number of bytes equal to c among the first n bytes of s (n limited to
// 0..s.size()).
int CountChar(std::string_view s, char c, int n) noexcept;

// The byte at 1-based position i of s, or NUL when i is outside s.
char CharAt(std::string_view s, int i) noexcept;

// True when ch is one whole character of `set`, compared at the character
// boundaries of `set` only (a trail byte of `set` never matches). An empty
// ch or set never matches.
bool IsInSet(std::string_view ch, std::string_view set) noexcept;

// Width of the leading blanks of s: 1 per space, 2 per full-width space
// (0x81 0x40), stopping at the first other character; -1 for an empty s.
int IndentWidth(std::string_view s) noexcept;

// A cursor over a line and its column map, one display column at a time.
// Columns and byte positions are 1-based; past the last column the code is
// '0' and the byte position is one past the last byte. The cursor views the
// line and the map: both must outlive it (temporaries are refused).
class TEditorAttributeArray {
  // Anything that views as a string_view except a temporary std::string.
  template <class T>
  static constexpr bool ViewOfLasting =
      std::is_convertible_v<T, std::string_view> && !std::is_same_v<T, std::string>;

 public:
  template <class L, class M>
    requires ViewOfLasting<L> && ViewOfLasting<M>
  TEditorAttributeArray(L&& line, M&& columnMap) noexcept
      : TEditorAttributeArray(std::string_view(line), std::string_view(columnMap), 0) {}

  // Number of columns.
  int Len() const noexcept { return static_cast<int>(map_.size()); }
  int Column() const noexcept { return column_; }
  char Code() const noexcept { return code_; }
  // The byte to which the current column belongs (a tab's filler columns
  // belong to the tab).
  int BytePos() const noexcept { return byte_pos_; }

  // One column forward; nothing at the end.
  void Next() noexcept {
    if (code_ == kColEnd) return;
    ++column_;
    code_ = CodeAt(column_);
    if (code_ != kColTabFill) ++byte_pos_;
  }
  // One column back; nothing at column 1.
  void Prev() noexcept {
    if (column_ <= 1) return;
    const char left = code_;
    --column_;
    code_ = CodeAt(column_);
    if (left != kColTabFill) --byte_pos_;
  }
  // Steps to column c, stopping at the end or at column 1.
  void MoveTo(int c) noexcept;

  // The character of the current column: empty at the end, both bytes of a
  // double-byte character at '4' or '5', the tab itself at '3'.
  std::string_view CurrentChar() const noexcept;
  // CurrentChar of the next column.
  std::string_view NextChar() const noexcept;

 private:
  TEditorAttributeArray(std::string_view line, std::string_view columnMap, int) noexcept;
  char CodeAt(int column) const noexcept {
    return column >= 1 && column <= Len() ? map_[static_cast<std::size_t>(column - 1)] : kColEnd;
  }
  std::string_view CharFor(char code, int bytePos) const noexcept;

  std::string_view line_;
  std::string_view map_;
  char code_ = kColEnd;
  int column_ = 1;
  int byte_pos_ = 1;
};

}  // namespace yk
