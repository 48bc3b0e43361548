// The editor's accessible interface and the notices it sends.
#include "qt/editor_accessible.h"

#include <QTextBoundaryFinder>

#include <algorithm>
#include <climits>

#include "editor/editor.h"
#include "qt/editor_widget.h"
#include "qt/qt_graphics.h"

namespace yk {

namespace {

int Clamp(std::int64_t v) { return static_cast<int>(std::clamp<std::int64_t>(v, 0, INT_MAX)); }

// Text around an offset that word and sentence pieces are looked for in:
// enough for any real word or sentence, and a row of megabytes is not
// converted for one question.
constexpr std::int64_t kWordWindow = 4096;

// The display column where a byte of a row stands.
int ColumnOfByte(TEditor& editor, int row, int byte) {
  const std::string text = editor.RowText(row);
  if (text.find('\t') == std::string::npos) return byte;
  const std::string map = editor.RowColumnMap(row);
  int bytes = 0;
  for (std::size_t c = 0; c < map.size(); ++c) {
    if (map[c] == kColTabFill) continue;
    if (bytes++ == byte) return static_cast<int>(c);
  }
  return static_cast<int>(map.size()) + (byte - bytes);
}

}  // namespace

TUnicodeOffsets::TPlace CaretPlace(TEditor& editor) {
  const int row = editor.Row();
  if (row >= editor.RowCount()) return {row, 0};
  return {row, editor.LogicalColumn(row, editor.Col()) - editor.LogicalColumn(row, 0)};
}

QAccessibleInterface* EditorAccessibleFactory(const QString&, QObject* object) {
  if (auto* widget = qobject_cast<TEditorWidget*>(object)) return new TEditorAccessible(widget);
  return nullptr;
}

// --- the interface ---------------------------------------------------------------

TEditorAccessible::TEditorAccessible(TEditorWidget* widget) : QAccessibleWidget(widget, QAccessible::EditableText) {}

TEditorWidget& TEditorAccessible::Widget() const { return *static_cast<TEditorWidget*>(widget()); }
TEditor& TEditorAccessible::Editor() const { return Widget().Editor(); }
TUnicodeOffsets& TEditorAccessible::Offsets() const { return Widget().Offsets(); }

void* TEditorAccessible::interface_cast(QAccessible::InterfaceType type) {
  if (type == QAccessible::TextInterface) return static_cast<QAccessibleTextInterface*>(this);
  if (type == QAccessible::EditableTextInterface) return static_cast<QAccessibleEditableTextInterface*>(this);
  return QAccessibleWidget::interface_cast(type);
}

QAccessible::State TEditorAccessible::state() const {
  QAccessible::State s = QAccessibleWidget::state();
  s.multiLine = true;
  s.selectableText = true;
  s.readOnly = Editor().ReadOnly();
  s.editable = !s.readOnly;
  return s;
}

int TEditorAccessible::selectionCount() const {
  const TEditor& ed = Editor();
  if (!ed.Selected()) return 0;
  const TSelectionRange& r = ed.SelectionRange();
  return ed.SelectionMode() == smNormal ? 1 : r.endRow - r.startRow + 1;
}

// A box selection is one piece per row.
void TEditorAccessible::selection(int selectionIndex, int* startOffset, int* endOffset) const {
  *startOffset = *endOffset = 0;
  if (selectionIndex < 0 || selectionIndex >= selectionCount()) return;
  TEditor& ed = Editor();
  const TSelectionRange& r = ed.SelectionRange();
  if (ed.SelectionMode() == smNormal) {
    *startOffset = Clamp(Offsets().OffsetOf(r.startRow, r.startByte));
    *endOffset = Clamp(Offsets().OffsetOf(r.endRow, r.endByte + 1));
    return;
  }
  const int row = r.startRow + selectionIndex;
  const int base = ed.LogicalColumn(row, 0);
  *startOffset = Clamp(Offsets().OffsetOf(row, ed.LogicalColumn(row, r.left) - base));
  *endOffset = Clamp(Offsets().OffsetOf(row, ed.LogicalColumn(row, r.right) - base));
}

void TEditorAccessible::addSelection(int startOffset, int endOffset) { Select(startOffset, endOffset); }

void TEditorAccessible::removeSelection(int selectionIndex) {
  if (selectionIndex >= 0 && selectionIndex < selectionCount()) Editor().CancelSelection();
}

void TEditorAccessible::setSelection(int selectionIndex, int startOffset, int endOffset) {
  if (selectionIndex == 0 || selectionCount() == 0) Select(startOffset, endOffset);
}

// The document offset the editor counts in (2 for each CR LF) of a place.
static std::int64_t EditorOffset(TEditor& ed, TUnicodeOffsets::TPlace p) {
  if (p.row >= ed.RowCount()) return ed.TextLength();
  return ed.Perform(emLineIndex, p.row) + p.byte;
}

void TEditorAccessible::Select(std::int64_t start, std::int64_t end) {
  if (start > end) std::swap(start, end);
  TEditor& ed = Editor();
  const std::int64_t from = EditorOffset(ed, Offsets().PlaceOf(start));
  const std::int64_t to = EditorOffset(ed, Offsets().PlaceOf(end));
  ed.SetSelStart(from);
  ed.SetSelLength(to - from);
}

int TEditorAccessible::cursorPosition() const {
  const TUnicodeOffsets::TPlace p = CaretPlace(Editor());
  return Clamp(Offsets().OffsetOf(p.row, p.byte));
}

void TEditorAccessible::setCursorPosition(int position) {
  TEditor& ed = Editor();
  ed.SetSelStart(EditorOffset(ed, Offsets().PlaceOf(position)));
}

QString TEditorAccessible::text(int startOffset, int endOffset) const {
  if (endOffset < 0) endOffset = characterCount();
  return Offsets().Text(std::max(startOffset, 0), endOffset);
}

int TEditorAccessible::characterCount() const { return Clamp(Offsets().Length()); }

TEditorAccessible::TSpan TEditorAccessible::RowSpan(int row) const {
  const std::int64_t start = Offsets().OffsetOf(row, 0);
  return {start, start + Offsets().RowUnits(row) + Offsets().LineEndUnits(row)};
}

// Words and sentences as the Unicode rules cut them, looked for in the
// text around the offset within its row.
TEditorAccessible::TSpan TEditorAccessible::WordSpan(std::int64_t offset, QAccessible::TextBoundaryType type) const {
  const TUnicodeOffsets::TPlace place = Offsets().PlaceOf(offset);
  const TSpan row = RowSpan(place.row);
  const std::int64_t from = std::max(row.start, offset - kWordWindow);
  const std::int64_t to = std::min(row.end, offset + kWordWindow);
  const QString text = Offsets().Text(from, to);
  QTextBoundaryFinder finder(
      type == QAccessible::SentenceBoundary ? QTextBoundaryFinder::Sentence : QTextBoundaryFinder::Word, text);
  finder.setPosition(static_cast<int>(offset - from));
  if (!finder.isAtBoundary() || finder.position() == text.size()) finder.toPreviousBoundary();
  const qsizetype start = std::max<qsizetype>(finder.position(), 0);
  finder.setPosition(start);
  const qsizetype end = finder.toNextBoundary();
  return {from + start, from + (end < 0 ? text.size() : end)};
}

TEditorAccessible::TSpan TEditorAccessible::SpanAt(std::int64_t offset, QAccessible::TextBoundaryType type) const {
  const std::int64_t length = Offsets().Length();
  if (type == QAccessible::NoBoundary) return {0, length};
  if (offset >= length) return {length, length};
  switch (type) {
    case QAccessible::CharBoundary: {
      const QString c = Offsets().Text(offset, offset + 2);
      return {offset, offset + (c.size() == 2 && c[0].isHighSurrogate() ? 2 : 1)};
    }
    case QAccessible::LineBoundary: return RowSpan(Offsets().PlaceOf(offset).row);
    case QAccessible::ParagraphBoundary: {
      TEditorScreenStrings& rows = Editor().ScreenStrings();
      const int row = Offsets().PlaceOf(offset).row;
      return {RowSpan(rows.FirstRowOfLine(row)).start, RowSpan(rows.LastRowOfLine(row)).end};
    }
    default: return WordSpan(offset, type);
  }
}

QString TEditorAccessible::Answer(TSpan span, int* startOffset, int* endOffset) const {
  *startOffset = Clamp(span.start);
  *endOffset = Clamp(span.end);
  return Offsets().Text(span.start, span.end);
}

QString TEditorAccessible::textAtOffset(int offset, QAccessible::TextBoundaryType type, int* startOffset,
                                        int* endOffset) const {
  return Answer(SpanAt(std::max(offset, 0), type), startOffset, endOffset);
}

QString TEditorAccessible::textBeforeOffset(int offset, QAccessible::TextBoundaryType type, int* startOffset,
                                            int* endOffset) const {
  const TSpan at = SpanAt(std::max(offset, 0), type);
  if (at.start <= 0 || type == QAccessible::NoBoundary) return Answer({0, 0}, startOffset, endOffset);
  return Answer(SpanAt(at.start - 1, type), startOffset, endOffset);
}

QString TEditorAccessible::textAfterOffset(int offset, QAccessible::TextBoundaryType type, int* startOffset,
                                           int* endOffset) const {
  const std::int64_t length = Offsets().Length();
  const TSpan at = SpanAt(std::max(offset, 0), type);
  if (at.end >= length || type == QAccessible::NoBoundary) return Answer({length, length}, startOffset, endOffset);
  return Answer(SpanAt(at.end, type), startOffset, endOffset);
}

QRect TEditorAccessible::characterRect(int offset) const {
  TEditor& ed = Editor();
  const TUnicodeOffsets::TPlace p = Offsets().PlaceOf(offset);
  const int col = p.row < ed.RowCount() ? ColumnOfByte(ed, p.row, p.byte) : 0;
  const std::string row = ed.RowText(p.row);
  const bool wide = static_cast<std::size_t>(p.byte) < row.size() &&
                    cp932::CharLength(row, static_cast<std::size_t>(p.byte)) == 2;
  const QPoint topLeft(ed.Margin().Left() + (col - ed.TopCol()) * ed.ColWidth(),
                       ed.Margin().Top() + (p.row - ed.TopRow()) * ed.RowHeight());
  return QRect(Widget().viewport()->mapToGlobal(topLeft), QSize(ed.ColWidth() * (wide ? 2 : 1), ed.FontHeight()));
}

int TEditorAccessible::offsetAtPoint(const QPoint& point) const {
  TEditor& ed = Editor();
  const QPoint p = Widget().viewport()->mapFromGlobal(point);
  if (!Widget().viewport()->rect().contains(p)) return -1;
  const TPoint rc = ed.PosToRowCol(p.x(), p.y(), false);
  if (rc.y >= ed.RowCount()) return characterCount();
  const int byte = ed.LogicalColumn(rc.y, rc.x) - ed.LogicalColumn(rc.y, 0);
  return Clamp(Offsets().OffsetOf(rc.y, byte));
}

// Brings the start of the piece into view, a third from the top as the
// editor's own jumps do; the caret stays.
void TEditorAccessible::scrollToSubstring(int startIndex, int) {
  TEditor& ed = Editor();
  const TUnicodeOffsets::TPlace p = Offsets().PlaceOf(std::max(startIndex, 0));
  if (p.row < ed.TopRow() || p.row >= ed.TopRow() + ed.VisibleRows()) ed.SetTopRow(p.row - ed.VisibleRows() / 3);
  const int col = p.row < ed.RowCount() ? ColumnOfByte(ed, p.row, p.byte) : 0;
  if (col < ed.TopCol() || col >= ed.TopCol() + ed.VisibleCols()) ed.SetTopCol(col - ed.VisibleCols() / 3);
}

QString TEditorAccessible::attributes(int offset, int* startOffset, int* endOffset) const {
  *startOffset = *endOffset = offset;
  return QString();
}

// Edits refused by a read-only editor, as typing is.
void TEditorAccessible::ReplaceSelection(const QString& text) {
  TEditor& ed = Editor();
  if (ed.ReadOnly()) return;
  const cp932::TEncoded encoded = Widget().FromText(text);
  if (encoded.bytes.empty())
    ed.DeleteSelection();
  else
    ed.SetSelTextBuf(encoded.bytes);
  if (encoded.replaced > 0) emit Widget().charactersReplaced(encoded.replaced);
}

void TEditorAccessible::deleteText(int startOffset, int endOffset) {
  if (Editor().ReadOnly() || startOffset == endOffset) return;
  Select(startOffset, endOffset);
  ReplaceSelection(QString());
}

void TEditorAccessible::insertText(int offset, const QString& text) {
  if (Editor().ReadOnly() || text.isEmpty()) return;
  setCursorPosition(offset);
  ReplaceSelection(text);
}

void TEditorAccessible::replaceText(int startOffset, int endOffset, const QString& text) {
  if (Editor().ReadOnly()) return;
  Select(startOffset, endOffset);
  ReplaceSelection(text);
}

// --- notices ------------------------------------------------------------------------

bool (*TAccessibleNotices::Listening)() = &QAccessible::isActive;
void (*TAccessibleNotices::Deliver)(QAccessibleEvent*) = &QAccessible::updateAccessibility;

TAccessibleNotices::TAccessibleNotices(TEditorWidget& widget, TUnicodeOffsets& offsets)
    : widget_(widget), offsets_(offsets) {}

void TAccessibleNotices::Send(QAccessibleEvent& event) { Deliver(&event); }

void TAccessibleNotices::CaretPlaced() {
  if (!Listening()) {
    caret_ = {-1, -1};
    seen_.valid = false;
    return;
  }
  const TUnicodeOffsets::TPlace place = CaretPlace(widget_.Editor());
  if (place == caret_) return;
  caret_ = place;
  QAccessibleTextCursorEvent event(&widget_, Clamp(offsets_.OffsetOf(place.row, place.byte)));
  Send(event);
  SeeRowsAround();
}

void TAccessibleNotices::SelectionChanged() {
  if (!Listening()) return;
  TEditorAccessible* iface = static_cast<TEditorAccessible*>(QAccessible::queryAccessibleInterface(&widget_));
  int start = -1, end = -1;
  if (iface && iface->selectionCount() > 0) iface->selection(0, &start, &end);
  QAccessibleTextSelectionEvent event(&widget_, start, end);
  Send(event);
  SeeRowsAround();
}

// What a change removed is told from the rows seen before it, when the
// change lies inside them (typing, deleting, pasting at the caret or over
// the selection); otherwise only what it inserted can be told.
void TAccessibleNotices::TextChanged(int first, int count, int newCount) {
  offsets_.Changed(first, count, newCount);
  if (!Listening()) {
    seen_.valid = false;
    return;
  }
  caret_ = {-1, -1};  // the caret's offset may have moved with the text
  const bool inside = seen_.valid && seen_.first <= first && first + count <= seen_.first + seen_.count;
  if (!inside) {
    seen_.valid = false;
    const std::int64_t start = offsets_.OffsetOf(first, 0);
    TRowSums bytes = widget_.Editor().ScreenStrings().SumsBefore(first + newCount);
    bytes -= widget_.Editor().ScreenStrings().SumsBefore(first);
    const QString inserted = bytes.bytes <= kSeenBytes ? RowsText(first, newCount) : QString();
    QAccessibleTextUpdateEvent event(&widget_, Clamp(start), QString(), inserted);
    Send(event);
    return;
  }
  const int rows = seen_.count - count + newCount;
  const QString now = RowsText(seen_.first, rows);
  const QString& before = seen_.text;
  qsizetype head = 0;
  while (head < before.size() && head < now.size() && before[head] == now[head]) ++head;
  qsizetype tail = 0;
  while (tail < before.size() - head && tail < now.size() - head &&
         before[before.size() - 1 - tail] == now[now.size() - 1 - tail])
    ++tail;
  const int at = Clamp(offsets_.OffsetOf(seen_.first, 0) + head);
  const QString removed = before.mid(head, before.size() - head - tail);
  const QString inserted = now.mid(head, now.size() - head - tail);
  seen_ = {seen_.first, rows, now, true, widget_.Editor().ScreenStrings().TextEdits()};
  if (!removed.isEmpty()) {
    QAccessibleTextRemoveEvent event(&widget_, at, removed);
    Send(event);
  }
  if (!inserted.isEmpty()) {
    QAccessibleTextInsertEvent event(&widget_, at, inserted);
    Send(event);
  }
}

QString TAccessibleNotices::RowsText(int first, int count) const {
  QString text;
  for (int r = first; r < first + count; ++r) text += offsets_.RowText(r);
  return text;
}

// The logical lines of the caret and the selection, with a row on each
// side, so that joining with the line before or after is seen too.
void TAccessibleNotices::SeeRowsAround() {
  TEditor& ed = widget_.Editor();
  TEditorScreenStrings& rows = ed.ScreenStrings();
  const int n = ed.RowCount();
  const std::uint64_t edits = rows.TextEdits();
  if (n == 0) {
    seen_ = {0, 0, QString(), true, edits};
    return;
  }
  int low = std::min(ed.Row(), n - 1), high = low;
  if (ed.Selected()) {
    low = std::min(low, ed.SelectionRange().startRow);
    high = std::max(high, std::min(ed.SelectionRange().endRow, n - 1));
  }
  const int first = std::max(0, rows.FirstRowOfLine(low) - 1);
  const int last = std::min(n - 1, rows.LastRowOfLine(high) + 1);
  if (seen_.valid && seen_.edits == edits && seen_.first == first && seen_.count == last - first + 1) return;
  TRowSums bytes = rows.SumsBefore(last + 1);
  bytes -= rows.SumsBefore(first);
  if (bytes.bytes > kSeenBytes) {
    seen_.valid = false;
    return;
  }
  seen_ = {first, last - first + 1, RowsText(first, last - first + 1), true, edits};
}

}  // namespace yk
