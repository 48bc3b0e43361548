// TEditor editing: typing (insert and overwrite), Enter with indentation,
// Tab, Backspace, Delete and row deletion. Each builds the new text of the
// touched rows, replaces them and puts the caret back by offset.
#include <algorithm>

#include "editor/column_code.h"
#include "editor/editor.h"
#include "text/column_map.h"
#include "text/cp932.h"

namespace yk {

namespace {

constexpr std::string_view kCrLf = "\r\n";

std::string Spaces(int n) { return std::string(static_cast<std::size_t>(std::max(n, 0)), ' '); }

}  // namespace

// Offsets are counted from the first row of the caret's logical line: the
// row list may re-wrap the whole line after an edit, and rows before the
// line never change, so that row is the one stable anchor.
int TEditor::AnchorRow(int row) const { return rows_->FirstRowOfLine(std::clamp(row, 0, RowCount())); }

// The rest of a long line is wrapped once the key is on the screen; the
// task holds the rows, not the editor, which may be gone by then.
std::function<void()> TEditor::WrapAfterShown() {
  if (!host_) return {};
  return [this] {
    host_->RunAfterShown([rows = std::weak_ptr<TEditorScreenStrings>(rows_)] {
      if (const auto r = rows.lock()) r->FinishWrapNoThrow();
    });
  };
}

void TEditor::FinishDeferredWrap() { rows_->FinishWrapNoThrow(); }

void TEditor::InsertText(std::string_view s) {
  const TDeferredWrapScope typing(*rows_, WrapAfterShown());
  if (s.empty()) return;
  if (Selected()) {
    TRemainder rem = SelectionRemainder();
    const int anchor = AnchorRow(range_.startRow);
    const std::size_t pos = static_cast<std::size_t>(rem.positions[0]);
    rem.rows[0].insert(pos, s);
    const std::int64_t offset = OffsetFromRowCol(anchor, range_.startRow, 0) + static_cast<std::int64_t>(pos + s.size());
    const int first = range_.startRow;
    const int last = std::min(range_.endRow, RowCount() - 1);
    const std::string text = JoinRows(rem);
    CancelSelection();
    ReplaceAndPlace(first, std::max(0, last - first + 1), text, anchor, offset);
    return;
  }
  if (overwrite_ && CaretByte(false) < static_cast<int>(RowView(row_).size())) {
    OverwriteAtCaret(s);
  } else {
    InsertAtCaret(s);
  }
}

// Insert mode, and any typing beyond the end of a row, which pads the row
// with spaces up to the caret.
void TEditor::InsertAtCaret(std::string_view s) {
  const int r = row_;
  std::string_view line = RowView(r);
  const int length = static_cast<int>(line.size());
  const int c = CaretByte(false);
  if (r < RowCount()) {
    const std::size_t at = static_cast<std::size_t>(std::min(c, length));
    const int anchor = AnchorRow(r);
    const std::int64_t offset = OffsetFromRowCol(anchor, r, 0) + c + static_cast<std::int64_t>(s.size());
    ReplaceInRowAndPlace(r, at, at, Spaces(c - length) + std::string(s), anchor, offset);
    return;
  }
  std::string text;
  text.reserve(static_cast<std::size_t>(std::max(c, length)) + s.size() + 2);
  if (c >= length) {
    text.append(line);
    text.append(Spaces(c - length));
    text.append(s);
  } else {
    text.append(line.substr(0, static_cast<std::size_t>(c)));
    text.append(s);
    text.append(line.substr(static_cast<std::size_t>(c)));
  }
  if (RowAttribute(r) == raCrlf && r < RowCount()) text.append(kCrLf);
  const int anchor = AnchorRow(r);
  const std::int64_t offset = OffsetFromRowCol(anchor, r, 0) + c + static_cast<std::int64_t>(s.size());
  ReplaceAndPlace(r, r < RowCount() ? 1 : 0, text, anchor, offset);
}

// Overwrite mode: s replaces as many display columns as it is long; a
// double-byte character cut in half leaves a space for its other half.
void TEditor::OverwriteAtCaret(std::string_view s) {
  const int r = row_;
  const int c = CaretByte(false);
  int last = r;
  int t = col_ + static_cast<int>(s.size());
  while (t > RowEndCol(last) && RowAttribute(last) == raWrapped && last + 1 < RowCount()) {
    t -= RowEndCol(last);
    ++last;
  }
  std::string_view tailRow = RowView(last);
  std::string map;
  ColumnMapOf(tailRow, map);
  const char code = CodeAt(map, t);
  const std::size_t tb = static_cast<std::size_t>(ByteOfColumn(map, t, true, static_cast<int>(tailRow.size())));
  std::size_t from = tailRow.size();
  if (code == kColTrail || code == kColTabFill)
    from = tb + 1;
  else if (code != kColEnd)
    from = tb;
  std::string text(RowView(r).substr(0, static_cast<std::size_t>(c)));
  text.append(s);
  if (code == kColTrail) text.push_back(' ');
  text.append(tailRow.substr(std::min(from, tailRow.size())));
  if (RowAttribute(last) == raCrlf) text.append(kCrLf);
  const int anchor = AnchorRow(r);
  const std::int64_t offset = OffsetFromRowCol(anchor, r, 0) + c + static_cast<std::int64_t>(s.size());
  ReplaceAndPlace(r, last - r + 1, text, anchor, offset);
}

bool TEditor::RefusedReadOnly() {
  if (!read_only_) return false;
  if (OnEditRefused) OnEditRefused(*this);
  return true;
}

void TEditor::KeyChar(char c, bool shiftOrCtrl) {
  const TDeferredWrapScope typing(*rows_, WrapAfterShown());
  const unsigned char b = static_cast<unsigned char>(c);
  if (b == 8) {
    BackSpaceKey();
  } else if (b == 9) {
    if (!shiftOrCtrl) TabKey();
  } else if (b == 13) {
    ReturnKey();
  } else if ((b >= 32 && b <= 126) || cp932::IsHalfWidthKana(b)) {
    if (RefusedReadOnly()) return;
    InsertText(std::string_view(&c, 1));
  }
}

// The indentation Enter gives the new line, as spaces or tabs and spaces.
std::string TEditor::IndentFor(int row) const {
  if (!caret_->AutoIndent()) return {};
  const int first = rows_->FirstRowOfLine(row);
  const std::string expanded = ExpandTabs(RowView(first));
  int w = std::max(0, IndentWidth(expanded));
  if (row == first) w = std::min(w, col_);
  if (w == 0 && caret_->PrevSpaceIndent() && row == first && RowView(row).empty()) {
    for (int r = first - 1; r >= 0; r = rows_->FirstRowOfLine(r) - 1) {
      const std::string prev = ExpandTabs(RowView(rows_->FirstRowOfLine(r)));
      if (!prev.empty()) {
        w = std::max(0, IndentWidth(prev));
        break;
      }
    }
  }
  if (!caret_->TabIndent()) return Spaces(w);
  const int tab = TabSpaceCount();
  return std::string(static_cast<std::size_t>(w / tab), '\t') + Spaces(w % tab);
}

void TEditor::ReturnKey() {
  if (RefusedReadOnly()) return;
  if (Selected()) DeleteSelection();
  if (row_ >= RowCount()) {
    const int row = row_;
    CaretBeginUpdate();
    rows_->ReplaceRows(RowCount(), 0, kCrLf);
    PlaceCaret(row + 1, 0);
    CaretEndUpdate();
    return;
  }
  if (overwrite_) {
    SetRowCol(row_ + 1, 0);
    return;
  }
  const int r = row_;
  std::string_view line = RowView(r);
  const int c = CaretByte(true);
  const std::string indent = IndentFor(r);
  std::string text(line.substr(0, static_cast<std::size_t>(c)));
  text.append(kCrLf);
  text.append(indent);
  text.append(line.substr(static_cast<std::size_t>(c)));
  if (RowAttribute(r) == raCrlf) text.append(kCrLf);
  const int anchor = AnchorRow(r);
  const std::int64_t offset = OffsetFromRowCol(anchor, r, 0) + c + 2 + static_cast<std::int64_t>(indent.size());
  ReplaceAndPlace(r, 1, text, anchor, offset);
}

void TEditor::TabKey() {
  if (!want_tabs_ || RefusedReadOnly()) return;
  const int tab = TabSpaceCount();
  int n = tab - col_ % tab;
  if (WordWrap()) {
    const int wrapByte = rows_->WrapOption().WrapByte();
    n = std::min(n, wrapByte - col_ % wrapByte);
  }
  if (overwrite_) {
    SetCol(col_ + n);
  } else if (caret_->SoftTab()) {
    InsertText(Spaces(n));
  } else {
    InsertText("\t");
  }
}

void TEditor::BackSpaceKey() {
  if (RefusedReadOnly()) return;
  if (Selected()) {
    DeleteSelection();
    return;
  }
  if (RowCount() == 0) {
    SetCol(col_ - 1);
    return;
  }
  const int c = CaretByte(false);
  if (c >= 1 && col_ > RowEndCol(row_)) {
    SetCol(col_ - 1);
    return;
  }
  if (c >= 1) {
    const int r = row_;
    // Read around the caret, not as a map of the whole row.
    int start = ByteIndex(r, col_ - 1, true);
    int size = 1;
    if (RowColumns(r).CodeAt(col_ - 1) == kColTrail) {
      --start;
      size = 2;
    }
    const int anchor = AnchorRow(r);
    const std::size_t from = static_cast<std::size_t>(start);
    ReplaceInRowAndPlace(r, from, from + static_cast<std::size_t>(size), {}, anchor,
                         OffsetFromRowCol(anchor, r, 0) + start);
    return;
  }
  if (row_ >= 1) JoinWithPrevious();
}

// Backspace at the start of a row: the start of a continuation row is the
// end of the previous row, so there the previous character goes; otherwise
// the previous row's line end is removed.
void TEditor::JoinWithPrevious() {
  const int p = row_ - 1;
  const int anchor = AnchorRow(p);
  std::string_view prev = RowView(p);
  const std::int64_t base = OffsetFromRowCol(anchor, p, 0);
  if (RowAttribute(p) == raWrapped) {
    const std::size_t start = cp932::PrevChar(prev, prev.size());
    ReplaceAndPlace(p, 1, std::string(prev.substr(0, start)), anchor, base + static_cast<std::int64_t>(start));
    return;
  }
  std::string text(prev);
  int count = 1;
  if (row_ < RowCount()) {
    text.append(RowView(row_));
    if (RowAttribute(row_) == raCrlf) text.append(kCrLf);
    count = 2;
  }
  if (text.empty() && count == 1) {
    // The empty last line loses its line end: nothing is left of it.
    ReplaceAndPlace(p, 1, std::string(), anchor, base);
    return;
  }
  ReplaceAndPlace(p, count, text, anchor, base + static_cast<std::int64_t>(prev.size()));
}

void TEditor::DeleteKey() {
  const TDeferredWrapScope typing(*rows_, WrapAfterShown());
  if (RefusedReadOnly()) return;
  if (Selected()) {
    DeleteSelection();
    return;
  }
  if (row_ >= RowCount()) return;
  const int r = row_;
  std::string_view line = RowView(r);
  const int c = CaretByte(false);
  if (c < static_cast<int>(line.size())) {
    const std::size_t size = line[static_cast<std::size_t>(c)] == '\t' ? 1 : cp932::CharLength(line, static_cast<std::size_t>(c));
    const int anchor = AnchorRow(r);
    const std::size_t from = static_cast<std::size_t>(c);
    ReplaceInRowAndPlace(r, from, from + size, {}, anchor, OffsetFromRowCol(anchor, r, 0) + c);
    return;
  }
  if (RowAttribute(r) != raEof) JoinWithNext(c);
}

// Delete at or beyond the end of a row: the row, padded up to the caret,
// takes the next row's text in place of its line end.
void TEditor::JoinWithNext(int c) {
  const int r = row_;
  std::string text(RowView(r));
  text.append(Spaces(c - static_cast<int>(text.size())));
  int count = 1;
  if (r + 1 < RowCount()) {
    text.append(RowView(r + 1));
    if (RowAttribute(r + 1) == raCrlf) text.append(kCrLf);
    count = 2;
  }
  const int anchor = AnchorRow(r);
  const std::int64_t offset = OffsetFromRowCol(anchor, r, 0) + c;
  if (text.empty()) {
    ReplaceAndPlace(r, 1, text, anchor, offset);
    return;
  }
  const int col = col_;
  ReplaceAndPlace(r, count, text, anchor, offset);
  if (row_ == r && col_ != col) SetCol(col);  // the caret stays where it was
}

void TEditor::DeleteRow(int row) {
  if (row < 0 || row >= RowCount()) return;
  CancelSelection();
  CaretBeginUpdate();
  rows_->ReplaceRows(row, 1, std::string_view());
  if (row >= 1 && RowAttribute(row - 1) == raEof)
    PlaceCaret(row - 1, RowEndCol(row - 1));
  else
    PlaceCaret(row, 0);
  CaretEndUpdate();
}

}  // namespace yk
