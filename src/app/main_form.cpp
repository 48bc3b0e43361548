// The main window's life: construction, the command machinery, FormCreate,
// FormShow, the close query and FormDestroy, and the command line.
#include "app/main_form.h"

#include <QAction>
#include <QCloseEvent>
#include <QDialog>
#include <QComboBox>
#include <QLabel>
#include <QMenu>
#include <QMimeData>
#include <QStatusTipEvent>
#include <QTabBar>
#include <QTimer>
#include <QUrl>

#include "app/about_box.h"
#include "app/display_text.h"
#include "app/hist_head_dlg.h"
#include "app/jump_dlg.h"
#include "app/list_form.h"
#include "app/topic_dlg.h"
#include "app/prompts.h"
#include "dialogs/basic_setup_dlg.h"
#include "dialogs/search_session.h"
#include "props/editor_prop.h"
#include "props/reg_manager.h"
#include "qt/editor_widget.h"
#include "qt/qt_graphics.h"
#include "shell/command_line.h"

namespace yk {

namespace {

// The settings store's own errors, shown like every other error.
class TPromptRegMessages final : public TRegMessages {
 public:
  explicit TPromptRegMessages(TMainForm& form) : form_(form) {}
  void ShowError(const std::string& text) override {
    form_.Prompts().Error(&form_, QString::fromUtf8(kErrorCaption), ToQString(text));
  }

