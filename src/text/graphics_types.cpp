// Name tables and text conversions of colours, font styles, cursors and drag
// modes.
#include "text/graphics_types.h"

#include <array>
#include <charconv>
#include <cstdio>

namespace yk {

namespace {

constexpr std::array<TColorIdent, 43> kColorIdents{{
    {clBlack, "clBlack"},
    {clMaroon, "clMaroon"},
    {clGreen, "clGreen"},
    {clOlive, "clOlive"},
    {clNavy, "clNavy"},
    {clPurple, "clPurple"},
    {clTeal, "clTeal"},
    {clGray, "clGray"},
    {clSilver, "clSilver"},
    {clRed, "clRed"},
    {clLime, "clLime"},
    {clYellow, "clYellow"},
    {clBlue, "clBlue"},
    {clFuchsia, "clFuchsia"},
    {clAqua, "clAqua"},
    {clWhite, "clWhite"},
    {clNone, "clNone"},
    {clDefault, "clDefault"},
    {clScrollBar, "clScrollBar"},
    {clBackground, "clBackground"},
    {clActiveCaption, "clActiveCaption"},
    {clInactiveCaption, "clInactiveCaption"},
    {clMenu, "clMenu"},
    {clWindow, "clWindow"},
    {clWindowFrame, "clWindowFrame"},
    {clMenuText, "clMenuText"},
    {clWindowText, "clWindowText"},
    {clCaptionText, "clCaptionText"},
    {clActiveBorder, "clActiveBorder"},
    {clInactiveBorder, "clInactiveBorder"},
    {clAppWorkSpace, "clAppWorkSpace"},
    {clHighlight, "clHighlight"},
    {clHighlightText, "clHighlightText"},
    {clBtnFace, "clBtnFace"},
    {clBtnShadow, "clBtnShadow"},
    {clGrayText, "clGrayText"},
    {clBtnText, "clBtnText"},
    {clInactiveCaptionText, "clInactiveCaptionText"},
    {clBtnHighlight, "clBtnHighlight"},
    {cl3DDkShadow, "cl3DDkShadow"},
    {cl3DLight, "cl3DLight"},
    {clInfoText, "clInfoText"},
    {clInfoBk, "clInfoBk"},
}};

struct TCursorIdent {
  TCursor value;
  std::string_view name;
};

// Written names first; the alias "crSize" follows so that lookups by value
// find "crSizeAll".
constexpr std::array<TCursorIdent, 25> kCursorIdents{{
    {crDefault, "crDefault"},       {crNone, "crNone"},
    {crArrow, "crArrow"},           {crCross, "crCross"},
    {crIBeam, "crIBeam"},           {crSizeNESW, "crSizeNESW"},
    {crSizeNS, "crSizeNS"},         {crSizeNWSE, "crSizeNWSE"},
    {crSizeWE, "crSizeWE"},         {crUpArrow, "crUpArrow"},
    {crHourGlass, "crHourGlass"},   {crDrag, "crDrag"},
    {crNoDrop, "crNoDrop"},         {crHSplit, "crHSplit"},
    {crVSplit, "crVSplit"},         {crMultiDrag, "crMultiDrag"},
    {crSQLWait, "crSQLWait"},       {crNo, "crNo"},
    {crAppStart, "crAppStart"},     {crHelp, "crHelp"},
    {crHandPoint, "crHandPoint"},   {crSizeAll, "crSizeAll"},
    {crRightArrow, "crRightArrow"}, {crDragSelCopy, "crDragSelCopy"},
    {crSize, "crSize"},
}};
constexpr std::size_t kOfferedCursorCount = kCursorIdents.size() - 1;

constexpr std::array<std::string_view, kOfferedCursorCount> MakeCursorNames() {
  std::array<std::string_view, kOfferedCursorCount> names{};
  for (std::size_t i = 0; i < names.size(); ++i) names[i] = kCursorIdents[i].name;
  return names;
}
constexpr std::array<std::string_view, kOfferedCursorCount> kCursorNames = MakeCursorNames();

constexpr std::array<std::string_view, 4> kFontStyleNames{"fsBold", "fsItalic", "fsUnderline", "fsStrikeOut"};
constexpr std::array<std::string_view, 2> kDragModeNames{"dmManual", "dmAutomatic"};

constexpr char FoldAscii(char c) noexcept { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

// Parses all of text as an integer of the given base; nothing else allowed.
template <typename T>
std::optional<T> ParseWhole(std::string_view text, int base) {
  if (text.empty()) return std::nullopt;
  T value{};
  auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value, base);
  if (ec != std::errc() || end != text.data() + text.size()) return std::nullopt;
  return value;
}

// "$1F", "0x1F" or "0X1F": 1 to 8 hexadecimal digits, no sign.
std::optional<std::uint32_t> ParseHex(std::string_view text) {
  std::string_view digits;
  if (text.starts_with('$')) {
    digits = text.substr(1);
  } else if (text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) {
    digits = text.substr(2);
  } else {
    return std::nullopt;
  }
  if (digits.empty() || digits.size() > 8) return std::nullopt;
  return ParseWhole<std::uint32_t>(digits, 16);
}

}  // namespace

bool SameIdent(std::string_view a, std::string_view b) noexcept {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    if (FoldAscii(a[i]) != FoldAscii(b[i])) return false;
  }
  return true;
}

