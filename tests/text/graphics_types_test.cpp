// Colour, cursor and font-style values and their stored names.
#include "text/graphics_types.h"

#include <gtest/gtest.h>

#include <set>
#include <string>

using namespace yk;

namespace {

std::string Upper(std::string_view s) {
  std::string r(s);
  for (char& c : r) {
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  }
  return r;
}

}  // namespace

TEST(GraphicsTypes, ColorValuesAreBlueGreenRed) {
  EXPECT_EQ(clNavy, MakeColor(0, 0, 128));
  EXPECT_EQ(clGray, MakeColor(128, 128, 128));
  EXPECT_EQ(clRed, MakeColor(255, 0, 0));
  EXPECT_EQ(RedOf(clOlive), 128);
  EXPECT_EQ(GreenOf(clOlive), 128);
  EXPECT_EQ(BlueOf(clOlive), 0);
  EXPECT_EQ(static_cast<std::uint32_t>(clScrollBar), 0x80000000u);
  EXPECT_EQ(static_cast<std::uint32_t>(clWindow), 0x80000005u);
  EXPECT_EQ(static_cast<std::uint32_t>(clInfoBk), 0x80000018u);
  EXPECT_TRUE(IsSystemColor(clWindowText));
  EXPECT_EQ(SystemColorIndex(clWindowText), 8);
  EXPECT_FALSE(IsSystemColor(clWhite));
  EXPECT_FALSE(IsSystemColor(clNone));
}

TEST(GraphicsTypes, EveryNamedColorRoundTrips) {
  std::set<TColor> seen;
  for (const auto& e : ColorIdents()) {
    EXPECT_TRUE(seen.insert(e.value).second) << e.name << " shares its value";
    EXPECT_EQ(ColorToString(e.value), e.name);
    EXPECT_EQ(StringToColor(e.name), e.value) << e.name;
    EXPECT_EQ(StringToColor(Upper(e.name)), e.value) << e.name;
  }
  EXPECT_EQ(ColorIdents().size(), 16u + 2u + 25u);
}

TEST(GraphicsTypes, UnnamedColorsAreWrittenInHex) {
  const struct {
    TColor value;
    const char* text;
  } cases[] = {
      {MakeColor(0xC0, 0xDC, 0xC0), "$00C0DCC0"},
      {SystemColor(30), "$8000001E"},
      {0x12345678, "$12345678"},
      {-2, "$FFFFFFFE"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(ColorToString(c.value), c.text);
    EXPECT_EQ(StringToColor(c.text), c.value) << c.text;
  }
}

TEST(GraphicsTypes, ColorTextForms) {
  const struct {
    const char* text;
    std::optional<TColor> value;
  } cases[] = {
      {"clwindow", clWindow},
      {"$ff", 0xFF},
      {"0x10", 16},
      {"0X10", 16},
      {"123", 123},
      {"-1", -1},
      {"2147483647", 2147483647},
      {"-2147483648", static_cast<TColor>(0x80000000u)},
      {"$FFFFFFFF", -1},
      {"", std::nullopt},
      {"$", std::nullopt},
      {"0x", std::nullopt},
      {"$123456789", std::nullopt},
      {"$-1", std::nullopt},
      {"+5", std::nullopt},
      {" 12", std::nullopt},
      {"12 ", std::nullopt},
      {"2147483648", std::nullopt},
      {"clNoSuchColor", std::nullopt},
      {"\x82\x60", std::nullopt},  // Ａ
  };
  for (const auto& c : cases) EXPECT_EQ(StringToColor(c.text), c.value) << '"' << c.text << '"';
}

TEST(GraphicsTypes, CursorNamesRoundTrip) {
  auto names = CursorNames();
  ASSERT_GE(names.size(), 3u);
  EXPECT_EQ(names.front(), "crDefault");
  EXPECT_EQ(names[names.size() - 2], "crRightArrow");
  EXPECT_EQ(names.back(), "crDragSelCopy");
  std::set<TCursor> seen;
  for (std::string_view name : names) {
    auto c = IdentToCursor(name);
    ASSERT_TRUE(c) << name;
    EXPECT_TRUE(seen.insert(*c).second) << name << " offered twice";
    EXPECT_EQ(CursorToIdent(*c), name);
    EXPECT_EQ(StringToCursor(Upper(name)), *c) << name;
  }
  EXPECT_EQ(IdentToCursor("crRightArrow"), crRightArrow);
  EXPECT_EQ(IdentToCursor("CRDRAGSELCOPY"), crDragSelCopy);
  EXPECT_EQ(IdentToCursor("crIBeam"), -4);
  EXPECT_EQ(IdentToCursor("crSize"), crSizeAll);
  EXPECT_EQ(CursorToString(crSizeAll), "crSizeAll");
}

TEST(GraphicsTypes, UnnamedCursorsAreDecimal) {
  EXPECT_EQ(CursorToIdent(3), std::nullopt);
  EXPECT_EQ(CursorToString(3), "3");
  EXPECT_EQ(CursorToString(-30), "-30");
  EXPECT_EQ(StringToCursor("5"), 5);
  EXPECT_EQ(StringToCursor("-30"), -30);
  EXPECT_EQ(StringToCursor("32768"), std::nullopt);
  EXPECT_EQ(StringToCursor("crNoSuch"), std::nullopt);
  EXPECT_EQ(StringToCursor(""), std::nullopt);
}

TEST(GraphicsTypes, FontStylesAndEnumNames) {
  TFontStyles s{fsBold, fsUnderline};
  EXPECT_TRUE(s.Contains(fsBold));
  EXPECT_FALSE(s.Contains(fsItalic));
  s.Exclude(fsBold);
  s.Include(fsStrikeOut);
  EXPECT_EQ(s, (TFontStyles{fsUnderline, fsStrikeOut}));
  EXPECT_EQ(TFontStyles::FromBits(0xFF), (TFontStyles{fsBold, fsItalic, fsUnderline, fsStrikeOut}));
  EXPECT_TRUE(TFontStyles().Empty());
  for (TFontStyle f : {fsBold, fsItalic, fsUnderline, fsStrikeOut}) {
    EXPECT_EQ(IdentToFontStyle(FontStyleToIdent(f)), f);
  }
  EXPECT_EQ(FontStyleToIdent(fsStrikeOut), "fsStrikeOut");
  EXPECT_EQ(IdentToFontStyle("fsShadow"), std::nullopt);
  EXPECT_EQ(IdentToDragMode("DMAUTOMATIC"), dmAutomatic);
  EXPECT_EQ(DragModeToIdent(dmManual), "dmManual");
}
