// Palette, confirmation texts and field rules of the style settings dialog.
#include "dialogs/style_dialog_logic.h"

#include "props/names.h"
#include "text/cp932.h"

namespace yk {

const std::array<TColor, kColorGridCells>& ColorGridPalette() {
  static const std::array<TColor, kColorGridCells> palette = [] {
    std::array<TColor, kColorGridCells> p{};
    const auto idents = ColorIdents();
    for (int i = 0; i < kColorGridCells; ++i) p[static_cast<std::size_t>(i)] = idents[static_cast<std::size_t>(i)].value;
    std::swap(p[7], p[8]);
    return p;
  }();
  return palette;
}

int ColorGridIndex(TColor c) {
  const auto& p = ColorGridPalette();
  for (int i = 0; i < kColorGridCells; ++i)
    if (p[static_cast<std::size_t>(i)] == c) return i;
  return -1;
}

int ColorGridCellOr(TColor c, int fallback) {
  const int i = ColorGridIndex(c);
  return i < 0 ? fallback : i;
}

std::string SameBkColorQuestion(TColor c) { return "Change all BkColor to " + ColorToString(c); }

std::string SameColorQuestion(TColor c) { return "Change all Color to " + ColorToString(c); }

std::string SameStyleQuestion(TFontStyles s) {
  std::string names;
  for (TFontStyle f : {fsBold, fsItalic, fsUnderline, fsStrikeOut}) {
    if (!s.Contains(f)) continue;
    if (!names.empty()) names += ", ";
    names += FontStyleToIdent(f);
  }
  return "Change all Style to [ " + names + " ]";
}

bool BracketPairValid(std::string_view left, std::string_view right) {
  return !left.empty() && !right.empty() && left != right;
}

// 空白 ・ 同一の LeftBracket, RightBracket は指定出来ません。
const char* const kBracketPairError =
    "\x8b\xf3\x94\x92 \x81\x45 \x93\xaf\x88\xea\x82\xcc LeftBracket, RightBracket "
    "\x82\xcd\x8e\x77\x92\xe8\x8f\x6f\x97\x88\x82\xdc\x82\xb9\x82\xf1\x81\x42";

std::optional<std::string> QuotationFromText(std::string_view cp932) {
  if (cp932.empty()) return std::string();
  if (cp932::IsLeadByte(cp932[0])) return std::nullopt;
  return std::string(cp932.substr(0, 1));
}

int FontSizeFromText(std::string_view text) {
  int v = 0;
  return ParseInt32(text, v) ? v : 10;
}

}  // namespace yk
