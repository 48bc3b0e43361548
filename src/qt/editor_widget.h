// TEditorWidget: a Qt widget that hosts one TEditor. It only translates:
// Qt events become the editor's entry points, and the editor's requests
// (repaint, scroll, caret, scroll bars, cursor) become Qt calls.
#pragma once

#include <QAbstractScrollArea>
#include <QFont>
#include <QMenu>
#include <QPointer>
#include <QRegion>
#include <QTextCharFormat>
#include <QTimer>

#include <functional>
#include <memory>
#include <string_view>
#include <vector>

#include "editor/editor.h"
#include "platform/cp932_codec.h"
#include "platform/mapped_chars.h"
#include "platform/window_host.h"
#include "qt/cell_warmer.h"
#include "qt/qt_clipboard.h"
#include "qt/unicode_offsets.h"

namespace yk {

class TAccessibleNotices;

class TEditorWidget : public QAbstractScrollArea, public TWindowHost {
  Q_OBJECT

 public:
  explicit TEditorWidget(QWidget* parent = nullptr, std::unique_ptr<TEditor> editor = nullptr);
  ~TEditorWidget() override;

  TEditor& Editor() { return *editor_; }
  TQtClipboard& Clipboard() { return clipboard_; }
  // The table of mapped characters of the document this editor shows:
  // painting, the clipboard and typed text go through it. The document's
  // owner sets it (the split pane shares the main editor's); a new widget
  // has an empty one of its own. Setting another repaints.
  const std::shared_ptr<TMappedChars>& Chars() const { return chars_; }
  void SetChars(std::shared_ptr<TMappedChars> chars);
  // Text of the document as Unicode, and Unicode as it enters the
  // document (characters outside CP932 given codes of the table).
  QString ToText(std::string_view bytes) const;
  cp932::TEncoded FromText(const QString& text);
  // The editor's ScrollBars: the editor shows or hides the bars through
  // ShowScrollBars and sizes its view to the area inside them.
  void SetScrollBars(TEditorScrollBars bars) { editor_->SetScrollBars(bars); }
  // A sunken frame for bsSingle, none for bsNone; the editor is told too.
  void SetBorderStyle(TEditorBorderStyle style);
  // The context menu: an application's menu (its actions carry their own
  // shortcuts, and the built-in menu's shortcuts no longer act), or null for
  // the editor's built-in menu. The menu is not owned; once it is destroyed
  // the editor has no context menu.
  void SetPopupMenu(QMenu* menu);
  QMenu* PopupMenu() const { return app_menu_; }
  // The wheel over this widget goes to the host first: when OnWheel is set
  // and returns true, the widget does not scroll (the host may scroll
  // another editor with TurnWheel, for example the active pane).
  std::function<bool(TEditorWidget& sender, QWheelEvent* e)> OnWheel;
  // Scrolls the editor by a wheel turn (angle in eighths of a degree, one
  // notch 120; partial notches add up): the desktop's lines per notch, a
  // page per notch with Shift.
  void TurnWheel(int angleDelta, Qt::KeyboardModifiers modifiers);
  // The resolved font the editor is painted in.
  const QFont& PaintFont() const;
  // The text being composed in the input method (shown at the caret).
  const QString& Preedit() const { return preedit_; }
  // The caret as last placed by the editor, in viewport coordinates; empty
  // when it is hidden or destroyed.
  QRect CaretRect() const;
  // Whether idle time is still drawing the characters of the pages beside
  // the view ahead of a page key (TCellWarmer).
  bool WarmingCells() const { return warmer_.Busy(); }
  // The document in Unicode offsets, for assistive technologies.
  TUnicodeOffsets& Offsets() { return *offsets_; }

