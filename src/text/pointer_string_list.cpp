// The row store's rows: access by row number, edits, bulk moves between
// lists, and the blocks they live in (split when large, merged when small).
#include "text/pointer_string_list.h"

#include <algorithm>
#include <cassert>

#include "text/errors.h"
#include "text/row_block.h"

namespace yk {

TPointerStringList::TPointerStringList(std::size_t blockBytes, std::size_t blockRows)
    : block_bytes_(std::max<std::size_t>(blockBytes, 1)), block_rows_(std::max<std::size_t>(blockRows, 2)) {}

TPointerStringList::~TPointerStringList() = default;

void TPointerStringList::CheckIndex(int i) const {
  if (i < 0 || i >= count_)
    throw EStringListError("List index out of bounds (" + std::to_string(i) + ")");
}

TPointerStringList::Locator TPointerStringList::Locate(int i) const {
  if (i >= count_) return {blocks_.size() - 1, blocks_.back()->Rows()};
  std::size_t b = last_block_;
  if (b >= blocks_.size() || i < starts_[b] || i >= starts_[b] + static_cast<int>(blocks_[b]->Rows())) {
    b = static_cast<std::size_t>(std::upper_bound(starts_.begin(), starts_.end(), i) - starts_.begin()) - 1;
    last_block_ = b;
  }
  return {b, static_cast<std::size_t>(i - starts_[b])};
}

std::string_view TPointerStringList::Row(int i) const {
  assert(i >= 0 && i < count_);
  Locator at = Locate(i);
  return blocks_[at.block]->RowView(at.index);
}

std::string TPointerStringList::Get(int i) const {
  CheckIndex(i);
  return std::string(Row(i));
}

void TPointerStringList::RecomputeStarts(std::size_t fromBlock) {
  starts_.resize(blocks_.size());
  int start = fromBlock == 0 ? 0 : starts_[fromBlock - 1] + static_cast<int>(blocks_[fromBlock - 1]->Rows());
  for (std::size_t b = fromBlock; b < blocks_.size(); ++b) {
    starts_[b] = start;
    start += static_cast<int>(blocks_[b]->Rows());
  }
  last_block_ = 0;
  Touch(fromBlock);
}

void TPointerStringList::InsertAt(Locator at, std::string_view s, std::uint8_t data, TLineEnd kind) {
  ++text_edits_;
  // A row put in can only widen its block.
  const bool keep = blocks_[at.block]->widthGeneration == width_generation_;
  if (!keep) TextChanged(at.block);
  blocks_[at.block]->InsertRow(at.index, s, data);
  blocks_[at.block]->SetEndKind(at.index, kind, line_end_);
  for (std::size_t b = at.block + 1; b < blocks_.size(); ++b) ++starts_[b];
  RowsInserted(starts_[at.block] + static_cast<int>(at.index), 1);
  ++count_;
  Touch(at.block);
  if (keep) RowChanged(at);
  SplitIfLarge(at.block);
}

void TPointerStringList::SplitIfLarge(std::size_t b) {
  const TRowBlock& blk = *blocks_[b];
  if (blk.Rows() < 2) return;
  if (blk.Rows() <= block_rows_ && blk.ContentBytes() <= 2 * block_bytes_) return;
  // Split near the byte middle, keeping both halves non-empty.
  std::size_t half = blk.Span() / 2;
  std::size_t k = static_cast<std::size_t>(std::upper_bound(blk.ends.begin(), blk.ends.end(), half) - blk.ends.begin());
  if (blk.Rows() > block_rows_) k = blk.Rows() / 2;
  k = std::clamp<std::size_t>(k, 1, blk.Rows() - 1);
  SplitBlockAt(b, k);
}

// Moves rows index.. of block b into a new block after it.
void TPointerStringList::SplitBlockAt(std::size_t b, std::size_t index) {
  if (index == 0 || index >= blocks_[b]->Rows()) return;
  std::unique_ptr<TRowBlock> tail = blocks_[b]->SplitOff(index);
  TextChanged(b);
  BlockAdded(tail.get());
  blocks_.insert(blocks_.begin() + static_cast<std::ptrdiff_t>(b) + 1, std::move(tail));
  starts_.insert(starts_.begin() + static_cast<std::ptrdiff_t>(b) + 1, 0);
  RecomputeStarts(b + 1);
  Touch(b);
}

void TPointerStringList::MergeIfSmall(std::size_t b) {
  if (b + 1 >= blocks_.size()) return;
  TRowBlock& blk = *blocks_[b];
  TRowBlock& next = *blocks_[b + 1];
  if (blk.ContentBytes() + next.ContentBytes() > block_bytes_ || blk.Rows() + next.Rows() > block_rows_) return;
  // Two measured blocks make one whose widest row is the wider of theirs.
  const bool measured = blk.widthGeneration == width_generation_ && next.widthGeneration == width_generation_;
  const std::int64_t widest = std::max(blk.widest, next.widest);
  blk.Absorb(next);
  if (measured)
    blk.widest = widest;
  else
    TextChanged(b);
  Forget(blocks_[b + 1].get());
  blocks_.erase(blocks_.begin() + static_cast<std::ptrdiff_t>(b) + 1);
  starts_.erase(starts_.begin() + static_cast<std::ptrdiff_t>(b) + 1);
  last_block_ = 0;
  Touch(b);
}

// Erases rows [from, to) of block b; the caller fixes starts_ and count_.
void TPointerStringList::EraseInBlock(std::size_t b, std::size_t from, std::size_t to) {
  ++text_edits_;
  // Taking out a few rows narrower than the block's widest keeps its measure.
  constexpr std::size_t kFewRows = 4;
  const TRowBlock& was = *blocks_[b];
  bool keep = was.widthGeneration == width_generation_ && to - from <= kFewRows;
  for (std::size_t k = from; keep && k < to; ++k) keep = WidthOf(was, k) < was.widest;
  if (!keep) TextChanged(b);
  blocks_[b]->EraseRows(from, to);
  Touch(b);
}

void TPointerStringList::ReplaceAt(Locator at, std::string_view s, std::size_t from, std::size_t to) {
  ++text_edits_;
  const bool keep = RowChangeKeepsMeasure(at);
  const std::int64_t delta = blocks_[at.block]->ReplaceBytes(at.index, from, to, s);
  if (delta != 0) BytesChanged(at.block, delta);
  if (keep) RowChanged(at);
  SplitIfLarge(at.block);
}

// A bad index changes nothing, so it needs no new edit count either.
void TPointerStringList::SpliceRow(int i, std::size_t from, std::size_t to, std::string_view s) {
  CheckIndex(i);
  ReplaceAt(Locate(i), s, from, to);
}

void TPointerStringList::Put(int i, std::string_view s) {
  CheckIndex(i);
  ReplaceAt(Locate(i), s);
  NotifyChange();
}

int TPointerStringList::Add(std::string_view s) {
  int index = count_;
  Append(s, 0);
  NotifyChange();
  return index;
}

void TPointerStringList::Append(std::string_view s, std::uint32_t data) {
  Append(s, data, s.find('\t') != std::string_view::npos);
}

void TPointerStringList::Append(std::string_view s, std::uint32_t data, bool hasTab) {
  Append(s, data, hasTab, line_end_);
}

void TPointerStringList::Append(std::string_view s, std::uint32_t data, bool hasTab, TLineEnd kind) {
  ++text_edits_;
  const std::uint8_t d = static_cast<std::uint8_t>(data & 0xFF);
  const std::size_t endLength = ImageEndLength(s, d);
  const bool image = endLength != kNotInImage;
  TRowBlock* last = blocks_.empty() ? nullptr : blocks_.back().get();
  const bool joins = last && (last->Rows() == 0 ||
                              (last->Rows() < block_rows_ && last->ContentBytes() + s.size() <= block_bytes_ &&
                               (image ? last->image && s.data() == last->image + last->Span() : !last->image)));
  if (!joins) {
    // Appending in bulk (loading): size the block once, for as many rows
    // as rows of this length fill, instead of growing it row by row.
    if (last) last->Shrink();
    auto blk = std::make_unique<TRowBlock>();
    if (!image) blk->text.reserve(std::max(block_bytes_, s.size()));
    const std::size_t rows = std::min(block_rows_, block_bytes_ / std::max<std::size_t>(s.size(), 16) + 8);
    blk->ends.reserve(rows);
    blk->data.reserve(rows);
    if (image) blk->pairEnds.reserve(rows);
    BlockAdded(blk.get());
    blocks_.push_back(std::move(blk));
    starts_.push_back(count_);
  }
  TRowBlock& blk = *blocks_.back();
  if (hasTab) blk.tabs += CountTabs(s);
  if (image)
    blk.PushImage(s, d, endLength);
  else
    blk.Push(s, d);
  if (kind != line_end_) blk.SetEndKind(blk.Rows() - 1, kind, line_end_);
  Touch(blocks_.size() - 1);
  TextChanged(blocks_.size() - 1);
  ++count_;
}

void TPointerStringList::Insert(int i, std::string_view s) {
  if (i < 0 || i > count_) throw EStringListError("List index out of bounds (" + std::to_string(i) + ")");
  if (i == count_) {
    Append(s, 0);
  } else {
    InsertAt(Locate(i), s, 0, line_end_);
  }
  NotifyChange();
}

void TPointerStringList::Delete(int i) {
  CheckIndex(i);
  DeleteRows(i, 1);
  NotifyChange();
}

void TPointerStringList::Clear() {
  ++text_edits_;
  blocks_.clear();
  starts_.clear();
  widest_ = -1;
  changed_blocks_.clear();
  count_ = 0;
  last_block_ = 0;
  sums_valid_ = 0;
  unknown_from_ = kAllStatesKnown;
  line_end_ = TLineEnd::CrLf;
  images_.clear();
  NotifyChange();
}

void TPointerStringList::DeleteRows(int first, int count) {
  if (first < 0 || count <= 0 || first >= count_) return;
  count = std::min(count, count_ - first);
  Locator at = Locate(first);
  std::size_t b = at.block, from = at.index;
  int left = count;
  while (left > 0) {
    std::size_t take = std::min<std::size_t>(blocks_[b]->Rows() - from, static_cast<std::size_t>(left));
    EraseInBlock(b, from, from + take);
    left -= static_cast<int>(take);
    if (blocks_[b]->Rows() == 0) {
      Forget(blocks_[b].get());
      blocks_.erase(blocks_.begin() + static_cast<std::ptrdiff_t>(b));
      starts_.erase(starts_.begin() + static_cast<std::ptrdiff_t>(b));
    } else {
      ++b;
    }
    from = 0;
  }
  count_ -= count;
  RowsDeleted(first, count);
  std::size_t fix = at.block > 0 ? at.block - 1 : 0;
  RecomputeStarts(std::min(fix, blocks_.size()));
  if (fix < blocks_.size()) MergeIfSmall(fix);
  if (fix + 1 < blocks_.size()) MergeIfSmall(fix + 1);
}

void TPointerStringList::InsertRows(int first, const TPointerStringList& src) {
  if (first < 0 || first > count_ || src.count_ == 0) return;
  if (first == count_) {
    for (int k = 0; k < src.count_; ++k) AppendFrom(src, k);
    return;
  }
  Locator at = Locate(first);
  if (src.count_ <= 8) {
    for (int k = 0; k < src.count_; ++k)
      InsertAt(Locate(first + k), src.Row(k), static_cast<std::uint8_t>(src.GetData(k)), KindFrom(src, k));
    return;
  }
  // Many rows: cut the block at the insertion point and splice in new
  // blocks, so the cost is the size of the inserted text, not of the list.
  SplitBlockAt(at.block, at.index);
  std::size_t insertBefore = at.index == 0 ? at.block : at.block + 1;
  std::vector<std::unique_ptr<TRowBlock>> fresh;
  for (int k = 0; k < src.count_; ++k) {
    std::string_view row = src.Row(k);
    if (fresh.empty() || fresh.back()->Rows() >= block_rows_ ||
        (fresh.back()->Rows() > 0 && fresh.back()->ContentBytes() + row.size() > block_bytes_))
      fresh.push_back(std::make_unique<TRowBlock>());
    TRowBlock& blk = *fresh.back();
    blk.tabs += CountTabs(row);
    blk.Push(row, static_cast<std::uint8_t>(src.GetData(k)));
    blk.SetEndKind(blk.Rows() - 1, KindFrom(src, k), line_end_);
  }
  if (widest_ >= 0)  // the fresh blocks are measured when asked
    for (const auto& blk : fresh) changed_blocks_.push_back(blk.get());
  ++text_edits_;
  blocks_.insert(blocks_.begin() + static_cast<std::ptrdiff_t>(insertBefore), std::make_move_iterator(fresh.begin()),
                 std::make_move_iterator(fresh.end()));
  count_ += src.count_;
  RowsInserted(first, src.count_);
  RecomputeStarts(insertBefore);
}

void TPointerStringList::AssignRows(int first, int count, const TPointerStringList& src) {
  if (first < 0 || first > count_) return;
  count = std::clamp(count, 0, count_ - first);
  // Many rows (a long line wrapped anew) are put in as fresh blocks: row by
  // row, each row would move the rest of its block.
  constexpr int kRowByRowAssign = 32;
  if (std::min(count, src.count_) > kRowByRowAssign) {
    DeleteRows(first, count);
    InsertRows(first, src);
    return;
  }
  // Overwrite the rows both runs share, then insert or delete the rest.
  int common = std::min(count, src.count_);
  for (int k = 0; k < common; ++k) {
    Locator d = Locate(first + k);
    TRowBlock& blk = *blocks_[d.block];
    const std::uint8_t data = static_cast<std::uint8_t>(src.GetData(k));
    const TLineEnd kind = KindFrom(src, k);
    if (((blk.data[d.index] ^ data) & 0x0F) || kind != line_end_ || !blk.otherEnds.empty()) Touch(d.block);
    blk.SetData(d.index, data);
    blk.SetEndKind(d.index, kind, line_end_);
    ReplaceAt(d, src.Row(k));
  }
  if (count > common) {
    DeleteRows(first + common, count - common);
  } else if (src.count_ > common) {
    TPointerStringList rest(block_bytes_, block_rows_);
    rest.line_end_ = line_end_;
    for (int k = common; k < src.count_; ++k) rest.AppendFrom(src, k);
    InsertRows(first + common, rest);
  }
}

void TPointerStringList::SwapRows(TPointerStringList& other) {
  ++text_edits_;
  ++other.text_edits_;
  std::swap(blocks_, other.blocks_);
  std::swap(starts_, other.starts_);
  std::swap(count_, other.count_);
  std::swap(unknown_from_, other.unknown_from_);
  std::swap(line_end_, other.line_end_);
  std::swap(images_, other.images_);
  last_block_ = other.last_block_ = 0;
  sums_valid_ = other.sums_valid_ = 0;
  widest_ = other.widest_ = -1;
  changed_blocks_.clear();
  other.changed_blocks_.clear();
}

void TPointerStringList::MoveRowsToEnd(TPointerStringList& tail) {
  ++text_edits_;
  ++tail.text_edits_;
  if (tail.count_ == 0) return;
  images_.insert(images_.begin(), tail.images_.begin(), tail.images_.end());
  if (!blocks_.empty()) blocks_.back()->Shrink();
  const std::size_t first = blocks_.size();
  for (auto& blk : tail.blocks_) {
    blk->widthGeneration = 0;  // measured by tail's settings, not ours
    blk->Rebase(tail.line_end_, line_end_);
    BlockAdded(blk.get());
    blocks_.push_back(std::move(blk));
  }
  if (tail.unknown_from_ != kAllStatesKnown) unknown_from_ = std::min(unknown_from_, count_ + tail.unknown_from_);
  count_ += tail.count_;
  RecomputeStarts(first);
  tail.blocks_.clear();
  tail.starts_.clear();
  tail.changed_blocks_.clear();
  tail.count_ = 0;
  tail.last_block_ = 0;
  tail.sums_valid_ = 0;
  tail.widest_ = -1;
  tail.unknown_from_ = kAllStatesKnown;
  tail.images_.clear();
}

std::string TPointerStringList::GetText() const {
  std::size_t total = 0;
  for (const auto& b : blocks_) total += b->ContentBytes();
  total += 2 * static_cast<std::size_t>(count_);
  std::string out;
  out.reserve(total);
  for (const auto& b : blocks_)
    for (std::size_t k = 0; k < b->Rows(); ++k) {
      out.append(b->RowView(k));
      out.append("\r\n");
    }
  return out;
}

void TPointerStringList::BeginUpdate() { ++update_count_; }

void TPointerStringList::EndUpdate() {
  if (update_count_ > 0 && --update_count_ == 0) {
    Changed();
    UpdateEnded();
  }
}

void TPointerStringList::Changed() {
  if (OnChange) OnChange();
}

}  // namespace yk
