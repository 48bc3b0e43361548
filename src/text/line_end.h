// Finding line ends (CR or LF) fast in long texts.
#pragma once

#include <cstddef>
#include <cstring>
#include <string_view>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

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

// The first byte in [p, end) that is at most CR (a line end, a tab or
// another control byte), or end. Prose has almost none, so sixteen bytes
// are tested at a time where the processor allows.
inline const char* FindControl(const char* p, const char* end) noexcept {
#if defined(__SSE2__)
  const __m128i cr = _mm_set1_epi8('\r');
  const __m128i zero = _mm_setzero_si128();
  while (end - p >= 16) {
    const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
    // Bytes up to CR saturate to zero when CR is subtracted.
    const int hits = _mm_movemask_epi8(_mm_cmpeq_epi8(_mm_subs_epu8(v, cr), zero));
    if (hits) return p + __builtin_ctz(static_cast<unsigned>(hits));
    p += 16;
  }
#endif
  while (p < end && static_cast<unsigned char>(*p) > '\r') ++p;
  return p;
}

}  // namespace yk
