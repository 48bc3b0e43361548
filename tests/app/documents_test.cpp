// The document of the main window: open, edit, save with the document's own
// line ends, Save As, the wrapped saves, save and exit, the question before
// edits are dropped, titles, failed loads and saves, and dropped files.
#include <QDropEvent>
#include <QLabel>
#include <QTest>
#include <QMimeData>
#include <QTest>
#include <QUrl>
#include <QWindow>

#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>

#include "file_faults.h"
#include "form_fixture.h"

namespace yk::test {
namespace {

using DocumentTest = FormTest;

TEST_F(DocumentTest, OpenEditSaveWritesTheBytesAndTheTitlesFollowTheModifiedState) {
  const std::string path = File("a.txt", "abc\r\n\x82\xa0\x82\xa2\r\n");  // あい
  TMainForm& f = Make({path});
  EXPECT_EQ(f.FileName, path);
  EXPECT_EQ(f.windowHandle()->title(), Q(path) + " - Yomikaki");
  EXPECT_EQ(f.ApplicationTitle(), QStringLiteral("a.txt - Yomikaki"));
  EXPECT_EQ(f.StatusText(2), QString());

  Doc().SetSelTextBuf("X");
  EXPECT_EQ(f.windowHandle()->title(), Q(path) + " * - Yomikaki");
  EXPECT_EQ(f.ApplicationTitle(), QStringLiteral("a.txt * - Yomikaki"));
  EXPECT_EQ(f.TitleBytes(), path + " * - Yomikaki");
  EXPECT_EQ(f.StatusText(2), QString::fromUtf8("変更"));

  EXPECT_TRUE(f.RunCommand("Save1"));
  EXPECT_EQ(Slurp(path), "Xabc\r\n\x82\xa0\x82\xa2\r\n");
  EXPECT_EQ(f.windowHandle()->title(), Q(path) + " - Yomikaki");
  EXPECT_EQ(f.StatusText(2), QString());
  EXPECT_FALSE(Doc().Modified());
}

TEST_F(DocumentTest, SaveKeepsTheLineEndsTheFileHad) {
  struct {
    const char* name;
    std::string bytes;
    std::string saved;
  } const cases[] = {
      {"lf.txt", "a\nb\n", "Xa\nb\n"},
      {"cr.txt", "a\rb", "Xa\rb"},
      {"crlf.txt", "a\r\nb\r\n", "Xa\r\nb\r\n"},
      // A file that mixes them: every line keeps its own.
      {"mixed.txt", "a\nb\r\nc", "Xa\nb\r\nc"},
      {"stray_cr.txt", "a\rb\nc\n", "Xa\rb\nc\n"},
      {"one_lf.txt", "x\r\ny\nz\r\n", "Xx\r\ny\nz\r\n"},
      {"none.txt", "ab", "Xab"},
  };
  for (const auto& c : cases) {
    const std::string path = File(c.name, c.bytes);
    Make({path});
    Doc().SetSelTextBuf("X");
    form->Save1Click();
    EXPECT_EQ(Slurp(path), c.saved) << c.name;
  }
  // A new document uses CR LF.
  Make();
  Doc().SetSelTextBuf("a\r\nb");
  prompts.SaveFile(Q(dir.File("new.txt")));
  form->Save1Click();
  EXPECT_EQ(Slurp(dir.File("new.txt")), "a\r\nb");
}

// Keys typed in a file that mixes line ends: Enter gives the new line the
// line end of the line it split, the other lines keep theirs, the status
// bar says they are mixed, and the line-end menu makes them all one kind.
TEST_F(DocumentTest, MixedLineEndsAreKeptUntilTheMenuConvertsThem) {
  const std::string path = File("mixed.txt", "a\rbb\ncc\r\n");
  TMainForm& f = Make({path});
  EXPECT_EQ(f.EncodingPanel->text(), QString::fromUtf8("SJIS CR 混在"));  // the first line end's kind
  Doc().SetRowCol(1, 1);  // between the two b
  QTest::keyClick(f.Memo1, Qt::Key_Return);
  QTest::keyClick(f.Memo1, Qt::Key_X);
  EXPECT_TRUE(f.RunCommand("Save1"));
  EXPECT_EQ(Slurp(path), "a\rb\nxb\ncc\r\n");
  f.RunMenuHooks(TMenu::File);
  for (const char* kind : {"LineEndCrLf1", "LineEndLf1", "LineEndCr1"}) EXPECT_FALSE(f.Action(kind)->isChecked());
  EXPECT_TRUE(f.RunCommand("LineEndLf1"));
  EXPECT_TRUE(Doc().Modified());
  EXPECT_EQ(f.EncodingPanel->text(), QStringLiteral("SJIS LF"));
  f.RunMenuHooks(TMenu::File);
  EXPECT_TRUE(f.Action("LineEndLf1")->isChecked());
  EXPECT_TRUE(f.RunCommand("Save1"));
  EXPECT_EQ(Slurp(path), "a\nb\nxb\ncc\n");
  // Deleting the one line of another kind ends the mix.
  Spit(path, "a\nb\r\nc\n");
  Make({path});
  EXPECT_EQ(form->EncodingPanel->text(), QString::fromUtf8("SJIS LF 混在"));
  Doc().SetRowCol(1, 0);
  QTest::keyClick(form->Memo1, Qt::Key_Down, Qt::ShiftModifier);  // the line and its line end
  QTest::keyClick(form->Memo1, Qt::Key_Delete);
  EXPECT_EQ(Doc().Lines().GetTextStr(), "a\r\nc\r\n");
  EXPECT_EQ(form->EncodingPanel->text(), QStringLiteral("SJIS LF"));
}

TEST_F(DocumentTest, ConfirmSaveAnswersForCloseNewAndOpen) {
  const std::string other = File("other.txt", "other\r\n");
  enum Command { kClose, kNew, kOpen };
  struct {
    TDialogAnswer answer;
    bool named;         // the document has a name (Yes saves in place)
    bool goes_on;       // the command carries on
  } const cases[] = {
      {kCancel, true, false},
      {kNo, true, true},
      {kYes, true, true},
      {kYes, false, false},  // Yes, then the Save As dialog is cancelled
  };
  for (Command command : {kClose, kNew, kOpen}) {
    for (const auto& c : cases) {
      const std::string path = File("doc.txt", "doc\r\n");
      // No recent list: the caret of the last case would be put back.
      std::filesystem::remove(SettingsFile());
      Make(c.named ? std::vector<std::string>{path} : std::vector<std::string>{});
      Doc().SetSelTextBuf("edit ");
      const std::size_t first = prompts.Asked().size();
      prompts.Answer(c.answer);
      if (c.answer == kYes && !c.named) prompts.SaveFile(std::nullopt);
      if (command == kOpen && c.goes_on) prompts.OpenFile(Q(other));
      bool closed = false;
      if (command == kClose) closed = form->close();
      if (command == kNew) form->New1Click();
      if (command == kOpen) form->Open1Click();
      const std::string where = std::to_string(command) + "/" + std::to_string(static_cast<int>(c.answer));
      EXPECT_TRUE(prompts.Done()) << where;
      EXPECT_EQ(prompts.Asked()[first].text,
                QString::fromUtf8(c.named ? "ファイル doc.txt の内容が変更されています。\r変更を保存しますか?"
                                          : "ファイル 無題 の内容が変更されています。\r変更を保存しますか?"))
          << where;
      EXPECT_EQ(closed, command == kClose && c.goes_on) << where;
      if (!c.goes_on) {
        EXPECT_TRUE(Doc().Modified()) << where;  // the edits are still there
        EXPECT_EQ(Doc().Lines().Get(0).substr(0, 5), "edit ") << where;
      }
      if (c.answer == kYes && c.named) {
        EXPECT_EQ(Slurp(path), "edit doc\r\n") << where;
      }
      if (command == kOpen && c.goes_on) {
        EXPECT_EQ(form->FileName, other) << where;
      }
      if (command == kNew && c.goes_on) {
        EXPECT_EQ(form->FileName, kUntitled) << where;
      }
      form.reset();
    }
  }
}

TEST_F(DocumentTest, SaveAsAddsTxtOnlyWithoutAnExtensionAndAsksBeforeOverwriting) {
  struct {
    const char* chosen;
    const char* written;
  } const names[] = {{"memo", "memo.txt"}, {"memo.", "memo."}, {"notes.md", "notes.md"}};
  Make();
  for (const auto& n : names) {
    Doc().SetSelTextBuf("x");
    prompts.SaveFile(Q(dir.File(n.chosen)));
    EXPECT_TRUE(form->SaveAs1Click());
    EXPECT_EQ(form->FileName, dir.File(n.written));
    EXPECT_TRUE(std::filesystem::exists(dir.File(n.written))) << n.chosen;
  }
  EXPECT_FALSE(std::filesystem::exists(dir.File("memo")));

  const std::string existing = File("old.txt", "old");
  for (TDialogAnswer answer : {kNo, kCancel, kYes}) {
    Doc().SetSelTextBuf("y");
    form->SaveAndExitPending = answer != kYes;  // a declined overwrite clears it
    prompts.SaveFile(Q(dir.File("old")));
    prompts.Answer(answer);
    EXPECT_EQ(form->SaveAs1Click(), answer == kYes);
    EXPECT_EQ(prompts.Last().text, Q(existing) + QString::fromUtf8("\rこのファイルはすでに存在します。\r上書きしますか?"));
    EXPECT_FALSE(form->SaveAndExitPending);
    EXPECT_EQ(Slurp(existing) == "old", answer != kYes);
  }
}

// The desktop's keys for Save As and for closing, pressed in the editor.
TEST_F(DocumentTest, CtrlShiftSSavesUnderANameAndCtrlQClosesTheWindow) {
  TMainForm& f = Make();
  f.show();
  ASSERT_TRUE(QTest::qWaitForWindowActive(&f));
  f.Memo1->setFocus();
  QTest::keyClicks(f.Memo1, "text");
  prompts.SaveFile(Q(dir.File("keys.txt")));
  QTest::keyClick(f.Memo1, Qt::Key_S, Qt::ControlModifier | Qt::ShiftModifier);
  EXPECT_EQ(Slurp(dir.File("keys.txt")), "text");
  EXPECT_EQ(f.FileName, dir.File("keys.txt"));
  // Closing asks about unsaved edits as the menu's 終了 does.
  QTest::keyClicks(f.Memo1, "more");
  prompts.Answer(kCancel);
  QTest::keyClick(f.Memo1, Qt::Key_Q, Qt::ControlModifier);
  EXPECT_TRUE(f.isVisible());
  EXPECT_EQ(prompts.Last().kind, TKind::Question);
  prompts.Answer(kNo);
  QTest::keyClick(f.Memo1, Qt::Key_Q, Qt::ControlModifier);
  EXPECT_FALSE(f.isVisible());
  EXPECT_EQ(Slurp(dir.File("keys.txt")), "text");
}

TEST_F(DocumentTest, SaveAndExitOnAnUntitledDocumentWithTheDialogCancelledStaysOpen) {
  Make();
  Doc().SetSelTextBuf("text");
  prompts.SaveFile(std::nullopt);
  EXPECT_TRUE(form->RunCommand("SaveAndExit1"));
  EXPECT_TRUE(form->isVisible());
  EXPECT_FALSE(form->SaveAndExitPending);
  // A later Save under a name does not close the window.
  prompts.SaveFile(Q(dir.File("later.txt")));
  EXPECT_TRUE(form->Save1Click());
  EXPECT_TRUE(form->isVisible());
  // Save and exit of a named document saves and closes.
  Doc().SetSelTextBuf("more ");
  form->SaveAndExit1Click();
  EXPECT_FALSE(form->isVisible());
  EXPECT_EQ(Slurp(dir.File("later.txt")), "textmore ");
}

TEST_F(DocumentTest, WrappedSavesTurnTheShownRowsIntoLines) {
  const std::string line(200, 'a');
  const std::string path = File("wrap.txt", line + "\n" + "b\n");
  TMainForm& f = Make({path});
  ASSERT_TRUE(Doc().WordWrap());
  const std::string wrapped = std::string(80, 'a') + "\r\n" + std::string(80, 'a') + "\r\n" +
                              std::string(40, 'a') + "\r\n" + "b\r\n";
  // A wrapped copy leaves the document, its name and its mark alone.
  Doc().SetSelTextBuf("");
  Doc().SetModified(true);
  f.SetModifiedMark(true);
  prompts.SaveFile(Q(dir.File("copy")));
  EXPECT_TRUE(f.SaveAsList1Click());
  EXPECT_EQ(Slurp(dir.File("copy.txt")), wrapped);
  EXPECT_EQ(f.FileName, path);
  EXPECT_TRUE(Doc().Modified());
  EXPECT_EQ(Doc().Lines().GetCount(), 2);
  // In place: the file gets CR LF line ends where the rows wrapped and the
  // editor shows the file as re-read.
  EXPECT_TRUE(f.SaveList1Click());
  EXPECT_EQ(Slurp(path), wrapped);
  EXPECT_EQ(Doc().Lines().GetCount(), 4);
  EXPECT_EQ(Doc().Lines().Get(2), std::string(40, 'a'));
  EXPECT_FALSE(Doc().Modified());
  EXPECT_EQ(f.StatusText(2), QString());
  // From now on the document is a CR LF one.
  Doc().SetSelTextBuf("X");
  f.Save1Click();
  EXPECT_EQ(Slurp(path), "X" + wrapped);
}

// The folder cannot be written (a process without root rights is needed).
TEST_F(DocumentTest, AFailedSaveInAReadOnlyFolderKeepsTheOldFileAndTheEdits) {
  if (::geteuid() == 0) GTEST_SKIP() << "root writes into read-only folders";
  const std::string folder = dir.File("ro");
  std::filesystem::create_directory(folder);
  const std::string path = folder + "/a.txt";
  Spit(path, "old\r\n");
  Make({path});
  ::chmod(folder.c_str(), 0555);
  Doc().SetSelTextBuf("new ");
  prompts.Expect(TKind::Error);
  prompts.SaveFile(std::nullopt);  // the fall-back Save As, cancelled
  EXPECT_FALSE(form->Save1Click());
  ::chmod(folder.c_str(), 0755);
  EXPECT_TRUE(prompts.Asked()[0].text.contains(QString::fromUtf8("書き込む権限がありません")));
  EXPECT_EQ(Slurp(path), "old\r\n");
  EXPECT_TRUE(Doc().Modified());
}

// A write that fails part-way (here: the file size limit) also keeps the
// old file whole and the edits in the window, and says so.
TEST_F(DocumentTest, AWriteFailingHalfWayKeepsTheOldFileAndTheEdits) {
  const std::string path = File("big.txt", "small\r\n");
  Make({path});
  Doc().SetSelTextBuf(std::string(100000, 'z'));
  bool saved = true;
  {
    const TFileSizeLimit limit(4096);
    prompts.Expect(TKind::Error);
    prompts.SaveFile(std::nullopt);
    form->SaveAndExitPending = true;
    saved = form->Save1Click();
  }
  EXPECT_FALSE(saved);
  EXPECT_TRUE(prompts.Asked()[0].text.startsWith(QString::fromUtf8("ファイル ") + Q(path) +
                                                 QString::fromUtf8(" を保存できませんでした。\r")));
  EXPECT_EQ(Slurp(path), "small\r\n");
  EXPECT_TRUE(Doc().Modified());
  EXPECT_FALSE(form->SaveAndExitPending);
  EXPECT_TRUE(form->isVisible());
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.Path()), {}), 2);  // no temporary left
}

