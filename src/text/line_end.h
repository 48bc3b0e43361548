// Finding line ends (CR or LF) fast in long texts.
#pragma once

#include <cstddef>
#include <cstring>
#include <string_view>

namespace yk {

// Position of the first CR or LF at or after from, or npos. Scans a window
// at a time with memchr, so a line of many megabytes costs little and a
// text of only CRs (or only LFs) is not scanned to its end for every line.
inline std::size_t FindLineEnd(std::string_view s, std::size_t from) noexcept {
  constexpr std::size_t kWindow = 4096;
  for (std::size_t p = from; p < s.size(); p += kWindow) {
    const std::size_t n = std::min(kWindow, s.size() - p);
    const char* b = s.data() + p;
    const void* lf = std::memchr(b, '\n', n);
    const std::size_t limit = lf ? static_cast<std::size_t>(static_cast<const char*>(lf) - b) : n;
    if (const void* cr = std::memchr(b, '\r', limit)) return p + static_cast<std::size_t>(static_cast<const char*>(cr) - b);
    if (lf) return p + limit;
  }
  return std::string_view::npos;
}

}  // namespace yk
