// The recent-file and favourite lists of the main window, the File menu's
// recent files, and what a click on any of the three file lists does.
#include <QAction>
#include <QActionGroup>
#include <QMouseEvent>
#include <QTabWidget>

#include <algorithm>
#include <exception>
#include <functional>
#include <string>

#include "app/display_text.h"
#include "app/main_form.h"
#include "app/prompts.h"
#include "controls/fi_list_box.h"
#include "qt/editor_widget.h"
#include "qt/qt_graphics.h"
#include "shell/encoded_file.h"
#include "shell/file_preview.h"
#include "shell/recent_files.h"
#include "shell/style_select.h"

namespace yk {

namespace {

constexpr int kRecentPage = 1;     // "履歴"
constexpr int kFavoritesPage = 2;  // "お気に入り"
constexpr int kMenuRecentCount = 10;

QString Utf8(const char* text) { return QString::fromUtf8(text); }

std::string HisName(int n) { return "His" + std::to_string(n); }

// Calls a handler when the right mouse button goes down on a widget.
class TRightButtonFilter final : public QObject {
 public:
  TRightButtonFilter(QObject* parent, std::function<void()> handler) : QObject(parent), handler_(std::move(handler)) {}

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (event->type() == QEvent::MouseButtonPress && static_cast<QMouseEvent*>(event)->button() == Qt::RightButton)
      handler_();
    return QObject::eventFilter(watched, event);
  }

 private:
  std::function<void()> handler_;
};

// Why a file is not shown in the preview, for status panel 3.
QString PreviewProblemText(TLoadProblem problem) {
  switch (problem) {
    case TLoadProblem::Folder: return Utf8("フォルダーなのでプレビューしません");
    case TLoadProblem::NotRegular: return Utf8("通常のファイルではないのでプレビューしません");
    case TLoadProblem::NotFound: return Utf8("ファイルが見つかりません");
    case TLoadProblem::NoPermission: return Utf8("ファイルを読む権限がありません");
    default: return Utf8("ファイルを読み込めませんでした");
  }
}

}  // namespace

void TMainForm::ConnectRecentCommands() {
  Bind("AddFavorite1", &TMainForm::AddFavorite1Click);
  Bind("ClearFavorite1", &TMainForm::ClearFavorite1Click);
  Bind("ClearHistory1", &TMainForm::ClearHistory1Click);
  auto* group = new QActionGroup(this);
  group->setExclusionPolicy(QActionGroup::ExclusionPolicy::ExclusiveOptional);
  for (int n = 0; n < kMenuRecentCount; ++n) {
    Bind(HisName(n), [this, n] { His0Click(n); });
    group->addAction(Action(HisName(n)));
  }
  AddMenuHook(TMenu::File, [this] { File1Click(); });
  connect(PageControl1, &QTabWidget::currentChanged, this, [this](int index) { PageControl1Change(index); });
  for (TFIListBox* list : {FIListBox1, FIListBox2, FIListBox3}) {
    connect(list, &QListWidget::itemClicked, this, [this, list] { FIListBoxClick(list); });
    connect(list, &QListWidget::itemDoubleClicked, this, [this, list] { FIListBoxDblClick(list); });
    list->viewport()->installEventFilter(new TRightButtonFilter(list, [this] { FIListBox1MouseDown(); }));
  }
}

void TMainForm::ShowRecentLists(const TRecentLists& lists) {
  FIListBox2->SetItems(lists.Files);
  RecentLines = lists.Lines;
  RecentStyles = lists.Styles;
}

// --- registering and storing ---------------------------------------------------------

// The entry keeps the caret and style the file had; a file new to the list
// is stored with the style it is shown in (its extension's, else the
// current one), not with the style of the document shown before it.
void TMainForm::RegisterRecent(const std::string& path) {
  const int byExtension = StyleIndexForPath(path, Settings.styleExts);
  const int styleIfNew = byExtension >= 0 ? byExtension : StyleIndex;
  TRecentLists lists;
  TRecentHit hit;
  std::exception_ptr failure;
  try {
    hit = RegisterRecentInSettings(SettingsPath, path, styleIfNew, &lists);
  } catch (const std::exception&) {
    // The settings file cannot be written: the window still lists the file
    // and still puts caret and style back; the caller reports the failure.
    failure = std::current_exception();
    lists = {FIListBox2->Items(), RecentLines, RecentStyles};
    hit = yk::RegisterRecent(lists, path, styleIfNew);
  }
  ShowRecentLists(lists);
  // The style first: a style change re-wraps, which would move a caret
  // already put back.
  SelectStyle(hit.Style >= 0 ? hit.Style : styleIfNew);
  if (hit.Found) {
    TEditor& ed = ActiveEditor->Editor();
    ed.SetSelStart(std::min<std::int64_t>(hit.Caret, ed.TextLength()));
    ed.ScrollCaret();
  }
  if (failure) std::rethrow_exception(failure);
}

// The document stays as it is: whatever the list held for that name is
// replaced by the document's own caret and style.
void TMainForm::RegisterSavedAs(const std::string& path, std::int64_t caret) {
  TRecentLists lists;
  try {
    RegisterRecentAsInSettings(SettingsPath, path, caret, StyleIndex, &lists);
  } catch (const std::exception&) {
    lists = {FIListBox2->Items(), RecentLines, RecentStyles};
    RegisterRecentAs(lists, path, caret, StyleIndex);
    ShowRecentLists(lists);
    throw;
  }
  ShowRecentLists(lists);
}

