// The search and replace commands of the main window.
#include "app/main_form.h"

namespace yk {

// Binds the handlers of these commands by name: Bind("Name1", &TMainForm::Name1Click).
void TMainForm::ConnectSearchCommands() {}

}  // namespace yk
