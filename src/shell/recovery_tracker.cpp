// The changed runs of a document, from the replacements its rows report.
#include "shell/recovery_tracker.h"

#include <algorithm>

namespace yk {

namespace {

std::string_view LineEndOf(const TEditorScreenStrings& rows, int row) {
  return rows.GetRowAttribute(row) == raCrlf ? std::string_view("\r\n") : std::string_view();
}

// The row that holds byte `offset` of the text in its bytes or its line
// end; the row count at the end of a text whose last row ends with CR LF.
// The row index counts one byte for the end of a last row without a line
// end, which the text has not; before that its offsets are the text's.
int RowAt(const TEditorScreenStrings& rows, std::int64_t offset) {
  return std::clamp(rows.RowOfOffset(offset), 0, rows.GetCount());
}

// Bytes [offset, offset + length) of the text replaced by text.
void ReplaceText(TEditorScreenStrings& rows, std::int64_t offset, std::int64_t length, const std::string& text) {
  const int count = rows.GetCount();
  const int first = RowAt(rows, offset);
  if (first >= count) {
    if (length != 0) throw Exception("recovery run beyond the end of the text");
    rows.ReplaceRows(count, 0, text);
    return;
  }
  const std::int64_t head = offset - TextOffsetOfRow(rows, first);
  const int last = length == 0 ? first : RowAt(rows, offset + length - 1);
  const std::int64_t tail_at = offset + length - TextOffsetOfRow(rows, last);
  const std::string_view first_row = rows.Row(first);
  const std::string_view last_row = rows.Row(last);
  const std::string_view last_end = LineEndOf(rows, last);
  const auto last_size = static_cast<std::int64_t>(last_row.size() + last_end.size());
  if (head < 0 || head > static_cast<std::int64_t>(first_row.size()) || tail_at < 0 || tail_at > last_size)
    throw Exception("recovery run does not fit the text");
  // Inside one row, without a line end: only those bytes move.
  if (first == last && !rows.WordWrap() && tail_at <= static_cast<std::int64_t>(last_row.size()) &&
      text.find_first_of("\r\n") == std::string::npos) {
    rows.ReplaceInRow(first, static_cast<std::size_t>(head), static_cast<std::size_t>(tail_at), text);
    return;
  }
  std::string composed(first_row.substr(0, static_cast<std::size_t>(head)));
  composed += text;
  if (tail_at < static_cast<std::int64_t>(last_row.size()))
    composed += last_row.substr(static_cast<std::size_t>(tail_at));
  const std::int64_t end_at = std::max<std::int64_t>(tail_at - static_cast<std::int64_t>(last_row.size()), 0);
  composed += last_end.substr(
      static_cast<std::size_t>(std::min<std::int64_t>(end_at, static_cast<std::int64_t>(last_end.size()))));
  rows.ReplaceRows(first, last - first + 1, composed);
}

// Keeps map in step with one replacement; valid turns false when it does
// not fit what the map knows of the text.
void Follow(TTextChangeMap& map, bool& valid, std::int64_t start, std::int64_t new_range, std::int64_t total,
            const TRowsReplaced& change) {
  if (!valid) return;
  const std::int64_t old_range = new_range + map.Length() - total;
  auto head = static_cast<std::int64_t>(change.keptHead);
  auto tail = static_cast<std::int64_t>(change.keptTail);
  if (old_range < 0 || head + tail > std::min(old_range, new_range)) head = tail = 0;
  valid = old_range >= 0 && map.Replace(start + head, old_range - head - tail, new_range - head - tail);
}

}  // namespace

std::int64_t TextLength(const TEditorScreenStrings& rows) { return TextOffsetOfRow(rows, rows.GetCount()); }

std::int64_t TextOffsetOfRow(const TEditorScreenStrings& rows, int row) {
  const TRowSums sums = rows.SumsBefore(row);
  return sums.bytes + 2 * sums.crlfs;
}

std::string TextRange(const TEditorScreenStrings& rows, std::int64_t offset, std::int64_t length) {
  std::string out;
  if (length <= 0 || offset < 0) return out;
  out.reserve(static_cast<std::size_t>(length));
  int r = RowAt(rows, offset);
  std::int64_t skip = offset - TextOffsetOfRow(rows, r);
  for (; length > 0 && r < rows.GetCount(); ++r) {
    for (const std::string_view part : {rows.Row(r), LineEndOf(rows, r)}) {
      const auto n = static_cast<std::int64_t>(part.size());
      if (skip >= n) {
        skip -= n;
        continue;
      }
      const std::int64_t take = std::min(n - skip, length);
      out.append(part.substr(static_cast<std::size_t>(skip), static_cast<std::size_t>(take)));
      length -= take;
      skip = 0;
      if (length == 0) break;
    }
  }
  return out;
}

void ApplyRecoveryRuns(TEditorScreenStrings& rows, const std::vector<TRecoveryRun>& runs) {
  for (auto it = runs.rbegin(); it != runs.rend(); ++it) {
    if (it->baseOffset + it->baseLength > TextLength(rows)) throw Exception("recovery run beyond the end of the text");
    ReplaceText(rows, it->baseOffset, it->baseLength, it->text);
  }
}

// --- the tracker ------------------------------------------------------------------

TRecoveryTracker::TRecoveryTracker(TEditorScreenStrings& rows) : rows_(rows) {
  rows_.OnRowsReplaced = [this](const TRowsReplaced& change) { Replaced(change); };
}

TRecoveryTracker::~TRecoveryTracker() { rows_.OnRowsReplaced = nullptr; }

void TRecoveryTracker::Rebase(TTrackedBase base) {
  base_ = std::move(base);
  map_.Reset(TextLength(rows_));
  valid_ = true;
  copying_ = false;
}

std::vector<TRecoveryRun> TRecoveryTracker::Runs() const {
  std::vector<TRecoveryRun> runs;
  for (const TChangedRun& run : map_.Runs())
    runs.push_back({run.baseOffset, run.baseLength, TextRange(rows_, run.offset, run.length)});
  return runs;
}

void TRecoveryTracker::BeginCopy() {
  copy_map_.Reset(TextLength(rows_));
  copying_ = copy_valid_ = true;
}

void TRecoveryTracker::CommitCopy(TTrackedBase base) {
  if (!copying_) return;
  copying_ = false;
  if (!copy_valid_) return;
  base_ = std::move(base);
  map_ = copy_map_;
  valid_ = true;
}

void TRecoveryTracker::Replaced(const TRowsReplaced& change) {
  if (change.cleared) {
    valid_ = copy_valid_ = false;
    return;
  }
  if (!valid_ && !(copying_ && copy_valid_)) return;
  const std::int64_t total = TextLength(rows_);
  const std::int64_t start = TextOffsetOfRow(rows_, change.firstRow);
  const std::int64_t new_range = TextOffsetOfRow(rows_, change.firstRow + change.newRows) - start;
  Follow(map_, valid_, start, new_range, total, change);
  if (copying_) Follow(copy_map_, copy_valid_, start, new_range, total, change);
}

}  // namespace yk
