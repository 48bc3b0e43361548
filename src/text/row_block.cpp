// The rows of one block: appending, copying image rows, and the edits that
// stay inside a block.
#include "text/row_block.h"

#include <algorithm>
#include <cstring>

namespace yk {

std::size_t CountTabs(std::string_view s) { return static_cast<std::size_t>(std::count(s.begin(), s.end(), '\t')); }

void TRowBlock::SetData(std::size_t k, std::uint8_t d) {
  if ((data[k] ^ d) & 0x0F) {
    Own();  // the attribute says whether a line end follows
    if (!IsCrlf(d)) {
      auto it = OtherEndFrom(k);
      if (it != otherEnds.end() && (*it >> 2) == k) otherEnds.erase(it);
    }
  }
  Count(data[k], -1);
  data[k] = d;
  Count(d, +1);
}

std::vector<std::uint32_t>::iterator TRowBlock::OtherEndFrom(std::size_t k) {
  return std::lower_bound(otherEnds.begin(), otherEnds.end(), static_cast<std::uint32_t>(k << 2));
}

std::vector<std::uint32_t>::const_iterator TRowBlock::OtherEndFrom(std::size_t k) const {
  return std::lower_bound(otherEnds.begin(), otherEnds.end(), static_cast<std::uint32_t>(k << 2));
}

TLineEnd TRowBlock::EndKind(std::size_t k, TLineEnd base) const {
  if (otherEnds.empty()) return base;
  auto it = OtherEndFrom(k);
  return it != otherEnds.end() && (*it >> 2) == k ? static_cast<TLineEnd>(*it & 3) : base;
}

void TRowBlock::SetEndKind(std::size_t k, TLineEnd kind, TLineEnd base) {
  if (otherEnds.empty() && kind == base) return;
  auto it = OtherEndFrom(k);
  const bool listed = it != otherEnds.end() && (*it >> 2) == k;
  if (kind != (listed ? static_cast<TLineEnd>(*it & 3) : base)) imageEnds = false;
  if (kind == base || !IsCrlf(data[k])) {
    if (listed) otherEnds.erase(it);
    return;
  }
  const std::uint32_t entry = static_cast<std::uint32_t>(k << 2) | static_cast<std::uint32_t>(kind);
  if (listed)
    *it = entry;
  else
    otherEnds.insert(it, entry);
}

void TRowBlock::Rebase(TLineEnd from, TLineEnd to) {
  if (from == to) return;
  std::vector<std::uint32_t> rebased;
  auto it = otherEnds.cbegin();
  for (std::size_t k = 0; k < Rows(); ++k) {
    if (!IsCrlf(data[k])) continue;
    TLineEnd kind = from;
    while (it != otherEnds.cend() && (*it >> 2) < k) ++it;
    if (it != otherEnds.cend() && (*it >> 2) == k) kind = static_cast<TLineEnd>(*it & 3);
    if (kind != to) rebased.push_back(static_cast<std::uint32_t>(k << 2) | static_cast<std::uint32_t>(kind));
  }
  otherEnds = std::move(rebased);
}

void TRowBlock::ShiftOtherEnds(std::size_t k, std::int64_t delta) {
  for (auto it = OtherEndFrom(k); it != otherEnds.end(); ++it)
    *it = static_cast<std::uint32_t>(static_cast<std::int64_t>(*it) + delta * 4);
}

void TRowBlock::Push(std::string_view s, std::uint8_t d) {
  text.append(s);
  ends.push_back(static_cast<std::uint32_t>(text.size()));
  data.push_back(d);
  Count(d, +1);
}

void TRowBlock::PushImage(std::string_view s, std::uint8_t d, std::size_t endLength) {
  if (data.empty()) {
    image = s.data();
    imageEnds = true;
  }
  ends.push_back(static_cast<std::uint32_t>(s.data() + s.size() - image));
  pairEnds.push_back(endLength == 2);
  endBytes += endLength;
  data.push_back(d);
  Count(d, +1);
}

void TRowBlock::Own() {
  if (!image) return;
  std::string own;
  own.reserve(ContentBytes());
  std::size_t begin = 0;
  for (std::size_t k = 0; k < Rows(); ++k) {
    const std::size_t end = ends[k], next = end + EndLength(k);
    own.append(image + begin, end - begin);
    ends[k] = static_cast<std::uint32_t>(own.size());
    begin = next;
  }
  text = std::move(own);
  image = nullptr;
  std::vector<bool>().swap(pairEnds);
  endBytes = 0;
}

void TRowBlock::InsertRow(std::size_t k, std::string_view s, std::uint8_t d) {
  Own();
  ShiftOtherEnds(k, +1);
  const std::size_t pos = Begin(k);
  text.insert(pos, s);
  tabs += CountTabs(s);
  ends.insert(ends.begin() + static_cast<std::ptrdiff_t>(k), static_cast<std::uint32_t>(pos));
  for (std::size_t i = k; i < ends.size(); ++i) ends[i] += static_cast<std::uint32_t>(s.size());
  data.insert(data.begin() + static_cast<std::ptrdiff_t>(k), d);
  Count(d, +1);
}

std::int64_t TRowBlock::ReplaceBytes(std::size_t k, std::size_t from, std::size_t to, std::string_view s) {
  Own();
  const std::size_t begin = Begin(k), length = ends[k] - begin;
  to = std::min(to, length);
  from = std::min(from, to);
  tabs -= CountTabs(std::string_view(text).substr(begin + from, to - from));
  tabs += CountTabs(s);
  text.replace(begin + from, to - from, s);
  const std::int64_t delta = static_cast<std::int64_t>(s.size()) - static_cast<std::int64_t>(to - from);
  if (delta != 0)
    for (std::size_t i = k; i < ends.size(); ++i) ends[i] = static_cast<std::uint32_t>(ends[i] + delta);
  return delta;
}

void TRowBlock::EraseRows(std::size_t from, std::size_t to) {
  if (from == 0 && to == Rows()) {
    *this = TRowBlock();
    return;
  }
  Own();
  const std::size_t bytesFrom = Begin(from), bytesTo = Begin(to);
  const std::uint32_t removed = static_cast<std::uint32_t>(bytesTo - bytesFrom);
  tabs -= CountTabs(std::string_view(text).substr(bytesFrom, removed));
  text.erase(bytesFrom, removed);
  const auto first = static_cast<std::ptrdiff_t>(from), last = static_cast<std::ptrdiff_t>(to);
  ends.erase(ends.begin() + first, ends.begin() + last);
  for (std::size_t k = from; k < ends.size(); ++k) ends[k] -= removed;
  for (std::size_t k = from; k < to; ++k) Count(data[k], -1);
  data.erase(data.begin() + first, data.begin() + last);
  otherEnds.erase(OtherEndFrom(from), OtherEndFrom(to));
  ShiftOtherEnds(from, -static_cast<std::int64_t>(to - from));
}

std::unique_ptr<TRowBlock> TRowBlock::SplitOff(std::size_t k) {
  Own();
  auto tail = std::make_unique<TRowBlock>();
  const std::size_t cut = Begin(k);
  tail->text.assign(text, cut, std::string::npos);
  tail->tabs = CountTabs(tail->text);
  tabs -= tail->tabs;
  tail->ends.reserve(Rows() - k);
  for (std::size_t i = k; i < Rows(); ++i) tail->ends.push_back(static_cast<std::uint32_t>(ends[i] - cut));
  tail->data.assign(data.begin() + static_cast<std::ptrdiff_t>(k), data.end());
  for (std::uint8_t d : tail->data) {
    tail->Count(d, +1);
    Count(d, -1);
  }
  text.resize(cut);
  text.shrink_to_fit();
  ends.resize(k);
  data.resize(k);
  const auto moved = OtherEndFrom(k);
  for (auto it = moved; it != otherEnds.end(); ++it) tail->otherEnds.push_back(*it - static_cast<std::uint32_t>(k << 2));
  otherEnds.erase(moved, otherEnds.end());
  return tail;
}

void TRowBlock::Absorb(TRowBlock& next) {
  Own();
  next.Own();
  for (std::uint32_t e : next.otherEnds) otherEnds.push_back(e + static_cast<std::uint32_t>(Rows() << 2));
  const std::uint32_t shift = static_cast<std::uint32_t>(text.size());
  text.append(next.text);
  for (std::uint32_t e : next.ends) ends.push_back(e + shift);
  data.insert(data.end(), next.data.begin(), next.data.end());
  lineEnds += next.lineEnds;
  crlfs += next.crlfs;
  tabs += next.tabs;
}

void TRowBlock::Shrink() {
  if (ends.capacity() > ends.size() + 64) {
    ends.shrink_to_fit();
    data.shrink_to_fit();
  }
}

int TRowBlock::FindAny(std::size_t from, std::size_t to, std::string_view bytes, bool lineEnds) const {
  if (image && lineEnds) {
    // The line ends between image rows are not the rows' text.
    for (std::size_t k = from; k < to; ++k)
      if (RowView(k).find_first_of(bytes) != std::string_view::npos) return static_cast<int>(k);
    return -1;
  }
  const char* begin = Bytes() + Begin(from);
  std::size_t n = Begin(to) - Begin(from);
  for (char c : bytes)
    if (const void* p = std::memchr(begin, c, n)) n = static_cast<std::size_t>(static_cast<const char*>(p) - begin);
  const std::size_t hit = Begin(from) + n;
  if (hit >= Begin(to)) return -1;
  // The row whose bytes end after the hit holds it.
  auto row = std::upper_bound(ends.begin() + static_cast<std::ptrdiff_t>(from), ends.end(), hit);
  return static_cast<int>(row - ends.begin());
}

TRowSums TRowBlock::SumsBefore(std::size_t k) const {
  const bool fromStart = k <= Rows() / 2;
  TRowSums part;
  std::size_t lineEndBytes = 0;
  for (std::size_t i = fromStart ? 0 : k; i < (fromStart ? k : Rows()); ++i) {
    if (EndsLine(data[i])) ++part.lineEnds;
    if (IsCrlf(data[i])) ++part.crlfs;
    lineEndBytes += EndLength(i);
  }
  part.rows = static_cast<std::int64_t>(fromStart ? k : Rows() - k);
  const auto split = static_cast<std::int64_t>(OtherEndFrom(k) - otherEnds.begin());
  part.otherEnds = fromStart ? split : static_cast<std::int64_t>(otherEnds.size()) - split;
  part.bytes = static_cast<std::int64_t>((fromStart ? Begin(k) : Span() - Begin(k)) - lineEndBytes);
  if (fromStart) return part;
  TRowSums all = Sums();
  all -= part;
  return all;
}

}  // namespace yk
