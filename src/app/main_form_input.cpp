// Input support: the style dictionary, hints over reserved words and the word list.
#include "app/main_form.h"

namespace yk {

// Binds the handlers of these commands by name: Bind("Name1", &TMainForm::Name1Click).
void TMainForm::ConnectInputCommands() {}

// No dictionary is read yet.
void TMainForm::LoadDictionary(const std::string& path) { (void)path; }

// The input method is not driven yet.
void TMainForm::SetImeOpen(bool open) { (void)open; }

}  // namespace yk
