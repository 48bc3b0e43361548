// Real processes of the program meeting over the instance bus in a scratch
// runtime folder: the second start of an open file, the jump it hands over
// (to a window of this test process, whose caret the test reads), the
// Window menu over twelve windows, closing all, and stale sockets, hung,
// garbled and dying peers and malformed requests survived. Every wait has a
// time limit, and every process started is ended with its test.
#include <QElapsedTimer>
#include <QLocalServer>
#include <QLocalSocket>
#include <QProcess>
#include <QGuiApplication>
#include <QScreen>
#include <QThread>

#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <atomic>
#include <climits>
#include <filesystem>

#include "form_fixture.h"
#include "program_process.h"
#include "platform/bus_message.h"
#include "qt/local_instance_bus.h"

namespace yk::test {
namespace {

std::string Lines(int n) {
  std::string text;
  for (int i = 1; i <= n; ++i) text += "line " + std::to_string(i) + "\r\n";
  return text;
}

std::string Title(const std::string& path) { return path + " - Yomikaki"; }

class InstancesProcessTest : public FormTest {
 protected:
  void SetUp() override {
    runtime_ = dir.File("runtime");
    std::filesystem::create_directory(runtime_);
    ::chmod(runtime_.c_str(), 0700);
    folder_ = runtime_ + "/yomikaki";
    observer_ = std::make_unique<TLocalInstanceBus>(folder_);
  }
  void TearDown() override {
    for (auto& p : processes_) {
      if (p->state() == QProcess::NotRunning) continue;
      p->terminate();
      if (!p->waitForFinished(10000)) p->kill(), p->waitForFinished(5000);
    }
  }

  // The program with these arguments in the scratch folders, with these
  // variables besides.
  QProcess& Start(const QStringList& arguments, const std::vector<std::pair<QString, QString>>& variables = {}) {
    auto p = std::make_unique<QProcess>();
    QProcessEnvironment environment = ScratchEnvironment(dir);  // its runtime folder is runtime_
    environment.remove(QStringLiteral("XDG_ACTIVATION_TOKEN"));
    environment.remove(QStringLiteral("DESKTOP_STARTUP_ID"));
    for (const auto& [name, value] : variables) environment.insert(name, value);
    p->setProcessEnvironment(environment);
    p->setProcessChannelMode(QProcess::ForwardedErrorChannel);
    p->start(QStringLiteral(YK_PROGRAM_PATH), arguments);
    EXPECT_TRUE(p->waitForStarted(10000));
    processes_.push_back(std::move(p));
    return *processes_.back();
  }
  QProcess& Start(const std::string& file) { return Start(QStringList{QString::fromStdString(file)}); }

  // Runs this process's events (its window answers meanwhile) until done
  // holds or the time is up.
  template <class F>
  bool WaitFor(F done, int ms = 30000) {
    QElapsedTimer timer;
    timer.start();
    while (!done()) {
      if (timer.elapsed() > ms) return false;
      QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
      QThread::msleep(5);
    }
    return true;
  }
  bool Finished(QProcess& p, int ms = 30000) { return WaitFor([&] { return p.state() == QProcess::NotRunning; }, ms); }

  // The windows on the bus with this title, and with this process id.
  int Count(const std::string& title, qint64 pid = 0) {
    int n = 0;
    for (const TPeerInfo& peer : observer_->Peers())
      if (peer.title == title && (pid == 0 || peer.pid == pid)) ++n;
    return n;
  }

  // A window of this test process, answering on the scratch bus.
  TMainForm& MakeListening(std::vector<std::string> arguments) {
    env.make_bus = [this] { return std::make_unique<TLocalInstanceBus>(folder_); };
    return Make(std::move(arguments));
  }

