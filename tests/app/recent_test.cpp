// The recent files and favourites of the main window: caret and style put
// back, the 20-file limit, corrupt lists, the File menu's entries,
// favourites, re-reading, the preview and the list buttons, and two users of
// the settings file registering files at the same moment.
#include <QAction>
#include <QActionGroup>
#include <QComboBox>
#include <QMenu>
#include <QTabWidget>
#include <QTest>

#include <chrono>
#include <filesystem>
#include <latch>
#include <thread>

#include "controls/fi_list_box.h"
#include "form_fixture.h"
#include "props/editor_prop.h"
#include "props/settings_file.h"
#include "shell/file_preview.h"
#include "shell/recent_files.h"

namespace yk::test {
namespace {

using RecentTest = FormTest;

std::string Lines(int count, int length) {
  std::string text;
  for (int i = 0; i < count; ++i) text += std::string(static_cast<std::size_t>(length), 'a' + i % 26) + "\r\n";
  return text;
}

TEST_F(RecentTest, ReopeningPutsBackTheStoredStyleAndThenTheCaret) {
  // Style 1 is chosen for .txt; style 3 wraps narrower, so the rows differ.
  Spit(SettingsFile(), "[StyleExt]\nExt1=txt\n");
  const std::string path = File("a.txt", Lines(20, 150));
  TMainForm& f = Make({path});
  EXPECT_EQ(f.StyleIndex, 1);
  f.SelectStyle(3);
  f.EditorProp1->WrapOption().SetWrapByte(30);
  f.AssignStyleToEditors();
  f.SaveStyle();
  Doc().SetSelStart(1234);
  ASSERT_TRUE(f.close());  // the position is stored at close

  const TRecentLists stored = LoadRecentLists(SettingsFile());
  ASSERT_EQ(stored.Files, std::vector<std::string>{path});
  EXPECT_EQ(stored.Lines[0], "1234");
  EXPECT_EQ(stored.Styles[0], "3");

  TMainForm& g = Make({path});
  EXPECT_EQ(g.StyleIndex, 3);  // the stored style, not the extension's
  EXPECT_EQ(Doc().WrapOption().WrapByte(), 30);
  EXPECT_EQ(Doc().SelStart(), 1234);
  // Registered again with its own caret and style.
  EXPECT_EQ(g.RecentLines[0], "1234");
  EXPECT_EQ(g.RecentStyles[0], "3");
}

// A document opens at the left edge: the sideways scroll of the one before
// stays behind, and a caret put back near the start of a row that fits in
// the view needs no sideways scroll at all.
TEST_F(RecentTest, ADocumentOpensWithTheLeastSidewaysScroll) {
  const std::string path = File("short.txt", Lines(30, 40));
  TMainForm& f = Make();
  Doc().Lines().SetTextStr(std::string(500, 'w') + "\r\n");
  Doc().SetModified(false);
  Doc().SetTopCol(60);
  f.ComboBox1->setFocus();  // loading happens while the editor has no focus
  prompts.OpenFile(Q(path));
  ASSERT_TRUE(f.RunCommand("Open1"));
  EXPECT_EQ(Doc().TopCol(), 0);
  ASSERT_TRUE(f.close());

  ASSERT_TRUE(StoreRecentPositionInSettings(SettingsFile(), path, 42 * 20 + 26, 0));  // row 20, column 26
  Make({path});
  EXPECT_EQ(Doc().Row(), 20);
  EXPECT_EQ(Doc().Col(), 26);
  EXPECT_EQ(Doc().TopCol(), 0);
}

// Each entry holds the style its own document was shown in: a file opened
// after another one (whose position was never stored) does not take the
// style the window showed before. Saving under a listed name keeps the
// document's caret and style and stores them for that name.
TEST_F(RecentTest, EntriesHoldTheirOwnDocumentsStyle) {
  Spit(SettingsFile(), "[StyleExt]\nExt1=txt\n");
  const std::string y = File("y.txt", Lines(5, 10));
  TMainForm& f = Make();
  f.SelectStyle(5);
  for (const std::string& path : {y, File("z.log", Lines(5, 10))}) {
    prompts.OpenFile(Q(path));
    ASSERT_TRUE(f.RunCommand("Open1"));
  }
  EXPECT_EQ(f.StyleIndex, 1);  // z.log matches no style: y's stays
  TRecentLists stored = LoadRecentLists(SettingsFile());
  ASSERT_EQ(stored.Files[1], y);
  EXPECT_EQ(stored.Styles[1], "1");
  EXPECT_EQ(Make({y}).StyleIndex, 1);

  // y.txt is listed with style 1 and caret 0; a document in style 4 with
  // its caret at 7 saved as y.txt stays as it is.
  TMainForm& g = Make();
  g.SelectStyle(4);
  Doc().Lines().SetTextStr("0123456789\r\n");
  Doc().SetSelStart(7);
  prompts.SaveFile(Q(y));
  prompts.Answer(kYes);  // replace the existing file
  ASSERT_TRUE(g.RunCommand("SaveAs1"));
  EXPECT_EQ(g.StyleIndex, 4);
  EXPECT_EQ(Doc().SelStart(), 7);
  stored = LoadRecentLists(SettingsFile());
  ASSERT_EQ(stored.Files[0], y);
  EXPECT_EQ(stored.Lines[0], "7");
  EXPECT_EQ(stored.Styles[0], "4");
}

TEST_F(RecentTest, AStoredCaretBeyondTheTextIsClampedAndBadEntriesDoNotStopTheOpen) {
  const std::string a = File("a.txt", "abc\r\n");
  const std::string b = File("b.txt", "0123456789\r\n");
  const std::string c = File("c.txt", "xyz\r\n");
  Spit(SettingsFile(),
       "[StyleExt]\nExt4=txt\n"
       "[RecentFiles]\nfile_ItemCount=3\nfile_Item0=" + a + "\nfile_Item1=" + b + "\nfile_Item2=" + c + "\n"
       "[RecentFilesLine]\nline_ItemCount=2\nline_Item0=999\nline_Item1=x5\n"
       "[RecentStyle]\nstyle_ItemCount=1\nstyle_Item0=zz\n");
  TMainForm& f = Make({a});
  EXPECT_EQ(Doc().SelStart(), Doc().TextLength());  // 999 clamped
  EXPECT_EQ(f.StyleIndex, 4);                        // "zz": chosen by extension
  Make({b});
  EXPECT_EQ(Doc().SelStart(), 0);  // "x5" reads as 0
  TMainForm& g = Make({c});
  EXPECT_EQ(Doc().SelStart(), 0);  // no entry at all
  const TRecentLists lists = LoadRecentLists(SettingsFile());
  EXPECT_EQ(lists.Files, (std::vector<std::string>{c, b, a}));
  EXPECT_EQ(lists.Lines.size(), 3u);
  EXPECT_EQ(lists.Styles.size(), 3u);
  EXPECT_EQ(g.RecentLines.size(), 3u);
  EXPECT_EQ(g.RecentStyles.size(), 3u);
}

TEST_F(RecentTest, TheTwentyFirstFilePushesTheOldestOutAndEntriesStayWithTheirFiles) {
  std::string ini = "[RecentFiles]\nfile_ItemCount=20\n";
  std::string lines = "[RecentFilesLine]\nline_ItemCount=20\n";
  std::string styles = "[RecentStyle]\nstyle_ItemCount=20\n";
  for (int i = 0; i < 20; ++i) {
    const std::string n = std::to_string(i);
    ini += "file_Item" + n + "=/f" + n + "\n";
    lines += "line_Item" + n + "=" + std::to_string(i * 10) + "\n";
    styles += "style_Item" + n + "=" + std::to_string(i % 10) + "\n";
  }
  Spit(SettingsFile(), ini + lines + styles);
  TMainForm& f = Make();
  f.SelectStyle(7);
  f.RegisterRecent("/new");
  const TRecentLists after = LoadRecentLists(SettingsFile());
  ASSERT_EQ(after.Files.size(), 20u);
  EXPECT_EQ(after.Files[0], "/new");
  EXPECT_EQ(after.Lines[0], "0");
  EXPECT_EQ(after.Styles[0], "7");
  for (int i = 1; i < 20; ++i) {
    EXPECT_EQ(after.Files[static_cast<std::size_t>(i)], "/f" + std::to_string(i - 1));
    EXPECT_EQ(after.Lines[static_cast<std::size_t>(i)], std::to_string((i - 1) * 10));
    EXPECT_EQ(after.Styles[static_cast<std::size_t>(i)], std::to_string((i - 1) % 10));
  }
  EXPECT_EQ(f.FIListBox2->Items(), after.Files);
  EXPECT_EQ(f.RecentLines, after.Lines);
}

TEST_F(RecentTest, TheFileMenuListsTenRecentFilesAndClearingEmptiesIt) {
  std::vector<std::string> files;
  for (int i = 0; i < 12; ++i) files.push_back(File("f" + std::to_string(i) + ".txt", "x\r\n"));
  TMainForm& f = Make({files[3]});
  // Other windows registered these meanwhile: the menu re-reads the file.
  for (const std::string& file : files) RegisterRecentInSettings(SettingsFile(), file, 0);
  f.RunMenuHooks(TMenu::File);
  for (int n = 0; n < 10; ++n) {
    QAction* his = f.Action("His" + std::to_string(n));
    const std::string& path = files[static_cast<std::size_t>(11 - n)];
    EXPECT_TRUE(his->isVisible()) << n;
    EXPECT_EQ(his->text(), QStringLiteral("&%1. ").arg(n) + Q(path)) << n;
    EXPECT_EQ(his->isChecked(), path == files[3]) << n;
    EXPECT_TRUE(f.Submenu("H1")->actions().contains(his)) << n;
  }
  EXPECT_TRUE(f.Action("His0")->actionGroup()->isExclusive());

  f.His0Click(8);  // the current document: nothing happens
  EXPECT_TRUE(launched.empty());
  f.His0Click(0);
  EXPECT_EQ(launched, std::vector<std::vector<std::string>>{{files[11]}});

  ASSERT_TRUE(f.RunCommand("ClearHistory1"));
  EXPECT_EQ(f.FIListBox2->Count(), 0);
  f.RunMenuHooks(TMenu::File);
  for (int n = 0; n < 10; ++n) EXPECT_FALSE(f.Action("His" + std::to_string(n))->isVisible()) << n;
  EXPECT_TRUE(LoadRecentLists(SettingsFile()).Files.empty());

  // An ampersand in a path is shown, not taken for an access key.
  f.RegisterRecent("/a&b.txt");
  f.RunMenuHooks(TMenu::File);
  EXPECT_EQ(f.Action("His0")->text(), QStringLiteral("&0. /a&&b.txt"));
}

TEST_F(RecentTest, FavouritesKeepOneEntryPerFileAndAreShared) {
  TMainForm& f = Make();
  ASSERT_TRUE(f.RunCommand("AddFavorite1"));  // untitled: not added
  EXPECT_EQ(f.FIListBox3->Count(), 0);
  const std::string a = File("a.txt", "a\r\n");
  const std::string b = File("b.txt", "b\r\n");
  f.LoadDocument(a);
  f.PageControl1->setCurrentIndex(0);
  ASSERT_TRUE(f.RunCommand("AddFavorite1"));
  EXPECT_EQ(f.PageControl1->currentIndex(), 2);
  AddFavoriteInSettings(SettingsFile(), b);  // another window
  ASSERT_TRUE(f.RunCommand("AddFavorite1"));
  EXPECT_EQ(f.FIListBox3->Items(), (std::vector<std::string>{a, b}));
  EXPECT_EQ(LoadFavorites(SettingsFile()), (std::vector<std::string>{a, b}));
  ASSERT_TRUE(f.RunCommand("ClearFavorite1"));
  EXPECT_EQ(f.FIListBox3->Count(), 0);
  EXPECT_TRUE(LoadFavorites(SettingsFile()).empty());
}

TEST_F(RecentTest, TheRecentPageReReadsTheListsOtherPagesDoNot) {
  TMainForm& f = Make();
  RegisterRecentInSettings(SettingsFile(), "/other/r.txt", 0);
  AddFavoriteInSettings(SettingsFile(), "/other/f.txt");
  f.PageControl1->setCurrentIndex(0);
  EXPECT_EQ(f.FIListBox2->Count(), 0);
  f.PageControl1->setCurrentIndex(1);
  EXPECT_EQ(f.FIListBox2->Items(), std::vector<std::string>{"/other/r.txt"});
  EXPECT_EQ(f.FIListBox3->Items(), std::vector<std::string>{"/other/f.txt"});
}

TEST_F(RecentTest, AClickPreviewsTheFileAndADoubleClickOpensItElsewhere) {
  TMainForm& f = Make();
  const std::string doc = File("p.txt", "\x82\xa0\x82\xa2\r\nline 2\r\n");  // あい
  f.FIListBox3->SetItems({doc});
  QListWidgetItem* item = f.FIListBox3->item(0);
  f.FIListBox3->setCurrentItem(item);
  emit f.FIListBox3->itemClicked(item);
  EXPECT_EQ(f.Memo2->Editor().Lines().Get(0), "\x82\xa0\x82\xa2");
  EXPECT_EQ(f.Memo2->Editor().Lines().Get(1), "line 2");
  EXPECT_EQ(f.StatusText(3), Q(doc));
  EXPECT_FALSE(f.Memo2->Editor().Modified());
  emit f.FIListBox3->itemDoubleClicked(item);
  EXPECT_EQ(launched, std::vector<std::vector<std::string>>{{doc}});

  // The right button switches all three lists between names and paths.
  f.FIListBox1->SetItems({doc});
  EXPECT_EQ(f.FIListBox1->DisplayText(0), QStringLiteral("p.txt"));
  QTest::mousePress(f.FIListBox2->viewport(), Qt::RightButton, {}, QPoint(5, 5));
  for (TFIListBox* list : {f.FIListBox1, f.FIListBox2, f.FIListBox3}) EXPECT_TRUE(list->ShowFullPath());
  EXPECT_EQ(f.FIListBox1->DisplayText(0), Q(doc));
  QTest::mousePress(f.FIListBox1->viewport(), Qt::RightButton, {}, QPoint(5, 5));
  for (TFIListBox* list : {f.FIListBox1, f.FIListBox2, f.FIListBox3}) EXPECT_FALSE(list->ShowFullPath());
}

TEST_F(RecentTest, ThePreviewNeverReadsFoldersOrFifosAndReportsMissingFiles) {
  TMainForm& f = Make();
  f.PreviewFile(File("p.txt", "text\r\n"));
  const std::string fifo = dir.File("fifo");
  ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
  for (const std::string& path : {fifo, dir.Path(), std::string("/dev/null")}) {
    f.PreviewFile(path);  // would hang if a FIFO were read
    EXPECT_EQ(f.Memo2->Editor().Lines().GetCount(), 0) << path;
    EXPECT_TRUE(f.StatusText(3).startsWith(Q(path) + " : ")) << path;
  }
  prompts.Expect(TKind::Error);
  f.PreviewFile(dir.File("gone.txt"));
  EXPECT_EQ(f.Memo2->Editor().Lines().GetCount(), 0);
}

TEST_F(RecentTest, ALargeFilePreviewsItsBeginningInWholeLines) {
  TMainForm& f = Make();
  const std::string path = dir.File("big.txt");
  {
    std::string line(99, 'x');
    line += "\r\n";  // 101 bytes
    std::string text;
    while (text.size() <= kPreviewMaxBytes) text += line;
    Spit(path, text);
  }
  f.PreviewFile(path);
  TEditor& preview = f.Memo2->Editor();
  const int whole = static_cast<int>(kPreviewMaxBytes / 101);
  EXPECT_EQ(preview.Lines().GetCount(), whole);
  EXPECT_EQ(preview.Lines().Get(whole - 1), std::string(99, 'x'));
  EXPECT_TRUE(f.StatusText(3).contains(QString::fromUtf8("先頭の16MBだけ")));
}

// Another window (here a second thread using the settings file the same
// way) registers its file at the moment this window registers its own:
// both must be in the list afterwards. Each write pauses before it takes
// effect, so without the lock one writer would overwrite the other.
TEST_F(RecentTest, TwoUsersRegisteringAtTheSameMomentBothSurvive) {
  TMainForm& f = Make();
  SetSettingsFileWriteHook([](const char* stage) {
    if (std::string_view(stage) == "before-rename") std::this_thread::sleep_for(std::chrono::microseconds(300));
  });
  struct THookReset {
    ~THookReset() { SetSettingsFileWriteHook(nullptr); }
  } reset;
  for (int i = 0; i < 100; ++i) {
    const std::string mine = File("mine" + std::to_string(i) + ".txt", "m\r\n");
    const std::string theirs = dir.File("theirs" + std::to_string(i) + ".txt");
    std::latch start(2);
    std::thread other([&] {
      start.arrive_and_wait();
      RegisterRecentInSettings(SettingsFile(), theirs, 0);
    });
    start.arrive_and_wait();
    f.LoadDocument(mine);
    other.join();
    const std::vector<std::string> files = LoadRecentLists(SettingsFile()).Files;
    ASSERT_NE(std::find(files.begin(), files.end(), mine), files.end()) << i;
    ASSERT_NE(std::find(files.begin(), files.end(), theirs), files.end()) << i;
  }
}

}  // namespace
}  // namespace yk::test
