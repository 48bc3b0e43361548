// Tab widths, column maps, the column cursor and the byte-string helpers.
#include "text/column_map.h"

#include <algorithm>
#include <climits>
#include <cstdint>
#include <cstring>

#include "text/cp932.h"

namespace yk {

namespace {

TDelimiterSet MakeDefaultDelimiters() {
  TDelimiterSet set;
  auto add = [&set](int from, int to) {
    for (int b = from; b <= to; ++b) set.set(static_cast<std::size_t>(b));
  };
  add(0x00, 0x2F);
  add(0x3A, 0x40);
  add(0x5B, 0x5E);
  add(0x60, 0x60);
  add(0x7B, 0x80);
  add(0xA0, 0xA5);
  add(0xFD, 0xFF);
  return set;
}

int TabColumnsAt(std::int64_t column, int tabWidth, int wrapByte) noexcept {
  if (tabWidth < 1) tabWidth = 1;
  if (column < 0) column = 0;
  std::int64_t n = tabWidth - column % tabWidth;
  if (wrapByte > 0) n = std::min<std::int64_t>(n, wrapByte - column % wrapByte);
  return static_cast<int>(n);
}

// Walks the characters of a line, calling tab(columns) for each tab and
// other(byte, length) for every other character, with the display column
// tracked in 64 bits so that no line length can overflow it.
template <class OnTab, class OnOther>
void ForEachColumnRun(std::string_view line, int tabWidth, int wrapByte, OnTab tab, OnOther other) {
  std::int64_t column = 0;
  std::size_t i = 0;
  while (i < line.size()) {
    if (line[i] == '\t') {
      const int n = TabColumnsAt(column, tabWidth, wrapByte);
      tab(n);
      column += n;
      ++i;
      continue;
    }
    const std::size_t len = cp932::CharLength(line, i);
    other(static_cast<unsigned char>(line[i]), len);
    column += static_cast<std::int64_t>(len);
    i += len;
  }
}

}  // namespace

const TDelimiterSet& DefaultWordDelimiters() {
  static const TDelimiterSet set = MakeDefaultDelimiters();
  return set;
}

int TabColumns(int column, int tabWidth, int wrapByte) noexcept {
  return TabColumnsAt(column, tabWidth, wrapByte);
}

int LineWidth(std::string_view line, int tabWidth, int wrapByte) noexcept {
  // Without a tab every byte is one column (a double-byte character is two
  // bytes and two columns), so most lines cost one memchr.
  const void* tab = std::memchr(line.data(), '\t', line.size());
  if (tab == nullptr) return static_cast<int>(std::min<std::size_t>(line.size(), INT_MAX));
  std::int64_t width = 0;
  ForEachColumnRun(
      line, tabWidth, wrapByte, [&width](int n) { width += n; },
      [&width](unsigned char, std::size_t len) { width += static_cast<std::int64_t>(len); });
  return static_cast<int>(std::min<std::int64_t>(width, INT_MAX));
}

void ColumnMapInto(std::string_view line, int tabWidth, int wrapByte,
                   const TDelimiterSet& delimiters, std::string& out) {
  out.clear();
  out.reserve(line.size());
  ForEachColumnRun(
      line, tabWidth, wrapByte,
      [&out](int n) {
        out.push_back(kColDelimiter);
        out.append(static_cast<std::size_t>(n - 1), kColTabFill);
      },
      [&out, &delimiters](unsigned char b, std::size_t len) {
        if (len == 2) {
          out.push_back(kColLead);
          out.push_back(kColTrail);
        } else {
          out.push_back(delimiters.test(b) ? kColDelimiter : kColSingle);
        }
      });
}

std::string ColumnMap(std::string_view line, int tabWidth, int wrapByte,
                      const TDelimiterSet& delimiters) {
  std::string out;
  ColumnMapInto(line, tabWidth, wrapByte, delimiters, out);
  return out;
}

std::string ExpandTabs(std::string_view line, int tabWidth, int wrapByte) {
  std::string out;
  out.reserve(line.size());
  std::size_t i = 0;
  ForEachColumnRun(
      line, tabWidth, wrapByte,
      [&out, &i](int n) {
        out.append(static_cast<std::size_t>(n), ' ');
        ++i;
      },
      [&out, &i, line](unsigned char, std::size_t len) {
        out.append(line.substr(i, len));
        i += len;
      });
  return out;
}

int ColumnToByte(std::string_view columnMap, int column) noexcept {
  if (column < 0) return 0;
  const int bytes = static_cast<int>(columnMap.size()) -
                    CountChar(columnMap, kColTabFill, static_cast<int>(columnMap.size()));
  return std::clamp(column - CountChar(columnMap, kColTabFill, column + 1), 0, bytes);
}

int CountChar(std::string_view s, char c, int n) noexcept {
  const std::size_t limit = n <= 0 ? 0 : std::min<std::size_t>(static_cast<std::size_t>(n), s.size());
  return static_cast<int>(std::count(s.begin(), s.begin() + static_cast<std::ptrdiff_t>(limit), c));
}

char CharAt(std::string_view s, int i) noexcept {
  if (i < 1 || static_cast<std::size_t>(i) > s.size()) return '\0';
  return s[static_cast<std::size_t>(i - 1)];
}

bool IsInSet(std::string_view ch, std::string_view set) noexcept {
  if (ch.empty()) return false;
  for (std::size_t p = 0; p < set.size(); p = cp932::NextChar(set, p)) {
    const std::size_t len = cp932::CharLength(set, p);
    if (len == ch.size() && set.compare(p, len, ch) == 0) return true;
  }
  return false;
}

int IndentWidth(std::string_view s) noexcept {
  if (s.empty()) return -1;
  int width = 0;
  std::size_t i = 0;
  while (i < s.size()) {
    if (s[i] == ' ') {
      width += 1;
      i += 1;
    } else if (s.compare(i, 2, "\x81\x40") == 0) {  // full-width space
      width += 2;
      i += 2;
    } else {
      break;
    }
  }
  return width;
}

TEditorAttributeArray::TEditorAttributeArray(std::string_view line, std::string_view columnMap, int) noexcept
    : line_(line), map_(columnMap), code_(CodeAt(1)) {}

void TEditorAttributeArray::MoveTo(int c) noexcept {
  while (column_ < c && code_ != kColEnd) Next();
  while (column_ > c && column_ > 1) Prev();
}

std::string_view TEditorAttributeArray::CharFor(char code, int bytePos) const noexcept {
  std::size_t start = static_cast<std::size_t>(bytePos - 1);
  std::size_t len = 1;
  if (code == kColEnd) return {};
  if (code == kColLead) len = 2;
  if (code == kColTrail) {
    if (start == 0) return {};
    --start;
    len = 2;
  }
  // A map that does not describe this line must not lead outside it.
  if (bytePos < 1 || start >= line_.size()) return {};
  return line_.substr(start, len);
}

std::string_view TEditorAttributeArray::CurrentChar() const noexcept { return CharFor(code_, byte_pos_); }

std::string_view TEditorAttributeArray::NextChar() const noexcept {
  if (code_ == kColEnd) return {};
  const char next = CodeAt(column_ + 1);
  return CharFor(next, next == kColTabFill ? byte_pos_ : byte_pos_ + 1);
}

}  // namespace yk