  std::string runtime_;
  std::string folder_;
  std::unique_ptr<TLocalInstanceBus> observer_;
  std::vector<std::unique_ptr<QProcess>> processes_;
};

TEST_F(InstancesProcessTest, StartingTwiceWithTheSameFileLeavesOneProcess) {
  const std::string a = File("a.txt", Lines(3));
  QProcess& first = Start(a);
  ASSERT_TRUE(WaitFor([&] { return Count(Title(a)) == 1; }));
  QProcess& second = Start(a);
  ASSERT_TRUE(Finished(second));
  EXPECT_EQ(second.exitStatus(), QProcess::NormalExit);
  EXPECT_EQ(second.exitCode(), 0);
  EXPECT_EQ(first.state(), QProcess::Running);
  EXPECT_EQ(Count(Title(a)), 1);
}

TEST_F(InstancesProcessTest, JumpSwitchesMoveTheCaretInTheWindowThatHasTheFileEvenWhenModified) {
  const std::string a = File("a.txt", Lines(200));
  MakeListening({a});
  form->showMinimized();
  QProcess& jump = Start({"/l", "120", "/c", "4", "/s", "6", QString::fromStdString(a)});
  ASSERT_TRUE(Finished(jump));
  EXPECT_EQ(jump.exitCode(), 0);
  EXPECT_FALSE(form->isMinimized());  // restored
  EXPECT_EQ(Doc().SelStart(), static_cast<std::int64_t>(Lines(119).size()) + 4);  // line 120, four on
  EXPECT_EQ(Doc().SelText(), " 120\r\n");                                      // six selected

  // Modified: " * - Yomikaki" in the title, still found.
  Doc().SetSelStart(0);
  Doc().KeyChar('x');
  QProcess& again = Start({"/l", "3", QString::fromStdString(a)});
  ASSERT_TRUE(Finished(again));
  EXPECT_EQ(again.exitCode(), 0);
  EXPECT_EQ(Doc().RowsToLines(Doc().Row()), 2);
  EXPECT_EQ(form->InstanceInfo().title, a + " * - Yomikaki");
}

TEST_F(InstancesProcessTest, ALinkToAnOpenFileBringsItsWindowForwardInsteadOfASecondEditor) {
  const std::string a = File("a.txt", Lines(30));
  const std::string sym = dir.File("sym.txt");
  const std::string hard = dir.File("hard.txt");
  std::filesystem::create_symlink(a, sym);
  std::filesystem::create_hard_link(a, hard);
  // Another process has the file: a start through either link ends at once.
  QProcess& first = Start(a);
  ASSERT_TRUE(WaitFor([&] { return Count(Title(a)) == 1; }));
  for (const std::string& link : {sym, hard}) {
    QProcess& second = Start(link);
    ASSERT_TRUE(Finished(second)) << link;
    EXPECT_EQ(second.exitCode(), 0);
    EXPECT_EQ(Count(Title(link)), 0) << link;
  }
  EXPECT_EQ(first.state(), QProcess::Running);
  first.terminate();
  ASSERT_TRUE(Finished(first));
  // A window of this process has it: it comes forward and takes the jump.
  MakeListening({a});
  form->showMinimized();
  QProcess& jump = Start({"/l", "20", QString::fromStdString(sym)});
  ASSERT_TRUE(Finished(jump));
  EXPECT_EQ(jump.exitCode(), 0);
  EXPECT_FALSE(form->isMinimized());
  EXPECT_EQ(Doc().RowsToLines(Doc().Row()), 19);
}

TEST_F(InstancesProcessTest, TheSecondStartHandsItsLaunchTokenToTheWindowItRaises) {
  std::vector<std::string> tokens;
  env.activate_window = [&](QWindow&, const std::string& token) { tokens.push_back(token); };
  const std::string a = File("a.txt", "a");
  MakeListening({a});
  const struct {
    const char* xdg;
    const char* startup;
  } kStarts[] = {
      {"wl-token-1", "host-9_TIME42"},  // Wayland's token first
      {nullptr, "host-9_TIME42"},
      {"bad\ntoken", nullptr},          // not a token: the window still comes to the front
  };
  for (const auto& start : kStarts) {
    std::vector<std::pair<QString, QString>> variables;
    if (start.xdg) variables.emplace_back(QStringLiteral("XDG_ACTIVATION_TOKEN"), QString::fromUtf8(start.xdg));
    if (start.startup) variables.emplace_back(QStringLiteral("DESKTOP_STARTUP_ID"), QString::fromUtf8(start.startup));
    QProcess& p = Start({QString::fromStdString(a)}, variables);
    ASSERT_TRUE(Finished(p));
    EXPECT_EQ(p.exitCode(), 0);
  }
  EXPECT_EQ(tokens, (std::vector<std::string>{"wl-token-1", "host-9_TIME42", ""}));
}

TEST_F(InstancesProcessTest, TheWindowMenuListsTenOfTwelveWindows) {
  for (int i = 0; i < 11; ++i) Start(File("f" + std::to_string(i) + ".txt", "f"));
  ASSERT_TRUE(WaitFor([&] { return observer_->Peers().size() == 11; }, 60000));
  const std::string own = File("own.txt", "own");
  MakeListening({own});
  form->RunMenuHooks(TMenu::Window);
  ASSERT_EQ(form->WindowList.size(), 12u);
  EXPECT_EQ(form->WindowList[0].title, Title(own));  // activated last
  for (int n = 0; n < 10; ++n) {
    QAction* item = form->Action("Win" + std::to_string(n));
    EXPECT_TRUE(item->isVisible());
    EXPECT_TRUE(item->text().startsWith(QStringLiteral("&%1. ").arg(n) + QString::fromStdString(form->WindowList[n].title)));
    EXPECT_EQ(item->isChecked(), n == 0);
  }
}

TEST_F(InstancesProcessTest, CloseAllClosesTheOthersAndKeepsTheModifiedWindowWhenCancelled) {
  for (int i = 0; i < 3; ++i) Start(File("f" + std::to_string(i) + ".txt", "f"));
  ASSERT_TRUE(WaitFor([&] { return observer_->Peers().size() == 3; }));
  MakeListening({File("own.txt", "own")});
  Doc().KeyChar('x');
  prompts.Answer(TDialogAnswer::Cancel);
  EXPECT_TRUE(form->RunCommand("CloseAll1"));
  for (auto& p : processes_) {
    ASSERT_TRUE(Finished(*p));
    EXPECT_EQ(p->exitCode(), 0);
  }
  ASSERT_TRUE(WaitFor([&] { return prompts.Done(); }));
  EXPECT_TRUE(form->isVisible());
  EXPECT_TRUE(Doc().Modified());
}

// A window of the bus that knows a title and fails when told to act: it
// never answers, answers garbage, or drops the connection as a dying
// process would. It answers from a thread of its own, so that the test's
// own look-ups reach it while the test waits.
class TFailingPeer {
 public:
  enum TMode { fmSilent, fmGarbage, fmDies };

