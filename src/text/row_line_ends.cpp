// The kinds of the rows' line ends: the list's kind, and the few rows of
// another kind listed per block.
#include <algorithm>

#include "text/pointer_string_list.h"
#include "text/row_block.h"

namespace yk {

void TPointerStringList::SetLineEnds(TLineEnd kind) {
  for (auto& blk : blocks_) {
    if (kind != line_end_ || !blk->otherEnds.empty()) blk->imageEnds = false;
    std::vector<std::uint32_t>().swap(blk->otherEnds);
  }
  line_end_ = kind;
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

namespace {

// The line end written after a row of that kind: an empty row's LF right
// after a CR is written as CR (see TRowEndWriter). afterCr follows the rows.
TLineEnd WrittenEnd(TLineEnd kind, bool emptyRow, bool& afterCr) {
  if (kind == TLineEnd::Lf && emptyRow && afterCr) kind = TLineEnd::Cr;
  afterCr = kind == TLineEnd::Cr;
  return kind;
}

// Joins pieces that follow each other in memory before handing them on.
class TPieceJoiner {
 public:
  TPieceJoiner(const TPointerStringList& rows, const TPointerStringList::TPieceSink& put) : rows_(rows), put_(put) {}
  void Add(std::string_view bytes) {
    if (bytes.empty()) return;
    if (size_ > 0 && bytes.data() == at_ + size_) {
      size_ += bytes.size();
      return;
    }
    Flush();
    at_ = bytes.data();
    size_ = bytes.size();
  }
  // Hands on the last piece (the sink may throw: not from a destructor).
  void Flush() {
    if (size_ == 0) return;
    put_(std::string_view(at_, size_), rows_.ImageHolding(at_, size_));
    size_ = 0;
  }

 private:
  const TPointerStringList& rows_;
  const TPointerStringList::TPieceSink& put_;
  const char* at_ = nullptr;
  std::size_t size_ = 0;
};

}  // namespace

// Walks the blocks rather than the rows, so no row is located; the line
// ends of a block are met in row order, as are its listed other kinds.
void TPointerStringList::ForEachSavedPiece(std::string_view everyEnd, const TPieceSink& put) const {
  TPieceJoiner out(*this, put);
  bool afterCr = false;
  for (const auto& blk : blocks_) {
    auto other = blk->otherEnds.cbegin();
    for (std::size_t k = 0; k < blk->Rows(); ++k) {
      const std::string_view row = blk->RowView(k);
      out.Add(row);
      if (!everyEnd.empty()) {
        out.Add(everyEnd);
        continue;
      }
      if (!IsCrlf(blk->data[k])) {
        afterCr = afterCr && row.empty();
        continue;
      }
      while (other != blk->otherEnds.cend() && (*other >> 2) < k) ++other;
      const TLineEnd own = other != blk->otherEnds.cend() && (*other >> 2) == k ? static_cast<TLineEnd>(*other & 3)
                                                                                  : line_end_;
      const TLineEnd kind = WrittenEnd(own, row.empty(), afterCr);
      if (blk->image && blk->imageEnds && kind == own && blk->EndLength(k) == LineEndBytes(kind).size())
        out.Add(std::string_view(blk->image + blk->ends[k], blk->EndLength(k)));
      else
        out.Add(LineEndBytes(kind));
    }
  }
  out.Flush();
}

std::string_view TRowEndWriter::After(int row) {
  const bool empty = rows_.RowLength(row) == 0;
  if (rows_.GetRowAttribute(row) != raCrlf) {
    after_cr_ = after_cr_ && empty;
    return {};
  }
  return LineEndBytes(WrittenEnd(rows_.RowLineEnd(row), empty, after_cr_));
}

}  // namespace yk
