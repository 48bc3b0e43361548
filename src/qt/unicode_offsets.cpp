// Unicode offsets over the rows: totals per run of rows, a row converted
// only when a question lands in it.
#include "qt/unicode_offsets.h"

#include <algorithm>

#include "editor/editor.h"
#include "platform/cp932_codec.h"
#include "text/cp932.h"

namespace yk {

namespace {

// The character of one CP932 character in a document with chars.
char32_t CharAt(std::string_view ch, const TMappedChars* chars) {
  return chars ? cp932::CharOf(ch, chars) : cp932::Glyph(ch);
}

// Calls f(byte, code point) for each character of a CP932 string.
template <typename F>
void ForEachChar(std::string_view bytes, std::size_t from, std::size_t to, const TMappedChars* chars, F f) {
  for (std::size_t i = from; i < to;) {
    const std::size_t length = cp932::CharLength(bytes, i);
    const char32_t c = CharAt(bytes.substr(i, length), chars);
    f(i, c);
    i += length;
  }
}

constexpr int UnitsOf(char32_t c) { return c > 0xFFFF ? 2 : 1; }

// A row this short is read whole rather than through samples.
constexpr std::size_t kShortRow = 64 * 1024;

}  // namespace

void AppendUnicode(QString& out, std::string_view bytes, const TMappedChars* chars) {
  out.reserve(out.size() + static_cast<qsizetype>(bytes.size()));
  ForEachChar(bytes, 0, bytes.size(), chars, [&](std::size_t, char32_t c) {
    if (c > 0xFFFF)
      out.append(QString::fromUcs4(&c, 1));
    else
      out.append(QChar(static_cast<char16_t>(c)));
  });
}

std::int64_t UnicodeLength(std::string_view bytes, const TMappedChars* chars) {
  std::int64_t n = 0;
  ForEachChar(bytes, 0, bytes.size(), chars, [&](std::size_t, char32_t c) { n += UnitsOf(c); });
  return n;
}

TUnicodeOffsets::TUnicodeOffsets(TEditor& editor) : editor_(editor) {}

void TUnicodeOffsets::SetChars(const TMappedChars* chars) {
  if (chars == chars_) return;
  chars_ = chars;
  Reset();
}

void TUnicodeOffsets::Reset() {
  runs_.clear();
  rows_ = -1;
  samples_ = {};
}

// A change that does not add up with the rows held is one that was not
// reported: everything is counted again.
void TUnicodeOffsets::Changed(int first, int count, int newCount) {
  samples_ = {};
  if (rows_ < 0) return;
  if (list_ != &editor_.ScreenStrings()) {
    Reset();
    return;
  }
  if (first < 0 || count < 0 || first + count > rows_ || rows_ - count + newCount != editor_.RowCount()) {
    Reset();
    return;
  }
  std::size_t i = 0;
  int start = 0;
  while (i + 1 < runs_.size() && start + runs_[i].rows <= first) start += runs_[i++].rows;
  // Runs [i, j) hold the replaced rows (at least run i, which holds first).
  std::size_t j = i + 1;
  int end = start + (runs_.empty() ? 0 : runs_[i].rows);
  while (j < runs_.size() && end < first + count) end += runs_[j++].rows;
  if (runs_.empty()) {
    runs_.push_back({});
    j = 1;
  }
  TRun merged;
  for (std::size_t k = i; k < j; ++k) merged.rows += runs_[k].rows;
  merged.rows += newCount - count;
  runs_.erase(runs_.begin() + static_cast<std::ptrdiff_t>(i), runs_.begin() + static_cast<std::ptrdiff_t>(j));
  runs_.insert(runs_.begin() + static_cast<std::ptrdiff_t>(i), merged);
  rows_ = editor_.RowCount();
}

// Runs of kRunRows rows, none counted, for the rows there are now.
void TUnicodeOffsets::SyncRuns() {
  const TEditorScreenStrings* list = &editor_.ScreenStrings();
  if (list != list_) {
    Reset();
    list_ = list;
  }
  const int n = editor_.RowCount();
  if (rows_ == n && !runs_.empty()) return;
  runs_.clear();
  for (int r = 0; r < n; r += kRunRows) runs_.push_back({std::min(kRunRows, n - r)});
  if (runs_.empty()) runs_.push_back({});
  rows_ = n;
}

// A run counted before is checked against the row list's totals once per
// change of the rows, not on every question.
bool TUnicodeOffsets::Fresh(const TRun& run, int firstRow) const {
  if (!run.counted) return false;
  if (checked_edits_ == editor_.ScreenStrings().TextEdits() && firstRow + run.rows <= checked_rows_) return true;
  const TRowSums sums = RangeSums(firstRow, run.rows);
  return sums.bytes == run.bytes && sums.lineEnds == run.lineEnds;
}

TRowSums TUnicodeOffsets::RangeSums(int firstRow, int rows) const {
  const TEditorScreenStrings& list = editor_.ScreenStrings();
  TRowSums sums = list.SumsBefore(firstRow + rows);
  sums -= list.SumsBefore(firstRow);
  return sums;
}

// Makes run i counted. A run grown by large changes is first cut back into
// runs of kRunRows, so one question never counts much more than it needs.
void TUnicodeOffsets::Count(std::size_t i, int firstRow) {
  if (Fresh(runs_[i], firstRow)) return;
  if (runs_[i].rows > 2 * kRunRows) {
    std::vector<TRun> pieces;
    for (int left = runs_[i].rows; left > 0; left -= kRunRows) pieces.push_back({std::min(left, kRunRows)});
    runs_.erase(runs_.begin() + static_cast<std::ptrdiff_t>(i));
    runs_.insert(runs_.begin() + static_cast<std::ptrdiff_t>(i), pieces.begin(), pieces.end());
  }
  TRun& r = runs_[i];
  r.units = 0;
  for (int k = firstRow; k < firstRow + r.rows; ++k) r.units += RowUnits(k) + LineEndUnits(k);
  const TRowSums sums = RangeSums(firstRow, r.rows);
  r.bytes = sums.bytes;
  r.lineEnds = sums.lineEnds;
  r.counted = true;
}

// Counts the runs from the start until stop(first row, units before, run)
// holds or the runs end; returns the index of that run (the run count
// when none held) with the first row and the units before it.
template <typename Stop>
std::size_t TUnicodeOffsets::Walk(Stop stop, int& firstRow, std::int64_t& units) {
  SyncRuns();
  firstRow = 0;
  units = 0;
  std::size_t i = 0;
  for (; i < runs_.size(); ++i) {
    Count(i, firstRow);
    if (stop(firstRow, units, runs_[i])) break;
    firstRow += runs_[i].rows;
    units += runs_[i].units;
  }
  const std::uint64_t edits = editor_.ScreenStrings().TextEdits();
  const int checked = i < runs_.size() ? firstRow + runs_[i].rows : rows_;
  if (checked_edits_ != edits || checked > checked_rows_) checked_rows_ = checked;
  checked_edits_ = edits;
  return i;
}

std::int64_t TUnicodeOffsets::RowUnits(int row) const {
  if (row < 0 || row >= editor_.RowCount()) return 0;
  return UnicodeLength(editor_.ScreenStrings().Row(row), chars_);
}

std::int64_t TUnicodeOffsets::LineEndUnits(int row) const {
  if (row < 0 || row >= editor_.RowCount()) return 0;
  return editor_.ScreenStrings().GetRowAttribute(row) == raCrlf ? 1 : 0;
}

QString TUnicodeOffsets::RowText(int row) const {
  QString out;
  if (row < 0 || row >= editor_.RowCount()) return out;
  AppendUnicode(out, editor_.ScreenStrings().Row(row), chars_);
  if (LineEndUnits(row) > 0) out.append(QLatin1Char('\n'));
  return out;
}

std::int64_t TUnicodeOffsets::Length() {
  int first = 0;
  std::int64_t units = 0;
  Walk([](int, std::int64_t, const TRun&) { return false; }, first, units);
  return units;
}

std::int64_t TUnicodeOffsets::OffsetOf(int row, int byte) {
  if (row >= editor_.RowCount()) return Length();
  row = std::max(row, 0);
  int first = 0;
  std::int64_t units = 0;
  Walk([row](int start, std::int64_t, const TRun& run) { return row < start + run.rows; }, first, units);
  for (int r = first; r < row; ++r) units += RowUnits(r) + LineEndUnits(r);
  return units + UnitsBeforeByte(row, static_cast<std::size_t>(std::max(byte, 0)));
}

// An offset at the end of a row that continues on the next one is the
// start of that next row, as for the caret.
TUnicodeOffsets::TPlace TUnicodeOffsets::PlaceOf(std::int64_t offset) {
  const int n = editor_.RowCount();
  offset = std::max<std::int64_t>(offset, 0);
  int first = 0;
  std::int64_t units = 0;
  const std::size_t i = Walk(
      [offset](int, std::int64_t before, const TRun& run) { return offset < before + run.units; }, first, units);
  if (i < runs_.size()) {
    offset -= units;
    for (int r = first; r < first + runs_[i].rows; ++r) {
      const std::int64_t inRow = RowUnits(r);
      if (offset < inRow + LineEndUnits(r)) return {r, static_cast<int>(ByteAtUnits(r, offset))};
      offset -= inRow + LineEndUnits(r);
    }
  }
  if (n == 0 || editor_.RowAttribute(n - 1) == raCrlf) return {n, 0};
  return {n - 1, static_cast<int>(editor_.ScreenStrings().Row(n - 1).size())};
}

QString TUnicodeOffsets::Text(std::int64_t start, std::int64_t end) {
  QString out;
  if (end <= start) return out;
  const TPlace from = PlaceOf(start);
  std::int64_t wanted = end - start;
  TEditorScreenStrings& rows = editor_.ScreenStrings();
  for (int r = from.row; r < editor_.RowCount() && wanted > 0; ++r) {
    std::string_view bytes = rows.Row(r);
    if (r == from.row) bytes.remove_prefix(std::min<std::size_t>(bytes.size(), static_cast<std::size_t>(from.byte)));
    const qsizetype before = out.size();
    // Enough bytes for the units still wanted: a character is one or two
    // bytes and at least one unit; a character cut at the end is chopped.
    AppendUnicode(out,
                  bytes.substr(0, static_cast<std::size_t>(
                                      std::min<std::int64_t>(static_cast<std::int64_t>(bytes.size()), 2 * wanted))),
                  chars_);
    wanted -= out.size() - before;
    if (wanted > 0 && LineEndUnits(r) > 0) {
      out.append(QLatin1Char('\n'));
      --wanted;
    }
  }
  if (wanted < 0) out.chop(static_cast<qsizetype>(-wanted));
  return out;
}

TUnicodeOffsets::TSamples& TUnicodeOffsets::SamplesFor(int row, std::size_t upTo) {
  const std::uint64_t edits = editor_.ScreenStrings().TextEdits();
  if (samples_.row != row || samples_.edits != edits) samples_ = {row, edits, {{0, 0}}};
  const std::string_view bytes = editor_.ScreenStrings().Row(row);
  upTo = std::min(upTo, bytes.size());
  while (samples_.points.back().first + kSampleBytes <= upTo) {
    auto [byte, units] = samples_.points.back();
    const std::size_t stop = byte + kSampleBytes;
    std::size_t next = byte;
    ForEachChar(bytes, byte, stop, chars_, [&](std::size_t i, char32_t c) {
      units += UnitsOf(c);
      next = i + cp932::CharLength(bytes, i);
    });
    samples_.points.emplace_back(next, units);
  }
  return samples_;
}

std::int64_t TUnicodeOffsets::UnitsBeforeByte(int row, std::size_t byte) {
  if (row < 0 || row >= editor_.RowCount()) return 0;
  const std::string_view bytes = editor_.ScreenStrings().Row(row);
  byte = std::min(byte, bytes.size());
  std::size_t from = 0;
  std::int64_t units = 0;
  if (bytes.size() > kShortRow) {
    const TSamples& s = SamplesFor(row, byte);
    auto it = std::upper_bound(s.points.begin(), s.points.end(), byte,
                               [](std::size_t b, const auto& p) { return b < p.first; });
    std::tie(from, units) = *std::prev(it);
  }
  ForEachChar(bytes, from, byte, chars_, [&](std::size_t i, char32_t c) {
    if (i + cp932::CharLength(bytes, i) <= byte) units += UnitsOf(c);
  });
  return units;
}

std::size_t TUnicodeOffsets::ByteAtUnits(int row, std::int64_t units) {
  const std::string_view bytes = editor_.ScreenStrings().Row(row);
  std::size_t from = 0;
  std::int64_t here = 0;
  if (bytes.size() > kShortRow) {
    // Samples are made as far as needed: a character is at least one unit
    // and at most two bytes.
    const TSamples& s = SamplesFor(row, static_cast<std::size_t>(std::min<std::int64_t>(
                                            static_cast<std::int64_t>(bytes.size()), 2 * units)));
    auto it = std::upper_bound(s.points.begin(), s.points.end(), units,
                               [](std::int64_t u, const auto& p) { return u < p.second; });
    std::tie(from, here) = *std::prev(it);
  }
  for (std::size_t i = from; i < bytes.size();) {
    const std::size_t length = cp932::CharLength(bytes, i);
    const int step = UnitsOf(CharAt(bytes.substr(i, length), chars_));
    if (here + step > units) return i;
    here += step;
    i += length;
  }
  return bytes.size();
}

}  // namespace yk
