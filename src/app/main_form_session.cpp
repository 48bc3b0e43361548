// The end of the desktop session and of the process: a modified document is
// asked about when the session manager lets us ask, and otherwise kept in its
// recovery snapshot, which is offered when the document is opened again.
#include <QGuiApplication>
#include <QSessionManager>

#include <utility>

#include "app/main_form.h"
#include "qt/editor_widget.h"

namespace yk {

void TMainForm::ConnectSessionCommands() {
  connect(qApp, &QGuiApplication::commitDataRequest, this, [this](QSessionManager& manager) {
    // Asking for interaction makes the session manager wait its turn for
    // us: only worth it when there is something to ask.
    if (!Memo1->Editor().Modified()) return;
    const bool interactive = manager.allowsInteraction();
    if (!SessionEnding(interactive)) {
      manager.cancel();
      return;
    }
    if (interactive) manager.release();
  });
  // An edit after the session's question (a logout that was cancelled, a
  // snapshot already written) makes the edits unanswered again: the next
  // close must ask for them.
  for (TEditorWidget* memo : {Memo1, Memo3}) {
    auto previous = std::move(memo->Editor().OnChange);
    memo->Editor().OnChange = [this, previous = std::move(previous)](TEditor& editor) {
      CloseUnasked = false;
      ScheduleRecovery();
      if (previous) previous(editor);
    };
  }
}

bool TMainForm::SessionEnding(bool interaction_allowed) {
  if (!Memo1->Editor().Modified()) return true;
  if (!interaction_allowed) {
    CloseUnasked = KeepRecoverySnapshot();
    return true;
  }
  if (!ConfirmSave()) return false;
  // Saved, or the user chose to drop the edits: the close that follows
  // must not ask a second time.
  CloseUnasked = true;
  DropRecoverySnapshot();
  return true;
}

void TMainForm::CloseForTermination() {
  // Without a snapshot the edits would be lost: then the close asks, since
  // whoever sent the signal may still be at the screen.
  if (Memo1->Editor().Modified() && KeepRecoverySnapshot()) CloseUnasked = true;
  close();
}

bool TMainForm::CloseNeedsNoQuestion() const { return CloseUnasked && Memo1->Editor().Modified(); }

}  // namespace yk
