// The end of the session and of the process: recovery snapshots written
// instead of a question, offered again when the document opens, the
// session's question, and the real program closed by SIGTERM and SIGHUP.
#include <QProcess>

#include <chrono>
#include <csignal>
#include <filesystem>

#include "form_fixture.h"
#include "program_process.h"
#include "shell/recovery.h"

namespace yk::test {
namespace {

using SessionTest = FormTest;

class RecoveryTest : public FormTest {
 protected:
  std::string Folder() const { return VersionFolder(SettingsFile()); }
  std::string SnapshotOf(const std::string& doc) const { return RecoveryFileName(Folder(), doc); }
  // The window ended by a signal; it must close without a question.
  void Terminate() {
    form->CloseForTermination();
    EXPECT_FALSE(form->isVisible());
    EXPECT_TRUE(prompts.Done());
  }
  size_t Questions() const {
    size_t n = 0;
    for (const auto& a : prompts.Asked()) n += a.kind == TKind::Question;
    return n;
  }
};

TEST_F(RecoveryTest, TerminationKeepsTheEditsAndTheNextOpenOffersThem) {
  const std::string doc = File("a.txt", "abc\n\x82\xa0\n");  // あ, LF line ends
  Make({doc});
  Doc().SetSelTextBuf("X");
  Terminate();
  EXPECT_EQ(Questions(), 0u);
  EXPECT_EQ(Slurp(doc), "abc\n\x82\xa0\n");  // the file itself untouched
  EXPECT_EQ(Slurp(SnapshotOf(doc)), "Xabc\n\x82\xa0\n");
  EXPECT_TRUE(std::filesystem::exists(SettingsFile()));  // the normal close ran

  prompts.Answer(kYes);
  TMainForm& f = Make({doc});
  EXPECT_EQ(prompts.Last().caption, QString::fromUtf8("確認"));
  EXPECT_EQ(prompts.Last().text,
            QString::fromUtf8("前回の終了時に保存されなかった a.txt の変更があります。\r復元しますか?"));
  EXPECT_EQ(prompts.Last().buttons, AnswerBit(kYes) | AnswerBit(kNo));
  EXPECT_EQ(f.FileName, doc);
  EXPECT_TRUE(Doc().Modified());
  EXPECT_EQ(f.StatusText(2), QString::fromUtf8("変更"));
  EXPECT_FALSE(std::filesystem::exists(SnapshotOf(doc)));
  // Saved, the restored text keeps the document's own line ends.
  EXPECT_TRUE(f.Save1Click());
  EXPECT_EQ(Slurp(doc), "Xabc\n\x82\xa0\n");
}

TEST_F(RecoveryTest, DecliningRemovesTheSnapshotAndKeepsTheFile) {
  const std::string doc = File("a.txt", "abc\r\n");
  Spit(PrepareRecoveryFolder(SettingsFile()) + "/keep.txt", "a version file");
  Spit(SnapshotOf(doc), "old edits\r\n");
  prompts.Answer(kNo);
  Make({doc});
  EXPECT_FALSE(Doc().Modified());
  EXPECT_EQ(Doc().Lines().GetTextStr(), "abc\r\n");
  EXPECT_FALSE(std::filesystem::exists(SnapshotOf(doc)));
  EXPECT_TRUE(std::filesystem::exists(Folder() + "/keep.txt"));
  // Opened again: nothing left to offer.
  Make({doc});
  EXPECT_EQ(Questions(), 1u);
}

TEST_F(RecoveryTest, UntitledEditsComeBackInTheNextEmptyWindow) {
  Make();
  Doc().SetSelTextBuf("\x82\xa0\x82\xa2");  // あい
  Terminate();
  // A second snapshot of the same window replaces its first.
  EXPECT_EQ(UntitledRecoveryFiles(Folder()).size(), 1u);

  prompts.Answer(kYes);
  TMainForm& f = Make();
  EXPECT_EQ(prompts.Last().text,
            QString::fromUtf8("前回の終了時に保存されなかった 無題 の変更があります。\r復元しますか?"));
  EXPECT_EQ(f.FileName, kUntitled);
  EXPECT_EQ(Doc().Lines().GetTextStr(), "\x82\xa0\x82\xa2");
  EXPECT_TRUE(Doc().Modified());
  EXPECT_TRUE(UntitledRecoveryFiles(Folder()).empty());
  // A window opened with a file is not offered untitled edits.
  Make();
  Doc().SetSelTextBuf("z");
  Terminate();
  Make({File("b.txt", "b")});
  EXPECT_EQ(UntitledRecoveryFiles(Folder()).size(), 1u);
  prompts.Answer(kNo);
  Make();
  EXPECT_TRUE(UntitledRecoveryFiles(Folder()).empty());
}

TEST_F(RecoveryTest, WithoutASnapshotTheTerminationAsksRatherThanDropTheEdits) {
  Spit(Folder(), "a file where the folder should be");
  const std::string doc = File("a.txt", "abc");
  TMainForm& f = Make({doc});
  Doc().SetSelTextBuf("X");
  prompts.Answer(kCancel);
  f.CloseForTermination();
  EXPECT_TRUE(f.isVisible());
  EXPECT_TRUE(Doc().Modified());
  EXPECT_EQ(Slurp(doc), "abc");
}

TEST_F(RecoveryTest, TheSessionAsksWhenItMayAndKeepsASnapshotWhenItMayNot) {
  const std::string doc = File("a.txt", "abc");
  struct {
    bool interactive;
    std::optional<TDialogAnswer> answer;
    bool goes_on;        // the logout is not cancelled
    bool snapshot;       // the edits are kept for the next start
  } const cases[] = {
      {false, std::nullopt, true, true},
      {true, kNo, true, false},
      {true, kCancel, false, false},
  };
  for (const auto& c : cases) {
    TMainForm& f = Make({doc});
    Doc().SetSelTextBuf("X");
    if (c.answer) prompts.Answer(*c.answer);
    EXPECT_EQ(f.SessionEnding(c.interactive), c.goes_on);
    EXPECT_EQ(std::filesystem::exists(SnapshotOf(doc)), c.snapshot);
    if (c.goes_on) {
      // The session's answer stands: the close that follows does not ask.
      f.close();
      EXPECT_FALSE(f.isVisible());
    }
    EXPECT_TRUE(prompts.Done());
    EXPECT_EQ(Slurp(doc), "abc");
    std::filesystem::remove(SnapshotOf(doc));
  }
}

TEST_F(RecoveryTest, AnEditAfterTheSessionsAnswerIsAskedForAgain) {
  const std::string doc = File("a.txt", "abc");
  for (const bool interactive : {false, true}) {
    TMainForm& f = Make({doc});
    Doc().SetSelTextBuf("X");
    if (interactive) prompts.Answer(kNo);
    ASSERT_TRUE(f.SessionEnding(interactive));
    Doc().SetSelTextBuf("Y");  // the logout was cancelled; work goes on
    prompts.Answer(kCancel);
    f.close();
    EXPECT_TRUE(f.isVisible()) << interactive;
    // Answered now, the stale snapshot goes with the edits.
    prompts.Answer(kNo);
    f.close();
    EXPECT_FALSE(f.isVisible());
    EXPECT_FALSE(std::filesystem::exists(SnapshotOf(doc)));
  }
}

TEST_F(RecoveryTest, AnUnmodifiedDocumentLeavesNoSnapshot) {
  const std::string doc = File("a.txt", "abc");
  TMainForm& f = Make({doc});
  EXPECT_TRUE(f.SessionEnding(false));
  Terminate();
  EXPECT_FALSE(std::filesystem::exists(SnapshotOf(doc)));
  EXPECT_TRUE(UntitledRecoveryFiles(Folder()).empty());
}

// --- the program as a process -----------------------------------------------------

TEST(ProgramSignals, TermAndHupCloseTheWindowAndWriteTheSettings) {
  for (const int signal : {SIGTERM, SIGHUP}) {
    TTempDir dir;
    const std::string doc = dir.File("doc.txt");
    Spit(doc, "abc\r\n");
    const std::string settings = dir.File("config/yomikaki/Yomikaki.ini");
    QProcess p;
    p.setProcessEnvironment(ScratchEnvironment(dir));
    p.start(QStringLiteral(YK_PROGRAM_PATH), {QString::fromStdString(doc)});
    ASSERT_TRUE(p.waitForStarted(10000));
    WaitForFile(settings, std::chrono::seconds(20));
    ASSERT_TRUE(std::filesystem::exists(settings));
    std::filesystem::remove(settings);  // written again only by the close
    ::kill(static_cast<pid_t>(p.processId()), signal);
    ASSERT_TRUE(p.waitForFinished(20000)) << signal;
    EXPECT_EQ(p.exitStatus(), QProcess::NormalExit) << signal;
    EXPECT_EQ(p.exitCode(), 0);
    EXPECT_TRUE(std::filesystem::exists(settings)) << signal;
    EXPECT_EQ(Slurp(doc), "abc\r\n");
  }
}

}  // namespace
}  // namespace yk::test
