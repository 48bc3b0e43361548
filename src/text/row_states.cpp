// The data words of the row store's rows, and the carried highlight states
// kept in them: states from a limit row on read as not computed, so a
// change near the top need not visit every row below it at once.
#include <algorithm>

#include "text/pointer_string_list.h"
#include "text/row_block.h"

namespace yk {

// Rows from the state limit on read as not computed (stored nibble 0)
// whatever their bytes hold.
std::uint32_t TPointerStringList::GetData(int i) const {
  CheckIndex(i);
  Locator at = Locate(i);
  const std::uint32_t d = blocks_[at.block]->data[at.index];
  return i >= unknown_from_ ? d & 0x0F : d;
}

void TPointerStringList::SetData(int i, std::uint32_t w) {
  CheckIndex(i);
  if (i >= unknown_from_ && (w & 0xF0) != 0) {
    // A known state past the limit: the rows between keep reading as not
    // computed, now by their own bytes.
    for (int r = unknown_from_; r < i; ++r) {
      Locator at = Locate(r);
      TRowBlock& blk = *blocks_[at.block];
      blk.data[at.index] = static_cast<std::uint8_t>(blk.data[at.index] & 0x0F);
    }
    unknown_from_ = i + 1 >= count_ ? kAllStatesKnown : i + 1;
  }
  Locator at = Locate(i);
  const std::uint8_t d = static_cast<std::uint8_t>(w & 0xFF);
  TRowBlock& blk = *blocks_[at.block];
  if ((blk.data[at.index] ^ d) & 0x0F) Touch(at.block);
  blk.SetData(at.index, d);
}

TRowAttribute TPointerStringList::GetRowAttribute(int i) const {
  return static_cast<TRowAttribute>(GetData(i) & 0x0F);
}

// Only the attribute nibble is replaced: the carried state above it stays.
void TPointerStringList::SetRowAttribute(int i, int a) {
  SetData(i, (GetData(i) & 0xF0) | (static_cast<std::uint32_t>(a) & 0x0F));
}

int TPointerStringList::GetRowState(int i) const { return static_cast<int>((GetData(i) & 0xF0) >> 4) - 2; }

void TPointerStringList::SetRowState(int i, int s) {
  SetData(i, (GetData(i) & 0x0F) | ((static_cast<std::uint32_t>(s + 2) & 0x0F) << 4));
}

void TPointerStringList::MarkStatesUnknownFrom(int row) {
  if (row < count_) unknown_from_ = std::min(unknown_from_, std::max(row, 0));
}

int TPointerStringList::FillRowStates(int from, int to, int state, bool stopAtSame) {
  from = std::max(from, 0);
  to = std::min(to, count_);
  if (from >= to) return to;
  // Rows between the limit and `from` must keep reading as not computed
  // once the limit moves past them.
  for (int r = unknown_from_; r < from; ++r) {
    Locator at = Locate(r);
    blocks_[at.block]->data[at.index] &= 0x0F;
  }
  const std::uint8_t nibble = static_cast<std::uint8_t>(((state + 2) & 0x0F) << 4);
  int r = from;
  while (r < to) {
    Locator at = Locate(r);
    TRowBlock& blk = *blocks_[at.block];
    const std::size_t end = std::min(blk.Rows(), at.index + static_cast<std::size_t>(to - r));
    for (std::size_t k = at.index; k < end; ++k, ++r) {
      std::uint8_t& d = blk.data[k];
      // Only a row before the limit holds a known state to agree with;
      // the rows written so far all lie before it too.
      if (stopAtSame && r < unknown_from_ && (d & 0xF0) == nibble) return r;
      d = static_cast<std::uint8_t>((d & 0x0F) | nibble);
    }
  }
  if (unknown_from_ < to) unknown_from_ = to >= count_ ? kAllStatesKnown : to;
  return to;
}

void TPointerStringList::RowsInserted(int at, int n) {
  if (at < unknown_from_ && unknown_from_ != kAllStatesKnown) unknown_from_ += n;
}

void TPointerStringList::RowsDeleted(int at, int n) {
  if (unknown_from_ == kAllStatesKnown) return;
  if (at + n <= unknown_from_)
    unknown_from_ -= n;
  else if (at < unknown_from_)
    unknown_from_ = at;
  if (unknown_from_ >= count_) unknown_from_ = kAllStatesKnown;
}

}  // namespace yk
