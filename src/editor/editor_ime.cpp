// TEditor input method: committed results as one edit, the candidate
// window hiding the caret, and where the composition window goes.
#include "editor/editor.h"

namespace yk {

void TEditor::ImeComposition(const std::string& cp932Result) {
  if (cp932Result.empty() || RefusedReadOnly()) return;
  InsertText(cp932Result);
}

void TEditor::ImeCandidateWindow(bool open) {
  if (open == ime_candidate_open_) return;  // keeps the hide counter balanced
  ime_candidate_open_ = open;
  if (open)
    CaretBeginUpdate();
  else
    CaretEndUpdate();
}

TPoint TEditor::ImeCompositionPos() const {
  return {margin_->Left() + (col_ - top_col_) * col_width_, margin_->Top() + (row_ - top_row_) * RowHeight()};
}

// While a key repeats, the window would be moved on every step; it waits
// for the key's release instead.
void TEditor::MoveCompositionWindow() {
  if (!host_) return;
  if (key_repeat_) {
    ime_move_pending_ = true;
    return;
  }
  host_->SetCompositionPos(ImeCompositionPos());
}

}  // namespace yk
