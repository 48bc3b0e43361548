// The recent-file and favourite lists of the main window.
#include "app/main_form.h"

namespace yk {

// Binds the handlers of these commands by name: Bind("Name1", &TMainForm::Name1Click).
void TMainForm::ConnectRecentCommands() {}

// Moves path to the top of the recent list with its caret and style
// (nothing yet).
void TMainForm::RegisterRecent(const std::string& path) { (void)path; }

// Records the caret and style of the document in the recent list (nothing
// yet).
void TMainForm::StoreRecentPosition() {}

}  // namespace yk
