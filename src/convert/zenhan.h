// Conversion of CP932 text between full-width (two-byte) and half-width
// (one-byte) forms of letters, digits, symbols and kana.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace yk {

// Full-width letters, digits, symbols, hiragana and katakana become their
// half-width forms; a voiced kana becomes a letter followed by ﾞ or ﾟ.
// Hiragana become half-width katakana (there is no half-width hiragana).
// Every other character, and a lone lead byte at the end, is copied as is.
std::string ZenkakuToHankaku(std::string_view source);

// Half-width characters become full-width ones; a half-width katakana letter
// followed by a voiced or semi-voiced mark it can take becomes one
// full-width letter (ｶﾞ→ガ, ﾊﾟ→パ, ｳﾞ→ヴ). Two-byte characters, control
// bytes and bytes without a full-width form are copied as they are. Half-width
// katakana never become hiragana, so the two functions are not inverses.
std::string HankakuToZenkaku(std::string_view source);

// One character of HankakuToZenkaku's output together with the source bytes
// it stands for, so that a caller can compare text in full-width form without
// converting the whole text.
struct TZenkakuChar {
  char Bytes[2] = {};
  std::uint8_t Size = 0;      // bytes used in Bytes: 1 or 2
  std::uint8_t Consumed = 0;  // source bytes: 1, or 2 for a two-byte character or a joined mark
  std::string_view View() const { return {Bytes, Size}; }
};

// The full-width form of the character that starts at s[i] (i < s.size()),
// exactly as HankakuToZenkaku converts it at that position.
TZenkakuChar ZenkakuCharAt(std::string_view s, std::size_t i) noexcept;

}  // namespace yk