TEST_F(DocumentTest, LoadingRefusesWhatIsNoDocumentWithTheReason) {
  std::filesystem::create_directory(dir.File("folder"));
  ASSERT_EQ(::mkfifo(dir.File("fifo").c_str(), 0600), 0);
  Spit(dir.File("huge.txt"), "");
  std::filesystem::resize_file(dir.File("huge.txt"), kMaxDocumentBytes + 1);  // sparse
  // Only a document too large for the editor is said to be beyond it;
  // every other failure names the file and only its reason.
  const QString cannot = QString::fromUtf8("ファイル %1 を開けませんでした。\r");
  const QString beyond = QString::fromUtf8("Yomikakiで扱える範囲を超える文書です\r");
  struct {
    std::string path;
    QString text;
  } const cases[] = {
      {dir.File("missing.txt"), cannot.arg(Q(dir.File("missing.txt"))) + QString::fromUtf8("ファイルが見つかりません。")},
      {dir.File("folder"), cannot.arg(Q(dir.File("folder"))) + QString::fromUtf8("ファイルではなくフォルダーです。")},
      {dir.File("fifo"), cannot.arg(Q(dir.File("fifo"))) + QString::fromUtf8("通常のファイルではありません。")},
      {dir.File("huge.txt"), beyond + QString::fromUtf8("ファイルが大きすぎます。")},
  };
  const std::string good = File("good.txt", "good\r\n");
  Make({good});
  for (const auto& c : cases) {
    prompts.Expect(TKind::Error);
    EXPECT_FALSE(form->LoadDocument(c.path));
    EXPECT_EQ(prompts.Last().text, c.text);
    EXPECT_EQ(form->FileName, kUntitled);
    EXPECT_EQ(Doc().Lines().GetCount(), 0);
    EXPECT_EQ(form->windowHandle()->title(), QString::fromUtf8("無題 - Yomikaki"));
    EXPECT_FALSE(Doc().Modified());
  }
}

