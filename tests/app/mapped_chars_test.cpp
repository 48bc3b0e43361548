// Documents with characters Shift-JIS lacks, through the window: they are
// editable, saved back with exactly the edits, shown as themselves by every
// edge (clipboard, search boxes and histories, preview, snapshots), and
// never written as "?" into Shift-JIS without a question.
#include <QClipboard>
#include <QComboBox>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>

#include <filesystem>

#include "form_fixture.h"
#include "platform/mapped_chars.h"
#include "shell/recovery_keeper.h"
#include "shell/version_history.h"

namespace yk::test {
namespace {

using MappedCharsTest = FormTest;

QString U(const char* utf8) { return QString::fromUtf8(utf8); }

// A character typed on the keyboard (or by a tool that sends key events).
void Type(TEditorWidget* memo, const char* utf8) {
  QKeyEvent key(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, U(utf8));
  QCoreApplication::sendEvent(memo, &key);
}

// 😀é한𠮷〜～: an emoji, a Latin letter, Hangul, a kanji beyond the BMP, and
// both tildes, which Shift-JIS writes alike.
const char kForeign[] = "\xf0\x9f\x98\x80\xc3\xa9\xed\x95\x9c\xf0\xa0\xae\xb7\xe3\x80\x9c\xef\xbd\x9e";

TEST_F(MappedCharsTest, AUtf8FileIsEditableAndSavedBackWithTheEdits) {
  const std::string bytes = std::string("a") + kForeign + "\nb\n";
  const std::string path = File("foreign.txt", bytes);
  TMainForm& form = Make({path});
  EXPECT_FALSE(Doc().ReadOnly());
  EXPECT_EQ(form.Memo1->ToText(Doc().Lines().Get(0)), U("a") + U(kForeign));
  EXPECT_EQ(Doc().Lines().Get(0).size(), 13u);  // a and six two-byte characters
  Doc().SetRowCol(0, 0);
  Type(form.Memo1, "\xc3\xbc");          // ü
  Type(form.Memo1, "\xf0\x9f\x98\x80");  // 😀, the same code as the file's
  EXPECT_EQ(Doc().Lines().Get(0).substr(2, 2), Doc().Lines().Get(0).substr(5, 2));
  EXPECT_TRUE(form.RunCommand("Save1"));
  EXPECT_EQ(Slurp(path), "\xc3\xbc\xf0\x9f\x98\x80" + bytes);
  // Undone, the file's characters come back as they were.
  Doc().Undo();
  Doc().Undo();
  EXPECT_TRUE(form.RunCommand("Save1"));
  EXPECT_EQ(Slurp(path), bytes);
}

TEST_F(MappedCharsTest, ShiftJisGetsNoQuestionMarkUnaskedAndUtf8IsOffered) {
  const std::string path = File("sjis.txt", "\x82\xa0\r\n");  // あ
  TMainForm& form = Make({path});
  Doc().SetRowCol(0, 0);
  Type(form.Memo1, "\xf0\x9f\x98\x80");
  EXPECT_EQ(form.Memo1->ToText(Doc().Lines().Get(0)), U("\xf0\x9f\x98\x80\xe3\x81\x82"));
  // Cancel: nothing written (the save falls back to Save As, cancelled too).
  prompts.Answer(kCancel);
  prompts.SaveFile(std::nullopt);
  form.RunCommand("Save1");
  EXPECT_TRUE(Slurp(path) == "\x82\xa0\r\n");
  // No: written as "?", the character stays in the document.
  prompts.Answer(kNo);
  EXPECT_TRUE(form.RunCommand("Save1"));
  EXPECT_EQ(Slurp(path), "?\x82\xa0\r\n");
  EXPECT_EQ(form.EncodingPanel->text(), QStringLiteral("SJIS CRLF"));
  // Yes: UTF-8 instead, and the document is UTF-8 from now on.
  prompts.Answer(kYes);
  EXPECT_TRUE(form.RunCommand("Save1"));
  EXPECT_TRUE(prompts.Last().text.contains(QStringLiteral("1 ")));
  EXPECT_TRUE(prompts.Last().text.contains(QStringLiteral("UTF-8")));
  EXPECT_EQ(Slurp(path), "\xf0\x9f\x98\x80\xe3\x81\x82\r\n");
  EXPECT_EQ(form.EncodingPanel->text(), QStringLiteral("UTF-8 CRLF"));
  EXPECT_TRUE(form.RunCommand("Save1"));  // no question now
  // Save As Shift-JIS from the encoding menu asks the same.
  prompts.SaveFile(Q(dir.File("back.txt")));
  prompts.Answer(kNo);
  EXPECT_TRUE(form.RunCommand("SaveAsSjis1"));
  EXPECT_EQ(Slurp(dir.File("back.txt")), "?\x82\xa0\r\n");
}

TEST_F(MappedCharsTest, ClipboardSearchBoxesAndHistoriesSeeTheRealCharacters) {
  // x😀y😀 〜 ～
  const std::string path = File("f.txt", "x\xf0\x9f\x98\x80y\xf0\x9f\x98\x80 \xe3\x80\x9c \xef\xbd\x9e\n");
  TMainForm& form = Make({path});
  Doc().SetSelStart(1);
  Doc().SetSelLength(2);
  EXPECT_TRUE(form.RunCommand("Copy1"));
  EXPECT_EQ(QGuiApplication::clipboard()->text(), U("\xf0\x9f\x98\x80"));
  // Find with the selection: the dialog shows the emoji and finds the next.
  QString shown;
  prompts.Dialog([&](QDialog& d) {
    shown = d.findChild<QComboBox*>(QStringLiteral("ComboBox1"))->currentText();
    d.findChild<QPushButton*>(QStringLiteral("OKBtn"))->click();
    return d.result();
  });
  EXPECT_TRUE(form.RunCommand("Find1"));
  EXPECT_EQ(shown, U("\xf0\x9f\x98\x80"));
  EXPECT_EQ(Doc().SelStart(), 4);
  EXPECT_EQ(form.ComboBox1->itemText(0), U("\xf0\x9f\x98\x80"));
  // The two tildes are two search texts: the box's ～ finds only ～.
  form.ComboBox1->setEditText(U("\xef\xbd\x9e"));
  Doc().SetSelStart(0);
  EXPECT_TRUE(form.RunCommand("FindNext1"));
  EXPECT_EQ(Doc().SelStart(), 10);
  // Another window, another document: the history and the last search text
  // come back as the characters.
  form.close();
  const std::string other = File("g.txt", "\xef\xbd\x9e\xf0\x9f\x98\x80\n");
  TMainForm& second = Make({other});
  EXPECT_EQ(second.ComboBox1->itemText(0), U("\xf0\x9f\x98\x80"));
  EXPECT_EQ(second.ComboBox1->currentText(), U("\xef\xbd\x9e"));
  Doc().SetSelStart(0);
  second.ComboBox1->setEditText(U("\xf0\x9f\x98\x80"));
  EXPECT_TRUE(second.RunCommand("FindNext1"));
  EXPECT_EQ(Doc().SelStart(), 2);
}

TEST_F(MappedCharsTest, TheSplitPaneTypesIntoTheDocumentsTableFromTheStart) {
  TMainForm& form = Make();
  form.SetSplitView(true);
  Type(form.Memo3, "\xf0\x9f\x98\x80");
  EXPECT_EQ(form.Memo1->ToText(Doc().Lines().Get(0)), U("\xf0\x9f\x98\x80"));
}

TEST_F(MappedCharsTest, ThePreviewHasATableOfItsOwn) {
  const std::string path = File("doc.txt", "\xc3\xa9\n");                // é
  const std::string other = File("other.txt", "\xf0\x9f\x98\x80\xc3\xa9\n");  // 😀é
  TMainForm& form = Make({path});
  form.PreviewFile(other);
  TEditor& preview = form.Memo2->Editor();
  EXPECT_EQ(form.Memo2->ToText(preview.Lines().Get(0)), U("\xf0\x9f\x98\x80\xc3\xa9"));
  EXPECT_NE(form.Memo2->Chars(), form.Memo1->Chars());
  EXPECT_EQ(form.Memo3->Chars(), form.Memo1->Chars());
  // Copied from the preview into the document: the characters, in the
  // document's own codes (é already has one there).
  preview.SetSelStart(0);
  preview.SetSelLength(4);
  preview.CopyToClipboard();
  Doc().SetRowCol(0, 0);
  Doc().PasteFromClipboard();
  EXPECT_EQ(form.Memo1->ToText(Doc().Lines().Get(0)), U("\xf0\x9f\x98\x80\xc3\xa9\xc3\xa9"));
  EXPECT_EQ(Doc().Lines().Get(0).substr(2, 2), Doc().Lines().Get(0).substr(4, 2));
}

TEST_F(MappedCharsTest, RecoveryAndVersionSnapshotsKeepTheCharacters) {
  const std::string path = File("a.txt", "\xc3\xa9\n");  // é
  TMainForm& form = Make({path});
  Doc().SetRowCol(0, 0);
  Type(form.Memo1, "\xf0\x9f\x98\x80");
  ASSERT_TRUE(form.KeepRecoverySnapshot());
  form.CloseUnasked = true;
  form.close();
  // The next start offers the snapshot; restored, the emoji is back and a
  // save writes it.
  prompts.Answer(kYes);
  TMainForm& again = Make({path});
  EXPECT_TRUE(Doc().Modified());
  EXPECT_EQ(again.Memo1->ToText(Doc().Lines().Get(0)), U("\xf0\x9f\x98\x80\xc3\xa9"));
  EXPECT_TRUE(again.RunCommand("Save1"));
  EXPECT_EQ(Slurp(path), "\xf0\x9f\x98\x80\xc3\xa9\n");

  // A version snapshot of a Shift-JIS document holding an emoji is written
  // in UTF-8, without a question, so that it keeps it.
  const std::string sjis = File("s.txt", "\x82\xa0\r\n");
  again.LoadDocument(sjis);
  Type(again.Memo1, "\xf0\x9f\x98\x80");
  again.AddHistory1Click();
  ASSERT_EQ(again.VersionList.Items().size(), 1u);
  EXPECT_EQ(Slurp(again.VersionList.Items()[0]), "\xf0\x9f\x98\x80\xe3\x81\x82\r\n");
}

// A character typed before the window dies comes back with the snapshot,
// whatever the snapshot counts against: the file, nothing (untitled), or a
// copy of a large text whose file another program replaced.
TEST_F(MappedCharsTest, PeriodicSnapshotsOfEveryBaseRestoreTypedCharacters) {
  std::string big;
  for (int i = 0; i < 150'000; ++i) big += "\xc3\xa9 line\n";  // é: beyond the inline limit in CP932
  struct {
    const char* name;
    std::string bytes;  // empty: untitled
    bool replaced;      // another program rewrote the file after the first snapshot
    TRecoveryBase base;
  } const cases[] = {
      {"file", "\xc3\xa9\n", false, TRecoveryBase::Document},
      {"untitled", "", false, TRecoveryBase::Empty},
      {"copy", big, true, TRecoveryBase::Copy},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    const std::string path = c.bytes.empty() ? std::string() : File(std::string(c.name) + ".txt", c.bytes);
    TMainForm& form = path.empty() ? Make() : Make({path});
    Doc().SetRowCol(0, 0);
    Type(form.Memo1, "\xf0\x9f\x98\x80");  // 😀, not in the file's table
    const auto tick = [&] {
      form.RecoveryTick();
      form.Recovery->Wait();
    };
    tick();
    if (c.replaced) {
      Spit(path, "gone\n");
      Type(form.Memo1, "\xe3\x80\x9c");  // 〜
      tick();
    }
    ASSERT_TRUE(form.Recovery->LastWroteCopy() == (c.base == TRecoveryBase::Copy));
    this->form.reset();  // the window dies without a close
    prompts.Answer(kYes);
    TMainForm& again = path.empty() ? Make() : Make({path});
    const QString typed = U(c.replaced ? "\xf0\x9f\x98\x80\xe3\x80\x9c" : "\xf0\x9f\x98\x80");
    EXPECT_EQ(again.Memo1->ToText(Doc().Lines().Get(0)), typed + U(c.bytes.substr(0, c.bytes.find('\n')).c_str()));
    if (path.empty()) continue;
    EXPECT_TRUE(again.RunCommand("Save1"));
    EXPECT_TRUE(Slurp(path) == typed.toStdString() + c.bytes);
    this->form.reset();
  }
}

}  // namespace
}  // namespace yk::test
