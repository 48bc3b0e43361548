// Undo and redo by replaying recorded row replacements.
#include "text/undo.h"

#include "text/screen_strings.h"

namespace yk {

TEditorUndoObj::TEditorUndoObj(TEditorScreenStrings& owner) : owner_(owner) {}

TUndoData& TEditorUndoObj::NewUndoData() {
  auto record = std::make_unique<TUndoData>();
  if (TEditorLink* e = owner_.ActiveEditor()) {
    record->caretRow = e->Row();
    record->caretCol = e->Col();
  }
  undo_.push_back(std::move(record));
  if (static_cast<int>(undo_.size()) > undo_list_max_) undo_.pop_front();
  if (!redoing_) redo_.clear();
  return *undo_.back();
}

void TEditorUndoObj::AddRedoData(TUndoData data) {
  auto record = std::make_unique<TUndoData>(std::move(data));
  record->caretRow = record->caretCol = 0;
  if (TEditorLink* e = owner_.ActiveEditor()) {
    record->caretRow = e->Row();
    record->caretCol = e->Col();
  }
  redo_.push_back(std::move(record));
}

void TEditorUndoObj::Clear() {
  undo_.clear();
  redo_.clear();
}

TUndoData TEditorUndoObj::Replay(const TUndoData& r) {
  TUndoData out;
  out.firstRow = r.firstRow;
  int taken = 0;
  if (r.insertedRows > 0) {
    TRowsText removed = owner_.GetRowsText(r.firstRow, r.insertedRows);
    out.oldText = std::move(removed.text);
    out.lastAttribute = removed.attribute;
    taken = removed.rowsTaken;
    owner_.DeleteRows(r.firstRow, taken);
  }
  if (r.lastAttribute != raInvalid) {
    TEditorStringList scratch;
    owner_.WrapRows(r.oldText, static_cast<TRowAttribute>(r.lastAttribute), scratch);
    owner_.InsertRows(r.firstRow, scratch);
    out.insertedRows = scratch.GetCount();
  }
  owner_.UpdateStatesFrom(r.firstRow, true);
  owner_.SetChangedRange(r.firstRow, taken, out.insertedRows);
  return out;
}

void TEditorUndoObj::MoveCaret(const TUndoData& r) {
  if (TEditorLink* e = owner_.ActiveEditor()) {
    e->SetRow(r.caretRow);
    e->SetCol(r.caretCol);
  }
}

// The editors hear of the replay once, when the update ends, before the
// caret moves back to where it was.
void TEditorUndoObj::Undo() {
  if (undo_.empty()) return;
  std::unique_ptr<TUndoData> r = std::move(undo_.back());
  undo_.pop_back();
  {
    TListUpdateScope update(owner_);
    AddRedoData(Replay(*r));
  }
  MoveCaret(*r);
}

void TEditorUndoObj::Redo() {
  if (redo_.empty()) return;
  std::unique_ptr<TUndoData> r = std::move(redo_.back());
  redo_.pop_back();
  {
    TListUpdateScope update(owner_);
    TUndoData inverse = Replay(*r);
    TUndoData& record = NewInverseData();
    inverse.caretRow = record.caretRow;
    inverse.caretCol = record.caretCol;
    record = std::move(inverse);
  }
  MoveCaret(*r);
}

// A redo records its inverse like an edit, without emptying the redo list.
TUndoData& TEditorUndoObj::NewInverseData() {
  redoing_ = true;
  try {
    TUndoData& inverse = NewUndoData();
    redoing_ = false;
    return inverse;
  } catch (...) {
    redoing_ = false;
    throw;
  }
}

}  // namespace yk
