// Name folding and the strict decimal parse used by the settings store.
#include "props/names.h"

#include <charconv>
#include <cstdint>

#include "text/cp932.h"

namespace yk {

std::string FoldName(std::string_view name) {
  std::string out;
  out.reserve(name.size());
  for (std::size_t i = 0; i < name.size();) {
    const std::size_t len = cp932::CharLength(name, i);
    if (len == 2) {
      unsigned char lead = static_cast<unsigned char>(name[i]);
      unsigned char trail = static_cast<unsigned char>(name[i + 1]);
      // Full-width small letters 0x8281-0x829A fold onto capitals 0x8260-0x8279.
      if (lead == 0x82 && trail >= 0x81 && trail <= 0x9A) trail = static_cast<unsigned char>(trail - 0x21);
      out.push_back(static_cast<char>(lead));
      out.push_back(static_cast<char>(trail));
    } else {
      char c = name[i];
      out.push_back(c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c);
    }
    i += len;
  }
  return out;
}

bool SameName(std::string_view a, std::string_view b) {
  return a.size() == b.size() && FoldName(a) == FoldName(b);
}

bool ParseInt32(std::string_view text, int& out) noexcept {
  const bool plus = !text.empty() && text.front() == '+';
  if (plus) text.remove_prefix(1);
  if (text.empty() || (plus && text.front() == '-')) return false;
  long long v = 0;
  const char* last = text.data() + text.size();
  auto [p, ec] = std::from_chars(text.data(), last, v);
  if (ec != std::errc() || p != last) return false;
  if (v < INT32_MIN || v > INT32_MAX) return false;
  out = static_cast<int>(v);
  return true;
}

}  // namespace yk
