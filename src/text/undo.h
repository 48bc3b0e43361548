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
  std::string oldText;
};

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
  virtual void Clear();

  int UndoListMax() const { return undo_list_max_; }
  void SetUndoListMax(int v) { undo_list_max_ = v < kMinUndoListMax ? kMinUndoListMax : v; }
  std::size_t UndoCount() const { return undo_.size(); }
  std::size_t RedoCount() const { return redo_.size(); }

 private:
  // Takes out the rows the record put in and puts its old text back;
  // returns the record that undoes the replay (caret not set).
  TUndoData Replay(const TUndoData& r);
  void MoveCaret(const TUndoData& r);
  TUndoData& NewInverseData();

  TEditorScreenStrings& owner_;
  int undo_list_max_ = kMinUndoListMax;
  bool redoing_ = false;
  std::deque<std::unique_ptr<TUndoData>> redo_;
  std::deque<std::unique_ptr<TUndoData>> undo_;
};

}  // namespace yk
