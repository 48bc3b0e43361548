// Widths and tabs in the row store: the widest row, measured per block and
// measured again only where rows changed, and lookups of rows with a tab
// (or other bytes) that skip whole blocks.
#include <algorithm>

#include "text/pointer_string_list.h"
#include "text/row_block.h"

namespace yk {

// A changed block that held the widest row may have lost it: then every
// block is looked at again. Otherwise only the changed blocks are measured
// when next asked, and the widest row can only have grown.
void TPointerStringList::TextChanged(std::size_t b) const {
  TRowBlock& blk = *blocks_[b];
  const bool measured = blk.widthGeneration == width_generation_;
  blk.widthGeneration = 0;
  if (widest_ < 0) return;
  if (measured && blk.widest >= widest_) {
    widest_ = -1;
    changed_blocks_.clear();
  } else if (measured) {
    changed_blocks_.push_back(&blk);  // an unmeasured block is listed already
  }
}

void TPointerStringList::BlockAdded(const TRowBlock* blk) const {
  if (widest_ >= 0) changed_blocks_.push_back(blk);
}

// Called before a block leaves the list.
void TPointerStringList::Forget(const TRowBlock* blk) const { std::erase(changed_blocks_, blk); }

std::int64_t TPointerStringList::WidestRow() const {
  if (widest_ >= 0) {
    for (const TRowBlock* blk : changed_blocks_) widest_ = std::max(widest_, Measure(*blk));
    changed_blocks_.clear();
    return widest_;
  }
  std::int64_t widest = 0;
  for (const auto& blk : blocks_) widest = std::max(widest, Measure(*blk));
  changed_blocks_.clear();
  return widest_ = widest;
}

std::int64_t TPointerStringList::Measure(const TRowBlock& blk) const {
  if (blk.widthGeneration == width_generation_) return blk.widest;
  blk.widest = 0;
  for (std::size_t k = 0; k < blk.Rows(); ++k) blk.widest = std::max(blk.widest, WidthOf(blk, k));
  blk.widthGeneration = width_generation_;
  return blk.widest;
}

void TPointerStringList::InvalidateWidths() {
  if (++width_generation_ == 0) ++width_generation_;  // 0 marks a changed block
  widest_ = -1;
  changed_blocks_.clear();
}

std::int64_t TPointerStringList::WidthOf(const TRowBlock& blk, std::size_t k) const {
  const std::string_view row = blk.RowView(k);
  const bool tab = blk.tabs > 0 && row.find('\t') != std::string_view::npos;
  return tab ? MeasureRow(row) : static_cast<std::int64_t>(row.size());
}

// One row of a measured block is about to change: when it is not its widest,
// the block's measure stays good with the row's new width (RowChanged);
// otherwise the block is measured again when asked. True in the first case.
bool TPointerStringList::RowChangeKeepsMeasure(Locator at) const {
  const TRowBlock& blk = *blocks_[at.block];
  if (blk.widthGeneration == width_generation_ && WidthOf(blk, at.index) < blk.widest) return true;
  TextChanged(at.block);
  return false;
}

void TPointerStringList::RowChanged(Locator at) const {
  const TRowBlock& blk = *blocks_[at.block];
  blk.widest = std::max(blk.widest, WidthOf(blk, at.index));
  if (widest_ >= 0) widest_ = std::max(widest_, blk.widest);
}

bool TPointerStringList::RowHasTab(int i) const {
  Locator at = Locate(i);
  const TRowBlock& blk = *blocks_[at.block];
  return blk.tabs > 0 && blk.RowView(at.index).find('\t') != std::string_view::npos;
}

int TPointerStringList::FindRowWithAny(int from, int to, std::string_view bytes) const {
  from = std::max(from, 0);
  to = std::min(to, count_);
  if (from >= to) return to;
  const bool tabsOnly = bytes == "\t";
  const bool lineEnds = bytes.find_first_of("\r\n") != std::string_view::npos;
  // The blocks are walked in turn from the one holding `from`.
  Locator at = Locate(from);
  for (std::size_t b = at.block, index = at.index; from < to; ++b, index = 0) {
    const TRowBlock& blk = *blocks_[b];
    const std::size_t lastRow = std::min(blk.Rows(), index + static_cast<std::size_t>(to - from));
    const int found = tabsOnly && blk.tabs == 0 ? -1 : blk.FindAny(index, lastRow, bytes, lineEnds);
    if (found >= 0) return starts_[b] + found;
    from += static_cast<int>(lastRow - index);
  }
  return to;
}

}  // namespace yk
