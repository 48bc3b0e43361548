// The rules of the style settings dialog that need no widget: the colour
// grid's palette, the texts of its confirmations and the checks of its
// fields. Standard C++ only, so they are tested without a window.
#pragma once

#include <array>
#include <optional>
#include <string>
#include <string_view>

#include "text/graphics_types.h"

namespace yk {

inline constexpr int kColorGridCells = 16;

// The sixteen cells of a colour grid: the plain colours of the colour-name
// table in its order, with its entries 7 (clGray) and 8 (clSilver)
// exchanged, so the two greys sit the way users of the grid know them.
const std::array<TColor, kColorGridCells>& ColorGridPalette();
// The cell of a colour, or -1 for a colour the grid does not offer (a
// system colour such as clWindow, or any other value).
int ColorGridIndex(TColor c);
// The cell a grid marks for a colour: its own, or the fallback when the
// colour is not offered (white for backgrounds, black for text).
int ColorGridCellOr(TColor c, int fallback);

// The confirmations of the bulk buttons. A colour is named by its
// identifier or by "$" and eight hexadecimal digits.
std::string SameBkColorQuestion(TColor c);
std::string SameColorQuestion(TColor c);
// "Change all Style to [ fsBold, fsItalic ]"; "[  ]" for no style.
std::string SameStyleQuestion(TFontStyles s);

// A bracket pair can be stored when neither text is empty and they differ
// (bytes compared exactly).
bool BracketPairValid(std::string_view left, std::string_view right);
// "空白 ・ 同一の LeftBracket, RightBracket は指定出来ません。" in CP932.
extern const char* const kBracketPairError;

// The quotation a field's CP932 text gives: empty for empty text, else its
// first byte. A text that starts with a double-byte character gives
// nothing: half a character must never be stored, so the field is refused.
std::optional<std::string> QuotationFromText(std::string_view cp932);

// The size a font-size field gives: its decimal integer, else 10.
int FontSizeFromText(std::string_view text);

}  // namespace yk
