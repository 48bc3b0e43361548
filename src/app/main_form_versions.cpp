// The version history of the main window: snapshots of the document in the list panel.
#include "app/main_form.h"

namespace yk {

// Binds the handlers of these commands by name: Bind("Name1", &TMainForm::Name1Click).
void TMainForm::ConnectVersionCommands() {}

// Deletes the listed version files (at exit, by HistoryDeleteMode; nothing
// yet).
void TMainForm::DeleteVersionFiles() {}

}  // namespace yk
