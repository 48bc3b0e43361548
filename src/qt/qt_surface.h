// TQtSurface: the core's fixed-cell drawing surface on a QPainter.
#pragma once

#include <QFont>
#include <QImage>
#include <QPainter>
#include <QPalette>
#include <QRawFont>

#include <memory>
#include <string_view>
#include <vector>

#include "platform/mapped_chars.h"
#include "platform/surface.h"

namespace yk {

class TQtFace;

// The text colour drawn on a background: as chosen, unless it would
// barely stand out from it (a contrast under 4.5:1), when its lightness is
// turned over so that it reads on light and dark palettes alike. TextRun
// applies it to fixed colours, not to the palette's own.
QColor ReadableOn(const QColor& text, const QColor& background);

// Draws every byte in a cell cellWidth pixels wide: a half-width character
// centred in one cell, a double-byte character centred in two. Only the
// cells inside the clip rectangle are looked at, so a row of any length
// costs what its visible part costs. Glyphs come from the CP932 glyph
// table, or from the document's table of mapped characters; bytes that
// name no character show the substitute glyph. A character the font lacks
// is drawn in a font that has it, centred in its cells as well; one no
// font draws (a joiner, a variation selector) shows as a small box.
//
// TextRun fills the background of the text's own cells (inside the clip),
// cellHeight pixels high, not the whole clip rectangle.
class TQtSurface : public TSurface {
 public:
  // font is the editor's resolved font; palette resolves system colours;
  // chars: the document's mapped characters (null: none).
  TQtSurface(QPainter& painter, const QFont& font, const QPalette& palette, const TMappedChars* chars = nullptr);
  ~TQtSurface() override;
  TQtSurface(const TQtSurface&) = delete;
  TQtSurface& operator=(const TQtSurface&) = delete;

  void FillRect(const TRect& r, TColor color) override;
  void TextRun(int x, int y, int cellWidth, std::string_view bytes, TColor color, TColor bkColor, TFontStyles style,
               const TRect& clip) override;
  void Line(int x1, int y1, int x2, int y2, TColor color) override;

  // Height of a text cell: the font's height plus its external leading.
  int CellHeight() const { return cell_height_; }

  // Whether runs on an opaque background are composed from cached cells
  // (the default) or every glyph is blended where it stands; both give the
  // same pixels. For tests and benchmarks.
  static void SetGlyphCellsEnabled(bool on) { glyph_cells_enabled_ = on; }

 private:
  struct TVisible {
    std::size_t first = 0;  // first character drawn
    std::size_t end = 0;    // one past the last byte drawn
  };
  static TVisible VisibleBytes(int x, int cellWidth, std::string_view bytes, const TRect& clip);
  // The character one CP932 character stands for in this surface's document.
  char32_t CharAt(std::string_view ch) const;
  void DrawGlyphs(int x, int y, int cellWidth, std::string_view bytes, TVisible range, TQtFace& face);
  struct TFontGlyphs {
    QRawFont font;
    QList<quint32> indexes;
    QList<QPointF> positions;
  };
  void AddElsewhere(char32_t c, qreal cell, qreal width, int baseline, TQtFace& face, std::vector<TFontGlyphs>& others);
  void DrawLines(int x, int y, int cellWidth, TVisible range, TFontStyles style, const TRect& clip);
  QImage::Format CellFormat(TColor bkColor, const TQtFace& face) const;
  bool DrawCells(int x, int y, int cellWidth, std::string_view bytes, TVisible range, TQtFace& face, TColor bkColor);
  const QImage* Cell(TQtFace& face, char16_t c, int cells, int cellWidth, QRgb fg, QRgb bk, QImage::Format format);

  TQtFace& Face(TFontStyles style);

  QPainter& painter_;
  QFont font_;
  std::shared_ptr<TQtFace> faces_[4];  // plain, bold, italic, bold italic: found once per surface
  QPalette palette_;
  const TMappedChars* chars_;
  int cell_height_ = 0;
  QImage strip_;                     // a run composed from cells
  std::vector<std::size_t> direct_;  // characters of the run drawn over it
  static bool glyph_cells_enabled_;
};

}  // namespace yk
