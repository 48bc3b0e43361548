// The row container: byte-string rows, each with a small data word, stored
// in blocks so that inserting or deleting a row in the middle of millions of
// rows moves only one block's worth of bytes.
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "text/text_image.h"
#include "text/line_end.h"
#include "text/row_types.h"

namespace yk {

struct TRowBlock;

class TPointerStringList {
 public:
  // Rows are grouped in blocks of about blockBytes bytes and at most
  // blockRows rows; tests use tiny blocks to exercise splits and merges.
  static constexpr std::size_t kDefaultBlockBytes = 16 * 1024;
  static constexpr std::size_t kDefaultBlockRows = 1024;

  explicit TPointerStringList(std::size_t blockBytes = kDefaultBlockBytes,
                              std::size_t blockRows = kDefaultBlockRows);
  TPointerStringList(const TPointerStringList&) = delete;
  TPointerStringList& operator=(const TPointerStringList&) = delete;
  virtual ~TPointerStringList();

  int GetCount() const { return count_; }
  bool Empty() const { return count_ == 0; }

  // Checked access: an index outside the list raises EStringListError.
  std::string Get(int i) const;
  void Put(int i, std::string_view s);
  int Add(std::string_view s);
  void Insert(int i, std::string_view s);
  void Delete(int i);
  virtual void Clear();

  // Unchecked view of row i; valid until the list next changes.
  std::string_view Row(int i) const;
  std::size_t RowLength(int i) const { return Row(i).size(); }

  // The data word keeps only bits 0..7 (attribute and carried state); the
  // higher bits are always 0.
  std::uint32_t GetData(int i) const;
  void SetData(int i, std::uint32_t w);
  TRowAttribute GetRowAttribute(int i) const;
  void SetRowAttribute(int i, int a);
  int GetRowState(int i) const;
  void SetRowState(int i, int s);

  // Bulk operations used by the row list's edit primitive.
  void InsertRows(int first, const TPointerStringList& src);
  void DeleteRows(int first, int count);
  void AssignRows(int first, int count, const TPointerStringList& src);
  // Replaces bytes [from, to) of row i (limited to the row) by s, moving
  // only the bytes after them: a keystroke in a row of many megabytes
  // does not copy the row. The data word stays.
  void SpliceRow(int i, std::size_t from, std::size_t to, std::string_view s);
  // Appends a row with its data word. Loading, which has just scanned the
  // row, says whether it holds a tab, so the row is not read again.
  void Append(std::string_view s, std::uint32_t data);
  void Append(std::string_view s, std::uint32_t data, bool hasTab);
  // As Append, the row ending with a line end of that kind when raCrlf.
  void Append(std::string_view s, std::uint32_t data, bool hasTab, TLineEnd kind);
  // Rows appended from now on whose bytes lie whole in the image (of a
  // loaded file) are kept there instead of copied, until changed; the list
  // holds the image while any of its rows may be there.
  void AttachImage(std::shared_ptr<const TTextImage> image);
  // Lets the pages of images that reading rows brought into this process's
  // resident set go again (the bytes stay): for after a read of the whole
  // document row by row, such as the lines object's save.
  void ReleaseImagePages() const;
  // Exchanges the rows (not the observers or update state) with other.
  void SwapRows(TPointerStringList& other);
  // Moves every row of tail, with its data word, to the end of this list,
  // whole blocks at a time (no row is copied); tail is left empty. Both
  // lists must have been made with the same block sizes.
  void MoveRowsToEnd(TPointerStringList& tail);

  // Text of all rows, each followed by CR LF (the wrapped form).
  std::string GetText() const;
  // Appends rows i, i + 1, ... up to the end of row i's block, at most
  // count of them, to out, each raCrlf row followed by CR LF; returns how
  // many. Rows in an image whose line ends there are CR LF come from its
  // memory file in one read, so reading through a large document (a
  // search) maps none of the image's pages into this process.
  int AppendRowsOfBlock(int i, int count, std::string& out) const;
  // The image that holds the n bytes at p, or null.
  const TTextImage* ImageHolding(const char* p, std::size_t n) const;

