// The editing commands of the main window and the line and column jump.
#include "app/main_form.h"
#include "qt/editor_widget.h"
#include "shell/edit_commands.h"

namespace yk {

// Binds the handlers of these commands by name: Bind("Name1", &TMainForm::Name1Click).
void TMainForm::ConnectEditCommands() {}

void TMainForm::GotoJumpLine() { yk::GotoJumpLine(ActiveEditor->Editor(), JumpLine); }

void TMainForm::ApplyJumpColumn() { yk::ApplyJumpColumn(ActiveEditor->Editor(), JumpColumn, JumpSelLength); }

void TMainForm::CenterCaretRow() { yk::CenterCaretRow(ActiveEditor->Editor()); }

}  // namespace yk
