// Undo and redo: each edit of the row list records the rows it put in and
// the text it took out; replaying a record swaps them back. An edit is one
// step; the edits of a command run inside a TUndoGroup are one step.
#pragma once

#include <cstdint>
#include <deque>
#include <string>

#include "text/editor_link.h"
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

// Of the rows a change put in, how many at its start and at its end are
// rows it took out, unchanged (text and line end): rows that moved with
// the change rather than changed.
struct TKeptRows {
  int above = 0;
  int below = 0;
};
TKeptRows KeptRows(const TEditorScreenStrings& rows, const TUndoData& change);

// Stores old in r, less what it shares at both ends with replacement (the
// text of the rows that stand in its place now).
void StoreOldText(TUndoData& r, std::string old, std::string_view replacement);
// The whole old text of r, given the text of the rows that replaced it.
std::string OldTextOf(const TUndoData& r, std::string_view replacement);

// One step of the undo or redo list: its last `records` records. A group's
// step puts a selection back (on the undo list what the command started
// from; on the redo list the caret at the undo, with the command's own
// selection kept for the step that the redo makes again).
struct TUndoStep {
  std::size_t records = 0;
  bool group = false;
  TSelectionSpan selection;
  TSelectionSpan commandSelection;
};

class TEditorUndoObj {
 public:
  static constexpr int kMinUndoListMax = 64;

  explicit TEditorUndoObj(TEditorScreenStrings& owner);
  TEditorUndoObj(const TEditorUndoObj&) = delete;
  TEditorUndoObj& operator=(const TEditorUndoObj&) = delete;
  virtual ~TEditorUndoObj() = default;

  // A fresh record with the active editor's caret, appended to the undo
  // list, as a step of its own or to the open group's; drops the oldest
  // step beyond the limit and, unless a redo is recording its inverse,
  // empties the redo list. The record stays where it is until the step is
  // undone or dropped.
  virtual TUndoData& NewUndoData();
  virtual bool CanRedo() const { return !redo_steps_.empty(); }
  // An open group that recorded an edit is a step already for whoever
  // asks meanwhile (the editors' enabling, told of each edit in it).
  virtual bool CanUndo() const { return !undo_steps_.empty() || (group_depth_ > 0 && open_.records > 0); }
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

  // Groups nest; the outermost makes the step, with the active editor's
  // selection as it is when it begins (or `selection`, where the command
  // had moved it already). Undo and redo wait while a group is open. A
  // group that recorded nothing leaves no step.
  void BeginGroup();
  void BeginGroup(const TSelectionSpan& selection);
  void EndGroup();
  bool GroupOpen() const { return group_depth_ > 0; }

  // The limit counts steps: a group is one, however many edits it holds.
  int UndoListMax() const { return undo_list_max_; }
  void SetUndoListMax(int v) { undo_list_max_ = v < kMinUndoListMax ? kMinUndoListMax : v; }
  std::size_t UndoCount() const { return undo_steps_.size(); }
  std::size_t RedoCount() const { return redo_steps_.size(); }
  // The record of the last edit, or null.
  TUndoData* Latest() { return undo_.empty() ? nullptr : &undo_.back(); }
  // Bytes of old text held by both lists.
  std::size_t StoredBytes() const;
  // While the editors hear of a change: the record that describes it (an
  // edit's own, or the inverse its undo or redo made), for KeptRows. Null
  // after a step of several records, which they hear of as one range.
  const TUndoData* LastChange() const { return last_change_; }

 private:
  // Takes out the rows the record put in and puts its old text back;
  // returns the record that undoes the replay (caret not set).
  TUndoData Replay(const TUndoData& r);
  bool ReplayInRow(const TUndoData& r, TUndoData& out);
  void MoveCaret(const TUndoData& r);
  void PutBack(const TUndoStep& step, const TUndoData& first);
  TUndoData& NewInverseData();
  TSelectionSpan ActiveSelection() const;
  void DropOldestStep();
  // The rows changed by several replays, as one range: from the first row
  // any of them touched to the end of the list.
  void SetStepRange(int first, int rowsBefore);

  static constexpr std::uint64_t kNoState = 0;

  TEditorScreenStrings& owner_;
  std::uint64_t next_state_ = 2;
  std::uint64_t base_state_ = 1;   // the state before the oldest undo record
  std::uint64_t saved_state_ = 1;  // an empty new document is unmodified
  int undo_list_max_ = kMinUndoListMax;
  bool redoing_ = false;
  int group_depth_ = 0;
  TUndoStep open_;  // the open group's step
  const TUndoData* last_change_ = nullptr;
  // Records stay in place while they are on a list (a deque never moves
  // its elements when growing or shrinking at its ends), so the record
  // NewUndoData returns may be filled after it.
  std::deque<TUndoData> redo_;
  std::deque<TUndoData> undo_;
  std::deque<TUndoStep> redo_steps_;
  std::deque<TUndoStep> undo_steps_;
};

// The edits made while it lives are one undo step (TEditorUndoObj::BeginGroup).
class TUndoGroup {
 public:
  explicit TUndoGroup(TEditorUndoObj& undo) : undo_(undo) { undo_.BeginGroup(); }
  TUndoGroup(TEditorUndoObj& undo, const TSelectionSpan& selection) : undo_(undo) { undo_.BeginGroup(selection); }
  ~TUndoGroup() { undo_.EndGroup(); }
  TUndoGroup(const TUndoGroup&) = delete;
  TUndoGroup& operator=(const TUndoGroup&) = delete;

 private:
  TEditorUndoObj& undo_;
};

}  // namespace yk
