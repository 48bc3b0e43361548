// Cooperation with the other running main windows: answering them over the
// instance bus, handing a file over at start-up, the Window menu with its
// list of windows, arranging, minimising and closing all windows, and new
// windows.
#include <QAction>
#include <QDateTime>
#include <QFile>
#include <QGuiApplication>
#include <QKeySequence>
#include <QScreen>
#include <QShortcut>
#include <QStyle>
#include <QTimer>
#include <QWindow>

#include <sys/stat.h>

#include <algorithm>

#include "app/display_text.h"
#include "app/main_form.h"
#include "app/prompts.h"
#include "app/window_activation.h"
#include "qt/editor_widget.h"
#include "shell/window_arrange.h"

namespace yk {

namespace {

constexpr int kWindowItems = 10;  // Win0 .. Win9
// A title is read with at most this many characters for the menu.
constexpr int kMaxCaptionTitle = 255;

std::int64_t NowMs() { return QDateTime::currentMSecsSinceEpoch(); }

// A main window of this program: its class and a title of ours.
bool IsMainWindow(const TPeerInfo& p) {
  return p.className == kMainFormClass && p.title.find(" - Yomikaki") != std::string::npos;
}

std::string WinName(int n) { return "Win" + std::to_string(n); }

// The window answers the bus through its own members.
class TFormInstanceHandler final : public TInstanceHandler {
 public:
  explicit TFormInstanceHandler(TMainForm& form) : form_(form) {}
  TPeerInfo Info() override { return form_.InstanceInfo(); }
  int Handle(const TBusCommand& command) override { return form_.HandleInstanceCommand(command); }

