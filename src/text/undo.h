// Undo and redo: each edit of the row list records the rows it put in and
// the text it took out; replaying a record swaps them back.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <deque>

#include "text/pointer_string_list.h"

namespace yk {

class TEditorScreenStrings;

struct TUndoData {
  int caretRow = 0;
  int caretCol = 0;
  int firstRow = -1;
  int insertedRows = 0;
  std::uint8_t lastAttribute = raInvalid;  // raInvalid: no old text
  // The old text is kept without the bytes it shares, at its start and at
  // its end, with the text of the rows that replaced it: a keystroke in a
  // row of many megabytes then stores a few bytes, not the row again.
  std::string oldText;
  std::size_t keptHead = 0;
  std::size_t keptTail = 0;
  // The old text's line ends of another kind than the document's, counted
  // in the whole old text.
  TOtherLineEnds oldEnds;
  // The text state the record leads to: after an undo record, the state
  // its edit made; after a redo record, the state the redo gives back. Two
  // equal states hold the same text.
  std::uint64_t state = 0;
};

// Stores old in r, less what it shares at both ends with replacement (the
// text of the rows that stand in its place now).
void StoreOldText(TUndoData& r, std::string old, std::string_view replacement);
// The whole old text of r, given the text of the rows that replaced it.
std::string OldTextOf(const TUndoData& r, std::string_view replacement);

class TEditorUndoObj {
 public:
  static constexpr int kMinUndoListMax = 64;

  explicit TEditorUndoObj(TEditorScreenStrings& owner);
  TEditorUndoObj(const TEditorUndoObj&) = delete;
  TEditorUndoObj& operator=(const TEditorUndoObj&) = delete;
  virtual ~TEditorUndoObj() = default;

  // A fresh record with the active editor's caret, appended to the undo
  // list; drops the oldest record beyond the limit and, unless a redo is
  // recording its inverse, empties the redo list.
  virtual TUndoData& NewUndoData();
  virtual bool CanRedo() const { return !redo_.empty(); }
  virtual bool CanUndo() const { return !undo_.empty(); }
  virtual void Redo();
  virtual void Undo();
  // Appends the record, with the active editor's caret, to the redo list.
  virtual void AddRedoData(TUndoData data);
  // Forgets every record. Clear: the text is about to change outside the
  // records (a load), so its state is new; ForgetHistory: the text stays as
  // it is (a re-wrap), and so does its state.
  virtual void Clear();
  void ForgetHistory();

  // The text state as the records know it: every edit makes a new one,
  // undo and redo return to earlier ones. MarkSaved notes the current state
  // as the one on disk (or, with false, that no state is: the file now holds
  // something else); AtSavedState tells whether undo or redo came back to it.
  std::uint64_t State() const;
  void MarkSaved(bool saved) { saved_state_ = saved ? State() : kNoState; }
  bool AtSavedState() const { return saved_state_ != kNoState && State() == saved_state_; }

  int UndoListMax() const { return undo_list_max_; }
  void SetUndoListMax(int v) { undo_list_max_ = v < kMinUndoListMax ? kMinUndoListMax : v; }
  std::size_t UndoCount() const { return undo_.size(); }
  // The record of the last edit, or null.
  TUndoData* Latest() { return undo_.empty() ? nullptr : undo_.back().get(); }
  std::size_t RedoCount() const { return redo_.size(); }
  // Bytes of old text held by both lists.
  std::size_t StoredBytes() const;

 private:
  // Takes out the rows the record put in and puts its old text back;
  // returns the record that undoes the replay (caret not set).
  TUndoData Replay(const TUndoData& r);
  bool ReplayInRow(const TUndoData& r, TUndoData& out);
  void MoveCaret(const TUndoData& r);
  TUndoData& NewInverseData();

  static constexpr std::uint64_t kNoState = 0;

  TEditorScreenStrings& owner_;
  std::uint64_t next_state_ = 2;
  std::uint64_t base_state_ = 1;   // the state before the oldest undo record
  std::uint64_t saved_state_ = 1;  // an empty new document is unmodified
  int undo_list_max_ = kMinUndoListMax;
  bool redoing_ = false;
  std::deque<std::unique_ptr<TUndoData>> redo_;
  std::deque<std::unique_ptr<TUndoData>> undo_;
};

}  // namespace yk
