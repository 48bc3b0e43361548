// Starting the main window: the command line's forms and their jumps, the
// hand-over to a window that already shows the file, and the settings file
// read at start and written at close.
#include <QAction>
#include <QComboBox>
#include <QGuiApplication>
#include <QScreen>
#include "controls/fi_list_box.h"
#include <QTabBar>
#include <QTabWidget>
#include <QTest>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>

#include <filesystem>

#include "fake_bus.h"
#include "form_fixture.h"
#include "props/settings_file.h"
#include "shell/tools.h"

namespace yk::test {
namespace {

using namespace std::string_literals;

using StartTest = FormTest;

// Thirty lines "line 1" ... "line 30".
std::string Lines30() {
  std::string text;
  for (int i = 1; i <= 30; ++i) text += "line " + std::to_string(i) + "\r\n";
  return text;
}

TEST_F(StartTest, EachCommandLineFormOpensAndJumps) {
  const std::string a = File("a.txt", Lines30());
  const std::string b = File("b.txt", "b\r\n");
  struct {
    std::vector<std::string> args;
    std::string file;  // FileName after start
    int line;          // caret's logical line (0-based)
    int col;
    int selected;
  } const cases[] = {
      {{}, kUntitled, 0, 0, 0},
      {{a, b}, a, 0, 0, 0},
      {{"/L", "10", a}, a, 9, 0, 0},
      {{"/j", "10", "/C", "3", a}, a, 9, 3, 0},
      {{"/l", "10", "/c", "3", "/s", "2", a}, a, 9, 5, 2},  // the caret ends the selection
      {{"/x", "10", a}, kUntitled, 0, 0, 0},               // not a jump: ignored
      {{"/l", "ten", a}, a, 0, 0, 0},                      // a bad line drops the jump
      {{"/l", "10", "/c", "3x", a}, a, 9, 0, 0},           // a bad column drops the column
      {{"/l", "10", "/c", "3", "/s", "-", a}, a, 9, 3, 0},  // a bad length drops the selection
      {{"/l", "999", a}, a, 29, 0, 0},                     // past the end: the last line
      {{"--", "/l", "10", a}, kUntitled, 0, 0, 0},          // after "--" no switch
  };
  for (const auto& c : cases) {
    Make(c.args);
    const std::string where = c.args.empty() ? "none" : c.args[0] + " " + std::to_string(c.args.size());
    EXPECT_EQ(form->FileName, c.file) << where;
    EXPECT_EQ(Doc().RowsToLines(Doc().Row()), c.line) << where;
    EXPECT_EQ(Doc().Col(), c.col) << where;
    EXPECT_EQ(Doc().SelLength(), c.selected) << where;
    EXPECT_FALSE(Doc().Modified()) << where;
    EXPECT_EQ(form->JumpColumn, -1) << where;
  }
}

TEST_F(StartTest, AFileNamedLikeASwitchAndManyArgumentsOpenSafely) {
  // "/l 10 /c a.txt": four arguments, so the third is the file "/c" (not
  // there: a new document of that name).
  Make({"/l", "10", "/c", File("a.txt", "a")});
  EXPECT_EQ(form->FileName, "/c");
  EXPECT_EQ(Doc().Lines().GetCount(), 0);

  std::vector<std::string> many{"/l", "1", File("m.txt", "m\r\n")};
  for (int i = 0; i < 997; ++i) many.push_back(std::string("\xff\x82 junk ") + std::to_string(i));
  Make(many);
  EXPECT_EQ(form->FileName, many[2]);

  // A relative name is taken against the current folder and cleaned.
  const auto cwd = std::filesystem::current_path();
  std::filesystem::current_path(dir.Path());
  Make({"./sub/../m.txt"});
  std::filesystem::current_path(cwd);
  EXPECT_EQ(form->FileName, dir.File("m.txt"));
}

TEST_F(StartTest, AFileOpenElsewhereIsHandedOverAndNothingIsWritten) {
  const std::string a = File("a.txt", Lines30());
  Make();
  form->close();  // a settings file as a running program leaves it
  const std::string settings = Slurp(SettingsFile());
  TFakeBusState bus;
  bus.peers = {Peer("other", a + " * - Yomikaki")};
  env.make_bus = [&bus] { return std::make_unique<TFakeBus>(bus); };
  Make({"/l", "120", "/c", "4", "/s", "6", dir.Path() + "//./a.txt"}, false);
  EXPECT_TRUE(form->HandedOver);
  // UM_SETLINE, UM_GOTOLINE, UM_SETSELLENGTH, UM_SETCOLUMN in this order.
  EXPECT_EQ(bus.sent, (std::vector<std::string>{"other restore", "other activate", "other SETLINE 120",
                                                "other GOTOLINE 0", "other SETSELLENGTH 6", "other SETCOLUMN 4"}));
  form->show();  // closes itself at once
  QTimer::singleShot(0, [] {});
  QCoreApplication::processEvents();
  QCoreApplication::processEvents();
  EXPECT_FALSE(form->isVisible());
  EXPECT_EQ(Slurp(SettingsFile()), settings);

  bus.sent.clear();
  Make({a}, false);
  EXPECT_EQ(bus.sent, (std::vector<std::string>{"other restore", "other activate"}));
}

TEST_F(StartTest, WithoutSettingsTheDefaultsHoldAndTheFileIsWrittenAtClose) {
  // The settings file's usual place, moved by XDG_CONFIG_HOME.
  const QByteArray old = qgetenv("XDG_CONFIG_HOME");
  qputenv("XDG_CONFIG_HOME", QByteArray::fromStdString(dir.File("config")));
  env.settings_path = "";
  env.prompts = &prompts;
  form = std::make_unique<TMainForm>(env);
  form->show();
  const std::string file = dir.File("config/yomikaki/Yomikaki.ini");
  EXPECT_EQ(form->SettingsPath, file);
  const TBasicSettings defaults = DefaultBasicSettings();
  EXPECT_TRUE(form->Settings.sizePosSave);
  EXPECT_EQ(form->Settings.dayTimeFormat, "yy_m_d-h_n_(aaa)");
  EXPECT_TRUE(form->Settings.deleteHistory);
  EXPECT_TRUE(form->Settings.logicalLineNumbers);
  EXPECT_EQ(form->Settings.toolNames, defaults.toolNames);
  EXPECT_EQ(form->Settings.toolPaths[0], FindCalculator(qgetenv("PATH").toStdString()));
  EXPECT_TRUE(form->AnimeTimer1->isActive());
  EXPECT_TRUE(form->ListPanelVisible() && form->ToolBarVisible() && form->StatusBarVisible() &&
              form->StyleTabVisible());
  EXPECT_EQ(form->RecentLines, std::vector<std::string>(21, "0"));
  EXPECT_EQ(form->RecentStyles, std::vector<std::string>(21, "-1"));
  EXPECT_TRUE(form->close());
  qputenv("XDG_CONFIG_HOME", old);

  const TIniText ini(Slurp(file));
  struct {
    const char* section;
    const char* key;
    const char* value;
  } const written[] = {
      {"Win", "SizePosSave", "1"}, {"Pos", "HistPanelHeight", "60"},
      {"Memo", "DayTimeMode", "0"}, {"Memo", "DayTimeFormat", "yy_m_d-h_n_(aaa)"}, {"Memo", "IMEmode", "0"},
      {"Memo", "DeleteHistory", "1"}, {"Memo", "UserHeader", "0"}, {"Window", "StatusBar", "1"},
      {"Window", "StyleTab", "1"}, {"Window", "ToolBar", "1"}, {"Window", "History", "1"},
      {"Memo", "LineNumber", "0"}, {"Find", "Value", ""}, {"RecentFilesLine", "line_ItemCount", "21"},
  };
  for (const auto& w : written) EXPECT_EQ(ini.Read(w.section, w.key).value_or("<none>"), w.value) << w.key;
  EXPECT_TRUE(ini.Read("Pos", "Width").has_value());
  // The list tabs' width: 177 pixels, or more where the three tabs need it.
  EXPECT_GE(std::stoi(ini.Read("Pos", "PageTabWidth").value_or("0")), 177);
  // Only the general settings dialog writes these.
  for (const char* key : {"LineNumberFlag", "IconAnime", "ExeName1", "Tab", "Tab0", "Ext0"}) {
    for (const char* section : {"Memo", "Window", "Tool", "Char", "TabName", "StyleExt"}) {
      EXPECT_FALSE(ini.Read(section, key).has_value()) << section << "/" << key;
    }
  }
}

// At the first start the window is wide enough for the whole tool bar
// (nothing behind its overflow button) and for all three list tabs.
TEST_F(StartTest, AtTheFirstStartTheToolBarAndTheListTabsFit) {
  TMainForm& f = Make();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&f));
  QCoreApplication::processEvents();
  // Where the screen is narrower than the tool bar, as wide as it allows.
  const int room = QGuiApplication::primaryScreen()->availableGeometry().width() - 16;
  if (f.ToolBar1->sizeHint().width() <= room) {
    const auto* overflow = f.ToolBar1->findChild<QToolButton*>(QStringLiteral("qt_toolbar_ext_button"));
    EXPECT_TRUE(overflow == nullptr || !overflow->isVisible()) << f.width();
  } else {
    EXPECT_EQ(f.width(), room);
  }
  const QTabBar* tabs = f.PageControl1->tabBar();
  for (int i = 0; i < tabs->count(); ++i)
    EXPECT_TRUE(tabs->rect().contains(tabs->tabRect(i))) << tabs->tabText(i).toStdString() << " " << tabs->width();
}

