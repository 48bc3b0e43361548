// Byte rules of code page 932 (Shift-JIS): the one place that knows which
// bytes start a two-byte character. Every module steps through text with
// these helpers instead of testing byte ranges itself.
#pragma once

#include <cstddef>
#include <string_view>

namespace yk::cp932 {

// 0x81-0x9F and 0xE0-0xFC start a two-byte character.
constexpr bool IsLeadByte(unsigned char b) noexcept {
  return (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC);
}
constexpr bool IsLeadByte(char c) noexcept { return IsLeadByte(static_cast<unsigned char>(c)); }

// The bytes that may follow a lead byte: 0x40-0x7E and 0x80-0xFC.
constexpr bool IsTrailByte(unsigned char b) noexcept { return b >= 0x40 && b <= 0xFC && b != 0x7F; }

// Half-width katakana and its punctuation, 0xA1-0xDF: one byte, one column.
constexpr bool IsHalfWidthKana(unsigned char b) noexcept { return b >= 0xA1 && b <= 0xDF; }

// The case folding of every comparison that ignores case (search, reserved
// words, settings names), so that they agree on which words are equal: a-z
// fold onto A-Z, and the full-width ａ-ｚ (0x82 0x81-0x9A) onto Ａ-Ｚ
// (0x82 0x60-0x79). FoldSingle is for a byte that is a character of its
// own, FoldTrail for the trail byte of a two-byte character, so that a
// trail byte that looks like a letter (ッ is 0x83 0x62) never folds.
constexpr unsigned char FoldSingle(unsigned char b) noexcept {
  return b >= 'a' && b <= 'z' ? static_cast<unsigned char>(b - 0x20) : b;
}
constexpr unsigned char FoldTrail(unsigned char lead, unsigned char trail) noexcept {
  return lead == 0x82 && trail >= 0x81 && trail <= 0x9A ? static_cast<unsigned char>(trail - 0x21) : trail;
}

// Length in bytes of the character that starts at i. A lead byte with no
// byte after it (end of a row, a file or a text) is a one-byte character,
// so no caller ever steps past the end.
constexpr std::size_t CharLength(std::string_view s, std::size_t i) noexcept {
  return (i + 1 < s.size() && IsLeadByte(s[i])) ? 2 : 1;
}

// Start of the character after the one at i (i must be a character start).
constexpr std::size_t NextChar(std::string_view s, std::size_t i) noexcept {
  return i < s.size() ? i + CharLength(s, i) : s.size();
}

// Number of lead-byte values directly before position i, looking no
// further back than `from` (a known character start).
constexpr std::size_t LeadRunBefore(std::string_view s, std::size_t i, std::size_t from = 0) noexcept {
  std::size_t run = 0;
  while (i - run > from && IsLeadByte(s[i - run - 1])) ++run;
  return run;
}

// Start of the character that holds byte i (i < s.size()). The byte before
// a run of lead-byte values cannot lead a character, so the run starts on a
// boundary and its bytes pair up: its parity tells whether byte i is a
// trail byte. Costs only the length of that run, never a walk from the start.
constexpr std::size_t CharStart(std::string_view s, std::size_t i, std::size_t from = 0) noexcept {
  return LeadRunBefore(s, i, from) % 2 == 1 ? i - 1 : i;
}

// True when byte i is the trail byte of a two-byte character.
constexpr bool IsTrailAt(std::string_view s, std::size_t i) noexcept {
  return i < s.size() && LeadRunBefore(s, i) % 2 == 1;
}

// Start of the character before the one at i (i a character start, i > 0).
// Walks back over the run of lead-byte values, whose parity says where the
// character boundaries are, so it costs only the length of that run.
constexpr std::size_t PrevChar(std::string_view s, std::size_t i) noexcept {
  if (i == 0) return 0;
  if (i > s.size()) i = s.size();
  std::size_t p = i - 1;
  // Count the lead-byte values directly before position i - 1.
  std::size_t run = 0;
  while (p - run > 0 && IsLeadByte(s[p - run - 1])) ++run;
  // Bytes p-run .. p-1 are all lead-byte values and p-run is a boundary:
  // pairs of them form characters; an odd count means s[p-1] leads s[p].
  return (run % 2 == 1) ? p - 1 : p;
}

}  // namespace yk::cp932
