// The end of the desktop session and of the process: a modified document is
// asked about when the session manager lets us ask, and otherwise kept in a
// recovery snapshot that is offered when the document is opened again.
#include <QGuiApplication>
#include <QSessionManager>

#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <utility>

#include "app/display_text.h"
#include "app/main_form.h"
#include "app/prompts.h"
#include "qt/editor_widget.h"
#include "shell/command_line.h"
#include "shell/recovery.h"

namespace yk {

namespace {

// The texts of this concern, in one place.
constexpr const char* kRestoreQuestion = "前回の終了時に保存されなかった %1 の変更があります。\r復元しますか?";
constexpr const char* kRestoreFailed = "保存されなかった変更を復元できませんでした。";

QString Utf8(const char* text) { return QString::fromUtf8(text); }

std::uint64_t NowMs() {
  const auto now = std::chrono::system_clock::now().time_since_epoch();
  return static_cast<std::uint64_t>(std::chrono::duration_cast<std::chrono::milliseconds>(now).count());
}

void RemoveFile(const std::string& path) {
  std::error_code ec;
  std::filesystem::remove(path, ec);
}

}  // namespace

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

bool TMainForm::KeepRecoverySnapshot() {
  try {
    const std::string folder = PrepareRecoveryFolder(SettingsPath);
    // An untitled window keeps one name, so that a second snapshot
    // replaces its first rather than adding another.
    if (FileName == kUntitled) {
      if (FileNamePart(RecoveryPath).rfind(kUntitledRecoveryPrefix, 0) != 0)
        RecoveryPath = UntitledRecoveryFileName(folder, NowMs(), ::getpid());
    } else {
      RecoveryPath = RecoveryFileName(folder, FileName);
    }
    SaveDocumentRows(Memo1->Editor().ScreenStrings(), RecoveryPath, TLineEnd::CrLf, false);
    return true;
  } catch (const std::exception&) {
    return false;
  }
}

void TMainForm::DropRecoverySnapshot() {
  if (RecoveryPath.empty()) return;
  RemoveFile(RecoveryPath);
  RecoveryPath.clear();
}

bool TMainForm::CloseNeedsNoQuestion() const { return CloseUnasked && Memo1->Editor().Modified(); }

void TMainForm::OfferRecovery(const std::string& path) {
  std::error_code ec;
  const std::string snapshot = RecoveryFileName(VersionFolder(SettingsPath), path);
  if (!std::filesystem::is_regular_file(snapshot, ec)) return;
  // Start-up marks the loaded document unmodified after loading it: the
  // restored edits must come after that.
  if (StartingUp) StartRecoverySnapshot = snapshot;
  else AskToRestore(snapshot);
}

void TMainForm::OfferRecoveryAtStart() {
  StartingUp = false;
  if (!StartRecoverySnapshot.empty()) {
    AskToRestore(std::exchange(StartRecoverySnapshot, std::string()));
    return;
  }
  if (ParseCommandLine(Env().arguments).action == TCommandLine::TAction::Open) return;
  // One at a time: each further start of an empty window offers the next.
  const std::vector<std::string> snapshots = UntitledRecoveryFiles(VersionFolder(SettingsPath));
  if (!snapshots.empty()) AskToRestore(snapshots.front());
}

void TMainForm::AskToRestore(const std::string& snapshot) {
  const QString text = Utf8(kRestoreQuestion).arg(DisplayPath(FileNamePart(FileName)));
  const unsigned buttons = AnswerBit(TDialogAnswer::Yes) | AnswerBit(TDialogAnswer::No);
  if (Prompts().Question(this, Utf8(kConfirmCaption), text, buttons) != TDialogAnswer::Yes) {
    RemoveFile(snapshot);
    return;
  }
  if (!RestoreSnapshot(snapshot)) {
    // The snapshot stays for another try; the document is as on disk.
    Prompts().Error(this, Utf8(kErrorCaption), Utf8(kRestoreFailed));
    return;
  }
  RemoveFile(snapshot);
}

bool TMainForm::RestoreSnapshot(const std::string& snapshot) {
  TEditor& ed = Memo1->Editor();
  if (CheckLoadable(snapshot) != TLoadProblem::None) return false;
  try {
    ed.Lines().LoadFromFile(snapshot);
  } catch (const std::exception&) {
    // Half read: back to the document as it is on disk.
    try {
      if (FileName == kUntitled) ed.Lines().Clear();
      else LoadEncodedDocument(FileName, TextFormat.encoding);
    } catch (const std::exception&) {
      ed.Lines().Clear();
      SetFileName(kUntitled);
    }
    ed.SetModified(false);
    SetModifiedMark(false);
    return false;
  }
  // The restored text is not on disk yet: the document is modified.
  ed.SetModified(true);
  SetModifiedMark(true);
  DrawAllGutters();
  return true;
}

}  // namespace yk