  // Line ends. Every raCrlf row ends with the list's kind of line end
  // unless it is listed with another (a file that mixes them), so a
  // uniform document pays nothing per row. Rows moved by any operation keep
  // their kind; rows copied from another list keep the kinds listed there
  // and take this list's kind otherwise. A new list, and one cleared, has
  // CR LF.
  TLineEnd LineEnds() const { return line_end_; }
  // Makes every line end, and those of rows to come, of kind.
  void SetLineEnds(TLineEnd kind);
  // The kind of row i's line end (the list's kind for a row without one).
  TLineEnd RowLineEnd(int i) const;
  // Gives row i's line end that kind; nothing for a row without one.
  void SetRowLineEnd(int i, TLineEnd kind);
  // Some line end is of another kind than the list's.
  bool MixedLineEnds() const { return Totals().otherEnds > 0; }
  // The line ends of rows [first, first + count) of another kind than the
  // list's, by their index among those rows' line ends.
  TOtherLineEnds OtherLineEnds(int first, int count) const;
  // Makes the list's kind base and gives its line ends, by index, the
  // kinds listed in others.
  void AssignLineEnds(TLineEnd base, const TOtherLineEnds& others);
  // Hands the text as a file holds it to put, in order: each row followed
  // by its line end as TRowEndWriter gives it, or by everyEnd after every
  // row when that is not empty. Bytes that lie next to each other in memory
  // go as one piece, so a run of unchanged rows that still lie in an image
  // with their own line ends goes whole, with that image (else null).
  using TPieceSink = std::function<void(std::string_view bytes, const TTextImage* image)>;
  void ForEachSavedPiece(std::string_view everyEnd, const TPieceSink& put) const;

  // The line index, in O(log n) over a summary per block: totals of the
  // rows before a row (row clamped to 0..count), the row of the k-th line
  // end (0-based; the row count when there are not that many), and the row
  // whose text or line end holds a document offset (the row count past the
  // end). Line ends count as TRowSums::Offset counts them.
  TRowSums SumsBefore(int row) const;
  TRowSums Totals() const { return SumsBefore(count_); }
  int RowOfLineEnd(std::int64_t k) const;
  int RowOfOffset(std::int64_t offset) const;

  // Carried highlight states from `row` on read as not computed, without
  // visiting those rows; writing a known state into such a row makes the
  // rows before it not computed too and moves the limit past it.
  void MarkStatesUnknownFrom(int row);
  // Writes `state` into rows [from, to) a block at a time. With stopAtSame,
  // stops at the first row that already holds it (a known state) and
  // returns that row; otherwise returns to.
  int FillRowStates(int from, int to, int state, bool stopAtSame);
  int StatesUnknownFrom() const { return unknown_from_; }
  // Display width of the widest row, kept per block: an edit re-measures
  // only its own block when next asked. Rows without a tab are as wide as
  // they are long; rows with one are measured by MeasureRow.
  std::int64_t WidestRow() const;
  // The measure of rows with a tab changed (tab width, wrapping): every
  // block is measured again when next asked.
  void InvalidateWidths();

  // Whether row i holds a tab: answered without reading the row when its
  // block holds none, so a row of many megabytes is not scanned per caret
  // move. Unchecked, like Row.
  bool RowHasTab(int i) const;
  // The first row in [from, to) whose text holds one of `bytes`, or `to`:
  // blocks are scanned as a whole, not row by row.
  int FindRowWithAny(int from, int to, std::string_view bytes) const;

  // Grows with every change to the rows' text or to which row is where
  // (not with data words): a value computed from a row holds while this
  // stays the same.
  std::uint64_t TextEdits() const { return text_edits_; }

  void BeginUpdate();
  void EndUpdate();
  int UpdateCount() const { return update_count_; }
  std::function<void()> OnChange;

  // Number of storage blocks; for tests and diagnostics.
  std::size_t BlockCount() const { return blocks_.size(); }
  // Blocks whose rows are still read from the image of a loaded file.
  std::size_t ImageBlockCount() const;
  std::size_t BlockBytes() const { return block_bytes_; }
  std::size_t BlockRows() const { return block_rows_; }

 protected:
  // The display width of a row that holds a tab.
  virtual std::int64_t MeasureRow(std::string_view row) const { return static_cast<std::int64_t>(row.size()); }
  // Called after each change outside an update, and when an update ends.
  virtual void Changed();
  // Called after the Changed that ends the outermost update.
  virtual void UpdateEnded() {}
  void NotifyChange() {
    if (update_count_ == 0) Changed();
  }

 private:
  struct Locator {
    std::size_t block;
    std::size_t index;
  };