  // --- TWindowHost ----------------------------------------------------------
  TSize ClientSize() const override;
  bool Focused() const override;
  TFontMetrics Metrics(const TFontSpec& font) const override;
  void Invalidate(const TRect& r) override;
  void UpdateNow() override;
  void ScrollArea(int dx, int dy, const TRect& clip) override;
  void CreateCaret(int width, int height) override;
  void SetCaretPos(int x, int y) override;
  void ShowCaret(bool visible) override;
  void SetScrollBar(TScrollBarKind bar, const TScrollBarInfo& info) override;
  void ShowScrollBars(TScrollStyle bars) override;
  void SetCursor(TCursor cursor, bool screen) override;
  void SetRedraw(bool on) override;
  void SetCompositionPos(TPoint p) override;
  void TextChanged(int first, int count, int newCount) override;
  void SelectionChanged() override;
  void RunAfterShown(std::function<void()> work) override;

  QVariant inputMethodQuery(Qt::InputMethodQuery query) const override;

 signals:
  // Characters that came in as Unicode (typing, paste, input method) had
  // no CP932 form and found no free code in the document's table, so were
  // written as "?"; the application tells the user,
  // without taking the keyboard (a status bar message, not a modal box).
  // Raised after the text went in.
  void charactersReplaced(int count);

 protected:
  bool event(QEvent* e) override;
  void paintEvent(QPaintEvent* e) override;
  void resizeEvent(QResizeEvent* e) override;
  void changeEvent(QEvent* e) override;
  void keyPressEvent(QKeyEvent* e) override;
  void keyReleaseEvent(QKeyEvent* e) override;
  void mousePressEvent(QMouseEvent* e) override;
  void mouseMoveEvent(QMouseEvent* e) override;
  void mouseReleaseEvent(QMouseEvent* e) override;
  void mouseDoubleClickEvent(QMouseEvent* e) override;
  void wheelEvent(QWheelEvent* e) override;
  void contextMenuEvent(QContextMenuEvent* e) override;
  void focusInEvent(QFocusEvent* e) override;
  void focusOutEvent(QFocusEvent* e) override;
  void inputMethodEvent(QInputMethodEvent* e) override;
  void scrollContentsBy(int dx, int dy) override;

 private:
  void ScrollBarAction(TScrollBarKind bar, int action);
  void TypeText(const QString& text, TShiftState shift);
  void ReportReplaced(int count);
  void PaintPreedit(QPainter& painter);
  void PaintPreeditRun(QPainter& painter, int x, std::string_view bytes, const QTextCharFormat* format);
  const QTextCharFormat* PreeditFormatAt(int unit) const;
  // Scrolls the view sideways so that the composition's cursor is seen.
  void ShowPreeditCursor();
  void ShiftRowRest(QPainter& painter, int x, int y, int dx);
  void PaintCaret(QPainter& painter);
  void UpdateCaretArea();
  void RestoreScreenCursor();
  void BlinkCaret();

  std::unique_ptr<TEditor> editor_;
  std::shared_ptr<TMappedChars> chars_ = std::make_shared<TMappedChars>();
  std::unique_ptr<TUnicodeOffsets> offsets_;
  std::unique_ptr<TAccessibleNotices> notices_;
  TQtClipboard clipboard_;
  TQtClipboard selection_clipboard_{QClipboard::Selection};
  mutable TFontSpec font_spec_;
  mutable QFont font_;
  mutable bool font_valid_ = false;

  QRegion pending_;  // invalidated and not yet painted
  bool painting_ = false;
  bool redraw_ = true;
  bool setting_bars_ = false;

  QPoint caret_pos_;
  QSize caret_size_;
  bool caret_visible_ = false;
  bool blink_on_ = true;
  QTimer blink_timer_;
  QRect painted_caret_;

  QTimer auto_scroll_timer_;
  bool screen_cursor_ = false;
  int wheel_rest_ = 0;

  QPointer<QMenu> app_menu_;
  TCellWarmer warmer_{*editor_};

  // A piece of the composition as the input method formats it (the
  // segment being converted stands out from the others), in UTF-16 units.
  struct TPreeditFormat {
    int start = 0;
    int length = 0;
    QTextCharFormat format;
  };
  QString preedit_;
  int preedit_cursor_ = 0;
  bool preedit_cursor_shown_ = true;
  std::vector<TPreeditFormat> preedit_formats_;
  TPoint composition_pos_;
};

}  // namespace yk
