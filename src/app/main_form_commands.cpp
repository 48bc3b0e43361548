// The editing commands of the main window and the line and column jump.
#include <algorithm>

#include "app/main_form.h"
#include "qt/editor_widget.h"

namespace yk {

// Binds the handlers of these commands by name: Bind("Name1", &TMainForm::Name1Click).
void TMainForm::ConnectEditCommands() {}

// Caret to the start of line JumpLine (a line before the first counts as
// the first; one past the end stops at the end), its row brought into view.
void TMainForm::GotoJumpLine() {
  TEditor& ed = ActiveEditor->Editor();
  ed.SetSelStart(0);
  ed.SetSelLength(0);
  ed.SetRow(ed.Lines().LineToRow(std::max(JumpLine, 1) - 1));
  CenterCaretRow();
  ed.ScrollCaret();
}

// Moves on JumpColumn characters and selects JumpSelLength from there.
void TMainForm::ApplyJumpColumn() {
  if (JumpColumn == -1) return;
  TEditor& ed = ActiveEditor->Editor();
  ed.SetSelStart(ed.SelStart() + JumpColumn);
  ed.SetSelLength(JumpSelLength);
  JumpColumn = -1;
  ed.ScrollCaret();
}

// A caret row in the top or bottom fifth of the view moves to a third from
// the top; elsewhere the view stays.
void TMainForm::CenterCaretRow() {
  TEditor& ed = ActiveEditor->Editor();
  const int visible = ed.VisibleRows();
  const int d = ed.Row() - ed.TopRow();
  if (d > visible * 4 / 5 || d < visible / 5) ed.SetTopRow(std::max(0, ed.Row() - visible / 3));
}

}  // namespace yk
