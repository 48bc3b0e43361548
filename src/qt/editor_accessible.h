// The editor widget for assistive technologies (screen readers): its text,
// caret, selections and character places in Unicode offsets, editing
// through them, and the notices of caret moves, text changes and
// selection changes.
#pragma once

#include <QAccessibleWidget>
#include <QString>

#include <cstdint>

#include "qt/unicode_offsets.h"

namespace yk {

class TEditor;
class TEditorWidget;

// Makes the accessible interface of every TEditorWidget; installed once by
// the first widget.
QAccessibleInterface* EditorAccessibleFactory(const QString& className, QObject* object);

class TEditorAccessible : public QAccessibleWidget,
                          public QAccessibleTextInterface,
                          public QAccessibleEditableTextInterface {
 public:
  explicit TEditorAccessible(TEditorWidget* widget);

  void* interface_cast(QAccessible::InterfaceType type) override;
  QAccessible::State state() const override;

  // --- QAccessibleTextInterface ---------------------------------------------
  void selection(int selectionIndex, int* startOffset, int* endOffset) const override;
  int selectionCount() const override;
  void addSelection(int startOffset, int endOffset) override;
  void removeSelection(int selectionIndex) override;
  void setSelection(int selectionIndex, int startOffset, int endOffset) override;
  int cursorPosition() const override;
  void setCursorPosition(int position) override;
  QString text(int startOffset, int endOffset) const override;
  QString textBeforeOffset(int offset, QAccessible::TextBoundaryType type, int* startOffset,
                           int* endOffset) const override;
  QString textAfterOffset(int offset, QAccessible::TextBoundaryType type, int* startOffset,
                          int* endOffset) const override;
  QString textAtOffset(int offset, QAccessible::TextBoundaryType type, int* startOffset,
                       int* endOffset) const override;
  int characterCount() const override;
  QRect characterRect(int offset) const override;
  int offsetAtPoint(const QPoint& point) const override;
  void scrollToSubstring(int startIndex, int endIndex) override;
  QString attributes(int offset, int* startOffset, int* endOffset) const override;

  // --- QAccessibleEditableTextInterface -------------------------------------
  void deleteText(int startOffset, int endOffset) override;
  void insertText(int offset, const QString& text) override;
  void replaceText(int startOffset, int endOffset, const QString& text) override;

 private:
  struct TSpan {
    std::int64_t start = 0;
    std::int64_t end = 0;
  };
  TEditorWidget& Widget() const;
  TEditor& Editor() const;
  TUnicodeOffsets& Offsets() const;
  // The piece of the given kind that holds offset.
  TSpan SpanAt(std::int64_t offset, QAccessible::TextBoundaryType type) const;
  TSpan RowSpan(int row) const;
  TSpan WordSpan(std::int64_t offset, QAccessible::TextBoundaryType type) const;
  QString Answer(TSpan span, int* startOffset, int* endOffset) const;
  // Selects [start, end) as a stream.
  void Select(std::int64_t start, std::int64_t end);
  void ReplaceSelection(const QString& text);
};

// What the widget tells assistive technologies as the editor works: the
// caret's new offset, the text removed and inserted, the selection. Kept
// cheap: nothing is done while no assistive technology listens, and a
// change converts only the rows around the caret and the selection, which
// are kept as Unicode to tell what a change removed.
class TAccessibleNotices {
 public:
  TAccessibleNotices(TEditorWidget& widget, TUnicodeOffsets& offsets);

  void CaretPlaced();
  void TextChanged(int first, int count, int newCount);
  void SelectionChanged();

  // Whether an assistive technology listens, and where the notices go: the
  // platform's; tests on a platform without one put their own.
  static bool (*Listening)();
  static void (*Deliver)(QAccessibleEvent* event);

 private:
  // Rows [first, first + count) as Unicode, as they were when last seen.
  struct TRowsSeen {
    int first = 0;
    int count = 0;
    QString text;
    bool valid = false;
    std::uint64_t edits = 0;  // the row list's edit count then
  };
  // Bytes of rows kept as Unicode at most.
  static constexpr std::int64_t kSeenBytes = 1 << 20;

  void SeeRowsAround();
  QString RowsText(int first, int count) const;
  void Send(QAccessibleEvent& event);

  TEditorWidget& widget_;
  TUnicodeOffsets& offsets_;
  TUnicodeOffsets::TPlace caret_{-1, -1};
  TRowsSeen seen_;
};

// The caret's row and byte in its row.
TUnicodeOffsets::TPlace CaretPlace(TEditor& editor);

}  // namespace yk
