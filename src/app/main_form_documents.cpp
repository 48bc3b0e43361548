// The document of the main window: New, Open, Save, Save As, the wrapped
// saves, save and exit, the question before unsaved edits are dropped, the
// titles and the modified mark, loading, and dropped files.
#include <QFile>
#include <QLabel>
#include <QStatusBar>

#include <sys/stat.h>

#include "app/display_text.h"
#include "app/main_form.h"
#include "app/prompts.h"
#include "qt/editor_widget.h"
#include "qt/qt_graphics.h"
#include "shell/system_error.h"
#include "text/errors.h"
#include "text/safe_file.h"

namespace yk {

namespace {

constexpr const char* kLoadError = "Yomikakiで扱える範囲を超える文書です";

QString Utf8(const char* text) { return QString::fromUtf8(text); }

// Why a file could not be loaded; error is the system's number behind an
// Unreadable (0: not known).
QString LoadProblemText(TLoadProblem problem, int error = 0) {
  switch (problem) {
    case TLoadProblem::NotFound: return Utf8("ファイルが見つかりません。");
    case TLoadProblem::NoPermission: return Utf8("ファイルを読む権限がありません。");
    case TLoadProblem::Folder: return Utf8("ファイルではなくフォルダーです。");
    case TLoadProblem::NotRegular: return Utf8("通常のファイルではありません。");
    case TLoadProblem::TooLarge: return Utf8("ファイルが大きすぎます。");
    case TLoadProblem::None:
    case TLoadProblem::Unreadable: break;
  }
  if (error != 0) return ToQString(SystemErrorText(error));
  return Utf8("ファイルを読み込めませんでした。");
}

// Only a document too large for the editor is "beyond what Yomikaki
// handles"; any other failure names the file and its reason.
QString LoadFailureText(const std::string& path, TLoadProblem problem, const QString& reason) {
  if (problem == TLoadProblem::TooLarge) return Utf8(kLoadError) + QLatin1Char('\r') + reason;
  return Utf8("ファイル %1 を開けませんでした。\r").arg(DisplayPath(path)) + reason;
}

QString SaveProblemText(TSaveProblem problem, int error) {
  switch (problem) {
    case TSaveProblem::FolderMissing: return Utf8("保存先のフォルダーがありません。");
    case TSaveProblem::Folder: return Utf8("同じ名前のフォルダーがあります。");
    case TSaveProblem::NoPermission: return Utf8("保存先のフォルダーに書き込む権限がありません。");
    case TSaveProblem::FileReadOnly: return Utf8("ファイルは書き込みが禁止されています。");
    case TSaveProblem::DiskFull: return Utf8("ディスクの空き容量が足りません。");
    case TSaveProblem::TooLarge: return Utf8("ファイルが大きすぎて書き込めません。");
    case TSaveProblem::Unknown: break;
  }
  if (error != 0) return ToQString(SystemErrorText(error));
  return Utf8("書き込みに失敗しました。");
}

// The document is fine; the list of recent files in the settings file is not.
QString RecentListFailureText(const std::exception& e) {
  return Utf8("設定ファイルの履歴を更新できませんでした。\r") + FailureReason(e);
}

// Qt reads "[*]" in a title as the modified placeholder; doubled, it stays.
QString TitleText(QString title) { return title.replace(QStringLiteral("[*]"), QStringLiteral("[*][*]")); }

// A name that is taken: a file, a folder, or a link (also one whose target
// does not exist yet).
bool Exists(const std::string& path) {
  struct stat st{};
  return ::lstat(path.c_str(), &st) == 0;
}

bool SameFileOnDisk(const std::string& a, const std::string& b) {
  const TFileStamp sa = StampOfFile(a), sb = StampOfFile(b);
  return sa.exists && sb.exists && sa.dev == sb.dev && sa.ino == sb.ino;
}

constexpr unsigned kYesNo = AnswerBit(TDialogAnswer::Yes) | AnswerBit(TDialogAnswer::No);
constexpr unsigned kYesNoCancel = kYesNo | AnswerBit(TDialogAnswer::Cancel);

}  // namespace

void TMainForm::ConnectDocumentCommands() {
  Bind("New1", &TMainForm::New1Click);
  Bind("Open1", &TMainForm::Open1Click);
  Bind("Save1", [this] { Save1Click(); });
  Bind("SaveAs1", [this] { SaveAs1Click(); });
  Bind("SaveList1", [this] { SaveList1Click(); });
  Bind("SaveAsList1", [this] { SaveAsList1Click(); });
  Bind("SaveAndExit1", &TMainForm::SaveAndExit1Click);
  ReadOnlyPanel = new QLabel(StatusBar);
  ReadOnlyPanel->setObjectName(QStringLiteral("ReadOnlyPanel"));
  ReadOnlyPanel->setAlignment(Qt::AlignCenter);
  StatusBar->addPermanentWidget(ReadOnlyPanel);
  for (TEditorWidget* memo : {Memo1, Memo3})
    memo->Editor().OnEditRefused = [this](TEditor&) { EditRefused(); };
}

// --- titles and the modified mark -----------------------------------------------

// The read-only sign goes between the name and the modified mark; the
// title other windows compare (TitleBytes) is without it.
QString TMainForm::WindowTitleFor(bool modified) const {
  const QString sign = Memo1->Editor().ReadOnly() ? Utf8(" [読み取り専用]") : QString();
  return DisplayPath(FileName) + sign + (modified ? QStringLiteral(" * - Yomikaki") : QStringLiteral(" - Yomikaki"));
}

std::string TMainForm::TitleBytes() const {
  return FileName + (Memo1->Editor().Modified() ? " * - Yomikaki" : " - Yomikaki");
}

void TMainForm::SetFileName(const std::string& name) {
  FileName = name;
  const bool modified = Memo1->Editor().Modified();
  setWindowTitle(TitleText(WindowTitleFor(modified)));
  // The short form, for the task bar's button where the desktop shows it.
  const QString sign = Memo1->Editor().ReadOnly() ? Utf8(" [読み取り専用]") : QString();
  application_title_ = DisplayPath(FileNamePart(name)) + sign +
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

// An unmodified document whose file another program deleted exists only
// in the window: it is asked about as a modified one.
bool TMainForm::ConfirmSave() {
  const QString name = DisplayPath(FileNamePart(FileName));
  QString text = Utf8("ファイル %1 の内容が変更されています。\r変更を保存しますか?").arg(name);
  if (!Memo1->Editor().Modified()) {
    if (FileName == kUntitled || !DocumentStamp.exists || StampOfFile(FileName).exists) return true;
    text = Utf8("ファイル %1 は他のプログラムによって削除されました。\r保存しますか?").arg(name);
  }
  switch (Prompts().Question(this, Utf8(kConfirmCaption), text, kYesNoCancel)) {
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
  // Taken before reading: a write during the load shows as a change.
  const TFileStamp stamp = StampOfFile(path);
  SetFileReadOnly(false);
  int error = 0;
  TLoadProblem problem = CheckLoadable(path, kMaxDocumentBytes, &error);
  QString reason = LoadProblemText(problem, error);
  if (problem == TLoadProblem::None) {
    try {
      LoadEncodedDocument(path);  // encodings
    } catch (const std::bad_alloc&) {
      problem = TLoadProblem::TooLarge;
      reason = Utf8("メモリが足りません。");
    } catch (const EFileError& e) {
      problem = TLoadProblem::Unreadable;
      reason = LoadProblemText(problem, e.Error());
    } catch (const std::exception&) {
      problem = TLoadProblem::Unreadable;
      reason = LoadProblemText(problem);
    }
  }
  if (problem != TLoadProblem::None) {
    Prompts().Error(this, Utf8(kErrorCaption), LoadFailureText(path, problem, reason));
    ed.Lines().Clear();
    SetFileName(kUntitled);
    ed.SetModified(false);
    SetModifiedMark(false);
    DocumentStamp = {};
    ForgetEncoding();  // encodings
    ShowReadOnlyState();
    return false;
  }
  DocumentStamp = stamp;
  SetFileName(path);
  // The text is loaded: a failure to record it in the lists keeps it.
  try {
    RegisterRecent(path);
  } catch (const std::exception& e) {
    Prompts().Error(this, Utf8(kErrorCaption), RecentListFailureText(e));
  }
  ed.SetModified(false);
  SetModifiedMark(false);
  OpenDialogFolder = FolderPart(path);
  DrawGutter(Memo1);
  DrawGutter(Memo3);
  EncodingLoaded();  // encodings
  SetFileReadOnly(!WritableByMode(path));
  OfferRecovery(path);
  return true;
}

void TMainForm::NewDocumentNamed(const std::string& path) {
  TEditor& ed = Memo1->Editor();
  ed.Lines().Clear();
  DocumentStamp = {};  // no file yet
  ForgetEncoding();  // encodings
  SetFileReadOnly(false);
  SetFileName(path);
  SelectStyleByExt(path);
  ed.SetModified(false);
  SetModifiedMark(false);
  OpenDialogFolder = FolderPart(path);
  DrawAllGutters();
  OfferRecovery(path);
}

void TMainForm::New1Click() {
  if (!ConfirmSave()) return;
  TEditor& ed = Memo1->Editor();
  SetFileName(kUntitled);
  ed.Lines().Clear();
  ed.SetModified(false);
  SetModifiedMark(false);
  DocumentStamp = {};
  ForgetEncoding();  // encodings
  SetFileReadOnly(false);
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
  // A save in place keeps the old bytes beside the snapshots until the new
  // ones are on disk.
  TSafeFileWriter::SetBackupFolder(VersionFolder(SettingsPath));
  try {
    // The wrapped form always ends its rows with CR LF.
    return WriteEncodedDocument(path, wrapped);  // encodings
  } catch (const EFileDamaged& e) {
    Prompts().Error(this, Utf8(kErrorCaption),
                    Utf8("ファイル %1 を保存できませんでした。\r書き込みの途中で失敗し、元の内容に戻せませんでした。\r"
                         "元の内容は %2 に残してあります。")
                        .arg(DisplayPath(path), DisplayPath(e.BackupPath())));
    return false;
  } catch (const EBackupError&) {
    Prompts().Error(this, Utf8(kErrorCaption),
                    Utf8("ファイル %1 を保存できませんでした。\r元の内容の控えを作れないため、書き込みませんでした。")
                        .arg(DisplayPath(path)));
    return false;
  } catch (const std::exception& e) {
    const auto* file_error = dynamic_cast<const EFileError*>(&e);
    const int error = file_error ? file_error->Error() : 0;
    const TSaveProblem problem = DiagnoseSaveFailure(path, static_cast<std::uint64_t>(ed.TextLength()), error);
    Prompts().Error(this, Utf8(kErrorCaption),
                    Utf8("ファイル %1 を保存できませんでした。\r").arg(DisplayPath(path)) +
                        SaveProblemText(problem, error));
    return false;
  }
}

std::optional<std::string> TMainForm::AskSaveName(const QString& initial) {
  const std::optional<QString> chosen =
      Prompts().SaveFileName(this, Utf8("名前を付けて保存"), Utf8(kDocumentFilter), 0, initial);
  if (!chosen) return std::nullopt;
  const std::string name = WithDefaultExtension(NativePath(*chosen), ".txt");
  if (RefusesSaveName(name)) return std::nullopt;
  if (Exists(name)) {
    const QString text = Utf8("%1\rこのファイルはすでに存在します。\r上書きしますか?").arg(DisplayPath(name));
    if (Prompts().Question(this, Utf8(kConfirmCaption), text, kYesNoCancel) != TDialogAnswer::Yes) return std::nullopt;
  }
  return name;
}

bool TMainForm::RefusesSaveName(const std::string& name) {
  QString why;
  const std::string target = ResolveLink(name);
  if (EncodingReadOnly && FileName != kUntitled && SameFileOnDisk(name, FileName)) {
    why = Utf8("表示できない文字を含むファイルを保護するため、同じファイルには保存できません。\r"
               "別の名前を指定してください。");
  } else if (StampOfFile(target).exists && !WritableByMode(target)) {
    why = Utf8("ファイル %1 は書き込みが禁止されているため、上書きできません。\r別の名前を指定してください。")
              .arg(DisplayPath(name));
  } else if (target != name && !StampOfFile(DirOfPath(target)).exists) {
    why = Utf8("%1 はシンボリックリンクですが、リンク先 %2 のフォルダーがありません。\r別の名前を指定してください。")
              .arg(DisplayPath(name), DisplayPath(target));
  }
  if (why.isEmpty()) return false;
  Prompts().Error(this, Utf8(kErrorCaption), why);
  return true;
}

void TMainForm::DocumentSaved() {
  Memo1->Editor().SetModified(false);
  SetModifiedMark(false);
  DocumentStamp = StampOfFile(FileName);
  EncodingSaved();  // encodings
  SetFileReadOnly(false);  // the file was written: it may be
  RecoverySaved();  // recovery snapshots
  if (SaveAndExitPending) close();
}

bool TMainForm::ConfirmWriteOverChangedFile() {
  const TFileStamp now = StampOfFile(FileName);
  // Gone: written again. No file any more (a folder in its place): the
  // write refuses it and says why.
  if (!now.exists || !now.regular || now == DocumentStamp) return true;
  const QString text = Utf8("ファイル %1 は、開いた後に他のプログラムによって変更されています。\r"
                            "上書きすると、その変更は失われます。\r上書きしますか?")
                           .arg(DisplayPath(FileNamePart(FileName)));
  if (Prompts().Question(this, Utf8(kConfirmCaption), text, kYesNo) == TDialogAnswer::Yes) return true;
  SaveAndExitPending = false;
  return false;
}

bool TMainForm::SaveReadOnlyDocument() {
  const QString reason = ReadOnlyReason();
  if (!reason.isEmpty()) {
    const QString text = Utf8("ファイル %1 は読み取り専用のため、上書き保存できません。\r%2\r名前を付けて保存しますか?")
                             .arg(DisplayPath(FileNamePart(FileName)), reason);
    if (Prompts().Question(this, Utf8(kConfirmCaption), text, kYesNo) != TDialogAnswer::Yes) {
      SaveAndExitPending = false;
      return false;
    }
  }
  return SaveAs1Click();
}

bool TMainForm::Save1Click() {
  if (FileName == kUntitled) return SaveAs1Click();
  if (Memo1->Editor().ReadOnly()) return SaveReadOnlyDocument();
  if (!ConfirmWriteOverChangedFile()) return false;
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
    RegisterSavedAs(*name, Memo1->Editor().SelStart());
  } catch (const std::exception& e) {
    Prompts().Error(this, Utf8(kErrorCaption), RecentListFailureText(e));
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
  if (!ConfirmWriteOverChangedFile()) return false;
  if (!WriteDocument(FileName, true)) return SaveAsList1Click();
  DocumentStamp = StampOfFile(FileName);
  // The document takes the line ends it now has on disk. Should the file
  // have gone already, the text shown stays: it is what was saved.
  const TLoadProblem problem = CheckLoadable(FileName);
  if (problem == TLoadProblem::None) {
    try {
      LoadEncodedDocument(FileName, WrittenFormat.encoding);  // encodings: as just written
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
  // The wrapped form has other line ends: no caret offset of this document
  // stands for the same place in it.
  try {
    RegisterSavedAs(*name, 0);
  } catch (const std::exception& e) {
    Prompts().Error(this, Utf8(kErrorCaption), RecentListFailureText(e));
  }
  return true;
}

// --- the read-only state ----------------------------------------------------------------

QString TMainForm::ReadOnlyReason() const {
  if (EncodingReadOnly) return Utf8("元のとおりに表示できない文字を含むため、ファイルを保護して読み取り専用にしています。");
  if (FileReadOnly) return Utf8("ファイルに書き込む権限がないため、読み取り専用で開いています。");
  return {};
}

void TMainForm::SetFileReadOnly(bool on) {
  TEditor& ed = Memo1->Editor();
  if (on) ed.SetReadOnly(true);
  else if (FileReadOnly && !EncodingReadOnly) ed.SetReadOnly(false);
  FileReadOnly = on;
  ShowReadOnlyState();
}

void TMainForm::ShowReadOnlyState() {
  const bool on = Memo1->Editor().ReadOnly();
  if (ReadOnlyPanel) ReadOnlyPanel->setText(on ? Utf8("読み取り専用") : QString());
  SetFileName(FileName);
}

void TMainForm::EditRefused() {
  const QString reason = ReadOnlyReason();
  SetStatusText(3, reason.isEmpty() ? Utf8("読み取り専用のため編集できません。") : reason);
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
