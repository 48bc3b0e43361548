// Block storage of rows: each block keeps its rows' bytes in one string with
// an end offset and a data byte per row.
#include "text/pointer_string_list.h"

#include <algorithm>
#include <cassert>
#include <cstring>

#include "text/errors.h"

namespace yk {

TRowSums& TRowSums::operator+=(const TRowSums& o) {
  rows += o.rows;
  lineEnds += o.lineEnds;
  crlfs += o.crlfs;
  bytes += o.bytes;
  return *this;
}

TRowSums& TRowSums::operator-=(const TRowSums& o) {
  rows -= o.rows;
  lineEnds -= o.lineEnds;
  crlfs -= o.crlfs;
  bytes -= o.bytes;
  return *this;
}

namespace {

bool EndsLine(std::uint8_t d) { return (d & 0x0F) != raWrapped; }
bool IsCrlf(std::uint8_t d) { return (d & 0x0F) == raCrlf; }
std::size_t CountTabs(std::string_view s) { return static_cast<std::size_t>(std::count(s.begin(), s.end(), '\t')); }

}  // namespace

// A block keeps its line-end counts current through every change, so the
// line index only adds up blocks.
struct TPointerStringList::Block {
  std::string text;
  std::vector<std::uint32_t> ends;  // end offset of each row in text
  std::vector<std::uint8_t> data;
  std::int64_t lineEnds = 0;
  std::int64_t crlfs = 0;
  std::size_t tabs = 0;  // tab bytes in text: most blocks have none
  // Width of the widest row, valid while widthGeneration is the list's; a
  // cache, filled in when asked.
  mutable std::int64_t widest = 0;
  mutable std::uint32_t widthGeneration = 0;
  // Rows loaded from a mapped file and not changed since stay there: then
  // `mapped` points at the first row's first byte, `ends` count from it,
  // and each raCrlf row is followed there by its line end, CR LF where
  // pairEnds says so, else CR or LF (`endBytes` bytes of line ends in
  // all); `text` is empty. A change to the rows copies them
  // into `text` first (Own). The line-end lengths are kept rather than
  // read from the file, so sizes and totals never touch its pages.
  const char* mapped = nullptr;
  std::vector<bool> pairEnds;
  std::size_t endBytes = 0;

