// TEditor words and tokens: the word jump, the token under a point or the
// caret, and the edit-control messages answered in rows and offsets.
#include <algorithm>
#include <cstdint>

#include "editor/column_code.h"
#include "editor/editor.h"
#include "text/column_map.h"

namespace yk {

namespace {

// Start columns of the tokens of an expanded row that a word jump stops at.
std::vector<int> WordStops(std::string_view expanded) {
  std::vector<int> stops;
  TEditorParser parser(expanded);
  for (TEditorTokenKind kind = parser.Token(); kind != toEof; kind = parser.NextToken())
    if (kind != toSymbol) stops.push_back(parser.TokenOffset());
  return stops;
}

}  // namespace

bool TEditor::NextWordPos(int& row, int& col, int direction) const {
  if (row < 0 || row > RowCount()) return false;
  int r = row, c = col;
  if (direction > 0) {
    if (c >= RowEndCol(r) && r < RowCount()) {
      ++r;
      c = -1;
    }
    const std::vector<int> stops = WordStops(ExpandTabs(RowView(r)));
    auto it = std::upper_bound(stops.begin(), stops.end(), c);
    if (it != stops.end()) {
      c = *it;
    } else if (RowAttribute(r) == raWrapped) {
      ++r;
      c = 0;
    } else {
      c = RowEndCol(r);
    }
  } else {
    if (c <= 0) {
      if (r == 0) return false;
      --r;
      c = RowEndCol(r);
      if (RowAttribute(r) == raCrlf) {
        const bool moved = r != row || c != col;
        row = r;
        col = c;
        return moved;
      }
    }
    const std::vector<int> stops = WordStops(ExpandTabs(RowView(r)));
    auto it = std::lower_bound(stops.begin(), stops.end(), c);
    if (it != stops.begin()) {
      c = *(it - 1);
    } else if (r > 0) {
      --r;
      c = RowEndCol(r);
    } else {
      c = 0;
    }
  }
  if (r == row && c == col) return false;
  row = r;
  col = c;
  return true;
}

// Rows past the list count one byte each, as rows outside it end the
// document.
std::int64_t TEditor::RowStartOffset(int row) const {
  const int n = RowCount();
  if (row <= n) return rows_->SumsBefore(row).Offset();
  return rows_->Totals().Offset() + (row - n);
}

// The row holding a document offset; a row keeps the offsets of its line
// end. RowCount when the offset lies beyond the text.
int TEditor::RowOfOffset(std::int64_t offset) const { return rows_->RowOfOffset(offset); }

// The token holding the character at (row, col), tokenised from the start
// of its logical line so that a token cut by wrapping is found whole.
bool TEditor::TokenAt(int row, int col, int& lineRow, int& start, std::string& text, TEditorTokenKind& kind) const {
  const std::string& map = RowMap(row);
  col = CharStartColumn(map, col, false);
  lineRow = rows_->FirstRowOfLine(row);
  int index = ByteOfRowColumn(row, col, true);
  std::string line;
  for (int r = lineRow; r < row; ++r) {
    line.append(RowView(r));
    index += static_cast<int>(RowView(r).size());
  }
  for (int r = row, last = rows_->LastRowOfLine(row); r <= last && r < RowCount(); ++r) line.append(RowView(r));
  // States past the computed ones are worked out on demand, as for painting.
  if (rows_->GetRowState(lineRow) == kStateNotComputed) rows_->UpdateStatesFrom(lineRow, false);
  std::unique_ptr<TEditorParser> parser = CreateParser(line, rows_->GetRowState(lineRow));
  for (; parser->Token() != toEof; parser->NextToken()) {
    if (parser->TokenOffset() <= index && index < parser->TokenOffset() + parser->TokenLength()) {
      start = parser->TokenOffset();
      text = std::string(parser->TokenString());
      kind = parser->Token();
      return true;
    }
    if (parser->TokenOffset() > index) break;
  }
  return false;
}

bool TEditor::GetTokenAt(TPoint p, std::string& text, TEditorTokenKind& kind) const {
  text.clear();
  kind = toEof;
  if (RowCount() == 0 || p.x < margin_->Left() || p.y < margin_->Top()) return false;
  const TPoint rc = PosToRowCol(p.x, p.y, true);
  if (rc.y >= RowCount() || rc.x >= RowEndCol(rc.y)) return false;
  int lineRow = 0, start = 0;
  if (TokenAt(rc.y, rc.x, lineRow, start, text, kind)) return true;
  text.clear();
  kind = toEof;
  return false;
}

void TEditor::SelectTokenAt(TPoint p) {
  if (RowCount() == 0 || p.x < margin_->Left() || p.y < margin_->Top()) return;
  const TPoint rc = PosToRowCol(p.x, p.y, true);
  if (rc.y >= RowCount() || rc.x >= RowEndCol(rc.y)) return;
  int lineRow = 0, start = 0;
  std::string text;
  TEditorTokenKind kind = toEof;
  if (!TokenAt(rc.y, rc.x, lineRow, start, text, kind)) return;
  CancelSelection();
  SetCaretByOffset(lineRow, start);
  SetSelLength(static_cast<std::int64_t>(text.size()));
}

void TEditor::SelectTokenFromCaret() { SelectTokenAt(GetCaretXY()); }

TEditorTokenKind TEditor::TokenKindFromCaret() const {
  std::string text;
  TEditorTokenKind kind = toEof;
  GetTokenAt(GetCaretXY(), text, kind);
  return kind;
}

std::string TEditor::TokenStringFromCaret() const {
  std::string text;
  TEditorTokenKind kind = toEof;
  GetTokenAt(GetCaretXY(), text, kind);
  return text;
}

// --- edit-control messages ---------------------------------------------------

namespace {
std::int64_t Pack(std::int64_t low, std::int64_t high) { return (low & 0xFFFF) | ((high & 0xFFFF) << 16); }
}  // namespace

std::int64_t TEditor::Perform(TEditMessage msg, std::int64_t wParam, std::int64_t lParam, std::string* buffer,
                             std::int64_t* selStart, std::int64_t* selEnd) {
  switch (msg) {
    case emGetSel: {
      const std::int64_t start = SelStart(), end = start + SelLength();
      if (selStart) *selStart = start;
      if (selEnd) *selEnd = end;
      return Pack(start, end);
    }
    case emSetSel:
      if (wParam == 0 && lParam == -1) {
        SelectAll();
      } else if (wParam == -1) {
        CancelSelection();
      } else {
        const std::int64_t lo = std::min(wParam, lParam), hi = std::max(wParam, lParam);
        SetSelStart(lo);
        // hi - lo saturates: a length past the document selects to its end.
        SetSelLength(lo < 0 && hi > INT64_MAX + lo ? INT64_MAX : hi - lo);
      }
      return 0;
    case emReplaceSel:
      if (buffer) SetSelTextBuf(*buffer);
      return 0;
    case emGetLine: {
      if (wParam < 0 || wParam >= RowCount() || !buffer) return 0;
      std::string_view row = RowView(static_cast<int>(wParam));
      *buffer = std::string(row.substr(0, static_cast<std::size_t>(std::clamp<std::int64_t>(lParam, 0, static_cast<std::int64_t>(row.size())))));
      return static_cast<std::int64_t>(buffer->size());
    }
    case emGetLineCount: return RowCount();
    case emLineIndex:
      if (wParam == -1) wParam = row_;
      if (wParam < 0 || wParam >= RowCount()) return -1;
      return RowStartOffset(static_cast<int>(wParam));
    case emLineFromChar:
      if (wParam == -1) return Selected() ? range_.startRow : row_;
      return RowOfOffset(wParam);
    case emLineLength:
      if (wParam == -1) {
        if (Selected())
          return static_cast<std::int64_t>(RowView(range_.endRow).size()) + range_.startByte - range_.endByte - 1;
        return static_cast<std::int64_t>(RowView(row_).size());
      }
      return static_cast<std::int64_t>(RowView(RowOfOffset(wParam)).size());
    case emCharFromPos: {
      const TSize size = ClientSizeOrDefault();
      // Tested before narrowing, so a point far outside cannot wrap into the window.
      if (wParam < 0 || lParam < 0 || wParam >= size.width || lParam >= size.height) return -1;
      const TPoint rc = PosToRowCol(static_cast<int>(wParam), static_cast<int>(lParam), true);
      const std::string& map = RowMap(rc.y);
      const int col = CodeAt(map, rc.x) == kColTrail ? rc.x - 1 : rc.x;
      const std::int64_t offset =
          RowStartOffset(rc.y) + ByteOfRowColumn(rc.y, col, true);
      return Pack(offset, rc.y);
    }
    case emPosFromChar: {
      const TPoint p = ImeCompositionPos();  // the caret cell's top-left, whatever the offset
      return Pack(p.x, p.y);
    }
    case emGetModify: return modified_ ? 1 : 0;
    case emSetModify: SetModified(wParam != 0); return 0;
    case emSetReadOnly: SetReadOnly(wParam != 0); return 1;
    case emCanUndo: return CanUndo() ? 1 : 0;
    case emUndo:
      if (!CanUndo()) return 0;
      Undo();
      return 1;
    case emEmptyUndoBuffer: rows_->UndoObj().ForgetHistory(); return 0;
    case emGetFirstVisibleLine: return top_row_;
    case emScrollCaret: ScrollCaret(); return 1;
    case emCut:
    case emCopy:
      if (!Selected()) {
        if (clipboard_) clipboard_->SetText({}, false);
      } else if (msg == emCut) {
        CutToClipboard();
      } else {
        CopyToClipboard();
      }
      return 0;
    case emPaste: PasteFromClipboard(); return 0;
    case emClear: DeleteSelection(); return 0;
    case emGetText: {
      if (!buffer || wParam <= 0) return 0;
      std::string text = lines_->GetTextStr();
      text.resize(std::min<std::size_t>(text.size(), static_cast<std::size_t>(wParam - 1)));
      *buffer = std::move(text);
      return static_cast<std::int64_t>(buffer->size());
    }
    case emGetTextLength: return TextLength();
    case emSetText:
      lines_->SetTextStr(buffer ? std::string_view(*buffer) : std::string_view());
      return 1;
  }
  return 0;
}

}  // namespace yk
