// TEditor scrolling: the scroll bars (with LockScroll), the wheel, the
// on-screen caret after the view moved, and automatic scrolling while the
// mouse is held outside the text.
#include <algorithm>

#include "editor/editor.h"

namespace yk {

// The view moves to row target (limited to 0..MaxTopRow); with LockScroll
// the caret moves with it and so keeps its place on the screen.
void TEditor::ScrollRowsTo(int target) {
  target = std::clamp(target, 0, MaxTopRow());
  if (target == top_row_) return;
  const int old = top_row_;
  CaretBeginUpdate();
  SetTopRow(target);
  const int moved = top_row_ - old;
  if (caret_->LockScroll() && moved != 0) SetRow(row_ + moved);
  CaretEndUpdate();
}

void TEditor::VScroll(TScrollCode code, int pos) {
  const int page = std::max(1, visible_rows_);
  switch (code) {
    case scLineUp: ScrollRowsTo(top_row_ - 1); break;
    case scLineDown: ScrollRowsTo(top_row_ + 1); break;
    case scPageUp: ScrollRowsTo(top_row_ - page); break;
    case scPageDown: ScrollRowsTo(top_row_ + page); break;
    case scTop: ScrollRowsTo(0); break;
    case scBottom: ScrollRowsTo(MaxTopRow()); break;
    case scPosition:
    case scTrack: ScrollRowsTo(pos); break;
    case scEndScroll: break;
  }
}

// The thumb position is taken whole: a row wider than 65535 columns can
// still be scrolled to its end.
void TEditor::HScroll(TScrollCode code, int pos) {
  int target = top_col_;
  switch (code) {
    case scLineUp: target = top_col_ - 1; break;
    case scLineDown: target = top_col_ + 1; break;
    case scPageUp: target = top_col_ - std::max(1, visible_cols_); break;
    case scPageDown: target = top_col_ + std::max(1, visible_cols_); break;
    case scTop: target = 0; break;
    case scBottom: target = MaxTopCol(); break;
    case scPosition:
    case scTrack: target = pos; break;
    case scEndScroll: return;
  }
  SetTopCol(std::clamp(target, 0, MaxTopCol()));
}

bool TEditor::MouseWheel(int delta, TShiftState shift) {
  if (InMouseAction() || delta == 0) return false;
  const bool page = (shift & ssShift) != 0;
  if (delta > 0)
    VScroll(page ? scPageUp : scLineUp);
  else
    VScroll(page ? scPageDown : scLineDown);
  return true;
}

bool TEditor::AutoScrollTick() {
  if (!left_button_down_ && sel_drag_ != sdDragging) return false;
  const int x = last_mouse_.x, y = last_mouse_.y;
  const int textBottom = margin_->Top() + visible_rows_ * RowHeight();
  const int textRight = margin_->Left() + visible_cols_ * col_width_;
  const bool leftOfText = x < margin_->Left() && !row_selecting_;
  if (y >= margin_->Top() && y < textBottom && x < textRight && !leftOfText) return false;
  const int oldTop = top_row_, oldLeft = top_col_;
  MouseMove(last_shift_, x, y);
  return top_row_ != oldTop || top_col_ != oldLeft;
}

// The view moved but the caret did not: its place on the screen changed.
void TEditor::RefreshCaretPos() {
  if (!host_) return;
  if (Focused()) {
    const TPoint p = GetCaretXY();
    host_->SetCaretPos(p.x, p.y);
  }
  MoveCompositionWindow();
}

}  // namespace yk