  std::size_t Rows() const { return data.size(); }
  const char* Bytes() const { return mapped ? mapped : text.data(); }
  // Bytes from the first row's start to the last row's end (its line end
  // included when mapped).
  std::size_t Span() const { return mapped ? Begin(Rows()) : text.size(); }
  std::size_t ContentBytes() const { return Span() - endBytes; }
  std::size_t EndLength(std::size_t k) const {
    if (!mapped || !IsCrlf(data[k])) return 0;
    return pairEnds[k] ? 2 : 1;
  }
  std::size_t Begin(std::size_t k) const { return k == 0 ? 0 : ends[k - 1] + EndLength(k - 1); }
  std::string_view RowView(std::size_t k) const {
    std::size_t b = Begin(k);
    return std::string_view(Bytes() + b, ends[k] - b);
  }
  void Count(std::uint8_t d, int sign) {
    if (EndsLine(d)) lineEnds += sign;
    if (IsCrlf(d)) crlfs += sign;
  }
  void SetData(std::size_t k, std::uint8_t d) {
    if ((data[k] ^ d) & 0x0F) Own();  // the attribute says whether a line end follows
    Count(data[k], -1);
    data[k] = d;
    Count(d, +1);
  }
  // Appends a row to the block's own text; the caller counts its tabs.
  void Push(std::string_view s, std::uint8_t d) {
    text.append(s);
    ends.push_back(static_cast<std::uint32_t>(text.size()));
    data.push_back(d);
    Count(d, +1);
  }
  // Appends a row that lies in the mapping right after the block's last
  // one (or starts an empty block there), followed by endLength bytes of
  // line end.
  void PushMapped(std::string_view s, std::uint8_t d, std::size_t endLength) {
    if (data.empty()) mapped = s.data();
    ends.push_back(static_cast<std::uint32_t>(s.data() + s.size() - mapped));
    pairEnds.push_back(endLength == 2);
    endBytes += endLength;
    data.push_back(d);
    Count(d, +1);
  }
  // Copies mapped rows into the block's own text; nothing else changes.
  void Own() {
    if (!mapped) return;
    std::string own;
    own.reserve(ContentBytes());
    std::size_t begin = 0;
    for (std::size_t k = 0; k < Rows(); ++k) {
      const std::size_t end = ends[k], next = end + EndLength(k);
      own.append(mapped + begin, end - begin);
      ends[k] = static_cast<std::uint32_t>(own.size());
      begin = next;
    }
    text = std::move(own);
    mapped = nullptr;
    std::vector<bool>().swap(pairEnds);
    endBytes = 0;
  }
  TRowSums Sums() const {
    return {static_cast<std::int64_t>(Rows()), lineEnds, crlfs, static_cast<std::int64_t>(ContentBytes())};
  }
  // Totals of rows [0, k), walked from the nearer end of the block.
  TRowSums SumsBefore(std::size_t k) const {
    const bool fromStart = k <= Rows() / 2;
    TRowSums part;
    std::size_t lineEndBytes = 0;
    for (std::size_t i = fromStart ? 0 : k; i < (fromStart ? k : Rows()); ++i) {
      if (EndsLine(data[i])) ++part.lineEnds;
      if (IsCrlf(data[i])) ++part.crlfs;
      lineEndBytes += EndLength(i);
    }
    part.rows = static_cast<std::int64_t>(fromStart ? k : Rows() - k);
    part.bytes = static_cast<std::int64_t>((fromStart ? Begin(k) : Span() - Begin(k)) - lineEndBytes);
    if (fromStart) return part;
    TRowSums all = Sums();
    all -= part;
    return all;
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
      Block& blk = *blocks_[at.block];
      blk.data[at.index] = static_cast<std::uint8_t>(blk.data[at.index] & 0x0F);
    }
    unknown_from_ = i + 1 >= count_ ? kAllStatesKnown : i + 1;
  }
  Locator at = Locate(i);
  const std::uint8_t d = static_cast<std::uint8_t>(w & 0xFF);
  Block& blk = *blocks_[at.block];
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
    Block& blk = *blocks_[at.block];
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

const std::vector<TRowSums>& TPointerStringList::Prefix() const {
  const std::size_t n = blocks_.size();
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
  return prefix_;
}

TRowSums TPointerStringList::SumsBefore(int row) const {
  const std::vector<TRowSums>& prefix = Prefix();
  if (row <= 0 || count_ == 0) return {};
  if (row >= count_) return prefix.back();
  Locator at = Locate(row);
  TRowSums sums = prefix[at.block];
  sums += blocks_[at.block]->SumsBefore(at.index);
  return sums;
}

int TPointerStringList::RowOfLineEnd(std::int64_t k) const {
  const std::vector<TRowSums>& prefix = Prefix();
  if (k < 0) return 0;
  if (count_ == 0 || k >= prefix.back().lineEnds) return count_;
  // The last block whose preceding line ends number at most k holds it.
  auto it = std::upper_bound(prefix.begin(), prefix.end() - 1, k,
                             [](std::int64_t v, const TRowSums& s) { return v < s.lineEnds; });
  const std::size_t b = static_cast<std::size_t>(it - prefix.begin()) - 1;
  std::int64_t left = k - prefix[b].lineEnds;
  const Block& blk = *blocks_[b];
  for (std::size_t i = 0; i < blk.Rows(); ++i)
    if (EndsLine(blk.data[i]) && left-- == 0) return starts_[b] + static_cast<int>(i);
  return count_;  // not reached: the block's count says it is there
}

int TPointerStringList::RowOfOffset(std::int64_t offset) const {
  const std::vector<TRowSums>& prefix = Prefix();
  if (offset < 0) return 0;
  if (count_ == 0 || offset >= prefix.back().Offset()) return count_;
  auto it = std::upper_bound(prefix.begin(), prefix.end() - 1, offset,
                             [](std::int64_t v, const TRowSums& s) { return v < s.Offset(); });
  const std::size_t b = static_cast<std::size_t>(it - prefix.begin()) - 1;
  std::int64_t left = offset - prefix[b].Offset();
  const Block& blk = *blocks_[b];
  for (std::size_t i = 0; i < blk.Rows(); ++i) {
    const std::uint8_t d = blk.data[i];
    const std::int64_t span = static_cast<std::int64_t>(blk.ends[i] - blk.Begin(i)) + (IsCrlf(d) ? 2 : EndsLine(d) ? 1 : 0);
    if (left < span) return starts_[b] + static_cast<int>(i);
    left -= span;
  }
  return count_;
}

bool TPointerStringList::RowHasTab(int i) const {
  Locator at = Locate(i);
  const Block& blk = *blocks_[at.block];
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
    const Block& blk = *blocks_[b];
    const std::size_t lastRow = std::min(blk.Rows(), index + static_cast<std::size_t>(to - from));
    const int found = tabsOnly && blk.tabs == 0 ? -1 : FindInBlock(blk, index, lastRow, bytes, lineEnds);
    if (found >= 0) return starts_[b] + found;
    from += static_cast<int>(lastRow - index);
  }
  return to;
}

