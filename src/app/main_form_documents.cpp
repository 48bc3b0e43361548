// The document of the main window: New, Open, Save, Save As, the wrapped
// saves, save and exit, the question before unsaved edits are dropped, the
// titles and the modified mark, loading, and dropped files.
#include <QFile>
#include <QLabel>

#include <sys/stat.h>

#include "app/display_text.h"
#include "app/main_form.h"
#include "app/prompts.h"
#include "qt/editor_widget.h"
#include "qt/qt_graphics.h"
#include "text/errors.h"

namespace yk {

namespace {

constexpr const char* kLoadError = "Yomikakiで扱える範囲を超える文書です";

QString Utf8(const char* text) { return QString::fromUtf8(text); }

QString LoadProblemText(TLoadProblem problem) {
  switch (problem) {
    case TLoadProblem::NotFound: return Utf8("ファイルが見つかりません。");
    case TLoadProblem::NoPermission: return Utf8("ファイルを読む権限がありません。");
    case TLoadProblem::Folder: return Utf8("ファイルではなくフォルダーです。");
    case TLoadProblem::NotRegular: return Utf8("通常のファイルではありません。");
    case TLoadProblem::TooLarge: return Utf8("ファイルが大きすぎます。");
    case TLoadProblem::None:
    case TLoadProblem::Unreadable: break;
  }
  return Utf8("ファイルを読み込めませんでした。");
}

QString SaveProblemText(TSaveProblem problem) {
  switch (problem) {
    case TSaveProblem::FolderMissing: return Utf8("保存先のフォルダーがありません。");
    case TSaveProblem::Folder: return Utf8("同じ名前のフォルダーがあります。");
    case TSaveProblem::NoPermission: return Utf8("保存先のフォルダーに書き込む権限がありません。");
    case TSaveProblem::DiskFull: return Utf8("ディスクの空き容量が足りません。");
    case TSaveProblem::TooLarge: return Utf8("ファイルが大きすぎて書き込めません。");
    case TSaveProblem::Unknown: break;
  }
  return Utf8("書き込みに失敗しました。");
}

// Qt reads "[*]" in a title as the modified placeholder; doubled, it stays.
QString TitleText(QString title) { return title.replace(QStringLiteral("[*]"), QStringLiteral("[*][*]")); }

bool Exists(const std::string& path) {
  struct stat st{};
  return ::stat(path.c_str(), &st) == 0;
}

}  // namespace

void TMainForm::ConnectDocumentCommands() {
  Bind("New1", &TMainForm::New1Click);
  Bind("Open1", &TMainForm::Open1Click);
  Bind("Save1", [this] { Save1Click(); });
  Bind("SaveAs1", [this] { SaveAs1Click(); });
  Bind("SaveList1", [this] { SaveList1Click(); });
  Bind("SaveAsList1", [this] { SaveAsList1Click(); });
  Bind("SaveAndExit1", &TMainForm::SaveAndExit1Click);
}

// --- titles and the modified mark -----------------------------------------------

QString TMainForm::WindowTitleFor(bool modified) const {
  return DisplayPath(FileName) + (modified ? QStringLiteral(" * - Yomikaki") : QStringLiteral(" - Yomikaki"));
}

std::string TMainForm::TitleBytes() const {
  return FileName + (Memo1->Editor().Modified() ? " * - Yomikaki" : " - Yomikaki");
}

void TMainForm::SetFileName(const std::string& name) {
  FileName = name;
  const bool modified = Memo1->Editor().Modified();
  setWindowTitle(TitleText(WindowTitleFor(modified)));
  // The short form, for the task bar's button where the desktop shows it.
  application_title_ = DisplayPath(FileNamePart(name)) +
                       (modified ? QStringLiteral(" * - Yomikaki") : QStringLiteral(" - Yomikaki"));
  setWindowIconText(application_title_);
}

void TMainForm::SetModifiedMark(bool modified) {
  SetStatusText(2, modified ? Utf8("変更") : QString());
  SetFileName(FileName);
}

void TMainForm::Memo1Change() {
  SetModifiedMark(Memo1->Editor().Modified());
  if (EncodingPanel) EncodingPanel->setText(EncodingStatus());  // an edit may mix line ends, or end the mix
  DrawAllGutters();
}

// --- asking before edits are dropped --------------------------------------------------

bool TMainForm::ConfirmSave() {
  if (!Memo1->Editor().Modified()) return true;
  const QString text = Utf8("ファイル %1 の内容が変更されています。\r変更を保存しますか?")
                           .arg(DisplayPath(FileNamePart(FileName)));
  const unsigned buttons =
      AnswerBit(TDialogAnswer::Yes) | AnswerBit(TDialogAnswer::No) | AnswerBit(TDialogAnswer::Cancel);
  switch (Prompts().Question(this, Utf8(kConfirmCaption), text, buttons)) {
    // A save that was cancelled or failed leaves the edits unsaved: the
    // calling command must not drop them.
    case TDialogAnswer::Yes: return Save1Click();
    case TDialogAnswer::No: return true;
    default: return false;
  }
}

// --- loading ---------------------------------------------------------------------------

bool TMainForm::LoadDocument(const std::string& path) {
  TEditor& ed = Memo1->Editor();
  TLoadProblem problem = CheckLoadable(path);
  QString reason = LoadProblemText(problem);
  if (problem == TLoadProblem::None) {
    try {
      LoadEncodedDocument(path);  // encodings
    } catch (const std::bad_alloc&) {
      problem = TLoadProblem::TooLarge;
      reason = Utf8("メモリが足りません。");
    } catch (const std::exception&) {
      problem = TLoadProblem::Unreadable;
      reason = LoadProblemText(problem);
    }
  }
  if (problem != TLoadProblem::None) {
    Prompts().Error(this, Utf8(kErrorCaption), Utf8(kLoadError) + QLatin1Char('\r') + reason);
    ed.Lines().Clear();
    SetFileName(kUntitled);
    ed.SetModified(false);
    SetModifiedMark(false);
    ForgetEncoding();  // encodings
    return false;
  }
  SetFileName(path);
  // The text is loaded: a failure to record it in the lists keeps it.
  try {
    RegisterRecent(path);
  } catch (const std::exception& e) {
    Prompts().Error(this, Utf8(kErrorCaption), ToQString(e.what()));
  }
  ed.SetModified(false);
  SetModifiedMark(false);
  OpenDialogFolder = FolderPart(path);
  DrawGutter(Memo1);
  DrawGutter(Memo3);
  EncodingLoaded();  // encodings
  OfferRecovery(path);
  return true;
}

void TMainForm::New1Click() {
  if (!ConfirmSave()) return;
  TEditor& ed = Memo1->Editor();
  SetFileName(kUntitled);
  ed.Lines().Clear();
  ed.SetModified(false);
  SetModifiedMark(false);
  ForgetEncoding();  // encodings
}

void TMainForm::Open1Click() {
  if (!ConfirmSave()) return;
  const std::optional<QString> chosen = Prompts().OpenFileName(
      this, Utf8("開く"), Utf8(kDocumentFilter), 0, QFile::decodeName(QByteArray::fromStdString(OpenDialogFolder)));
  if (!chosen) return;
  const std::string path = NativePath(*chosen);
  if (path == FileName) return;
  // The dialog offers no read-only choice: the document is writable (unless
  // loading it protects its file).
  Memo1->Editor().SetReadOnly(false);
  LoadDocument(path);
}

// --- saving ------------------------------------------------------------------------------

bool TMainForm::WriteDocument(const std::string& path, bool wrapped) {
  TEditor& ed = Memo1->Editor();
  try {
    // The wrapped form always ends its rows with CR LF.
    return WriteEncodedDocument(path, wrapped);  // encodings
  } catch (const std::exception& e) {
    const auto* file_error = dynamic_cast<const EFileError*>(&e);
    const TSaveProblem problem = DiagnoseSaveFailure(path, static_cast<std::uint64_t>(ed.TextLength()),
                                                     file_error ? file_error->Error() : 0);
    Prompts().Error(this, Utf8(kErrorCaption),
                    Utf8("ファイル %1 を保存できませんでした。\r").arg(DisplayPath(path)) + SaveProblemText(problem));
    return false;
  }
}

std::optional<std::string> TMainForm::AskSaveName(const QString& initial) {
  const std::optional<QString> chosen =
      Prompts().SaveFileName(this, Utf8("名前を付けて保存"), Utf8(kDocumentFilter), 0, initial);
  if (!chosen) return std::nullopt;
  const std::string name = WithDefaultExtension(NativePath(*chosen), ".txt");
  if (Exists(name)) {
    const QString text = Utf8("%1\rこのファイルはすでに存在します。\r上書きしますか?").arg(DisplayPath(name));
    const unsigned buttons =
        AnswerBit(TDialogAnswer::Yes) | AnswerBit(TDialogAnswer::No) | AnswerBit(TDialogAnswer::Cancel);
    if (Prompts().Question(this, Utf8(kConfirmCaption), text, buttons) != TDialogAnswer::Yes) return std::nullopt;
  }
  return name;
}

void TMainForm::DocumentSaved() {
  Memo1->Editor().SetModified(false);
  SetModifiedMark(false);
  EncodingSaved();  // encodings
  if (SaveAndExitPending) close();
}

bool TMainForm::Save1Click() {
  if (FileName == kUntitled || Memo1->Editor().ReadOnly()) return SaveAs1Click();
  if (!WriteDocument(FileName, false)) return SaveAs1Click();
  // The document is on disk; a failure to record the caret does not undo that.
  try {
    StoreRecentPosition();
  } catch (const std::exception&) {
  }
  DocumentSaved();
  return true;
}

bool TMainForm::SaveAs1Click() {
  // The dialog starts at the document's name; an untitled one's name in
  // the folder of the last document.
  QString initial = DisplayPath(FileName);
  if (FileName != kUntitled) initial = QFile::decodeName(QByteArray::fromStdString(FileName));
  else if (!OpenDialogFolder.empty()) initial.prepend(QFile::decodeName(QByteArray::fromStdString(OpenDialogFolder)) + '/');
  const std::optional<std::string> name = AskSaveName(initial);
  if (!name || !WriteDocument(*name, false)) {
    SaveAndExitPending = false;
    return false;
  }
  SetFileName(*name);
  try {
    RegisterRecent(*name);
  } catch (const std::exception& e) {
    Prompts().Error(this, Utf8(kErrorCaption), ToQString(e.what()));
  }
  DocumentSaved();
  return true;
}

void TMainForm::SaveAndExit1Click() {
  SaveAndExitPending = true;
  Save1Click();
}

bool TMainForm::SaveList1Click() {
  TEditor& ed = Memo1->Editor();
  if (FileName == kUntitled || ed.ReadOnly()) return SaveAsList1Click();
  if (!WriteDocument(FileName, true)) return SaveAsList1Click();
  // The document takes the line ends it now has on disk. Should the file
  // have gone already, the text shown stays: it is what was saved.
  const TLoadProblem problem = CheckLoadable(FileName);
  if (problem == TLoadProblem::None) {
    try {
      LoadEncodedDocument(FileName, TextFormat.encoding);  // encodings
    } catch (const std::exception&) {
      // Read half: the file on disk is the document now; show it as failed.
      Prompts().Error(this, Utf8(kErrorCaption), Utf8(kLoadError) + QLatin1Char('\r') +
                                                     LoadProblemText(TLoadProblem::Unreadable));
      ed.Lines().Clear();
      SetFileName(kUntitled);
    }
  } else {
    Prompts().Error(this, Utf8(kErrorCaption), Utf8(kLoadError) + QLatin1Char('\r') + LoadProblemText(problem));
  }
  ed.SetModified(false);
  SetModifiedMark(false);
  return true;
}

bool TMainForm::SaveAsList1Click() {
  const QString folder = QFile::decodeName(QByteArray::fromStdString(OpenDialogFolder));
  const std::optional<std::string> name = AskSaveName(folder.isEmpty() ? folder : folder + QLatin1Char('/'));
  if (!name || !WriteDocument(*name, true)) {
    SaveAndExitPending = false;
    return false;
  }
  try {
    RegisterRecent(*name);
  } catch (const std::exception& e) {
    Prompts().Error(this, Utf8(kErrorCaption), ToQString(e.what()));
  }
  return true;
}

// --- dropped files -----------------------------------------------------------------------

void TMainForm::FilesDropped(const std::vector<std::string>& paths) {
  for (const std::string& path : paths) {
    const bool started = env_.launch_self ? env_.launch_self({path}) : LaunchSelf({path});
    if (!started) {
      Prompts().Error(this, Utf8(kErrorCaption),
                      Utf8("ファイル %1 を開く新しいウィンドウを起動できませんでした。").arg(DisplayPath(path)));
    }
  }
}

}  // namespace yk
