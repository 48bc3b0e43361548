// The search and replace dialogs driven through their real widgets:
// histories, options, results per button and what they leave in the
// settings file.
#include "dialogs/search_dialogs.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>
#include <QtTest/QTest>

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>

#include "dialogs/qt_text.h"
#include "platform/fakes.h"
#include "props/ini_text.h"
#include "temp_dir.h"

using namespace yk;

namespace {

template <typename T>
T* Child(QWidget* w, const char* name) {
  T* c = w->findChild<T*>(QLatin1String(name));
  EXPECT_NE(c, nullptr) << name;
  return c;
}

void Click(QWidget* w, const char* name) { QTest::mouseClick(Child<QPushButton>(w, name), Qt::LeftButton); }

// Runs fill on the modal dialog once it is shown, then clicks the button.
void WhenShown(const char* button, std::function<void(QWidget*)> fill = {}) {
  QTimer::singleShot(0, [button, fill] {
    QWidget* dialog = QApplication::activeModalWidget();
    ASSERT_NE(dialog, nullptr);
    if (fill) fill(dialog);
    Click(dialog, button);
  });
}

void Type(QWidget* dialog, const char* box, const QString& text) { Child<QComboBox>(dialog, box)->setEditText(text); }

class SearchDialogTest : public ::testing::Test {
 public:
  SearchDialogTest() {
    editor.ScreenStrings().ReplaceRows(0, 0, "abc abc\r\nabc");
    editor.SetSelStart(4);
    editor.SetSelLength(3);
  }
  TSearchDialogRequest Request(std::string current = {}) { return {nullptr, ini, std::move(current), &editor, {}}; }
  TIniText Ini() { return TIniText(test::Slurp(ini)); }
  std::string Value(const char* section, const char* key) { return Ini().Read(section, key).value_or("(none)"); }

