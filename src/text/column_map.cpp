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

// Calls onTab(byteIndex, columns) for each tab of the line, in order, and
// returns the line's width. Every other byte is one column (a double-byte
// character is two bytes and two columns), so a tab's column is its byte
// index plus the extra columns of the tabs before it, and a line costs one
// memchr per tab. A 0x09 byte that trails a lead byte is no tab.
template <class OnTab>
std::int64_t ForEachTab(std::string_view line, int tabWidth, int wrapByte, OnTab onTab) {
  std::int64_t extra = 0;
  for (std::size_t from = 0; from < line.size();) {
    const void* hit = std::memchr(line.data() + from, '\t', line.size() - from);
    if (hit == nullptr) break;
    const auto t = static_cast<std::size_t>(static_cast<const char*>(hit) - line.data());
    from = t + 1;
    if (t > 0 && cp932::NextChar(line, cp932::PrevChar(line, t)) != t) continue;
    const int n = TabColumnsAt(static_cast<std::int64_t>(t) + extra, tabWidth, wrapByte);
    onTab(t, n);
    extra += n - 1;
  }
  return static_cast<std::int64_t>(line.size()) + extra;
}

// The code of each byte value when it starts a character: '4' for a lead
// byte, else '1' or '2' by the delimiter set. Kept per thread for the last
// set seen, since an editor asks with the same set line after line.
const char* CodeTable(const TDelimiterSet& delimiters) {
  thread_local TDelimiterSet cached;
  thread_local char codes[256];
  thread_local bool filled = false;
  if (!filled || cached != delimiters) {
    for (int b = 0; b < 256; ++b) {
      const auto u = static_cast<unsigned char>(b);
      codes[b] = cp932::IsLeadByte(u) ? kColLead : delimiters[u] ? kColDelimiter : kColSingle;
    }
    cached = delimiters;
    filled = true;
  }
  return codes;
}

// Writes the codes of the bytes [from, to) to out. The bytes hold no tab and
// `to` is a character start, so out receives exactly to - from codes; a lead
// byte at the end of the line is a character of its own.
void WriteCodes(std::string_view line, std::size_t from, std::size_t to, const char* codes,
                const TDelimiterSet& delimiters, char*& out) {
  for (std::size_t i = from; i < to;) {
    const auto b = static_cast<unsigned char>(line[i]);
    const char code = codes[b];
    if (code != kColLead) {
      *out++ = code;
      ++i;
    } else if (i + 1 < line.size()) {
      *out++ = kColLead;
      *out++ = kColTrail;
      i += 2;
    } else {
      *out++ = delimiters[b] ? kColDelimiter : kColSingle;
      ++i;
    }
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
  const std::int64_t width = ForEachTab(line, tabWidth, wrapByte, [](std::size_t, int) {});
  return static_cast<int>(std::min<std::int64_t>(width, INT_MAX));
}

void ColumnMapInto(std::string_view line, int tabWidth, int wrapByte,
                   const TDelimiterSet& delimiters, std::string& out) {
  const std::int64_t width = ForEachTab(line, tabWidth, wrapByte, [](std::size_t, int) {});
  out.resize(static_cast<std::size_t>(width));
  char* p = out.data();
  const char* codes = CodeTable(delimiters);
  std::size_t i = 0;
  ForEachTab(line, tabWidth, wrapByte, [&](std::size_t t, int n) {
    WriteCodes(line, i, t, codes, delimiters, p);
    *p++ = kColDelimiter;
    p = std::fill_n(p, n - 1, kColTabFill);
    i = t + 1;
  });
  WriteCodes(line, i, line.size(), codes, delimiters, p);
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
  ForEachTab(line, tabWidth, wrapByte, [&](std::size_t t, int n) {
    out.append(line.substr(i, t - i));
    out.append(static_cast<std::size_t>(n), ' ');
    i = t + 1;
  });
  out.append(line.substr(i));
  return out;
}

int ColumnToByte(std::string_view columnMap, int column) noexcept {
  if (column < 0) return 0;
  const int columns = static_cast<int>(columnMap.size());
  const int bytes = columns - CountChar(columnMap, kColTabFill, columns);
  if (column >= columns) return bytes;  // also keeps column + 1 from overflowing
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

// The same as repeated Next or Prev: the byte position moves with every
// column passed except the filler columns of tabs, counted in one sweep.
void TEditorAttributeArray::MoveTo(int c) noexcept {
  const auto fillsIn = [this](int from, int to) {  // '3's among columns from..to (1-based)
    to = std::min(to, Len());
    if (from > to) return 0;
    return static_cast<int>(std::count(map_.begin() + (from - 1), map_.begin() + to, kColTabFill));
  };
  if (c > column_) {
    const int target = std::min(c, Len() + 1);
    byte_pos_ += (target - column_) - fillsIn(column_ + 1, target);
    column_ = target;
  } else if (c < column_) {
    const int target = std::max(c, 1);
    byte_pos_ -= (column_ - target) - fillsIn(target + 1, column_);
    column_ = target;
  } else {
    return;
  }
  code_ = CodeAt(column_);
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