TEST_F(StartTest, StoredValuesAreReadAppliedAndWrittenBack) {
  Spit(SettingsFile(),
       "[Win]\r\nSizePosSave=1\r\n[Pos]\r\nTop=40\r\nLeft=30\r\nWidth=500\r\nHeight=400\r\nHistPanelHeight=90\r\n"
       "PageTabWidth=150\r\n[Memo]\r\nDayTimeMode=1\r\nDayTimeFormat=yyyy\r\nDeleteHistory=0\r\nUserHeader=1\r\n"
       "LineNumber=1\r\nLineNumberFlag=0\r\n[Window]\r\nToolBar=0\r\nStyleTab=0\r\nStatusBar=0\r\nHistory=0\r\n"
       "IconAnime=0\r\n[Find]\r\nValue=\x82\xa0\r\n[Tool]\r\nExeName2=ed\r\nExePath2=/bin/ed\r\nTracerExt=*.c\r\n"
       "[Char]\r\nTab=1\r\nSpace=2\r\n[TabName]\r\nTab3=\x93\xfa\r\nDic3=/d.csv\r\n[StyleExt]\r\nExt3=c h\r\n"
       "[Hist]\r\nlist_ItemCount=2\r\nlist_Item0=one\r\nlist_Item1=two\r\n"
       "[RecentFiles]\r\nfile_ItemCount=1\r\nfile_Item0=/r.txt\r\n[Favorites]\r\nlist_ItemCount=1\r\nlist_Item0=/f.txt\r\n");
  TMainForm& f = Make();
  const TBasicSettings& s = f.Settings;
  EXPECT_EQ(f.size(), QSize(500, 400));
  EXPECT_TRUE(s.customDayTime);
  EXPECT_EQ(s.dayTimeFormat, "yyyy");
  EXPECT_FALSE(s.deleteHistory);
  EXPECT_TRUE(s.userHeader);
  EXPECT_TRUE(f.LineNumber && f.Action("ViewLine1")->isChecked());
  EXPECT_FALSE(s.logicalLineNumbers);
  EXPECT_FALSE(f.AnimeTimer1->isActive());
  EXPECT_TRUE(f.ToolBar1->isHidden() && !f.Action("Tool1")->isChecked());
  EXPECT_TRUE(f.TabSet1->isHidden() && !f.Action("StyleTab1")->isChecked());
  EXPECT_FALSE(f.StatusBarVisible() || f.Action("Status1")->isChecked());
  EXPECT_FALSE(f.ListPanelVisible() || f.Action("HistView1")->isChecked());
  EXPECT_EQ(f.ComboBox1->currentText(), QString::fromUtf8("あ"));
  EXPECT_EQ(f.ComboBox1->count(), 2);
  EXPECT_EQ(s.toolNames[1], "ed");
  EXPECT_EQ(s.toolPaths[1], "/bin/ed");
  EXPECT_EQ(s.tracerExt, "*.c");
  EXPECT_EQ(s.tabMark, 1);
  EXPECT_EQ(s.spaceMark, 2);
  EXPECT_EQ(f.TabSet1->tabText(3), QString::fromUtf8("日"));
  EXPECT_EQ(s.dicFiles[3], "/d.csv");
  EXPECT_EQ(s.styleExts[3], "c h");
  EXPECT_EQ(f.FIListBox2->count(), 1);
  EXPECT_EQ(f.FIListBox3->Item(0), "/f.txt");
  EXPECT_EQ(f.FIListBox3->DisplayText(0), QStringLiteral("f.txt"));
  f.SetListPanelVisible(true);
  EXPECT_EQ(f.Panel1->height(), 90);
  f.SetListPanelVisible(false);

  f.close();
  EXPECT_EQ(Value("Pos", "HistPanelHeight"), "90");
  EXPECT_EQ(Value("Pos", "PageTabWidth"), "150");
  EXPECT_EQ(Value("Window", "History"), "0");
  EXPECT_EQ(Value("Window", "ToolBar"), "0");
  EXPECT_EQ(Value("Pos", "Width"), "500");
  EXPECT_EQ(Value("Find", "Value"), "\x82\xa0");
}