  test::TTempDir dir;
  std::string ini = dir.File("Yomikaki.ini");
  TEditor editor;
};

TEST(SearchHistory, NewestFirstWithoutDuplicates) {
  std::vector<std::string> h;
  for (const char* t : {"a", "b", "A", "a"}) AddToHistory(h, t);
  EXPECT_EQ(h, (std::vector<std::string>{"a", "A", "b"}));  // exact, case-sensitive
  h.clear();
  for (int i = 0; i < 33; ++i) AddToHistory(h, std::to_string(i));
  ASSERT_EQ(h.size(), 32u);
  EXPECT_EQ(h.front(), "32");
  EXPECT_EQ(h.back(), "1");  // the oldest went out
}

// What the settings file keeps of a search text: CP932, as every earlier
// version wrote it, wherever that gives the text back exactly; else the
// UTF-8 form behind ESC % G.
TEST(StoredText, Cp932WhereExactElseUtf8) {
  const struct {
    const char* utf8;
    std::string stored;
  } cases[] = {
      {"abc", "abc"},
      {"\xe3\x81\x82\xef\xbd\x9e", "\x82\xa0\x81\x60"},                // あ～: CP932's own tilde
      {"\xe3\x80\x9c", "\x1b%G\xe3\x80\x9c"},                          // 〜: written as ～ in CP932
      {"\xf0\x9f\x98\x80x", "\x1b%G\xf0\x9f\x98\x80x"},              // 😀x
      {"\x1b%Gabc", "\x1b%G\x1b%Gabc"},                                   // the escape itself, typed
      {"", ""},
  };
  for (const auto& c : cases) {
    const QString text = QString::fromUtf8(c.utf8);
    EXPECT_EQ(ToStoredText(text), c.stored) << c.utf8;
    EXPECT_EQ(FromStoredText(c.stored), text) << c.utf8;
  }
  EXPECT_EQ(FromStoredText("\x82\xa0"), QString::fromUtf8("\xe3\x81\x82"));  // an old entry
}

TEST_F(SearchDialogTest, CaptionsAndControls) {
  TFormSearch search;
  TFormReplace replace;
  EXPECT_EQ(search.windowTitle(), QStringLiteral("検索"));
  EXPECT_EQ(replace.windowTitle(), QStringLiteral("置換"));
  for (QWidget* form : {static_cast<QWidget*>(&search), static_cast<QWidget*>(&replace)}) {
    EXPECT_EQ(Child<QGroupBox>(form, "RadioGroup1")->title(), QStringLiteral(" 検索方向 "));
    EXPECT_EQ(Child<QRadioButton>(form, "rbBackward")->text(), QStringLiteral("↑：後方(&B)"));
    EXPECT_EQ(Child<QRadioButton>(form, "rbForward")->text(), QStringLiteral("↓：前方(&D)"));
    EXPECT_EQ(Child<QGroupBox>(form, "GroupBox1")->title(), QStringLiteral(" ｵﾌﾟｼｮﾝ "));
    EXPECT_EQ(Child<QCheckBox>(form, "chkMatchCase")->text(), QStringLiteral("大/小文字の区別(&C)"));
    EXPECT_EQ(Child<QCheckBox>(form, "chkWholeWord")->text(), QStringLiteral("単語単位で探す(&W)"));
    EXPECT_EQ(Child<QCheckBox>(form, "chkNoMatchZenkaku")->text(), QStringLiteral("全角・半角を区別しない(&Z)"));
    EXPECT_EQ(Child<QCheckBox>(form, "chkIncludeCRLF")->text(), QStringLiteral("改行・スペースを無視(&L)"));
    EXPECT_TRUE(Child<QPushButton>(form, "OKBtn")->isDefault());
    EXPECT_TRUE(Child<QPushButton>(form, "HelpBtn")->isHidden());
    EXPECT_TRUE(Child<QComboBox>(form, "ComboBox1")->isEditable());
  }
  EXPECT_EQ(Child<QPushButton>(&search, "TopBtn")->text(), QStringLiteral("先頭から検索(&S)"));
  EXPECT_EQ(Child<QPushButton>(&replace, "TopBtn")->text(), QStringLiteral("先頭から置換(&S)"));
  EXPECT_EQ(Child<QPushButton>(&replace, "AllBtn")->text(), QStringLiteral("すべて置換(&A)"));
  EXPECT_EQ(Child<QCheckBox>(&replace, "chkReplaceConfirm")->text(), QStringLiteral("置換え動作の確認(&P)"));
  EXPECT_TRUE(Child<QComboBox>(&replace, "ComboBox2")->isEditable());
  QStringList labels;
  for (const QLabel* l : replace.findChildren<QLabel*>()) labels << l->text();
  EXPECT_TRUE(labels.contains(QStringLiteral("検索する文字列(&T):")));
  EXPECT_TRUE(labels.contains(QStringLiteral("置換える文字列(&R):")));
}

// Options chosen in one dialog are what the other shows next; histories
// keep CP932 bytes in the file.
TEST_F(SearchDialogTest, OptionsAndHistoriesRoundTrip) {
  TFormSearch search;
  search.Open(Request());
  EXPECT_TRUE(Child<QRadioButton>(&search, "rbForward")->isChecked());  // the defaults
  Type(&search, "ComboBox1", QStringLiteral("あ"));
  Child<QCheckBox>(&search, "chkMatchCase")->setChecked(true);
  Child<QCheckBox>(&search, "chkNoMatchZenkaku")->setChecked(true);
  Child<QRadioButton>(&search, "rbBackward")->setChecked(true);
  Click(&search, "OKBtn");
  EXPECT_EQ(search.Closed(), TFormSearchBase::clOk);
  EXPECT_EQ(search.ResultText(), "\x82\xa0");
  EXPECT_EQ(search.ResultFlags(), sfMatchCase | sfNoMatchZenkaku);
  EXPECT_EQ(Value("Hist", "list_ItemCount"), "1");
  EXPECT_EQ(Value("Hist", "list_Item0"), "\x82\xa0");
  const char* keys[] = {"MatchCase", "WholeWord", "NoMatchZenkaku", "IncludeCRLF", "Direction"};
  std::string stored;
  for (const char* k : keys) stored += Value("Options", k);
  EXPECT_EQ(stored, "10100");

  TFormReplace replace;
  replace.Open(Request());
  EXPECT_TRUE(Child<QCheckBox>(&replace, "chkMatchCase")->isChecked());
  EXPECT_TRUE(Child<QCheckBox>(&replace, "chkNoMatchZenkaku")->isChecked());
  EXPECT_TRUE(Child<QRadioButton>(&replace, "rbBackward")->isChecked());
  // No current text: the newest history entry is offered.
  EXPECT_EQ(Child<QComboBox>(&replace, "ComboBox1")->currentText(), QStringLiteral("あ"));
  Type(&replace, "ComboBox1", QStringLiteral("abc"));
  Type(&replace, "ComboBox2", QStringLiteral("xyz"));
  Child<QCheckBox>(&replace, "chkMatchCase")->setChecked(false);
  Child<QCheckBox>(&replace, "chkIncludeCRLF")->setChecked(true);
  Child<QRadioButton>(&replace, "rbForward")->setChecked(true);
  Click(&replace, "OKBtn");
  EXPECT_EQ(replace.ResultFlags(), sfForward | sfNoMatchZenkaku | sfIncludeCRLF | sfReplace | sfReplaceConfirm);
  EXPECT_EQ(Value("Hist", "list_Item0"), "abc");
  EXPECT_EQ(Value("Hist", "list_Item1"), "\x82\xa0");
  EXPECT_EQ(Value("RepHist", "list_Item0"), "xyz");

  search.Open(Request("given"));
  EXPECT_EQ(Child<QComboBox>(&search, "ComboBox1")->currentText(), QStringLiteral("given"));
  EXPECT_EQ(Child<QComboBox>(&search, "ComboBox1")->count(), 2);
  EXPECT_TRUE(Child<QCheckBox>(&search, "chkIncludeCRLF")->isChecked());
  EXPECT_FALSE(Child<QCheckBox>(&search, "chkMatchCase")->isChecked());
  EXPECT_TRUE(Child<QRadioButton>(&search, "rbForward")->isChecked());

  // The replace dialog asks for confirmation each time and starts with an
  // empty replacement, its history still in the list.
  Child<QCheckBox>(&replace, "chkReplaceConfirm")->setChecked(false);
  replace.Open(Request());
  EXPECT_TRUE(Child<QCheckBox>(&replace, "chkReplaceConfirm")->isChecked());
  EXPECT_EQ(Child<QComboBox>(&replace, "ComboBox2")->currentText(), QString());
  EXPECT_EQ(Child<QComboBox>(&replace, "ComboBox2")->count(), 1);
}

TEST_F(SearchDialogTest, SearchDialogResults) {
  WhenShown("OKBtn", [](QWidget* d) { Type(d, "ComboBox1", "abc"); });
  TSearchDialogResult r = ShowSearchDialog(Request());
  EXPECT_TRUE(r.ok);
  EXPECT_EQ(r.text, "abc");
  EXPECT_EQ(r.flags, sfForward);
  EXPECT_EQ(editor.SelStart(), 4);  // OK leaves the editor alone
  EXPECT_EQ(editor.SelLength(), 3);

  // Cancel writes nothing.
  std::filesystem::remove(ini);
  WhenShown("CancelBtn", [](QWidget* d) { Type(d, "ComboBox1", "zzz"); });
  r = ShowSearchDialog(Request());
  EXPECT_FALSE(r.ok);
  EXPECT_FALSE(std::filesystem::exists(ini));

  // From the top with an empty box: the caret goes to the start, the options
  // are saved, and there is no search.
  WhenShown("TopBtn", [](QWidget* d) {
    Type(d, "ComboBox1", "");
    Child<QRadioButton>(d, "rbBackward")->setChecked(true);
  });
  r = ShowSearchDialog(Request());
  EXPECT_FALSE(r.ok);
  EXPECT_EQ(r.flags, sfForward);  // from the top always goes forward
  EXPECT_FALSE(editor.Selected());
  EXPECT_EQ(editor.SelStart(), 0);
  EXPECT_EQ(Value("Options", "Direction"), "0");
  EXPECT_EQ(Value("Hist", "list_ItemCount"), "(none)");
}

TEST_F(SearchDialogTest, ReplaceDialogResults) {
  struct TCase {
    const char* button;
    const char* replacement;
    bool ok;
    TSearchOptions flags;
    bool toStart;
  } cases[] = {
      {"OKBtn", "x", true, sfReplace, false},
      {"OKBtn", "", true, sfReplace, false},  // an empty replacement deletes
      {"TopBtn", "x", true, sfForward | sfReplace, true},
      {"AllBtn", "x", true, sfForward | sfReplaceAll, true},
      {"CancelBtn", "x", false, 0, false},
  };
  for (const TCase& c : cases) {
    editor.SetSelStart(4);
    editor.SetSelLength(3);
    WhenShown(c.button, [&c](QWidget* d) {
      Type(d, "ComboBox1", "abc");
      Type(d, "ComboBox2", c.replacement);
      Child<QRadioButton>(d, "rbBackward")->setChecked(true);
      Child<QCheckBox>(d, "chkReplaceConfirm")->setChecked(false);
    });
    const TSearchDialogResult r = ShowReplaceDialog(Request());
    EXPECT_EQ(r.ok, c.ok) << c.button << " " << c.replacement;
    EXPECT_EQ(r.flags, c.flags) << c.button;
    EXPECT_EQ(r.replacement, c.ok ? c.replacement : "") << c.button;
    EXPECT_EQ(editor.SelStart(), c.toStart ? 0 : 4) << c.button;
  }
}

// A search text with a line break (a selection over two lines) goes into
// the history whole: the next dialog lists it once, beside the text that
// is its first line.
TEST_F(SearchDialogTest, ATextWithALineBreakIsKeptWhole) {
  for (const char* text : {"foo", "foo\r\nbar", "foo", "foo\r\nbar"}) {
    WhenShown("OKBtn", [](QWidget*) {});
    ShowSearchDialog(Request(text));
  }
  QStringList listed;
  WhenShown("CancelBtn", [&](QWidget* d) {
    auto* box = Child<QComboBox>(d, "ComboBox1");
    for (int i = 0; i < box->count(); ++i) listed << box->itemText(i);
  });
  ShowSearchDialog(Request());
  EXPECT_EQ(listed, (QStringList{QStringLiteral("foo\r\nbar"), QStringLiteral("foo")}));
}

TEST_F(SearchDialogTest, BadOptionValuesGiveDefaults) {
  test::Spit(ini, "[Options]\r\nMatchCase=yes\r\nWholeWord=256\r\nNoMatchZenkaku=3\r\nDirection=7\r\n");
  const TSearchDialogOptions o = ReadSearchOptions(ini);
  EXPECT_EQ(o, (TSearchDialogOptions{false, false, true, false, true}));
  EXPECT_EQ(ReadSearchOptions(dir.File("missing.ini")), TSearchDialogOptions{});
}

}  // namespace
