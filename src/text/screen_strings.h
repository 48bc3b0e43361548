// The document's rows: the one edit primitive ReplaceRows, word wrap over the
// whole list, carried highlight states and the editors attached to it.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "text/editor_link.h"
#include "text/pointer_string_list.h"
#include "text/undo.h"
#include "text/wrap_option.h"

namespace yk {

struct TChangedRange {
  int first = 0;
  int oldCount = 0;
  int newCount = 0;
  bool dirty = false;
  bool operator==(const TChangedRange&) const = default;
};

// One replacement of rows, told after the rows changed: rows [firstRow,
// firstRow + newRows) stand where oldRows rows stood, and the texts of the
// two runs (each raCrlf row followed by CR LF) share their first keptHead
// and last keptTail bytes. cleared: every row went at once (Clear, which
// also starts every load).
struct TRowsReplaced {
  int firstRow = 0;
  int oldRows = 0;
  int newRows = 0;
  std::size_t keptHead = 0;
  std::size_t keptTail = 0;
  bool cleared = false;
};

struct TRowsText {
  TRowAttribute attribute = raInvalid;
  int rowsTaken = 0;
  std::string text;
  TOtherLineEnds others;  // the text's line ends of another kind than the document's
};

class TEditorScreenStrings : public TEditorStringList {
 public:
  explicit TEditorScreenStrings(std::size_t blockBytes = kDefaultBlockBytes,
                                std::size_t blockRows = kDefaultBlockRows);
  ~TEditorScreenStrings() override;

  // Attached editors; the first is the owner whose settings the list uses.
  // Editors share the list through shared_ptr: it lives while one holds it.
  void AddEditor(TEditorLink* editor);
  void RemoveEditor(TEditorLink* editor);
  TEditorLink* OwnerEditor() const { return editors_.empty() ? nullptr : editors_.front(); }
  TEditorLink* ActiveEditor() const;
  const std::vector<TEditorLink*>& Editors() const { return editors_; }

  // Replaces count rows from first by text (which may hold CR LF, CR or LF
  // line ends), re-wraps the touched logical lines, records one undo step,
  // recomputes highlight states and tells the editors what changed.
  void ReplaceRows(int first, int count, std::string_view text);
  // The same edit as ReplaceRows of the one row `row` with its bytes
  // [from, to) replaced by text (and its line end kept). With wrapping off
  // and no line end in text, only those bytes move and the undo record
  // holds only them, so typing in a row of many megabytes costs little.
  void ReplaceInRow(int row, std::size_t from, std::size_t to, std::string_view text);
  // Replaces bytes of one row in place and fills its undo record, which
  // holds the bytes taken out and how much of the row stands before and
  // after them; false (nothing done) when such an edit cannot stand for
  // the change: wrapping on, a line end in text, no such row.
  bool SpliceInRow(int row, std::size_t from, std::size_t to, std::string_view text, TUndoData& record);
  // Typing into a long wrapped line whose breaks all move (single-byte
  // text): while deferrable, an edit whose new breaks do not meet the old
  // ones within a few hundred rows re-wraps only those rows and leaves the
  // rest of the line to FinishWrap, which the editor calls once the edit is
  // on the screen. In between the text is whole and right, only rows past
  // the edit still break where they did. Every edit, undo and redo
  // finishes first.
  void SetWrapDeferrable(bool on);
  bool WrapDeferrable() const { return defer_wrap_; }
  bool WrapPending() const { return pending_wrap_.record != nullptr; }
  void FinishWrap();
  // FinishWrap where nothing may throw (a destructor, a timer): running out
  // of memory leaves rows that break early, with the text and the undo
  // record whole, and no wrap pending.
  void FinishWrapNoThrow() noexcept;
  // Text of count rows from first (count -1: to the end of the logical
  // line), each raCrlf row followed by CR LF.
  TRowsText GetRowsText(int first, int count) const;
  int FirstRowOfLine(int row) const;
  int LastRowOfLine(int row) const;
  // Logical lines: the rows that are not raWrapped, plus one when the last
  // row is raWrapped.
  int LineCount() const;
  // First row of logical line `line`; the row count for the line count.
  int LineToRow(int line) const;