// The first of rows [from, to) of a block holding one of `bytes`, or -1.
int TPointerStringList::FindInBlock(const Block& blk, std::size_t from, std::size_t to, std::string_view bytes,
                                    bool lineEnds) {
  if (blk.mapped && lineEnds) {
    // The line ends between mapped rows are not the rows' text.
    for (std::size_t k = from; k < to; ++k)
      if (blk.RowView(k).find_first_of(bytes) != std::string_view::npos) return static_cast<int>(k);
    return -1;
  }
  const char* begin = blk.Bytes() + blk.Begin(from);
  std::size_t n = blk.Begin(to) - blk.Begin(from);
  for (char c : bytes)
    if (const void* p = std::memchr(begin, c, n)) n = static_cast<std::size_t>(static_cast<const char*>(p) - begin);
  const std::size_t hit = blk.Begin(from) + n;
  if (hit >= blk.Begin(to)) return -1;
  // The row whose bytes end after the hit holds it.
  auto row = std::upper_bound(blk.ends.begin() + static_cast<std::ptrdiff_t>(from), blk.ends.end(), hit);
  return static_cast<int>(row - blk.ends.begin());
}

// A changed block that held the widest row may have lost it: then every
// block is looked at again. Otherwise only the changed blocks are measured
// when next asked, and the widest row can only have grown.
void TPointerStringList::TextChanged(std::size_t b) const {
  Block& blk = *blocks_[b];
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

void TPointerStringList::BlockAdded(const Block* blk) const {
  if (widest_ >= 0) changed_blocks_.push_back(blk);
}

// Called before a block leaves the list.
void TPointerStringList::Forget(const Block* blk) const {
  std::erase(changed_blocks_, blk);
}

std::int64_t TPointerStringList::WidestRow() const {
  if (widest_ >= 0) {
    for (const Block* blk : changed_blocks_) widest_ = std::max(widest_, Measure(*blk));
    changed_blocks_.clear();
    return widest_;
  }
  std::int64_t widest = 0;
  for (const auto& blk : blocks_) widest = std::max(widest, Measure(*blk));
  changed_blocks_.clear();
  return widest_ = widest;
}

std::int64_t TPointerStringList::Measure(const Block& blk) const {
  if (blk.widthGeneration == width_generation_) return blk.widest;
  blk.widest = 0;
  for (std::size_t k = 0; k < blk.Rows(); ++k) {
    const std::string_view row = blk.RowView(k);
    const bool tab = blk.tabs > 0 && row.find('\t') != std::string_view::npos;
    blk.widest = std::max(blk.widest, tab ? MeasureRow(row) : static_cast<std::int64_t>(row.size()));
  }
  blk.widthGeneration = width_generation_;
  return blk.widest;
}

void TPointerStringList::InvalidateWidths() {
  if (++width_generation_ == 0) ++width_generation_;  // 0 marks a changed block
  widest_ = -1;
  changed_blocks_.clear();
}

void TPointerStringList::InsertAt(Locator at, std::string_view s, std::uint8_t data) {
  ++text_edits_;
  // A row put in can only widen its block.
  const bool keep = blocks_[at.block]->widthGeneration == width_generation_;
  if (!keep) TextChanged(at.block);
  Block& blk = *blocks_[at.block];
  blk.Own();
  std::size_t pos = blk.Begin(at.index);
  blk.text.insert(pos, s);
  blk.tabs += CountTabs(s);
  blk.ends.insert(blk.ends.begin() + at.index, static_cast<std::uint32_t>(pos));
  for (std::size_t k = at.index; k < blk.ends.size(); ++k) blk.ends[k] += static_cast<std::uint32_t>(s.size());
  blk.data.insert(blk.data.begin() + at.index, data);
  blk.Count(data, +1);
  for (std::size_t b = at.block + 1; b < blocks_.size(); ++b) ++starts_[b];
  RowsInserted(starts_[at.block] + static_cast<int>(at.index), 1);
  ++count_;
  Touch(at.block);
  if (keep) RowChanged(at);
  SplitIfLarge(at.block);
}

void TPointerStringList::SplitIfLarge(std::size_t b) {
  const Block& blk = *blocks_[b];
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
  Block& blk = *blocks_[b];
  if (index == 0 || index >= blk.Rows()) return;
  blk.Own();
  auto tail = std::make_unique<Block>();
  std::size_t cut = blk.Begin(index);
  tail->text.assign(blk.text, cut, std::string::npos);
  tail->tabs = CountTabs(tail->text);
  blk.tabs -= tail->tabs;
  tail->ends.reserve(blk.Rows() - index);
  for (std::size_t k = index; k < blk.Rows(); ++k) tail->ends.push_back(static_cast<std::uint32_t>(blk.ends[k] - cut));
  tail->data.assign(blk.data.begin() + index, blk.data.end());
  for (std::uint8_t d : tail->data) {
    tail->Count(d, +1);
    blk.Count(d, -1);
  }
  blk.text.resize(cut);
  blk.text.shrink_to_fit();
  TextChanged(b);
  blk.ends.resize(index);
  blk.data.resize(index);
  BlockAdded(tail.get());
  blocks_.insert(blocks_.begin() + b + 1, std::move(tail));
  starts_.insert(starts_.begin() + b + 1, 0);
  RecomputeStarts(b + 1);
  Touch(b);
}

void TPointerStringList::MergeIfSmall(std::size_t b) {
  if (b + 1 >= blocks_.size()) return;
  Block& blk = *blocks_[b];
  Block& next = *blocks_[b + 1];
  if (blk.ContentBytes() + next.ContentBytes() > block_bytes_ || blk.Rows() + next.Rows() > block_rows_) return;
  blk.Own();
  next.Own();
  std::uint32_t shift = static_cast<std::uint32_t>(blk.text.size());
  blk.text.append(next.text);
  for (std::uint32_t e : next.ends) blk.ends.push_back(e + shift);
  blk.data.insert(blk.data.end(), next.data.begin(), next.data.end());
  blk.lineEnds += next.lineEnds;
  blk.crlfs += next.crlfs;
  blk.tabs += next.tabs;
  // Two measured blocks make one whose widest row is the wider of theirs.
  if (blk.widthGeneration == width_generation_ && next.widthGeneration == width_generation_)
    blk.widest = std::max(blk.widest, next.widest);
  else
    TextChanged(b);
  Forget(blocks_[b + 1].get());
  blocks_.erase(blocks_.begin() + b + 1);
  starts_.erase(starts_.begin() + b + 1);
  last_block_ = 0;
  Touch(b);
}

// Erases rows [from, to) of block b; the caller fixes starts_ and count_.
void TPointerStringList::EraseInBlock(std::size_t b, std::size_t from, std::size_t to) {
  ++text_edits_;
  // Taking out a few rows narrower than the block's widest keeps its measure.
  constexpr std::size_t kFewRows = 4;
  const Block& was = *blocks_[b];
  bool keep = was.widthGeneration == width_generation_ && to - from <= kFewRows;
  for (std::size_t k = from; keep && k < to; ++k) keep = WidthOf(was, k) < was.widest;
  if (!keep) TextChanged(b);
  Block& blk = *blocks_[b];
  // A whole block goes at once (a mapped one without being copied first).
  if (from == 0 && to == blk.Rows()) {
    for (std::size_t k = from; k < to; ++k) blk.Count(blk.data[k], -1);
    blk = Block();
    Touch(b);
    return;
  }
  blk.Own();
  std::size_t bytesFrom = blk.Begin(from), bytesTo = blk.Begin(to);
  std::uint32_t removed = static_cast<std::uint32_t>(bytesTo - bytesFrom);
  blk.tabs -= CountTabs(std::string_view(blk.text).substr(bytesFrom, removed));
  blk.text.erase(bytesFrom, removed);
  blk.ends.erase(blk.ends.begin() + from, blk.ends.begin() + to);
  for (std::size_t k = from; k < blk.ends.size(); ++k) blk.ends[k] -= removed;
  for (std::size_t k = from; k < to; ++k) blk.Count(blk.data[k], -1);
  blk.data.erase(blk.data.begin() + from, blk.data.begin() + to);
  Touch(b);
}

std::int64_t TPointerStringList::WidthOf(const Block& blk, std::size_t k) const {
  const std::string_view row = blk.RowView(k);
  const bool tab = blk.tabs > 0 && row.find('\t') != std::string_view::npos;
  return tab ? MeasureRow(row) : static_cast<std::int64_t>(row.size());
}

// One row of a measured block is about to change: when it is not its widest,
// the block's measure stays good with the row's new width (RowChanged);
// otherwise the block is measured again when asked. True in the first case.
bool TPointerStringList::RowChangeKeepsMeasure(Locator at) const {
  const Block& blk = *blocks_[at.block];
  if (blk.widthGeneration == width_generation_ && WidthOf(blk, at.index) < blk.widest) return true;
  TextChanged(at.block);
  return false;
}

void TPointerStringList::RowChanged(Locator at) const {
  const Block& blk = *blocks_[at.block];
  blk.widest = std::max(blk.widest, WidthOf(blk, at.index));
  if (widest_ >= 0) widest_ = std::max(widest_, blk.widest);
}

void TPointerStringList::ReplaceAt(Locator at, std::string_view s, std::size_t from, std::size_t to) {
  ++text_edits_;
  const bool keep = RowChangeKeepsMeasure(at);
  Block& blk = *blocks_[at.block];
  blk.Own();
  const std::size_t begin = blk.Begin(at.index), length = blk.ends[at.index] - begin;
  to = std::min(to, length);
  from = std::min(from, to);
  blk.tabs -= CountTabs(std::string_view(blk.text).substr(begin + from, to - from));
  blk.tabs += CountTabs(s);
  blk.text.replace(begin + from, to - from, s);
  const std::int64_t delta = static_cast<std::int64_t>(s.size()) - static_cast<std::int64_t>(to - from);
  if (delta != 0) {
    for (std::size_t k = at.index; k < blk.ends.size(); ++k)
      blk.ends[k] = static_cast<std::uint32_t>(blk.ends[k] + delta);
    Touch(at.block);
  }
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
  ++text_edits_;
  const std::uint8_t d = static_cast<std::uint8_t>(data & 0xFF);
  const std::size_t endLength = MappedEndLength(s, d);
  const bool mapped = endLength != kNotMapped;
  Block* last = blocks_.empty() ? nullptr : blocks_.back().get();
  const bool joins = last && (last->Rows() == 0 ||
                              (last->Rows() < block_rows_ && last->ContentBytes() + s.size() <= block_bytes_ &&
                               (mapped ? last->mapped && s.data() == last->mapped + last->Span() : !last->mapped)));
  if (!joins) {
    // Appending in bulk (loading): size the block once, for as many rows
    // as rows of this length fill, instead of growing it row by row.
    if (last) ShrinkBlock(*last);
    auto blk = std::make_unique<Block>();
    if (!mapped) blk->text.reserve(std::max(block_bytes_, s.size()));
    const std::size_t rows = std::min(block_rows_, block_bytes_ / std::max<std::size_t>(s.size(), 16) + 8);
    blk->ends.reserve(rows);
    blk->data.reserve(rows);
    if (mapped) blk->pairEnds.reserve(rows);
    BlockAdded(blk.get());
    blocks_.push_back(std::move(blk));
    starts_.push_back(count_);
  }
  Block& blk = *blocks_.back();
  if (hasTab) blk.tabs += CountTabs(s);
  if (mapped)
    blk.PushMapped(s, d, endLength);
  else
    blk.Push(s, d);
  Touch(blocks_.size() - 1);
  TextChanged(blocks_.size() - 1);
  ++count_;
}

std::size_t TPointerStringList::MappedBlockCount() const {
  return static_cast<std::size_t>(
      std::count_if(blocks_.begin(), blocks_.end(), [](const auto& blk) { return blk->mapped != nullptr; }));
}

void TPointerStringList::AttachMapping(std::shared_ptr<const TFileMapping> mapping) {
  if (mapping) mappings_.push_back(std::move(mapping));
}

void TPointerStringList::ReleaseMappedPages() const {
  for (const auto& mapping : mappings_) mapping->Release(0, mapping->Size());
}

// A row can stay in the mapping when it lies there whole and, if it ends a
// line, its line end follows it there (a row cut out of a longer one does
// not qualify): the length of that line end, or kNotMapped.
std::size_t TPointerStringList::MappedEndLength(std::string_view s, std::uint8_t d) const {
  if (mappings_.empty()) return kNotMapped;
  const TFileMapping& map = *mappings_.back();
  const char* end = s.data() + s.size();
  const char* mapEnd = map.Data() + map.Size();
  if (!map.Contains(s.data()) || end > mapEnd) return kNotMapped;
  switch (d & 0x0F) {
    case raWrapped:
    case raEof:
      return 0;
    case raCrlf:
      if (end == mapEnd || (*end != '\r' && *end != '\n')) return kNotMapped;
      return *end == '\r' && end + 1 < mapEnd && end[1] == '\n' ? 2 : 1;
    default:
      return kNotMapped;
  }
}

// Gives back what a block filled by appending reserved and did not use.
void TPointerStringList::ShrinkBlock(Block& blk) {
  if (blk.ends.capacity() > blk.ends.size() + 64) {
    blk.ends.shrink_to_fit();
    blk.data.shrink_to_fit();
  }
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
  ++text_edits_;
  blocks_.clear();
  starts_.clear();
  widest_ = -1;
  changed_blocks_.clear();
  count_ = 0;
  last_block_ = 0;
  sums_valid_ = 0;
  unknown_from_ = kAllStatesKnown;
  mappings_.clear();
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
      blocks_.erase(blocks_.begin() + b);
      starts_.erase(starts_.begin() + b);
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
  for (int k = 0; k < src.count_; ++k) {
    std::string_view row = src.Row(k);
    if (fresh.empty() || fresh.back()->Rows() >= block_rows_ ||
        (fresh.back()->Rows() > 0 && fresh.back()->ContentBytes() + row.size() > block_bytes_))
      fresh.push_back(std::make_unique<Block>());
    fresh.back()->tabs += CountTabs(row);
    fresh.back()->Push(row, static_cast<std::uint8_t>(src.GetData(k)));
  }
  if (widest_ >= 0)  // the fresh blocks are measured when asked
    for (const auto& blk : fresh) changed_blocks_.push_back(blk.get());
  ++text_edits_;
  blocks_.insert(blocks_.begin() + insertBefore, std::make_move_iterator(fresh.begin()),
                 std::make_move_iterator(fresh.end()));
  count_ += src.count_;
  RowsInserted(first, src.count_);
  RecomputeStarts(insertBefore);
}

void TPointerStringList::AssignRows(int first, int count, const TPointerStringList& src) {
  if (first < 0 || first > count_) return;
  count = std::clamp(count, 0, count_ - first);
  // Overwrite the rows both runs share, then insert or delete the rest.
  int common = std::min(count, src.count_);
  for (int k = 0; k < common; ++k) {
    Locator d = Locate(first + k);
    const std::uint8_t data = static_cast<std::uint8_t>(src.GetData(k));
    if ((blocks_[d.block]->data[d.index] ^ data) & 0x0F) Touch(d.block);
    blocks_[d.block]->SetData(d.index, data);
    ReplaceAt(d, src.Row(k));
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
  ++text_edits_;
  ++other.text_edits_;
  std::swap(blocks_, other.blocks_);
  std::swap(starts_, other.starts_);
  std::swap(count_, other.count_);
  std::swap(unknown_from_, other.unknown_from_);
  std::swap(mappings_, other.mappings_);
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
  mappings_.insert(mappings_.begin(), tail.mappings_.begin(), tail.mappings_.end());
  if (!blocks_.empty()) ShrinkBlock(*blocks_.back());
  const std::size_t first = blocks_.size();
  for (auto& blk : tail.blocks_) {
    blk->widthGeneration = 0;  // measured by tail's settings, not ours
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
  tail.mappings_.clear();
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
