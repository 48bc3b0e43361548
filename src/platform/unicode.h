// UTF-8 read and written one code point at a time, strictly: the codecs at
// the edges share these so that they agree on what is malformed.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace yk::unicode {

struct TCodePoint {
  char32_t c = 0;
  std::size_t length = 0;  // 0: malformed
};

// The code point of the UTF-8 sequence at s[i] (i < s.size()). A stray or
// truncated byte, an overlong form (which could carry a "/" or a NUL past a
// check made on the bytes), a surrogate or a value past U+10FFFF is
// malformed.
inline TCodePoint Utf8At(std::string_view s, std::size_t i) noexcept {
  const unsigned char b = static_cast<unsigned char>(s[i]);
  if (b < 0x80) return {b, 1};
  const std::size_t extra = (b & 0xE0) == 0xC0 ? 1 : (b & 0xF0) == 0xE0 ? 2 : (b & 0xF8) == 0xF0 ? 3 : 0;
  if (extra == 0 || extra >= s.size() - i) return {};
  char32_t c = b & (0x3F >> extra);
  for (std::size_t k = 1; k <= extra; ++k) {
    const unsigned char t = static_cast<unsigned char>(s[i + k]);
    if ((t & 0xC0) != 0x80) return {};
    c = (c << 6) | (t & 0x3F);
  }
  constexpr char32_t kLeast[] = {0, 0x80, 0x800, 0x10000};
  if (c < kLeast[extra] || c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF)) return {};
  return {c, extra + 1};
}

inline void AppendUtf8(std::string& out, char32_t c) {
  if (c < 0x80) {
    out += static_cast<char>(c);
  } else if (c < 0x800) {
    out += static_cast<char>(0xC0 | (c >> 6));
    out += static_cast<char>(0x80 | (c & 0x3F));
  } else if (c < 0x10000) {
    out += static_cast<char>(0xE0 | (c >> 12));
    out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (c & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | (c >> 18));
    out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
    out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (c & 0x3F));
  }
}

}  // namespace yk::unicode
