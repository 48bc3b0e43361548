// The end of the session and of the process: recovery snapshots written
// instead of a question, offered again when the document opens, the
// session's question, and the real program closed by SIGTERM and SIGHUP.
#include <QLabel>
#include <QProcess>
#include <QTest>
#include <QTimer>

#include <sys/stat.h>

#include <chrono>
#include <csignal>
#include <optional>
#include <filesystem>

#include "form_fixture.h"
#include "program_process.h"
#include "shell/recovery.h"
#include "shell/recovery_record.h"

namespace yk::test {
namespace {

using SessionTest = FormTest;

class RecoveryTest : public FormTest {
 protected:
  std::string Folder() const { return VersionFolder(SettingsFile()); }
  // The newest snapshot of doc; "" when there is none.
  std::string SnapshotOf(const std::string& doc) const {
    const std::vector<std::string> files = RecoveryFilesOf(Folder(), doc);
    return files.empty() ? std::string() : files.front();
  }
  // Where older versions kept the one snapshot of a document.
  std::string LegacySnapshotOf(const std::string& doc) const { return RecoveryFileName(Folder(), doc); }
  TRecoveryRecord RecordOf(const std::string& doc) const { return DecodeRecoveryRecord(Slurp(SnapshotOf(doc))); }
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
  EXPECT_EQ(RecordOf(doc).runs, (std::vector<TRecoveryRun>{{0, 0, "X"}}));  // only what changed
  struct stat st{};
  ASSERT_EQ(::stat(SnapshotOf(doc).c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 07777, 0600u);  // the user's text, private
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
  Spit(LegacySnapshotOf(doc), "old edits\r\n");  // as older versions wrote it
  prompts.Answer(kNo);
  Make({doc});
  EXPECT_FALSE(Doc().Modified());
  EXPECT_EQ(Doc().Lines().GetTextStr(), "abc\r\n");
  EXPECT_FALSE(std::filesystem::exists(LegacySnapshotOf(doc)));
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
    std::error_code ec;
    std::filesystem::remove(SnapshotOf(doc), ec);
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

// --- snapshots written while the window runs -------------------------------------

class PeriodicRecoveryTest : public RecoveryTest {
 protected:
  void Type(const std::string& keys) {
    for (const char c : keys) Doc().KeyChar(c);
  }
  // The timer's turn, and the background write waited for.
  void Tick(TMainForm& f) {
    f.RecoveryTick();
    f.Recovery->Wait();
  }
  void Tick() { Tick(*form); }
  std::string Text() { return Doc().Lines().GetTextStr(); }
};

std::string Numbered(int n) {
  std::string text;
  for (int i = 1; i <= n; ++i) text += "line " + std::to_string(i) + "\r\n";
  return text;
}

mode_t ModeOf(const std::string& path) {
  struct stat st{};
  return ::stat(path.c_str(), &st) == 0 ? st.st_mode & 07777 : 0;
}

TEST_F(PeriodicRecoveryTest, TypedEditsAreKeptPrivatelyAndComeBackAfterTheWindowDies) {
  const std::string doc = File("a.txt", Numbered(50));
  std::filesystem::create_directory(Folder());
  ::chmod(Folder().c_str(), 0755);  // left open by an older version
  Make({doc});
  Type("hello");
  EXPECT_TRUE(form->RecoveryTimer->isActive());
  EXPECT_LE(form->RecoveryTimer->interval(), 2000);
  Tick();
  const std::string snapshot = SnapshotOf(doc);
  ASSERT_FALSE(snapshot.empty());
  EXPECT_EQ(ModeOf(snapshot), 0600u);
  EXPECT_EQ(ModeOf(Folder()), 0700u);
  const TRecoveryRecord record = RecordOf(doc);
  EXPECT_EQ(record.baseKind, TRecoveryBase::Document);
  ASSERT_EQ(record.runs.size(), 1u);  // only what changed
  EXPECT_LE(record.runs[0].text.size(), 8u);
  // The window ends without a close, as a crash ends it.
  form.reset();
  prompts.Answer(kYes);
  Make({doc});
  EXPECT_EQ(Text(), "hello" + Numbered(50));
  EXPECT_TRUE(Doc().Modified());
  EXPECT_EQ(SnapshotOf(doc), "");
  EXPECT_EQ(Slurp(doc), Numbered(50));
}

TEST_F(PeriodicRecoveryTest, TwoWindowsOfOneFileKeepSnapshotsOfTheirOwn) {
  const std::string doc = File("a.txt", "abc\r\n");
  Make({doc});
  Type("A");
  Tick();
  auto second = std::make_unique<TMainForm>(env);
  second->Memo1->Editor().KeyChar('B');
  Tick(*second);
  EXPECT_EQ(RecoveryFilesOf(Folder(), doc).size(), 2u);
  // While both run, a third window of the file is offered neither.
  auto third = std::make_unique<TMainForm>(env);
  EXPECT_EQ(Questions(), 0u);
  third.reset();
  // Both gone: the newest is offered first; no removes it, yes restores the other.
  form.reset();
  second.reset();
  prompts.Answer(kNo);
  prompts.Answer(kYes);
  Make({doc});
  EXPECT_EQ(Questions(), 2u);
  EXPECT_EQ(Text(), "Aabc\r\n");
  EXPECT_TRUE(RecoveryFilesOf(Folder(), doc).empty());
}

TEST_F(PeriodicRecoveryTest, ASaveOrEditsDroppedRemoveTheSnapshot) {
  const std::string doc = File("a.txt", "abc\r\n");
  const struct {
    const char* how;
    std::optional<TDialogAnswer> answer;
  } cases[] = {{"Save1", std::nullopt}, {"New1", kNo}, {"close", kNo}};
  for (const auto& c : cases) {
    Make({doc});
    Type("x");
    Tick();
    ASSERT_NE(SnapshotOf(doc), "") << c.how;
    if (c.answer) prompts.Answer(*c.answer);
    if (std::string(c.how) == "close") form->close();
    else ASSERT_TRUE(form->RunCommand(c.how));
    Tick();
    EXPECT_EQ(SnapshotOf(doc), "") << c.how;
    EXPECT_TRUE(UntitledRecoveryFiles(Folder()).empty()) << c.how;
    Spit(doc, "abc\r\n");
  }
}

TEST_F(PeriodicRecoveryTest, AFileChangedByAnotherProgramIsNotTheBaseAnyMore) {
  const std::string doc = File("a.txt", "abc\r\n");
  Make({doc});
  Type("X");
  Tick();
  Spit(doc, "another program's text\r\n");
  Type("Y");
  Tick();
  const TRecoveryRecord record = RecordOf(doc);
  EXPECT_EQ(record.baseKind, TRecoveryBase::Empty);
  EXPECT_EQ(record.runs, (std::vector<TRecoveryRun>{{0, 0, "XYabc\r\n"}}));
  form.reset();
  prompts.Answer(kYes);
  Make({doc});
  EXPECT_EQ(Text(), "XYabc\r\n");

  // Changed after the window died, the file no longer fits the runs: the
  // user is told, the file is shown as it is, and the snapshot stays.
  const std::string other = File("b.txt", "abc\r\n");
  Make({other});
  Type("Z");
  Tick();
  form.reset();
  Spit(other, "changed meanwhile\r\n");
  prompts.Answer(kYes);
  prompts.Expect(TKind::Error);
  Make({other});
  EXPECT_TRUE(prompts.Done());
  EXPECT_EQ(Text(), "changed meanwhile\r\n");
  EXPECT_FALSE(Doc().Modified());
  EXPECT_NE(SnapshotOf(other), "");
}

TEST_F(PeriodicRecoveryTest, ALargeDocumentIsCopiedOnceThenKeptAsChanges) {
  const std::string original = Numbered(200'000);  // about 2.5 MB
  const std::string doc = File("big.txt", original);
  Make({doc});
  Type("X");
  Tick();
  EXPECT_FALSE(form->Recovery->LastWroteCopy());
  EXPECT_LT(form->Recovery->LastBytes(), 1000u);
  // Its file replaced by another program: the whole text is copied once...
  Spit(doc, "gone\r\n");
  Type("Y");
  Tick();
  EXPECT_TRUE(form->Recovery->LastWroteCopy());
  std::vector<std::string> copies;
  for (const auto& entry : std::filesystem::directory_iterator(Folder()))
    if (entry.path().filename().string().rfind("recovery-base-", 0) == 0) copies.push_back(entry.path().string());
  ASSERT_EQ(copies.size(), 1u);
  EXPECT_EQ(ModeOf(copies[0]), 0600u);
  // ...and later edits count against the copy.
  Type("Z");
  Tick();
  EXPECT_FALSE(form->Recovery->LastWroteCopy());
  EXPECT_LT(form->Recovery->LastBytes(), 1000u);
  EXPECT_EQ(RecordOf(doc).baseKind, TRecoveryBase::Copy);
  form.reset();
  prompts.Answer(kYes);
  Make({doc});
  EXPECT_EQ(Text(), "XYZ" + original);
  EXPECT_TRUE(Doc().Modified());
  // The copy is this window's now; dropping the edits removes it.
  prompts.Answer(kNo);
  form->close();
  for (const auto& entry : std::filesystem::directory_iterator(Folder()))
    EXPECT_NE(entry.path().filename().string().rfind("recovery-", 0), 0u) << entry.path();
}

// A window that dies with a file of mixed line ends open: whatever the
// snapshot counts against (the file, nothing, a copy of a large text), the
// restored document saves every line with its own line end, and the line
// made by Enter with the one of the line it split.
TEST_F(PeriodicRecoveryTest, RestoredLinesKeepTheirOwnLineEnds) {
  const std::string head = "a\rbb\ncc\r\n", edited = "a\rb\nXb\ncc\r\n";
  const struct {
    const char* name;
    std::string tail;
    bool replaced;  // by another program before the snapshot
    TRecoveryBase base;
  } cases[] = {
      {"runs.txt", "", false, TRecoveryBase::Document},
      {"whole.txt", "", true, TRecoveryBase::Empty},
      {"copy.txt", Numbered(100'000), true, TRecoveryBase::Copy},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    const std::string doc = File(c.name, head + c.tail);
    Make({doc});
    Doc().SetRowCol(1, 1);  // between the two b
    QTest::keyClick(form->Memo1, Qt::Key_Return);
    Type("X");
    if (c.replaced) Spit(doc, "gone\r\n");
    Tick();
    EXPECT_EQ(RecordOf(doc).baseKind, c.base);
    form.reset();
    prompts.Answer(kYes);
    Make({doc});
    ASSERT_TRUE(Doc().Modified());
    EXPECT_EQ(form->EncodingPanel->text(), QString::fromUtf8("SJIS CR 混在"));
    ASSERT_TRUE(form->Save1Click());
    EXPECT_TRUE(Slurp(doc) == edited + c.tail);
  }
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
