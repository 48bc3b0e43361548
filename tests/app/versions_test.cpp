// The version history of the main window: snapshot names and contents, the
// header dialog and the headers it refuses, the 100-entry limit, the two
// exit commands and the deletion at exit.
#include <QLineEdit>
#include <QTabWidget>

#include <sys/stat.h>

#include <filesystem>

#include "app/hist_head_dlg.h"
#include "controls/fi_list_box.h"
#include "form_fixture.h"

namespace yk::test {
namespace {

class VersionTest : public FormTest {
 protected:
  // The time stamp 2007年03月09日_14時05分30秒_ of the snapshot names.
  static constexpr TDateTime kWhen{2007, 3, 9, 14, 5, 30};
  const std::string kStamp = "2007年03月09日_14時05分30秒_";

  TMainForm& MakeWithClock(std::vector<std::string> arguments = {}) {
    TMainForm& f = Make(std::move(arguments));
    f.VersionClock = [] { return kWhen; };
    return f;
  }
  std::string Versions() const { return dir.File("versions"); }
  std::string Snapshot(const std::string& name) const { return Versions() + "/" + name; }
  std::size_t SnapshotCount() const {
    std::error_code ec;
    std::size_t n = 0;
    for (auto it = std::filesystem::directory_iterator(Versions(), ec); !ec && it != std::filesystem::end(it);
         ++it)
      ++n;
    return n;
  }
  // Answers the header dialog with a header, or cancels it.
  void Header(std::optional<QString> text) {
    prompts.Dialog([text](QDialog& box) {
      if (!text) return static_cast<int>(QDialog::Rejected);
      dynamic_cast<THistHeadDlg&>(box).SetText(*text);
      return static_cast<int>(QDialog::Accepted);
    });
  }
};

TEST_F(VersionTest, ASnapshotIsNamedByTheTimeAndTheDocumentAndListedOnce) {
  const std::string doc = File("memo.txt", "a\nb\n");
  TMainForm& f = MakeWithClock({doc});
  Doc().SetSelTextBuf("X");
  f.PageControl1->setCurrentIndex(2);
  ASSERT_TRUE(f.RunCommand("AddHistory1"));
  const std::string snapshot = Snapshot(kStamp + "memo.txt");
  EXPECT_EQ(Slurp(snapshot), "Xa\nb\n");  // the document as it is now, its own line ends
  EXPECT_EQ(f.FIListBox1->Items(), std::vector<std::string>{snapshot});
  EXPECT_EQ(f.PageControl1->currentIndex(), 0);
  EXPECT_TRUE(Doc().Modified());  // the document itself is not saved
  EXPECT_EQ(Slurp(doc), "a\nb\n");
  // The same second again: overwritten, one entry.
  Doc().SetSelTextBuf("Y");
  f.AddHistory1Click();
  EXPECT_EQ(Slurp(snapshot), "XYa\nb\n");
  EXPECT_EQ(f.FIListBox1->Count(), 1);
  // Another second: a second entry at the top.
  f.VersionClock = [] { return TDateTime{2007, 3, 9, 14, 5, 31}; };
  f.AddHistory1Click();
  EXPECT_EQ(f.FIListBox1->Count(), 2);
  EXPECT_EQ(f.FIListBox1->Item(0), Snapshot("2007年03月09日_14時05分31秒_memo.txt"));
}

TEST_F(VersionTest, AnUntitledDocumentsSnapshotIsNamedUntitledWithoutExtension) {
  TMainForm& f = MakeWithClock();
  Doc().SetSelTextBuf("new");
  f.AddHistory1Click();
  EXPECT_EQ(Slurp(Snapshot(kStamp + "無題")), "new");
  EXPECT_EQ(f.FIListBox1->Count(), 1);
}

TEST_F(VersionTest, TheUserHeaderIsAskedForCheckedAndKept) {
  Spit(SettingsFile(), "[Memo]\nUserHeader=1\n");
  const std::string doc = File("README", "r\r\n");
  TMainForm& f = Make({doc});

  Header(std::nullopt);
  f.AddHistory1Click();
  EXPECT_EQ(SnapshotCount(), 0u);

  Header(QStringLiteral("v1.2_"));
  f.AddHistory1Click();
  EXPECT_EQ(Slurp(Snapshot("v1.2_README")), "r\r\n");
  EXPECT_EQ(f.FIListBox1->Item(0), Snapshot("v1.2_README"));
  EXPECT_EQ(f.HistHeadDlg().Edit()->text(), QStringLiteral("v1.2_"));  // kept for the next time

  Header(QString::fromUtf8("版_"));
  f.AddHistory1Click();
  EXPECT_TRUE(std::filesystem::exists(Snapshot("版_README")));

  const QString refused[] = {QString(), QStringLiteral("a/b"), QStringLiteral("."), QStringLiteral(".."),
                             QStringLiteral("../x"), QStringLiteral("a\\b"), QStringLiteral("a\nb"),
                             QString(QChar(0)) + "x"};
  for (const QString& header : refused) {
    Header(header);
    prompts.Expect(TKind::Error);
    f.AddHistory1Click();
    EXPECT_EQ(SnapshotCount(), 2u) << header.toStdString();
  }
  EXPECT_EQ(f.FIListBox1->Count(), 2);
  EXPECT_FALSE(std::filesystem::exists(dir.File("x")));
  EXPECT_FALSE(std::filesystem::exists(Snapshot("README")));
}

TEST_F(VersionTest, TheHundredAndFirstSnapshotIsWrittenButNotListed) {
  TMainForm& f = MakeWithClock({File("m.txt", "m\r\n")});
  for (int i = 0; i < 100; ++i) f.AddVersionFile("/old/" + std::to_string(i));
  prompts.Expect(TKind::Warning);
  f.AddHistory1Click();
  EXPECT_EQ(prompts.Last().text, QString::fromUtf8("履歴リストに追加できません[最大100ファイル]"));
  EXPECT_TRUE(std::filesystem::exists(Snapshot(kStamp + "m.txt")));
  EXPECT_EQ(f.FIListBox1->Count(), 100);
  EXPECT_EQ(f.FIListBox1->Item(0), "/old/99");
}

TEST_F(VersionTest, ExitCommandsDoWhatTheirCaptionsSay) {
  struct {
    bool deleteHistory;
    const char* command;  // "" closes the window plainly
    bool deleted;
  } const cases[] = {
      {true, "", true},
      {false, "", false},
      {false, "InactDelHist1", true},  // "版管理ファイルを削除して終了"
      {true, "ActDelHist1", false},    // "版管理ファイルを削除しないで終了"
  };
  EXPECT_STREQ(FindCommand("InactDelHist1")->caption, "版管理ファイルを削除して終了");
  EXPECT_STREQ(FindCommand("ActDelHist1")->caption, "版管理ファイルを削除しないで終了");
  for (const auto& c : cases) {
    Spit(SettingsFile(), std::string("[Memo]\nDeleteHistory=") + (c.deleteHistory ? "1" : "0") + "\n");
    TMainForm& f = MakeWithClock({File("e.txt", "e\r\n")});
    f.AddHistory1Click();
    const std::string snapshot = Snapshot(kStamp + "e.txt");
    ASSERT_TRUE(std::filesystem::exists(snapshot));
    if (*c.command) ASSERT_TRUE(f.RunCommand(c.command));
    else f.close();
    EXPECT_FALSE(f.isVisible()) << c.command;
    EXPECT_EQ(std::filesystem::exists(snapshot), !c.deleted) << c.command << c.deleteHistory;
    // The next window does not list what an earlier one left behind.
    EXPECT_EQ(MakeWithClock().FIListBox1->Count(), 0);
    std::filesystem::remove(snapshot);
  }
}

TEST_F(VersionTest, WindowsNeverShareASnapshotNameAndEachDeletesOnlyWhatItWrote) {
  // Two documents of one name in two folders, snapshots in the same second.
  std::filesystem::create_directory(dir.File("a"));
  std::filesystem::create_directory(dir.File("b"));
  const std::string a = File("a/memo.txt", "from a\n");
  const std::string b = File("b/memo.txt", "from b\n");
  TMainForm& first = MakeWithClock({a});
  first.AddHistory1Click();
  env.arguments = {b};
  auto second = std::make_unique<TMainForm>(env);
  second->VersionClock = [] { return kWhen; };
  second->AddHistory1Click();
  const std::string mine = Snapshot(kStamp + "memo.txt");
  const std::string theirs = Snapshot(kStamp + "memo(2).txt");
  EXPECT_EQ(Slurp(mine), "from a\n");
  EXPECT_EQ(Slurp(theirs), "from b\n");
  EXPECT_EQ(second->FIListBox1->Items(), std::vector<std::string>{theirs});
  // The same second again in the first window replaces its own snapshot.
  first.Memo1->Editor().SetSelTextBuf("X");
  first.AddHistory1Click();
  EXPECT_EQ(Slurp(mine), "Xfrom a\n");
  EXPECT_EQ(SnapshotCount(), 2u);
  for (const std::string& f : {mine, theirs}) {
    struct stat st{};
    ASSERT_EQ(::stat(f.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0600u) << f;  // the user's text, private
  }
  // Each window deletes at exit only what it wrote, as it wrote it.
  first.HistoryDeleteMode = hdmDelete;
  prompts.Answer(TDialogAnswer::No);  // its edit is dropped
  first.close();
  EXPECT_FALSE(std::filesystem::exists(mine));
  EXPECT_EQ(Slurp(theirs), "from b\n");
  Spit(theirs + ".new", "written by someone else");
  std::filesystem::rename(theirs + ".new", theirs);
  second->HistoryDeleteMode = hdmDelete;
  second->close();
  EXPECT_EQ(Slurp(theirs), "written by someone else");
}

TEST_F(VersionTest, ACancelledCloseKeepsTheChosenModeForTheNextClose) {
  TMainForm& f = MakeWithClock({File("k.txt", "k\r\n")});
  f.AddHistory1Click();
  Doc().SetSelTextBuf("edit");
  prompts.Answer(TDialogAnswer::Cancel);
  f.ActDelHist1Click();  // keep, but the close is cancelled
  EXPECT_TRUE(f.isVisible());
  EXPECT_EQ(f.HistoryDeleteMode, 3);
  prompts.Answer(TDialogAnswer::No);
  f.close();
  EXPECT_TRUE(std::filesystem::exists(Snapshot(kStamp + "k.txt")));
}

TEST_F(VersionTest, ClickingASnapshotPreviewsItAndADoubleClickOpensIt) {
  TMainForm& f = MakeWithClock({File("c.txt", "snap\r\n")});
  f.AddHistory1Click();
  QListWidgetItem* item = f.FIListBox1->item(0);
  f.FIListBox1->setCurrentItem(item);
  emit f.FIListBox1->itemClicked(item);
  EXPECT_EQ(f.Memo2->Editor().Lines().Get(0), "snap");
  emit f.FIListBox1->itemDoubleClicked(item);
  EXPECT_EQ(launched, std::vector<std::vector<std::string>>{{Snapshot(kStamp + "c.txt")}});
}

}  // namespace
}  // namespace yk::test
