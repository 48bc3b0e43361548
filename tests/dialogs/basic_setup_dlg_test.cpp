// The general settings dialog through its widgets: every setting through
// the dialog and the settings file, the per-style fields behind the tab
// strip, the choosers and the format test.
#include "dialogs/basic_setup_dlg.h"

#include <QApplication>
#include <QCheckBox>
#include <QGroupBox>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QTabBar>
#include <QTabWidget>
#include <QTimer>
#include <QtTest/QTest>

#include <gtest/gtest.h>

#include "dialogs/qt_text.h"
#include "props/ini_text.h"
#include "scripted_prompts.h"
#include "temp_dir.h"

using namespace yk;
using yk::test::TScriptedPrompts;

namespace {

template <typename T>
T* Child(QWidget* w, const char* name) {
  T* c = w->findChild<T*>(QLatin1String(name));
  EXPECT_NE(c, nullptr) << name;
  return c;
}

void Click(QWidget* w, const char* name) { QTest::mouseClick(Child<QPushButton>(w, name), Qt::LeftButton); }

// Every value different from the defaults.
TBasicSettings Changed() {
  TBasicSettings s;
  s.imeMode = true;
  for (int i = 0; i < kStyleCount; ++i) {
    const std::string n = std::to_string(i);
    s.tabNames[i] = "\x83\x5e\x83\x75" + n;  // タブ
    s.dicFiles[i] = "/dic/\xe8\xbe\x9e" + n + ".csv";  // 辞 in UTF-8: a native path
    s.styleExts[i] = "txt c" + n;
  }
  s.customDayTime = true;
  s.dayTimeFormat = "yyyy/mm/dd";
  s.toolNames = {"one", "two", "\x8e\x4f"};  // 三
  s.toolPaths = {"/bin/a", "/bin/b", "/bin/c"};
  s.tracerPath = "/opt/tracer";
  s.tracerExt = "*.txt *.c";
  s.sizePosSave = false;
  s.iconAnime = false;
  s.deleteHistory = false;
  s.userHeader = true;
  s.tabMark = 2;
  s.spaceMark = 1;
  s.logicalLineNumbers = false;
  return s;
}

class BasicSetupTest : public ::testing::Test {
 public:
  void SelectTab(int i) { Child<QTabBar>(&dlg, "TabSet1")->setCurrentIndex(i); }
  QString Field(const char* name) { return Child<QLineEdit>(&dlg, name)->text(); }

