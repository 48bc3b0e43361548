// Saving without losing what others wrote: a file another program changed,
// replaced or deleted while it was open, files the user may not write, a
// document protected for its characters, links, and the modified mark that
// follows undo and redo. Keys go through the real window; the other program
// is a real process.
#include <QLabel>
#include <QProcess>
#include <QTest>

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>

#include "form_fixture.h"
#include "platform/mapped_chars.h"
#include "platform/unicode.h"
#include "text/text_image.h"

namespace yk::test {
namespace {

class SaveSafetyTest : public FormTest {
 protected:
  TMainForm& Open(const std::string& path) {
    std::filesystem::remove(SettingsFile());  // no caret put back from the last round
    TMainForm& f = Make({path});
    EXPECT_TRUE(QTest::qWaitForWindowActive(&f));
    f.Memo1->setFocus();
    return f;
  }
  void Key(Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
    QTest::keyClick(form->Memo1, key, modifiers);
  }
  // Another program's shell command on the file, waited for.
  static void Shell(const std::string& command) {
    QProcess p;
    p.start(QStringLiteral("/bin/sh"), {QStringLiteral("-c"), QString::fromStdString(command)});
    ASSERT_TRUE(p.waitForFinished(10000));
    ASSERT_EQ(p.exitCode(), 0) << command;
  }
  QString Title() const { return form->windowTitle(); }
  QString ReadOnlyPanel() const {
    const auto* panel = form->findChild<QLabel*>(QStringLiteral("ReadOnlyPanel"));
    return panel ? panel->text() : QStringLiteral("<none>");
  }
};

// Ctrl+S over a file that another program appended to, replaced (mv),
// rewrote with the same size within the same second, or deleted. Only the
// deleted file is written without a question; No keeps the other
// program's bytes and the window's edits.
TEST_F(SaveSafetyTest, CtrlSAsksBeforeWritingOverAFileAnotherProgramChanged) {
  struct {
    const char* name;
    const char* change;  // a shell command on $F
    bool asks;
  } const changes[] = {
      {"append", "printf 'NEW\\r\\n' >> \"$F\"", true},
      {"replace", "printf 'OTHER\\r\\n' > \"$F.new\" && mv \"$F.new\" \"$F\"", true},
      {"same size", "printf 'xyz\\r\\n' > \"$F\"", true},
      {"delete", "rm \"$F\"", false},
  };
  for (const auto& c : changes) {
    for (const bool edited : {true, false}) {
      for (const TDialogAnswer answer : {kYes, kNo}) {
        const std::string where = std::string(c.name) + (edited ? " edited " : " unedited ") +
                                  (answer == kYes ? "yes" : "no");
        const std::string path = File("f.txt", "abc\r\n");
        Open(path);
        if (edited) Key(Qt::Key_Z);
        const std::string mine = edited ? "zabc\r\n" : "abc\r\n";
        Shell("F='" + path + "'; " + c.change);
        const std::string theirs = std::filesystem::exists(path) ? Slurp(path) : "";
        if (c.asks) prompts.Answer(answer);
        Key(Qt::Key_S, Qt::ControlModifier);
        ASSERT_TRUE(prompts.Done()) << where;
        const bool written = !c.asks || answer == kYes;
        EXPECT_EQ(Slurp(path), written ? mine : theirs) << where;
        EXPECT_EQ(Doc().Modified(), edited && !written) << where;
        if (c.asks) {
          EXPECT_TRUE(prompts.Last().text.startsWith(QStringLiteral("ファイル f.txt は、開いた後に他のプログラムによって変更")))
              << where;
        }
        // Once written, the file is the window's again: no second question.
        if (written) {
          Key(Qt::Key_S, Qt::ControlModifier);
          EXPECT_TRUE(prompts.Done()) << where;
        }
        form.reset();
      }
    }
  }
}

// The wrapped save, closing with Yes and save-and-exit ask the same; No
// keeps the window open with its edits.
TEST_F(SaveSafetyTest, CloseAndSaveAndExitAskTooAndNoKeepsTheWindow) {
  const std::string path = File("f.txt", "abc\r\n");
  TMainForm& f = Open(path);
  Key(Qt::Key_Z);
  Shell("printf 'NEW\\r\\n' >> '" + path + "'");
  prompts.Answer(kNo);
  Key(Qt::Key_M, Qt::ControlModifier);  // the wrapped save
  prompts.Answer(kYes);  // save the edits?
  prompts.Answer(kNo);   // over the changed file?
  EXPECT_FALSE(f.close());
  prompts.Answer(kNo);
  Key(Qt::Key_E, Qt::ControlModifier);  // save and exit
  EXPECT_TRUE(f.isVisible());
  EXPECT_FALSE(f.SaveAndExitPending);
  EXPECT_EQ(Slurp(path), "abc\r\nNEW\r\n");
  EXPECT_TRUE(Doc().Modified());
}

// The text of a document whose file was deleted exists only in the window.
TEST_F(SaveSafetyTest, ClosingAnUnmodifiedDocumentWhoseFileWasDeletedAsks) {
  for (const TDialogAnswer answer : {kCancel, kNo, kYes}) {
    const std::string path = File("gone.txt", "keep me\r\n");
    TMainForm& f = Open(path);
    std::filesystem::remove(path);
    prompts.Answer(answer);
    EXPECT_EQ(f.close(), answer != kCancel);
    EXPECT_TRUE(prompts.Last().text.contains(QStringLiteral("削除されました")));
    EXPECT_EQ(std::filesystem::exists(path), answer == kYes);
    if (answer == kYes) {
      EXPECT_EQ(Slurp(path), "keep me\r\n");
    }
    form.reset();
  }
}

// Undo back to the saved text takes the mark away (title, close question);
// redo or any other edit brings it back.
TEST_F(SaveSafetyTest, UndoToTheSavedTextClearsTheModifiedMark) {
  const std::string path = File("u.txt", "abc\r\n");
  TMainForm& f = Open(path);
  Key(Qt::Key_X);
  EXPECT_TRUE(Title().contains(QStringLiteral(" * - ")));
  Key(Qt::Key_Z, Qt::ControlModifier);
  EXPECT_FALSE(Title().contains(QStringLiteral(" * - ")));
  EXPECT_EQ(f.StatusText(2), QString());
  Key(Qt::Key_Y, Qt::ControlModifier);
  EXPECT_TRUE(Title().contains(QStringLiteral(" * - ")));
  Key(Qt::Key_S, Qt::ControlModifier);
  Key(Qt::Key_Z, Qt::ControlModifier);  // now the saved text is "xabc"
  EXPECT_TRUE(Doc().Modified());
  Key(Qt::Key_Y, Qt::ControlModifier);
  EXPECT_FALSE(Doc().Modified());
  EXPECT_TRUE(f.close());  // no question
}

// A file its mode makes read-only opens read-only, for root as well: the
// title and the status bar say so, a refused key says why, and Save
// explains and offers another name. The file is never written.
TEST_F(SaveSafetyTest, AFileWithoutWritePermissionOpensReadOnlyAndSaveOffersSaveAs) {
  const std::string path = File("ro.txt", "read only\r\n");
  ::chmod(path.c_str(), 0444);
  TMainForm& f = Open(path);
  EXPECT_TRUE(Doc().ReadOnly());
  EXPECT_EQ(Title(), Q(path) + QStringLiteral(" [読み取り専用] - Yomikaki"));
  EXPECT_EQ(ReadOnlyPanel(), QStringLiteral("読み取り専用"));
  Key(Qt::Key_A);
  EXPECT_EQ(Doc().Lines().Get(0), "read only");
  EXPECT_TRUE(f.StatusText(3).contains(QStringLiteral("書き込む権限がない")));

  prompts.Answer(kNo);
  Key(Qt::Key_S, Qt::ControlModifier);
  EXPECT_TRUE(prompts.Last().text.contains(QStringLiteral("名前を付けて保存しますか?")));
  // Save As onto the file itself is refused before the overwrite question.
  prompts.Answer(kYes);
  prompts.SaveFile(Q(path));
  prompts.Expect(TKind::Error);
  Key(Qt::Key_S, Qt::ControlModifier);
  EXPECT_EQ(Slurp(path), "read only\r\n");

  const std::string copy = dir.File("copy.txt");
  prompts.Answer(kYes);
  prompts.SaveFile(Q(copy));
  Key(Qt::Key_S, Qt::ControlModifier);
  EXPECT_EQ(f.FileName, copy);
  EXPECT_FALSE(Doc().ReadOnly());
  EXPECT_EQ(ReadOnlyPanel(), QString());
  EXPECT_EQ(Title(), Q(copy) + QStringLiteral(" - Yomikaki"));
}

// The protection for characters CP932 lacks shows the same way.
TEST_F(SaveSafetyTest, ADocumentProtectedForItsCharactersShowsWhyAKeyIsRefused) {
  // More different characters outside Shift-JIS than free codes, CR LF.
  std::string bytes;
  for (char32_t c = 0x20000; c <= 0x20000 + TMappedChars::kCapacity; ++c) unicode::AppendUtf8(bytes, c);
  const std::string path = File("emoji.txt", bytes + "\r\n");
  prompts.Expect(TKind::Warning);
  TMainForm& f = Open(path);
  EXPECT_TRUE(Title().contains(QStringLiteral("[読み取り専用]")));
  EXPECT_EQ(ReadOnlyPanel(), QStringLiteral("読み取り専用"));
  for (const Qt::Key key : {Qt::Key_A, Qt::Key_Return, Qt::Key_Delete, Qt::Key_Backspace}) {
    f.SetStatusText(3, QString());
    Key(key);
    EXPECT_TRUE(f.StatusText(3).contains(QStringLiteral("表示できない文字")));
  }
  EXPECT_FALSE(Doc().Modified());
}

// Save As onto a link whose file does not exist yet: asked like any name
// in use, written where the link points; a link into a missing folder is
// refused with the reason.
TEST_F(SaveSafetyTest, SaveAsOntoADanglingLinkWritesWhereItPoints) {
  const std::string target = dir.File("target.txt"), link = dir.File("link.txt");
  std::filesystem::create_symlink(target, link);
  TMainForm& f = Make();
  Doc().SetSelTextBuf("text");
  prompts.SaveFile(Q(link));
  prompts.Answer(kYes);
  EXPECT_TRUE(f.SaveAs1Click());
  EXPECT_TRUE(prompts.Last().text.contains(QStringLiteral("すでに存在します")));
  EXPECT_TRUE(std::filesystem::is_symlink(link));
  EXPECT_EQ(Slurp(target), "text");

  const std::string nowhere = dir.File("nowhere.txt");
  std::filesystem::create_symlink(dir.File("missing/x.txt"), nowhere);
  prompts.SaveFile(Q(nowhere));
  prompts.Expect(TKind::Error);
  EXPECT_FALSE(f.SaveAs1Click());
  EXPECT_TRUE(prompts.Last().text.contains(QStringLiteral("フォルダーがありません")));
  EXPECT_TRUE(std::filesystem::is_symlink(nowhere));
}

// A large document's rows stay in the image its file was read into:
// rewriting that file in place (it has a second name) must write the
// document's text, not bytes the save itself has just put there.
TEST_F(SaveSafetyTest, ASaveInPlaceOfADocumentReadFromItsFilesPagesWritesItsText) {
  const std::size_t was = TTextImage::MinimumSize();
  TTextImage::SetMinimumSize(4096);
  std::string bytes;
  for (int i = 0; bytes.size() < (3u << 20); ++i) bytes += "line " + std::to_string(i) + " of the document\r\n";
  const std::string path = File("big.txt", bytes), other = dir.File("big-link.txt");
  std::filesystem::create_hard_link(path, other);
  Open(path);
  Key(Qt::Key_X);
  Key(Qt::Key_Return);
  Key(Qt::Key_S, Qt::ControlModifier);
  TTextImage::SetMinimumSize(was);
  const std::string saved = Slurp(other);
  EXPECT_EQ(saved.size(), bytes.size() + 3);
  const std::string expected = "x\r\n" + bytes;
  const auto diff = std::mismatch(saved.begin(), saved.end(), expected.begin(), expected.end());
  EXPECT_TRUE(diff.first == saved.end()) << "first difference at byte " << (diff.first - saved.begin()) << ": "
                                        << saved.substr(diff.first - saved.begin(), 40);
  EXPECT_FALSE(Doc().Modified());
}

}  // namespace
}  // namespace yk::test
