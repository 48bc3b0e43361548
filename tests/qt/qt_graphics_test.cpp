// Colours, cursors, fonts and text conversions between the core and Qt.
#include "qt/qt_graphics.h"

#include <QFontInfo>
#include <QFontMetrics>

#include <gtest/gtest.h>

namespace yk {
namespace {

TEST(QtGraphics, PlainColoursAreBlueGreenRed) {
  const QPalette palette;
  struct Case {
    TColor color;
    QColor expected;
  } cases[] = {
      {clRed, QColor(255, 0, 0)},     {clBlue, QColor(0, 0, 255)},       {clOlive, QColor(128, 128, 0)},
      {MakeColor(1, 2, 3), QColor(1, 2, 3)}, {0x02123456, QColor(0x56, 0x34, 0x12)},  // palette-relative: top byte dropped
  };
  for (const Case& c : cases) EXPECT_EQ(ToQColor(c.color, palette), c.expected) << c.color;
  EXPECT_EQ(ToQColor(clNone, palette).alpha(), 0);
}

TEST(QtGraphics, SystemColoursFollowThePalette) {
  QPalette palette;
  palette.setColor(QPalette::Active, QPalette::Base, QColor(1, 1, 1));
  palette.setColor(QPalette::Active, QPalette::Text, QColor(2, 2, 2));
  palette.setColor(QPalette::Active, QPalette::Highlight, QColor(3, 3, 3));
  palette.setColor(QPalette::Active, QPalette::HighlightedText, QColor(4, 4, 4));
  palette.setColor(QPalette::Active, QPalette::Button, QColor(5, 5, 5));
  palette.setColor(QPalette::Disabled, QPalette::Text, QColor(6, 6, 6));
  palette.setColor(QPalette::Active, QPalette::Window, QColor(7, 7, 7));
  struct Case {
    TColor color;
    int grey;
  } cases[] = {{clWindow, 1}, {clWindowText, 2}, {clHighlight, 3}, {clHighlightText, 4}, {clBtnFace, 5},
               {clGrayText, 6}, {clDefault, 1}, {SystemColor(200), 7}};
  for (const Case& c : cases) EXPECT_EQ(ToQColor(c.color, palette), QColor(c.grey, c.grey, c.grey)) << c.color;
}

TEST(QtGraphics, CursorsOfTheEditor) {
  struct Case {
    TCursor cursor;
    Qt::CursorShape shape;
  } cases[] = {{crIBeam, Qt::IBeamCursor},        {crArrow, Qt::ArrowCursor},       {crDefault, Qt::ArrowCursor},
               {crDrag, Qt::DragMoveCursor},      {crDragSelCopy, Qt::DragCopyCursor}, {crHandPoint, Qt::PointingHandCursor},
               {crNone, Qt::BlankCursor},         {crRightArrow, Qt::BitmapCursor},  {1234, Qt::ArrowCursor}};
  for (const Case& c : cases) EXPECT_EQ(ToQCursor(c.cursor).shape(), c.shape) << c.cursor;
  // The left-margin cursor points up and to the right.
  const QCursor right = ToQCursor(crRightArrow);
  EXPECT_GT(right.hotSpot().x(), right.pixmap().width() / 2);
  EXPECT_EQ(right.hotSpot().y(), 0);
}

TEST(QtGraphics, UnavailableFontNamesResolveToAJapaneseMonospaceFont) {
  struct Case {
    const char* name;
    const char* family;
  } cases[] = {{"FixedSys", "IPAGothic"}, {"No Such Font 123", "IPAGothic"}, {"IPAMincho", "IPAMincho"},
               {"ipamincho", "IPAMincho"}, {"\x82\x6c\x82\x72 \x83\x53\x83\x56\x83\x62\x83\x4e", "IPAGothic"}};  // ＭＳ ゴシック
  for (const Case& c : cases) {
    TFontSpec wanted;
    wanted.name = c.name;
    const QFont font = ResolveFont(wanted);
    EXPECT_EQ(QFontInfo(font).family(), c.family) << c.name;
    // Full-width glyphs fill exactly two half-width cells.
    const TFontMetrics m = MetricsFor(font);
    EXPECT_EQ(QFontMetrics(font).horizontalAdvance(QChar(0x3042)), 2 * m.aveCharWidth) << c.name;  // あ
    EXPECT_EQ(QFontMetrics(font).horizontalAdvance(QChar('W')), m.aveCharWidth) << c.name;
  }
}

TEST(QtGraphics, FontSizesAndStyles) {
  TFontSpec wanted;
  wanted.height = -20;
  wanted.style = {fsBold, fsItalic, fsUnderline, fsStrikeOut};
  QFont font = ResolveFont(wanted);
  EXPECT_EQ(font.pixelSize(), 20);
  EXPECT_TRUE(font.bold() && font.italic() && font.underline() && font.strikeOut());
  // A positive height is the whole cell.
  wanted = TFontSpec{};
  wanted.height = 24;
  EXPECT_LE(MetricsFor(ResolveFont(wanted)).height, 25);
  // Sizes out of reason are settings errors, not requests for huge fonts.
  for (int h : {1 << 30, -(1 << 30), 0}) {
    wanted.height = h;
    const int pixels = ResolveFont(wanted).pixelSize();
    EXPECT_GE(pixels, 1);
    EXPECT_LE(pixels, 400);
  }
}

TEST(QtGraphics, TextConversions) {
  EXPECT_EQ(ToQString("a\x82\xa0\xb1"), QString::fromUtf8("aあｱ"));  // aあｱ
  // A byte pair that names no character shows the substitute.
  EXPECT_EQ(ToQString("\x85\x40x"), QString::fromUtf8("\uFFFDx"));
  const cp932::TEncoded e = FromQString(QString::fromUtf8("\u301C\u2212a\U0001F600"));  // 〜−a😀
  EXPECT_EQ(e.bytes, "\x81\x60\x81\x7c" "a?");
  EXPECT_EQ(e.replaced, 1);
}

}  // namespace
}  // namespace yk
