// The colour grid: four rows of four cells, "FG" and "BG" marking the
// chosen text and background cells.
#include "dialogs/color_grid.h"

#include <QMouseEvent>
#include <QPainter>

#include "dialogs/style_dialog_logic.h"
#include "qt/qt_graphics.h"

namespace yk {

namespace {

constexpr int kColumns = 4;
constexpr int kCell = 22;
constexpr int kGap = 2;

}  // namespace

TColorGrid::TColorGrid(QWidget* parent) : QWidget(parent) {
  setFocusPolicy(Qt::NoFocus);
  setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
}

TColor TColorGrid::ForegroundColor() const {
  return fg_ < 0 ? clBlack : ColorGridPalette()[static_cast<std::size_t>(fg_)];
}

TColor TColorGrid::BackgroundColor() const {
  return bg_ < 0 ? clWhite : ColorGridPalette()[static_cast<std::size_t>(bg_)];
}

void TColorGrid::ShowColors(TColor foreground, TColor background) {
  fg_ = ColorGridCellOr(foreground, 0);
  bg_ = ColorGridCellOr(background, kColorGridCells - 1);
  update();
}

void TColorGrid::Clear() {
  fg_ = bg_ = -1;
  update();
}

void TColorGrid::SetForegroundEnabled(bool on) {
  fg_enabled_ = on;
  update();
}

void TColorGrid::SetBackgroundEnabled(bool on) {
  bg_enabled_ = on;
  update();
}

QRect TColorGrid::CellRect(int index) const {
  const int col = index % kColumns, row = index / kColumns;
  return {kGap + col * (kCell + kGap), kGap + row * (kCell + kGap), kCell, kCell};
}

QSize TColorGrid::sizeHint() const {
  const int side = kGap + kColumns * (kCell + kGap);
  return {side, side};
}

int TColorGrid::CellAt(QPoint p) const {
  for (int i = 0; i < kColorGridCells; ++i)
    if (CellRect(i).contains(p)) return i;
  return -1;
}

void TColorGrid::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  const bool on = isEnabled();
  for (int i = 0; i < kColorGridCells; ++i) {
    const QRect r = CellRect(i);
    QColor c = ToQColor(ColorGridPalette()[static_cast<std::size_t>(i)]);
    if (!on) c = QColor::fromHsv(c.hsvHue(), c.hsvSaturation() / 3, 160 + c.value() / 4);
    painter.fillRect(r, c);
    painter.setPen(palette().color(QPalette::Mid));
    painter.drawRect(r.adjusted(0, 0, -1, -1));
  }
  if (!on) return;
  // One cell may be both: the marks share it.
  if (fg_ >= 0 && fg_ == bg_ && bg_enabled_) {
    PaintMark(painter, fg_, QStringLiteral("FB"));
    return;
  }
  if (fg_ >= 0) PaintMark(painter, fg_, QStringLiteral("FG"));
  if (bg_ >= 0 && bg_enabled_) PaintMark(painter, bg_, QStringLiteral("BG"));
}

void TColorGrid::PaintMark(QPainter& painter, int index, const QString& text) const {
  const QRect r = CellRect(index);
  const QColor cell = ToQColor(ColorGridPalette()[static_cast<std::size_t>(index)]);
  // Dark ink on light cells and light ink on dark ones keeps the mark legible.
  painter.setPen(cell.lightness() > 128 ? Qt::black : Qt::white);
  QFont f = font();
  f.setPixelSize(9);
  painter.setFont(f);
  painter.drawText(r, Qt::AlignCenter, text);
  painter.drawRect(r.adjusted(1, 1, -2, -2));
}

void TColorGrid::mousePressEvent(QMouseEvent* e) {
  const int cell = CellAt(e->position().toPoint());
  pressed_ = true;
  if (cell < 0) return;
  if (e->button() == Qt::LeftButton && fg_enabled_) fg_ = cell;
  if (e->button() == Qt::RightButton && bg_enabled_) bg_ = cell;
  update();
}

void TColorGrid::mouseReleaseEvent(QMouseEvent*) {
  if (!pressed_) return;
  pressed_ = false;
  emit colorsChosen();
}

}  // namespace yk
