// Input support in the window: dictionary hints over reserved words, the
// four hidden commands, the word list shared through the settings file and
// picked from the word-list window, and dictionaries that cannot be read.
#include <QAction>
#include <QHelpEvent>
#include <QLineEdit>
#include <QListWidget>
#include <QTest>
#include <QToolTip>

#include <filesystem>

#include "app/list_form.h"
#include "form_fixture.h"

namespace yk::test {
namespace {

class InputSupportTest : public FormTest {
 protected:
  // A window whose style 0 uses this dictionary and these reserved words,
  // showing text in Memo1.
  TMainForm& MakeWith(const std::string& dictionary, std::vector<std::string> reserved, const std::string& text) {
    TMainForm& f = Make();
    const std::string path = File("dic.csv", dictionary);
    f.Settings.dicFiles[0] = path;
    f.LoadDictionary(path);
    for (TEditorWidget* memo : {f.Memo1, f.Memo2, f.Memo3}) memo->Editor().SetReserveWordList(TReserveWordList(reserved));
    f.Memo1->Editor().SetLines({text});
    return f;
  }
  // Moves the mouse over a column of row 0 of an editor.
  void Hover(TEditorWidget* memo, int col) {
    TEditor& ed = memo->Editor();
    ed.MouseMove(0, ed.Margin().Left() + col * ed.ColWidth() + 1, ed.Margin().Top() + 1);
  }
  static QString U(const char* utf8) { return QString::fromUtf8(utf8); }
};

TEST_F(InputSupportTest, HintShowsTheTextsOfAReservedWord) {
  // A quoted field holding a comma and a doubled quote, then a plain one.
  TMainForm& f = MakeWith("word,\"say, \"\"hi\"\"\",plain\r\nother,x\r\n", {"word", "void"}, "word void x");
  Hover(f.Memo1, 1);
  EXPECT_TRUE(f.HintShown(f.Memo1));
  EXPECT_EQ(f.HintText(f.Memo1), U("word : \nsay, \"hi\"\nplain"));
  EXPECT_EQ(f.StatusText(3), U("word : say, \"hi\" plain"));
  EXPECT_EQ(f.SupportText(), "say, \"hi\"\r\nplain");
  EXPECT_TRUE(f.SupportValid());
  EXPECT_EQ(f.SupportRow(), 0);
  // Resting there shows the tip.
  QWidget* view = f.Memo1->viewport();
  QHelpEvent rest(QEvent::ToolTip, QPoint(5, 5), view->mapToGlobal(QPoint(5, 5)));
  QCoreApplication::sendEvent(view, &rest);
  EXPECT_EQ(QToolTip::text(), U("word : \nsay, \"hi\"\nplain"));
  QToolTip::hideText();
  // A reserved word the dictionary lacks, and a blank, show nothing but
  // keep the remembered texts.
  for (int col : {6, 4}) {
    Hover(f.Memo1, col);
    EXPECT_FALSE(f.HintShown(f.Memo1)) << col;
    EXPECT_EQ(f.StatusText(3), QString()) << col;
    EXPECT_EQ(f.SupportText(), "say, \"hi\"\r\nplain") << col;
  }
}

TEST_F(InputSupportTest, KeysMatchWithoutLetterCaseButOnlyForReservedWords) {
  TMainForm& f = MakeWith("WORD,big\r\nother,x\r\n", {"word"}, "word other");
  Hover(f.Memo1, 0);
  EXPECT_EQ(f.HintText(f.Memo1), U("word : \nbig"));
  // "other" is in the dictionary but not a reserved word.
  Hover(f.Memo1, 6);
  EXPECT_FALSE(f.HintShown(f.Memo1));
  EXPECT_EQ(f.SupportText(), "big");
}

TEST_F(InputSupportTest, NoHintsWithoutTheCurrentStylesDictionary) {
  TMainForm& f = MakeWith("word,big\r\n", {"word"}, "word");
  f.SetStatusText(3, U("kept"));
  // Another style without a dictionary file keeps the grid, but no hints.
  f.StyleIndex = 1;
  Hover(f.Memo1, 0);
  EXPECT_FALSE(f.HintShown(f.Memo1));
  EXPECT_EQ(f.StatusText(3), U("kept"));
  // The file gone: no hints either.
  f.StyleIndex = 0;
  std::filesystem::remove(f.Settings.dicFiles[0]);
  Hover(f.Memo1, 0);
  EXPECT_FALSE(f.HintShown(f.Memo1));
}

TEST_F(InputSupportTest, UnusableDictionariesKeepTheGridAndAreReported) {
  TMainForm& f = MakeWith("word,big\r\n", {"word"}, "word");
  struct {
    std::string name;
    std::string bytes;  // a folder when empty
    bool reported;
  } const cases[] = {
      {"folder", "", true},
      {"long.csv", "w," + std::string(kMaxDictionaryLineLength + 1, 'x') + "\r\n", true},
      {"wide.csv", std::string(kMaxDictionaryColumns + 1, ',') + "\r\n", true},
      {"empty.csv", "\r\n", false},
  };
  for (const auto& c : cases) {
    std::string path = dir.File(c.name);
    if (c.bytes.empty()) std::filesystem::create_directory(path);
    else path = File(c.name, c.bytes);
    if (c.reported) prompts.Expect(TKind::Error);
    f.LoadDictionary(path);
    EXPECT_TRUE(prompts.Done()) << c.name;
    if (c.reported && !prompts.Asked().empty()) {
      EXPECT_TRUE(prompts.Last().text.startsWith(U("辞書ファイルを読み込めません"))) << c.name;
      EXPECT_TRUE(prompts.Last().text.endsWith(Q(path))) << c.name;
    }
    ASSERT_TRUE(f.jvStringGrid1.has_value());
    EXPECT_EQ(f.jvStringGrid1->Cell(1, 0), "big") << c.name;
    // The grid belongs to no style now: no hint from it.
    Hover(f.Memo1, 0);
    EXPECT_FALSE(f.HintShown(f.Memo1)) << c.name;
  }
  // A missing file is no dictionary: nothing happens.
  f.SetStatusText(3, QString());
  f.LoadDictionary(dir.File("missing.csv"));
  EXPECT_EQ(f.StatusText(3), QString());
}

TEST_F(InputSupportTest, ADictionaryTypedIntoTheGeneralSettingsIsKeptAndOneUnreadableIsTold) {
  TMainForm& f = Make();
  const std::string typed = dir.File("folder.csv");
  std::filesystem::create_directory(typed);  // no dictionary can be read from it
  prompts.Dialog([&](QDialog& box) {
    QTest::keyClicks(box.findChild<QLineEdit*>(QStringLiteral("edtDic")), Q(typed));
    box.accept();
    return box.result();
  });
  prompts.Expect(TKind::Error);
  f.GeneralOption1Click();
  EXPECT_EQ(f.Settings.dicFiles[0], typed);
  EXPECT_EQ(Value("TabName", "Dic0"), typed);
  ASSERT_FALSE(prompts.Asked().empty());
  EXPECT_TRUE(prompts.Last().text.startsWith(U("辞書ファイルを読み込めません")));
}

TEST_F(InputSupportTest, InsertAndCopyTheLastTexts) {
  TMainForm& f = MakeWith("word,one,two\r\nnone,,\r\n", {"word", "none"}, "word ");
  TEditor& ed = f.Memo1->Editor();
  // Nothing to insert before a hint.
  EXPECT_TRUE(f.RunCommand("SupportInput1"));
  EXPECT_EQ(ed.Lines().GetTextStr(), "word \r\n");
  Hover(f.Memo1, 0);
  ed.SetSelStart(5);
  EXPECT_TRUE(f.RunCommand("SupportInput1"));
  EXPECT_EQ(ed.Lines().GetTextStr(), "word one\r\ntwo\r\n");
  // After the hint disappeared: no insertion, but the copy still works.
  Hover(f.Memo1, 20);
  EXPECT_FALSE(f.HintShown(f.Memo1));
  EXPECT_TRUE(f.RunCommand("SupportInput1"));
  EXPECT_EQ(ed.Lines().GetTextStr(), "word one\r\ntwo\r\n");
  EXPECT_TRUE(f.RunCommand("SupportCopy1"));
  EXPECT_EQ(f.Memo1->Clipboard().Text(), "one\r\ntwo");
}

TEST_F(InputSupportTest, AnEmptyTextNeverDeletesTheSelection) {
  TMainForm& f = MakeWith("none,,\r\n", {"none"}, "none");
  TEditor& ed = f.Memo1->Editor();
  Hover(f.Memo1, 0);
  ASSERT_TRUE(f.HintShown(f.Memo1));
  EXPECT_EQ(f.HintText(f.Memo1), U("none : \n"));
  ed.SelectAll();
  EXPECT_TRUE(f.RunCommand("SupportInput1"));
  EXPECT_EQ(ed.Lines().GetTextStr(), "none\r\n");
}

TEST_F(InputSupportTest, TheSplitPanesHintCounts) {
  TMainForm& f = MakeWith("word,one\r\n", {"word"}, "word ");
  f.Memo3->Editor().ShareTextWith(f.Memo1->Editor());
  Hover(f.Memo3, 0);
  ASSERT_TRUE(f.HintShown(f.Memo3));
  f.Memo1->Editor().SetSelStart(5);
  EXPECT_TRUE(f.RunCommand("SupportInput1"));
  EXPECT_EQ(f.Memo1->Editor().Lines().GetTextStr(), "word one\r\n");
}

TEST_F(InputSupportTest, WordListIsSharedByWindowsAndPicked) {
  TMainForm& f = MakeWith("word,\"a, b\",\x82\xa0\r\n", {"word"}, "word ");  // あ
  // Nothing to add before a hint.
  EXPECT_TRUE(f.RunCommand("SupportAddList1"));
  EXPECT_TRUE(LoadWordList(SettingsFile()).empty());
  Hover(f.Memo1, 0);
  EXPECT_TRUE(f.RunCommand("SupportAddList1"));

  TMainForm other(env);
  other.Memo1->Editor().SetLines({"x"});
  other.Memo1->Editor().SetSelStart(1);
  prompts.Dialog([&](QDialog& d) {
    auto& list = static_cast<TListForm&>(d);
    EXPECT_EQ(list.Items(), (std::vector<std::string>{"a, b", "\x82\xa0"}));
    EXPECT_EQ(list.size(), QSize(154, 144));
    list.show();
    EXPECT_TRUE(QTest::qWaitForWindowExposed(&list));
    list.ListBox()->setCurrentRow(1);
    QTest::keyClick(list.ListBox(), Qt::Key_Return);
    return d.result();
  });
  EXPECT_TRUE(other.RunCommand("SupportViewList1"));
  EXPECT_EQ(other.Memo1->Editor().Lines().GetTextStr(), "x\x82\xa0\r\n");
  // Escape closes without inserting; the preview never gets the list.
  prompts.Dialog([&](QDialog& d) {
    auto& list = static_cast<TListForm&>(d);
    list.show();
    EXPECT_TRUE(QTest::qWaitForWindowExposed(&list));
    list.ListBox()->setCurrentRow(0);
    QTest::keyClick(list.ListBox(), Qt::Key_Escape);
    EXPECT_FALSE(list.isVisible());
    return d.result();
  });
  EXPECT_TRUE(other.RunCommand("SupportViewList1"));
  EXPECT_EQ(other.Memo1->Editor().Lines().GetTextStr(), "x\x82\xa0\r\n");
  other.ActiveEditor = other.Memo2;
  EXPECT_TRUE(other.RunCommand("SupportViewList1"));  // no dialog asked for
}

TEST_F(InputSupportTest, HiddenCommandsHaveTheirKeys) {
  TMainForm& f = Make();
  const struct {
    const char* name;
    const char* key;
  } rows[] = {{"SupportInput1", "Ctrl+Shift+V"},
              {"SupportCopy1", "Ctrl+Shift+C"},
              {"SupportAddList1", "Ctrl+Shift+A"},
              {"SupportViewList1", "Ctrl+Shift+L"}};
  for (const auto& r : rows) {
    EXPECT_TRUE(f.IsBound(r.name)) << r.name;
    EXPECT_EQ(f.Action(r.name)->shortcut(), QKeySequence(QString::fromLatin1(r.key))) << r.name;
    EXPECT_TRUE(f.Action(r.name)->isEnabled()) << r.name;
  }
}

}  // namespace
}  // namespace yk::test
