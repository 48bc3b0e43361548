// Case conversion tables for the letters CP932 has in both cases.
#include "convert/letter_case.h"

#include "text/cp932.h"

namespace yk {

namespace {

// A range of two-byte capitals (lead byte, first and last trail byte) and
// where its small letters start.
struct TLetterRange {
  unsigned char lead;
  unsigned char firstUpper;
  unsigned char lastUpper;
  unsigned char firstLower;
};

// Ａ-Ｚ/ａ-ｚ, Α-Ω/α-ω, А-Я/а-я. In the Cyrillic small letters the
// trail byte 0x7F, which no character has, is passed over.
constexpr TLetterRange kRanges[] = {
    {0x82, 0x60, 0x79, 0x81},
    {0x83, 0x9F, 0xB6, 0xBF},
    {0x84, 0x40, 0x60, 0x70},
};

unsigned char SmallTrail(const TLetterRange& r, unsigned char upper) {
  const int t = r.firstLower + (upper - r.firstUpper);
  return static_cast<unsigned char>(t >= 0x7F && r.firstLower < 0x7F ? t + 1 : t);
}

// The capital's trail byte for a small letter's, or 0 when it is none.
unsigned char CapitalTrail(const TLetterRange& r, unsigned char lower) {
  for (int u = r.firstUpper; u <= r.lastUpper; ++u)
    if (SmallTrail(r, static_cast<unsigned char>(u)) == lower) return static_cast<unsigned char>(u);
  return 0;
}

// Trail-byte maps per lead byte: index 0 for 0x82, 1 for 0x83, 2 for 0x84.
struct TTrailMaps {
  unsigned char upper[3][256];
  unsigned char lower[3][256];
};

TTrailMaps MakeTrailMaps() {
  TTrailMaps m{};
  for (int k = 0; k < 3; ++k) {
    for (int t = 0; t < 256; ++t) m.upper[k][t] = m.lower[k][t] = static_cast<unsigned char>(t);
    const TLetterRange& r = kRanges[k];
    for (int u = r.firstUpper; u <= r.lastUpper; ++u) {
      const unsigned char small = SmallTrail(r, static_cast<unsigned char>(u));
      m.lower[k][u] = small;
      if (CapitalTrail(r, small) == u) m.upper[k][small] = static_cast<unsigned char>(u);
    }
  }
  return m;
}

const TTrailMaps& TrailMaps() {
  static const TTrailMaps maps = MakeTrailMaps();
  return maps;
}

template <bool kUpper, bool kWide>
std::string Convert(std::string_view s) {
  std::string out(s);
  const TTrailMaps& maps = TrailMaps();
  const std::size_t n = out.size();
  for (std::size_t i = 0; i < n;) {
    const unsigned char b = static_cast<unsigned char>(out[i]);
    if (cp932::IsLeadByte(b) && i + 1 < n) {
      if (kWide && b >= 0x82 && b <= 0x84) {
        const auto& map = kUpper ? maps.upper[b - 0x82] : maps.lower[b - 0x82];
        out[i + 1] = static_cast<char>(map[static_cast<unsigned char>(out[i + 1])]);
      }
      i += 2;
      continue;
    }
    if (kUpper ? (b >= 'a' && b <= 'z') : (b >= 'A' && b <= 'Z')) out[i] = static_cast<char>(b ^ 0x20);
    ++i;
  }
  return out;
}

}  // namespace

std::string UpperCase(std::string_view source) { return Convert<true, true>(source); }
std::string LowerCase(std::string_view source) { return Convert<false, true>(source); }
std::string LowerCaseAscii(std::string_view source) { return Convert<false, false>(source); }

}  // namespace yk
