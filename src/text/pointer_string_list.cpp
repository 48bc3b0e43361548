// Block storage of rows: each block keeps its rows' bytes in one string with
// an end offset and a data byte per row.
#include "text/pointer_string_list.h"

#include <algorithm>
#include <cassert>

#include "text/errors.h"

namespace yk {

struct TPointerStringList::Block {
  std::string text;
  std::vector<std::uint32_t> ends;  // end offset of each row in text
  std::vector<std::uint8_t> data;

  std::size_t Rows() const { return data.size(); }
  std::size_t Begin(std::size_t k) const { return k == 0 ? 0 : ends[k - 1]; }
  std::string_view RowView(std::size_t k) const {
    std::size_t b = Begin(k);
    return std::string_view(text).substr(b, ends[k] - b);
  }
  void Push(std::string_view s, std::uint8_t d) {
    text.append(s);
    ends.push_back(static_cast<std::uint32_t>(text.size()));
    data.push_back(d);
  }
};

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

std::uint32_t TPointerStringList::GetData(int i) const {
  CheckIndex(i);
  Locator at = Locate(i);
  return blocks_[at.block]->data[at.index];
}

void TPointerStringList::SetData(int i, std::uint32_t w) {
  CheckIndex(i);
  Locator at = Locate(i);
  blocks_[at.block]->data[at.index] = static_cast<std::uint8_t>(w & 0xFF);
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

void TPointerStringList::RecomputeStarts(std::size_t fromBlock) {
  starts_.resize(blocks_.size());
  int start = fromBlock == 0 ? 0 : starts_[fromBlock - 1] + static_cast<int>(blocks_[fromBlock - 1]->Rows());
  for (std::size_t b = fromBlock; b < blocks_.size(); ++b) {
    starts_[b] = start;
    start += static_cast<int>(blocks_[b]->Rows());
  }
  last_block_ = 0;
}

void TPointerStringList::InsertAt(Locator at, std::string_view s, std::uint8_t data) {
  Block& blk = *blocks_[at.block];
  std::size_t pos = blk.Begin(at.index);
  blk.text.insert(pos, s);
  blk.ends.insert(blk.ends.begin() + at.index, static_cast<std::uint32_t>(pos));
  for (std::size_t k = at.index; k < blk.ends.size(); ++k) blk.ends[k] += static_cast<std::uint32_t>(s.size());
  blk.data.insert(blk.data.begin() + at.index, data);
  for (std::size_t b = at.block + 1; b < blocks_.size(); ++b) ++starts_[b];
  ++count_;
  SplitIfLarge(at.block);
}

void TPointerStringList::SplitIfLarge(std::size_t b) {
  const Block& blk = *blocks_[b];
  if (blk.Rows() < 2) return;
  if (blk.Rows() <= block_rows_ && blk.text.size() <= 2 * block_bytes_) return;
  // Split near the byte middle, keeping both halves non-empty.
  std::size_t half = blk.text.size() / 2;
  std::size_t k = static_cast<std::size_t>(std::upper_bound(blk.ends.begin(), blk.ends.end(), half) - blk.ends.begin());
  if (blk.Rows() > block_rows_) k = blk.Rows() / 2;
  k = std::clamp<std::size_t>(k, 1, blk.Rows() - 1);
  SplitBlockAt(b, k);
}

// Moves rows index.. of block b into a new block after it.
void TPointerStringList::SplitBlockAt(std::size_t b, std::size_t index) {
  Block& blk = *blocks_[b];
  if (index == 0 || index >= blk.Rows()) return;
  auto tail = std::make_unique<Block>();
  std::size_t cut = blk.Begin(index);
  tail->text.assign(blk.text, cut, std::string::npos);
  tail->ends.reserve(blk.Rows() - index);
  for (std::size_t k = index; k < blk.Rows(); ++k) tail->ends.push_back(static_cast<std::uint32_t>(blk.ends[k] - cut));
  tail->data.assign(blk.data.begin() + index, blk.data.end());
  blk.text.resize(cut);
  blk.text.shrink_to_fit();
  blk.ends.resize(index);
  blk.data.resize(index);
  blocks_.insert(blocks_.begin() + b + 1, std::move(tail));
  starts_.insert(starts_.begin() + b + 1, 0);
  RecomputeStarts(b + 1);
}

void TPointerStringList::MergeIfSmall(std::size_t b) {
  if (b + 1 >= blocks_.size()) return;
  Block& blk = *blocks_[b];
  Block& next = *blocks_[b + 1];
  if (blk.text.size() + next.text.size() > block_bytes_ || blk.Rows() + next.Rows() > block_rows_) return;
  std::uint32_t shift = static_cast<std::uint32_t>(blk.text.size());
  blk.text.append(next.text);
  for (std::uint32_t e : next.ends) blk.ends.push_back(e + shift);
  blk.data.insert(blk.data.end(), next.data.begin(), next.data.end());
  blocks_.erase(blocks_.begin() + b + 1);
  starts_.erase(starts_.begin() + b + 1);
  last_block_ = 0;
}

// Erases rows [from, to) of block b; the caller fixes starts_ and count_.
void TPointerStringList::EraseInBlock(std::size_t b, std::size_t from, std::size_t to) {
  Block& blk = *blocks_[b];
  std::size_t bytesFrom = blk.Begin(from), bytesTo = blk.Begin(to);
  std::uint32_t removed = static_cast<std::uint32_t>(bytesTo - bytesFrom);
  blk.text.erase(bytesFrom, removed);
  blk.ends.erase(blk.ends.begin() + from, blk.ends.begin() + to);
  for (std::size_t k = from; k < blk.ends.size(); ++k) blk.ends[k] -= removed;
  blk.data.erase(blk.data.begin() + from, blk.data.begin() + to);
}

void TPointerStringList::ReplaceAt(Locator at, std::string_view s) {
  Block& blk = *blocks_[at.block];
  std::size_t b = blk.Begin(at.index), e = blk.ends[at.index];
  blk.text.replace(b, e - b, s);
  std::int64_t delta = static_cast<std::int64_t>(s.size()) - static_cast<std::int64_t>(e - b);
  if (delta != 0)
    for (std::size_t k = at.index; k < blk.ends.size(); ++k)
      blk.ends[k] = static_cast<std::uint32_t>(blk.ends[k] + delta);
  SplitIfLarge(at.block);
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
  if (blocks_.empty()) {
    blocks_.push_back(std::make_unique<Block>());
    starts_.push_back(0);
  }
  Block& last = *blocks_.back();
  if (last.Rows() > 0 && (last.Rows() >= block_rows_ || last.text.size() + s.size() > block_bytes_)) {
    // Appending in bulk (loading): size the block once instead of letting
    // the string double past the block size.
    blocks_.push_back(std::make_unique<Block>());
    blocks_.back()->text.reserve(std::max(block_bytes_, s.size()));
    starts_.push_back(count_);
  }
  blocks_.back()->Push(s, static_cast<std::uint8_t>(data & 0xFF));
  ++count_;
}

void TPointerStringList::Insert(int i, std::string_view s) {
  if (i < 0 || i > count_) throw EStringListError("List index out of bounds (" + std::to_string(i) + ")");
  if (i == count_) {
    Append(s, 0);
  } else {
    InsertAt(Locate(i), s, 0);
  }
  NotifyChange();
}

void TPointerStringList::Delete(int i) {
  CheckIndex(i);
  DeleteRows(i, 1);
  NotifyChange();
}

void TPointerStringList::Clear() {
  blocks_.clear();
  starts_.clear();
  count_ = 0;
  last_block_ = 0;
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
      blocks_.erase(blocks_.begin() + b);
      starts_.erase(starts_.begin() + b);
    } else {
      ++b;
    }
    from = 0;
  }
  count_ -= count;
  std::size_t fix = at.block > 0 ? at.block - 1 : 0;
  RecomputeStarts(std::min(fix, blocks_.size()));
  if (fix < blocks_.size()) MergeIfSmall(fix);
  if (fix + 1 < blocks_.size()) MergeIfSmall(fix + 1);
}

