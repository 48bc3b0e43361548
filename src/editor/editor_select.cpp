// TEditor selection: the two selection modes, the range kept from anchor and
// caret, box pieces and remainders, and the selection's text and offsets.
#include <algorithm>
#include <cstdint>

#include "editor/column_code.h"
#include "editor/editor.h"
#include "text/column_map.h"

namespace yk {

namespace {

bool EmptyRange(const TSelectionRange& r) { return r.startRow == r.endRow && r.endByte < r.startByte; }

}  // namespace

void TEditor::SetSelectionMode(TEditorSelectionMode mode) {
  if (sel_drag_ == sdDragging || mode == sel_mode_) return;
  sel_mode_ = mode;
  if (Selected()) {
    UpdateSelection();
    RepaintAll();
  }
  if (mode == smBox && host_) host_->SetCursor(caret_->Cursors().DefaultCursor(), false);
  DoSelectionModeChange();
}

TSelectionSpan TEditor::SelectionSpan() const {
  if (!Selected()) return {row_, col_, row_, col_, false};
  return {anchor_.row, anchor_.col, row_, col_, sel_mode_ == smBox};
}

void TEditor::SetSelectionSpan(const TSelectionSpan& span) {
  CancelSelection();
  const bool two = span.anchorRow != span.row || span.anchorCol != span.col;
  if (two) {
    SetSelectionMode(span.box ? smBox : smNormal);
    SetRowCol(span.anchorRow, span.anchorCol);
    StartSelection();
  }
  SetRowCol(span.row, span.col);
  if (two) ExtendSelection();
}

void TEditor::DoSelectionModeChange() {
  if (OnSelectionModeChange) OnSelectionModeChange(*this);
}

void TEditor::DoSelectionChange(bool selected) {
  if (host_) host_->SelectionChanged();
  if (OnSelectionChange) OnSelectionChange(*this, selected);
}

void TEditor::StartSelection() {
  CancelSelection();
  if (RowCount() == 0) return;
  sel_state_ = sstStarted;
  anchor_.row = row_;
  anchor_.byte = CaretByte(true);
  anchor_.col = sel_mode_ == smBox ? col_ : std::min(col_, RowEndCol(row_));
  range_ = {row_, row_, anchor_.byte, anchor_.byte - 1, row_, row_, anchor_.col, anchor_.col};
}

void TEditor::ExtendSelection() {
  if (sel_state_ == sstStarted) {
    UnderlineBeginUpdate();  // no caret-row underline while a selection shows
    sel_state_ = sstSelected;
  }
  if (sel_state_ == sstSelected) UpdateSelection();
}

void TEditor::UpdateSelection() {
  const int c = CaretByte(true);
  TSelectionRange r;
  r.startRow = std::min(anchor_.row, row_);
  r.endRow = std::max(anchor_.row, row_);
  if (anchor_.row == row_) {
    r.startByte = std::min(anchor_.byte, c);
    r.endByte = std::max(anchor_.byte, c) - 1;
  } else if (anchor_.row < row_) {
    r.startByte = anchor_.byte;
    r.endByte = c - 1;
  } else {
    r.startByte = c;
    r.endByte = anchor_.byte - 1;
  }
  r.top = r.startRow;
  r.bottom = r.endRow;
  if (sel_mode_ == smBox) {
    r.left = std::min(anchor_.col, col_);
    r.right = std::max(anchor_.col, col_);
  } else if (anchor_.row == row_) {
    const int end = RowEndCol(row_);
    r.left = std::min({anchor_.col, col_, end});
    r.right = std::min(std::max(anchor_.col, col_), end);
  } else {
    const bool anchorAbove = anchor_.row < row_;
    const int upperCol = anchorAbove ? anchor_.col : col_;
    const int lowerCol = anchorAbove ? col_ : anchor_.col;
    r.left = std::min(upperCol, RowEndCol(r.startRow));
    r.right = std::min(lowerCol, RowEndCol(r.endRow));
  }
  const TSelectionRange before = range_;
  range_ = r;
  screen_->SelectionChanged(before, r);  // only the cells that changed
  if (!selection_offered_ && !EmptyRange(r)) OfferSelection();
  DoSelectionChange(true);
}

// --- the X11 selection -----------------------------------------------------

void TEditor::SetSelectionClipboard(TClipboard* clipboard) {
  WithdrawSelection();
  selection_clipboard_ = clipboard;
}

// Offered once per selection: the text is taken when a paste asks for it,
// as the selection stands then.
void TEditor::OfferSelection() {
  if (!selection_clipboard_) return;
  selection_clipboard_->SetTextSource([this] { return SelText(); });
  selection_offered_ = true;
}

void TEditor::WithdrawSelection() {
  if (selection_offered_ && selection_clipboard_) selection_clipboard_->Withdraw();
  selection_offered_ = false;
}

// The selection's text is read before the selection goes, since it may be
// this editor's own.
void TEditor::PasteSelectionAt(int x, int y) {
  if (read_only_ || !selection_clipboard_ || !selection_clipboard_->HasText()) return;
  const std::string text = selection_clipboard_->Text();
  const TPoint p = PosToRowCol(x, y, true);
  CaretBeginUpdate();
  CancelSelection();
  SetRowCol(std::max(p.y, 0), p.x);
  SetSelTextBuf(text);
  CaretEndUpdate();
}

// Every edit of this editor drops its selection first, so a selection that
// is still shown after a change was overtaken by another editor sharing the
// rows. It keeps its rows and columns, but its bytes are taken anew so that
// it never cuts a character in two. A selection only started (a press
// before the first mouse move) has its anchor realigned too, or the move
// would span bytes that are no longer there. Rows removed under the
// selection take the caret and the anchor back to the last row a caret can
// stand on now, before the range is taken anew from them.
void TEditor::RealignSelection() {
  if (sel_state_ == sstNone) return;
  if (row_ > MaxCaretRow()) SetRow(MaxCaretRow());
  anchor_.row = std::min(anchor_.row, MaxCaretRow());
  const std::string& map = RowMap(anchor_.row);
  int col = CharStartColumn(map, anchor_.col, caret_->InTab());
  if (sel_mode_ == smNormal) col = std::min(col, static_cast<int>(map.size()));
  anchor_.col = std::max(col, 0);
  anchor_.byte = ByteOfRowColumn(anchor_.row, anchor_.col, true);
  if (Selected()) UpdateSelection();
}

// Works without a window too: only the repainting needs one, and a stale
// selection would make later edits replace the wrong text.
void TEditor::CancelSelection() {
  if (sel_state_ == sstNone) return;
  const bool shown = sel_state_ == sstSelected;
  sel_state_ = sstNone;
  if (!shown) return;
  WithdrawSelection();
  if (!EmptyRange(range_) && host_) {
    InvalidateRows(range_.top - 1, range_.bottom);
    host_->UpdateNow();
  }
  UnderlineEndUpdate();
  col_remembered_ = false;
  DoSelectionChange(false);
}

// The bytes of a row inside the display columns left..right-1: a character
// cut by the left edge is left out, one cut by the right edge taken whole.
TEditor::TBytePiece TEditor::BoxPiece(int row, int left, int right) const {
  std::string_view text = RowView(row);
  const int length = static_cast<int>(text.size());
  const std::string& map = RowMap(row);
  TBytePiece piece;
  const int w = static_cast<int>(map.size());
  if (left >= w) {
    piece.first = piece.end = length;
    return piece;
  }
  const char lc = CodeAt(map, left);
  piece.first = ByteOfRowColumn(row, left, true) + (lc == kColTrail || lc == kColTabFill ? 1 : 0);
  const int rc = right - 1;
  if (rc < 0) {
    piece.end = piece.first;
  } else if (rc >= w) {
    piece.end = length;
  } else {
    piece.end = ByteOfRowColumn(row, rc, true) + (CodeAt(map, rc) == kColLead ? 2 : 1);
  }
  piece.first = std::min(piece.first, length);
  piece.end = std::clamp(piece.end, piece.first, length);
  return piece;
}

// The selected rows without the selected part: one row per row of a box,
// one joined row for a stream.
TEditor::TRemainder TEditor::SelectionRemainder() const {
  TRemainder rem;
  const int lastRow = std::min(range_.endRow, RowCount() - 1);
  if (sel_mode_ == smBox) {
    for (int r = range_.startRow; r <= lastRow; ++r) {
      const TBytePiece piece = BoxPiece(r, range_.left, range_.right);
      std::string text(RowView(r));
      text.erase(static_cast<std::size_t>(piece.first), static_cast<std::size_t>(piece.end - piece.first));
      rem.rows.push_back(std::move(text));
      rem.attributes.push_back(RowAttribute(r));
      rem.positions.push_back(piece.first);
    }
  } else {
    std::string_view start = RowView(range_.startRow);
    std::string_view end = RowView(range_.endRow);
    const std::size_t head = std::min(static_cast<std::size_t>(std::max(range_.startByte, 0)), start.size());
    const std::size_t tail = std::min(static_cast<std::size_t>(std::max(range_.endByte + 1, 0)), end.size());
    std::string text(start.substr(0, head));
    text.append(end.substr(tail));
    rem.rows.push_back(std::move(text));
    rem.attributes.push_back(RowAttribute(range_.endRow));
    rem.positions.push_back(static_cast<int>(head));
  }
  if (rem.rows.empty()) {  // a box on the empty row after the last line
    rem.rows.emplace_back();
    rem.attributes.push_back(raEof);
    rem.positions.push_back(0);
  }
  return rem;
}

std::string TEditor::JoinRows(const TRemainder& rem) const {
  std::string text;
  for (std::size_t i = 0; i < rem.rows.size(); ++i) {
    text.append(rem.rows[i]);
    if (rem.attributes[i] == raCrlf) text.append("\r\n");
  }
  return text;
}

void TEditor::DeleteSelection() {
  if (!Selected()) return;
  const TRemainder rem = SelectionRemainder();
  const int anchor = AnchorRow(range_.startRow);
  const std::int64_t offset = OffsetFromRowCol(anchor, range_.startRow, 0) + rem.positions[0];
  const int first = range_.startRow;
  const int last = std::min(range_.endRow, RowCount() - 1);
  const std::string text = JoinRows(rem);
  CancelSelection();
  ReplaceAndPlace(first, std::max(0, last - first + 1), text, anchor, offset);
}

void TEditor::SetSelTextBuf(std::string_view text) {
  if (read_only_) return;
  if (text.empty()) {
    DeleteSelection();
    return;
  }
  // With a selection the text goes where the selection began (in a box,
  // into its first row only); otherwise it is typed at the caret.
  const bool wasOverwrite = overwrite_;
  overwrite_ = false;
  InsertText(text);
  overwrite_ = wasOverwrite;
}

std::int64_t TEditor::SelStart() const {
  if (Selected()) return RowStartOffset(range_.startRow) + range_.startByte;
  return RowStartOffset(row_) + CaretByte(true);
}

void TEditor::SetSelStart(std::int64_t v) {
  CancelSelection();
  if (v <= 0)
    PlaceCaret(0, 0);
  else
    SetCaretByOffset(0, v);
}

std::int64_t TEditor::SelLength() const {
  if (!Selected()) return 0;
  const TSelectionRange& r = range_;
  if (r.startRow == r.endRow) return r.endByte - r.startByte + 1;
  std::int64_t n = 0;
  if (sel_mode_ == smBox) {
    for (int row = r.startRow; row <= r.endRow; ++row) {
      const TBytePiece piece = BoxPiece(row, r.left, r.right);
      n += piece.end - piece.first + 2;
    }
    return n;
  }
  return RowStartOffset(r.endRow) + r.endByte + 1 - RowStartOffset(r.startRow) - r.startByte;
}

void TEditor::SetSelLength(std::int64_t n) {
  if (RowCount() == 0) return;
  SetSelectionMode(smNormal);
  const bool wasBatch = batch_;
  batch_ = true;
  if (Selected()) PlaceCaret(range_.startRow, ColOfByte(range_.startRow, range_.startByte));
  if (n <= 0) {
    CancelSelection();
  } else {
    StartSelection();
    // A length past the document selects to its end, so the sum saturates.
    const std::int64_t byte = CaretByte(true);
    SetCaretByOffset(row_, n > INT64_MAX - byte ? INT64_MAX : byte + n);
    ExtendSelection();
  }
  batch_ = wasBatch;
  if (!batch_) UpdateCaret();
}

std::string TEditor::SelText() const {
  if (!Selected()) return {};
  const TSelectionRange& r = range_;
  std::string text;
  if (r.startRow == r.endRow) {
    std::string_view row = RowView(r.startRow);
    const std::size_t from = std::min(static_cast<std::size_t>(r.startByte), row.size());
    return std::string(row.substr(from, static_cast<std::size_t>(std::max(r.endByte - r.startByte + 1, 0))));
  }
  text.reserve(static_cast<std::size_t>(SelLength()));
  if (sel_mode_ == smBox) {
    for (int row = r.startRow; row <= r.endRow; ++row) {
      const TBytePiece piece = BoxPiece(row, r.left, r.right);
      text.append(RowView(row).substr(static_cast<std::size_t>(piece.first), static_cast<std::size_t>(piece.end - piece.first)));
      text.append("\r\n");
    }
    return text;
  }
  std::string_view start = RowView(r.startRow);
  text.append(start.substr(std::min(static_cast<std::size_t>(r.startByte), start.size())));
  if (RowAttribute(r.startRow) == raCrlf) text.append("\r\n");
  for (int row = r.startRow + 1; row < r.endRow; ++row) {
    text.append(RowView(row));
    if (RowAttribute(row) == raCrlf) text.append("\r\n");
  }
  std::string_view end = RowView(r.endRow);
  text.append(end.substr(0, std::min(static_cast<std::size_t>(r.endByte + 1), end.size())));
  return text;
}

std::int64_t TEditor::TextLength() const {
  const TRowSums all = rows_->Totals();
  return all.bytes + 2 * all.crlfs;
}

void TEditor::SelectAll() {
  CaretBeginUpdate();
  SetSelStart(0);
  SetSelLength(TextLength());
  CaretEndUpdate();
}

}  // namespace yk
