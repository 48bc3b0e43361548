// TEditor clipboard: copy and cut with the rectangle marker, paste, and the
// box paste that puts the lines of a text one below the other.
#include <algorithm>

#include "editor/column_code.h"
#include "editor/editor.h"
#include "text/column_map.h"
#include "text/line_end.h"

namespace yk {

namespace {

// CR LF, CR and LF each end a line, as everywhere in the line store, so that
// no row receives a line-end byte; a final line end adds no empty line.
std::vector<std::string_view> SplitLines(std::string_view text) {
  std::vector<std::string_view> lines;
  std::size_t p = 0;
  while (p < text.size()) {
    std::size_t e = FindLineEnd(text, p);
    if (e == std::string_view::npos) e = text.size();
    lines.push_back(text.substr(p, e - p));
    p = e;
    if (p < text.size() && text[p] == '\r') ++p;
    if (p < text.size() && text[p] == '\n') ++p;
  }
  return lines;
}

}  // namespace

void TEditor::CopyToClipboard() {
  if (!Selected() || !clipboard_) return;
  clipboard_->SetText(SelText(), sel_mode_ == smBox);
}

// Without a clipboard the copy cannot be made: the text stays.
void TEditor::CutToClipboard() {
  if (!Selected() || !clipboard_) return;
  CopyToClipboard();
  DeleteSelection();
}

void TEditor::PasteFromClipboard() {
  if (!clipboard_ || !clipboard_->HasText() || RefusedReadOnly()) return;
  const std::string text = clipboard_->Text();
  if (clipboard_->HasBoxFormat())
    PasteAsBox(text);
  else
    SetSelTextBuf(text);
}

// The byte where a box's left edge at column x enters a row: a character
// cut by the edge is passed over. Past the row's end it counts the spaces
// that padding the row up to x adds.
int TEditor::BoxInsertByte(int row, int x) const {
  std::string_view text = RowView(row);
  const std::string& map = RowMap(row);
  const int w = static_cast<int>(map.size());
  if (x >= w) return static_cast<int>(text.size()) + (x - w);
  const char code = CodeAt(map, x);
  return ByteOfRowColumn(row, x, true) +
         (code == kColTrail || code == kColTabFill ? 1 : 0);
}

void TEditor::PasteAsBox(std::string_view text) { PasteBox(text, true); }

void TEditor::ReplaceBoxSelection(std::string_view text) { PasteBox(text, false); }

void TEditor::PasteBox(std::string_view text, bool endWithLineEnd) {
  if (read_only_) return;
  if (text.empty()) {
    DeleteSelection();
    return;
  }
  const std::vector<std::string_view> lines = SplitLines(text);
  const int k = static_cast<int>(lines.size());
  TRemainder rem;
  int f = row_, n = row_, x = col_;
  if (Selected()) {
    rem = SelectionRemainder();
    f = range_.startRow;
    n = range_.endRow + 1;
    x = range_.left;
    if (f >= RowCount()) rem = {};
  }
  // The rows consumed are exactly the selected rows plus one existing row
  // per further line, so the replaced range is counted while building.
  TRemainder built;
  int lastByte = 0;
  const int total = std::max(k, static_cast<int>(rem.rows.size()));
  for (int i = 0; i < total; ++i) {
    std::string_view line = i < k ? lines[static_cast<std::size_t>(i)] : std::string_view();
    std::string row;
    TRowAttribute attribute = raCrlf;
    int at = 0;
    if (i < static_cast<int>(rem.rows.size())) {
      row = rem.rows[static_cast<std::size_t>(i)];
      attribute = rem.attributes[static_cast<std::size_t>(i)];
      at = rem.positions[static_cast<std::size_t>(i)];
    } else if (n < RowCount()) {
      row = RowText(n);
      attribute = RowAttribute(n);
      at = BoxInsertByte(n, x);
      ++n;
    } else {
      at = x;
    }
    if (static_cast<int>(row.size()) < at) row.append(static_cast<std::size_t>(at) - row.size(), ' ');
    row.insert(static_cast<std::size_t>(at), line);
    // A pasted box reaching the end leaves a final line end; a rewritten
    // one leaves the last row as it was unless rows follow it.
    if (attribute == raEof && (endWithLineEnd || i + 1 < total)) attribute = raCrlf;
    if (i == k - 1) lastByte = at + static_cast<int>(line.size());
    built.rows.push_back(std::move(row));
    built.attributes.push_back(attribute);
  }
  const std::string joined = JoinRows(built);
  const int last = std::min(n, RowCount()) - 1;
  CaretBeginUpdate();
  UnderlineBeginUpdate();
  CancelSelection();
  rows_->ReplaceRows(std::min(f, RowCount()), std::max(0, last - f + 1), joined);
  const int caretRow = f + k - 1;
  PlaceCaret(caretRow, ColOfByte(caretRow, lastByte));
  UnderlineEndUpdate();
  CaretEndUpdate();
}

}  // namespace yk
