// The kinds of the rows' line ends: the list's kind, and the few rows of
// another kind listed per block.
#include <algorithm>

#include "text/pointer_string_list.h"
#include "text/row_block.h"

namespace yk {

void TPointerStringList::SetLineEnds(TLineEnd kind) {
  line_end_ = kind;
  for (auto& blk : blocks_) std::vector<std::uint32_t>().swap(blk->otherEnds);
  Touch(0);
}

TLineEnd TPointerStringList::RowLineEnd(int i) const {
  CheckIndex(i);
  const Locator at = Locate(i);
  return blocks_[at.block]->EndKind(at.index, line_end_);
}

void TPointerStringList::SetRowLineEnd(int i, TLineEnd kind) {
  CheckIndex(i);
  const Locator at = Locate(i);
  blocks_[at.block]->SetEndKind(at.index, kind, line_end_);
  Touch(at.block);
}

TLineEnd TPointerStringList::KindFrom(const TPointerStringList& src, int k) const {
  const Locator at = src.Locate(k);
  const TLineEnd kind = src.blocks_[at.block]->EndKind(at.index, src.line_end_);
  return kind == src.line_end_ ? line_end_ : kind;
}

void TPointerStringList::AppendFrom(const TPointerStringList& src, int k) {
  const std::string_view row = src.Row(k);
  Append(row, src.GetData(k), row.find('\t') != std::string_view::npos, KindFrom(src, k));
}

// Blocks without other kinds are counted through whole; those with some
// are walked row by row, as are the partial blocks at either end.
TOtherLineEnds TPointerStringList::OtherLineEnds(int first, int count) const {
  TOtherLineEnds out;
  if (first < 0 || count <= 0 || first >= count_) return out;
  const int last = count > count_ - first ? count_ : first + count;
  std::uint32_t index = 0;  // line ends passed
  const Locator at = Locate(first);
  for (std::size_t b = at.block, k = at.index, row = static_cast<std::size_t>(first); row < static_cast<std::size_t>(last);
       ++b, k = 0) {
    const TRowBlock& blk = *blocks_[b];
    const std::size_t stop = std::min(blk.Rows(), k + (static_cast<std::size_t>(last) - row));
    row += stop - k;
    if (blk.otherEnds.empty() && k == 0 && stop == blk.Rows()) {
      index += static_cast<std::uint32_t>(blk.crlfs);
      continue;
    }
    for (std::size_t i = k; i < stop; ++i) {
      if (!IsCrlf(blk.data[i])) continue;
      const TLineEnd kind = blk.EndKind(i, line_end_);
      if (kind != line_end_) out.push_back({index, kind});
      ++index;
    }
  }
  return out;
}

void TPointerStringList::AssignLineEnds(TLineEnd base, const TOtherLineEnds& others) {
  SetLineEnds(base);
  for (const TOtherLineEnd& e : others) {
    const int row = RowOfLineEnd(e.index);
    if (row < count_ && GetRowAttribute(row) == raCrlf) SetRowLineEnd(row, e.kind);
  }
}

std::string_view TRowEndWriter::After(int row) {
  const bool empty = rows_.RowLength(row) == 0;
  if (rows_.GetRowAttribute(row) != raCrlf) {
    after_cr_ = after_cr_ && empty;
    return {};
  }
  TLineEnd kind = rows_.RowLineEnd(row);
  if (kind == TLineEnd::Lf && empty && after_cr_) kind = TLineEnd::Cr;
  after_cr_ = kind == TLineEnd::Cr;
  return LineEndBytes(kind);
}

}  // namespace yk
