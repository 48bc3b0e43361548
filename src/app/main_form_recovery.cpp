// Recovery snapshots of the main window's document: written in the
// background after a pause in typing and at least every 30 seconds while it
// goes on, gone when the document is saved or its edits dropped, and
// offered when the document is opened again after the window ended without
// asking (a crash, a kill, a power cut, the end of the session).
#include <QLabel>
#include <QMetaObject>
#include <QTimer>

#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <utility>

#include "app/display_text.h"
#include "app/main_form.h"
#include "app/prompts.h"
#include "qt/editor_widget.h"
#include "qt/qt_graphics.h"
#include "platform/mapped_chars.h"
#include "shell/command_line.h"
#include "shell/encoded_file.h"
#include "shell/recovery.h"
#include "shell/recovery_record.h"

namespace yk {

namespace {

// The texts of this concern, in one place.
constexpr const char* kRestoreQuestion = "前回の終了時に保存されなかった %1 の変更があります。\r復元しますか?";
constexpr const char* kRestoreFailed = "保存されなかった変更を復元できませんでした。";
constexpr const char* kBaseChanged = "元のファイルが前回の終了後に変更されたため、変更を当てはめられません。";

// A snapshot follows this long after the last key, and never later than
// kLongestMs after the first edit it does not hold yet.
constexpr int kPauseMs = 1500;
constexpr std::int64_t kLongestMs = 25'000;
constexpr int kRetryMs = 200;  // a write is still under way

QString Utf8(const char* text) { return QString::fromUtf8(text); }

std::int64_t NowMs() {
  const auto now = std::chrono::system_clock::now().time_since_epoch();
  return std::chrono::duration_cast<std::chrono::milliseconds>(now).count();
}

// A token no other window has: windows of one process (tests make many)
// start at least a millisecond apart in it.
std::string NewWindowToken() {
  static std::int64_t last = 0;
  last = std::max(NowMs(), last + 1);
  return RecoveryWindowToken(static_cast<std::uint64_t>(last), ::getpid());
}

}  // namespace

void TMainForm::ConnectRecovery() {
  if (Recovery) return;
  // The end of a background write is handled on this window's thread.
  auto post = [this](std::function<void()> done) {
    QMetaObject::invokeMethod(this, std::move(done), Qt::QueuedConnection);
  };
  Recovery = std::make_unique<TRecoveryKeeper>(Memo1->Editor().ScreenStrings(), SettingsPath, NewWindowToken(), post);
  RecoveryTimer = new QTimer(this);
  RecoveryTimer->setSingleShot(true);
  connect(RecoveryTimer, &QTimer::timeout, this, &TMainForm::RecoveryTick);
}

// --- writing -----------------------------------------------------------------------

// The text's mapped codes mean what the table says: it goes with them.
TRecoveryDocument TMainForm::RecoveryDocument() const {
  const TMappedChars& chars = *DocumentChars();
  return {FileName == kUntitled ? std::string() : FileName, TextFormat, chars.Plain() ? std::string() : chars.Save()};
}

void TMainForm::ScheduleRecovery() {
  if (!Recovery || !RecoveryTimer) return;
  const bool modified = Memo1->Editor().Modified();
  if (!modified && Recovery->SnapshotPath().empty()) return;
  const std::int64_t now = NowMs();
  if (recovery_first_edit_ms_ == 0) recovery_first_edit_ms_ = now;
  // Typing without a pause still gets a snapshot once the oldest edit
  // waited long enough.
  const std::int64_t left = recovery_first_edit_ms_ + kLongestMs - now;
  RecoveryTimer->start(static_cast<int>(std::clamp<std::int64_t>(left, 0, kPauseMs)));
}

void TMainForm::RecoveryTick() {
  if (!Recovery) return;
  if (!Memo1->Editor().Modified()) {
    // Undone to the text on disk, or saved by a way that keeps no base.
    recovery_first_edit_ms_ = 0;
    if (!Recovery->SnapshotPath().empty()) Recovery->Drop();
    return;
  }
  if (Recovery->Busy()) {
    RecoveryTimer->start(kRetryMs);
    return;
  }
  recovery_first_edit_ms_ = 0;
  Recovery->Write(RecoveryDocument(), false);
}

bool TMainForm::KeepRecoverySnapshot() {
  return Recovery && Recovery->Write(RecoveryDocument(), true);
}

void TMainForm::DropRecoverySnapshot() {
  if (RecoveryTimer) RecoveryTimer->stop();
  recovery_first_edit_ms_ = 0;
  if (Recovery) Recovery->Drop();
}

// Only a text that reads back from the file exactly as it is now can be
// the base: CP932 is written byte for byte; another encoding may have
// turned characters it cannot hold into "?".
void TMainForm::RecoverySaved() {
  if (!Recovery) return;
  if (RecoveryTimer) RecoveryTimer->stop();
  recovery_first_edit_ms_ = 0;
  if (TextFormat.encoding == teCp932) Recovery->DocumentIsFile(FileName);
  else Recovery->Forget();
}

// --- offering ------------------------------------------------------------------------

void TMainForm::OfferRecovery(const std::string& path) {
  if (Recovery) Recovery->DocumentIsFile(path);
  // Start-up marks the loaded document unmodified after loading it: the
  // restored edits must come after that.
  if (StartingUp) {
    StartRecoveryDocument = path;
    return;
  }
  const std::string folder = VersionFolder(SettingsPath);
  for (const std::string& file : RecoveryFilesOf(folder, path))
    if (OfferSnapshot(file, path)) return;
}

void TMainForm::OfferRecoveryAtStart() {
  StartingUp = false;
  if (Recovery && FileName == kUntitled && !Memo1->Editor().Modified()) Recovery->DocumentIsEmpty();
  if (!StartRecoveryDocument.empty()) {
    const std::string path = std::exchange(StartRecoveryDocument, std::string());
    for (const std::string& file : RecoveryFilesOf(VersionFolder(SettingsPath), path))
      if (OfferSnapshot(file, path)) return;
    return;
  }
  if (ParseCommandLine(Env().arguments).action == TCommandLine::TAction::Open) return;
  for (const std::string& file : UntitledRecoveryFiles(VersionFolder(SettingsPath)))
    if (OfferSnapshot(file, std::string())) return;
}

// The snapshot in file, if it is of document (empty: untitled) and its
// window is gone: asked about, restored or removed. True when the user took
// it (the offer ends there); after a no the next snapshot is offered.
bool TMainForm::OfferSnapshot(const std::string& file, const std::string& document) {
  std::optional<TClaimedSnapshot> claim = TClaimedSnapshot::Claim(file);
  if (!claim) return false;  // its window still runs
  std::string bytes;
  std::optional<TRecoveryRecord> record;
  try {
    bytes = claim->Read();
    if (LooksLikeRecoveryRecord(bytes)) record = DecodeRecoveryRecord(bytes);
  } catch (const std::exception&) {
    return false;  // damaged, or of a later version: left alone
  }
  // A snapshot of an older version is the text itself, named after its
  // document alone.
  if (record ? record->documentPath != document
             : !document.empty() && file != RecoveryFileName(VersionFolder(SettingsPath), document))
    return false;
  const std::string copy = record && record->baseKind == TRecoveryBase::Copy
                               ? VersionFolder(SettingsPath) + '/' + NameOf(record->basePath)
                               : std::string();
  const QString text = Utf8(kRestoreQuestion).arg(DisplayPath(FileNamePart(FileName)));
  const unsigned buttons = AnswerBit(TDialogAnswer::Yes) | AnswerBit(TDialogAnswer::No);
  const TDialogAnswer answer = Prompts().Question(this, Utf8(kConfirmCaption), text, buttons);
  // Unanswered (the process was told to end meanwhile): kept for next time.
  if (answer != TDialogAnswer::Yes && answer != TDialogAnswer::No) return true;
  if (answer == TDialogAnswer::No) {
    claim->Remove();
    if (!copy.empty()) ::unlink(copy.c_str());
    return false;
  }
  const QString why = record ? RestoreRecord(*record) : RestoreText(claim->Path());
  if (!why.isNull()) {
    // The snapshot stays for another try; the document is as on disk.
    Prompts().Error(this, Utf8(kErrorCaption), Utf8(kRestoreFailed) + QLatin1Char('\r') + why);
    return true;
  }
  claim->Remove();
  if (!copy.empty()) ::unlink(copy.c_str());  // unless it was taken over
  return true;
}

// --- restoring -----------------------------------------------------------------------

QString TMainForm::RestoreRecord(const TRecoveryRecord& record) {
  TEditor& ed = Memo1->Editor();
  TEditorScreenStrings& rows = ed.ScreenStrings();
  QString why;
  try {
    why = PrepareRecoveryBase(record);
    if (why.isNull()) {
      ed.Lines().BeginUpdate();
      try {
        ApplyRecoveryRuns(rows, record.runs);
      } catch (...) {
        ed.Lines().EndUpdate();
        throw;
      }
      ed.Lines().EndUpdate();
      if (TextLength(rows) != record.length) why = Utf8("復元した文書の長さが記録と合いません。");
    }
  } catch (const std::exception& e) {
    why = FailureReason(e);
  }
  if (!why.isNull()) {
    ReloadAfterFailedRestore();
    return why;
  }
  rows.SetEofMark(record.eofMark);
  rows.UndoObj().Clear();  // like a load: the restored text is where undo starts
  TextFormat = record.format;
  // A snapshot without a table against its file keeps the table the file
  // gave; any other starts a new one.
  if (!record.mappedChars.empty() || record.baseKind != TRecoveryBase::Document)
    SetDocumentChars(RestoredChars(record.mappedChars));
  // The line ends as the window had them; an older record knows one kind.
  rows.AssignLineEnds(record.lineEnd, record.otherEnds.value_or(TOtherLineEnds{}));
  if (EncodingPanel) EncodingPanel->setText(EncodingStatus());
  // The restored text is not on disk yet: the document is modified.
  ed.SetModified(true);
  SetModifiedMark(true);
  DrawAllGutters();
  ScheduleRecovery();
  return {};
}

// The base the record's runs were counted against, in Memo1, and the
// keeper counting against it again; a reason when it cannot be had.
QString TMainForm::PrepareRecoveryBase(const TRecoveryRecord& record) {
  TEditor& ed = Memo1->Editor();
  switch (record.baseKind) {
    case TRecoveryBase::Empty:
      ed.Lines().Clear();
      Recovery->DocumentIsEmpty();
      return {};
    case TRecoveryBase::Document: {
      if (record.basePath != FileName) return Utf8(kBaseChanged);
      if (TextFormat.encoding != record.format.encoding) {
        LoadEncodedDocument(FileName, record.format.encoding);
        Recovery->DocumentIsFile(FileName);
      }
      // What was loaded must be the bytes the runs were counted against.
      const TTrackedBase loaded{TRecoveryBase::Document, FileName, record.baseIdentity};
      if (!Recovery->Tracker().Valid() || !(Recovery->Tracker().Base() == loaded)) return Utf8(kBaseChanged);
      return {};
    }
    case TRecoveryBase::Copy: {
      const std::string copy = VersionFolder(SettingsPath) + '/' + NameOf(record.basePath);
      const std::optional<TFileIdentity> id = IdentifyFile(copy);
      if (!id || !(*id == record.baseIdentity)) return Utf8(kRestoreFailed);
      TEditorScreenStrings& rows = ed.ScreenStrings();
      ed.Lines().LoadFromFile(copy);
      // A Ctrl+Z that ends the copy is text here, not a mark.
      if (rows.EofMark()) {
        rows.SetEofMark(false);
        rows.ReplaceRows(rows.GetCount(), 0, "\x1a");
      }
      Recovery->AdoptCopy(copy, *id);
      return {};
    }
  }
  return Utf8(kRestoreFailed);
}

// A snapshot of an older version: the document's text in its file's line
// ends.
QString TMainForm::RestoreText(const std::string& snapshot) {
  TEditor& ed = Memo1->Editor();
  if (CheckLoadable(snapshot) != TLoadProblem::None) return Utf8(kRestoreFailed);
  try {
    ed.Lines().LoadFromFile(snapshot);  // each line with the line end it has there
  } catch (const std::exception& e) {
    ReloadAfterFailedRestore();
    return FailureReason(e);
  }
  SetDocumentChars(RestoredChars({}));
  ed.SetModified(true);
  SetModifiedMark(true);
  DrawAllGutters();
  ScheduleRecovery();
  return {};
}

// The table a restored text's mapped codes mean (empty: a new one, in the
// document's way with merged forms). It learns the text's own codes of the
// user-defined area from the rows before it gives a code.
std::shared_ptr<TMappedChars> TMainForm::RestoredChars(const std::string& table) {
  const TTextEncoding e = TextFormat.encoding;
  std::shared_ptr<TMappedChars> chars =
      table.empty() ? std::make_shared<TMappedChars>(e == teUtf8 || e == teUtf16Le || e == teUtf16Be)
                    : TMappedChars::Load(table);
  LearnUsedCodes(*chars, Memo1->Editor().ScreenStrings());
  return chars;
}

// Half restored: back to the document as it is on disk.
void TMainForm::ReloadAfterFailedRestore() {
  TEditor& ed = Memo1->Editor();
  try {
    if (FileName == kUntitled) {
      ed.Lines().Clear();
      Recovery->DocumentIsEmpty();
    } else {
      LoadEncodedDocument(FileName, TextFormat.encoding);
      Recovery->DocumentIsFile(FileName);
    }
  } catch (const std::exception&) {
    ed.Lines().Clear();
    SetFileName(kUntitled);
  }
  ed.SetModified(false);
  SetModifiedMark(false);
}

}  // namespace yk
