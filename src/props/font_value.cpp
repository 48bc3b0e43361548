// Character-set names, point-size conversion and the notifying font.
#include "props/font_value.h"

#include <array>

namespace yk {

namespace {

struct TCharsetIdent {
  TFontCharset value;
  std::string_view name;
};

// Written names first; the alias follows so that lookups by value find the
// written one.
constexpr std::array<TCharsetIdent, 20> kCharsets{{
    {ANSI_CHARSET, "ANSI_CHARSET"},
    {DEFAULT_CHARSET, "DEFAULT_CHARSET"},
    {SYMBOL_CHARSET, "SYMBOL_CHARSET"},
    {MAC_CHARSET, "MAC_CHARSET"},
    {SHIFTJIS_CHARSET, "SHIFTJIS_CHARSET"},
    {HANGEUL_CHARSET, "HANGEUL_CHARSET"},
    {JOHAB_CHARSET, "JOHAB_CHARSET"},
    {GB2312_CHARSET, "GB2312_CHARSET"},
    {CHINESEBIG5_CHARSET, "CHINESEBIG5_CHARSET"},
    {GREEK_CHARSET, "GREEK_CHARSET"},
    {TURKISH_CHARSET, "TURKISH_CHARSET"},
    {VIETNAMESE_CHARSET, "VIETNAMESE_CHARSET"},
    {HEBREW_CHARSET, "HEBREW_CHARSET"},
    {ARABIC_CHARSET, "ARABIC_CHARSET"},
    {BALTIC_CHARSET, "BALTIC_CHARSET"},
    {RUSSIAN_CHARSET, "RUSSIAN_CHARSET"},
    {THAI_CHARSET, "THAI_CHARSET"},
    {EASTEUROPE_CHARSET, "EASTEUROPE_CHARSET"},
    {OEM_CHARSET, "OEM_CHARSET"},
    {HANGEUL_CHARSET, "HANGUL_CHARSET"},
}};

// Rounds a * b / c to the nearest integer, halves away from zero.
int MulDivRound(int a, int b, int c) {
  const long long p = static_cast<long long>(a) * b;
  const long long q = (p >= 0 ? p + c / 2 : p - c / 2) / c;
  return static_cast<int>(q);
}

}  // namespace

std::optional<std::string_view> CharsetToIdent(TFontCharset c) {
  for (const auto& e : kCharsets) {
    if (e.value == c) return e.name;
  }
  return std::nullopt;
}

std::optional<TFontCharset> IdentToCharset(std::string_view name) {
  for (const auto& e : kCharsets) {
    if (SameIdent(e.name, name)) return e.value;
  }
  return std::nullopt;
}

int TFontValue::Size() const { return -MulDivRound(height, 72, kFontPixelsPerInch); }

void TFontValue::SetSize(int points) {
  const int max_points = kMaxFontHeight * 72 / kFontPixelsPerInch;
  points = points < -max_points ? -max_points : points > max_points ? max_points : points;
  height = ClampHeight(-MulDivRound(points, kFontPixelsPerInch, 72));
}

void TEditorFont::SetValue(const TFontValue& v) {
  TFontValue clamped = v;
  clamped.height = TFontValue::ClampHeight(v.height);
  SetAndNotify(value_, clamped);
}

void TEditorFont::SetSize(int points) {
  TFontValue v = value_;
  v.SetSize(points);
  SetValue(v);
}

void TEditorFont::Assign(const TPersistent& source) {
  auto* src = dynamic_cast<const TEditorFont*>(&source);
  if (!src) return TPersistent::Assign(source);
  SetValue(src->value_);
}

}  // namespace yk
