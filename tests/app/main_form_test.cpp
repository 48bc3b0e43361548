// The main window's composition and command machinery: components by name,
// actions from the table, bound and unbound commands, hidden keys, menu
// opening handlers, hints, the context menu and the status bar.
#include <QAction>
#include <QComboBox>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QStatusTipEvent>
#include <QTabBar>
#include <QTabWidget>
#include <QTest>
#include <QToolBar>

#include "form_fixture.h"

namespace yk::test {
namespace {

using MainFormTest = FormTest;

TEST_F(MainFormTest, ComponentsAreFoundByTheirNames) {
  TMainForm& f = Make();
  for (const char* name : {"ToolBar1", "ComboBox1", "Panel1", "PageControl1", "FIListBox1", "FIListBox2",
                           "FIListBox3", "CuteSplitter1", "Memo2", "Panel4", "Image2", "Splitter1", "SplitPanel",
                           "Memo3", "Panel5", "Image3", "Splitter2", "Memo1", "Panel3", "Image1", "TabSet1",
                           "StatusBar", "PopupMenu1", "AnimeTimer1"}) {
    EXPECT_NE(f.findChild<QObject*>(QString::fromLatin1(name)), nullptr) << name;
  }
  EXPECT_TRUE(f.Memo2->Editor().ReadOnly());
  EXPECT_TRUE(f.SplitPanel->isHidden());
  EXPECT_EQ(f.PageControl1->currentIndex(), 2);
  EXPECT_EQ(f.PageControl1->tabText(0), QString::fromUtf8("版管理"));
  EXPECT_EQ(f.PageControl1->tabText(1), QString::fromUtf8("履歴"));
  EXPECT_EQ(f.PageControl1->tabText(2), QString::fromUtf8("お気に入り"));
  ASSERT_EQ(f.TabSet1->count(), 10);
  EXPECT_EQ(f.TabSet1->tabText(0), QString::fromUtf8("定義1"));
  EXPECT_EQ(f.TabSet1->tabText(9), QString::fromUtf8("定義10"));
  EXPECT_EQ(f.AnimeTimer1->interval(), 500);
  EXPECT_EQ(f.Panel1->height(), 60);
  // 177 pixels, or as much as the three tabs need.
  EXPECT_EQ(f.PageControl1->width(), std::max(177, f.PageControl1->tabBar()->sizeHint().width() + 8));
  EXPECT_EQ(f.ActiveEditor, f.Memo1);
}

TEST_F(MainFormTest, StatusBarHasFourPanelsAndStartsInInsertMode) {
  TMainForm& f = Make();
  struct {
    int width;
    Qt::Alignment align;
  } const expected[] = {{150, Qt::AlignRight}, {35, Qt::AlignHCenter}, {35, Qt::AlignHCenter}, {50, Qt::AlignLeft}};
  for (int i = 0; i < 4; ++i) {
    auto* panel = f.findChild<QLabel*>(QStringLiteral("StatusPanel%1").arg(i));
    ASSERT_NE(panel, nullptr);
    EXPECT_TRUE(panel->alignment() & expected[i].align) << i;
    EXPECT_GE(panel->width(), expected[i].width) << i;
    if (i < 3) {
      EXPECT_EQ(panel->width(), expected[i].width) << i;
    }
  }
  EXPECT_EQ(f.StatusText(1), QString::fromUtf8("挿入"));
  EXPECT_EQ(f.StatusText(2), QString());
}

TEST_F(MainFormTest, ActionsCarryTheTablesCaptionsKeysAndHints) {
  TMainForm& f = Make();
  struct {
    const char* name;
    const char* caption;
    const char* key;
    const char* hint;
  } const rows[] = {
      {"Open1", "開く(&O)...", "Ctrl+O", "既存の文書を開きます。"},
      {"NewWin1", "新しいウィンドウ(&W)...", "Ctrl+Shift+N", "新しくウィンドウを開きます。"},
      {"OverWrite1", "上書き(&O)", "Ins", "上書きモードと挿入モードを切り替えます。"},
      {"FindPrev1", "前を検索(&P)", "Shift+F3", "前を検索します。"},
      {"SupportViewList1", "リスト表示", "Ctrl+Shift+L", ""},
      {"Win1", "", "F2", ""},
  };
  for (const auto& r : rows) {
    QAction* a = f.Action(r.name);
    ASSERT_NE(a, nullptr) << r.name;
    EXPECT_EQ(a->text(), QString::fromUtf8(r.caption)) << r.name;
    EXPECT_EQ(a->shortcut(), QKeySequence(QString::fromLatin1(r.key))) << r.name;
    EXPECT_EQ(a->statusTip(), QString::fromUtf8(r.hint)) << r.name;
  }
  EXPECT_TRUE(f.Action("HistView1")->isChecked());
  EXPECT_FALSE(f.Action("ViewLine1")->isChecked());
  EXPECT_FALSE(f.Action("His0")->isVisible());  // captions come at run time
  EXPECT_EQ(f.Submenu("Convert1")->menuAction()->statusTip(), QString::fromUtf8("選択されている文字列を変換します。"));
}

TEST_F(MainFormTest, MenusFollowTheTableAndHiddenItemsAreInNoMenu) {
  TMainForm& f = Make();
  const QList<QAction*> bar = f.menuBar()->actions();
  ASSERT_EQ(bar.size(), 7);
  EXPECT_EQ(bar[0]->text(), QString::fromUtf8("ファイル(&F)"));
  EXPECT_EQ(bar[4]->text(), QString::fromUtf8("実行(&X)"));
  EXPECT_EQ(bar[6]->text(), QString::fromUtf8("ヘルプ(&H)"));
  const QList<QAction*> edit = f.Menu(TMenu::Edit)->actions();
  EXPECT_TRUE(edit.contains(f.Action("Undo1")));
  for (const char* hidden : {"SupportInput1", "SupportCopy1", "SupportAddList1", "SupportViewList1"}) {
    EXPECT_FALSE(edit.contains(f.Action(hidden))) << hidden;
  }
  EXPECT_FALSE(f.Menu(TMenu::Window)->actions().contains(f.Action("ArrangeWin1")));
  EXPECT_TRUE(f.Submenu("H1")->actions().contains(f.Action("ClearHistory1")));
  EXPECT_TRUE(f.Submenu("Convert1")->actions().contains(f.Action("Zen1")));
}

TEST_F(MainFormTest, EveryCommandHasAHandlerAndABoundOneRuns) {
  TMainForm& f = Make();
  // A command without a handler would stay disabled for good.
  for (const TCommandInfo& c : CommandTable()) {
    if (c.flags & cfSubmenu) continue;
    EXPECT_TRUE(f.IsBound(c.name)) << c.name;
  }
  int runs = 0;
  f.Bind("Tracer1", [&] { ++runs; });
  EXPECT_TRUE(f.Action("Tracer1")->isEnabled());
  f.Bind("ExecuteFile1", [&] { ++runs; });
  EXPECT_FALSE(f.Action("ExecuteFile1")->isEnabled());  // disabled until the selection enables it
  f.Action("Tracer1")->trigger();
  EXPECT_EQ(runs, 1);
}

TEST_F(MainFormTest, KeysRunTheMenusOpeningHandlersFirstAndDisabledKeysDoNothing) {
  TMainForm& f = Make();
  f.activateWindow();
  std::vector<std::string> order;
  f.AddMenuHook(TMenu::Edit, [&] {
    order.push_back("hook");
    f.Action("SupportInput1")->setEnabled(order.size() < 2);
  });
  f.Bind("SupportInput1", [&] { order.push_back("command"); });
  // A hidden item's key works although it is in no menu.
  QTest::keyClick(f.Memo1, Qt::Key_V, Qt::ControlModifier | Qt::ShiftModifier);
  EXPECT_EQ(order, (std::vector<std::string>{"hook", "command"}));
  // The opening handler disables it: the key runs the handler only.
  EXPECT_FALSE(f.RunCommand("SupportInput1"));
  EXPECT_EQ(order, (std::vector<std::string>{"hook", "command", "hook"}));
}

TEST_F(MainFormTest, AFailingCommandShowsItsMessageAndTheWindowGoesOn) {
  TMainForm& f = Make();
  f.Bind("Find1", [] { throw std::runtime_error("bad \x82\xa0"); });  // あ
  prompts.Expect(TScriptedPrompts::TKind::Error);
  EXPECT_TRUE(f.RunCommand("Find1"));
  EXPECT_EQ(prompts.Last().text, QString::fromUtf8("bad あ"));
}

TEST_F(MainFormTest, TheHoveredItemsHintGoesToPanel3) {
  TMainForm& f = Make();
  f.SetStatusText(3, QStringLiteral("old"));
  f.Action("Save1")->showStatusText(f.ToolBar1);
  EXPECT_EQ(f.StatusText(3), QString::fromUtf8("現在の文書を保存します。"));
  QStatusTipEvent leave{QString()};
  QCoreApplication::sendEvent(&f, &leave);
  EXPECT_EQ(f.StatusText(3), QString());
  EXPECT_EQ(f.StatusText(1), QString::fromUtf8("挿入"));  // the other panels stay
}

TEST_F(MainFormTest, ContextMenuSharesTheCommandsInItsOwnOrder) {
  TMainForm& f = Make();
  QStringList texts;
  for (QAction* a : f.PopupMenu1->actions()) texts << (a->isSeparator() ? QStringLiteral("-") : a->text());
  EXPECT_EQ(texts.join(QLatin1Char('|')),
            QString::fromUtf8("元に戻す(&U)|やり直す(&R)|-|切り取り(&T)|コピー(&C)|貼り付け(&P)|削除(&L)|-|"
                              "全て選択(&A)\tCtrl+A|-|選択文字列をファイルとして起動(&F)|選択文字列で起動(&E)|"
                              "Tracer起動(&G)|-|変換(&V)"));
  EXPECT_TRUE(f.PopupMenu1->actions().contains(f.Action("Cut1")));
  QAction* twin = f.PopupMenu1->findChild<QAction*>(QStringLiteral("SelectAll2"));
  ASSERT_NE(twin, nullptr);
  EXPECT_TRUE(twin->isEnabled());  // as its main-menu twin
  f.Action("SelectAll1")->setEnabled(false);
  EXPECT_FALSE(twin->isEnabled());
  f.Action("SelectAll1")->setEnabled(true);
  EXPECT_TRUE(twin->isEnabled());
  int runs = 0;
  f.Bind("SelectAll1", [&] { ++runs; });
  twin->trigger();
  EXPECT_EQ(runs, 1);
}

TEST_F(MainFormTest, AboutShowsTheBoxThroughThePrompts) {
  TMainForm& f = Make();
  QString caption;
  prompts.Dialog([&](QDialog& box) {
    caption = box.windowTitle();
    return QDialog::Accepted;
  });
  EXPECT_TRUE(f.RunCommand("About1"));
  EXPECT_EQ(caption, QString::fromUtf8("Yomikakiのバージョン情報"));
}

TEST_F(MainFormTest, ToolBarShowsTheCommandsWithTheirButtonTexts) {
  TMainForm& f = Make();
  const QList<QAction*> buttons = f.ToolBar1->actions();
  EXPECT_TRUE(buttons.contains(f.Action("SaveList1")));
  EXPECT_FALSE(buttons.contains(f.Action("AddHistory1")));  // hidden button
  EXPECT_EQ(f.Action("SaveList1")->toolTip(), QString::fromUtf8("折り返して上書き保存"));
  EXPECT_EQ(f.Action("StyleOption1")->toolTip(), QString::fromUtf8("スタイルの設定"));
  EXPECT_EQ(f.Action("Open1")->iconText(), QString::fromUtf8("開く"));
  EXPECT_EQ(f.ComboBox1->width(), 113);
}

}  // namespace
}  // namespace yk::test