  Locator Locate(int i) const;
  void CheckIndex(int i) const;
  void InsertAt(Locator at, std::string_view s, std::uint8_t data, TLineEnd kind);
  // The kind src lists for its row k, or this list's kind.
  TLineEnd KindFrom(const TPointerStringList& src, int k) const;
  // Appends row k of src with its data word and kind.
  void AppendFrom(const TPointerStringList& src, int k);
  // Replaces bytes [from, to) of one row in place (clamped to the row; the
  // whole row by default); its data word stays.
  void ReplaceAt(Locator at, std::string_view s, std::size_t from = 0, std::size_t to = SIZE_MAX);
  void SplitIfLarge(std::size_t b);
  void SplitBlockAt(std::size_t b, std::size_t index);
  void MergeIfSmall(std::size_t b);
  void EraseInBlock(std::size_t b, std::size_t from, std::size_t to);
  void RecomputeStarts(std::size_t fromBlock);
  // Block b's totals changed: the prefix sums from it on are rebuilt when
  // next asked for.
  void Touch(std::size_t b) const { sums_valid_ = std::min(sums_valid_, b + 1); }
  // Only the bytes of block b changed, by delta: the sums after it shift,
  // which costs nothing while the edits stay in that block (typing).
  void BytesChanged(std::size_t b, std::int64_t delta) const;
  // Brings the prefix sums up to date; PrefixAt(b) are the totals of the
  // blocks before b (b up to the block count).
  void UpdatePrefix() const;
  TRowSums PrefixAt(std::size_t b) const {
    TRowSums sums = prefix_[b];
    if (b >= shifted_from_) sums.bytes += shifted_bytes_;
    return sums;
  }
  // Block b's text changed: its widest row is measured again when asked.
  void TextChanged(std::size_t b) const;
  void Forget(const TRowBlock* blk) const;
  void BlockAdded(const TRowBlock* blk) const;
  std::int64_t Measure(const TRowBlock& blk) const;
  std::int64_t WidthOf(const TRowBlock& blk, std::size_t k) const;
  bool RowChangeKeepsMeasure(Locator at) const;
  void RowChanged(Locator at) const;
  // Row shifts of the state limit when rows come or go.
  void RowsInserted(int at, int n);
  void RowsDeleted(int at, int n);
  static constexpr std::size_t kNotInImage = SIZE_MAX;
  std::size_t ImageEndLength(std::string_view s, std::uint8_t d) const;

  std::size_t block_bytes_;
  std::size_t block_rows_;
  std::vector<std::unique_ptr<TRowBlock>> blocks_;
  std::vector<int> starts_;  // first row index of each block
  int count_ = 0;
  int update_count_ = 0;
  std::uint64_t text_edits_ = 0;
  mutable std::size_t last_block_ = 0;  // speeds up sequential access
  // prefix_[b]: totals of the blocks before b; entries from sums_valid_ on
  // are stale, and those from shifted_from_ on lack shifted_bytes_ bytes.
  mutable std::vector<TRowSums> prefix_;
  mutable std::size_t sums_valid_ = 0;
  static constexpr std::size_t kNoShift = SIZE_MAX;
  mutable std::size_t shifted_from_ = kNoShift;
  mutable std::int64_t shifted_bytes_ = 0;
  mutable std::int64_t widest_ = -1;  // -1: measure every block again
  mutable std::vector<const TRowBlock*> changed_blocks_;  // to measure before widest_ holds
  std::uint32_t width_generation_ = 1;
  static constexpr int kAllStatesKnown = 0x7FFFFFFF;
  int unknown_from_ = kAllStatesKnown;
  // The kind of line end of rows not listed with another.
  TLineEnd line_end_ = TLineEnd::CrLf;
  // The images rows may lie in; the last one takes new rows.
  std::vector<std::shared_ptr<const TTextImage>> images_;
};

// The line end to write after each row of a list, asked for the rows in
// order from the first: the row's own, except that the LF of an empty row
// right after a CR is written as CR, since a reader would take the CR and
// the LF for one CR LF and lose that row.
class TRowEndWriter {
 public:
  explicit TRowEndWriter(const TPointerStringList& rows) : rows_(rows) {}
  std::string_view After(int row);

 private:
  const TPointerStringList& rows_;
  bool after_cr_ = false;
};

// Holds an update of a list open for a scope, also when the scope throws.
class TListUpdateScope {
 public:
  explicit TListUpdateScope(TPointerStringList& list) : list_(list) { list_.BeginUpdate(); }
  ~TListUpdateScope() { list_.EndUpdate(); }
  TListUpdateScope(const TListUpdateScope&) = delete;
  TListUpdateScope& operator=(const TListUpdateScope&) = delete;

 private:
  TPointerStringList& list_;
};

// The scratch list into which wrapping writes the rows of a piece of text.
class TEditorStringList : public TPointerStringList {
 public:
  using TPointerStringList::TPointerStringList;
};

}  // namespace yk
