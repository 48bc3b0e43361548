// One block of the row store: the bytes, end offsets and data bytes of a
// run of rows, kept with the totals the line index adds up, so that an
// edit in the middle of millions of rows moves only one block's bytes.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "text/line_end.h"
#include "text/row_types.h"

namespace yk {

std::size_t CountTabs(std::string_view s);

struct TRowBlock {
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
  // Rows loaded from a file and not changed since stay in the file's
  // image: then `image` points at the first row's first byte, `ends`
  // count from it, and each raCrlf row is followed there by its line end,
  // CR LF where pairEnds says so, else CR or LF (`endBytes` bytes of line
  // ends in all); `text` is empty. A change to the rows copies them into
  // `text` first (Own). The line-end lengths are kept rather than read from
  // the image, so sizes and totals never touch its pages.
  const char* image = nullptr;
  std::vector<bool> pairEnds;
  std::size_t endBytes = 0;
  // The image's line ends are still those of the rows' kinds, so a save
  // can take them from the image with the rows. Cleared, never set again,
  // when a kind changes.
  bool imageEnds = false;
  // The raCrlf rows whose line end is of another kind than the list's, as
  // (row << 2) | kind, by row: empty in a uniform document.
  std::vector<std::uint32_t> otherEnds;

  std::size_t Rows() const { return data.size(); }
  const char* Bytes() const { return image ? image : text.data(); }
  // Bytes from the first row's start to the last row's end (its line end
  // included when the rows are in an image).
  std::size_t Span() const { return image ? Begin(Rows()) : text.size(); }
  std::size_t ContentBytes() const { return Span() - endBytes; }
  std::size_t EndLength(std::size_t k) const {
    if (!image || !IsCrlf(data[k])) return 0;
    return pairEnds[k] ? 2 : 1;
  }
  std::size_t Begin(std::size_t k) const { return k == 0 ? 0 : ends[k - 1] + EndLength(k - 1); }
  std::string_view RowView(std::size_t k) const {
    const std::size_t b = Begin(k);
    return std::string_view(Bytes() + b, ends[k] - b);
  }
  void Count(std::uint8_t d, int sign) {
    if (EndsLine(d)) lineEnds += sign;
    if (IsCrlf(d)) crlfs += sign;
  }
  // A row that stops ending with a line end loses its kind.
  void SetData(std::size_t k, std::uint8_t d);

  // The kind of row k's line end: base, the list's kind, unless listed.
  TLineEnd EndKind(std::size_t k, TLineEnd base) const;
  // Lists row k with its kind, or unlists it when the kind is base or the
  // row ends with no line end.
  void SetEndKind(std::size_t k, TLineEnd kind, TLineEnd base);
  // The list's kind changes from `from` to `to`: rows of kind `to` leave
  // the list of others and rows of kind `from` join it.
  void Rebase(TLineEnd from, TLineEnd to);

  // Appends a row to the block's own text; the caller counts its tabs.
  void Push(std::string_view s, std::uint8_t d);
  // Appends a row that lies in the image right after the block's last one
  // (or starts an empty block there), followed by endLength bytes of line
  // end.
  void PushImage(std::string_view s, std::uint8_t d, std::size_t endLength);
  // Copies rows kept in an image into the block's own text; nothing else
  // changes.
  void Own();

  // Row edits inside the block; each copies image rows first. The caller
  // keeps the list's row numbers, line index and widths.
  void InsertRow(std::size_t k, std::string_view s, std::uint8_t d);
  // Replaces bytes [from, to) of row k (clamped to the row) by s; returns
  // the change of the row's length.
  std::int64_t ReplaceBytes(std::size_t k, std::size_t from, std::size_t to, std::string_view s);
  // Takes out rows [from, to); all of them at once without copying first.
  void EraseRows(std::size_t from, std::size_t to);
  // Moves rows k.. into a new block, returned.
  std::unique_ptr<TRowBlock> SplitOff(std::size_t k);
  // Moves all rows of next to the end of this block.
  void Absorb(TRowBlock& next);
  // Gives back what filling by appending reserved and did not use.
  void Shrink();

  // The first of rows [from, to) holding one of `bytes`, or -1; lineEnds:
  // `bytes` holds CR or LF.
  int FindAny(std::size_t from, std::size_t to, std::string_view bytes, bool lineEnds) const;

  TRowSums Sums() const {
    return {static_cast<std::int64_t>(Rows()), lineEnds, crlfs, static_cast<std::int64_t>(ContentBytes()),
            static_cast<std::int64_t>(otherEnds.size())};
  }
  // Totals of rows [0, k), walked from the nearer end of the block.
  TRowSums SumsBefore(std::size_t k) const;

 private:
  // The first listed other line end of row k or after it.
  std::vector<std::uint32_t>::iterator OtherEndFrom(std::size_t k);
  std::vector<std::uint32_t>::const_iterator OtherEndFrom(std::size_t k) const;
  // Rows from k on moved by delta rows.
  void ShiftOtherEnds(std::size_t k, std::int64_t delta);
};

}  // namespace yk
