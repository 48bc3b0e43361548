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
      const auto lead = static_cast<unsigned char>(name[i]);
      out.push_back(name[i]);
      out.push_back(static_cast<char>(cp932::FoldTrail(lead, static_cast<unsigned char>(name[i + 1]))));
    } else {
      out.push_back(static_cast<char>(cp932::FoldSingle(static_cast<unsigned char>(name[i]))));
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
