// External tools and launch commands of the main window.
#include "app/main_form.h"

namespace yk {

// Binds the handlers of these commands by name: Bind("Name1", &TMainForm::Name1Click).
void TMainForm::ConnectToolCommands() {}

// Shows ToolFile1-3 for the tools that have a name and a path (nothing yet).
void TMainForm::UpdateToolMenu() {}

}  // namespace yk
