// The main window's editing commands: the enabling rule per editor, the
// caret and insert panels, date and time, conversions, the line and bracket
// jumps, marks, the active editor and what clicks and keys in the editors do.
#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QToolBar>
#include <QTest>
#include <QUrl>

#include "app/date_locale.h"
#include "app/jump_dlg.h"
#include "dialogs/search_session.h"
#include "form_fixture.h"

namespace yk::test {
namespace {

class CommandsTest : public FormTest {
 protected:
  // The window with text in Memo1 and the caret at its start.
  TMainForm& MakeWith(const std::string& text) {
    TMainForm& f = Make();
    Doc().Lines().SetTextStr(text);
    Doc().SetRowCol(0, 0);
    Settle();
    return f;
  }
  static void Settle() { QCoreApplication::processEvents(); }
  // A left click at the top-left of an editor.
  static void Click(TEditorWidget* memo, TShiftState shift = 0) {
    memo->Editor().MouseDown(mbLeft, shift, 0, 0);
    memo->Editor().MouseUp(mbLeft, shift, 0, 0);
  }
  bool Enabled(const char* name) const { return form->Action(name)->isEnabled(); }
  // The enabled state of the commands the rule sets, as one string.
  std::string States() const {
    std::string s;
    for (const char* name : {"Cut1", "Copy1", "Paste1", "Delete1", "Undo1", "Redo1", "Upper1"})
      s += std::string(name) + (Enabled(name) ? "+ " : "- ");
    s += form->Submenu("Convert1")->menuAction()->isEnabled() ? "Convert+" : "Convert-";
    return s;
  }
  // Runs the line-jump dialog with this text in its field, answering OK.
  void JumpTo(const QString& field, bool refused = false) {
    prompts.Dialog([field](QDialog& d) {
      d.findChild<QLineEdit*>(QStringLiteral("Edit1"))->setText(field);
      return int(QDialog::Accepted);
    });
    if (refused) prompts.Expect(TKind::Error);
    EXPECT_TRUE(form->RunCommand("Jump1"));
  }
};

TEST_F(CommandsTest, EnablingFollowsTheSelectionTheEditorAndReadOnly) {
  TMainForm& f = MakeWith("abc def\r\nghi\r\n");
  QGuiApplication::clipboard()->setText(QStringLiteral("clip"));
  f.RunMenuHooks(TMenu::Edit);
  EXPECT_EQ(States(), "Cut1- Copy1- Paste1+ Delete1- Undo1- Redo1- Upper1- Convert-");

  Doc().SetSelStart(0);
  Doc().SetSelLength(3);
  EXPECT_EQ(States(), "Cut1+ Copy1+ Paste1+ Delete1+ Undo1- Redo1- Upper1+ Convert+");

  // Delete leaves the caret where it is; Undo's key must still work.
  Doc().CancelSelection();
  Doc().DeleteKey();
  EXPECT_TRUE(Enabled("Undo1"));
  EXPECT_TRUE(f.RunCommand("Undo1"));
  EXPECT_EQ(Doc().Lines().GetTextStr(), "abc def\r\nghi\r\n");
  EXPECT_TRUE(Enabled("Redo1"));

  // The read-only preview: copying only.
  f.Memo2->Editor().Lines().SetTextStr("preview");
  Click(f.Memo2);
  EXPECT_EQ(f.ActiveEditor, f.Memo2);
  f.Memo2->Editor().SelectAll();
  EXPECT_EQ(States(), "Cut1- Copy1+ Paste1- Delete1- Undo1- Redo1- Upper1- Convert-");

  // A read-only document takes no edit either, but undo stays.
  Click(f.Memo1);
  Doc().SelectAll();
  Doc().SetReadOnly(true);
  f.RunMenuHooks(TMenu::Popup);
  EXPECT_EQ(States(), "Cut1- Copy1+ Paste1- Delete1- Undo1- Redo1+ Upper1- Convert-");

  // The tool bar's buttons and the context menu are the same actions.
  for (const char* name : {"Cut1", "Copy1", "Paste1", "Undo1", "Redo1"})
    EXPECT_TRUE(f.ToolBar1->actions().contains(f.Action(name))) << name;
  for (TEditorWidget* memo : {f.Memo1, f.Memo2, f.Memo3}) EXPECT_EQ(memo->PopupMenu(), f.PopupMenu1);
}

TEST_F(CommandsTest, CaretPanelShowsRowLineColumnAndByteColumn) {
  TMainForm& f = Make();
  Doc().WrapOption().SetWrapByte(80);
  Doc().SetWordWrap(true);
  Doc().Lines().SetTextStr(std::string(100, 'a') + "\r\nb\r\n");
  Doc().SetRowCol(1, 4);
  Settle();
  EXPECT_EQ(f.StatusText(0), QString::fromUtf8("    2[1] 行:    5[85] 桁"));
  Doc().SetRowCol(2, 0);
  Settle();
  EXPECT_EQ(f.StatusText(0), QString::fromUtf8("    3[2] 行:    1[1] 桁"));
}

TEST_F(CommandsTest, TheCaretPanelGrowsToShowSixDigitLineNumbers) {
  std::string text;
  for (int i = 0; i < 300'000; ++i) text += "x\r\n";
  TMainForm& f = Make({File("long.txt", text)});
  QTest::keyClick(f.Memo1, Qt::Key_End, Qt::ControlModifier);
  Settle();
  auto* panel = f.findChild<QLabel*>(QStringLiteral("StatusPanel0"));
  ASSERT_TRUE(panel);
  const QString shown = f.StatusText(0);
  EXPECT_EQ(shown, QString::fromUtf8("300001[300001] 行:    1[1] 桁"));
  EXPECT_LE(panel->fontMetrics().horizontalAdvance(shown), panel->contentsRect().width());
}

TEST_F(CommandsTest, InsertKeyTogglesOverwriteOnBothDocumentPanes) {
  TMainForm& f = Make();
  EXPECT_EQ(f.StatusText(1), QString::fromUtf8("挿入"));
  for (const bool on : {true, false}) {
    EXPECT_TRUE(f.RunCommand("OverWrite1"));
    EXPECT_EQ(f.StatusText(1), QString::fromUtf8(on ? "上書" : "挿入"));
    EXPECT_EQ(f.Action("OverWrite1")->isChecked(), on);
    EXPECT_EQ(f.Memo1->Editor().Overwrite(), on);
    EXPECT_EQ(f.Memo3->Editor().Overwrite(), on);
    EXPECT_FALSE(f.Memo2->Editor().Overwrite());
  }
}

TEST_F(CommandsTest, DateAndTimeUseTheChosenFormatAndTheLocale) {
  env.now = [] { return TDateTime{2007, 3, 9, 14, 5, 30}; };  // a Friday
  TMainForm& f = MakeWith("");
  f.DateLocale = DateLocaleFrom(QLocale(QLocale::Japanese, QLocale::Japan));
  f.Settings.customDayTime = true;
  f.Settings.dayTimeFormat = std::string(kDefaultDayTimeFormat);
  EXPECT_TRUE(f.RunCommand("DateTime1"));
  EXPECT_EQ(Doc().Lines().GetTextStr(), "07_3_9-14_5_(\x8b\xe0)");  // 金
  Doc().Lines().SetTextStr("");
  f.Settings.customDayTime = false;  // "t yy/m/d"
  EXPECT_TRUE(f.RunCommand("DateTime1"));
  EXPECT_EQ(Doc().Lines().GetTextStr(), "14:05 07/3/9");
  // The read-only preview gets nothing.
  Click(f.Memo2);
  EXPECT_TRUE(f.RunCommand("DateTime1"));
  EXPECT_EQ(f.Memo2->Editor().Lines().GetTextStr(), "");
}

TEST(DateLocale, NamesAndSeparatorsComeFromTheLocale) {
  const TDateLocale ja = DateLocaleFrom(QLocale(QLocale::Japanese, QLocale::Japan));
  EXPECT_EQ(ja.ShortDayNames[5], "\x8b\xe0");                  // 金
  EXPECT_EQ(ja.LongDayNames[0], "\x93\xfa\x97\x6a\x93\xfa");  // 日曜日
  EXPECT_EQ(ja.DateSeparator, "/");
  EXPECT_EQ(ja.TimeSeparator, ":");
  EXPECT_EQ(FormatDateTime("c", {2007, 3, 9, 4, 5, 6}, ja).substr(0, 10), "2007/03/09");
  const TDateLocale de = DateLocaleFrom(QLocale(QLocale::German, QLocale::Germany));
  EXPECT_EQ(de.DateSeparator, ".");
  EXPECT_EQ(FormatDateTime("ddd yy/mm", {2007, 3, 9, 0, 0, 0}, de), "Fr. 07.03");
}

TEST_F(CommandsTest, ConversionsWorkByCharacterAndKeepABoxABox) {
  struct {
    const char* command;
    std::string text;
    std::string converted;
  } const cases[] = {
      {"Upper1", "ab\x83\x62\x82\x81", "AB\x83\x62\x82\x60"},      // abッａ -> ABッＡ
      {"Lower1", "AB\x83\x62\x82\x60", "ab\x83\x62\x82\x81"},      // ABッＡ -> abッａ
      {"Zen1", "a1", "\x82\x81\x82\x50"},                          // ａ１
      {"Han1", "\x82\x81\x82\x50", "a1"},
  };
  TMainForm& f = Make();
  for (const auto& c : cases) {
    Doc().Lines().SetTextStr(c.text);
    Doc().SelectAll();
    EXPECT_TRUE(f.RunCommand(c.command)) << c.command;
    EXPECT_EQ(Doc().Lines().GetTextStr(), c.converted + "\r\n") << c.command;
  }
  // A box: each row's piece goes back into its own row.
  Doc().Lines().SetTextStr("abc\r\ndef\r\nghi");
  Doc().SetSelectionMode(smBox);
  Doc().SetRowCol(0, 1);
  Doc().StartSelection();
  Doc().SetRowCol(1, 2);
  Doc().ExtendSelection();
  EXPECT_TRUE(f.RunCommand("Upper1"));
  EXPECT_EQ(Doc().Lines().GetTextStr(), "aBc\r\ndEf\r\nghi\r\n");
}

TEST_F(CommandsTest, LineJumpClampsAndRefusesWhatIsNoNumber) {
  std::string text;
  for (int i = 1; i <= 50; ++i) text += "line " + std::to_string(i) + "\r\n";
  TMainForm& f = MakeWith(text);
  struct {
    const char* field;
    int row;
  } const cases[] = {{"10", 9}, {"0", 0}, {"-5", 0}, {"\xef\xbc\x93", 2}, {"999", 49}};  // ３
  for (const auto& c : cases) {
    Doc().SetSelStart(5);
    Doc().SetSelLength(2);
    JumpTo(QString::fromUtf8(c.field));
    EXPECT_EQ(Doc().Row(), c.row) << c.field;
    EXPECT_EQ(Doc().Col(), 0) << c.field;
    EXPECT_FALSE(Doc().Selected()) << c.field;
  }
  // Not an integer: a clear message, the caret stays.
  Doc().SetRowCol(4, 2);
  JumpTo(QStringLiteral("12a"), true);
  EXPECT_EQ(prompts.Last().text, QString::fromUtf8("行番号には整数を入力してください。"));
  EXPECT_EQ(Doc().Row(), 4);
  EXPECT_EQ(Doc().Col(), 2);
  // The dialog keeps the last text; Cancel does nothing.
  EXPECT_EQ(f.JumpDlg().Text(), QStringLiteral("12a"));
  EXPECT_EQ(f.JumpDlg().windowTitle(), QString::fromUtf8("ジャンプ"));
  prompts.Dialog([](QDialog&) { return int(QDialog::Rejected); });
  EXPECT_TRUE(f.RunCommand("Jump1"));
  EXPECT_EQ(Doc().Row(), 4);
}

TEST_F(CommandsTest, BracketJumpUsesTheSearchOptions) {
  TMainForm& f = MakeWith("a(b(c)d)e\r\nx(\x81\x6a\r\n");  // x(）
  Doc().SetRowCol(0, 1);
  EXPECT_TRUE(f.RunCommand("PuncJump1"));
  EXPECT_EQ(Doc().Col(), 7);
  EXPECT_TRUE(f.RunCommand("PuncJump1"));
  EXPECT_EQ(Doc().Col(), 1);
  // "(" and "）" pair only when width does not count.
  Doc().SetRowCol(1, 1);
  EXPECT_TRUE(f.RunCommand("PuncJump1"));
  EXPECT_EQ(Doc().Col(), 1);
  f.Search->SetFlags(sfNoMatchZenkaku | sfWholeWord);
  EXPECT_TRUE(f.RunCommand("PuncJump1"));
  EXPECT_EQ(Doc().Row(), 1);
  EXPECT_EQ(Doc().Col(), 2);
  EXPECT_EQ(f.Search->Flags(), sfNoMatchZenkaku | sfWholeWord);
}

TEST_F(CommandsTest, MarksAreNewestFirstAndStepAround) {
  TMainForm& f = MakeWith(std::string(30, '\n'));
  EXPECT_FALSE(f.IsMarkedRow(0));
  for (int row : {3, 10, 20}) {
    Doc().SetRowCol(row, 0);
    EXPECT_TRUE(f.RunCommand("SetMark1"));
  }
  EXPECT_EQ(f.Marks.Rows(), (std::vector<int>{20, 10, 3}));
  EXPECT_TRUE(f.IsMarkedRow(10));
  EXPECT_FALSE(f.IsMarkedRow(11));
  for (int row : {10, 3, 20}) {
    EXPECT_TRUE(f.RunCommand("NextMark1"));
    EXPECT_EQ(Doc().Row(), row);
  }
  Doc().SetRowCol(20, 0);
  EXPECT_TRUE(f.RunCommand("SetMark1"));  // toggles it off; back to the first mark
  EXPECT_EQ(f.Marks.Rows(), (std::vector<int>{10, 3}));
  EXPECT_TRUE(f.RunCommand("PrevMark1"));
  EXPECT_EQ(Doc().Row(), 3);
  EXPECT_TRUE(f.RunCommand("ClearMark1"));
  EXPECT_FALSE(f.IsMarkedRow(3));
  Doc().SetRowCol(5, 0);
  EXPECT_TRUE(f.RunCommand("NextMark1"));  // nothing to go to
  EXPECT_EQ(Doc().Row(), 5);
}

// Marks stay with their lines as lines are put in and taken out above them
// through the keys; a mark whose line is deleted goes with it.
TEST_F(CommandsTest, MarksMoveWithTheirLines) {
  std::string text;
  for (int i = 0; i < 30; ++i) text += "line " + std::to_string(i) + "\r\n";
  TMainForm& f = MakeWith(text);
  ASSERT_TRUE(QTest::qWaitForWindowActive(&f));
  f.Memo1->setFocus();
  for (int row : {3, 10, 20}) {
    Doc().SetRowCol(row, 0);
    ASSERT_TRUE(f.RunCommand("SetMark1"));
  }
  const auto rowsOf = [&](std::initializer_list<const char*> lines) {
    std::vector<int> rows;
    for (const char* line : lines) {
      int r = 0;
      while (r < Doc().RowCount() && Doc().RowText(r) != line) ++r;
      rows.push_back(r);
    }
    return rows;
  };
  Doc().SetRowCol(2, 0);
  QTest::keyClick(f.Memo1, Qt::Key_Return);  // a line above all three
  EXPECT_EQ(f.Marks.Rows(), rowsOf({"line 20", "line 10", "line 3"}));
  Doc().SetRowCol(rowsOf({"line 9"})[0], 0);
  QTest::keyClick(f.Memo1, Qt::Key_Down, Qt::ShiftModifier);
  QTest::keyClick(f.Memo1, Qt::Key_Down, Qt::ShiftModifier);
  QTest::keyClick(f.Memo1, Qt::Key_Delete);  // lines 9 and 10 go
  EXPECT_EQ(f.Marks.Rows(), rowsOf({"line 20", "line 3"}));
  Doc().SetRowCol(0, 0);
  Doc().SetSelTextBuf("new 1\r\nnew 2\r\nnew 3\r\n");
  EXPECT_EQ(f.Marks.Rows(), rowsOf({"line 20", "line 3"}));
  EXPECT_EQ(f.Marks.Rows(), (std::vector<int>{22, 7}));
  QTest::keyClick(f.Memo1, Qt::Key_Z, Qt::ControlModifier);
  EXPECT_EQ(f.Marks.Rows(), (std::vector<int>{19, 4}));
  EXPECT_TRUE(f.IsMarkedRow(4));
}

TEST_F(CommandsTest, ClicksAndKeysChooseTheActivePaneAndTheSelectionMode) {
  TMainForm& f = MakeWith("abc\r\ndef\r\n");
  TEditor& memo3 = f.Memo3->Editor();
  memo3.MouseDown(mbLeft, ssAlt, 0, 0);
  EXPECT_EQ(f.ActiveEditor, f.Memo3);
  EXPECT_EQ(memo3.SelectionMode(), smBox);
  memo3.MouseUp(mbLeft, ssAlt, 0, 0);
  // The right button leaves a box a box for the context menu.
  memo3.MouseDown(mbRight, 0, 0, 0);
  memo3.MouseUp(mbRight, 0, 0, 0);
  EXPECT_EQ(memo3.SelectionMode(), smBox);
  // Shift with a key: a normal selection, and the wheel pages until key-up.
  Doc().KeyDown(vkRight, ssShift);
  EXPECT_EQ(f.ActiveEditor, f.Memo1);
  EXPECT_EQ(Doc().SelectionMode(), smNormal);
  EXPECT_TRUE(f.ShiftHeld);
  Doc().KeyUp(vkShift, 0);
  EXPECT_FALSE(f.ShiftHeld);
  // The caret of a pane without the focus moving (shared text, a preview
  // being loaded) does not take the commands away.
  f.Memo2->Editor().Lines().SetTextStr("x\r\ny");
  f.Memo2->Editor().SetRowCol(1, 0);
  EXPECT_EQ(f.ActiveEditor, f.Memo1);
}

TEST_F(CommandsTest, DoubleClickOpensLinksAndSelectsOtherTokens) {
  std::vector<std::string> opened;
  env.open_url = [&](const QUrl& url) {
    opened.push_back(url.toString().toStdString());
    return true;
  };
  TMainForm& f = MakeWith("see http://example.com/a here\r\nmail me@example.com\r\n");
  Doc().View().SetUrl(true);
  Doc().View().SetMail(true);
  Doc().SetRowCol(0, 8);
  Doc().DoubleClick();
  Doc().SetRowCol(1, 8);
  Doc().DoubleClick();
  EXPECT_EQ(opened, (std::vector<std::string>{"http://example.com/a", "mailto:me@example.com"}));
  EXPECT_FALSE(Doc().Selected());
  Doc().SetRowCol(0, 1);
  Doc().DoubleClick();
  EXPECT_EQ(Doc().SelText(), "see");
  EXPECT_TRUE(f.Action("Copy1")->isEnabled());
  // The hand over a link, the editor's own cursor over other text.
  Doc().SetSelLength(0);
  const auto cursorAt = [&](int row, int col) {
    Doc().SetRowCol(row, col);
    const TPoint p = Doc().GetCaretXY();
    Doc().MouseMove(0, p.x + 2, p.y + 2);
    return f.Memo1->viewport()->cursor().shape();
  };
  EXPECT_EQ(cursorAt(0, 8), Qt::PointingHandCursor);
  EXPECT_NE(cursorAt(0, 1), Qt::PointingHandCursor);
  EXPECT_EQ(cursorAt(1, 8), Qt::PointingHandCursor);
}

}  // namespace
}  // namespace yk::test

namespace yk::test {
namespace {

// The keys a user presses reach the window's copy command through its
// shortcut, since the editor leaves its own menu keys to the window.
TEST_F(CommandsTest, CtrlCCopiesTheSelectionTypedWithTheKeyboard) {
  TMainForm& f = MakeWith("\x82\xa0\x82\xa2 ABC\r\nxyz\r\n");  // あい ABC
  f.show();
  ASSERT_TRUE(QTest::qWaitForWindowActive(&f));
  f.Memo1->setFocus();
  QTest::keyClick(f.Memo1, Qt::Key_Home);
  QTest::keyClick(f.Memo1, Qt::Key_End, Qt::ShiftModifier);
  EXPECT_EQ(Doc().SelText(), "\x82\xa0\x82\xa2 ABC");
  EXPECT_TRUE(f.Action("Copy1")->isEnabled());
  QGuiApplication::clipboard()->clear();
  QTest::keyClick(f.Memo1, Qt::Key_C, Qt::ControlModifier);
  EXPECT_EQ(QGuiApplication::clipboard()->text(), QString::fromUtf8("あい ABC"));
}

}  // namespace
}  // namespace yk::test

namespace yk::test {
namespace {

// A box made from the keyboard (Alt+Shift with the arrows, since Alt with
// the mouse belongs to most window managers) stays a box through modifier
// keys alone and through the conversion keys, which change only the box;
// each conversion is one undo step that brings the box back.
TEST_F(CommandsTest, ABoxMadeWithKeysStaysABoxThroughCommandKeys) {
  TMainForm& f = MakeWith("abcd\r\nefgh\r\nijkl\r\n");
  f.show();
  ASSERT_TRUE(QTest::qWaitForWindowActive(&f));
  f.Memo1->setFocus();
  const TSelectionSpan box{0, 1, 1, 3, true};
  const auto makeBox = [&] {
    QTest::keyClick(f.Memo1, Qt::Key_Home, Qt::ControlModifier);
    QTest::keyClick(f.Memo1, Qt::Key_Right);
    const Qt::KeyboardModifiers altShift = Qt::AltModifier | Qt::ShiftModifier;
    for (Qt::Key key : {Qt::Key_Right, Qt::Key_Right, Qt::Key_Down}) QTest::keyClick(f.Memo1, key, altShift);
    // Modifier keys pressed and let go on their own change nothing.
    for (Qt::Key key : {Qt::Key_Shift, Qt::Key_Control, Qt::Key_Alt}) {
      QTest::keyPress(f.Memo1, key, key == Qt::Key_Shift ? Qt::ShiftModifier : Qt::NoModifier);
      QTest::keyRelease(f.Memo1, key);
    }
    EXPECT_EQ(Doc().SelectionSpan(), box);
  };
  const Qt::KeyboardModifiers ctrlShift = Qt::ControlModifier | Qt::ShiftModifier;
  struct {
    Qt::Key key;
    Qt::KeyboardModifiers modifiers;
    std::string before;
    std::string text;
  } const steps[] = {
      {Qt::Key_H, ctrlShift, "abcd\r\nefgh\r\nijkl\r\n",
       "a\x82\x82\x82\x83" "d\r\ne\x82\x86\x82\x87" "h\r\nijkl\r\n"},  // aｂｃd eｆｇh
      {Qt::Key_U, Qt::ControlModifier, "abcd\r\nefgh\r\nijkl\r\n", "aBCd\r\neFGh\r\nijkl\r\n"},
      {Qt::Key_U, ctrlShift, "ABCD\r\nEFGH\r\nIJKL\r\n", "AbcD\r\nEfgH\r\nIJKL\r\n"},
  };
  for (const auto& s : steps) {
    Doc().Lines().SetTextStr(s.before);
    makeBox();
    QTest::keyClick(f.Memo1, s.key, s.modifiers);
    EXPECT_EQ(Doc().Lines().GetTextStr(), s.text);
    EXPECT_EQ(Doc().SelectionMode(), smBox);
    // One undo step, which brings the box back; redo the conversion again.
    QTest::keyClick(f.Memo1, Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(Doc().Lines().GetTextStr(), s.before);
    EXPECT_EQ(Doc().SelectionSpan(), box);
    Doc().Redo();
    EXPECT_EQ(Doc().Lines().GetTextStr(), s.text);
  }
  // Shift with an arrow alone makes a normal selection again.
  makeBox();
  QTest::keyClick(f.Memo1, Qt::Key_Left, Qt::ShiftModifier);
  EXPECT_EQ(Doc().SelectionMode(), smNormal);
}

}  // namespace
}  // namespace yk::test