void TMainForm::StoreRecentPosition() {
  TRecentLists lists;
  StoreRecentPositionInSettings(SettingsPath, FileName, Memo1->Editor().SelStart(), StyleIndex, &lists);
  ShowRecentLists(lists);
}

void TMainForm::ClearHistory1Click() {
  ClearRecentInSettings(SettingsPath);
  ShowRecentLists({});
}

// --- favourites ------------------------------------------------------------------------

void TMainForm::AddFavoriteFile(const std::string& path) {
  std::vector<std::string> favorites;
  AddFavoriteInSettings(SettingsPath, path, &favorites);
  FIListBox3->SetItems(favorites);
}

void TMainForm::AddFavorite1Click() {
  if (FileName == kUntitled) return;
  AddFavoriteFile(FileName);
  PageControl1->setCurrentIndex(kFavoritesPage);
}

void TMainForm::ClearFavorite1Click() {
  ClearFavoritesInSettings(SettingsPath);
  FIListBox3->ClearItems();
}

// --- the File menu ---------------------------------------------------------------------

void TMainForm::File1Click() {
  ShowRecentLists(LoadRecentLists(SettingsPath));
  for (int n = 0; n < kMenuRecentCount; ++n) {
    QAction* his = Action(HisName(n));
    if (n >= FIListBox2->Count()) {
      his->setVisible(false);
      continue;
    }
    const std::string path = FIListBox2->Item(n);
    // A "&" of the path itself is doubled so that only the digit is the
    // access key.
    QString shown = DisplayPath(path);
    shown.replace(QLatin1Char('&'), QStringLiteral("&&"));
    his->setText(QStringLiteral("&%1. ").arg(n) + shown);
    his->setVisible(true);
    his->setChecked(path == FileName);
  }
}

void TMainForm::His0Click(int n) {
  if (n < 0 || n >= FIListBox2->Count()) return;
  const std::string path = FIListBox2->Item(n);
  if (path == FileName) return;
  OpenInNewWindow(path);
}

void TMainForm::PageControl1Change(int index) {
  if (index != kRecentPage) return;
  ShowRecentLists(LoadRecentLists(SettingsPath));
  FIListBox3->SetItems(LoadFavorites(SettingsPath));
}

// --- the three file lists --------------------------------------------------------------

void TMainForm::FIListBoxClick(TFIListBox* list) {
  const int index = list->currentRow();
  if (index < 0 || index >= list->Count()) return;
  PreviewFile(list->Item(index));
}

void TMainForm::FIListBoxDblClick(TFIListBox* list) {
  const int index = list->currentRow();
  if (index < 0 || index >= list->Count()) return;
  // Also the current document: its own window then comes to the front.
  OpenInNewWindow(list->Item(index));
}

void TMainForm::FIListBox1MouseDown() {
  const bool full = !FIListBox1->ShowFullPath();
  for (TFIListBox* list : {FIListBox1, FIListBox2, FIListBox3}) list->SetShowFullPath(full);
}

// A file over the cap shows its beginning; the gutter follows what is shown.
void TMainForm::PreviewFile(const std::string& path) {
  TEditor& preview = Memo2->Editor();
  const QString name = DisplayPath(path);
  TLoadProblem problem = CheckLoadable(path, kPreviewMaxBytes);
  QString status = name;
  try {
    // In the file's own encoding, with a table of its own characters.
    if (problem == TLoadProblem::None) {
      Memo2->SetChars(LoadEncodedFile(preview.Lines(), preview.ScreenStrings(), path).chars);
    } else if (problem == TLoadProblem::TooLarge) {
      const TFilePrefix prefix = ReadFilePrefix(path, kPreviewMaxBytes);
      problem = prefix.Problem;
      if (problem == TLoadProblem::None) {
        TDecodedText text = DecodePreview(prefix.Bytes, prefix.Truncated);
        preview.Lines().SetTextStr(text.bytes);
        if (!text.chars) {
          text.chars = std::make_shared<TMappedChars>();
          LearnUsedCodes(*text.chars, preview.ScreenStrings());
        }
        Memo2->SetChars(text.chars);
        status = Utf8("%1 （先頭の16MBだけを表示しています）").arg(name);
      }
    }
  } catch (const std::exception&) {
    problem = TLoadProblem::Unreadable;
  }
  if (problem != TLoadProblem::None) {
    preview.Lines().Clear();
    status = name + Utf8(" : ") + PreviewProblemText(problem);
  }
  preview.SetModified(false);
  SetStatusText(3, status);
  DrawGutter(Memo2);
  // A file that is gone or unreadable is an error the user should see; a
  // folder or a device is simply not something to preview.
  if (problem == TLoadProblem::NotFound || problem == TLoadProblem::NoPermission ||
      problem == TLoadProblem::Unreadable) {
    Prompts().Error(this, Utf8(kErrorCaption),
                    Utf8("ファイル %1 をプレビューできません。\r").arg(name) + PreviewProblemText(problem));
  }
}

bool TMainForm::OpenInNewWindow(const std::string& path) {
  const bool started = Env().launch_self ? Env().launch_self({path}) : LaunchSelf({path});
  if (!started) {
    Prompts().Error(this, Utf8(kErrorCaption),
                    Utf8("ファイル %1 を開く新しいウィンドウを起動できませんでした。").arg(DisplayPath(path)));
  }
  return started;
}

}  // namespace yk
