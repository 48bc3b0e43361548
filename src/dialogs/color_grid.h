// TColorGrid: sixteen colour cells; the primary mouse button picks the text
// colour and the secondary button the background colour.
#pragma once

#include <QWidget>

#include "text/graphics_types.h"

namespace yk {

class TColorGrid : public QWidget {
  Q_OBJECT

 public:
  explicit TColorGrid(QWidget* parent = nullptr);

  // The chosen cells, -1 when none is chosen (a cleared grid).
  int ForegroundIndex() const { return fg_; }
  int BackgroundIndex() const { return bg_; }
  // The colours of the chosen cells (black and white for a cleared grid).
  TColor ForegroundColor() const;
  TColor BackgroundColor() const;
  // Marks the cells of two colours; one the grid does not offer marks cell
  // 0 (black) for the text and cell 15 (white) for the background.
  void ShowColors(TColor foreground, TColor background);
  // Marks no cell.
  void Clear();

  // Whether a button may change its choice; a disabled background choice
  // is not marked either.
  bool ForegroundEnabled() const { return fg_enabled_; }
  void SetForegroundEnabled(bool on);
  bool BackgroundEnabled() const { return bg_enabled_; }
  void SetBackgroundEnabled(bool on);

  // Where a cell is drawn, in the grid's coordinates.
  QRect CellRect(int index) const;
  QSize sizeHint() const override;
  QSize minimumSizeHint() const override { return sizeHint(); }

 signals:
  // The mouse was released after a press on the grid: the owner writes
  // both chosen colours.
  void colorsChosen();

 protected:
  void paintEvent(QPaintEvent* e) override;
  void mousePressEvent(QMouseEvent* e) override;
  void mouseReleaseEvent(QMouseEvent* e) override;

 private:
  int CellAt(QPoint p) const;
  void PaintMark(class QPainter& painter, int index, const QString& text) const;

  int fg_ = -1;
  int bg_ = -1;
  bool fg_enabled_ = true;
  bool bg_enabled_ = true;
  bool pressed_ = false;
};

}  // namespace yk