  TScriptedPrompts prompts;
  TBasicSetupDlg dlg{prompts};
};

TEST_F(BasicSetupTest, PagesAndInitialState) {
  EXPECT_EQ(dlg.windowTitle(), QStringLiteral("共通の設定"));
  auto* pages = Child<QTabWidget>(&dlg, "PageControl1");
  QStringList titles;
  for (int i = 0; i < pages->count(); ++i) titles << pages->tabText(i);
  EXPECT_EQ(titles, QStringList({"編集", "表示", "日付と時刻", "ツール", "ウィンドウ", "版管理", "特殊記号",
                                 "Grepの設定", "行番号"}));
  EXPECT_EQ(Child<QPushButton>(&dlg, "OKBtn")->text(), QStringLiteral("ＯＫ"));
  EXPECT_TRUE(Child<QPushButton>(&dlg, "OKBtn")->isDefault());
  EXPECT_EQ(Child<QPushButton>(&dlg, "CancelBtn")->text(), QStringLiteral("キャンセル"));
  EXPECT_EQ(Child<QRadioButton>(&dlg, "radiobtnDayFormat1")->text(), QStringLiteral("標準 \"t yy/m/d\""));
  EXPECT_EQ(Field("edtDayFormat"), QStringLiteral("yy_m_d-h_n_(aaa)"));
  for (const char* on : {"radiobtnDayFormat1", "rdbtnTab1", "rdbtnSP1", "rdbtnLogicLine"})
    EXPECT_TRUE(Child<QRadioButton>(&dlg, on)->isChecked()) << on;
  auto* tabs = Child<QTabBar>(&dlg, "TabSet1");
  ASSERT_EQ(tabs->count(), 10);
  EXPECT_EQ(tabs->tabText(9), QStringLiteral("10"));
  EXPECT_TRUE(Child<QSpinBox>(&dlg, "UpDown1")->isHidden());
  EXPECT_TRUE(Child<QLineEdit>(&dlg, "edtTabCount")->isHidden());
  const struct {
    const char* name;
    const char* caption;
  } captions[] = {{"Button5", "更新"}, {"Button6", "関連CSV..."}, {"Button1", "テスト..."}, {"Button2", "参照..."},
                  {"Button3", "参照..."}, {"Button4", "参照..."}, {"Button7", "参照..."}};
  for (const auto& c : captions) EXPECT_EQ(Child<QPushButton>(&dlg, c.name)->text(), QString::fromUtf8(c.caption));
  EXPECT_EQ(Child<QCheckBox>(&dlg, "chkWinSizePos")->text(), QStringLiteral("終了時のサイズと位置を復元する"));
  EXPECT_EQ(Child<QRadioButton>(&dlg, "rdbtnSP2")->text(), QStringLiteral("└┘"));
}

// Every setting goes through Load and Take unchanged, and through the file.
TEST_F(BasicSetupTest, EverySettingRoundTrips) {
  for (const TBasicSettings& s : {DefaultBasicSettings(), Changed()}) {
    dlg.Load(s);
    EXPECT_EQ(dlg.Take(), s);
    test::TTempDir dir;
    const std::string ini = dir.File("Yomikaki.ini");
    WriteBasicSettings(ini, s);
    EXPECT_EQ(ReadBasicSettings(ini), s);
  }
  test::TTempDir dir;
  EXPECT_EQ(ReadBasicSettings(dir.File("none.ini")), DefaultBasicSettings());
  EXPECT_EQ(DefaultBasicSettings().tabNames[9], "\x92\xe8\x8b\x60" "10");  // 定義10
}

TEST_F(BasicSetupTest, WrittenKeysAndOrder) {
  test::TTempDir dir;
  const std::string ini = dir.File("Yomikaki.ini");
  WriteBasicSettings(ini, Changed());
  const std::string text = test::Slurp(ini);
  const TIniText read(text);
  EXPECT_EQ(read.Read("Memo", "LineNumberFlag"), "0");
  EXPECT_EQ(read.Read("Char", "Tab"), "2");
  EXPECT_EQ(read.Read("StyleExt", "Ext3"), "txt c3");
  EXPECT_EQ(read.Read("Tool", "ExePath3"), "/bin/c");
  // Sections appear in the order the command writes them.
  std::size_t last = 0;
  for (const char* section : {"[Win]", "[Memo]", "[Window]", "[Tool]", "[Char]", "[TabName]", "[StyleExt]"}) {
    const std::size_t at = text.find(section);
    ASSERT_NE(at, std::string::npos) << section;
    EXPECT_GT(at + 1, last) << section;
    last = at;
  }
}

TEST_F(BasicSetupTest, OkTakesAndCancelLeavesTheSettings) {
  const TBasicSettings before = DefaultBasicSettings();
  for (const char* button : {"CancelBtn", "OKBtn"}) {
    TBasicSettings s = before;
    QTimer::singleShot(0, [button] {
      QWidget* d = QApplication::activeModalWidget();
      ASSERT_NE(d, nullptr);
      Child<QCheckBox>(d, "chkIme")->setChecked(true);
      Child<QLineEdit>(d, "Edit8")->setText(QStringLiteral("*.md"));
      Click(d, button);
    });
    const bool ok = EditBasicSettings(dlg, s);
    EXPECT_EQ(ok, button == std::string("OKBtn"));
    EXPECT_EQ(s.imeMode, ok) << button;
    EXPECT_EQ(s.tracerExt, ok ? "*.md" : "") << button;
  }
}

TEST_F(BasicSetupTest, StyleFieldsFollowTheTabStrip) {
  dlg.Load(DefaultBasicSettings());
  SelectTab(3);
  EXPECT_EQ(Field("edtTab"), QStringLiteral("定義4"));
  // Extensions are kept on every change; a caption only with "更新".
  QTest::keyClicks(Child<QLineEdit>(&dlg, "edtStyleExt"), "md txt");
  Child<QLineEdit>(&dlg, "edtTab")->setText(QStringLiteral("lost"));
  SelectTab(5);
  EXPECT_EQ(Field("edtStyleExt"), QString());
  EXPECT_EQ(Field("edtTab"), QStringLiteral("定義6"));
  Child<QLineEdit>(&dlg, "edtTab")->setText(QStringLiteral("kept"));
  Click(&dlg, "Button5");
  SelectTab(3);
  EXPECT_EQ(Field("edtStyleExt"), QStringLiteral("md txt"));
  EXPECT_EQ(Field("edtTab"), QStringLiteral("定義4"));
  const TBasicSettings s = dlg.Take();
  EXPECT_EQ(s.styleExts[3], "md txt");
  EXPECT_EQ(s.tabNames[5], "kept");
  EXPECT_EQ(s.tabNames[3], "\x92\xe8\x8b\x60" "4");  // 定義4
  // The dialog keeps its style between showings.
  dlg.Load(DefaultBasicSettings());
  EXPECT_EQ(dlg.SelectedStyle(), 3);
  EXPECT_EQ(Field("edtTab"), QStringLiteral("定義4"));
}

TEST_F(BasicSetupTest, ChoosersFillTheirFields) {
  dlg.Load(DefaultBasicSettings());
  SelectTab(3);
  // A dictionary chosen or typed is kept, per style.
  prompts.files = {QStringLiteral("/d/辞書.csv"), std::nullopt};
  Click(&dlg, "Button6");
  SelectTab(5);
  QTest::keyClicks(Child<QLineEdit>(&dlg, "edtDic"), "/typed.csv");
  Click(&dlg, "Button6");  // cancelled: nothing changes
  EXPECT_EQ(Field("edtDic"), QStringLiteral("/typed.csv"));
  SelectTab(3);
  EXPECT_EQ(Field("edtDic"), QStringLiteral("/d/辞書.csv"));
  ASSERT_EQ(prompts.calls.size(), 2u);
  EXPECT_EQ(prompts.calls[0].caption, kDicChooserTitle);
  EXPECT_EQ(prompts.calls[0].text, kDicChooserFilter);
  EXPECT_EQ(prompts.calls[0].filterIndex, 0);

  prompts.calls.clear();
  prompts.files = {QStringLiteral("/t/1"), QStringLiteral("/t/2"), QStringLiteral("/t/3"), QStringLiteral("/t/grep")};
  for (const char* button : {"Button2", "Button3", "Button4", "Button7"}) Click(&dlg, button);
  const TBasicSettings s = dlg.Take();
  EXPECT_EQ(s.dicFiles[3], "/d/\xe8\xbe\x9e\xe6\x9b\xb8.csv");  // native (UTF-8) bytes
  EXPECT_EQ(s.dicFiles[5], "/typed.csv");
  EXPECT_EQ(s.toolPaths, (std::array<std::string, 3>{"/t/1", "/t/2", "/t/3"}));
  EXPECT_EQ(s.tracerPath, "/t/grep");
  EXPECT_EQ(s.toolNames[0], DefaultBasicSettings().toolNames[0]);
  for (const auto& call : prompts.calls) {
    EXPECT_EQ(call.caption, kToolChooserTitle);
    EXPECT_EQ(call.text, kToolChooserFilter);
    EXPECT_EQ(call.filterIndex, 1);  // all files: programs here have no ".exe"
  }
}

TEST_F(BasicSetupTest, FormatTestShowsTheChosenFormat) {
  std::vector<std::string> formats;
  dlg.FormatNow = [&](std::string_view format) {
    formats.emplace_back(format);
    return std::string("07_3_9-14_5_(\x8b\xe0)");  // (金), as a fixed clock gives it
  };
  dlg.Load(DefaultBasicSettings());
  Click(&dlg, "Button1");
  Child<QRadioButton>(&dlg, "radiobtnDayFormat2")->setChecked(true);
  Click(&dlg, "Button1");
  EXPECT_EQ(formats, (std::vector<std::string>{"t yy/m/d", "yy_m_d-h_n_(aaa)"}));
  ASSERT_EQ(prompts.calls.size(), 2u);
  EXPECT_EQ(prompts.calls[1].kind, "info");
  EXPECT_EQ(prompts.calls[1].caption, QStringLiteral("フォーマットテスト"));
  EXPECT_EQ(prompts.calls[1].text, QStringLiteral("07_3_9-14_5_(金)"));
}

}  // namespace
