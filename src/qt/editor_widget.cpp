// The editor widget: Qt events in, window services out.
#include "qt/editor_widget.h"

#include <QAccessible>
#include <QApplication>
#include <QGuiApplication>
#include <QInputMethod>
#include <QKeyEvent>
#include <QMenu>
#include <QPaintEngine>
#include <QPainter>
#include <QScrollBar>

#include <algorithm>

#include "qt/editor_accessible.h"
#include "qt/editor_menu.h"
#include "qt/qt_graphics.h"
#include "qt/qt_surface.h"

namespace yk {

namespace {

TShiftState ShiftOf(Qt::KeyboardModifiers m, Qt::MouseButtons buttons = Qt::NoButton) {
  TShiftState s = 0;
  if (m & Qt::ShiftModifier) s |= ssShift;
  if (m & Qt::ControlModifier) s |= ssCtrl;
  if (m & Qt::AltModifier) s |= ssAlt;
  if (buttons & Qt::LeftButton) s |= ssLeft;
  if (buttons & Qt::RightButton) s |= ssRight;
  if (buttons & Qt::MiddleButton) s |= ssMiddle;
  return s;
}

TKey KeyOf(int key) {
  if (key >= Qt::Key_0 && key <= Qt::Key_9) return static_cast<TKey>(vk0 + (key - Qt::Key_0));
  if (key >= Qt::Key_A && key <= Qt::Key_Z) return static_cast<TKey>(vkA + (key - Qt::Key_A));
  if (key >= Qt::Key_F1 && key <= Qt::Key_F12) return static_cast<TKey>(vkF1 + (key - Qt::Key_F1));
  switch (key) {
    case Qt::Key_Backspace: return vkBack;
    case Qt::Key_Tab:
    case Qt::Key_Backtab: return vkTab;
    case Qt::Key_Return:
    case Qt::Key_Enter: return vkReturn;
    case Qt::Key_Shift: return vkShift;
    case Qt::Key_Control: return vkControl;
    case Qt::Key_Alt: return vkMenu;
    case Qt::Key_Escape: return vkEscape;
    case Qt::Key_Space: return vkSpace;
    case Qt::Key_PageUp: return vkPrior;
    case Qt::Key_PageDown: return vkNext;
    case Qt::Key_End: return vkEnd;
    case Qt::Key_Home: return vkHome;
    case Qt::Key_Left: return vkLeft;
    case Qt::Key_Up: return vkUp;
    case Qt::Key_Right: return vkRight;
    case Qt::Key_Down: return vkDown;
    case Qt::Key_Insert: return vkInsert;
    case Qt::Key_Delete: return vkDelete;
    default: return vkOther;
  }
}

TMouseButton ButtonOf(Qt::MouseButton b) {
  return b == Qt::RightButton ? mbRight : b == Qt::MiddleButton ? mbMiddle : mbLeft;
}

QRect ToQRect(const TRect& r) { return QRect(r.left, r.top, r.Width(), r.Height()); }

}  // namespace

TEditorWidget::TEditorWidget(QWidget* parent, std::unique_ptr<TEditor> editor)
    : QAbstractScrollArea(parent),
      editor_(editor ? std::move(editor) : std::make_unique<TEditor>()),
      offsets_(std::make_unique<TUnicodeOffsets>(*editor_)),
      notices_(std::make_unique<TAccessibleNotices>(*this, *offsets_)) {
  static const bool accessible = (QAccessible::installFactory(&EditorAccessibleFactory), true);
  (void)accessible;
  offsets_->SetChars(chars_.get());
  setFocusPolicy(Qt::StrongFocus);
  setAttribute(Qt::WA_InputMethodEnabled);
  viewport()->setAttribute(Qt::WA_OpaquePaintEvent);  // every painted pixel is ours
  viewport()->setMouseTracking(true);
  viewport()->setCursor(ToQCursor(editor_->Caret().Cursors().DefaultCursor()));
  SetBorderStyle(editor_->BorderStyle());
  connect(verticalScrollBar(), &QAbstractSlider::actionTriggered, this,
          [this](int action) { ScrollBarAction(sbVertical, action); });
  connect(horizontalScrollBar(), &QAbstractSlider::actionTriggered, this,
          [this](int action) { ScrollBarAction(sbHorizontal, action); });

  const int flash = QApplication::cursorFlashTime();
  blink_timer_.setInterval(flash > 0 ? flash / 2 : 0);
  connect(&blink_timer_, &QTimer::timeout, this, &TEditorWidget::BlinkCaret);
  auto_scroll_timer_.setInterval(50);
  connect(&auto_scroll_timer_, &QTimer::timeout, this, [this] {
    if (!editor_->AutoScrollTick()) auto_scroll_timer_.stop();
  });

  // A paste reads the clipboard before it inserts: the notice waits for
  // the event loop, after the paste.
  clipboard_.OnReplaced = [this](int n) {
    QMetaObject::invokeMethod(this, [this, n] { ReportReplaced(n); }, Qt::QueuedConnection);
  };
  selection_clipboard_.OnReplaced = clipboard_.OnReplaced;
  clipboard_.Chars = [this] { return chars_; };
  selection_clipboard_.Chars = clipboard_.Chars;
  editor_->SetClipboard(&clipboard_);
  // Selecting sets the X11 selection and a middle click pastes it, where
  // the platform has one.
  if (QGuiApplication::clipboard()->supportsSelection()) editor_->SetSelectionClipboard(&selection_clipboard_);
  editor_->SetHost(this);
}

TEditorWidget::~TEditorWidget() {
  editor_->SetHost(nullptr);
  editor_->SetClipboard(nullptr);
  editor_->SetSelectionClipboard(nullptr);
  RestoreScreenCursor();
}

void TEditorWidget::ShowScrollBars(TScrollStyle bars) {
  setVerticalScrollBarPolicy(bars == ssVertical || bars == ssBoth ? Qt::ScrollBarAsNeeded : Qt::ScrollBarAlwaysOff);
  setHorizontalScrollBarPolicy(bars == ssHorizontal || bars == ssBoth ? Qt::ScrollBarAsNeeded : Qt::ScrollBarAlwaysOff);
}

void TEditorWidget::SetBorderStyle(TEditorBorderStyle style) {
  setFrameStyle(style == bsNone ? QFrame::NoFrame : QFrame::StyledPanel | QFrame::Sunken);
  editor_->SetBorderStyle(style);
}

void TEditorWidget::SetChars(std::shared_ptr<TMappedChars> chars) {
  if (!chars || chars == chars_) return;
  chars_ = std::move(chars);
  offsets_->SetChars(chars_.get());
  viewport()->update();
}

QString TEditorWidget::ToText(std::string_view bytes) const { return ToQString(bytes, chars_.get()); }

cp932::TEncoded TEditorWidget::FromText(const QString& text) { return FromQString(text, chars_.get()); }

const QFont& TEditorWidget::PaintFont() const {
  if (!font_valid_ || !(font_spec_ == editor_->Font())) {
    font_spec_ = editor_->Font();
    font_ = ResolveFont(font_spec_);
    font_valid_ = true;
  }
  return font_;
}

QRect TEditorWidget::CaretRect() const {
  if (!caret_visible_ || caret_size_.isEmpty()) return {};
  return QRect(caret_pos_, caret_size_);
}

// --- TWindowHost ---------------------------------------------------------------

TSize TEditorWidget::ClientSize() const { return {viewport()->width(), viewport()->height()}; }

bool TEditorWidget::Focused() const { return hasFocus(); }

TFontMetrics TEditorWidget::Metrics(const TFontSpec& font) const {
  return MetricsFor(font == editor_->Font() ? PaintFont() : ResolveFont(font));
}

void TEditorWidget::Invalidate(const TRect& r) {
  const QRect q = ToQRect(r).intersected(viewport()->rect());
  if (q.isEmpty()) return;
  pending_ += q;
  viewport()->update(q);
}

// Paints what is pending at once, as the editor asks after an edit or a
// selection change, so the screen follows the keys without waiting for the
// event loop.
void TEditorWidget::UpdateNow() {
  if (painting_ || !redraw_ || !viewport()->isVisible() || pending_.isEmpty()) return;
  viewport()->repaint(pending_);
}

void TEditorWidget::ScrollArea(int dx, int dy, const TRect& clip) {
  const QRect area = ToQRect(clip).intersected(viewport()->rect());
  if (area.isEmpty() || (dx == 0 && dy == 0)) return;
  if (!redraw_) return;  // everything is repainted when redraw comes back on
  viewport()->scroll(dx, dy, area);
  // Areas waiting for paint and the caret's pixels moved with the contents.
  const QRegion moved = pending_.intersected(area).translated(dx, dy).intersected(area);
  pending_ += moved;
  // What the move uncovered is painted by the next UpdateNow with the rest,
  // not when the window system's update timer next fires (some
  // milliseconds after the key).
  pending_ += QRegion(area) - QRegion(area.translated(dx, dy));
  viewport()->update(moved);
  if (painted_caret_.intersects(area)) viewport()->update(painted_caret_.translated(dx, dy));
}

void TEditorWidget::CreateCaret(int width, int height) {
  UpdateCaretArea();
  caret_size_ = QSize(std::max(0, width), std::max(0, height));
  if (width <= 0) caret_visible_ = false;
  UpdateCaretArea();
}

void TEditorWidget::SetCaretPos(int x, int y) {
  UpdateCaretArea();
  caret_pos_ = QPoint(x, y);
  blink_on_ = true;
  UpdateCaretArea();
  notices_->CaretPlaced();
}

void TEditorWidget::TextChanged(int first, int count, int newCount) { notices_->TextChanged(first, count, newCount); }

void TEditorWidget::SelectionChanged() { notices_->SelectionChanged(); }

// A zero timer would run before the X server has drawn the key's pixels,
// and the work (wrapping the rest of a line of megabytes, some
// milliseconds) would hold them up on a machine of few cores. A typist's
// keys come 60 ms or more apart, so the work still runs between them; a
// key that comes sooner finishes it first.
void TEditorWidget::RunAfterShown(std::function<void()> work) {
  constexpr int kAfterShownMs = 20;
  QTimer::singleShot(kAfterShownMs, this, std::move(work));
}

void TEditorWidget::ShowCaret(bool visible) {
  UpdateCaretArea();
  caret_visible_ = visible;
  blink_on_ = true;
  if (visible && blink_timer_.interval() > 0)
    blink_timer_.start();
  else
    blink_timer_.stop();
  UpdateCaretArea();
}

// The bar's own steps are Win32-like: a range up to max with a page, so
// the last position is max - page + 1.
void TEditorWidget::SetScrollBar(TScrollBarKind bar, const TScrollBarInfo& info) {
  QScrollBar* sb = bar == sbVertical ? verticalScrollBar() : horizontalScrollBar();
  const int page = std::max(1, info.page);
  const int last = std::max(info.min, info.max - page + 1);
  setting_bars_ = true;
  sb->setRange(info.min, last);
  sb->setPageStep(page);
  sb->setSingleStep(1);
  sb->setValue(std::clamp(info.pos, info.min, last));
  sb->setSliderPosition(sb->value());
  setting_bars_ = false;
}

void TEditorWidget::SetCursor(TCursor cursor, bool screen) {
  if (!screen) {
    RestoreScreenCursor();
    viewport()->setCursor(ToQCursor(cursor));
    return;
  }
  if (screen_cursor_)
    QGuiApplication::changeOverrideCursor(ToQCursor(cursor));
  else
    QGuiApplication::setOverrideCursor(ToQCursor(cursor));
  screen_cursor_ = true;
}

void TEditorWidget::RestoreScreenCursor() {
  if (!screen_cursor_) return;
  QGuiApplication::restoreOverrideCursor();
  screen_cursor_ = false;
}

void TEditorWidget::SetRedraw(bool on) {
  if (on == redraw_) return;
  redraw_ = on;
  viewport()->setUpdatesEnabled(on);
  if (on) viewport()->update();
}

void TEditorWidget::SetCompositionPos(TPoint p) {
  composition_pos_ = p;
  if (!preedit_.isEmpty()) viewport()->update();
  if (hasFocus()) QGuiApplication::inputMethod()->update(Qt::ImCursorRectangle | Qt::ImAnchorRectangle);
}

QVariant TEditorWidget::inputMethodQuery(Qt::InputMethodQuery query) const {
  switch (query) {
    case Qt::ImEnabled: return true;
    case Qt::ImFont: return PaintFont();
    case Qt::ImHints: return static_cast<int>(Qt::ImhMultiLine);
    case Qt::ImCursorRectangle:
    case Qt::ImAnchorRectangle: {
      const QRect cell(composition_pos_.x, composition_pos_.y, editor_->ColWidth(), editor_->FontHeight());
      return cell.translated(viewport()->pos());
    }
    case Qt::ImCursorPosition:
    case Qt::ImAnchorPosition: return 0;
    case Qt::ImSurroundingText:
    case Qt::ImCurrentSelection: return QString();
    default: return QAbstractScrollArea::inputMethodQuery(query);
  }
}

// --- painting ------------------------------------------------------------------

void TEditorWidget::paintEvent(QPaintEvent* e) {
  painting_ = true;
  QPainter painter(viewport());
  painter.fillRect(e->rect(), ToQColor(editor_->Color(), palette()));
  {
    TQtSurface surface(painter, PaintFont(), palette(), chars_.get());
    for (const QRect& r : e->region()) editor_->Paint(surface, {r.left(), r.top(), r.right() + 1, r.bottom() + 1});
  }
  PaintPreedit(painter);
  PaintCaret(painter);
  pending_ -= e->region();
  painting_ = false;
  const QPaintEngine* engine = painter.paintEngine();
  if (engine && engine->paintDevice() && engine->paintDevice()->devType() == QInternal::Image) {
    const auto* image = static_cast<const QImage*>(engine->paintDevice());
    if (image->devicePixelRatio() == 1.0) warmer_.Painted(image->format(), PaintFont(), palette(), chars_);
  }
}

// The text being composed stands inline at the caret, in the pieces the
// input method formats (the segment being converted highlighted, the rest
// underlined; all of it underlined when it gives no format): the rest of
// the caret row is painted again to one side, moved right by the
// composition's width, so no glyph is covered or cut. The document does
// not change until the composition is committed.
void TEditorWidget::PaintPreedit(QPainter& painter) {
  if (preedit_.isEmpty()) return;
  const TEditor& ed = *editor_;
  const int x = composition_pos_.x, y = composition_pos_.y, cw = ed.ColWidth();
  const std::string bytes = FromText(preedit_).bytes;
  ShiftRowRest(painter, x, y, static_cast<int>(bytes.size()) * cw);
  // Runs of characters with the same format, each drawn in its cells.
  int cell = 0, runCell = 0, cursorCell = -1;
  const QTextCharFormat* runFormat = PreeditFormatAt(0);
  for (int i = 0; i <= preedit_.size();) {
    if (i == preedit_cursor_) cursorCell = cell;
    if (i == preedit_.size()) break;
    const int length = preedit_[i].isHighSurrogate() && i + 1 < preedit_.size() ? 2 : 1;
    const QTextCharFormat* format = PreeditFormatAt(i);
    if (format != runFormat) {
      PaintPreeditRun(painter, x + runCell * cw, std::string_view(bytes).substr(runCell, cell - runCell), runFormat);
      runCell = cell;
      runFormat = format;
    }
    cell += static_cast<int>(FromText(preedit_.mid(i, length)).bytes.size());
    i += length;
  }
  PaintPreeditRun(painter, x + runCell * cw, std::string_view(bytes).substr(runCell), runFormat);
  if (preedit_cursor_shown_ && cursorCell >= 0)
    painter.fillRect(QRect(x + cursorCell * cw, y, 2, ed.FontHeight()), ToQColor(ed.Font().color, palette()));
}

// The format of the composition's character at a unit: the last that
// covers it, as later attributes refine earlier ones; null for none.
const QTextCharFormat* TEditorWidget::PreeditFormatAt(int unit) const {
  const QTextCharFormat* found = nullptr;
  for (const TPreeditFormat& f : preedit_formats_)
    if (unit >= f.start && unit < f.start + f.length) found = &f.format;
  return found;
}

namespace {

TColor ToTColor(const QColor& c) {
  return MakeColor(static_cast<std::uint8_t>(c.red()), static_cast<std::uint8_t>(c.green()),
                   static_cast<std::uint8_t>(c.blue()));
}

}  // namespace

// One run of the composition: the format's colours and weight where it
// has them, the editor's otherwise; underlined as the format says, or
// always when the input method gave no format for it.
void TEditorWidget::PaintPreeditRun(QPainter& painter, int x, std::string_view bytes, const QTextCharFormat* format) {
  if (bytes.empty()) return;
  const TEditor& ed = *editor_;
  TColor color = ed.Font().color;
  TColor background = editor_->Color();
  TFontStyles style = ed.Font().style;
  bool underline = true;
  if (format) {
    if (format->foreground().style() != Qt::NoBrush) color = ToTColor(format->foreground().color());
    if (format->background().style() != Qt::NoBrush) background = ToTColor(format->background().color());
    if (format->fontWeight() >= QFont::DemiBold) style.Include(fsBold);
    underline = format->fontUnderline() || format->underlineStyle() != QTextCharFormat::NoUnderline;
  }
  if (underline) style.Include(fsUnderline);
  const TSize size = ClientSize();
  TQtSurface surface(painter, PaintFont(), palette(), chars_.get());
  surface.TextRun(x, composition_pos_.y, ed.ColWidth(), bytes, color, background, style,
                  {0, 0, size.width, size.height});
}

// The caret row from x on, painted into an image and drawn dx further right.
void TEditorWidget::ShiftRowRest(QPainter& painter, int x, int y, int dx) {
  const int right = viewport()->width();
  const int height = editor_->RowHeight();
  if (x >= right || height <= 0) return;
  const qreal ratio = devicePixelRatioF();
  QImage row(QSize(right, height) * ratio, QImage::Format_ARGB32_Premultiplied);
  row.setDevicePixelRatio(ratio);
  const QColor background = ToQColor(editor_->Color(), palette());
  row.fill(background);
  {
    QPainter rowPainter(&row);
    rowPainter.translate(0, -y);
    TQtSurface surface(rowPainter, PaintFont(), palette(), chars_.get());
    editor_->Paint(surface, {0, y, right, y + height});
  }
  painter.fillRect(QRect(x, y, right - x, height), background);
  if (x + dx < right)
    painter.drawImage(QRectF(x + dx, y, right - x - dx, height), row,
                      QRectF(x * ratio, 0, (right - x - dx) * ratio, height * ratio));
}

// The caret inverts what lies under it, like the system caret.
void TEditorWidget::PaintCaret(QPainter& painter) {
  const QRect caret = CaretRect();
  if (caret.isEmpty() || !blink_on_ || !hasFocus() || !preedit_.isEmpty()) {
    painted_caret_ = QRect();
    return;
  }
  painter.save();
  painter.setCompositionMode(QPainter::CompositionMode_Difference);
  painter.fillRect(caret, Qt::white);
  painter.restore();
  painted_caret_ = caret;
}

void TEditorWidget::UpdateCaretArea() {
  const QRect area = painted_caret_ | CaretRect();
  if (!area.isEmpty()) viewport()->update(area);
}

void TEditorWidget::BlinkCaret() {
  blink_on_ = !blink_on_;
  UpdateCaretArea();
}

void TEditorWidget::resizeEvent(QResizeEvent* e) {
  QAbstractScrollArea::resizeEvent(e);
  editor_->Resized();
}

// System colours follow the palette, so a new palette repaints everything.
void TEditorWidget::changeEvent(QEvent* e) {
  QAbstractScrollArea::changeEvent(e);
  if (e->type() == QEvent::PaletteChange) viewport()->update();
}

// --- keys ------------------------------------------------------------------------

bool TEditorWidget::event(QEvent* e) {
  // Keys (shortcuts too) and composed text see the rows of a whole wrap.
  const QEvent::Type type = e->type();
  if (type == QEvent::KeyPress || type == QEvent::ShortcutOverride || type == QEvent::InputMethod)
    editor_->FinishDeferredWrap();
  // Tab types into the editor instead of moving the focus when it wants tabs.
  if (e->type() == QEvent::KeyPress) {
    auto* k = static_cast<QKeyEvent*>(e);
    if ((k->key() == Qt::Key_Tab || k->key() == Qt::Key_Backtab) && editor_->WantTabs() &&
        !(k->modifiers() & (Qt::ControlModifier | Qt::AltModifier))) {
      keyPressEvent(k);
      return true;
    }
  }
  return QAbstractScrollArea::event(e);
}

void TEditorWidget::keyPressEvent(QKeyEvent* e) {
  const TKey key = KeyOf(e->key());
  const TShiftState shift = ShiftOf(e->modifiers());
  if (key == vkReturn && !editor_->WantReturns()) {
    e->ignore();  // the dialog's default button takes it
    return;
  }
  e->accept();
  if (editor_->KeyDown(key, shift, e->isAutoRepeat())) return;
  // Escape that cancelled nothing (no drag, no composition) is the host's:
  // a dialog closes on it.
  if (key == vkEscape) {
    if (preedit_.isEmpty()) e->ignore();
    return;
  }
  switch (key) {
    case vkBack: editor_->KeyPress('\b', shift); return;
    case vkTab: editor_->KeyPress('\t', shift); return;
    case vkReturn: editor_->KeyPress('\r', shift); return;
    default: break;
  }
  // Ctrl and Alt combinations type nothing (AltGr, reported as both, does).
  const Qt::KeyboardModifiers m = e->modifiers();
  const bool altGr = (m & Qt::ControlModifier) && (m & Qt::AltModifier);
  if ((m & (Qt::ControlModifier | Qt::AltModifier)) && !altGr) {
    e->ignore();
    return;
  }
  TypeText(e->text(), shift);
}

// Typed text: one byte goes through the character path; a character that
// takes two bytes (typed without the input method) is one edit.
void TEditorWidget::TypeText(const QString& text, TShiftState shift) {
  if (text.isEmpty()) return;
  const cp932::TEncoded encoded = FromText(text);
  if (encoded.bytes.size() == 1)
    editor_->KeyPress(encoded.bytes[0], shift);
  else if (static_cast<unsigned char>(encoded.bytes[0]) >= 0x20)
    editor_->ImeComposition(encoded.bytes);
  ReportReplaced(encoded.replaced);
}

// After the edit, so that whatever shows the notice cannot hold up the
// text or take the keys that follow.
void TEditorWidget::ReportReplaced(int count) {
  if (count > 0) emit charactersReplaced(count);
}

void TEditorWidget::keyReleaseEvent(QKeyEvent* e) {
  if (e->isAutoRepeat()) return;  // the key is still down
  editor_->KeyUp(KeyOf(e->key()), ShiftOf(e->modifiers()));
}

// --- mouse -----------------------------------------------------------------------

void TEditorWidget::mousePressEvent(QMouseEvent* e) {
  editor_->FinishDeferredWrap();
  setFocus(Qt::MouseFocusReason);
  const QPoint p = e->position().toPoint();
  editor_->MouseDown(ButtonOf(e->button()), ShiftOf(e->modifiers(), e->buttons()), p.x(), p.y());
  if (e->button() == Qt::LeftButton) auto_scroll_timer_.start();
}

void TEditorWidget::mouseMoveEvent(QMouseEvent* e) {
  const QPoint p = e->position().toPoint();
  editor_->MouseMove(ShiftOf(e->modifiers(), e->buttons()), p.x(), p.y());
  if ((e->buttons() & Qt::LeftButton) && !auto_scroll_timer_.isActive()) auto_scroll_timer_.start();
}

void TEditorWidget::mouseReleaseEvent(QMouseEvent* e) {
  const QPoint p = e->position().toPoint();
  editor_->MouseUp(ButtonOf(e->button()), ShiftOf(e->modifiers(), e->buttons()), p.x(), p.y());
  if (e->button() == Qt::LeftButton) {
    auto_scroll_timer_.stop();
    RestoreScreenCursor();
  }
}

void TEditorWidget::mouseDoubleClickEvent(QMouseEvent* e) {
  editor_->FinishDeferredWrap();
  const QPoint p = e->position().toPoint();
  editor_->DoubleClick();
  editor_->MouseDown(ButtonOf(e->button()), ShiftOf(e->modifiers(), e->buttons()) | ssDouble, p.x(), p.y());
}

void TEditorWidget::wheelEvent(QWheelEvent* e) {
  e->accept();
  if (OnWheel && OnWheel(*this, e)) return;
  TurnWheel(e->angleDelta().y(), e->modifiers());
}

// A notch scrolls the lines the desktop sets (QApplication's wheel scroll
// lines), a page with Shift; touchpads send smaller steps that add up, a
// line at a time.
void TEditorWidget::TurnWheel(int angleDelta, Qt::KeyboardModifiers modifiers) {
  editor_->FinishDeferredWrap();
  const TShiftState shift = ShiftOf(modifiers);
  const int perNotch = (shift & ssShift) ? 1 : std::max(1, QApplication::wheelScrollLines());
  wheel_rest_ += angleDelta * perNotch;
  while (std::abs(wheel_rest_) >= 120) {
    const int step = wheel_rest_ > 0 ? 1 : -1;
    editor_->MouseWheel(step, shift);
    wheel_rest_ -= step * 120;
  }
}

void TEditorWidget::SetPopupMenu(QMenu* menu) {
  app_menu_ = menu;
  if (menu)
    editor_->SetPopupMenu(nullptr);
  else
    editor_->ResetPopupMenu();
}

void TEditorWidget::contextMenuEvent(QContextMenuEvent* e) {
  if (editor_->InMouseAction()) {
    e->ignore();
    return;
  }
  if (app_menu_) {
    app_menu_->popup(e->globalPos());
    return;
  }
  if (!editor_->PopupMenu()) {
    e->ignore();
    return;
  }
  QMenu* menu = CreateEditorMenu(*editor_->PopupMenu(), this);
  menu->setAttribute(Qt::WA_DeleteOnClose);
  menu->popup(e->globalPos());
}

// --- scroll bars -------------------------------------------------------------------

void TEditorWidget::ScrollBarAction(TScrollBarKind bar, int action) {
  if (setting_bars_) return;
  QScrollBar* sb = bar == sbVertical ? verticalScrollBar() : horizontalScrollBar();
  TScrollCode code;
  switch (action) {
    case QAbstractSlider::SliderSingleStepAdd: code = scLineDown; break;
    case QAbstractSlider::SliderSingleStepSub: code = scLineUp; break;
    case QAbstractSlider::SliderPageStepAdd: code = scPageDown; break;
    case QAbstractSlider::SliderPageStepSub: code = scPageUp; break;
    case QAbstractSlider::SliderToMinimum: code = scTop; break;
    case QAbstractSlider::SliderToMaximum: code = scBottom; break;
    case QAbstractSlider::SliderMove: code = scTrack; break;
    default: return;
  }
  const int pos = sb->sliderPosition();
  if (bar == sbVertical)
    editor_->VScroll(code, pos);
  else
    editor_->HScroll(code, pos);
  // The bar ends where the editor put the view, not where it stepped itself.
  setting_bars_ = true;
  sb->setSliderPosition(bar == sbVertical ? editor_->TopRow() : editor_->TopCol());
  setting_bars_ = false;
}

void TEditorWidget::scrollContentsBy(int, int) {}  // the editor scrolls its own view

// --- focus and input method --------------------------------------------------------

void TEditorWidget::focusInEvent(QFocusEvent* e) {
  QAbstractScrollArea::focusInEvent(e);
  editor_->FocusChanged(true);
}

void TEditorWidget::focusOutEvent(QFocusEvent* e) {
  QAbstractScrollArea::focusOutEvent(e);
  blink_timer_.stop();
  // A composition the input method abandoned with the focus is not shown on.
  if (!preedit_.isEmpty()) {
    preedit_.clear();
    editor_->ImeCandidateWindow(false);
    viewport()->update();
  }
  editor_->FocusChanged(false);
  UpdateCaretArea();
}

// Qt hands over a finished composition once, as a whole string: it goes in
// as one edit. While composing, the text is shown at the caret and the
// editor's own caret is hidden.
void TEditorWidget::inputMethodEvent(QInputMethodEvent* e) {
  int replaced = 0;
  if (!e->commitString().isEmpty()) {
    const cp932::TEncoded encoded = FromText(e->commitString());
    editor_->ImeComposition(encoded.bytes);
    replaced = encoded.replaced;
  }
  preedit_ = e->preeditString();
  preedit_cursor_ = static_cast<int>(preedit_.size());
  preedit_cursor_shown_ = true;
  preedit_formats_.clear();
  for (const QInputMethodEvent::Attribute& a : e->attributes()) {
    if (a.type == QInputMethodEvent::Cursor) {
      preedit_cursor_ = std::clamp(a.start, 0, static_cast<int>(preedit_.size()));
      preedit_cursor_shown_ = a.length != 0;
    } else if (a.type == QInputMethodEvent::TextFormat) {
      const QTextCharFormat format = qvariant_cast<QTextFormat>(a.value).toCharFormat();
      if (a.length > 0 && format.isValid()) preedit_formats_.push_back({a.start, a.length, format});
    }
  }
  editor_->ImeCandidateWindow(!preedit_.isEmpty());
  ShowPreeditCursor();
  viewport()->update(QRect(0, composition_pos_.y, viewport()->width(), editor_->RowHeight()));
  e->accept();
  ReportReplaced(replaced);
}

// A composition that runs past the right edge moves the view by a quarter
// of its width at a time, as the caret does, until its cursor is seen.
void TEditorWidget::ShowPreeditCursor() {
  if (preedit_.isEmpty()) return;
  TEditor& ed = *editor_;
  const int cursor = ed.Col() + static_cast<int>(FromText(preedit_.left(preedit_cursor_)).bytes.size());
  const int visible = std::max(1, ed.VisibleCols());
  if (cursor < ed.TopCol() + visible) return;
  ed.SetTopCol(std::max(cursor - visible + 1, ed.TopCol() + visible / 4));
}

}  // namespace yk
