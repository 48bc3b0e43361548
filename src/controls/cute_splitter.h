// TCuteSplitter: a splitter whose bars carry a "band"; clicking the band
// collapses the pane before the bar to MinSize and a second click restores
// the size it had.
#pragma once

#include <QColor>
#include <QCursor>
#include <QRect>
#include <QSplitter>
#include <QSplitterHandle>

#include <cstdint>
#include <functional>

namespace yk {

enum TCuteBandType { cbtNormal, cbtNetscape, cbtJust, cbtOrangeLED, cbtGreenLED, cbtBlueLED };

// A colour value of the settings' blue-green-red byte order (0x00BBGGRR).
QColor ColorFromBgr(std::uint32_t bgr);

// The band in bar coordinates. bar: the bar's size; orientation: the
// splitter's (Qt::Vertical stacks the panes, so its bars lie across, like a
// bar aligned to the top). The band is centred along the bar, band_width
// long or as long as the bar when that is shorter, and spans the bar's
// thickness.
QRect CuteBandRect(QSize bar, Qt::Orientation orientation, int band_width);

// The arrow colour of a band type, hot (pointer over the band) or not.
QColor CuteArrowColor(TCuteBandType type, bool hot, const QPalette& palette);

class TCuteSplitter;

// One bar of a TCuteSplitter: paints the band, tracks the hot state and
// turns a press and release on the band into a collapse or restore.
class TCuteSplitterHandle : public QSplitterHandle {
  Q_OBJECT

 public:
  TCuteSplitterHandle(Qt::Orientation orientation, TCuteSplitter* parent);

  QRect BandRect() const;
  bool Hot() const { return hot_; }
  // The size of the pane before this bar as it was before the last
  // collapse; -1 while none is remembered.
  int RememberedSize() const { return remembered_; }
  void SetRememberedSize(int size) { remembered_ = size; }

 protected:
  void paintEvent(QPaintEvent* e) override;
  void mousePressEvent(QMouseEvent* e) override;
  void mouseMoveEvent(QMouseEvent* e) override;
  void mouseReleaseEvent(QMouseEvent* e) override;
  void enterEvent(QEnterEvent* e) override;
  void leaveEvent(QEvent* e) override;

 private:
  friend class TCuteSplitter;

  TCuteSplitter* Cute() const;
  int Index() const;
  int Pick(QPoint p) const { return orientation() == Qt::Horizontal ? p.x() : p.y(); }
  void SetHot(bool hot);
  void DragTo(QPoint global);
  void PaintBand(QPainter& p, QRect band) const;
  void PaintArrows(QPainter& p, QRect band, QColor color, bool collapsed) const;
  void PaintGrip(QPainter& p, QRect band, int from, int to, QColor color) const;

  bool hot_ = false;
  QCursor saved_cursor_;
  int remembered_ = -1;
  // A press: where, whether on the band, and whether the bar has moved.
  bool pressed_ = false;
  bool press_on_band_ = false;
  bool dragging_ = false;
  bool moved_ = false;
  QPoint press_pos_;
  int mouse_offset_ = 0;
};

class TCuteSplitter : public QSplitter {
  Q_OBJECT

 public:
  static constexpr int kBarWidth = 7;
  using TMouseNotify = std::function<void(TCuteSplitter& sender, Qt::KeyboardModifiers shift, int x, int y)>;
  using TNotify = std::function<void(TCuteSplitter& sender)>;

  explicit TCuteSplitter(Qt::Orientation orientation, QWidget* parent = nullptr);
  explicit TCuteSplitter(QWidget* parent = nullptr) : TCuteSplitter(Qt::Vertical, parent) {}

  TCuteBandType BandType() const { return band_type_; }
  void SetBandType(TCuteBandType type);
  bool BandVisible() const { return band_visible_; }
  void SetBandVisible(bool on);
  // Length of the band along the bar, 0 to 32767 pixels.
  int BandWidth() const { return band_width_; }
  void SetBandWidth(int width);
  // The smallest size (across the bar) of the pane before each bar, at
  // least 1. It becomes that pane's minimum size, so neither dragging nor
  // the layout takes it further.
  int MinSize() const { return min_size_; }
  void SetMinSize(int size);

  // The size across the bar of the pane before bar index (1 for the first
  // bar), and whether it stands at MinSize.
  int PaneSize(int index = 1) const;
  bool Collapsed(int index = 1) const { return PaneSize(index) == min_size_; }
  // What a click on the band of bar index does: a pane not at MinSize is
  // remembered and collapsed; a collapsed one gets its remembered size back
  // (nothing when no size is remembered).
  void ToggleBand(int index = 1);
  TCuteSplitterHandle* CuteHandle(int index) const;

  // Mouse entering and leaving a bar; x, y in the bar's coordinates.
  TMouseNotify OnMouseEnter;
  TMouseNotify OnMouseLeave;
  // A press and release on a bar without moving it (after the band's
  // collapse or restore when it was on the band).
  TNotify OnClick;
  // The end of a drag that moved a bar.
  TNotify OnMoved;

 protected:
  QSplitterHandle* createHandle() override;
  void childEvent(QChildEvent* e) override;
  void showEvent(QShowEvent* e) override;

 private:
  friend class TCuteSplitterHandle;

  void ApplyMinSize();
  void SetPaneSize(int index, int size);
  void RepaintHandles();

  TCuteBandType band_type_ = cbtNormal;
  bool band_visible_ = true;
  int band_width_ = 118;
  int min_size_ = 30;
};

}  // namespace yk
