// The style dialog's rules that need no widget: palette, confirmation
// texts, bracket pairs, the quotation and the font-size field.
#include "dialogs/style_dialog_logic.h"

#include <gtest/gtest.h>

namespace yk {
namespace {

TEST(StyleDialogLogic, PaletteHasTheGreysExchanged) {
  const TColor expected[] = {clBlack, clMaroon, clGreen, clOlive, clNavy, clPurple, clTeal, clSilver,
                             clGray,  clRed,    clLime,  clYellow, clBlue, clFuchsia, clAqua, clWhite};
  for (int i = 0; i < kColorGridCells; ++i) {
    EXPECT_EQ(ColorGridPalette()[static_cast<std::size_t>(i)], expected[i]) << i;
    EXPECT_EQ(ColorGridIndex(expected[i]), i);
  }
  // Colours the grid does not offer fall back: white background, black text.
  for (TColor c : {clWindow, clWindowText, MakeColor(1, 2, 3), clNone}) {
    EXPECT_EQ(ColorGridIndex(c), -1);
    EXPECT_EQ(ColorGridCellOr(c, 15), 15);
    EXPECT_EQ(ColorGridCellOr(c, 0), 0);
  }
}

TEST(StyleDialogLogic, ConfirmationTextsNameColoursAndStyles) {
  EXPECT_EQ(SameBkColorQuestion(clWindow), "Change all BkColor to clWindow");
  EXPECT_EQ(SameColorQuestion(MakeColor(0xC0, 0xDC, 0xC0)), "Change all Color to $00C0DCC0");
  EXPECT_EQ(SameStyleQuestion({}), "Change all Style to [  ]");
  EXPECT_EQ(SameStyleQuestion({fsItalic}), "Change all Style to [ fsItalic ]");
  EXPECT_EQ(SameStyleQuestion({fsStrikeOut, fsUnderline, fsBold}),
            "Change all Style to [ fsBold, fsUnderline, fsStrikeOut ]");
}

TEST(StyleDialogLogic, BracketPairsNeedTwoDifferentTexts) {
  struct Case {
    const char* left;
    const char* right;
    bool valid;
  } cases[] = {
      {"/*", "*/", true}, {"(", ")", true}, {"(", "(", false}, {"", ")", false}, {"(", "", false},
      {"", "", false},    {"a", "A", true},  // exact comparison: case counts
      {"\x81\x75", "\x81\x76", true},       // 「 」
  };
  for (const Case& c : cases) EXPECT_EQ(BracketPairValid(c.left, c.right), c.valid) << c.left << " " << c.right;
  EXPECT_EQ(std::string(kBracketPairError),
            "\x8b\xf3\x94\x92 \x81\x45 \x93\xaf\x88\xea\x82\xcc LeftBracket, RightBracket "
            "\x82\xcd\x8e\x77\x92\xe8\x8f\x6f\x97\x88\x82\xdc\x82\xb9\x82\xf1\x81\x42");
}

TEST(StyleDialogLogic, QuotationKeepsOneSingleByteCharacter) {
  EXPECT_EQ(QuotationFromText(""), "");
  EXPECT_EQ(QuotationFromText("\""), "\"");
  EXPECT_EQ(QuotationFromText("'x"), "'");
  EXPECT_EQ(QuotationFromText("\xb1"), "\xb1");  // ｱ, one byte
  EXPECT_EQ(QuotationFromText("\x81\x67"), std::nullopt);     // ″ would leave half a character
  EXPECT_EQ(QuotationFromText("\x82\xa0'"), std::nullopt);    // あ'
}

TEST(StyleDialogLogic, FontSizeFieldFallsBackToTen) {
  EXPECT_EQ(FontSizeFromText("12"), 12);
  EXPECT_EQ(FontSizeFromText("-3"), -3);
  for (const char* bad : {"", "abc", "12pt", " 12", "99999999999"}) EXPECT_EQ(FontSizeFromText(bad), 10) << bad;
}

}  // namespace
}  // namespace yk