 private:
  TMainForm& form_;
};

void Unminimize(QWidget& w) {
  // Keeps a maximised window maximised, as restoring from the task bar does.
  if (w.isMinimized()) w.setWindowState(w.windowState() & ~Qt::WindowMinimized);
}

void BringToFront(QWidget& w, const std::string& token, const TMainFormEnv& env) {
  Unminimize(w);
  w.raise();
  QWindow* window = w.windowHandle();
  if (!window) return w.activateWindow();
  if (env.activate_window) env.activate_window(*window, token);
  else RequestActivation(*window, token);
}

// The work areas of all screens.
std::vector<TRect> WorkAreas() {
  std::vector<TRect> areas;
  for (const QScreen* screen : QGuiApplication::screens()) {
    const QRect a = screen->availableGeometry();
    areas.push_back({a.left(), a.top(), a.left() + a.width(), a.top() + a.height()});
  }
  return areas;
}

// Puts the window, shown normally, at frame: the outer frame in screen
// coordinates, so the window's own decoration is taken off. Whoever sent
// the frame, the window stays within what the screens can show.
void PlaceFrame(QWidget& w, const TRect& asked) {
  const TRect frame = FitFrame(asked, WorkAreas());
  w.setWindowState(Qt::WindowNoState);
  const QRect outer = w.frameGeometry();
  const QRect inner = w.geometry();
  const QMargins decoration(inner.left() - outer.left(), inner.top() - outer.top(), outer.right() - inner.right(),
                            outer.bottom() - inner.bottom());
  w.setGeometry(QRect(frame.left, frame.top, frame.Width(), frame.Height()).marginsRemoved(decoration));
}

// "&&" for each "&", so that a title shows as it is and takes no access key.
QString MenuText(QString text) { return text.replace(QLatin1Char('&'), QStringLiteral("&&")); }

}  // namespace

void TMainForm::ConnectInstanceCommands() {
  AddMenuHook(TMenu::Window, [this] { Window1Click(); });
  for (int n = 0; n < kWindowItems; ++n) Bind(WinName(n), [this, n] { Win0Click(n); });
  Bind("Cascade1", &TMainForm::Cascade1Click);
  Bind("TileHorizontal1", &TMainForm::TileHorizontal1Click);
  Bind("TileVertical1", &TMainForm::TileVertical1Click);
  Bind("ArrangeWin1", &TMainForm::ArrangeWin1Click);
  Bind("AllMinimize1", &TMainForm::AllMinimize1Click);
  Bind("CloseAll1", &TMainForm::CloseAll1Click);
  Bind("NewWin1", &TMainForm::NewWin1Click);
  Bind("NewOpen1", &TMainForm::NewOpen1Click);
  // A hidden item takes no key, and the list items stay hidden until the
  // menu is first opened: a shortcut of the window stands in for the key
  // while its item is hidden.
  for (int n = 0; n < kWindowItems; ++n) {
    QAction* item = Action(WinName(n));
    if (item->shortcut().isEmpty()) continue;
    auto* key = new QShortcut(item->shortcut(), this);
    key->setEnabled(!item->isVisible());
    connect(item, &QAction::changed, key, [item, key] { key->setEnabled(!item->isVisible()); });
    connect(key, &QShortcut::activated, this, [this, n] { RunCommand(WinName(n)); });
  }
  connect(qGuiApp, &QGuiApplication::focusWindowChanged, this, [this](QWindow* window) {
    if (window && window == windowHandle()) activated_ms_ = NowMs();
  });
}

// --- the bus ---------------------------------------------------------------------

TInstanceBus* TMainForm::Bus() {
  if (!bus_made_) {
    bus_made_ = true;
    if (Env().make_bus) bus_ = Env().make_bus();
  }
  return bus_.get();
}

void TMainForm::StartListening() {
  TInstanceBus* bus = Bus();
  if (!bus || !bus->SelfId().empty()) return;
  activated_ms_ = NowMs();  // a new window comes up in front
  if (!bus_handler_) bus_handler_ = std::make_unique<TFormInstanceHandler>(*this);
  bus->Listen(*bus_handler_);
}

TPeerInfo TMainForm::InstanceInfo() {
  TPeerInfo info;
  info.className = std::string(kMainFormClass);
  info.title = TitleBytes();
  info.activated = activated_ms_;
  // As the file is now: a name replaced by another file is that file.
  struct stat st{};
  if (FileName != kUntitled && ::stat(FileName.c_str(), &st) == 0) {
    info.fileDevice = static_cast<std::uint64_t>(st.st_dev);
    info.fileInode = static_cast<std::uint64_t>(st.st_ino);
  }
  return info;
}

int TMainForm::HandleInstanceCommand(const TBusCommand& command) {
  Memo1->Editor().FinishDeferredWrap();  // a jump finds rows by their breaks
  switch (command.kind) {
    case bcRestore:
    case bcMinimize:
    case bcClose: SysCommand(command.kind); break;
    case bcActivate: BringToFront(*this, command.token, Env()); break;
    case bcGeometry: PlaceFrame(*this, command.bounds); break;
    case bcUserMessage:
      switch (command.message) {
        case UM_SETLINE: JumpLine = command.wParam; break;
        case UM_SETCOLUMN:
          JumpColumn = command.wParam;
          if (JumpColumn != -1) ApplyJumpColumn();
          break;
        case UM_SETSELLENGTH: JumpSelLength = command.wParam; break;
        case UM_GOTOLINE: GotoJumpLine(); break;
        default: break;
      }
      ScheduleCaretPanel();  // the caret moved, perhaps behind a dialog
      break;
  }
  return 0;
}

void TMainForm::SysCommand(TBusCommandKind kind) {
  if (kind == bcMinimize) {
    setWindowState(windowState() | Qt::WindowMinimized);
  } else if (kind == bcRestore) {
    Unminimize(*this);
  } else if (kind == bcClose) {
    // The sender waits for the answer, and the close query may ask the
    // user: close once control is back in the event loop.
    QTimer::singleShot(0, this, [this] { close(); });
  }
}

bool TMainForm::SendToWindow(const TPeerInfo& window, const TBusCommand& command) {
  TInstanceBus* bus = Bus();
  if (window.id.empty() || (bus && window.id == bus->SelfId())) {
    HandleInstanceCommand(command);
    return true;
  }
  return bus && bus->Send(window.id, command);
}

// --- finding a document's window and handing a file over ------------------------------

std::optional<TPeerInfo> FindDocumentWindow(TInstanceBus& bus, const std::string& path, const std::string& selfId) {
  const std::string plain = path + " - Yomikaki";
  const std::string modified = path + " * - Yomikaki";
  // The file itself, whatever name it is reached by: a symbolic or hard
  // link to an open file must not start a second, unsynchronised editor.
  struct stat st{};
  const bool exists = ::stat(path.c_str(), &st) == 0;
  auto same_file = [&](const TPeerInfo& peer) {
    return exists && (peer.fileDevice != 0 || peer.fileInode != 0) &&
           peer.fileDevice == static_cast<std::uint64_t>(st.st_dev) &&
           peer.fileInode == static_cast<std::uint64_t>(st.st_ino);
  };
  std::optional<TPeerInfo> found;
  for (TPeerInfo& peer : bus.Peers()) {
    if (peer.className != kMainFormClass || peer.id == selfId) continue;
    if (peer.title == plain || peer.title == modified || same_file(peer)) found = std::move(peer);
  }
  return found;
}

namespace {

// A window of an older build drops an activation with a token, which it
// cannot read; it still comes to the front without one.
bool SentWithoutToken(TInstanceBus& bus, const std::string& id, const TBusCommand& command) {
  return command.kind == bcActivate && !command.token.empty() && bus.Send(id, TBusCommand::System(bcActivate));
}

}  // namespace

bool HandOverToWindow(TInstanceBus& bus, const std::string& path, int line, int column, int selLength,
                      const std::string& token) {
  // Not listening yet: never finds the window that asks.
  const std::optional<TPeerInfo> peer = FindDocumentWindow(bus, path, bus.SelfId());
  if (!peer) return false;
  std::vector<TBusCommand> commands{TBusCommand::System(bcRestore), TBusCommand::Activate(token)};
  if (line > 0) {
    commands.push_back(TBusCommand::User(UM_SETLINE, line));
    commands.push_back(TBusCommand::User(UM_GOTOLINE, 0));
    commands.push_back(TBusCommand::User(UM_SETSELLENGTH, selLength));
    commands.push_back(TBusCommand::User(UM_SETCOLUMN, column));
  }
  // Each message is answered before the next goes, so they arrive in order;
  // a window that stops answering may not have the file any more.
  for (const TBusCommand& command : commands)
    if (!bus.Send(peer->id, command) && !SentWithoutToken(bus, peer->id, command)) return false;
  return true;
}

std::optional<TPeerInfo> TMainForm::FindDocumentWindow(const std::string& path) {
  TInstanceBus* bus = Bus();
  return bus ? yk::FindDocumentWindow(*bus, path, bus->SelfId()) : std::nullopt;
}

bool TMainForm::HandOver(const std::string& path, int line, int column, int selLength) {
  TInstanceBus* bus = Bus();
  return bus && !Env().document_window_checked && HandOverToWindow(*bus, path, line, column, selLength);
}

// --- the Window menu ------------------------------------------------------------------

void TMainForm::Window1Click() {
  WindowList.clear();
  TInstanceBus* bus = Bus();
  if (bus) {
    for (TPeerInfo& peer : bus->Peers())
      if (IsMainWindow(peer)) WindowList.push_back(std::move(peer));
  }
  // A window that does not listen (no bus, or it could not) lists itself.
  const std::string self = bus ? bus->SelfId() : std::string();
  if (self.empty()) WindowList.insert(WindowList.begin(), InstanceInfo());
  for (int n = 0; n < kWindowItems; ++n) {
    QAction* item = Action(WinName(n));
    const bool shown = n < static_cast<int>(WindowList.size());
    item->setVisible(shown);
    item->setEnabled(shown);
    if (!shown) continue;
    const TPeerInfo& window = WindowList[static_cast<std::size_t>(n)];
    item->setText(QStringLiteral("&%1. ").arg(n) + MenuText(DisplayPath(window.title).left(kMaxCaptionTitle)));
    item->setChecked(window.id == self);
  }
}

void TMainForm::Win0Click(int index) {
  if (index < 0 || index >= static_cast<int>(WindowList.size())) return;
  const TPeerInfo window = WindowList[static_cast<std::size_t>(index)];
  if (SendToWindow(window, TBusCommand::System(bcRestore))) SendToWindow(window, TBusCommand::System(bcActivate));
}

namespace {

// The work area of the window's screen, as the platform reports it.
TRect WorkArea(const QWidget& w) {
  const QScreen* screen = w.screen() ? w.screen() : QGuiApplication::primaryScreen();
  const QRect a = screen ? screen->availableGeometry() : QRect(0, 0, 800, 600);
  return {a.left(), a.top(), a.left() + a.width(), a.top() + a.height()};
}

// The list is copied first: a window that answers may change it.
void TileWindows(TMainForm& form, TTileMode mode) {
  const std::vector<TPeerInfo> windows = form.WindowList;
  const std::vector<TRect> frames = TileFrames(WorkArea(form), static_cast<int>(windows.size()), mode);
  for (std::size_t i = 0; i < windows.size(); ++i)
    if (!frames[i].Empty()) form.SendToWindow(windows[i], TBusCommand::Geometry(frames[i]));
}

}  // namespace

void TMainForm::Cascade1Click() {
  const int step = std::max(16, style()->pixelMetric(QStyle::PM_TitleBarHeight, nullptr, this));
  const std::vector<TRect> frames = CascadeFrames(WorkArea(*this), static_cast<int>(WindowList.size()), step);
  const std::vector<TPeerInfo> windows = WindowList;
  for (std::size_t i = 0; i < windows.size(); ++i) SendToWindow(windows[i], TBusCommand::Geometry(frames[i]));
}

void TMainForm::TileHorizontal1Click() { TileWindows(*this, TTileMode::AboveEachOther); }
void TMainForm::TileVertical1Click() { TileWindows(*this, TTileMode::SideBySide); }

void TMainForm::ArrangeWin1Click() {
  if (++ArrangeCounter > 2) ArrangeCounter = 0;
  if (ArrangeCounter == 0) Cascade1Click();
  else if (ArrangeCounter == 1) TileHorizontal1Click();
  else TileVertical1Click();
}

void TMainForm::AllMinimize1Click() {
  const std::vector<TPeerInfo> windows = WindowList;
  for (const TPeerInfo& window : windows) SendToWindow(window, TBusCommand::System(bcMinimize));
}

void TMainForm::CloseAll1Click() {
  Window1Click();
  // Each window runs its own close query after it has answered, so one
  // that asks and is cancelled stays while the others go on closing.
  const std::vector<TPeerInfo> windows = WindowList;
  for (auto it = windows.rbegin(); it != windows.rend(); ++it) {
    SendToWindow(*it, TBusCommand::System(bcActivate));
    SendToWindow(*it, TBusCommand::System(bcClose));
  }
}

// --- new windows ------------------------------------------------------------------------

namespace {

bool StartSelf(TMainForm& form, const std::vector<std::string>& arguments) {
  const bool started = form.Env().launch_self ? form.Env().launch_self(arguments) : LaunchSelf(arguments);
  if (!started) {
    form.Prompts().Error(&form, QString::fromUtf8(kErrorCaption),
                         QString::fromUtf8("新しいウィンドウを起動できませんでした。"));
  }
  return started;
}

}  // namespace

void TMainForm::NewWin1Click() { StartSelf(*this, {}); }

void TMainForm::NewOpen1Click() {
  const std::optional<QString> chosen =
      Prompts().OpenFileName(this, QString::fromUtf8("開く"), QString::fromUtf8(kDocumentFilter), 0,
                             QFile::decodeName(QByteArray::fromStdString(OpenDialogFolder)));
  if (chosen) StartSelf(*this, {NativePath(*chosen)});
}

}  // namespace yk
