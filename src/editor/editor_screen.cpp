// TEditorScreen: what an edit and a selection change repaint, and how the
// rows below an edit are moved instead of repainted.
#include "editor/editor_screen.h"

#include <algorithm>
#include <cstdlib>

#include "editor/editor.h"

namespace yk {

void TEditorScreen::RepaintRow(int row) {
  if (!editor_.host_) return;
  if (editor_.rows_->UpdateCount() > 0) {
    pending_first_ = std::min(pending_first_, row);
    pending_last_ = std::max(pending_last_, row);
    return;
  }
  editor_.InvalidateRows(row, row);
}

void TEditorScreen::FlushPending() {
  if (pending_first_ <= pending_last_) editor_.InvalidateRows(pending_first_, pending_last_);
  pending_first_ = INT_MAX;
  pending_last_ = INT_MIN;
}

void TEditorScreen::StringsChanged() {
  TEditor& e = editor_;
  const TChangedRange change = e.rows_->ChangedRange();
  if (!e.host_ || !change.dirty) {
    FlushPending();
    return;
  }
  const int delta = change.newCount - change.oldCount;
  if (std::abs(delta) > e.visible_rows_) {
    pending_first_ = INT_MAX;
    pending_last_ = INT_MIN;
    e.RepaintAll();
    return;
  }
  if (delta != 0) {
    const TSize size = e.host_->ClientSize();
    const int y = e.RowTop(change.first + change.newCount);
    if (y < size.height)
      e.ScrollArea(0, delta * e.RowHeight(),
                   {e.margin_->Left(), std::max(y, e.margin_->Top()), size.width, size.height});
    // The caret row's underline may have moved with the pixels: clear it
    // where it went and draw it where the caret row is.
    if (e.marks_->Underline().Visible()) {
      e.InvalidateRows(e.row_ + delta, e.row_ + delta);
      e.InvalidateRows(e.row_, e.row_);
    }
  }
  e.InvalidateRows(change.first, change.first + change.newCount);
  FlushPending();
  e.host_->UpdateNow();
}

void TEditorScreen::InvalidateSpan(int row, TColumnSpan span) {
  if (span.Empty()) return;
  const TEditor& e = editor_;
  const int width = e.host_->ClientSize().width;
  const int x0 = std::max(e.ColumnX(span.from), e.margin_->Left());
  const int x1 = span.to == TColumnSpan::kToEdge ? width : std::min(e.ColumnX(span.to), width);
  if (x0 >= x1) return;
  const int y = e.RowTop(row);
  e.host_->Invalidate({x0, y, x1, y + e.RowHeight()});
}

// Rows that entered or left the selection are repainted where they are
// selected; on a row where an end moved, only the cells between the old
// and the new end.
void TEditorScreen::SelectionChanged(const TSelectionRange& before, const TSelectionRange& after) {
  TEditor& e = editor_;
  if (!e.host_) return;
  const int first = std::max(std::min(before.top, after.top), e.top_row_);
  const int last = std::min(std::max(before.bottom, after.bottom), e.top_row_ + e.visible_rows_);
  for (int row = first; row <= last; ++row) {
    const TColumnSpan was = e.SelectedSpan(before, row);
    const TColumnSpan now = e.SelectedSpan(after, row);
    if (was == now || (was.Empty() && now.Empty())) continue;
    if (was.Empty() || now.Empty()) {
      InvalidateSpan(row, was.Empty() ? now : was);
      continue;
    }
    InvalidateSpan(row, {std::min(was.from, now.from), std::max(was.from, now.from)});
    InvalidateSpan(row, {std::min(was.to, now.to), std::max(was.to, now.to)});
  }
  e.host_->UpdateNow();
}

}  // namespace yk
