// Fixed-cell text on a QPainter: glyph indexes from a per-font cache, one
// glyph run per call, and only the cells the clip rectangle shows.
#include "qt/qt_surface.h"

#include <QFontMetrics>
#include <QGlyphRun>
#include <QPaintEngine>
#include <QRawFont>
#include <QTextLayout>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <map>
#include <memory>
#include <unordered_map>
#include <vector>

#include "platform/cp932_codec.h"
#include "platform/mapped_chars.h"
#include "qt/glyph_cells.h"
#include "qt/qt_graphics.h"
#include "text/cp932.h"

namespace yk {

// One face of the editor font (plain, bold, italic or both) with its glyph
// indexes and advances, filled as characters are first drawn. Faces live as
// long as the program, shared by every surface that draws in the same font.
class TQtFace {
 public:
  explicit TQtFace(const QFont& font) : font_(font), raw_(QRawFont::fromFont(font)) {
    const QFontMetrics fm(font);
    ascent_ = fm.ascent();
    // A face the font does not have is drawn by hand: bold twice, italic sheared.
    synthetic_bold_ = font.bold() && raw_.isValid() && raw_.weight() < QFont::DemiBold;
    synthetic_italic_ = font.italic() && raw_.isValid() && raw_.style() == QFont::StyleNormal;
  }

  static std::shared_ptr<TQtFace> For(const QFont& base, TFontStyles style) {
    static std::map<QString, std::shared_ptr<TQtFace>> faces;
    QFont font = base;
    font.setBold(style.Contains(fsBold));
    font.setItalic(style.Contains(fsItalic));
    font.setUnderline(false);
    font.setStrikeOut(false);
    const QString key = font.key() + QString::number(font.pixelSize());
    auto it = faces.find(key);
    if (it == faces.end()) {
      if (faces.size() > 64) faces.clear();  // fonts tried one after another
      it = faces.emplace(key, std::make_shared<TQtFace>(font)).first;
    }
    return it->second;
  }

  // The glyph index of c in the raw font; 0 when the font lacks it.
  quint32 Index(char16_t c) {
    Load(c);
    return indexes_[c];
  }
  qreal Advance(char16_t c) {
    Load(c);
    return advances_[c];
  }

  // A character the raw font lacks (or one beyond the BMP) as the glyph
  // runs of the fonts Qt falls back to, laid out once: positions are from
  // the start of the baseline; width is the advance (0: nothing to see).
  struct TElsewhere {
    QList<QGlyphRun> runs;
    qreal width = 0;
  };
  const TElsewhere& Elsewhere(char32_t c) {
    auto it = elsewhere_.find(c);
    if (it != elsewhere_.end()) return it->second;
    if (elsewhere_.size() > 4096) elsewhere_.clear();  // a table's worth, and more
    TElsewhere e;
    QTextLayout layout(QString::fromUcs4(&c, 1), font_);
    layout.beginLayout();
    QTextLine line = layout.createLine();
    layout.endLayout();
    if (line.isValid()) {
      for (QGlyphRun run : layout.glyphRuns()) {
        QList<QPointF> positions = run.positions();
        for (QPointF& p : positions) p.ry() -= line.ascent();
        run.setPositions(positions);
        // Joiners and selectors come as glyphs with no outline.
        if (!run.boundingRect().isEmpty()) e.runs.append(run);
      }
      if (!e.runs.isEmpty()) e.width = line.naturalTextWidth();
    }
    return elsewhere_.emplace(c, std::move(e)).first->second;
  }

  const QFont& Font() const { return font_; }
  const QRawFont& Raw() const { return raw_; }
  // Names this face in the cache of drawn cells, which outlives it.
  std::uint64_t Serial() const { return serial_; }
  int Ascent() const { return ascent_; }
  bool SyntheticBold() const { return synthetic_bold_; }
  bool SyntheticItalic() const { return synthetic_italic_; }

 private:
  static constexpr quint32 kUnknown = 0xFFFFFFFF;

