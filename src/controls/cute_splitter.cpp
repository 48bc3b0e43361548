// The collapsible splitter: band geometry, painting and the band click.
#include "controls/cute_splitter.h"

#include <QApplication>
#include <QChildEvent>
#include <QEnterEvent>
#include <QMouseEvent>
#include <QPainter>

#include <algorithm>
#include <vector>

namespace yk {

namespace {

// Colours of the cbtNetscape band (blue-green-red values).
constexpr std::uint32_t kNetscapeHotFill = 0xFFC8CF;
constexpr std::uint32_t kNetscapeInk = 0x60302F;

// Pixels along the band from its end to the centre of the first and the
// second arrow, and the band lengths from which they appear.
constexpr int kFirstArrow = 5;
constexpr int kSecondArrow = 11;
constexpr int kOneArrowLength = 13;
constexpr int kTwoArrowsLength = 24;

// Draws in band coordinates: along the bar and across it.
class TBandPen {
 public:
  TBandPen(QPainter& p, QRect band, Qt::Orientation orientation)
      : p_(p), band_(band), across_bar_(orientation == Qt::Vertical) {}
  int Length() const { return across_bar_ ? band_.width() : band_.height(); }
  int Thickness() const { return across_bar_ ? band_.height() : band_.width(); }
  void Fill(int along, int across, int length, int thickness, QColor color) {
    if (length <= 0 || thickness <= 0) return;
    if (across_bar_)
      p_.fillRect(QRect(band_.x() + along, band_.y() + across, length, thickness), color);
    else
      p_.fillRect(QRect(band_.x() + across, band_.y() + along, thickness, length), color);
  }

