// Colour, font-style, cursor and drag-mode values shared by the whole
// program, with the names under which they are stored and offered for choice.
#pragma once

#include <cstdint>
#include <initializer_list>
#include <optional>
#include <span>
#include <string>
#include <string_view>

namespace yk {

// ---------------------------------------------------------------- colours

// A colour of the windowing system: 0x00BBGGRR for a plain colour; with the
// top bit set, 0x80000000 + the index of a system colour that the platform
// resolves when painting. Signed, as it is stored in property streams.
using TColor = std::int32_t;

constexpr TColor MakeColor(std::uint8_t r, std::uint8_t g, std::uint8_t b) noexcept {
  return static_cast<TColor>(std::uint32_t{r} | (std::uint32_t{g} << 8) | (std::uint32_t{b} << 16));
}
constexpr std::uint8_t RedOf(TColor c) noexcept { return static_cast<std::uint8_t>(c & 0xFF); }
constexpr std::uint8_t GreenOf(TColor c) noexcept { return static_cast<std::uint8_t>((c >> 8) & 0xFF); }
constexpr std::uint8_t BlueOf(TColor c) noexcept { return static_cast<std::uint8_t>((c >> 16) & 0xFF); }
constexpr bool IsSystemColor(TColor c) noexcept { return c < 0; }
// The system colour index of a system colour (meaningless otherwise).
constexpr int SystemColorIndex(TColor c) noexcept { return static_cast<int>(c & 0xFF); }

constexpr TColor SystemColor(int index) noexcept {
  return static_cast<TColor>(0x80000000u | static_cast<std::uint32_t>(index));
}

inline constexpr TColor clBlack = 0x000000;
inline constexpr TColor clMaroon = 0x000080;
inline constexpr TColor clGreen = 0x008000;
inline constexpr TColor clOlive = 0x008080;
inline constexpr TColor clNavy = 0x800000;
inline constexpr TColor clPurple = 0x800080;
inline constexpr TColor clTeal = 0x808000;
inline constexpr TColor clGray = 0x808080;
inline constexpr TColor clSilver = 0xC0C0C0;
inline constexpr TColor clRed = 0x0000FF;
inline constexpr TColor clLime = 0x00FF00;
inline constexpr TColor clYellow = 0x00FFFF;
inline constexpr TColor clBlue = 0xFF0000;
inline constexpr TColor clFuchsia = 0xFF00FF;
inline constexpr TColor clAqua = 0xFFFF00;
inline constexpr TColor clWhite = 0xFFFFFF;
// "No colour" (transparent) and "the control's own default colour".
inline constexpr TColor clNone = 0x1FFFFFFF;
inline constexpr TColor clDefault = 0x20000000;

inline constexpr TColor clScrollBar = SystemColor(0);
inline constexpr TColor clBackground = SystemColor(1);
inline constexpr TColor clActiveCaption = SystemColor(2);
inline constexpr TColor clInactiveCaption = SystemColor(3);
inline constexpr TColor clMenu = SystemColor(4);
inline constexpr TColor clWindow = SystemColor(5);
inline constexpr TColor clWindowFrame = SystemColor(6);
inline constexpr TColor clMenuText = SystemColor(7);
inline constexpr TColor clWindowText = SystemColor(8);
inline constexpr TColor clCaptionText = SystemColor(9);
inline constexpr TColor clActiveBorder = SystemColor(10);
inline constexpr TColor clInactiveBorder = SystemColor(11);
inline constexpr TColor clAppWorkSpace = SystemColor(12);
inline constexpr TColor clHighlight = SystemColor(13);
inline constexpr TColor clHighlightText = SystemColor(14);
inline constexpr TColor clBtnFace = SystemColor(15);
inline constexpr TColor clBtnShadow = SystemColor(16);
inline constexpr TColor clGrayText = SystemColor(17);
inline constexpr TColor clBtnText = SystemColor(18);
inline constexpr TColor clInactiveCaptionText = SystemColor(19);
inline constexpr TColor clBtnHighlight = SystemColor(20);
inline constexpr TColor cl3DDkShadow = SystemColor(21);
inline constexpr TColor cl3DLight = SystemColor(22);
inline constexpr TColor clInfoText = SystemColor(23);
inline constexpr TColor clInfoBk = SystemColor(24);

struct TColorIdent {
  TColor value;
  std::string_view name;
};

// Every named colour: the sixteen plain colours, clNone, clDefault, then the
// system colours in index order. Each value has exactly one name.
std::span<const TColorIdent> ColorIdents();

// The name of a colour ("clWindow"), if it has one.
std::optional<std::string_view> ColorToIdent(TColor c);
// The colour of a name, compared without regard to case.
std::optional<TColor> IdentToColor(std::string_view name);
// The stored form of a colour: its name, else "$" and eight upper-case
// hexadecimal digits ("$00C0DCC0").
std::string ColorToString(TColor c);
// Reads a stored colour: a name, "$" or "0x" with 1 to 8 hexadecimal digits,
// or a decimal number in the signed 32-bit range (an optional minus sign).
// Anything else (spaces included) is refused.
std::optional<TColor> StringToColor(std::string_view text);

// ------------------------------------------------------------ font styles

enum TFontStyle : std::uint8_t { fsBold, fsItalic, fsUnderline, fsStrikeOut };

// A set of TFontStyle values.
class TFontStyles {
 public:
  constexpr TFontStyles() = default;
  constexpr TFontStyles(std::initializer_list<TFontStyle> styles) {
    for (TFontStyle s : styles) bits_ |= Bit(s);
  }

