// The main window among other windows, in-process on a fake bus: what it
// tells the others, how it acts on their commands, the Window menu and its
// commands, a hand-over that fails on the way, and new windows.
#include <QAction>
#include <QGuiApplication>
#include <QScreen>
#include <QStyle>
#include <QTest>
#include <QTimer>

#include <sys/stat.h>

#include <filesystem>

#include "fake_bus.h"
#include "form_fixture.h"
#include "shell/window_arrange.h"

namespace yk::test {
namespace {

using Strings = std::vector<std::string>;

// "line 1" ... "line n", CR LF after each.
std::string Lines(int n) {
  std::string text;
  for (int i = 1; i <= n; ++i) text += "line " + std::to_string(i) + "\r\n";
  return text;
}

// The character offset of the start of a 1-based line of Lines().
std::int64_t LineOffset(int line) { return static_cast<std::int64_t>(Lines(line - 1).size()); }

class InstancesTest : public FormTest {
 protected:
  TMainForm& MakeOnBus(std::vector<std::string> arguments = {}) {
    env.make_bus = [this] { return std::make_unique<TFakeBus>(bus); };
    return Make(std::move(arguments));
  }
  void Tell(const TBusCommand& c) { EXPECT_EQ(form->HandleInstanceCommand(c), 0); }
  void Jump(int line, int column, int length) {
    Tell(TBusCommand::User(UM_SETLINE, line));
    Tell(TBusCommand::User(UM_GOTOLINE, 0));
    Tell(TBusCommand::User(UM_SETSELLENGTH, length));
    Tell(TBusCommand::User(UM_SETCOLUMN, column));
  }
  // The Window menu's items as shown: "caption" with "*" when checked.
  Strings WindowItems() {
    form->RunMenuHooks(TMenu::Window);
    Strings items;
    for (int n = 0; n < 10; ++n) {
      QAction* a = form->Action("Win" + std::to_string(n));
      if (a->isVisible()) items.push_back(a->text().toStdString() + (a->isChecked() ? "*" : ""));
    }
    return items;
  }
  // The frame a window of the list gets, as the fake bus writes it.
  static std::string Frame(const TRect& r) { return Describe(TBusCommand::Geometry(r)); }
  TRect WorkArea() const {
    const QRect a = form->screen()->availableGeometry();
    return {a.left(), a.top(), a.left() + a.width(), a.top() + a.height()};
  }
  void Pump() {
    for (int i = 0; i < 3; ++i) QCoreApplication::processEvents();
  }