void TPointerStringList::InsertRows(int first, const TPointerStringList& src) {
  if (first < 0 || first > count_ || src.count_ == 0) return;
  if (first == count_) {
    for (int k = 0; k < src.count_; ++k) Append(src.Row(k), src.GetData(k));
    return;
  }
  Locator at = Locate(first);
  if (src.count_ <= 8) {
    for (int k = 0; k < src.count_; ++k)
      InsertAt(Locate(first + k), src.Row(k), static_cast<std::uint8_t>(src.GetData(k)));
    return;
  }
  // Many rows: cut the block at the insertion point and splice in new
  // blocks, so the cost is the size of the inserted text, not of the list.
  SplitBlockAt(at.block, at.index);
  std::size_t insertBefore = at.index == 0 ? at.block : at.block + 1;
  std::vector<std::unique_ptr<Block>> fresh;
  for (const auto& sb : src.blocks_) {
    for (std::size_t k = 0; k < sb->Rows(); ++k) {
      std::string_view row = sb->RowView(k);
      if (fresh.empty() || fresh.back()->Rows() >= block_rows_ ||
          (fresh.back()->Rows() > 0 && fresh.back()->text.size() + row.size() > block_bytes_))
        fresh.push_back(std::make_unique<Block>());
      fresh.back()->Push(row, sb->data[k]);
    }
  }
  blocks_.insert(blocks_.begin() + insertBefore, std::make_move_iterator(fresh.begin()),
                 std::make_move_iterator(fresh.end()));
  count_ += src.count_;
  RecomputeStarts(insertBefore);
}

void TPointerStringList::AssignRows(int first, int count, const TPointerStringList& src) {
  if (first < 0 || first > count_) return;
  count = std::clamp(count, 0, count_ - first);
  // Overwrite the rows both runs share, then insert or delete the rest.
  int common = std::min(count, src.count_);
  for (int k = 0; k < common; ++k) {
    Locator d = Locate(first + k);
    Locator s = src.Locate(k);
    blocks_[d.block]->data[d.index] = src.blocks_[s.block]->data[s.index];
    ReplaceAt(d, src.blocks_[s.block]->RowView(s.index));
  }
  if (count > common) {
    DeleteRows(first + common, count - common);
  } else if (src.count_ > common) {
    TPointerStringList rest(block_bytes_, block_rows_);
    for (int k = common; k < src.count_; ++k) rest.Append(src.Row(k), src.GetData(k));
    InsertRows(first + common, rest);
  }
}

void TPointerStringList::SwapRows(TPointerStringList& other) {
  std::swap(blocks_, other.blocks_);
  std::swap(starts_, other.starts_);
  std::swap(count_, other.count_);
  last_block_ = other.last_block_ = 0;
}

std::string TPointerStringList::GetText() const {
  std::size_t total = 0;
  for (const auto& b : blocks_) total += b->text.size();
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
