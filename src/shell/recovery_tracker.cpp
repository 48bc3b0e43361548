// The changed runs of a document, from the replacements its rows report.
#include "shell/recovery_tracker.h"

#include <algorithm>
#include <optional>

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

// The bytes one replacement took out and put in: [offset, offset + old)
// of the text before it became `added` bytes. nullopt when it does not fit
// a text of `known` bytes before it.
struct TChange {
  std::int64_t offset, removed, added;
};
std::optional<TChange> ChangeOf(std::int64_t start, std::int64_t new_range, std::int64_t total, std::int64_t known,
                                const TRowsReplaced& change) {
  const std::int64_t old_range = new_range + known - total;
  if (old_range < 0) return std::nullopt;
  auto head = static_cast<std::int64_t>(change.keptHead);
  auto tail = static_cast<std::int64_t>(change.keptTail);
  if (head + tail > std::min(old_range, new_range)) head = tail = 0;
  return TChange{start + head, old_range - head - tail, new_range - head - tail};
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

std::vector<TRecoveryRun> TRecoveryTracker::Runs() const { return RunsOf(map_); }

std::vector<TRecoveryRun> TRecoveryTracker::RunsOf(const TTextChangeMap& map) const {
  std::vector<TRecoveryRun> runs;
  for (const TChangedRun& run : map.Runs())
    runs.push_back({run.baseOffset, run.baseLength, TextRange(rows_, run.offset, run.length)});
  return runs;
}

void TRecoveryTracker::BeginCopy() {
  copy_map_.Reset(TextLength(rows_));
  frontier_ = 0;
  copying_ = copy_valid_ = true;
  copy_whole_ = copy_map_.Length() == 0;
}

std::string TRecoveryTracker::CopySlice(std::int64_t bytes) {
  if (!copying_ || copy_whole_) return {};
  const std::int64_t n = std::min(bytes, copy_map_.Length() - frontier_);
  std::string slice = TextRange(rows_, frontier_, n);
  // Fewer bytes than the map knows: the copy cannot be trusted.
  if (static_cast<std::int64_t>(slice.size()) != n) copy_valid_ = false;
  frontier_ += n;
  copy_whole_ = frontier_ >= copy_map_.Length();
  return slice;
}

void TRecoveryTracker::CommitCopy(TTrackedBase base) {
  if (!copying_) return;
  copying_ = false;
  if (!copy_valid_) return;
  base_ = std::move(base);
  map_ = copy_map_;
  valid_ = true;
}

// Before the frontier the copy holds the text as it was: changes there are
// runs. After it the copy will hold the text as it will be: only the
// length changes. A change across it: its part before the frontier is a
// run, and the copy goes on after the new bytes.
void TRecoveryTracker::FollowCopy(std::int64_t offset, std::int64_t oldLength, std::int64_t newLength) {
  if (offset >= frontier_) {
    copy_valid_ = copy_map_.ResizeTail(newLength - oldLength);
  } else if (offset + oldLength <= frontier_) {
    copy_valid_ = copy_map_.Replace(offset, oldLength, newLength);
    frontier_ += newLength - oldLength;
  } else {
    copy_valid_ = copy_map_.ResizeTail(-(offset + oldLength - frontier_)) &&
                  copy_map_.Replace(offset, frontier_ - offset, newLength);
    frontier_ = offset + newLength;
  }
}

void TRecoveryTracker::Replaced(const TRowsReplaced& change) {
  if (change.cleared) {
    valid_ = copy_valid_ = false;
    return;
  }
  const bool copy = copying_ && copy_valid_;
  if (!valid_ && !copy) return;
  const std::int64_t total = TextLength(rows_);
  const std::int64_t start = TextOffsetOfRow(rows_, change.firstRow);
  const std::int64_t new_range = TextOffsetOfRow(rows_, change.firstRow + change.newRows) - start;
  if (valid_) {
    const std::optional<TChange> c = ChangeOf(start, new_range, total, map_.Length(), change);
    valid_ = c && map_.Replace(c->offset, c->removed, c->added);
  }
  if (copy) {
    const std::optional<TChange> c = ChangeOf(start, new_range, total, copy_map_.Length(), change);
    if (!c) copy_valid_ = false;
    else if (CopyWhole()) copy_valid_ = copy_map_.Replace(c->offset, c->removed, c->added);
    else FollowCopy(c->offset, c->removed, c->added);
  }
}

}  // namespace yk