TEST_F(DocumentTest, AMissingFileNamedOnTheCommandLineIsANewDocumentCreatedAtItsFirstSave) {
  Spit(SettingsFile(), "[StyleExt]\r\nExt3=c\r\n");
  const std::string path = dir.File("new.c");
  TMainForm& f = Make({path});  // no prompt
  EXPECT_EQ(f.FileName, path);
  EXPECT_EQ(f.StyleIndex, 3);  // the style of its extension
  EXPECT_EQ(Doc().Lines().GetCount(), 0);
  EXPECT_FALSE(Doc().Modified());
  EXPECT_FALSE(std::filesystem::exists(path));
  Doc().SetSelTextBuf("int x;");
  EXPECT_TRUE(f.Save1Click());
  EXPECT_EQ(Slurp(path), "int x;");
  // A missing folder is no place for a new document: the reason is told.
  prompts.Expect(TKind::Error);
  Make({dir.File("none/x.txt")});
  EXPECT_EQ(form->FileName, kUntitled);
  ASSERT_FALSE(prompts.Asked().empty());
  EXPECT_TRUE(prompts.Last().text.endsWith(QString::fromUtf8("ファイルが見つかりません。")));
}

TEST_F(DocumentTest, OpeningTheOpenFileAgainDoesNotReloadIt) {
  const std::string path = File("same.txt", "first\r\n");
  Make({path});
  Spit(path, "changed on disk\r\n");
  prompts.OpenFile(Q(path));
  form->Open1Click();
  EXPECT_EQ(Doc().Lines().Get(0), "first");
  // Another file is opened and becomes writable.
  Doc().SetReadOnly(true);
  const std::string other = File("other.txt", "other\r\n");
  prompts.OpenFile(Q(other));
  form->Open1Click();
  EXPECT_EQ(Doc().Lines().Get(0), "other");
  EXPECT_FALSE(Doc().ReadOnly());
  EXPECT_EQ(prompts.Asked().back().filter, QString::fromUtf8("テキストファイル(*.txt)|*.txt|すべてのファイル(*.*)|*.*"));
  EXPECT_EQ(prompts.Asked().back().text, Q(dir.Path()));  // starts in the last document's folder
}

