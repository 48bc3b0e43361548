// The changed runs of a document against its base text.
#include "shell/text_change_map.h"

#include <algorithm>

namespace yk {

void TTextChangeMap::Reset(std::int64_t length) {
  runs_.clear();
  length_ = base_length_ = std::max<std::int64_t>(length, 0);
}

// A run's place in the current text is its base offset moved by what the
// runs before it added or took away; the walk keeps that sum.
bool TTextChangeMap::Replace(std::int64_t offset, std::int64_t oldLength, std::int64_t newLength) {
  if (offset < 0 || oldLength < 0 || newLength < 0 || oldLength > length_ - offset) return false;
  if (oldLength == 0 && newLength == 0) return true;
  const std::int64_t end = offset + oldLength;
  std::size_t first = 0;
  std::int64_t shift = 0;  // growth of the runs before `first`
  while (first < runs_.size()) {
    const Run& r = runs_[first];
    if (r.baseOffset + shift + r.length + kJoinGap >= offset) break;
    shift += r.length - r.baseLength;
    ++first;
  }
  std::size_t last = first;  // one past the runs the change meets
  std::int64_t shift_after = shift;
  while (last < runs_.size() && runs_[last].baseOffset + shift_after <= end + kJoinGap) {
    shift_after += runs_[last].length - runs_[last].baseLength;
    ++last;
  }
  std::int64_t start = offset, stop = end;  // the joined run in the current text
  std::int64_t base_start = offset - shift, base_stop = end - shift_after;
  if (first < last) {
    const Run& a = runs_[first];
    const Run& z = runs_[last - 1];
    const std::int64_t a_start = a.baseOffset + shift;
    const std::int64_t z_end = z.baseOffset + z.baseLength + shift_after;  // z's end in the current text
    if (a_start <= start) start = a_start, base_start = a.baseOffset;
    if (z_end >= stop) stop = z_end, base_stop = z.baseOffset + z.baseLength;
  }
  const Run joined{base_start, base_stop - base_start, stop - start - oldLength + newLength};
  runs_.erase(runs_.begin() + static_cast<std::ptrdiff_t>(first), runs_.begin() + static_cast<std::ptrdiff_t>(last));
  if (joined.baseLength != 0 || joined.length != 0)
    runs_.insert(runs_.begin() + static_cast<std::ptrdiff_t>(first), joined);
  length_ += newLength - oldLength;
  if (runs_.size() > kMaxRuns) JoinClosest();
  return true;
}

// Joins the neighbours with the smallest gaps until half the limit is left.
void TTextChangeMap::JoinClosest() {
  std::vector<std::int64_t> gaps;
  gaps.reserve(runs_.size());
  for (std::size_t i = 1; i < runs_.size(); ++i)
    gaps.push_back(runs_[i].baseOffset - (runs_[i - 1].baseOffset + runs_[i - 1].baseLength));
  const std::size_t joins = runs_.size() - kMaxRuns / 2;
  std::vector<std::int64_t> sorted = gaps;
  std::nth_element(sorted.begin(), sorted.begin() + static_cast<std::ptrdiff_t>(joins - 1), sorted.end());
  const std::int64_t limit = sorted[joins - 1];
  std::vector<Run> kept{runs_.front()};
  for (std::size_t i = 1; i < runs_.size(); ++i) {
    if (gaps[i - 1] <= limit) {
      Run& into = kept.back();
      // The gap is the same bytes in both texts.
      into.length += gaps[i - 1] + runs_[i].length;
      into.baseLength = runs_[i].baseOffset + runs_[i].baseLength - into.baseOffset;
    } else {
      kept.push_back(runs_[i]);
    }
  }
  runs_ = std::move(kept);
}

bool TTextChangeMap::ResizeTail(std::int64_t delta) {
  std::int64_t last_end = 0;  // the end of the last run in the current text
  if (!runs_.empty()) {
    const TChangedRun run = Runs().back();
    last_end = run.offset + run.length;
  }
  if (length_ + delta < last_end) return false;
  length_ += delta;
  base_length_ += delta;
  return true;
}

std::vector<TChangedRun> TTextChangeMap::Runs() const {
  std::vector<TChangedRun> out;
  out.reserve(runs_.size());
  std::int64_t shift = 0;
  for (const Run& r : runs_) {
    out.push_back({r.baseOffset, r.baseLength, r.baseOffset + shift, r.length});
    shift += r.length - r.baseLength;
  }
  return out;
}

std::int64_t TTextChangeMap::ChangedBytes() const {
  std::int64_t n = 0;
  for (const Run& r : runs_) n += r.length;
  return n;
}

}  // namespace yk