TEST_F(StartTest, TheListPanelStartsWithItsStoredSizes) {
  Spit(SettingsFile(), "[Pos]\r\nHistPanelHeight=90\r\nPageTabWidth=150\r\n");
  Make();
  EXPECT_EQ(form->Panel1->height(), 90);
  EXPECT_EQ(form->PageControl1->width(), 150);
  form->close();
  EXPECT_EQ(Value("Pos", "HistPanelHeight"), "90");
}

TEST_F(StartTest, WithSizePosSaveOffTheBoundsAreNeitherReadNorWritten) {
  Spit(SettingsFile(), "[Win]\r\nSizePosSave=0\r\n[Pos]\r\nTop=11\r\nLeft=22\r\nWidth=333\r\nHeight=244\r\n");
  Make();
  EXPECT_NE(form->size(), QSize(333, 244));
  form->resize(456, 345);
  form->close();
  for (const auto& [key, value] : {std::pair{"Top", "11"}, {"Left", "22"}, {"Width", "333"}, {"Height", "244"}}) {
    EXPECT_EQ(Value("Pos", key), value) << key;
  }
  EXPECT_EQ(Value("Win", "SizePosSave"), "0");
}

TEST_F(StartTest, AGarbageSettingsFileGivesDefaultsForTheBadKeys) {
  const std::string junk =
      "\x00\xff garbage\r\n[Win]\r\nSizePosSave=yes\r\n[Pos]\r\nTop=99999999999\r\nLeft=-2147483648\r\n"
      "Width=-5\r\nHeight=2147483647\r\nHistPanelHeight=2147483647\r\nPageTabWidth=x\r\n[Memo]\r\n"
      "DeleteHistory=\r\nDayTimeFormat=\x82\r\n[Char]\r\nTab=7\r\nSpace=-1\r\n[TabName]\r\nTab0=\xff\xfe\x82\r\n"
      "[RecentFiles]\r\nfile_ItemCount=2000000000\r\nfile_Item5=/x\r\n[Hist]\r\nlist_ItemCount=-3\r\n"
      "[EditProp0]\r\nprop_c=999999\r\nprop_d0=ZZZZ\r\n[Window]\r\nHistory=1.5\r\n"s;
  Spit(SettingsFile(), junk);
  TMainForm& f = Make();
  EXPECT_TRUE(f.Settings.sizePosSave);
  EXPECT_TRUE(f.Settings.deleteHistory);
  EXPECT_EQ(f.Settings.dayTimeFormat, "\x82");  // a string is taken as it is
  EXPECT_EQ(f.Settings.tabMark, 0);
  EXPECT_EQ(f.Settings.spaceMark, 0);
  EXPECT_GE(f.width(), 200);
  EXPECT_LE(f.height(), 1 << 14);
  EXPECT_TRUE(f.ListPanelVisible());
  EXPECT_LE(f.FIListBox2->count(), 2);  // no more entries than the section has keys
  EXPECT_TRUE(Doc().WordWrap());  // style 0 unreadable: the initial style
  f.SetTabCaption(0, f.Settings.tabNames[0]);
  EXPECT_TRUE(f.close());
  EXPECT_EQ(Value("Win", "SizePosSave"), "1");
}