  void Load(char16_t c) {
    if (indexes_.empty()) {
      indexes_.assign(0x10000, kUnknown);
      advances_.assign(0x10000, 0);
    }
    if (indexes_[c] != kUnknown) return;
    quint32 index = 0;
    int count = 1;
    const QChar ch(c);
    if (!raw_.isValid() || !raw_.glyphIndexesForChars(&ch, 1, &index, &count) || count != 1) index = 0;
    indexes_[c] = index;
    if (index != 0) {
      const QList<QPointF> advance = raw_.advancesForGlyphIndexes(QList<quint32>{index});
      advances_[c] = advance.isEmpty() ? 0 : advance.front().x();
    } else {
      advances_[c] = QFontMetricsF(font_).horizontalAdvance(ch);
    }
  }

  static std::uint64_t NextSerial() {
    static std::uint64_t next = 0;
    return ++next;
  }

  QFont font_;
  QRawFont raw_;
  std::uint64_t serial_ = NextSerial();
  int ascent_ = 0;
  bool synthetic_bold_ = false;
  bool synthetic_italic_ = false;
  std::vector<quint32> indexes_;
  std::vector<qreal> advances_;
  std::unordered_map<char32_t, TElsewhere> elsewhere_;
};

TQtSurface::TQtSurface(QPainter& painter, const QFont& font, const QPalette& palette, const TMappedChars* chars)
    : painter_(painter), font_(font), palette_(palette), chars_(chars && !chars->Plain() ? chars : nullptr) {
  const TFontMetrics m = MetricsFor(font);
  cell_height_ = m.height + m.externalLeading;
  // One saved state for the whole surface: each call only replaces the clip.
  painter_.save();
  painter_.setRenderHint(QPainter::Antialiasing, false);
}

TQtSurface::~TQtSurface() { painter_.restore(); }

TQtFace& TQtSurface::Face(TFontStyles style) {
  const int index = (style.Contains(fsBold) ? 1 : 0) + (style.Contains(fsItalic) ? 2 : 0);
  if (!faces_[index]) faces_[index] = TQtFace::For(font_, style);
  return *faces_[index];
}

void TQtSurface::FillRect(const TRect& r, TColor color) {
  if (color == clNone || r.Empty()) return;
  painter_.fillRect(QRect(r.left, r.top, r.Width(), r.Height()), ToQColor(color, palette_));
}

namespace {

// Floor division, for cells left of x.
int FloorDiv(int a, int b) { return a >= 0 ? a / b : -((-a + b - 1) / b); }

// Relative luminance as the accessibility guidelines define it.
double Luminance(const QColor& c) {
  const auto channel = [](double v) { return v <= 0.03928 ? v / 12.92 : std::pow((v + 0.055) / 1.055, 2.4); };
  return 0.2126 * channel(c.redF()) + 0.7152 * channel(c.greenF()) + 0.0722 * channel(c.blueF());
}

double Contrast(const QColor& a, const QColor& b) {
  const double la = Luminance(a), lb = Luminance(b);
  return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

}  // namespace

// Colours chosen for a light window (navy links, green mail addresses)
// vanish on a dark palette's background: text that would barely stand out
// from its background is drawn with its lightness turned over (a light
// blue for navy), which keeps its hue. Readable pairs stay as chosen.
QColor ReadableOn(const QColor& text, const QColor& background) {
  constexpr double kReadable = 4.5;
  if (Contrast(text, background) >= kReadable) return text;
  const QColor hsl = text.toHsl();
  const QColor turned = QColor::fromHsl(hsl.hslHue(), hsl.hslSaturation(), 255 - hsl.lightness());
  return Contrast(turned, background) > Contrast(text, background) ? turned : text;
}

TQtSurface::TVisible TQtSurface::VisibleBytes(int x, int cellWidth, std::string_view bytes, const TRect& clip) {
  const long long n = static_cast<long long>(bytes.size());
  // One cell of slack on the left, so a double-byte character cut by the
  // clip edge is still drawn (and clipped).
  const long long first = std::clamp<long long>(FloorDiv(clip.left - x, cellWidth) - 1, 0, n);
  const long long end = std::clamp<long long>(FloorDiv(clip.right - x + cellWidth - 1, cellWidth) + 1, 0, n);
  if (first >= end) return {0, 0};
  return {cp932::CharStart(bytes, static_cast<std::size_t>(first)), static_cast<std::size_t>(end)};
}

void TQtSurface::TextRun(int x, int y, int cellWidth, std::string_view bytes, TColor color, TColor bkColor,
                         TFontStyles style, const TRect& clip) {
  if (cellWidth <= 0 || clip.Empty() || bytes.empty()) return;
  const long long right = x + static_cast<long long>(bytes.size()) * cellWidth;
  const TRect cells{std::max(x, clip.left), std::max(y, clip.top),
                    static_cast<int>(std::min<long long>(right, clip.right)), std::min(y + cell_height_, clip.bottom)};
  if (cells.Empty()) return;
  const TVisible range = VisibleBytes(x, cellWidth, bytes, clip);
  if (range.first >= range.end) return;
  painter_.setClipRect(QRect(clip.left, clip.top, clip.Width(), clip.Height()));
  // The desktop's own colours are its choice; fixed ones may not suit its palette.
  const QColor pen = ToQColor(color, palette_);
  const QColor back = ToQColor(bkColor == clNone ? clWindow : bkColor, palette_);
  painter_.setPen(IsSystemColor(color) ? pen : ReadableOn(pen, back));
  TQtFace& face = Face(style);
  if (!DrawCells(x, y, cellWidth, bytes, range, face, bkColor)) {
    if (bkColor != clNone) FillRect(cells, bkColor);
    DrawGlyphs(x, y, cellWidth, bytes, range, face);
  }
  DrawLines(x, y, cellWidth, range, style, cells);
  painter_.setClipping(false);
}

char32_t TQtSurface::CharAt(std::string_view ch) const {
  return chars_ ? cp932::CharOf(ch, chars_) : cp932::Glyph(ch);
}

bool TQtSurface::glyph_cells_enabled_ = true;

// Cells can be copied where the painter draws straight into a 32-bit image
// at whole pixels, so that a copied cell holds exactly the pixels drawing
// the glyph there would give: the background must be opaque and the face
// one the font really has (a made-up bold or italic overdraws its cells).
QImage::Format TQtSurface::CellFormat(TColor bkColor, const TQtFace& face) const {
  if (!glyph_cells_enabled_ || bkColor == clNone || face.SyntheticBold() || face.SyntheticItalic())
    return QImage::Format_Invalid;
  if (ToQColor(bkColor, palette_).alpha() != 255) return QImage::Format_Invalid;
  QPaintEngine* engine = painter_.paintEngine();
  if (!engine || engine->type() != QPaintEngine::Raster || !engine->paintDevice() ||
      engine->paintDevice()->devType() != QInternal::Image)
    return QImage::Format_Invalid;
  const auto* image = static_cast<const QImage*>(engine->paintDevice());
  const QTransform t = painter_.deviceTransform();
  const bool wholePixels = t.type() <= QTransform::TxTranslate && t.dx() == std::floor(t.dx()) &&
                           t.dy() == std::floor(t.dy());
  if (!wholePixels || image->devicePixelRatio() != 1.0 || painter_.opacity() != 1.0 ||
      painter_.compositionMode() != QPainter::CompositionMode_SourceOver)
    return QImage::Format_Invalid;
  const QImage::Format f = image->format();
  return f == QImage::Format_RGB32 || f == QImage::Format_ARGB32_Premultiplied ? f : QImage::Format_Invalid;
}

// The run as copies of drawn cells on its background, composed into one
// image and drawn at once; characters that reach out of their cells (or
// come from another font) are drawn over it as before. False when cells
// cannot be used here.
bool TQtSurface::DrawCells(int x, int y, int cellWidth, std::string_view bytes, TVisible range, TQtFace& face,
                           TColor bkColor) {
  const QImage::Format format = CellFormat(bkColor, face);
  if (format == QImage::Format_Invalid) return false;
  std::size_t end = range.first;
  while (end < range.end) end = cp932::NextChar(bytes, end);  // the last character whole
  const int width = static_cast<int>(end - range.first) * cellWidth;
  if (strip_.format() != format || strip_.width() < width || strip_.height() != cell_height_)
    strip_ = QImage(std::max(width, strip_.width()), cell_height_, format);
  const QRgb fg = painter_.pen().color().rgba(), bk = ToQColor(bkColor, palette_).rgba();
  direct_.clear();
  uchar* const stripBits = strip_.bits();
  const qsizetype stripLine = strip_.bytesPerLine();
  for (std::size_t i = range.first; i < end; i = cp932::NextChar(bytes, i)) {
    const std::size_t length = cp932::CharLength(bytes, i);
    const unsigned char b = static_cast<unsigned char>(bytes[i]);
    uchar* to = stripBits + (i - range.first) * cellWidth * sizeof(QRgb);
    const int pixels = static_cast<int>(length) * cellWidth;
    // Blanks and control codes show nothing: only their background. Cells
    // are shared by every document, so they are found by the character
    // itself, never by its code, which means another character in another
    // document's table. What the face lacks comes from other fonts, drawn
    // over the strip as glyphs.
    const bool blank = length == 1 && (b <= 0x20 || b == 0x7F);
    const char32_t c = blank ? 0 : CharAt(bytes.substr(i, length));
    const bool inFace = c != 0 && c < 0x10000 && face.Index(static_cast<char16_t>(c)) != 0;
    const QImage* cell =
        inFace ? Cell(face, static_cast<char16_t>(c), static_cast<int>(length), cellWidth, fg, bk, format) : nullptr;
    if (!cell) {
      for (int line = 0; line < cell_height_; ++line) std::fill_n(reinterpret_cast<QRgb*>(to + line * stripLine), pixels, bk);
      if (!blank) direct_.push_back(i);
      continue;
    }
    const uchar* from = cell->constBits();
    const qsizetype cellLine = cell->bytesPerLine();
    for (int line = 0; line < cell_height_; ++line, to += stripLine, from += cellLine)
      std::memcpy(to, from, static_cast<std::size_t>(pixels) * sizeof(QRgb));
  }
  painter_.drawImage(QPoint(x + static_cast<int>(range.first) * cellWidth, y), strip_, QRect(0, 0, width, cell_height_));
  for (std::size_t i : direct_) DrawGlyphs(x, y, cellWidth, bytes, {i, cp932::NextChar(bytes, i)}, face);
  return true;
}

// The cell of one character, drawn as DrawGlyphs would draw it at a cell
// that starts on a whole pixel.
const QImage* TQtSurface::Cell(TQtFace& face, char16_t c, int cells, int cellWidth, QRgb fg, QRgb bk,
                               QImage::Format format) {
  const TGlyphCells::TKey key{face.Serial(), c, fg, bk, cells, cellWidth, cell_height_, format};
  bool known = false;
  if (const QImage* cell = TGlyphCells::Shared().Find(key, known); known) return cell;
  const int margin = cellWidth;
  QImage padded(cells * cellWidth + 2 * margin, cell_height_ + 2 * margin, format);
  padded.fill(bk);
  {
    QPainter painter(&padded);
    painter.setPen(QColor::fromRgba(fg));
    QGlyphRun run;
    run.setRawFont(face.Raw());
    run.setGlyphIndexes({face.Index(c)});
    run.setPositions({QPointF(margin + (static_cast<qreal>(cells * cellWidth) - face.Advance(c)) / 2,
                              margin + face.Ascent())});
    painter.drawGlyphRun(QPointF(0, 0), run);
  }
  return TGlyphCells::Shared().Add(key, padded, margin);
}

void TQtSurface::DrawGlyphs(int x, int y, int cellWidth, std::string_view bytes, TVisible range, TQtFace& face) {
  QList<quint32> indexes;
  QList<QPointF> positions;
  std::vector<TFontGlyphs> others;  // characters the face lacks, by the font that has them
  const int baseline = y + face.Ascent();
  for (std::size_t i = range.first; i < range.end; i = cp932::NextChar(bytes, i)) {
    const std::size_t length = cp932::CharLength(bytes, i);
    const unsigned char b = static_cast<unsigned char>(bytes[i]);
    if (length == 1 && (b <= 0x20 || b == 0x7F)) continue;  // blanks and control codes show nothing
    const std::string_view ch = bytes.substr(i, length);
    const char32_t c = CharAt(ch);
    const qreal cell = x + static_cast<qreal>(i) * cellWidth;
    const qreal width = static_cast<qreal>(length * cellWidth);
    if (const quint32 index = c < 0x10000 ? face.Index(static_cast<char16_t>(c)) : 0; index != 0) {
      indexes.append(index);
      positions.append(QPointF(cell + (width - face.Advance(static_cast<char16_t>(c))) / 2, baseline));
    } else {
      AddElsewhere(c, cell, width, baseline, face, others);
    }
  }
  for (const TFontGlyphs& g : others) {
    QGlyphRun run;
    run.setRawFont(g.font);
    run.setGlyphIndexes(g.indexes);
    run.setPositions(g.positions);
    painter_.drawGlyphRun(QPointF(0, 0), run);
  }
  if (indexes.isEmpty()) return;
  QGlyphRun run;
  run.setRawFont(face.Raw());
  run.setGlyphIndexes(indexes);
  run.setPositions(positions);
  const QTransform saved = painter_.transform();
  if (face.SyntheticItalic()) {
    painter_.translate(0, baseline);
    painter_.shear(-0.2, 0);
    painter_.translate(0, -baseline);
  }
  painter_.drawGlyphRun(QPointF(0, 0), run);
  if (face.SyntheticBold()) painter_.drawGlyphRun(QPointF(1, 0), run);
  painter_.setTransform(saved);
}

// A character the editor font lacks: the glyphs of the font Qt falls back
// to, centred in its cells, joined to others of that font so that a row
// costs one call per font; one that no font draws (joiners, variation
// selectors and the like, which are text all the same) as a small box.
void TQtSurface::AddElsewhere(char32_t c, qreal cell, qreal width, int baseline, TQtFace& face,
                              std::vector<TFontGlyphs>& others) {
  const TQtFace::TElsewhere& e = face.Elsewhere(c);
  if (e.runs.isEmpty()) {
    const qreal h = std::max(3, face.Ascent() / 2);
    painter_.setBrush(Qt::NoBrush);
    painter_.drawRect(QRectF(cell + width / 4, baseline - h, width / 2 - 1, h - 1));
    return;
  }
  const QPointF at(cell + (width - e.width) / 2, baseline);
  for (const QGlyphRun& run : e.runs) {
    auto g = std::find_if(others.begin(), others.end(), [&](const TFontGlyphs& f) { return f.font == run.rawFont(); });
    if (g == others.end()) g = others.insert(others.end(), {run.rawFont(), {}, {}});
    g->indexes.append(run.glyphIndexes());
    for (const QPointF& p : run.positions()) g->positions.append(p + at);
  }
}

void TQtSurface::DrawLines(int x, int y, int cellWidth, TVisible range, TFontStyles style, const TRect& clip) {
  if (!style.Contains(fsUnderline) && !style.Contains(fsStrikeOut)) return;
  const QFontMetrics fm(font_);
  const int left = std::max<long long>(clip.left, x + static_cast<long long>(range.first) * cellWidth);
  const int right = std::min<long long>(clip.right, x + static_cast<long long>(range.end) * cellWidth);
  const int thickness = std::max(1, fm.lineWidth());
  const int baseline = y + fm.ascent();
  if (style.Contains(fsUnderline))
    painter_.fillRect(QRect(left, baseline + fm.underlinePos(), right - left, thickness), painter_.pen().color());
  if (style.Contains(fsStrikeOut))
    painter_.fillRect(QRect(left, baseline - fm.strikeOutPos(), right - left, thickness), painter_.pen().color());
}

void TQtSurface::Line(int x1, int y1, int x2, int y2, TColor color) {
  if (color == clNone || (x1 == x2 && y1 == y2)) return;
  // The end point is not drawn: step back one pixel along the major axis
  // (both axes for a diagonal).
  const int dx = x2 - x1, dy = y2 - y1;
  const int ax = std::abs(dx), ay = std::abs(dy);
  const int ex = ax >= ay ? x2 - (dx > 0 ? 1 : -1) : x2;
  const int ey = ay >= ax ? y2 - (dy > 0 ? 1 : -1) : y2;
  painter_.setPen(QPen(ToQColor(color, palette_), 0));
  painter_.drawLine(x1, y1, ex, ey);
}

}  // namespace yk
