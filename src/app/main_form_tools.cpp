// External tools and launch commands of the main window: the grep tool, the
// selection opened as a file or as a URL, and the three user tools. Programs
// are started directly with their arguments; no shell ever reads the text.
#include <QAction>
#include <QCoreApplication>
#include <QDesktopServices>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QUrl>

#include "app/display_text.h"
#include "app/main_form.h"
#include "app/prompts.h"
#include "qt/editor_widget.h"
#include "qt/qt_graphics.h"
#include "shell/tools.h"

namespace yk {

namespace {

std::string ToolName(int k) { return "ToolFile" + std::to_string(k); }

// CP932 text in the locale's encoding, as other programs read arguments.
std::string LocalText(std::string_view cp932) { return ToQString(cp932).toLocal8Bit().toStdString(); }

// "name@host.domain" alone: the desktop would otherwise take it for a web
// address with a user name.
bool IsMailAddress(const QString& text) {
  static const QRegularExpression mail(QStringLiteral("^[^@\\s/:]+@[^@\\s/:]+\\.[^@\\s/:]+$"));
  return mail.match(text).hasMatch();
}

// A web address with a scheme ("https://", "ftp://"), a scheme-only link
// ("mailto:", "news:", "tel:"), or the "www." start the editor underlines
// as a link. "std::string" is no address.
bool IsUrl(const QString& text) {
  static const QRegularExpression scheme(
      QStringLiteral("^([A-Za-z][A-Za-z0-9+.-]*://|(mailto|news|tel):)\\S"), QRegularExpression::CaseInsensitiveOption);
  return scheme.match(text).hasMatch() || text.startsWith(QStringLiteral("www."), Qt::CaseInsensitive);
}

// The file or folder text names, as it is or in folder; nullopt when
// neither exists.
std::optional<QString> ExistingPath(const QString& text, const QString& folder) {
  const QFileInfo named(text);
  if (named.isAbsolute()) return named.exists() ? std::optional(named.absoluteFilePath()) : std::nullopt;
  const QFileInfo inFolder(QDir(folder), text);
  return inFolder.exists() ? std::optional(inFolder.absoluteFilePath()) : std::nullopt;
}

bool OpenUrl(TMainForm& form, const QUrl& url) {
  return form.Env().open_url ? form.Env().open_url(url) : QDesktopServices::openUrl(url);
}

}  // namespace

void TMainForm::ConnectToolCommands() {
  Bind("Tracer1", &TMainForm::Tracer1Click);
  Bind("ExecuteFile1", &TMainForm::ExecuteFile1Click);
  Bind("Execute1", &TMainForm::Execute1Click);
  for (int k = 1; k <= kToolCount; ++k) Bind(ToolName(k), [this, k] { RunTool(k); });
  Bind("MemoPrint1", &TMainForm::MemoPrint1Click);
  // The selection commands need a selection in the editor the user works in.
  const auto selection = [this] {
    const bool on = ActiveEditor->Editor().Selected();
    Action("ExecuteFile1")->setEnabled(on);
    Action("Execute1")->setEnabled(on);
  };
  AddMenuHook(TMenu::Execute, selection);
  AddMenuHook(TMenu::Popup, selection);
  // Printing prints the saved file, so the document must be saved as shown.
  AddMenuHook(TMenu::File, [this] {
    Action("MemoPrint1")->setEnabled(CanPrintDocument(Memo1->Editor().Modified(), FileName));
  });
}

void TMainForm::UpdateToolMenu() {
  for (int k = 1; k <= kToolCount; ++k) {
    const auto i = static_cast<std::size_t>(k - 1);
    const TToolMenuItem item = ToolMenuItem(Settings.toolNames[i], Settings.toolPaths[i]);
    QAction* action = Action(ToolName(k));
    action->setText(ToQString(item.Caption));
    action->setVisible(item.Visible);
  }
}

std::string TMainForm::ProgramFolder() const { return NativePath(QCoreApplication::applicationDirPath()) + "/"; }

std::string TMainForm::SelectionForOutside() const {
  return ActiveEditor->ToText(ActiveEditor->Editor().SelText()).toLocal8Bit().toStdString();
}

bool TMainForm::StartProgram(const std::string& program, const std::vector<std::string>& arguments) {
  std::string path = program;
  // A bare name is looked for on PATH, as a shell would.
  if (path.find('/') == std::string::npos)
    path = NativePath(QStandardPaths::findExecutable(QFile::decodeName(QByteArray::fromStdString(program))));
  bool started = false;
  if (!path.empty()) {
    const QFileInfo file(QFile::decodeName(QByteArray::fromStdString(path)));
    if (file.isFile() && !file.isExecutable() && arguments.empty()) {
      // A document named as a tool opens with its program.
      started = OpenUrl(*this, QUrl::fromLocalFile(file.absoluteFilePath()));
    } else {
      started = Env().start_program ? Env().start_program(path, arguments) : SpawnDetached(path, arguments);
    }
  }
  if (!started) {
    QString text = QString::fromUtf8("%1 を起動できませんでした。").arg(DisplayPath(program));
    if (path.empty()) text += QString::fromUtf8("\rその名前のプログラムが見つかりません。");
    Prompts().Error(this, QString::fromUtf8(kErrorCaption), text);
  }
  return started;
}

void TMainForm::Tracer1Click() {
  const std::optional<TLaunch> launch = TracerLaunch(Settings.tracerPath, FileName, ProgramFolder(),
                                                     LocalText(Settings.tracerExt), SelectionForOutside());
  if (launch) StartProgram(launch->Program, launch->Arguments);
}

void TMainForm::ExecuteFile1Click() {
  const std::optional<std::string> file =
      SelectedFileInFolder(DocumentFolder(FileName, ProgramFolder()), SelectionForOutside());
  if (!file) return;
  const bool started = Env().launch_self ? Env().launch_self({*file}) : LaunchSelf({*file});
  if (!started) {
    Prompts().Error(this, QString::fromUtf8(kErrorCaption),
                    QString::fromUtf8("ファイル %1 を開く新しいウィンドウを起動できませんでした。").arg(DisplayPath(*file)));
  }
}

// A URL, a mail address or an existing file opens with the desktop's
// program for it; any other text is the name of a program to run. Nothing
// is ever guessed into a web address.
void TMainForm::Execute1Click() {
  const QString text = ActiveEditor->ToText(ActiveEditor->Editor().SelText()).trimmed();
  if (text.isEmpty()) return;
  const QString folder = DisplayPath(DocumentFolder(FileName, ProgramFolder()));
  std::optional<QUrl> url;
  if (IsMailAddress(text)) url = QUrl(QStringLiteral("mailto:") + text);
  else if (IsUrl(text)) url = QUrl::fromUserInput(text);
  else if (const std::optional<QString> file = ExistingPath(text, folder)) url = QUrl::fromLocalFile(*file);
  if (!url && text.contains(QLatin1Char('/'))) {
    // A path that names nothing: no program is looked for elsewhere.
    Prompts().Error(this, QString::fromUtf8(kErrorCaption), QString::fromUtf8("%1 が見つかりません。").arg(text));
    return;
  }
  if (!url) {
    StartProgram(NativePath(text), {});
    return;
  }
  if (!url->isValid() || !OpenUrl(*this, *url)) {
    Prompts().Error(this, QString::fromUtf8(kErrorCaption), QString::fromUtf8("%1 を開けませんでした。").arg(text));
  }
}

void TMainForm::RunTool(int k) {
  if (k < 1 || k > kToolCount) return;
  const std::string& path = Settings.toolPaths[static_cast<std::size_t>(k - 1)];
  if (!path.empty()) StartProgram(path, {});
}

}  // namespace yk
