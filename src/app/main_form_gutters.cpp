// The line-number gutters and the decorations drawn on the editors.
#include "app/main_form.h"

namespace yk {

// Binds the handlers of these commands by name: Bind("Name1", &TMainForm::Name1Click).
void TMainForm::ConnectGutterCommands() {}

// Nothing is drawn yet: the gutters stay zero wide.
void TMainForm::SetGutterWidth() {}

void TMainForm::DrawGutter(TEditorWidget* editor) { (void)editor; }

void TMainForm::DrawAllGutters() {}

}  // namespace yk