  // The loaded file ended with a Ctrl+Z, the end-of-file mark of old
  // editors: saving writes it back, so an unchanged save is the same file.
  // A new text (Clear) has none.
  bool EofMark() const { return eof_mark_; }
  void SetEofMark(bool on) { eof_mark_ = on; }

  // Records the range the editors repaint and tells OnRowsReplaced.
  void SetChangedRange(int first, int oldCount, int newCount, std::size_t keptHead = 0, std::size_t keptTail = 0);
  // Told of every replacement of rows that the edit primitive, undo and
  // redo make, and of Clear; not of the rows a load appends after its
  // Clear, nor of re-wrapping, which keeps the text.
  std::function<void(const TRowsReplaced&)> OnRowsReplaced;
  const TChangedRange& ChangedRange() const { return changed_; }
  void Clear() override;

  TEditorUndoObj& UndoObj() { return *undo_; }
  const TEditorUndoObj& UndoObj() const { return *undo_; }
  void Undo() { undo_->Undo(); }
  void Redo() { undo_->Redo(); }

  // Word wrap.
  bool WordWrap() const { return wrap_enabled_; }
  void SetWordWrap(bool on);
  TEditorWrapOption& WrapOption() { return *wrap_option_; }
  const TEditorWrapOption& WrapOption() const { return *wrap_option_; }
  void WrapText(std::string_view text, TEditorStringList& list) const;
  // The rows of a run of text whose last row ends with lastAttribute: a
  // text that ends with a line end where the document ended without one
  // now ends the document with that line end (no empty row after it), and
  // a run that stops inside a wrapped line has no empty row for a line end.
  void WrapRows(std::string_view text, TRowAttribute lastAttribute, TEditorStringList& list) const;
  int CountWrapRows(std::string_view line) const;
  void WrapAll();
  void UnwrapAll();
  void WrapOptionChanged();
  // Appends one logical line as rows (wrapped when wrapping is on), the last
  // row with lastAttribute and, when that is raCrlf, a line end of kind
  // (by default the list's); used by loading and whole-list rebuilds.
  void AppendLine(std::string_view line, TRowAttribute lastAttribute);
  void AppendLine(std::string_view line, TRowAttribute lastAttribute, TLineEnd kind);
  // As AppendLine, into another list and with the caller's scratch for the
  // row breaks, for a loader that knows whether the line holds a tab: reads
  // only this list's settings, so a loader may fill a second list on
  // another thread while this one is being appended to.
  void AppendLineTo(TPointerStringList& list, std::string_view line, TRowAttribute lastAttribute, bool hasTab,
                    TLineEnd kind, std::vector<std::size_t>& rowLengths) const;
  // Around appending a whole document: the carried states are written with
  // the rows where they are known in advance, then completed.
  void BeginLoading();
  void EndLoading();
  // Appends every line of text (CR LF, CR or LF ends) as AppendLine does,
  // each ending raCrlf.
  void AppendLines(std::string_view text);

  // Carried highlight states.
  std::string HeadToken(int row) const;
  int RowEndState(int row, int state) const;
  void UpdateAllStates();
  void UpdateStatesFrom(int row, bool repaint);

  // Editors.
  void ClampEditorRows();
  void PrepareEditors();
  void ResetEditorColumns();
  void RepaintEditors();

  int TabWidth() const;
  const std::bitset<256>& WordDelimiters() const;

 protected:
  std::int64_t MeasureRow(std::string_view row) const override;

  // A descendant that makes its own undo manager or wrap option builds on
  // this constructor and calls CreateParts() at the end of its own.
  struct TDeferredParts {};
  TEditorScreenStrings(TDeferredParts, std::size_t blockBytes = kDefaultBlockBytes,
                       std::size_t blockRows = kDefaultBlockRows);
  void CreateParts();
  virtual std::unique_ptr<TEditorUndoObj> CreateUndoObj();
  virtual std::unique_ptr<TEditorWrapOption> CreateWrapOption();

  void Changed() override;
  void UpdateEnded() override;