  TFailingPeer(const std::string& folder, std::string title) : title_(std::move(title)) {
    thread_.start();
    context_.moveToThread(&thread_);
    Run([this, folder] {
      server_ = std::make_unique<QLocalServer>();
      server_->listen(QString::fromStdString(folder + "/" + std::to_string(::getpid()) + "-900.sock"));
      QObject::connect(server_.get(), &QLocalServer::newConnection, server_.get(), [this] {
        while (QLocalSocket* s = server_->nextPendingConnection())
          QObject::connect(s, &QLocalSocket::readyRead, s, [this, s] { Answer(*s); });
      });
    });
  }
  ~TFailingPeer() {
    Run([this] { server_.reset(); });
    thread_.quit();
    thread_.wait();
  }
  std::atomic<int> mode{fmSilent};
  std::atomic<int> commands{0};

 private:
  template <class F>
  void Run(F f) {
    QMetaObject::invokeMethod(&context_, f, Qt::BlockingQueuedConnection);
  }
  void Answer(QLocalSocket& s) {
    TBusFrameReader reader;
    reader.Feed(s.readAll().toStdString());
    const std::optional<TBusMessage> m = reader.Next();
    if (!m) return;
    if (m->type == bmInfoRequest) {
      TBusMessage reply{bmInfoReply, {}, {"", std::string(kMainFormClass), title_, 1, ::getpid()}, 0};
      s.write(QByteArray::fromStdString(EncodeBusMessage(reply)));
      return;
    }
    ++commands;
    if (mode == fmGarbage) s.write(QByteArray("\x03\0\0\0\x01\x04\x00", 7));  // a reply cut short
    if (mode == fmDies) s.abort();
  }