 private:
  QPainter& p_;
  QRect band_;
  bool across_bar_;
};

}  // namespace

QColor ColorFromBgr(std::uint32_t bgr) {
  return QColor(static_cast<int>(bgr & 0xFF), static_cast<int>((bgr >> 8) & 0xFF), static_cast<int>((bgr >> 16) & 0xFF));
}

QRect CuteBandRect(QSize bar, Qt::Orientation orientation, int band_width) {
  band_width = std::max(band_width, 0);
  if (orientation == Qt::Vertical) {  // a bar lying across: the band runs along x
    const int w = std::min(band_width, bar.width());
    return QRect((bar.width() - w) / 2, 0, w, bar.height());
  }
  const int h = std::min(band_width, bar.height());
  return QRect(0, (bar.height() - h) / 2, bar.width(), h);
}

QColor CuteArrowColor(TCuteBandType type, bool hot, const QPalette& palette) {
  switch (type) {
    case cbtNormal: return palette.color(hot ? QPalette::Highlight : QPalette::ButtonText);
    case cbtNetscape: return ColorFromBgr(kNetscapeInk);
    case cbtJust: return palette.color(QPalette::Dark);
    case cbtOrangeLED: return ColorFromBgr(hot ? 0x4080FF : 0x06679B);
    case cbtGreenLED: return ColorFromBgr(hot ? 0x00FF00 : 0x008000);
    case cbtBlueLED: return ColorFromBgr(hot ? 0xFFFF00 : 0x800000);
  }
  return palette.color(QPalette::ButtonText);
}

// --- TCuteSplitterHandle --------------------------------------------------------

TCuteSplitterHandle::TCuteSplitterHandle(Qt::Orientation orientation, TCuteSplitter* parent)
    : QSplitterHandle(orientation, parent) {
  setMouseTracking(true);
}

TCuteSplitter* TCuteSplitterHandle::Cute() const { return static_cast<TCuteSplitter*>(splitter()); }

int TCuteSplitterHandle::Index() const { return splitter()->indexOf(const_cast<TCuteSplitterHandle*>(this)); }

QRect TCuteSplitterHandle::BandRect() const { return CuteBandRect(size(), orientation(), Cute()->BandWidth()); }

void TCuteSplitterHandle::SetHot(bool hot) {
  if (hot == hot_) return;
  hot_ = hot;
  // Over the band the pointer is an arrow: a click there is a button, not
  // the start of a drag.
  if (hot) {
    saved_cursor_ = cursor();
    setCursor(Qt::ArrowCursor);
  } else {
    setCursor(saved_cursor_);
  }
  update();
}

void TCuteSplitterHandle::mousePressEvent(QMouseEvent* e) {
  if (e->button() != Qt::LeftButton) return;
  pressed_ = true;
  moved_ = false;
  press_pos_ = e->position().toPoint();
  press_on_band_ = Cute()->BandVisible() && BandRect().contains(press_pos_);
  // A press on the band may still become a drag, but only once the pointer
  // has really moved; elsewhere the bar follows at once.
  dragging_ = !press_on_band_;
  mouse_offset_ = Pick(press_pos_);
}

void TCuteSplitterHandle::mouseMoveEvent(QMouseEvent* e) {
  const QPoint pos = e->position().toPoint();
  if (!pressed_) {
    SetHot(Cute()->BandVisible() && BandRect().contains(pos));
    return;
  }
  if (!dragging_) {
    if ((pos - press_pos_).manhattanLength() < QApplication::startDragDistance()) return;
    dragging_ = true;
  }
  DragTo(e->globalPosition().toPoint());
}

void TCuteSplitterHandle::DragTo(QPoint global) {
  TCuteSplitter* s = Cute();
  s->ApplyMinSize();
  int pos = Pick(s->mapFromGlobal(global)) - mouse_offset_;
  if (QWidget* pane = s->widget(Index() - 1)) pos = std::max(pos, Pick(pane->geometry().topLeft()) + s->MinSize());
  moveSplitter(pos);
  moved_ = true;
}

void TCuteSplitterHandle::mouseReleaseEvent(QMouseEvent* e) {
  if (e->button() != Qt::LeftButton || !pressed_) return;
  pressed_ = false;
  TCuteSplitter* s = Cute();
  if (moved_) {
    // A pane dragged to exactly MinSize simply stays there; the remembered
    // size is the one of the last collapse.
    if (s->OnMoved) s->OnMoved(*s);
    return;
  }
  if (press_on_band_ && s->BandVisible() && BandRect().contains(e->position().toPoint())) s->ToggleBand(Index());
  if (s->OnClick) s->OnClick(*s);
}

void TCuteSplitterHandle::enterEvent(QEnterEvent* e) {
  TCuteSplitter* s = Cute();
  if (s->OnMouseEnter) {
    const QPoint p = e->position().toPoint();
    s->OnMouseEnter(*s, QGuiApplication::keyboardModifiers(), p.x(), p.y());
  }
}

void TCuteSplitterHandle::leaveEvent(QEvent*) {
  SetHot(false);
  TCuteSplitter* s = Cute();
  if (s->OnMouseLeave) {
    const QPoint p = mapFromGlobal(QCursor::pos());
    s->OnMouseLeave(*s, QGuiApplication::keyboardModifiers(), p.x(), p.y());
  }
}

void TCuteSplitterHandle::paintEvent(QPaintEvent*) {
  QPainter p(this);
  p.fillRect(rect(), palette().color(QPalette::Button));
  if (!Cute()->BandVisible()) return;
  const QRect band = BandRect().intersected(rect());
  if (band.width() > 0 && band.height() > 0) PaintBand(p, band);
}

void TCuteSplitterHandle::PaintBand(QPainter& p, QRect band) const {
  const TCuteBandType type = Cute()->BandType();
  const QPalette& pal = palette();
  // Outline, then a raised frame inside it, then the face.
  p.fillRect(band, pal.color(QPalette::Shadow));
  const QRect frame = band.adjusted(1, 1, -1, -1);
  p.fillRect(frame, pal.color(QPalette::Dark));
  p.fillRect(frame.adjusted(0, 0, -1, -1), pal.color(QPalette::Light));
  const QRect inner = band.adjusted(2, 2, -2, -2);
  const bool netscape_hot = type == cbtNetscape && hot_;
  p.fillRect(inner, netscape_hot ? ColorFromBgr(kNetscapeHotFill) : pal.color(QPalette::Button));

  const QColor arrow = CuteArrowColor(type, hot_, pal);
  const int index = Index();
  const bool collapsed = Cute()->widget(index - 1) && Cute()->Collapsed(index);
  PaintArrows(p, band, arrow, collapsed);
  TBandPen pen(p, band, orientation());
  const int length = pen.Length();
  const int margin = length > kTwoArrowsLength ? kSecondArrow + 4 : length > kOneArrowLength ? kFirstArrow + 4 : 3;
  PaintGrip(p, band, margin, length - margin, arrow);
}

// Small triangles pointing where a click would move the bar: towards the
// pane before it while that pane is open, away from it while collapsed.
void TCuteSplitterHandle::PaintArrows(QPainter& p, QRect band, QColor color, bool collapsed) const {
  TBandPen pen(p, band, orientation());
  const int length = pen.Length();
  if (length <= kOneArrowLength) return;
  std::vector<int> centres = {kFirstArrow, length - 1 - kFirstArrow};
  if (length > kTwoArrowsLength) {
    centres.push_back(kSecondArrow);
    centres.push_back(length - 1 - kSecondArrow);
  }
  const int middle = pen.Thickness() / 2;
  for (const int c : centres) {
    for (int row = 0; row < 3; ++row) {
      const int across = collapsed ? middle + 1 - row : middle - 1 + row;
      pen.Fill(c - row, across, 2 * row + 1, 1, color);
    }
  }
}

// The grip between the arrows; each band type has a look of its own.
void TCuteSplitterHandle::PaintGrip(QPainter& p, QRect band, int from, int to, QColor color) const {
  TBandPen pen(p, band, orientation());
  const int thick = pen.Thickness() - 4;
  const int middle = pen.Thickness() / 2;
  switch (Cute()->BandType()) {
    case cbtNormal:
      for (int a = from; a < to; a += 2) pen.Fill(a, middle, 1, 1, color);
      break;
    case cbtNetscape:
      for (int a = from; a + 1 < to; a += 3) {
        pen.Fill(a, 2, 1, thick, Qt::white);
        pen.Fill(a + 1, 2, 1, thick, ColorFromBgr(kNetscapeInk));
      }
      break;
    case cbtJust:
      for (int a = from; a + 1 < to; a += 3) {
        pen.Fill(a, 2, 1, thick, palette().color(QPalette::Light));
        pen.Fill(a + 1, 2, 1, thick, palette().color(QPalette::Dark));
      }
      break;
    case cbtOrangeLED:
    case cbtGreenLED:
    case cbtBlueLED:
      for (int a = from; a + 1 < to; a += 4) pen.Fill(a, 2, 2, thick, color);
      break;
  }
}

// --- TCuteSplitter --------------------------------------------------------------

TCuteSplitter::TCuteSplitter(Qt::Orientation orientation, QWidget* parent) : QSplitter(orientation, parent) {
  setHandleWidth(kBarWidth);
  // Panes never vanish under a drag: MinSize is their floor.
  setChildrenCollapsible(false);
}

QSplitterHandle* TCuteSplitter::createHandle() { return new TCuteSplitterHandle(orientation(), this); }

TCuteSplitterHandle* TCuteSplitter::CuteHandle(int index) const {
  return qobject_cast<TCuteSplitterHandle*>(handle(index));
}

void TCuteSplitter::SetBandType(TCuteBandType type) {
  if (type == band_type_) return;
  band_type_ = type;
  RepaintHandles();
}

void TCuteSplitter::SetBandVisible(bool on) {
  if (on == band_visible_) return;
  band_visible_ = on;
  RepaintHandles();
}

void TCuteSplitter::SetBandWidth(int width) {
  width = std::clamp(width, 0, 32767);
  if (width == band_width_) return;
  band_width_ = width;
  RepaintHandles();
}

void TCuteSplitter::SetMinSize(int size) {
  min_size_ = std::max(size, 1);
  ApplyMinSize();
}

void TCuteSplitter::RepaintHandles() {
  for (int i = 0; i < count(); ++i)
    if (TCuteSplitterHandle* h = CuteHandle(i)) {
      // A band that is gone or moved cannot stay hot.
      if (!band_visible_ || !h->BandRect().contains(h->mapFromGlobal(QCursor::pos()))) h->SetHot(false);
      h->update();
    }
}

void TCuteSplitter::ApplyMinSize() {
  for (int i = 0; i + 1 < count(); ++i) {
    QWidget* pane = widget(i);
    if (orientation() == Qt::Vertical)
      pane->setMinimumHeight(min_size_);
    else
      pane->setMinimumWidth(min_size_);
  }
}

void TCuteSplitter::childEvent(QChildEvent* e) {
  QSplitter::childEvent(e);
  if ((e->type() == QEvent::ChildAdded || e->type() == QEvent::ChildPolished) && e->child()->isWidgetType() &&
      !qobject_cast<QSplitterHandle*>(e->child()))
    ApplyMinSize();
}

void TCuteSplitter::showEvent(QShowEvent* e) {
  ApplyMinSize();
  QSplitter::showEvent(e);
}

int TCuteSplitter::PaneSize(int index) const {
  const QList<int> s = sizes();
  if (index < 1 || index >= s.size()) return -1;
  return s[index - 1];
}

void TCuteSplitter::SetPaneSize(int index, int size) {
  QList<int> s = sizes();
  if (index < 1 || index >= s.size()) return;
  const int total = s[index - 1] + s[index];
  size = std::clamp(size, min_size_, std::max(total, min_size_));
  s[index] = std::max(total - size, 0);
  s[index - 1] = size;
  setSizes(s);
}

void TCuteSplitter::ToggleBand(int index) {
  TCuteSplitterHandle* h = CuteHandle(index);
  QWidget* pane = widget(index - 1);
  if (!h || !pane || pane->isHidden()) return;
  ApplyMinSize();
  const int size = PaneSize(index);
  if (size != min_size_) {
    h->SetRememberedSize(size);
    SetPaneSize(index, min_size_);
  } else if (h->RememberedSize() > min_size_) {
    SetPaneSize(index, h->RememberedSize());
  }
  h->update();
}

}  // namespace yk