TEST_F(DocumentTest, NamesThatAreNotUtf8KeepTheirBytesAndShowAsCp932) {
  const std::string path = dir.File("\x93\xfa\x96\x7b.txt");  // 日本.txt in CP932
  Spit(path, "x\r\n");
  TMainForm& f = Make({path});
  EXPECT_EQ(f.FileName, path);
  EXPECT_TRUE(f.windowTitle().endsWith(QString::fromUtf8("/日本.txt - Yomikaki")));
  Doc().SetSelTextBuf("y");
  f.Save1Click();
  EXPECT_EQ(Slurp(path), "yx\r\n");
}

TEST_F(DocumentTest, DroppedFilesEachStartANewProcessAndTheDocumentStays) {
  const std::string path = File("mine.txt", "mine\r\n");
  Make({path});
  QMimeData data;
  data.setUrls({QUrl::fromLocalFile(QStringLiteral("/tmp/one.txt")), QUrl::fromLocalFile(QStringLiteral("/tmp/two.txt")),
                QUrl(QStringLiteral("file:///tmp/%82%A0.txt"))});  // あ.txt in CP932
  // The toolkit delivers a drop only to the widget that took the drag.
  QDragEnterEvent enter(QPoint(10, 10), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
  QCoreApplication::sendEvent(form->Memo1, &enter);
  EXPECT_TRUE(enter.isAccepted());
  QDropEvent drop(QPointF(10, 10), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
  QCoreApplication::sendEvent(form->Memo1, &drop);
  ASSERT_EQ(launched.size(), 3u);
  EXPECT_EQ(launched[0], std::vector<std::string>{"/tmp/one.txt"});
  EXPECT_EQ(launched[1], std::vector<std::string>{"/tmp/two.txt"});
  EXPECT_EQ(launched[2], std::vector<std::string>{"/tmp/\x82\xa0.txt"});
  EXPECT_EQ(form->FileName, path);
  EXPECT_EQ(Doc().Lines().Get(0), "mine");
}

}  // namespace
}  // namespace yk::test