  constexpr bool Contains(TFontStyle s) const { return (bits_ & Bit(s)) != 0; }
  constexpr bool Empty() const { return bits_ == 0; }
  constexpr void Include(TFontStyle s) { bits_ |= Bit(s); }
  constexpr void Exclude(TFontStyle s) { bits_ &= static_cast<std::uint8_t>(~Bit(s)); }
  // Bit n stands for the style of value n; bits above fsStrikeOut are dropped.
  constexpr std::uint8_t Bits() const { return bits_; }
  static constexpr TFontStyles FromBits(std::uint8_t bits) {
    TFontStyles r;
    r.bits_ = bits & 0x0F;
    return r;
  }

  friend constexpr TFontStyles operator|(TFontStyles a, TFontStyles b) { return FromBits(a.bits_ | b.bits_); }
  friend constexpr bool operator==(TFontStyles, TFontStyles) = default;

 private:
  static constexpr std::uint8_t Bit(TFontStyle s) { return static_cast<std::uint8_t>(1u << s); }
  std::uint8_t bits_ = 0;
};

// "fsBold", "fsItalic", "fsUnderline", "fsStrikeOut".
std::string_view FontStyleToIdent(TFontStyle s);
std::optional<TFontStyle> IdentToFontStyle(std::string_view name);

// ---------------------------------------------------------------- cursors

// A mouse cursor identifier of the windowing system: 0 and below are the
// system cursors; positive identifiers are the program's own.
using TCursor = std::int16_t;

inline constexpr TCursor crDefault = 0;
inline constexpr TCursor crNone = -1;
inline constexpr TCursor crArrow = -2;
inline constexpr TCursor crCross = -3;
inline constexpr TCursor crIBeam = -4;
inline constexpr TCursor crSizeNESW = -6;
inline constexpr TCursor crSizeNS = -7;
inline constexpr TCursor crSizeNWSE = -8;
inline constexpr TCursor crSizeWE = -9;
inline constexpr TCursor crUpArrow = -10;
inline constexpr TCursor crHourGlass = -11;
inline constexpr TCursor crDrag = -12;
inline constexpr TCursor crNoDrop = -13;
inline constexpr TCursor crHSplit = -14;
inline constexpr TCursor crVSplit = -15;
inline constexpr TCursor crMultiDrag = -16;
inline constexpr TCursor crSQLWait = -17;
inline constexpr TCursor crNo = -18;
inline constexpr TCursor crAppStart = -19;
inline constexpr TCursor crHelp = -20;
inline constexpr TCursor crHandPoint = -21;
inline constexpr TCursor crSizeAll = -22;
// An older name of crSizeAll; read, never written.
inline constexpr TCursor crSize = -22;
// Which scroll bars a window shows.
enum TScrollStyle : std::uint8_t { ssNone, ssHorizontal, ssVertical, ssBoth };

// The editor's own cursors. There is no shared cursor table to search for a
// free slot, so they keep the identifiers that stored styles already carry
// for them (the application's initial style says 1 and 5).
inline constexpr TCursor crRightArrow = 1;
inline constexpr TCursor crDragSelCopy = 5;

// The cursor names offered for choice: the system cursors in identifier
// order (crDefault first), then "crRightArrow" and "crDragSelCopy". Each
// identifier appears once.
std::span<const std::string_view> CursorNames();

// The name of a cursor ("crIBeam"), if it has one.
std::optional<std::string_view> CursorToIdent(TCursor c);
// The cursor of a name, compared without regard to case; "crSize" is read
// as crSizeAll.
std::optional<TCursor> IdentToCursor(std::string_view name);
// The stored form: the name, else the decimal identifier.
std::string CursorToString(TCursor c);
// A name or a decimal identifier in the 16-bit signed range.
std::optional<TCursor> StringToCursor(std::string_view text);

// -------------------------------------------------------------- drag mode

// Whether dragging a selection starts by itself (dmAutomatic) or only when
// the program asks for it.
enum TDragMode : std::uint8_t { dmManual, dmAutomatic };

std::string_view DragModeToIdent(TDragMode m);
std::optional<TDragMode> IdentToDragMode(std::string_view name);

// Case-insensitive comparison of ASCII letters; other bytes compare as they
// are, so a CP932 text never equals an ASCII identifier by accident.
bool SameIdent(std::string_view a, std::string_view b) noexcept;

}  // namespace yk
