// The row store's line index: totals per block, added up in prefix sums, so
// that the rows before a row, the row of the k-th line end and the row of a
// document offset are found in O(log n) without walking the rows.
#include <algorithm>

#include "text/pointer_string_list.h"
#include "text/row_block.h"

namespace yk {

TRowSums& TRowSums::operator+=(const TRowSums& o) {
  rows += o.rows;
  lineEnds += o.lineEnds;
  crlfs += o.crlfs;
  bytes += o.bytes;
  otherEnds += o.otherEnds;
  return *this;
}

TRowSums& TRowSums::operator-=(const TRowSums& o) {
  rows -= o.rows;
  lineEnds -= o.lineEnds;
  crlfs -= o.crlfs;
  bytes -= o.bytes;
  otherEnds -= o.otherEnds;
  return *this;
}

void TPointerStringList::BytesChanged(std::size_t b, std::int64_t delta) const {
  if (sums_valid_ <= b + 1) return;  // the sums after b are rebuilt anyway
  if (shifted_from_ != kNoShift && shifted_from_ != b + 1) {
    Touch(b);  // a second shift: rebuilt as for any change
    return;
  }
  shifted_from_ = b + 1;
  shifted_bytes_ += delta;
}

void TPointerStringList::UpdatePrefix() const {
  const std::size_t n = blocks_.size();
  const bool rebuild = prefix_.size() != n + 1 || sums_valid_ < n + 1;
  // The shifted entries are rebuilt with the rest rather than kept apart.
  if (rebuild && shifted_from_ != kNoShift) {
    sums_valid_ = std::min(sums_valid_, shifted_from_);
    shifted_from_ = kNoShift;
    shifted_bytes_ = 0;
  }
  if (!rebuild) return;
  if (prefix_.size() != n + 1) {
    prefix_.resize(n + 1);
    sums_valid_ = std::min(sums_valid_, n + 1);
  }
  if (sums_valid_ == 0) {
    prefix_[0] = {};
    sums_valid_ = 1;
  }
  for (std::size_t b = sums_valid_ - 1; b < n; ++b) {
    prefix_[b + 1] = prefix_[b];
    prefix_[b + 1] += blocks_[b]->Sums();
  }
  sums_valid_ = n + 1;
}

TRowSums TPointerStringList::SumsBefore(int row) const {
  UpdatePrefix();
  if (row <= 0 || count_ == 0) return {};
  if (row >= count_) return PrefixAt(blocks_.size());
  Locator at = Locate(row);
  TRowSums sums = PrefixAt(at.block);
  sums += blocks_[at.block]->SumsBefore(at.index);
  return sums;
}

int TPointerStringList::RowOfLineEnd(std::int64_t k) const {
  UpdatePrefix();
  const std::vector<TRowSums>& prefix = prefix_;  // line ends never shift
  if (k < 0) return 0;
  if (count_ == 0 || k >= prefix.back().lineEnds) return count_;
  // The last block whose preceding line ends number at most k holds it.
  auto it = std::upper_bound(prefix.begin(), prefix.end() - 1, k,
                             [](std::int64_t v, const TRowSums& s) { return v < s.lineEnds; });
  const std::size_t b = static_cast<std::size_t>(it - prefix.begin()) - 1;
  std::int64_t left = k - prefix[b].lineEnds;
  const TRowBlock& blk = *blocks_[b];
  for (std::size_t i = 0; i < blk.Rows(); ++i)
    if (EndsLine(blk.data[i]) && left-- == 0) return starts_[b] + static_cast<int>(i);
  return count_;  // not reached: the block's count says it is there
}

int TPointerStringList::RowOfOffset(std::int64_t offset) const {
  UpdatePrefix();
  const std::size_t n = blocks_.size();
  if (offset < 0) return 0;
  if (count_ == 0 || offset >= PrefixAt(n).Offset()) return count_;
  // The last block whose preceding text is at most offset holds it.
  std::size_t lo = 0, hi = n;  // PrefixAt(lo) <= offset < PrefixAt(hi)
  while (hi - lo > 1) {
    const std::size_t mid = lo + (hi - lo) / 2;
    (PrefixAt(mid).Offset() <= offset ? lo : hi) = mid;
  }
  const std::size_t b = lo;
  std::int64_t left = offset - PrefixAt(b).Offset();
  const TRowBlock& blk = *blocks_[b];
  for (std::size_t i = 0; i < blk.Rows(); ++i) {
    const std::uint8_t d = blk.data[i];
    const std::int64_t span =
        static_cast<std::int64_t>(blk.ends[i] - blk.Begin(i)) + (IsCrlf(d) ? 2 : EndsLine(d) ? 1 : 0);
    if (left < span) return starts_[b] + static_cast<int>(i);
    left -= span;
  }
  return count_;
}

}  // namespace yk