  std::string title_;
  QThread thread_;
  QObject context_;
  std::unique_ptr<QLocalServer> server_;
};

TEST_F(InstancesProcessTest, AStaleSocketAndAPeerThatFailsAreSurvivedAndTheFileOpensHere) {
  // The socket file of a process that is gone, left as a crash leaves it.
  ASSERT_EQ(PrepareBusFolder(folder_), "");
  const std::string stale = folder_ + "/999999999-0.sock";
  const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
  sockaddr_un address{};
  address.sun_family = AF_UNIX;
  std::snprintf(address.sun_path, sizeof address.sun_path, "%s", stale.c_str());
  ASSERT_EQ(::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
  ::close(fd);

  const std::string a = File("a.txt", Lines(30));
  TFailingPeer peer(folder_, Title(a));
  for (int mode : {TFailingPeer::fmSilent, TFailingPeer::fmGarbage, TFailingPeer::fmDies}) {
    peer.mode = mode;
    peer.commands = 0;
    QElapsedTimer timer;
    timer.start();
    QProcess& p = Start({"/l", "5", QString::fromStdString(a)});
    // The new process opens the file itself and answers for it.
    ASSERT_TRUE(WaitFor([&] { return Count(Title(a), p.processId()) == 1; })) << mode;
    EXPECT_EQ(peer.commands, 1) << mode;  // the restore, unanswered
    EXPECT_LT(timer.elapsed(), 15000) << mode;
    p.terminate();
    ASSERT_TRUE(Finished(p));
  }
  EXPECT_FALSE(std::filesystem::exists(stale));
}

TEST_F(InstancesProcessTest, MalformedAndOversizedRequestsAreDroppedAndTheWindowGoesOn) {
  const std::string a = File("a.txt", "a");
  Start(a);
  ASSERT_TRUE(WaitFor([&] { return Count(Title(a)) == 1; }));
  const std::string id = observer_->Peers().front().id;
  for (const QByteArray& request : {QByteArray("\x03\0\0\0\x01\x02\x09", 7),          // unknown command
                                    QByteArray("\x00\x00\x10\x00", 4),                  // 1 MiB announced
                                    QByteArray::fromStdString(EncodeBusMessage({bmInfoRequest, {}, {}, 0})).left(5)}) {
    QLocalSocket s;
    s.connectToServer(QString::fromStdString(folder_ + "/" + id));
    ASSERT_TRUE(s.waitForConnected(5000));
    s.write(request);
    s.waitForBytesWritten(5000);
    // Dropped at once, or (cut short) when the window has waited long enough.
    EXPECT_TRUE(s.state() == QLocalSocket::UnconnectedState || s.waitForDisconnected(kBusTimeoutMs + 3000));
    EXPECT_TRUE(s.readAll().isEmpty());
  }
  EXPECT_EQ(Count(Title(a)), 1);
}

// A command sent over a real socket to the window of this test process,
// which answers while this waits.
class BusCommandTest : public InstancesProcessTest {
 protected:
  bool Send(const std::string& id, const TBusCommand& command) {
    QLocalSocket s;
    s.connectToServer(QString::fromStdString(folder_ + "/" + id));
    if (!s.waitForConnected(5000)) return false;
    s.write(QByteArray::fromStdString(EncodeBusMessage({bmCommand, command, {}, 0})));
    s.flush();
    return WaitFor([&] { return s.bytesAvailable() > 0; }, 10000);
  }
  // The window of this process answers only while this process waits.
  std::string WindowId() { return form->Bus() ? form->Bus()->SelfId() : std::string(); }
};

TEST_F(BusCommandTest, AFrameFromAnotherWindowStaysOnTheScreens) {
  const std::string a = File("a.txt", "a");
  MakeListening({a});
  const std::string id = WindowId();
  ASSERT_FALSE(id.empty());
  QRect screens;
  for (const QScreen* screen : QGuiApplication::screens()) screens |= screen->availableGeometry();
  const TRect frames[] = {{0, 0, 3000, 3000}, {50000, 50000, 50800, 50600}, {-900000, 20, -899000, 520}};
  for (const TRect& frame : frames) {
    ASSERT_TRUE(Send(id, TBusCommand::Geometry(frame)));
    EXPECT_TRUE(screens.contains(form->frameGeometry())) << frame.left << " " << form->frameGeometry().x();
    EXPECT_GE(form->width(), 100);
  }
}

TEST_F(BusCommandTest, JumpsWithExtremeNumbersStayInTheDocument) {
  const std::string a = File("a.txt", Lines(50));
  MakeListening({a});
  const std::string id = WindowId();
  ASSERT_FALSE(id.empty());
  TEditor& ed = Doc();
  struct Case {
    int line, selLength, column;
    int row, col;
  };
  const Case cases[] = {
      {INT_MIN, 0, -1, 0, 0},             // below the first line: the first
      {INT_MAX, 0, -1, 49, 0},            // beyond the last: the last
      {10, INT_MIN, INT_MIN, 9, 0},       // a column before the line: none
      {10, INT_MAX, INT_MAX, 50, 0},      // past the end: the end, and no selection beyond it
  };
  for (const Case& c : cases) {
    for (const TBusCommand& command : {TBusCommand::User(UM_SETLINE, c.line), TBusCommand::User(UM_GOTOLINE, 0),
                                       TBusCommand::User(UM_SETSELLENGTH, c.selLength),
                                       TBusCommand::User(UM_SETCOLUMN, c.column)})
      ASSERT_TRUE(Send(id, command));
    EXPECT_EQ(ed.Row(), c.row) << c.line << " " << c.column;
    EXPECT_EQ(ed.Col(), c.col) << c.line << " " << c.column;
  }
}

}  // namespace
}  // namespace yk::test
