// The version history of the main window: snapshots of the document in the
// list panel, and their deletion at exit.
#include <QDialog>
#include <QScopedValueRollback>
#include <QTabWidget>

#include <unistd.h>

#include "app/display_text.h"
#include "app/hist_head_dlg.h"
#include "app/main_form.h"
#include "app/prompts.h"
#include "controls/fi_list_box.h"
#include "qt/qt_graphics.h"

namespace yk {

namespace {

constexpr int kVersionPage = 0;  // "版管理"

QString Utf8(const char* text) { return QString::fromUtf8(text); }

// Text of the program (CP932) as a file-name part in the file system's
// encoding, so that names read right in every other program.
std::string NativeName(std::string_view cp932) { return NativePath(ToQString(cp932)); }

}  // namespace

void TMainForm::ConnectVersionCommands() {
  Bind("AddHistory1", &TMainForm::AddHistory1Click);
  Bind("InactDelHist1", &TMainForm::InactDelHist1Click);
  Bind("ActDelHist1", &TMainForm::ActDelHist1Click);
}

// The header is checked as the text the user typed (CP932), before it
// becomes part of a file name: a header that is empty, "." or "..", or that
// holds a separator or a control character would overwrite a document's
// namesake or write outside the snapshot folder. Such a header writes
// nothing.
void TMainForm::AddHistory1Click() {
  std::string header;  // in the file system's encoding
  if (Settings.userHeader) {
    if (Prompts().ExecDialog(HistHeadDlg()) != QDialog::Accepted) return;
    const QString typed = HistHeadDlg().Header();
    if (const std::optional<std::string> error = VersionHeaderError(FromQString(typed).bytes)) {
      Prompts().Error(this, Utf8(kErrorCaption), ToQString(*error));
      return;
    }
    header = NativePath(typed);
  } else {
    header = NativeName(VersionHeaderTimeStamp(VersionClock ? VersionClock() : LocalNow()));
  }
  const std::string document = FileName == kUntitled ? NativeName(kUntitled) : FileName;
  std::string path;
  try {
    path = PrepareSnapshotPath(SettingsPath, header, document);
  } catch (const std::exception& e) {
    Prompts().Error(this, Utf8(kErrorCaption),
                    Utf8("版管理ファイルを保存するフォルダーを作れませんでした。\r") + FailureReason(e));
    return;
  }
  // This window's own snapshot of that name (taken the same second) is
  // replaced; any other file of that name is another window's, or kept
  // from before, and stays: the snapshot takes a numbered name beside it.
  const bool own = VersionList.Wrote(path);
  if (!own) {
    try {
      path = CreateSnapshotFile(path);
    } catch (const std::exception& e) {
      Prompts().Error(this, Utf8(kErrorCaption), Utf8("版管理ファイルを作れませんでした。\r") + FailureReason(e));
      return;
    }
  }
  // A document whose encoding cannot hold its mapped characters is
  // written in UTF-8, so that the snapshot keeps them.
  const QScopedValueRollback<bool> version(WritingVersion, true);
  if (!WriteDocument(path, false)) {
    if (!own) ::unlink(path.c_str());
    return;
  }
  AddVersionFile(path);
  PageControl1->setCurrentIndex(kVersionPage);
}

// A full list keeps the snapshot on disk unlisted, after the warning.
void TMainForm::AddVersionFile(const std::string& path) {
  if (VersionList.Add(path, VersionFileIdOf(path)) == TVersionList::varFull) {
    Prompts().Warning(this, Utf8(kWarningCaption), ToQString(kVersionListFullMessage));
    return;
  }
  FIListBox1->SetItems(VersionList.Items());
}

// The exit commands do what their captions say.
void TMainForm::InactDelHist1Click() {
  HistoryDeleteMode = kModeOfDeleteAndExit;
  close();
}

void TMainForm::ActDelHist1Click() {
  HistoryDeleteMode = kModeOfKeepAndExit;
  close();
}

void TMainForm::DeleteVersionFiles() {
  VersionList.DeleteFiles();
  FIListBox1->ClearItems();
}

}  // namespace yk
