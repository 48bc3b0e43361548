// The questions the main window asks the user: the dialogs' prompts plus what
// the window needs besides (warnings, running its own modal dialogs). The
// window asks only through this interface, so tests answer every question
// from a script; the Qt version shows real boxes and dialogs.
#pragma once

#include <QFont>

#include <optional>

#include "dialogs/dialog_prompts.h"

class QDialog;

namespace yk {

// Texts may hold "\r" as a line break, as the program's messages are written;
// the Qt version shows it as a new line.
class TPrompts : public TDialogPrompts {
 public:
  // A warning box with an OK button.
  virtual void Warning(QWidget* parent, const QString& caption, const QString& text) = 0;
  // Shows a dialog modally and returns its result (QDialog::Accepted or
  // Rejected), so that tests can fill and close the window's own dialogs.
  virtual int ExecDialog(QDialog& dialog) = 0;
  // The font dialog, opened on initial; nullopt when cancelled. Prompts
  // that offer no font dialog answer as if it was cancelled.
  virtual std::optional<QFont> ChooseFont(QWidget* parent, const QFont& initial) {
    (void)parent;
    (void)initial;
    return std::nullopt;
  }
};

// The prompts that show real message boxes, file dialogs and modal dialogs.
TPrompts& DefaultPrompts();

// The process is ending (SIGTERM, SIGHUP) and nobody may be there to
// answer: every modal box or dialog open now is closed unanswered, and
// DefaultPrompts shows none from now on (a question is answered Cancel).
void EndPrompts();
bool PromptsEnded();

// The captions of the program's message boxes.
inline constexpr const char* kConfirmCaption = "確認";
inline constexpr const char* kErrorCaption = "エラー";
inline constexpr const char* kWarningCaption = "警告";
inline constexpr const char* kInformationCaption = "情報";

}  // namespace yk