 private:
  bool OwnerLoading() const;
  bool CanRewrapFromRow(int row, int end, std::string_view text) const;
  // Opens the undo record of an edit, holding the text of count rows from
  // first.
  TUndoData& RecordOldRows(int first, int count);
  void DeleteWholeLines(int first, int count);
  void RebuildRows(int start, int first, int lastReplaced, int end, std::string_view text,
                   TRowAttribute lastAttribute);
  // The line ends of the rows made by an edit of rows [start, stop) that
  // replaces rows [first, lastReplaced] by text; old: those of the old rows.
  TOtherLineEnds EditLineEnds(const TOtherLineEnds& old, int start, int first, int lastReplaced, int stop,
                              std::string_view text) const;
  // Rows past the replaced ones that the new breaks are first compared
  // with, and at most.
  static constexpr int kAgreeReach = 4;
  static constexpr int kAgreeReachLimit = 256;
  bool RebuildUntilRowsAgree(int start, int first, int lastReplaced, int end, std::string_view text);
  void ReplaceUntilRow(int start, int agree, const TEditorStringList& scratch, int newCount, std::string newText,
                       int first, int lastReplaced, std::string_view text);
  void DeferRestOfLine(int start, int joint, int first, int lastReplaced, std::string_view text,
                       std::string_view head);
  void RebuildLines(bool wrap);
  void AppendSplitLines(std::string_view text, TPointerStringList& list) const;
  void AppendLineTo(TPointerStringList& list, std::string_view line, TRowAttribute lastAttribute) const;
  void AppendLineTo(TPointerStringList& list, std::string_view line, TRowAttribute lastAttribute, bool hasTab,
                    TLineEnd kind) const;
  const TParserRules* Rules() const;
  std::unique_ptr<TEditorParser> CreateParser(std::string_view text, int state) const;
  bool StateMayChange(std::string_view text, int state) const;
  bool StateTriggers(int state, std::string& bytes) const;
  int ScanState(std::string_view text, int state) const;

  // An update whose end does not notify the editors: whole-list rebuilds,
  // after which the callers repaint everything.
  struct QuietUpdate {
    explicit QuietUpdate(TEditorScreenStrings& s) : s_(s) {
      s_.quiet_ = true;
      s_.BeginUpdate();
    }
    ~QuietUpdate() {
      s_.EndUpdate();
      s_.quiet_ = false;
    }
    TEditorScreenStrings& s_;
  };

  // A line whose rows from `joint` on still break as before an edit made
  // rows [start, joint) and the undo record `record`.
  struct TPendingWrap {
    int start = 0;
    int joint = 0;
    TUndoData* record = nullptr;
  };
  TPendingWrap pending_wrap_;
  bool defer_wrap_ = false;
  bool quiet_ = false;
  bool eof_mark_ = false;
  std::uint32_t append_state_ = 0;  // state bits of rows appended while loading
  std::vector<TEditorLink*> editors_;
  TChangedRange changed_;
  std::unique_ptr<TEditorUndoObj> undo_;
  bool wrap_enabled_ = false;
  std::unique_ptr<TEditorWrapOption> wrap_option_;
  mutable std::vector<std::size_t> row_lengths_;  // scratch for breaking lines
};

// Holds wrap deferral on for a scope, such as one key's edit. The
// outermost scope first finishes a wrap an earlier one left, so that the
// edit starts from the rows of a whole wrap; at its end it finishes the wrap
// it left, or hands that to `later` when given one.
class TDeferredWrapScope {
 public:
  explicit TDeferredWrapScope(TEditorScreenStrings& rows, std::function<void()> later = {})
      : rows_(rows), later_(std::move(later)), outer_(!rows.WrapDeferrable()) {
    if (!outer_) return;
    rows_.FinishWrapNoThrow();
    rows_.SetWrapDeferrable(true);
  }
  ~TDeferredWrapScope() {
    if (!outer_) return;
    rows_.SetWrapDeferrable(false);
    if (!rows_.WrapPending()) return;
    if (later_) {
      try {
        later_();
        return;
      } catch (...) {
      }
    }
    rows_.FinishWrapNoThrow();
  }
  TDeferredWrapScope(const TDeferredWrapScope&) = delete;
  TDeferredWrapScope& operator=(const TDeferredWrapScope&) = delete;

 private:
  TEditorScreenStrings& rows_;
  std::function<void()> later_;
  bool outer_;
};

}  // namespace yk