 private:
  TMainForm& form_;
};

}  // namespace

TMainForm::TMainForm(TMainFormEnv env, QWidget* parent)
    : QMainWindow(parent),
      EditorProp1(std::make_unique<TEditorProp>()),
      RegManager1(std::make_unique<TRegManager>()),
      env_(std::move(env)) {
  prompts_ = env_.prompts ? env_.prompts : &DefaultPrompts();
  reg_messages_ = std::make_unique<TPromptRegMessages>(*this);
  RegManager1->SetMessages(reg_messages_.get());
  RegisterRegItems();
  SetInitialStyle(*EditorProp1);
  BuildComponents();
  AssignStyleToEditors();
  ConnectEditors();
  ConnectAllCommands();
  FormCreate();
}

TMainForm::~TMainForm() = default;

// --- commands ------------------------------------------------------------------

QAction* TMainForm::Action(std::string_view name) const {
  const auto it = actions_.find(std::string(name));
  return it == actions_.end() ? nullptr : it->second;
}

QMenu* TMainForm::Menu(TMenu menu) const {
  if (menu == TMenu::Popup) return PopupMenu1;
  return menus_[static_cast<std::size_t>(menu)];
}

QMenu* TMainForm::Submenu(std::string_view name) const {
  const auto it = submenus_.find(std::string(name));
  return it == submenus_.end() ? nullptr : it->second;
}

void TMainForm::Bind(std::string_view name, std::function<void()> handler) {
  const TCommandInfo* info = FindCommand(name);
  QAction* action = Action(name);
  if (!info || !action || (info->flags & cfSubmenu)) return;
  handlers_[std::string(name)] = std::move(handler);
  action->setEnabled(!(info->flags & cfDisabled));
}

void TMainForm::Bind(std::string_view name, void (TMainForm::*handler)()) {
  Bind(name, [this, handler] { (this->*handler)(); });
}

bool TMainForm::IsBound(std::string_view name) const { return handlers_.count(std::string(name)) != 0; }

void TMainForm::AddMenuHook(TMenu menu, std::function<void()> hook) {
  menu_hooks_[static_cast<std::size_t>(menu)].push_back(std::move(hook));
}

void TMainForm::RunMenuHooks(TMenu menu) {
  for (const auto& hook : menu_hooks_[static_cast<std::size_t>(menu)]) hook();
}

bool TMainForm::RunCommand(std::string_view name) {
  const TCommandInfo* info = FindCommand(name);
  const auto handler = handlers_.find(std::string(name));
  if (!info || handler == handlers_.end()) return false;
  // Commands find rows by their breaks: a long line's wrap left after the
  // last key is finished first.
  Memo1->Editor().FinishDeferredWrap();
  // A key runs the opening handlers first, so enabling rules and rebuilt
  // lists hold when the command runs; from an open menu they already ran.
  if (!menu_open_) RunMenuHooks(info->menu);
  if (!Action(name)->isEnabled()) return false;
  try {
    handler->second();
  } catch (const std::exception& e) {
    Prompts().Error(this, QString::fromUtf8(kErrorCaption), FailureReason(e));
  }
  ScheduleCaretPanel();
  return true;
}

void TMainForm::ConnectAllCommands() {
  Bind("Exit1", &TMainForm::Exit1Click);
  Bind("About1", [this] {
    const std::unique_ptr<QDialog> box = MakeAboutBox(this);
    Prompts().ExecDialog(*box);
  });
  ConnectDocumentCommands();
  ConnectEditCommands();
  ConnectSearchCommands();
  ConnectStyleCommands();
  ConnectRecentCommands();
  ConnectVersionCommands();
  ConnectInstanceCommands();
  ConnectToolCommands();
  ConnectGutterCommands();
  ConnectInputCommands();
  ConnectEncodingCommands();
  ConnectSessionCommands();
}

void TMainForm::ConnectEditors() {
  for (TEditorWidget* memo : {Memo1, Memo3}) {
    memo->Editor().OnChange = [this](TEditor&) { Memo1Change(); };
  }
  for (TEditorWidget* memo : {Memo1, Memo2, Memo3}) {
    // Characters without a CP932 form found no free code and were typed
    // or pasted as "?".
    connect(memo, &TEditorWidget::charactersReplaced, this, [this](int count) {
      SetStatusText(3, QString::fromUtf8("Shift-JISにない文字が多すぎるため、%1 個を「?」に置き換えました").arg(count));
    });
  }
}

// --- status bar and events ---------------------------------------------------------

QString TMainForm::StatusText(int panel) const {
  if (panel < 0 || panel > 3) return {};
  return status_panels_[static_cast<std::size_t>(panel)]->text();
}

void TMainForm::SetStatusText(int panel, const QString& text) {
  if (panel < 0 || panel > 3) return;
  QLabel* label = status_panels_[static_cast<std::size_t>(panel)];
  label->setText(text);
  // The caret panel grows to fit long line numbers and keeps that width,
  // so the bar does not jump back and forth as the caret moves.
  if (panel == 0) {
    const int frame = label->width() - label->contentsRect().width();
    const int needed = label->fontMetrics().horizontalAdvance(text) + frame + 6;
    if (needed > label->width()) label->setFixedWidth(needed);
  }
}

bool TMainForm::event(QEvent* e) {
  // The hint of the item under the mouse goes to panel 3, not over the
  // whole bar; leaving the item clears it.
  if (e->type() == QEvent::StatusTip) {
    SetStatusText(3, static_cast<QStatusTipEvent*>(e)->tip());
    return true;
  }
  return QMainWindow::event(e);
}

void TMainForm::showEvent(QShowEvent* e) {
  QMainWindow::showEvent(e);
  if (shown_once_) return;
  shown_once_ = true;
  FormShow();
}

void TMainForm::closeEvent(QCloseEvent* e) {
  if (!FormCloseQuery()) {
    e->ignore();
    return;
  }
  FormDestroy();
  e->accept();
}

void TMainForm::dragEnterEvent(QDragEnterEvent* e) {
  if (acceptDrops() && e->mimeData()->hasUrls()) e->acceptProposedAction();
}

void TMainForm::dropEvent(QDropEvent* e) {
  std::vector<std::string> paths;
  for (const QUrl& url : e->mimeData()->urls()) {
    if (!url.isLocalFile()) continue;
    // The path's own bytes, also when they are not valid in the locale.
    std::string path = QByteArray::fromPercentEncoding(url.path(QUrl::FullyEncoded).toLatin1()).toStdString();
    // An empty path names no file, and a NUL would end the name early and
    // open another file than the one dropped.
    if (path.empty() || path.find('\0') != std::string::npos) continue;
    paths.push_back(std::move(path));
  }
  e->acceptProposedAction();
  FilesDropped(paths);
}

// --- start-up and shutdown -------------------------------------------------------

void TMainForm::FormCreate() {
  Marks.Clear();
  RecentLines.clear();
  RecentStyles.clear();
  TopicList = {std::string()};
  TopicWord.clear();
  setAcceptDrops(true);
  SettingsPath = env_.settings_path.empty() ? DefaultSettingsPath() : env_.settings_path;
  ConnectRecovery();
  try {
    ReadSettings();
  } catch (const std::exception&) {
    // Start with what was read so far, as with a missing file.
  }
  TabSet1->setCurrentIndex(0);
  StyleIndex = 0;
  ActiveEditor = Memo1;
  if (Settings.iconAnime) AnimeTimer1->start();
  JumpColumn = -1;
  JumpSelLength = 0;
  HandedOver = false;
  HandleCommandLine();
  if (HandedOver) return;
  ReadRecentLists();
  Memo1->Editor().SetModified(false);
  SetModifiedMark(false);
  UpdateToolMenu();
  OfferRecoveryAtStart();
}

void TMainForm::HandleCommandLine() {
  const TCommandLine cl = ParseCommandLine(env_.arguments);
  if (cl.action != TCommandLine::TAction::Open) {
    Memo1->Editor().Lines().Clear();
    SetFileName(kUntitled);
    return;
  }
  const std::string path = LongPathName(cl.file);
  if (HandOver(path, cl.line, cl.column, cl.selLength)) {
    HandedOver = true;
    return;
  }
  // As editors on this system do: a name in an existing folder that is not
  // there yet is a document to write.
  if (NamesNewFile(path)) {
    NewDocumentNamed(path);
    return;
  }
  // A file that cannot be loaded leaves an empty document: no jump in it.
  if (!LoadDocument(path) || cl.line <= 0) return;
  JumpLine = cl.line;
  JumpColumn = cl.column;
  JumpSelLength = cl.selLength;
  GotoJumpLine();
  jumped_at_start_ = true;
}

void TMainForm::FormShow() {
  if (HandedOver) {
    QTimer::singleShot(0, this, [this] { close(); });
    return;
  }
  StartListening();
  SetGutterWidth();
  DrawAllGutters();
  // The line jump and a caret put back from the recent list ran before the
  // editor had its size: place the view again now.
  if (jumped_at_start_) CenterCaretRow();
  ActiveEditor->Editor().ScrollCaret();
  if (JumpColumn != -1) ApplyJumpColumn();
  Memo1->setFocus();
}

bool TMainForm::FormCloseQuery() {
  if (HandedOver || CloseNeedsNoQuestion()) return true;
  try {
    if (!ConfirmSave()) return false;
    DropRecoverySnapshot();  // the user answered for the edits
    return true;
  } catch (const std::exception& e) {
    Prompts().Error(this, QString::fromUtf8(kErrorCaption), FailureReason(e));
    return false;
  }
}

void TMainForm::FormDestroy() {
  if (destroyed_ || HandedOver) return;
  destroyed_ = true;
  if (Recovery) Recovery->Release();
  try {
    StoreRecentPosition();
  } catch (const std::exception&) {
    // The settings below are still written.
  }
  setAcceptDrops(false);
  try {
    WriteSettingsAtExit();
  } catch (const std::exception& e) {
    Prompts().Error(this, QString::fromUtf8(kErrorCaption),
                    QString::fromUtf8("設定を保存できませんでした。\r") + FailureReason(e));
  }
  if ((Settings.deleteHistory && HistoryDeleteMode == 1) || HistoryDeleteMode == 2) DeleteVersionFiles();
}

void TMainForm::Exit1Click() { close(); }

// --- the window's dialogs ------------------------------------------------------------

TBasicSetupDlg& TMainForm::BasicSetupDlg() {
  if (!basic_setup_dlg_) basic_setup_dlg_ = new TBasicSetupDlg(Prompts(), this);
  return *basic_setup_dlg_;
}

TJumpDlg& TMainForm::JumpDlg() {
  if (!jump_dlg_) jump_dlg_ = new TJumpDlg(this);
  return *jump_dlg_;
}

THistHeadDlg& TMainForm::HistHeadDlg() {
  if (!hist_head_dlg_) hist_head_dlg_ = new THistHeadDlg(this);
  return *hist_head_dlg_;
}

TTopicDlg& TMainForm::TopicDlg() {
  if (!topic_dlg_) topic_dlg_ = new TTopicDlg(this);
  return *topic_dlg_;
}

TListForm& TMainForm::ListForm() {
  if (!list_form_) list_form_ = new TListForm(this);
  return *list_form_;
}

}  // namespace yk
