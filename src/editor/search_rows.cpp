// The rows of a document as a search source: whole logical lines joined
// with CR LF into a piece buffer, the line ends the joined text would have.
#include "editor/search_rows.h"

#include <algorithm>

namespace yk {

TRowSearchSource::TRowSearchSource(const TEditorScreenStrings& rows, int originRow)
    : rows_(rows), row_(rows.FirstRowOfLine(std::clamp(originRow, 0, std::max(rows.GetCount() - 1, 0)))) {}

TRowSearchSource::~TRowSearchSource() = default;

std::int64_t TRowSearchSource::LineSpan(int first, int& next) const {
  const int count = rows_.GetCount();
  std::int64_t span = 0;
  int r = first;
  while (r < count) {
    const TRowAttribute a = rows_.GetRowAttribute(r);
    span += static_cast<std::int64_t>(rows_.RowLength(r));
    ++r;
    if (a == raCrlf) span += 2;
    if (a != raWrapped) break;
  }
  next = r;
  return span;
}

// Puts the cursor on the line that holds from: the first line for offsets
// before the document, the last for offsets past it.
void TRowSearchSource::MoveTo(std::int64_t from) {
  while (from < base_ && row_ > 0) {
    const int previous = rows_.FirstRowOfLine(row_ - 1);
    int next = 0;
    base_ -= LineSpan(previous, next);
    row_ = previous;
  }
  for (;;) {
    int next = 0;
    const std::int64_t span = LineSpan(row_, next);
    if (next >= rows_.GetCount() || from < base_ + span) return;
    base_ += span;
    row_ = next;
  }
}

TSearchPiece TRowSearchSource::Piece(std::int64_t from, std::int64_t to) {
  MoveTo(from);
  text_.clear();
  const int count = rows_.GetCount();
  // A block of rows at a time: the piece ends at the first line end past
  // to, or a little later.
  int r = row_;
  while (r < count) {
    r += rows_.AppendRowsOfBlock(r, count - r, text_);
    if (rows_.GetRowAttribute(r - 1) != raWrapped && base_ + static_cast<std::int64_t>(text_.size()) >= to) break;
  }
  return {text_, base_, row_ == 0, r >= count};
}

std::optional<TRowMatch> SearchRows(const TEditorScreenStrings& rows, TRowOffset start, std::int64_t length,
                                    std::string_view pattern, TSearchOptions options) {
  const int count = rows.GetCount();
  if (count == 0) return std::nullopt;
  std::int64_t offset = start.Offset;
  int row = start.Row;
  if (row >= count) {  // the place after the last row: the end of the text
    row = count - 1;
    offset = static_cast<std::int64_t>(rows.RowLength(row)) + (rows.GetRowAttribute(row) == raCrlf ? 2 : 0);
  }
  row = std::max(row, 0);
  TRowSearchSource source(rows, row);
  for (int r = source.PieceRow(); r < row; ++r)
    offset += static_cast<std::int64_t>(rows.RowLength(r)) + (rows.GetRowAttribute(r) == raCrlf ? 2 : 0);
  TSearchRange range{offset, length};
  if (!SearchText(source, range, pattern, options)) return std::nullopt;
  return TRowMatch{{source.PieceRow(), range.Start - source.PieceBase()}, range.Length};
}

}  // namespace yk
