// Fonts as the settings hold them: a plain value (name, height, colour,
// style, character set), its notifying holder, and the character-set names.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "platform/font.h"
#include "text/graphics_types.h"
#include "text/notify_persistent.h"

namespace yk {

// A character set of the windowing system's fonts.
using TFontCharset = std::uint8_t;

inline constexpr TFontCharset ANSI_CHARSET = 0;
inline constexpr TFontCharset DEFAULT_CHARSET = 1;
inline constexpr TFontCharset SYMBOL_CHARSET = 2;
inline constexpr TFontCharset MAC_CHARSET = 77;
inline constexpr TFontCharset SHIFTJIS_CHARSET = 128;
inline constexpr TFontCharset HANGEUL_CHARSET = 129;
inline constexpr TFontCharset JOHAB_CHARSET = 130;
inline constexpr TFontCharset GB2312_CHARSET = 134;
inline constexpr TFontCharset CHINESEBIG5_CHARSET = 136;
inline constexpr TFontCharset GREEK_CHARSET = 161;
inline constexpr TFontCharset TURKISH_CHARSET = 162;
inline constexpr TFontCharset VIETNAMESE_CHARSET = 163;
inline constexpr TFontCharset HEBREW_CHARSET = 177;
inline constexpr TFontCharset ARABIC_CHARSET = 178;
inline constexpr TFontCharset BALTIC_CHARSET = 186;
inline constexpr TFontCharset RUSSIAN_CHARSET = 204;
inline constexpr TFontCharset THAI_CHARSET = 222;
inline constexpr TFontCharset EASTEUROPE_CHARSET = 238;
inline constexpr TFontCharset OEM_CHARSET = 255;

// The name of a character set ("SHIFTJIS_CHARSET"), if it has one.
std::optional<std::string_view> CharsetToIdent(TFontCharset c);
// The character set of a name, without regard to case; "HANGUL_CHARSET" is
// read as HANGEUL_CHARSET.
std::optional<TFontCharset> IdentToCharset(std::string_view name);

// Font heights beyond this many pixels are clamped: no screen font is that
// large, and the point size is computed from the height.
inline constexpr int kMaxFontHeight = 4096;
// Point sizes are converted at the usual screen resolution.
inline constexpr int kFontPixelsPerInch = 96;

// The editor's font (name, height, colour, style, character set) with the
// conversions the settings need.
struct TFontValue : TFontSpec {
  static int ClampHeight(int h) { return h < -kMaxFontHeight ? -kMaxFontHeight : h > kMaxFontHeight ? kMaxFontHeight : h; }
  // The size in points of a character height; rounded to the nearest point.
  int Size() const;
  // Sets the height for a size in points.
  void SetSize(int points);

  bool operator==(const TFontValue&) const = default;
};

// The font of an editor or a property set; notifies on any change.
class TEditorFont : public TNotifyPersistent {
 public:
  const TFontValue& Value() const { return value_; }
  void SetValue(const TFontValue& v);

  const std::string& Name() const { return value_.name; }
  void SetName(const std::string& v) { SetAndNotify(value_.name, v); }
  int Height() const { return value_.height; }
  void SetHeight(int v) { SetAndNotify(value_.height, TFontValue::ClampHeight(v)); }
  int Size() const { return value_.Size(); }
  void SetSize(int points);
  TColor Color() const { return value_.color; }
  void SetColor(TColor v) { SetAndNotify(value_.color, v); }
  TFontStyles Style() const { return value_.style; }
  void SetStyle(TFontStyles v) { SetAndNotify(value_.style, v); }
  TFontCharset Charset() const { return value_.charset; }
  void SetCharset(TFontCharset v) { SetAndNotify(value_.charset, v); }

  void Assign(const TPersistent& source) override;
  const char* ClassName() const override { return "TEditorFont"; }

 private:
  TFontValue value_;
};

}  // namespace yk