std::span<const TColorIdent> ColorIdents() { return kColorIdents; }

std::optional<std::string_view> ColorToIdent(TColor c) {
  for (const auto& e : kColorIdents) {
    if (e.value == c) return e.name;
  }
  return std::nullopt;
}

std::optional<TColor> IdentToColor(std::string_view name) {
  for (const auto& e : kColorIdents) {
    if (SameIdent(e.name, name)) return e.value;
  }
  return std::nullopt;
}

std::string ColorToString(TColor c) {
  if (auto name = ColorToIdent(c)) return std::string(*name);
  char buf[16];
  std::snprintf(buf, sizeof buf, "$%08X", static_cast<unsigned>(static_cast<std::uint32_t>(c)));
  return buf;
}

std::optional<TColor> StringToColor(std::string_view text) {
  if (auto c = IdentToColor(text)) return c;
  if (auto hex = ParseHex(text)) return static_cast<TColor>(*hex);
  return ParseWhole<std::int32_t>(text, 10);
}

std::string_view FontStyleToIdent(TFontStyle s) {
  return s < kFontStyleNames.size() ? kFontStyleNames[s] : std::string_view();
}

std::optional<TFontStyle> IdentToFontStyle(std::string_view name) {
  for (std::size_t i = 0; i < kFontStyleNames.size(); ++i) {
    if (SameIdent(kFontStyleNames[i], name)) return static_cast<TFontStyle>(i);
  }
  return std::nullopt;
}

std::span<const std::string_view> CursorNames() { return kCursorNames; }

std::optional<std::string_view> CursorToIdent(TCursor c) {
  for (const auto& e : kCursorIdents) {
    if (e.value == c) return e.name;
  }
  return std::nullopt;
}

std::optional<TCursor> IdentToCursor(std::string_view name) {
  for (const auto& e : kCursorIdents) {
    if (SameIdent(e.name, name)) return e.value;
  }
  return std::nullopt;
}

std::string CursorToString(TCursor c) {
  if (auto name = CursorToIdent(c)) return std::string(*name);
  return std::to_string(c);
}

std::optional<TCursor> StringToCursor(std::string_view text) {
  if (auto c = IdentToCursor(text)) return c;
  return ParseWhole<TCursor>(text, 10);
}

std::string_view DragModeToIdent(TDragMode m) {
  return m < kDragModeNames.size() ? kDragModeNames[m] : std::string_view();
}

std::optional<TDragMode> IdentToDragMode(std::string_view name) {
  for (std::size_t i = 0; i < kDragModeNames.size(); ++i) {
    if (SameIdent(kDragModeNames[i], name)) return static_cast<TDragMode>(i);
  }
  return std::nullopt;
}

}  // namespace yk
