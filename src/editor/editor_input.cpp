// TEditor keyboard and mouse: the navigation keys with Shift selection, page
// moves, mouse selection with its drag threshold, row selection in the left
// margin, dragging a selection to move or copy it, and the cursor kinds.
#include <algorithm>
#include <cstdlib>

#include "editor/editor.h"

namespace yk {

// --- keyboard ---------------------------------------------------------------

bool TEditor::KeyDown(TKey key, TShiftState shift, bool repeat) {
  if (InMouseAction()) return DragKey(key, true);
  if (TEditorPopupMenu* menu = PopupMenu(); menu && menu->ShortCut(key, shift)) return true;
  if (OnKeyDown) OnKeyDown(*this, key, shift);
  if (key == vkNone) return true;
  key_repeat_ = repeat;
  if (key == vkDelete) {
    DeleteKey();
    return true;
  }
  if (!IsNavigationKey(key)) return false;
  const bool extend = (shift & ssShift) != 0;
  if (extend && !Selected()) StartSelection();
  if (!extend && Selected()) CancelSelection();
  NavigationKey(key, (shift & ssCtrl) != 0);
  if (extend) ExtendSelection();
  return true;
}

void TEditor::KeyUp(TKey key, TShiftState shift) {
  if (InMouseAction()) {
    DragKey(key, false);
    return;
  }
  key_repeat_ = false;
  if (ime_move_pending_) {
    ime_move_pending_ = false;
    MoveCompositionWindow();
  }
  if (OnKeyUp) OnKeyUp(*this, key, shift);
}

void TEditor::KeyPress(char c, TShiftState shift) {
  if (InMouseAction()) return;
  if (OnKeyPress) OnKeyPress(*this, c);
  if (c == 0) return;
  KeyChar(c, (shift & (ssShift | ssCtrl)) != 0);
}

// During a mouse action only a drag listens: Ctrl switches between move
// and copy, Escape cancels. Every other key does nothing.
bool TEditor::DragKey(TKey key, bool down) {
  if (sel_drag_ != sdDragging) return false;
  if (key == vkControl) {
    SetCursorKind(down ? 4 : 3);
    return true;
  }
  if (key == vkEscape && down) {
    EndSelDrag(true);
    return true;
  }
  return false;
}

// A page is one row less than the view, but at least one row, so a view
// shorter than two rows still pages in the key's direction.
void TEditor::NavigationKey(TKey key, bool ctrl) {
  const int page = std::max(1, visible_rows_ - 1);
  switch (key) {
    case vkPrior: PageMove(-page); break;
    case vkNext: PageMove(page); break;
    case vkHome:
      if (ctrl) SetRowCol(0, 0);
      else SetCol(0);
      break;
    case vkEnd:
      if (ctrl) SetRow(RowCount());
      SetCol(RowEndCol(row_));
      break;
    case vkLeft: KeyLeft(ctrl); break;
    case vkRight: KeyRight(ctrl); break;
    case vkUp: KeyUpArrow(ctrl); break;
    case vkDown: KeyDownArrow(ctrl); break;
    default: break;
  }
}

void TEditor::KeyLeft(bool ctrl) {
  if (ctrl) {
    int r = row_, c = col_;
    if (NextWordPos(r, c, -1)) SetRowCol(r, c);
    return;
  }
  if (col_ > 0) {
    SetCol(col_ - 1);
  } else if (row_ > 0 && (caret_->NextLine() || RowAttribute(row_ - 1) == raWrapped)) {
    CaretBeginUpdate();
    SetRowCol(row_ - 1, RowEndCol(row_ - 1));
    CaretEndUpdate();
  }
}

void TEditor::KeyRight(bool ctrl) {
  if (ctrl) {
    int r = row_, c = col_;
    if (NextWordPos(r, c, 1)) SetRowCol(r, c);
    return;
  }
  const int old = col_;
  SetCol(col_ + 1);
  const TRowAttribute a = RowAttribute(row_);
  if (col_ > old || row_ >= RowCount() || a == raEof) return;
  if (caret_->NextLine() || a == raWrapped) {
    CaretBeginUpdate();
    SetRowCol(row_ + 1, 0);
    CaretEndUpdate();
  }
}

// Held at the view's edge, the arrow keys move two rows per repeat, so the
// view scrolls faster than one row at a time.
void TEditor::KeyUpArrow(bool ctrl) {
  if (row_ == 0) return;
  const int s = key_repeat_ && row_ == top_row_ ? 2 : 1;
  if (!ctrl) {
    SetRow(row_ - s);
    return;
  }
  SetTopRow(top_row_ - s);
  if (row_ > top_row_ + visible_rows_ - 1) SetRow(top_row_ + visible_rows_ - 1);
}

void TEditor::KeyDownArrow(bool ctrl) {
  if (row_ >= RowCount() || RowAttribute(row_) == raEof) return;
  const int s = key_repeat_ && row_ == top_row_ + visible_rows_ - 1 ? 2 : 1;
  if (!ctrl) {
    SetRow(row_ + s);
    return;
  }
  SetTopRow(top_row_ + s);
  if (row_ < top_row_) SetRow(top_row_);
}

// The view moves by n rows and the caret keeps its place on the screen.
void TEditor::PageMove(int n) {
  if (top_row_ == 0 && n < 0) {
    SetRow(0);
    return;
  }
  if (n > 0 && RowAttribute(top_row_) == raEof) return;
  CaretBeginUpdate();
  const int old = top_row_;
  SetTopRow(top_row_ + n);
  const int d = top_row_ - old;
  if (d != 0) SetRow(row_ + d);
  CaretEndUpdate();
}

// --- mouse ------------------------------------------------------------------

void TEditor::MouseDown(TMouseButton button, TShiftState shift, int x, int y) {
  if (InMouseAction()) return;
  if (button == mbLeft && !(shift & ssDouble)) LeftButtonDown(shift, x, y);
  if (button == mbMiddle && !(shift & ssDouble)) PasteSelectionAt(x, y);
  if (OnMouseDown) OnMouseDown(*this, button, shift, x, y);
}

void TEditor::LeftButtonDown(TShiftState shift, int x, int y) {
  last_mouse_ = {x, y};
  last_shift_ = shift;
  if (shift & ssShift) {
    left_button_down_ = true;
    if (!Selected()) StartSelection();
    const TPoint p = PosToRowCol(x, y, true);
    SetRowCol(p.y, p.x);
    ExtendSelection();
    return;
  }
  press_point_ = {x, y};
  const TPoint exact = PosToRowCol(x, y, false);
  if (CanSelDrag() && x >= margin_->Left() && InSelection(exact.y, exact.x)) {
    SetRowCol(exact.y, exact.x);
    // Automatic mode: the press becomes a pending drag and is no longer a
    // selecting button; manual mode keeps selecting from the old anchor.
    if (caret_->SelDragMode() == dmAutomatic)
      sel_drag_ = sdPending;
    else
      left_button_down_ = true;
    return;
  }
  left_button_down_ = true;
  const TPoint p = PosToRowCol(x, y, true);
  if (x < margin_->Left() && caret_->RowSelect()) {
    RowSelectStart(p.y);
    return;
  }
  CaretBeginUpdate();
  SetRowCol(p.y, p.x);
  StartSelection();
  CaretEndUpdate();
}

// The point a held button follows: above the text it means the row above
// the first visible one, so that dragging there scrolls up.
TPoint TEditor::FollowPoint(int x, int y, bool nearest) const {
  TPoint p = PosToRowCol(x, y, nearest);
  if (y < margin_->Top()) p.y = std::max(0, p.y - 1);
  return p;
}

bool TEditor::PastDragThreshold(int x, int y) const {
  const int threshold = col_width_ / 2;
  return std::abs(x - press_point_.x) >= threshold || std::abs(y - press_point_.y) >= threshold;
}

void TEditor::MouseMove(TShiftState shift, int x, int y) {
  last_mouse_ = {x, y};
  last_shift_ = shift;
  if (InMouseAction() && !(shift & ssLeft)) CancelMouseAction();
  if (sel_drag_ != sdNone) {
    if (sel_drag_ == sdPending && PastDragThreshold(x, y)) {
      sel_drag_ = sdDragging;
      SetCursorKind(shift & ssCtrl ? 4 : 3);
    }
    if (sel_drag_ == sdDragging) {
      const TPoint p = FollowPoint(x, y, false);  // the caret shows the drop point
      SetRowCol(p.y, p.x);
    }
  } else if (left_button_down_) {
    const TPoint p = FollowPoint(x, y, true);
    if (row_selecting_) {
      RowSelectMove(p.y);
    } else {
      SetRowCol(p.y, p.x);
      if (Selected() || PastDragThreshold(x, y)) ExtendSelection();
    }
  } else {
    SetCursorKind(CursorKindAt(x, y));
  }
  if (OnMouseMove) OnMouseMove(*this, shift, x, y);
}

void TEditor::MouseUp(TMouseButton button, TShiftState shift, int x, int y) {
  if (button == mbLeft) LeftButtonUp(shift, x, y);
  if (OnMouseUp) OnMouseUp(*this, button, shift, x, y);
}

void TEditor::LeftButtonUp(TShiftState shift, int x, int y) {
  left_button_down_ = false;
  row_selecting_ = false;
  if (sel_drag_ == sdPending) {
    EndSelDrag(false);
  } else if (sel_drag_ == sdDragging) {
    sel_drag_ = sdNone;
    SetCursorKind(0);
    const TSize size = ClientSizeOrDefault();
    const bool outside = x < 0 || y < 0 || x >= size.width || y >= size.height;
    if (outside || InSelection(row_, col_))
      CancelSelection();
    else if (shift & ssCtrl)
      CopySelectionTo(row_, col_);
    else
      MoveSelectionTo(row_, col_);
  }
}

void TEditor::CancelMouseAction() {
  left_button_down_ = false;
  row_selecting_ = false;
  if (sel_drag_ == sdNone) return;
  sel_drag_ = sdNone;
  SetCursorKind(0);
}

// A drag that ends without a drop: the selection goes, the caret stays.
void TEditor::EndSelDrag(bool cancelled) {
  sel_drag_ = sdNone;
  SetCursorKind(0);
  if (cancelled && caret_->AutoCursor() && host_) host_->SetCursor(caret_->Cursors().DefaultCursor(), true);
  CancelSelection();
}

void TEditor::DoubleClick() {
  if (InMouseAction()) return;
  if (OnDblClick) OnDblClick(*this);
}

// --- cursors ----------------------------------------------------------------

int TEditor::CursorKindAt(int x, int y) const {
  if (x < margin_->Left()) return 1;
  const TPoint p = PosToRowCol(x, y, true);
  return CanSelDrag() && InSelection(p.y, p.x) ? 2 : 0;
}

TCursor TEditor::CursorFor(int x, int y) const {
  const TEditorCursors& c = caret_->Cursors();
  switch (CursorKindAt(x, y)) {
    case 1: return c.LeftMarginCursor();
    case 2: return c.InSelCursor();
    default: return c.DefaultCursor();
  }
}

// Dragging shows its cursor on the screen at once; the control's own
// cursor is left alone for the time after the drag.
void TEditor::SetCursorKind(int kind) {
  if (kind == cursor_kind_) return;
  cursor_kind_ = kind;
  if (!caret_->AutoCursor() || !host_) return;
  const TEditorCursors& c = caret_->Cursors();
  switch (kind) {
    case 1: host_->SetCursor(c.LeftMarginCursor(), false); break;
    case 2: host_->SetCursor(c.InSelCursor(), false); break;
    case 3: host_->SetCursor(c.DragSelCursor(), true); break;
    case 4: host_->SetCursor(c.DragSelCopyCursor(), true); break;
    default: host_->SetCursor(c.DefaultCursor(), false); break;
  }
}

// --- selection drag ---------------------------------------------------------

bool TEditor::CanSelDrag() const {
  return !read_only_ && Selected() && sel_mode_ == smNormal && caret_->SelMove();
}

bool TEditor::InSelection(int row, int col) const {
  if (!Selected() || sel_mode_ != smNormal) return false;
  const TSelectionRange& r = range_;
  if (row < r.top || row > r.bottom) return false;
  if (row == r.top && col < r.left) return false;
  if (row == r.bottom && col >= r.right) return false;
  return true;
}

void TEditor::CopySelectionTo(int row, int col) {
  if (!CanSelDrag() || InSelection(row, col)) {
    CancelSelection();
    return;
  }
  const std::string text = SelText();
  CancelSelection();
  SetRowCol(row, col);
  SetSelTextBuf(text);
}

// The drop row is padded with spaces up to a drop point beyond its end.
TEditor::TMoveText TEditor::JoinForMove(int first, int last, int dropRow, int dropByte) const {
  TMoveText m;
  for (int r = first; r <= last; ++r) {
    std::string_view line = RowView(r);
    if (r == range_.startRow) m.selStart = m.text.size() + static_cast<std::size_t>(range_.startByte);
    if (r == range_.endRow) m.selEnd = m.text.size() + static_cast<std::size_t>(range_.endByte + 1);
    if (r == dropRow) m.drop = m.text.size() + static_cast<std::size_t>(dropByte);
    m.text.append(line);
    if (r == dropRow && dropByte > static_cast<int>(line.size()))
      m.text.append(static_cast<std::size_t>(dropByte) - line.size(), ' ');
    if (RowAttribute(r) == raCrlf && r < RowCount()) m.text.append("\r\n");
  }
  return m;
}

// One replacement over every row from the first touched to the last, so
// the move is a single undo step: the selection is cut out of the joined
// rows and put in again at the drop point.
void TEditor::MoveSelectionTo(int row, int col) {
  if (!CanSelDrag() || InSelection(row, col)) {
    CancelSelection();
    return;
  }
  const int dropRow = std::clamp(row, 0, RowCount());
  const int first = std::min(range_.startRow, dropRow);
  const int last = std::max(range_.endRow, dropRow);
  TMoveText m = JoinForMove(first, last, dropRow, ByteIndex(dropRow, col, false));
  const std::string moved = m.text.substr(m.selStart, m.selEnd - m.selStart);
  std::size_t caretEnd = m.drop;  // after a forward move the removed part lay before the drop point
  if (m.drop <= m.selStart) {
    m.text.erase(m.selStart, m.selEnd - m.selStart);
    m.text.insert(m.drop, moved);
    caretEnd = m.drop + moved.size();
  } else {
    m.text.insert(m.drop, moved);
    m.text.erase(m.selStart, m.selEnd - m.selStart);
  }
  const int anchor = AnchorRow(first);
  const std::int64_t offset = OffsetFromRowCol(anchor, first, 0) + static_cast<std::int64_t>(caretEnd);
  const int replaced = std::max(0, std::min(last, RowCount() - 1) - first + 1);
  CancelSelection();
  ReplaceAndPlace(first, replaced, m.text, anchor, offset);
}

// --- row selection ----------------------------------------------------------

// The empty row after a last line without line end is not a row of its
// own: it selects the last row.
int TEditor::RowSelectRow(int row) const {
  const int n = RowCount();
  row = std::clamp(row, 0, n);
  if (row == n && n > 0 && RowAttribute(n - 1) == raEof) row = n - 1;
  return row;
}

// The selection of the start row runs from its end back to its start, so
// the caret stands at the row's start.
void TEditor::RowSelectStart(int row) {
  const int r = RowSelectRow(row);
  row_selecting_ = true;
  row_sel_anchor_ = r;
  row_sel_anchor_last_ = RowAttribute(r) == raEof;
  CaretBeginUpdate();
  if (row_sel_anchor_last_)
    SetRowCol(r, RowEndCol(r));
  else
    SetRowCol(r + 1, 0);
  StartSelection();
  SetRowCol(r, 0);
  ExtendSelection();
  CaretEndUpdate();
}

// Downwards the anchor stands at the start of the anchor row, upwards at
// its end, so the anchor row is always part of the selection.
void TEditor::RowSelectMove(int row) {
  if (!row_selecting_ || sel_state_ == sstNone) return;  // an edit may have ended the selection
  const int r = RowSelectRow(row);
  const int a = row_sel_anchor_;
  const bool upwards = r < a;
  TSelectionAnchor want;
  if (upwards) {
    want.row = row_sel_anchor_last_ ? a : a + 1;
    want.byte = row_sel_anchor_last_ ? static_cast<int>(RowView(a).size()) : 0;
    want.col = row_sel_anchor_last_ ? RowEndCol(a) : 0;
  } else {
    want.row = a;
  }
  want.row = std::min(want.row, RowCount());
  anchor_ = want;
  CaretBeginUpdate();
  if (upwards)
    SetRowCol(r, 0);
  else if (RowAttribute(r) == raEof)
    SetRowCol(r, RowEndCol(r));
  else
    SetRowCol(r + 1, 0);
  ExtendSelection();
  CaretEndUpdate();
}

}  // namespace yk