TEST_F(StartTest, WriteSettingsWritesTheDialogsValues) {
  TMainForm& f = Make();
  f.Settings.logicalLineNumbers = false;
  f.Settings.iconAnime = false;
  f.Settings.toolPaths[2] = "/usr/bin/tool";
  f.Settings.tabMark = 2;
  f.SetTabCaption(9, "\x82\xa0");  // あ
  f.Settings.styleExts[9] = "md";
  f.WriteSettings();
  EXPECT_EQ(Value("Memo", "LineNumberFlag"), "0");
  EXPECT_EQ(Value("Window", "IconAnime"), "0");
  EXPECT_EQ(Value("Tool", "ExePath3"), "/usr/bin/tool");
  EXPECT_EQ(Value("Tool", "ExeName1"), "\x93\x64\x91\xec\x82\xf0\x8b\x4e\x93\xae");  // 電卓を起動
  EXPECT_EQ(Value("Char", "Tab"), "2");
  EXPECT_EQ(Value("TabName", "Tab9"), "\x82\xa0");
  EXPECT_EQ(Value("TabName", "Tab0"), "\x92\xe8\x8b\x60" "1");  // 定義1
  EXPECT_EQ(Value("StyleExt", "Ext9"), "md");
  EXPECT_EQ(Value("Pos", "Width"), "<none>");  // not a dialog value
}