  TFakeBusState bus;
};

TEST_F(InstancesTest, TheWindowTellsItsClassExactTitleAndActivation) {
  const std::string a = File("a.txt", Lines(3));
  MakeOnBus({a});
  TPeerInfo info = form->InstanceInfo();
  EXPECT_EQ(info.className, "TMainForm");
  EXPECT_EQ(info.title, a + " - Yomikaki");
  EXPECT_GT(info.activated, 0);
  Doc().KeyChar('x');
  EXPECT_EQ(form->InstanceInfo().title, a + " * - Yomikaki");
  // The untitled document's title is CP932 bytes, like every title.
  MakeOnBus();
  EXPECT_EQ(form->InstanceInfo().title, "\x96\xb3\x91\xe8 - Yomikaki");  // 無題
  // Listed as itself once shown: the bus asks it.
  EXPECT_EQ(form->Bus()->Peers().front().title, "\x96\xb3\x91\xe8 - Yomikaki");
}

TEST_F(InstancesTest, TheFourMessagesJumpToTheLineThenTheColumnAndSelect) {
  MakeOnBus({File("a.txt", Lines(200))});
  Jump(120, 4, 6);
  EXPECT_EQ(Doc().SelStart(), LineOffset(120) + 4);
  EXPECT_EQ(Doc().SelLength(), 6);
  EXPECT_EQ(Doc().SelText(), " 120\r\n");
  EXPECT_EQ(form->JumpColumn, -1);  // used up
  // Column -1: the start of the line, nothing selected.
  Jump(3, -1, 0);
  EXPECT_EQ(Doc().SelStart(), LineOffset(3));
  EXPECT_EQ(Doc().SelLength(), 0);
  // Values no sender of ours makes end inside the document.
  for (auto [line, column, length] : {std::tuple{-7, -100, -5}, {INT32_MAX, INT32_MAX, INT32_MAX}, {0, 5, INT32_MAX}}) {
    Jump(line, column, length);
    EXPECT_GE(Doc().SelStart(), 0);
    EXPECT_LE(Doc().SelStart() + Doc().SelLength(), Doc().TextLength()) << line;
  }
}

// A jump handed over while a dialog has the focus still shows in the caret
// panel (the editor reports no caret move without the focus).
TEST_F(InstancesTest, AJumpBehindADialogShowsInTheCaretPanel) {
  MakeOnBus({File("a.txt", Lines(200))});
  ASSERT_TRUE(QTest::qWaitForWindowActive(form.get()));
  QString shown;
  prompts.Dialog([&](QDialog& d) {
    d.show();
    d.activateWindow();
    QCoreApplication::processEvents();
    Jump(120, 0, 0);
    QCoreApplication::processEvents();
    shown = form->StatusText(0);
    return int(QDialog::Rejected);
  });
  EXPECT_TRUE(form->RunCommand("Jump1"));
  EXPECT_TRUE(shown.startsWith(QStringLiteral("  120[120] "))) << shown.toStdString();
}

TEST_F(InstancesTest, SystemCommandsMinimiseRestorePlaceAndClose) {
  MakeOnBus({File("a.txt", Lines(3))});
  Tell(TBusCommand::System(bcMinimize));
  EXPECT_TRUE(form->isMinimized());
  Tell(TBusCommand::System(bcRestore));
  EXPECT_FALSE(form->isMinimized());
  Tell(TBusCommand::System(bcMinimize));
  Tell(TBusCommand::System(bcActivate));  // coming to the front restores too
  EXPECT_FALSE(form->isMinimized());
  form->showMaximized();
  Tell(TBusCommand::Geometry({30, 40, 630, 440}));
  EXPECT_FALSE(form->isMaximized());
  EXPECT_EQ(form->frameGeometry(), QRect(30, 40, 600, 400));

  // Close answers first; the close query asks afterwards, and Cancel keeps
  // the window.
  Doc().KeyChar('x');
  Tell(TBusCommand::System(bcClose));
  EXPECT_TRUE(prompts.Asked().empty());
  prompts.Answer(TDialogAnswer::Cancel);
  Pump();
  EXPECT_EQ(prompts.Asked().size(), 1u);
  EXPECT_TRUE(form->isVisible());
  Doc().SetModified(false);
  Tell(TBusCommand::System(bcClose));
  Pump();
  EXPECT_FALSE(form->isVisible());
}

TEST_F(InstancesTest, TheWindowMenuListsTenWindowsWithThisOneChecked) {
  // Alone, the window lists itself.
  Make();
  EXPECT_EQ(WindowItems(), Strings{"&0. \xe7\x84\xa1\xe9\xa1\x8c - Yomikaki*"});  // 無題

  for (int i = 1; i <= 11; ++i) bus.peers.push_back(Peer("p" + std::to_string(i), "/d/f" + std::to_string(i) + ".txt - Yomikaki", 100 - i));
  bus.peers[2].title = "/d/R&D.txt * - Yomikaki";
  bus.peers.push_back({"x", "TOther", "/d/x.txt - Yomikaki", 1, 1});  // not ours
  bus.peers.push_back(Peer("y", "/d/y.txt"));                       // not a title of ours
  const std::string a = File("a.txt", "a");
  MakeOnBus({a});
  const Strings items = WindowItems();
  EXPECT_EQ(form->WindowList.size(), 12u);
  ASSERT_EQ(items.size(), 10u);
  EXPECT_EQ(items[0], "&0. " + a + " - Yomikaki*");
  EXPECT_EQ(items[1], "&1. /d/f1.txt - Yomikaki");
  EXPECT_EQ(items[3], "&3. /d/R&&D.txt * - Yomikaki");
  EXPECT_EQ(items[9], "&9. /d/f9.txt - Yomikaki");

  // With fewer windows the rest are hidden, and their commands do nothing.
  bus.peers.resize(1);
  EXPECT_EQ(WindowItems().size(), 2u);
  EXPECT_FALSE(form->RunCommand("Win5"));
  EXPECT_TRUE(bus.sent.empty());
}

TEST_F(InstancesTest, WindowCommandsReachEveryWindowOfTheList) {
  bus.peers = {Peer("p1", "/d/1 - Yomikaki", 3), Peer("p2", "/d/2 - Yomikaki", 2), Peer("p3", "/d/3 - Yomikaki", 1)};
  MakeOnBus({File("a.txt", "a")});
  // F2 switches to the second window of the list, before the menu was
  // ever opened (its item hidden) and after.
  ASSERT_TRUE(QTest::qWaitForWindowActive(form.get()));
  for (int i = 0; i < 2; ++i) {
    EXPECT_EQ(form->Action("Win1")->isVisible(), i == 1);
    QTest::keyClick(form.get(), Qt::Key_F2);
    Pump();
  }
  EXPECT_EQ(bus.sent, (Strings{"p1 restore", "p1 activate", "p1 restore", "p1 activate"}));

  bus.sent.clear();
  EXPECT_TRUE(form->RunCommand("AllMinimize1"));
  EXPECT_EQ(bus.sent, (Strings{"p1 minimize", "p2 minimize", "p3 minimize"}));
  EXPECT_TRUE(form->isMinimized());
  form->showNormal();

  // F4 goes round: above each other, side by side, cascade.
  const std::vector<TRect> above = TileFrames(WorkArea(), 4, TTileMode::AboveEachOther);
  const std::vector<TRect> beside = TileFrames(WorkArea(), 4, TTileMode::SideBySide);
  const int step = std::max(16, form->style()->pixelMetric(QStyle::PM_TitleBarHeight, nullptr, form.get()));
  const std::vector<TRect> cascade = CascadeFrames(WorkArea(), 4, step);
  for (const auto& frames : {above, beside, cascade}) {
    bus.sent.clear();
    EXPECT_TRUE(form->RunCommand("ArrangeWin1"));
    EXPECT_EQ(bus.sent, (Strings{"p1 " + Frame(frames[1]), "p2 " + Frame(frames[2]), "p3 " + Frame(frames[3])}));
    EXPECT_EQ(form->frameGeometry(), QRect(frames[0].left, frames[0].top, frames[0].Width(), frames[0].Height()));
  }
  bus.sent.clear();
  EXPECT_TRUE(form->RunCommand("TileVertical1"));
  EXPECT_EQ(bus.sent.back(), "p3 " + Frame(beside[3]));

  // Closing all: last to first, each brought to the front first; this
  // window, first in the list, closes last through its own close query.
  bus.sent.clear();
  EXPECT_TRUE(form->RunCommand("CloseAll1"));
  EXPECT_EQ(bus.sent, (Strings{"p3 activate", "p3 close", "p2 activate", "p2 close", "p1 activate", "p1 close"}));
  EXPECT_TRUE(form->isVisible());
  Pump();
  EXPECT_FALSE(form->isVisible());
}

TEST_F(InstancesTest, FindDocumentWindowTakesExactTitlesTheLastMatchAndNeverItself) {
  const std::string a = File("a.txt", "a");
  bus.peers = {Peer("p1", a + "x - Yomikaki"), {"p2", "TOther", a + " - Yomikaki", 0, 1},
               Peer("p3", a + " - Yomikaki"), Peer("p4", a + " * - Yomikaki"), Peer("p5", "b - Yomikaki")};
  MakeOnBus({File("b.txt", "b")});
  EXPECT_EQ(form->FindDocumentWindow(a).value_or(TPeerInfo{}).id, "p4");
  bus.peers.pop_back();
  bus.peers.pop_back();
  EXPECT_EQ(form->FindDocumentWindow(a).value_or(TPeerInfo{}).id, "p3");
  EXPECT_FALSE(form->FindDocumentWindow(dir.File("b.txt")));  // its own document
  bus.peers.clear();
  EXPECT_FALSE(form->FindDocumentWindow(a));
}

TEST_F(InstancesTest, FindDocumentWindowKnowsTheFileByItsIdentityUnderAnyName) {
  const std::string a = File("a.txt", "a");
  const std::string b = File("b.txt", "b");
  std::filesystem::create_symlink(a, dir.File("sym.txt"));
  std::filesystem::create_hard_link(a, dir.File("hard.txt"));
  struct stat sa{}, sb{};
  ASSERT_EQ(::stat(a.c_str(), &sa), 0);
  ASSERT_EQ(::stat(b.c_str(), &sb), 0);
  auto with_file = [](TPeerInfo peer, const struct stat& st) {
    peer.fileDevice = st.st_dev;
    peer.fileInode = st.st_ino;
    return peer;
  };
  bus.peers = {with_file(Peer("pa", a + " - Yomikaki"), sa), with_file(Peer("pb", b + " * - Yomikaki"), sb),
               Peer("old", "/elsewhere/x.txt - Yomikaki")};  // a window that tells no file
  MakeOnBus({File("own.txt", "own")});
  const struct {
    std::string path;
    const char* found;
  } cases[] = {
      {dir.File("sym.txt"), "pa"},  {dir.File("hard.txt"), "pa"}, {dir.File("./a.txt"), "pa"},
      {b, "pb"},                    {dir.File("none.txt"), ""},   {"/elsewhere/x.txt", "old"},
  };
  for (const auto& c : cases) EXPECT_EQ(form->FindDocumentWindow(c.path).value_or(TPeerInfo{}).id, c.found) << c.path;
  // What this window tells of itself: its file, and none when untitled.
  struct stat own{};
  ASSERT_EQ(::stat(form->FileName.c_str(), &own), 0);
  EXPECT_EQ(form->InstanceInfo().fileInode, own.st_ino);
  EXPECT_EQ(form->InstanceInfo().fileDevice, own.st_dev);
  form->New1Click();
  EXPECT_EQ(form->InstanceInfo().fileInode, 0u);
}

TEST_F(InstancesTest, AHandOverThatFailsOnTheWayOpensTheFileHere) {
  const std::string a = File("a.txt", Lines(30));
  bus.peers = {Peer("other", a + " - Yomikaki")};
  for (int answered : {0, 1, 4}) {  // silent at once, after restore, before the column
    bus.answers = answered;
    bus.sent.clear();
    MakeOnBus({"/l", "20", "/c", "2", a});
    EXPECT_EQ(bus.sent.size(), static_cast<std::size_t>(answered));
    EXPECT_FALSE(form->HandedOver) << answered;
    EXPECT_EQ(form->FileName, a);
    EXPECT_EQ(Doc().SelStart(), LineOffset(20) + 2) << answered;
  }
  // The program looked before it made the window and found none: the
  // window does not ask again.
  bus.answers = 100;
  bus.sent.clear();
  env.document_window_checked = true;
  MakeOnBus({a});
  EXPECT_FALSE(form->HandedOver);
  EXPECT_TRUE(bus.sent.empty());
}

TEST_F(InstancesTest, TheHandOverCarriesTheLaunchTokenAndOlderWindowsComeToTheFrontWithoutIt) {
  const std::string a = File("a.txt", "a");
  bus.peers = {Peer("other", a + " - Yomikaki")};
  TFakeBus sender(bus);
  const struct {
    bool oldPeers;
    std::string token;
    Strings sent;
  } kCases[] = {
      {false, "kwin-12_TIME345", {"other restore", "other activate kwin-12_TIME345"}},
      {false, "", {"other restore", "other activate"}},
      {true, "kwin-12_TIME345", {"other restore", "other activate"}},  // dropped, then sent without
      {false, "bad token", {"other restore", "other activate"}},      // never written: sent without
  };
  for (const auto& c : kCases) {
    bus.old_peers = c.oldPeers;
    bus.sent.clear();
    EXPECT_TRUE(HandOverToWindow(sender, a, 0, -1, 0, c.token)) << c.token;
    EXPECT_EQ(bus.sent, c.sent) << c.token;
  }
}

TEST_F(InstancesTest, TheWindowAsksTheDesktopForActivationWithTheTokenItWasGiven) {
  std::vector<std::string> asked;
  env.activate_window = [&](QWindow& window, const std::string& token) {
    EXPECT_EQ(&window, form->windowHandle());
    asked.push_back(token);
  };
  MakeOnBus({File("a.txt", "a")});
  form->showMinimized();
  Tell(TBusCommand::Activate("wl-token-7"));
  EXPECT_FALSE(form->isMinimized());
  Tell(TBusCommand::System(bcActivate));  // from a window of an older build
  EXPECT_EQ(asked, (Strings{"wl-token-7", ""}));
}

TEST_F(InstancesTest, NewWindowsStartTheProgramWithoutOrWithTheChosenFile) {
  Make();
  EXPECT_TRUE(form->RunCommand("NewWin1"));
  const std::string b = File("b b.txt", "b");
  prompts.OpenFile(Q(b));
  EXPECT_TRUE(form->RunCommand("NewOpen1"));
  prompts.OpenFile(std::nullopt);
  EXPECT_TRUE(form->RunCommand("NewOpen1"));
  EXPECT_EQ(launched, (std::vector<Strings>{{}, {b}}));
  EXPECT_FALSE(Doc().Modified());
}

}  // namespace
}  // namespace yk::test
