// Undo and redo by replaying recorded row replacements.
#include "text/undo.h"

#include <algorithm>
#include <cstring>

#include "text/screen_strings.h"

namespace yk {

TEditorUndoObj::TEditorUndoObj(TEditorScreenStrings& owner) : owner_(owner) {}

namespace {

// Length of the common start of a and b (at most n bytes), compared a block
// at a time with memcmp: rows of many megabytes are compared per keystroke.
std::size_t CommonHead(const char* a, const char* b, std::size_t n) {
  constexpr std::size_t kBlock = 256;
  std::size_t i = 0;
  while (i + kBlock <= n && std::memcmp(a + i, b + i, kBlock) == 0) i += kBlock;
  while (i < n && a[i] == b[i]) ++i;
  return i;
}

// Length of the common end of a[0..na) and b[0..nb), at most n bytes.
std::size_t CommonTail(const char* a, std::size_t na, const char* b, std::size_t nb, std::size_t n) {
  constexpr std::size_t kBlock = 256;
  std::size_t i = 0;
  while (i + kBlock <= n && std::memcmp(a + na - i - kBlock, b + nb - i - kBlock, kBlock) == 0) i += kBlock;
  while (i < n && a[na - 1 - i] == b[nb - 1 - i]) ++i;
  return i;
}

}  // namespace

void StoreOldText(TUndoData& r, std::string old, std::string_view replacement) {
  const std::size_t limit = std::min(old.size(), replacement.size());
  const std::size_t head = CommonHead(old.data(), replacement.data(), limit);
  const std::size_t tail = CommonTail(old.data(), old.size(), replacement.data(), replacement.size(), limit - head);
  r.keptHead = head;
  r.keptTail = tail;
  if (head == 0 && tail == 0) {
    r.oldText = std::move(old);
  } else {
    r.oldText.assign(old, head, old.size() - head - tail);
  }
}

std::string OldTextOf(const TUndoData& r, std::string_view replacement) {
  const std::size_t head = std::min(r.keptHead, replacement.size());
  const std::size_t tail = std::min(r.keptTail, replacement.size() - head);
  std::string old;
  old.reserve(head + r.oldText.size() + tail);
  old.append(replacement.substr(0, head));
  old.append(r.oldText);
  old.append(replacement.substr(replacement.size() - tail));
  return old;
}

TKeptRows KeptRows(const TEditorScreenStrings& rows, const TUndoData& change) {
  const int first = change.firstRow;
  const int count = change.insertedRows;
  if (first < 0 || count < 0 || count > rows.GetCount() - first) return {};
  TEditorStringList before;
  if (change.lastAttribute != raInvalid) {
    const std::string now = count > 0 ? rows.GetRowsText(first, count).text : std::string();
    rows.WrapRows(OldTextOf(change, now), static_cast<TRowAttribute>(change.lastAttribute), before);
  }
  const int oldCount = before.GetCount();
  const auto same = [&](int o, int n) {
    return before.Row(o) == rows.Row(first + n) && before.GetRowAttribute(o) == rows.GetRowAttribute(first + n);
  };
  const int most = std::min(oldCount, count);
  TKeptRows kept;
  while (kept.above < most && same(kept.above, kept.above)) ++kept.above;
  while (kept.above + kept.below < most && same(oldCount - 1 - kept.below, count - 1 - kept.below)) ++kept.below;
  return kept;
}

TUndoData& TEditorUndoObj::NewUndoData() {
  TUndoData& record = undo_.emplace_back();
  last_change_ = &record;
  if (TEditorLink* e = owner_.ActiveEditor()) {
    record.caretRow = e->Row();
    record.caretCol = e->Col();
  }
  record.state = next_state_++;
  if (group_depth_ > 0) {
    ++open_.records;
  } else {
    undo_steps_.push_back({1, false, {}, {}});
    if (static_cast<int>(undo_steps_.size()) > undo_list_max_) DropOldestStep();
  }
  if (!redoing_) {
    redo_.clear();
    redo_steps_.clear();
  }
  return record;
}

// The text before the dropped records can no longer be reached.
void TEditorUndoObj::DropOldestStep() {
  const std::size_t n = undo_steps_.front().records;
  undo_steps_.pop_front();
  base_state_ = undo_[n - 1].state;
  undo_.erase(undo_.begin(), undo_.begin() + static_cast<std::ptrdiff_t>(n));
}

TSelectionSpan TEditorUndoObj::ActiveSelection() const {
  const TEditorLink* e = owner_.ActiveEditor();
  return e ? e->SelectionSpan() : TSelectionSpan{};
}

void TEditorUndoObj::BeginGroup() { BeginGroup(ActiveSelection()); }

void TEditorUndoObj::BeginGroup(const TSelectionSpan& selection) {
  if (group_depth_++ > 0) return;
  open_ = {0, true, selection, selection};
}

void TEditorUndoObj::EndGroup() {
  if (group_depth_ == 0 || --group_depth_ > 0 || open_.records == 0) return;
  undo_steps_.push_back(open_);
  if (static_cast<int>(undo_steps_.size()) > undo_list_max_) DropOldestStep();
}

void TEditorUndoObj::AddRedoData(TUndoData data) {
  TUndoData& record = redo_.emplace_back(std::move(data));
  record.caretRow = record.caretCol = 0;
  if (TEditorLink* e = owner_.ActiveEditor()) {
    record.caretRow = e->Row();
    record.caretCol = e->Col();
  }
  if (group_depth_ == 0) redo_steps_.push_back({1, false, {}, {}});
}

std::size_t TEditorUndoObj::StoredBytes() const {
  std::size_t n = 0;
  for (const TUndoData& r : undo_) n += r.oldText.size();
  for (const TUndoData& r : redo_) n += r.oldText.size();
  return n;
}

// An open group goes on collecting, from nothing.
void TEditorUndoObj::Clear() {
  ForgetHistory();
  base_state_ = next_state_++;
}

void TEditorUndoObj::ForgetHistory() {
  base_state_ = State();
  undo_.clear();
  redo_.clear();
  undo_steps_.clear();
  redo_steps_.clear();
  open_.records = 0;
  last_change_ = nullptr;
}

std::uint64_t TEditorUndoObj::State() const { return undo_.empty() ? base_state_ : undo_.back().state; }

// A record of bytes replaced inside one row (no line end in what it took
// out, the row still ending as it did) is replayed by putting those bytes
// back in place, without reading the rest of the row.
bool TEditorUndoObj::ReplayInRow(const TUndoData& r, TUndoData& out) {
  if (r.insertedRows != 1 || r.firstRow < 0 || r.firstRow >= owner_.GetCount() || owner_.WordWrap()) return false;
  if (r.lastAttribute != owner_.GetRowAttribute(r.firstRow)) return false;
  if (r.oldText.find_first_of("\r\n") != std::string::npos) return false;
  const std::size_t lineEnd = r.lastAttribute == raCrlf ? 2 : 0;
  const std::size_t length = owner_.RowLength(r.firstRow);
  if (r.keptTail < lineEnd || r.keptHead + (r.keptTail - lineEnd) > length) return false;
  return owner_.SpliceInRow(r.firstRow, r.keptHead, length - (r.keptTail - lineEnd), r.oldText, out);
}

TUndoData TEditorUndoObj::Replay(const TUndoData& r) {
  TUndoData out;
  if (ReplayInRow(r, out)) return out;
  out.firstRow = r.firstRow;
  int taken = 0;
  std::string replacement;  // the text of the rows the change put in
  if (r.insertedRows > 0) {
    TRowsText removed = owner_.GetRowsText(r.firstRow, r.insertedRows);
    replacement = std::move(removed.text);
    out.lastAttribute = removed.attribute;
    out.oldEnds = std::move(removed.others);
    taken = removed.rowsTaken;
    owner_.DeleteRows(r.firstRow, taken);
  }
  std::string old = OldTextOf(r, replacement);
  if (r.lastAttribute != raInvalid) {
    TEditorStringList scratch;
    owner_.WrapRows(old, static_cast<TRowAttribute>(r.lastAttribute), scratch);
    if (!r.oldEnds.empty()) scratch.AssignLineEnds(owner_.LineEnds(), r.oldEnds);
    owner_.InsertRows(r.firstRow, scratch);
    out.insertedRows = scratch.GetCount();
  }
  // The rows put back hold exactly the old text, which the inverse's own
  // old text (the replacement) is trimmed against.
  StoreOldText(out, std::move(replacement), old);
  owner_.UpdateStatesFrom(r.firstRow, true);
  owner_.SetChangedRange(r.firstRow, taken, out.insertedRows, out.keptHead, out.keptTail);
  return out;
}

void TEditorUndoObj::MoveCaret(const TUndoData& r) {
  if (TEditorLink* e = owner_.ActiveEditor()) {
    e->SetRow(r.caretRow);
    e->SetCol(r.caretCol);
  }
}

void TEditorUndoObj::PutBack(const TUndoStep& step, const TUndoData& first) {
  TEditorLink* e = owner_.ActiveEditor();
  if (step.group && e)
    e->SetSelectionSpan(step.selection);
  else
    MoveCaret(first);
}

void TEditorUndoObj::SetStepRange(int first, int rowsBefore) {
  const int rows = owner_.GetCount();
  owner_.SetChangedRange(first, std::max(rowsBefore - first, 0), std::max(rows - first, 0));
}

// The records of a step are replayed from the last; the editors hear of
// the replay once, when the update ends, before the caret moves back to
// where it was (or the step's selection comes back).
void TEditorUndoObj::Undo() {
  owner_.FinishWrap();
  if (undo_steps_.empty() || group_depth_ > 0) return;
  last_change_ = nullptr;
  const TUndoStep step = undo_steps_.back();
  undo_steps_.pop_back();
  TUndoStep redoStep{step.records, step.group, ActiveSelection(), step.selection};
  TUndoData first;
  {
    TListUpdateScope update(owner_);
    const int rowsBefore = owner_.GetCount();
    int from = owner_.GetCount();
    for (std::size_t k = 0; k < step.records; ++k) {
      TUndoData r = std::move(undo_.back());
      undo_.pop_back();
      TUndoData inverse = Replay(r);
      inverse.state = r.state;  // redoing it gives that text back
      ++group_depth_;  // the inverses form one step
      AddRedoData(std::move(inverse));
      --group_depth_;
      last_change_ = step.records == 1 ? &redo_.back() : nullptr;
      from = std::min(from, r.firstRow);
      if (k + 1 == step.records) first = std::move(r);
    }
    if (step.records > 1) SetStepRange(from, rowsBefore);
  }
  redo_steps_.push_back(redoStep);
  PutBack(step, first);
}

void TEditorUndoObj::Redo() {
  owner_.FinishWrap();
  if (redo_steps_.empty() || group_depth_ > 0) return;
  last_change_ = nullptr;
  const TUndoStep step = redo_steps_.back();
  redo_steps_.pop_back();
  TUndoData first;
  {
    TListUpdateScope update(owner_);
    const int rowsBefore = owner_.GetCount();
    int from = owner_.GetCount();
    ++group_depth_;  // the records made again form one step
    open_ = {0, step.group, step.commandSelection, step.commandSelection};
    for (std::size_t k = 0; k < step.records; ++k) {
      TUndoData r = std::move(redo_.back());
      redo_.pop_back();
      TUndoData inverse = Replay(r);
      TUndoData& record = NewInverseData();
      inverse.caretRow = record.caretRow;
      inverse.caretCol = record.caretCol;
      inverse.state = r.state;
      record = std::move(inverse);
      if (step.records > 1) last_change_ = nullptr;
      from = std::min(from, r.firstRow);
      if (k == 0) first = std::move(r);
    }
    --group_depth_;
    undo_steps_.push_back(open_);
    if (static_cast<int>(undo_steps_.size()) > undo_list_max_) DropOldestStep();
    if (step.records > 1) SetStepRange(from, rowsBefore);
  }
  PutBack(step, first);
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
