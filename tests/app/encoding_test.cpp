// Documents in other encodings through the window: a corpus written by the
// C library in each encoding is detected, shown as CP932, saved back byte
// for byte and edited; files with characters CP932 lacks are protected;
// reopening and saving in a chosen encoding; changes made on disk by other
// programs.
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFrame>
#include <QLabel>
#include <QPushButton>
#include <QThread>

#include <cstdio>
#include <fstream>

#include "form_fixture.h"
#include "iconv_text.h"
#include "platform/mapped_chars.h"
#include "platform/unicode.h"

namespace yk::test {
namespace {

using EncodingTest = FormTest;

// 日本語のテキスト、ｶﾀｶﾅ ABC / 波〜ダッシュ−: kanji, kana, half-width kana,
// and the JIS-style WAVE DASH and MINUS SIGN that Unix programs write.
const std::string kLine1 =
    "\xe6\x97\xa5\xe6\x9c\xac\xe8\xaa\x9e\xe3\x81\xae\xe3\x83\x86\xe3\x82\xad\xe3\x82\xb9\xe3\x83\x88\xe3\x80\x81"
    "\xef\xbd\xb6\xef\xbe\x80\xef\xbd\xb6\xef\xbe\x85 ABC";
const std::string kLine2 = "\xe6\xb3\xa2\xe3\x80\x9c\xe3\x83\x80\xe3\x83\x83\xe3\x82\xb7\xe3\x83\xa5\xe2\x88\x92";
// The same lines in CP932.
const std::string kLine1Cp932 = "\x93\xfa\x96\x7b\x8c\xea\x82\xcc\x83\x65\x83\x4c\x83\x58\x83\x67\x81\x41\xb6\xc0\xb6\xc5 ABC";
const std::string kLine2Cp932 = "\x94\x67\x81\x60\x83\x5f\x83\x62\x83\x56\x83\x85\x81\x7c";

struct TCorpusFile {
  const char* name;
  std::string utf8;    // the text
  const char* writer;  // the C library's name of the file's encoding
  std::string bom;
  const char* status;  // the status panel
  std::string rows;    // the editor's text, CR LF after every line
  bool sameBytes;      // an unchanged save writes the file again
};

std::vector<TCorpusFile> Corpus() {
  const std::string crlf = kLine1 + "\r\n" + kLine2 + "\r\n";
  const std::string lf = kLine1 + "\n" + kLine2 + "\n";
  const std::string rows = kLine1Cp932 + "\r\n" + kLine2Cp932 + "\r\n";
  return {
      {"sjis.txt", crlf, "CP932", "", "SJIS CRLF", rows, true},
      {"utf8.txt", lf, "UTF-8", "", "UTF-8 LF", rows, true},
      {"utf8_bom.txt", crlf, "UTF-8", "\xef\xbb\xbf", "UTF-8 BOM CRLF", rows, true},
      {"eucjp.txt", lf, "EUC-JP", "", "EUC-JP LF", rows, true},
      {"jis.txt", crlf, "ISO-2022-JP-3", "", "JIS CRLF", rows, true},
      {"utf16le.txt", crlf, "UTF-16LE", "\xff\xfe", "UTF-16LE CRLF", rows, true},
      {"utf16be.txt", lf, "UTF-16BE", "\xfe\xff", "UTF-16BE LF", rows, true},
      {"ascii.txt", "plain\nASCII\n", "CP932", "", "SJIS LF", "plain\r\nASCII\r\n", true},
      {"no_end.txt", kLine1, "UTF-8", "", "UTF-8 CRLF", kLine1Cp932, true},
      // Every line keeps its own line end; the status names the first.
      {"mixed.txt", kLine1 + "\r\n" + kLine2 + "\nx\r", "UTF-8", "", "UTF-8 CRLF 混在",
       kLine1Cp932 + "\r\n" + kLine2Cp932 + "\r\nx\r\n", true},
  };
}

std::string FileBytes(const TCorpusFile& f) { return f.bom + Iconv(f.writer, "UTF-8", f.utf8); }

// The file read back as UTF-8 by the C library.
std::string AsUtf8(const TCorpusFile& f, const std::string& bytes) {
  EXPECT_EQ(bytes.substr(0, f.bom.size()), f.bom);
  return Iconv("UTF-8", f.writer, bytes.substr(f.bom.size()));
}

// Runs the event loop until done() or five seconds passed.
template <class Done>
bool WaitFor(Done done) {
  QElapsedTimer timer;
  timer.start();
  while (!done() && timer.elapsed() < 5000) {
    QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    QThread::msleep(5);
  }
  return done();
}

void Settle(int ms) {
  QElapsedTimer timer;
  timer.start();
  while (timer.elapsed() < ms) {
    QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    QThread::msleep(5);
  }
}

TEST_F(EncodingTest, CorpusIsDetectedShownAndSavedBackInItsEncoding) {
  for (const TCorpusFile& f : Corpus()) {
    SCOPED_TRACE(f.name);
    const std::string bytes = FileBytes(f);
    const std::string path = File(f.name, bytes);
    TMainForm& form = Make({path});
    EXPECT_EQ(form.EncodingPanel->text(), QString::fromUtf8(f.status));
    EXPECT_EQ(Doc().Lines().GetTextStr(), f.rows);
    EXPECT_FALSE(Doc().ReadOnly());
    EXPECT_TRUE(form.RunCommand("Save1"));
    if (f.sameBytes) {
      EXPECT_TRUE(Slurp(path) == bytes);
    }
    // あ and a line end typed at the start.
    Doc().SetSelTextBuf("\x82\xa0\r\n");
    EXPECT_TRUE(form.RunCommand("Save1"));
    if (!f.sameBytes) continue;
    const std::string end = std::string(f.status).ends_with(" LF") ? "\n" : "\r\n";
    if (std::string_view(f.writer) == "CP932") {
      EXPECT_EQ(Slurp(path), "\x82\xa0" + end + bytes);
    } else {
      EXPECT_EQ(AsUtf8(f, Slurp(path)), "\xe3\x81\x82" + end + f.utf8);
    }
  }
}

// More different characters outside CP932 than free codes: the first
// 1,880 (kanji beyond the BMP here) are shown, the rest as "?", and the file
// is protected.
TEST_F(EncodingTest, CharactersBeyondTheFreeCodesKeepTheFileFromBeingWrittenOver) {
  std::string first;
  for (char32_t c = 0x20000; c < 0x20000 + TMappedChars::kCapacity; ++c) unicode::AppendUtf8(first, c);
  // 絵文字😀と𠮷 CR LF after them: two characters find no code.
  const std::string bytes =
      first + "\r\n\xe7\xb5\xb5\xe6\x96\x87\xe5\xad\x97\xf0\x9f\x98\x80\xe3\x81\xa8\xf0\xa0\xae\xb7\r\n";
  const std::string path = File("emoji.txt", bytes);
  prompts.Expect(TKind::Warning);
  TMainForm& form = Make({path});
  EXPECT_TRUE(prompts.Last().text.contains(QStringLiteral("2 ")));
  EXPECT_TRUE(prompts.Last().text.contains(QStringLiteral("1882 ")));
  EXPECT_TRUE(Doc().ReadOnly());
  EXPECT_EQ(form.EncodingPanel->text(), QStringLiteral("UTF-8 CRLF"));
  EXPECT_EQ(Doc().Lines().Get(1), "\x8a\x47\x95\xb6\x8e\x9a?\x82\xc6?");

  // Save says why and offers another name; the file's own name is refused
  // before any question about replacing it.
  prompts.Answer(TDialogAnswer::Yes);
  prompts.SaveFile(std::nullopt);
  EXPECT_TRUE(form.RunCommand("Save1"));
  prompts.SaveFile(Q(path));
  prompts.Expect(TKind::Error);
  EXPECT_FALSE(form.SaveAs1Click());
  prompts.SaveFile(Q(dir.File("wrapped.txt")));
  prompts.Answer(TDialogAnswer::No);  // the loss is named and declined
  EXPECT_FALSE(form.SaveAsList1Click());
  EXPECT_TRUE(Slurp(path) == bytes);
  EXPECT_FALSE(std::filesystem::exists(dir.File("wrapped.txt")));

  // Another name, once the loss is agreed to: Shift-JIS cannot hold the
  // 1,880 shown either, and UTF-8 is taken instead; an ordinary document.
  const std::string copy = dir.File("copy.txt");
  prompts.SaveFile(Q(copy));
  prompts.Answer(TDialogAnswer::Yes);
  prompts.Answer(TDialogAnswer::Yes);
  EXPECT_TRUE(form.SaveAs1Click());
  EXPECT_TRUE(prompts.Last().text.contains(QStringLiteral("1880 ")));
  EXPECT_TRUE(Slurp(copy) == first + "\r\n\xe7\xb5\xb5\xe6\x96\x87\xe5\xad\x97?\xe3\x81\xa8?\r\n");
  EXPECT_FALSE(Doc().ReadOnly());
  EXPECT_EQ(form.EncodingPanel->text(), QStringLiteral("UTF-8 CRLF"));
  Doc().SetSelTextBuf("a");
  EXPECT_TRUE(form.RunCommand("Save1"));
  EXPECT_EQ(Slurp(copy).substr(0, 1), "a");
  EXPECT_TRUE(Slurp(path) == bytes);

  // The protection ends with the document, also when the next fails to load.
  prompts.Expect(TKind::Warning);
  EXPECT_TRUE(form.LoadDocument(path));
  prompts.Expect(TKind::Error);
  EXPECT_FALSE(form.LoadDocument(dir.File("missing.txt")));
  EXPECT_FALSE(Doc().ReadOnly());
  EXPECT_EQ(form.EncodingPanel->text(), QStringLiteral("SJIS CRLF"));
}

TEST_F(EncodingTest, ReopenReadsTheFileInTheChosenEncoding) {
  Make().RunMenuHooks(TMenu::File);
  EXPECT_FALSE(form->Action("ReopenUtf81")->isEnabled());  // nothing to reopen

  const std::string bytes = "a\r\n\xe3\x81\x82\r\n";  // a あ
  const std::string path = File("a.txt", bytes);
  Make({path});
  Doc().SetRow(1);
  EXPECT_TRUE(form->RunCommand("ReopenSjis1"));
  EXPECT_EQ(Doc().Lines().GetTextStr(), bytes);
  EXPECT_EQ(form->EncodingPanel->text(), QStringLiteral("SJIS CRLF"));
  EXPECT_EQ(Doc().Row(), 1);  // the caret stays on its line
  EXPECT_TRUE(form->RunCommand("ReopenUtf81"));
  EXPECT_EQ(Doc().Lines().GetTextStr(), "a\r\n\x82\xa0\r\n");

  // Read in an encoding it is not in: question marks, and the file is
  // protected as above.
  prompts.Expect(TKind::Warning);
  EXPECT_TRUE(form->RunCommand("ReopenEucJp1"));
  EXPECT_TRUE(Doc().ReadOnly());
  EXPECT_EQ(form->EncodingPanel->text(), QStringLiteral("EUC-JP CRLF"));
  // Back in its own encoding it may be saved again.
  EXPECT_TRUE(form->RunCommand("ReopenUtf81"));
  EXPECT_FALSE(Doc().ReadOnly());

  // Edits are offered for saving first; Cancel keeps them.
  Doc().SetSelTextBuf("X");
  prompts.Answer(TDialogAnswer::Cancel);
  EXPECT_TRUE(form->RunCommand("ReopenSjis1"));
  EXPECT_EQ(form->EncodingPanel->text(), QStringLiteral("UTF-8 CRLF"));
  EXPECT_TRUE(Doc().Modified());
}

TEST_F(EncodingTest, SaveAsWritesTheChosenEncodingAndKeepsIt) {
  const std::string path = File("a.txt", "\x82\xa0\n");  // あ
  TMainForm& form = Make({path});
  const std::string utf16 = dir.File("b.txt");
  prompts.SaveFile(Q(utf16));
  EXPECT_TRUE(form.RunCommand("SaveAsUtf16Le1"));
  EXPECT_EQ(Slurp(utf16), std::string("\xff\xfe\x42\x30\n\0", 6));
  EXPECT_EQ(form.EncodingPanel->text(), QStringLiteral("UTF-16LE LF"));
  EXPECT_EQ(form.FileName, utf16);
  Doc().SetSelTextBuf("a");
  EXPECT_TRUE(form.RunCommand("Save1"));
  EXPECT_EQ(Slurp(utf16), std::string("\xff\xfe\x61\0\x42\x30\n\0", 8));
  // Plain Save As keeps the document's encoding.
  const std::string again = dir.File("c.txt");
  prompts.SaveFile(Q(again));
  EXPECT_TRUE(form.SaveAs1Click());
  EXPECT_EQ(Slurp(again), Slurp(utf16));

  // A character the chosen encoding cannot hold is named before the file
  // is written; declined, nothing is.
  Doc().SetSelTextBuf("\xfb\xfc");  // 髙: no EUC-JP form
  const std::string euc = dir.File("d.txt");
  prompts.SaveFile(Q(euc));
  prompts.Answer(TDialogAnswer::No);
  EXPECT_TRUE(form.RunCommand("SaveAsEucJp1"));
  EXPECT_FALSE(std::filesystem::exists(euc));
  EXPECT_EQ(form.FileName, again);
  EXPECT_EQ(form.EncodingPanel->text(), QStringLiteral("UTF-16LE LF"));
}

TEST_F(EncodingTest, WrappedSaveKeepsTheEncoding) {
  const std::string path = File("a.txt", "\xe3\x81\x82\n");  // あ
  TMainForm& form = Make({path});
  EXPECT_TRUE(form.SaveList1Click());
  EXPECT_EQ(Slurp(path), "\xe3\x81\x82\r\n");
  EXPECT_EQ(Doc().Lines().GetTextStr(), "\x82\xa0\r\n");
  EXPECT_EQ(form.EncodingPanel->text(), QStringLiteral("UTF-8 CRLF"));
}

TEST_F(EncodingTest, ChangeOnDiskIsToldAndReloadKeepsTheCaretLine) {
  const std::string path = File("a.txt", "one\r\ntwo\r\nthree\r\n");
  TMainForm& form = Make({path});
  QPushButton* reload = form.ChangeBar->findChild<QPushButton*>(QStringLiteral("ReloadButton"));
  QPushButton* keep = form.ChangeBar->findChild<QPushButton*>(QStringLiteral("KeepButton"));
  Doc().SetRow(2);

  // Our own save raises nothing.
  Doc().SetSelTextBuf("X");
  EXPECT_TRUE(form.RunCommand("Save1"));
  Settle(300);
  EXPECT_TRUE(form.ChangeBar->isHidden());

  // Another program rewrites the file: told, reloaded, the caret line kept.
  Spit(path, "1\r\n2\r\n3\r\n4\r\n");
  ASSERT_TRUE(WaitFor([&] { return !form.ChangeBar->isHidden(); }));
  EXPECT_TRUE(form.ChangeBarText->text().contains(QString::fromUtf8("変更されました")));
  EXPECT_TRUE(reload->isEnabled());
  reload->click();
  EXPECT_EQ(Doc().Lines().GetTextStr(), "1\r\n2\r\n3\r\n4\r\n");
  EXPECT_EQ(Doc().Row(), 2);
  EXPECT_TRUE(form.ChangeBar->isHidden());

  // Replaced the way editors save (a new file renamed over it): still
  // watched; with edits, reloading asks first.
  Doc().SetSelTextBuf("Y");
  const std::string temp = dir.File("a.txt.tmp");
  Spit(temp, "new\r\n");
  ASSERT_EQ(std::rename(temp.c_str(), path.c_str()), 0);
  ASSERT_TRUE(WaitFor([&] { return !form.ChangeBar->isHidden(); }));
  prompts.Answer(TDialogAnswer::No);
  reload->click();
  EXPECT_FALSE(form.ChangeBar->isHidden());
  EXPECT_TRUE(Doc().Modified());
  keep->click();
  EXPECT_TRUE(form.ChangeBar->isHidden());
  Spit(path, "newer\r\n");
  EXPECT_TRUE(WaitFor([&] { return !form.ChangeBar->isHidden(); }));
}

// The old file of a replacement may live on, held open by somebody (a
// viewer, or this editor's own mapping of a large file): the watch must
// move to the new file, or later changes to it go unnoticed.
TEST_F(EncodingTest, AReplacedFileIsWatchedAnewWhileTheOldOneIsStillOpen) {
  const std::string path = File("a.txt", "one\r\n");
  TMainForm& form = Make({path});
  std::ifstream holder(path, std::ios::binary);  // keeps the old file alive
  const std::string temp = dir.File("a.txt.tmp");
  Spit(temp, "two\r\n");
  ASSERT_EQ(std::rename(temp.c_str(), path.c_str()), 0);
  ASSERT_TRUE(WaitFor([&] { return !form.ChangeBar->isHidden(); }));
  form.ChangeBar->findChild<QPushButton*>(QStringLiteral("KeepButton"))->click();
  Spit(path, "three\r\n");
  EXPECT_TRUE(WaitFor([&] { return !form.ChangeBar->isHidden(); }));
}

TEST_F(EncodingTest, DeletedFileIsToldAndKeepingTheTextMarksItUnsaved) {
  const std::string path = File("a.txt", "text\r\n");
  TMainForm& form = Make({path});
  std::filesystem::remove(path);
  ASSERT_TRUE(WaitFor([&] { return !form.ChangeBar->isHidden(); }));
  EXPECT_TRUE(form.ChangeBarText->text().contains(QString::fromUtf8("削除されました")));
  EXPECT_FALSE(form.ChangeBar->findChild<QPushButton*>(QStringLiteral("ReloadButton"))->isEnabled());
  form.ChangeBar->findChild<QPushButton*>(QStringLiteral("KeepButton"))->click();
  EXPECT_TRUE(form.ChangeBar->isHidden());
  EXPECT_TRUE(Doc().Modified());  // closing asks before the text is gone
  // It comes back: told again.
  Spit(path, "back\r\n");
  EXPECT_TRUE(WaitFor([&] { return !form.ChangeBar->isHidden(); }));
  // A new document watches nothing.
  prompts.Answer(TDialogAnswer::No);
  form.New1Click();
  EXPECT_TRUE(form.ChangeBar->isHidden());
  EXPECT_EQ(form.EncodingPanel->text(), QStringLiteral("SJIS CRLF"));
}

}  // namespace
}  // namespace yk::test
