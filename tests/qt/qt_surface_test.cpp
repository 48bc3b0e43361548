// The Qt drawing surface, checked by the pixels it paints.
#include "qt/qt_surface.h"

#include <QElapsedTimer>

#include <gtest/gtest.h>

#include "qt/glyph_cells.h"
#include "qt/qt_graphics.h"
#include "qt/image_probe.h"

namespace yk {
namespace {

using test::InkBox;
using test::InkCount;
using test::WhiteImage;

class QtSurfaceTest : public ::testing::Test {
 protected:
  QtSurfaceTest() : font_(ResolveFont(TFontSpec{})), cw_(MetricsFor(font_).aveCharWidth) {}

  // Paints with a fresh surface on a white image.
  template <class Paint>
  QImage Draw(Paint paint, int width = 240, int height = 40, const TMappedChars* chars = nullptr) {
    QImage image = WhiteImage(width, height);
    QPainter painter(&image);
    TQtSurface surface(painter, font_, palette_, chars);
    paint(surface);
    return image;
  }
  TRect All() const { return {0, 0, 10000, 10000}; }

  QFont font_;
  QPalette palette_;
  int cw_;
};

TEST_F(QtSurfaceTest, CharactersStayInsideTheirCells) {
  struct Case {
    const char* bytes;
    int cells;  // cells the first character takes
  } cases[] = {{"W", 1}, {"\x82\xa0", 2} /* あ */, {"\x88\x9f", 2} /* 亜 */, {"\xb1", 1} /* ｱ */};
  for (const Case& c : cases) {
    const int x = 3 * cw_;
    const QImage image = Draw([&](TQtSurface& s) { s.TextRun(x, 0, cw_, c.bytes, clBlack, clNone, {}, All()); });
    const QRect ink = InkBox(image, Qt::white);
    ASSERT_FALSE(ink.isEmpty()) << c.bytes;
    EXPECT_GE(ink.left(), x) << c.bytes;
    EXPECT_LT(ink.right(), x + c.cells * cw_) << c.bytes;
    // A double-byte character is centred over both of its cells.
    if (c.cells == 2) {
      EXPECT_LT(ink.left(), x + cw_) << c.bytes;
      EXPECT_GE(ink.right(), x + cw_) << c.bytes;
    }
  }
}

TEST_F(QtSurfaceTest, EveryByteTakesOneCellWhateverTheCellWidth) {
  // With wider cells (the character margin), the third byte starts at 3 cells.
  const int wide = cw_ + 5;
  const QImage image = Draw([&](TQtSurface& s) { s.TextRun(0, 0, wide, "\x82\xa0W", clBlack, clNone, {}, All()); });
  const QRect third = InkBox(image, Qt::white, QRect(2 * wide, 0, wide, 40));
  ASSERT_FALSE(third.isEmpty());
  EXPECT_EQ(InkCount(image, Qt::white, QRect(3 * wide, 0, 200, 40)), 0);
}

TEST_F(QtSurfaceTest, BackgroundFillsTheTextCellsInsideTheClip) {
  const TRect clip{0, 0, 4 * cw_ + 2, 40};
  const QImage image = Draw([&](TQtSurface& s) { s.TextRun(cw_, 2, cw_, "ab  cd", clBlack, clRed, {}, clip); });
  const int h = MetricsFor(font_).height;
  EXPECT_EQ(image.pixelColor(cw_ + 1, 3), QColor(Qt::red));          // inside the text
  EXPECT_EQ(image.pixelColor(3 * cw_ + 1, 2 + h - 1), QColor(Qt::red));  // a blank cell, bottom pixel row
  EXPECT_EQ(image.pixelColor(cw_ - 1, 3), QColor(Qt::white));        // left of the text
  EXPECT_EQ(image.pixelColor(4 * cw_ + 2, 3), QColor(Qt::white));    // right of the clip
  EXPECT_EQ(image.pixelColor(cw_ + 1, 2 + h), QColor(Qt::white));    // below the cell
  EXPECT_EQ(image.pixelColor(cw_ + 1, 1), QColor(Qt::white));        // above the cell
}

TEST_F(QtSurfaceTest, ClipIsHonoured) {
  const TRect clip{2 * cw_, 0, 4 * cw_, 40};
  const QImage image =
      Draw([&](TQtSurface& s) { s.TextRun(0, 0, cw_, "WWWWWW\x82\xa0", clBlack, clNone, {fsUnderline}, clip); });
  const QRect ink = InkBox(image, Qt::white);
  ASSERT_FALSE(ink.isEmpty());
  EXPECT_GE(ink.left(), 2 * cw_);
  EXPECT_LT(ink.right(), 4 * cw_);
  // A double-byte character cut by the clip's left edge still shows its right half.
  const QImage cut = Draw([&](TQtSurface& s) {
    s.TextRun(0, 0, cw_, "\x88\x9f", clBlack, clNone, {}, {cw_, 0, 2 * cw_, 40});  // 亜
  });
  EXPECT_GT(InkCount(cut, Qt::white), 0);
}

TEST_F(QtSurfaceTest, InvalidBytesShowTheSubstitute) {
  for (const char* bytes : {"\x85\x40", "\x82", "\xfd", "\x80"}) {  // unassigned pair, lone lead byte, undefined bytes
    const QImage image = Draw([&](TQtSurface& s) { s.TextRun(cw_, 0, cw_, bytes, clBlack, clNone, {}, All()); });
    EXPECT_GT(InkCount(image, Qt::white), 0) << "nothing drawn for " << bytes;
  }
}

TEST_F(QtSurfaceTest, StylesChangeTheInk) {
  auto ink = [&](TFontStyles style) {
    return Draw([&](TQtSurface& s) { s.TextRun(0, 0, cw_, "Hello", clBlack, clNone, style, All()); });
  };
  const QImage plain = ink({});
  EXPECT_GT(InkCount(ink({fsBold}), Qt::white), InkCount(plain, Qt::white));
  // Underline and strike-out run through the gap between two letters.
  for (TFontStyle style : {fsUnderline, fsStrikeOut}) {
    const QImage lined = ink({style});
    EXPECT_GT(InkCount(lined, Qt::white), InkCount(plain, Qt::white)) << style;
  }
  // Italic leans: the ink moves right at the top.
  const QRect upright = InkBox(ink({}), Qt::white, QRect(0, 0, 240, 6));
  const QRect leaning = InkBox(ink({fsItalic}), Qt::white, QRect(0, 0, 240, 6));
  EXPECT_FALSE(leaning.isEmpty());
  EXPECT_NE(upright, leaning);
}

TEST_F(QtSurfaceTest, AVeryLongRowCostsOnlyItsVisibleCells) {
  for (const std::string& row : {std::string(10'000'000, 'A'), std::string(10'000'000, '\x88')}) {  // 亜亜… pairs
    QElapsedTimer timer;
    timer.start();
    const QImage image = Draw([&](TQtSurface& s) {
      s.TextRun(-4'000'000 * cw_, 0, cw_, row, clBlack, clWhite, {}, {0, 0, 240, 40});
    });
    EXPECT_LT(timer.elapsed(), 500);
    EXPECT_GT(InkCount(image, Qt::white), 0);
  }
}

// Runs on an opaque background are composed from cached cells; every pixel
// must be what blending each glyph where it stands gives, the first time
// (cells drawn) and the second (cells copied), also where a clip cuts a
// character, a character spills out of narrow cells, or the painter is
// moved or scaled.
TEST_F(QtSurfaceTest, CachedCellsPaintTheSamePixelsAsGlyphs) {
  struct Case {
    const char* bytes;
    TColor color, bk;
    TFontStyles style;
    int cellWidth;  // 0: the font's
    TRect clip;
    QTransform transform;
    QImage::Format format;
    const TMappedChars* chars = nullptr;
  };
  TMappedChars chars(true);
  std::string mapped = "a";
  for (char32_t c : {U'\u00E9', U'\U0001F600', U'\U00020B9F', U'\u200D', U'\u00E9'}) {
    const std::uint16_t code = chars.CodeFor(c);
    mapped += {static_cast<char>(code >> 8), static_cast<char>(code & 0xFF)};
  }
  mapped += "b";
  const Case cases[] = {
      // Colours no other test draws in, so that the cells are new to the
      // shared cache whatever ran before.
      {"\x93\xfa\x96\x7b\x8c\xea\x82\xcc\x95\xb6 text 123 \xb1\xb2", 0x00402010, 0x00F4F2F0, {}, 0,
       {0, 0, 10000, 10000}, {}, QImage::Format_RGB32},  // 日本語の文 text 123 ｱｲ
      {"\x93\xfa\x96\x7b\x8c\xea", clRed, clYellow, {fsBold}, 0, {0, 0, 10000, 10000}, {},
       QImage::Format_ARGB32_Premultiplied},
      {"ab\x88\x9f\x88\x9f" "cd", clBlue, clWhite, {fsUnderline}, 0, {11, 0, 37, 40}, {}, QImage::Format_RGB32},  // cut
      {"WWMM\x88\x9f", clBlack, clWhite, {}, 3, {0, 0, 10000, 10000}, {}, QImage::Format_RGB32},  // spills
      {"\x82\xa0\x82\xa2 x", clBlack, clAqua, {}, 0, {0, 0, 10000, 10000}, QTransform::fromTranslate(7, 3),
       QImage::Format_RGB32},  // あい x, moved as a widget in its window is
      {"\x82\xa0\x82\xa2 x", clBlack, clWhite, {}, 0, {0, 0, 10000, 10000}, QTransform::fromScale(2, 2),
       QImage::Format_RGB32},
      // Mapped codes: a letter of the face, an emoji and a CJK character
      // beyond the BMP from fallback fonts, a joiner no font draws.
      {mapped.c_str(), clBlack, 0x00E0F0E8, {}, 0, {0, 0, 10000, 10000}, {}, QImage::Format_RGB32, &chars},
  };
  auto paint = [&](const Case& c, bool cells) {
    TQtSurface::SetGlyphCellsEnabled(cells);
    QImage image(260, 50, c.format);
    image.fill(Qt::white);
    QPainter painter(&image);
    painter.setTransform(c.transform);
    TQtSurface surface(painter, font_, palette_, c.chars);
    surface.TextRun(2, 4, c.cellWidth ? c.cellWidth : cw_, c.bytes, c.color, c.bk, c.style, c.clip);
    return image;
  };
  for (const Case& c : cases) {
    const QImage blended = paint(c, false);
    const std::size_t before = TGlyphCells::Shared().Size();
    EXPECT_EQ(paint(c, true), blended) << c.bytes;
    EXPECT_EQ(paint(c, true), blended) << c.bytes << " (copied)";
    if (c.transform.isIdentity() && c.cellWidth == 0) {
      EXPECT_GT(TGlyphCells::Shared().Size(), before) << c.bytes;
    }
  }
  TQtSurface::SetGlyphCellsEnabled(true);
}

TEST_F(QtSurfaceTest, MappedCharactersAreDrawnAsTheirRealCharactersInTheirCells) {
  // é (a letter some font has), a joiner no font draws, and one code the
  // table did not give (drawn as the private-use character it is).
  TMappedChars chars(true);
  const struct {
    char32_t c;
  } cases[] = {{U'é'}, {U'\u200D'}, {U'\U000E0100'}};
  std::vector<QImage> images;
  for (const auto& c : cases) {
    const std::uint16_t code = chars.CodeFor(c.c);
    const std::string bytes{char(code >> 8), char(code & 0xFF)};
    const int x = 3 * cw_;
    const QImage image =
        Draw([&](TQtSurface& s) { s.TextRun(x, 0, cw_, bytes, clBlack, clNone, {}, All()); }, 240, 40, &chars);
    const QRect ink = InkBox(image, Qt::white);
    ASSERT_FALSE(ink.isEmpty()) << std::hex << unsigned(c.c);
    EXPECT_GE(ink.left(), x);
    EXPECT_LT(ink.right(), x + 2 * cw_);
    images.push_back(image);
  }
  // é differs from what the same code shows without the table.
  const QImage plain = Draw([&](TQtSurface& s) { s.TextRun(3 * cw_, 0, cw_, "\xf9\xfc", clBlack, clNone, {}, All()); });
  EXPECT_NE(images[0], plain);
  EXPECT_NE(images[0], images[1]);
}

TEST_F(QtSurfaceTest, LinesAndRectangles) {
  const QImage image = Draw([&](TQtSurface& s) {
    s.Line(10, 5, 20, 5, clBlack);   // end point excluded
    s.Line(30, 5, 30, 15, clBlue);
    s.Line(40, 20, 40, 20, clBlack);  // a point: nothing
    s.FillRect({50, 0, 60, 10}, clHighlight);
    s.FillRect({70, 0, 80, 10}, clNone);
  });
  EXPECT_EQ(InkBox(image, Qt::white, QRect(0, 0, 25, 10)), QRect(10, 5, 10, 1));
  EXPECT_EQ(InkBox(image, Qt::white, QRect(25, 0, 10, 20)), QRect(30, 5, 1, 10));
  EXPECT_EQ(InkCount(image, Qt::white, QRect(35, 15, 10, 10)), 0);
  EXPECT_EQ(image.pixelColor(55, 5), palette_.color(QPalette::Active, QPalette::Highlight));
  EXPECT_EQ(InkCount(image, Qt::white, QRect(70, 0, 10, 10)), 0);
}

// Colours meant for a white window stay as they are there, and turn light
// where the background is dark; pairs that read keep their colours.
TEST(ReadableOnTest, TextThatWouldVanishIsTurnedOver) {
  const QColor navy(0, 0, 128), green(0, 128, 0), white(255, 255, 255), dark(35, 38, 41);
  struct {
    QColor text, background;
    bool kept;
  } const cases[] = {
      {navy, white, true}, {green, white, true}, {white, navy, true}, {Qt::red, dark, true},
      {navy, dark, false}, {green, dark, false}, {QColor(60, 60, 60), QColor(40, 40, 40), false},
  };
  for (const auto& c : cases) {
    const QColor drawn = ReadableOn(c.text, c.background);
    EXPECT_EQ(drawn == c.text, c.kept) << c.text.name().toStdString() << " on " << c.background.name().toStdString();
    if (!c.kept) {
      EXPECT_EQ(drawn.hslHue(), c.text.hslHue());
      EXPECT_GT(std::abs(drawn.lightness() - c.background.lightness()), 100);
    }
  }
}

}  // namespace
}  // namespace yk
