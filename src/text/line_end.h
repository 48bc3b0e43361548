// Line ends: their kinds, the kinds a run of rows or an edit's text keeps,
// and finding them (CR or LF) fast in long texts.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string_view>
#include <vector>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace yk {

// The kind of a line end in a file. The rows work in CR LF terms whatever
// the kind; the row store keeps each line end's kind for saving.
enum class TLineEnd : std::uint8_t { CrLf, Lf, Cr };

inline std::string_view LineEndBytes(TLineEnd end) {
  switch (end) {
    case TLineEnd::Lf: return "\n";
    case TLineEnd::Cr: return "\r";
    case TLineEnd::CrLf: break;
  }
  return "\r\n";
}

// The line ends of a run of rows (or of a text) whose kind is not the
// document's: the index among the run's line ends, and the kind. A run of a
// uniform document has none, so it costs nothing to carry.
struct TOtherLineEnd {
  std::uint32_t index;
  TLineEnd kind;
  bool operator==(const TOtherLineEnd&) const = default;
};
using TOtherLineEnds = std::vector<TOtherLineEnd>;  // by index

// The kind of line end i of a run whose other kinds are others.
TLineEnd LineEndAt(const TOtherLineEnds& others, std::uint32_t i, TLineEnd base);

// CR LF, CR and LF in text, each one line end, as the rows split text.
std::uint32_t CountLineEnds(std::string_view text);

// The line ends of the rows an edit makes: rows before the replaced ones
// and after them keep theirs, and the n line ends of the new text take the
// kinds of the m line ends of the replaced rows matched from the last
// back; new ones beyond those (a line split by Enter or a paste) take the
// kind of the line they were put into, `inherited`. So editing inside a
// line keeps its line end, a line made by Enter gets the line end of the
// one it was split from, and joining two lines keeps the line end that
// still ends the joined one. old: the other kinds of the old rows' p + m +
// s line ends (p before the replaced rows, s after).
TOtherLineEnds ComposeLineEnds(const TOtherLineEnds& old, std::uint32_t p, std::uint32_t m, std::uint32_t s,
                               std::uint32_t n, TLineEnd inherited, TLineEnd base);

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