TEST_F(StartTest, ASettingsFileTooLargeToReadIsToldInJapanese) {
  Spit(SettingsFile(), "");
  std::filesystem::resize_file(SettingsFile(), kMaxSettingsFileSize + 1);  // sparse
  const std::string doc = File("a.txt", "a");
  prompts.Expect(TKind::Error);  // the recent list, at the start
  Make({doc});
  prompts.Expect(TKind::Error);  // the window's settings, at the close
  EXPECT_TRUE(form->close());
  const QString tooLarge = QString::fromUtf8("ファイルが大きすぎます。");
  EXPECT_EQ(prompts.Asked()[0].text, QString::fromUtf8("設定ファイルの履歴を更新できませんでした。\r") + tooLarge);
  EXPECT_EQ(prompts.Asked()[1].text, QString::fromUtf8("設定を保存できませんでした。\r") + tooLarge);
}

TEST_F(StartTest, ASettingsFileThatCannotBeWrittenIsReportedAndTheWindowCloses) {
  Spit(dir.File("plain"), "not a folder");
  env.settings_path = dir.File("plain/Yomikaki.ini");
  Make();
  prompts.Expect(TKind::Error);
  EXPECT_TRUE(form->close());
  EXPECT_TRUE(prompts.Last().text.startsWith(QString::fromUtf8("設定を保存できませんでした。")));
}

}  // namespace
}  // namespace yk::test
