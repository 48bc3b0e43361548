// Snapshot names, header checks, the version list and deletion at exit.
#include "shell/version_history.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>

#include "shell/file_names.h"
#include "shell/shell_test_util.h"
#include "temp_dir.h"
#include "text/errors.h"

namespace yk {
namespace {

using test::Sjis;

TEST(VersionHistory, SnapshotNames) {
  const std::string stamp = "2007\x94\x4e" "03\x8c\x8e" "09\x93\xfa_14\x8e\x9e" "05\x95\xaa" "30\x95\x62_";
  struct Case {
    std::string header;
    std::string file;
    std::string name;
  };
  const Case cases[] = {
      {stamp, "/doc/memo.txt", "/v/" + stamp + "memo.txt"},
      {"v1.2_", "/doc/README", "/v/v1.2_README"},       // the header's dot is no extension
      {"v1.2_", "/doc/a.tar.gz", "/v/v1.2_a.tar.gz"},
      {"x_", "/doc.d/README", "/v/x_README"},
      {"x_", std::string(kUntitledName), "/v/x_\x96\xb3\x91\xe8"},  // 無題, no extension
  };
  for (const Case& c : cases) EXPECT_EQ(SnapshotFileName("/v", c.header, c.file), c.name) << c.file;
  EXPECT_EQ(SnapshotFileName("/v/", "h", "/a/b.txt"), "/v/hb.txt");
  EXPECT_EQ(VersionFolder("/home/u/.config/yomikaki/Yomikaki.ini"), "/home/u/.config/yomikaki/versions");
  EXPECT_EQ(VersionFolder("/Yomikaki.ini"), "/versions");
}

TEST(VersionHistory, HeaderChecks) {
  const std::string_view good[] = {"v1.2_", "a", "...", ".x", "\x83\x5c_",  // ソ_: its trail byte is "\"
                                   "2007\x94\x4e_"};
  for (std::string_view h : good) EXPECT_FALSE(VersionHeaderError(h)) << h;
  const std::string_view bad[] = {"", ".", "..", "a/b", "../", "/", "a\\b", std::string_view("a\0b", 3), "a\nb", "\t"};
  for (std::string_view h : bad) EXPECT_TRUE(VersionHeaderError(h)) << h;
  EXPECT_EQ(*VersionHeaderError(""), Sjis("ヘッダを入力してください。"));
  EXPECT_EQ(*VersionHeaderError("a/b"),
            Sjis("ヘッダに使用できない文字が含まれています。（/ \\ 制御文字、「.」「..」だけのヘッダは使用できません）"));
}

TEST(VersionHistory, PrepareRefusesBadHeadersAndMakesThePrivateFolder) {
  test::TTempDir dir;
  const std::string settings = dir.File("Yomikaki.ini");
  EXPECT_THROW(PrepareSnapshotPath(settings, "../", "/d/a.txt"), Exception);
  EXPECT_FALSE(std::filesystem::exists(dir.File("versions")));  // nothing made for a refused header
  EXPECT_EQ(PrepareSnapshotPath(settings, "h_", "/d/a.txt"), dir.File("versions/h_a.txt"));
  struct stat st {};
  ASSERT_EQ(::stat(dir.File("versions").c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 0777, 0700u);
  EXPECT_EQ(PrepareSnapshotPath(settings, "h_", "/d/a.txt"), dir.File("versions/h_a.txt"));  // exists already
  test::TTempDir other;
  test::Spit(other.File("versions"), "a file in the way");
  EXPECT_THROW(PrepareSnapshotPath(other.File("Yomikaki.ini"), "h_", "/d/a.txt"), EFileError);
}

TEST(VersionHistory, ListKeepsOneEntryPerNameAndAtMostAHundred) {
  TVersionList list;
  EXPECT_EQ(list.Add("/v/a"), TVersionList::varAdded);
  EXPECT_EQ(list.Add("/v/b"), TVersionList::varAdded);
  EXPECT_EQ(list.Add("/v/a"), TVersionList::varAdded);  // same second, same name: moves up
  EXPECT_EQ(list.Items(), (std::vector<std::string>{"/v/a", "/v/b"}));
  for (int i = 2; i < kMaxVersionFiles; ++i) list.Add("/v/" + std::to_string(i));
  EXPECT_EQ(list.Count(), kMaxVersionFiles);
  EXPECT_EQ(list.Add("/v/new"), TVersionList::varFull);
  EXPECT_EQ(list.Count(), kMaxVersionFiles);
  EXPECT_EQ(list.Items().front(), "/v/99");
  EXPECT_EQ(kVersionListFullMessage, Sjis("履歴リストに追加できません[最大100ファイル]"));
}

TEST(VersionHistory, ExitModes) {
  struct Case {
    int mode;
    bool deleteHistory;
    bool deletes;
  };
  const Case cases[] = {{hdmFollowSetting, true, true}, {hdmFollowSetting, false, false}, {hdmDelete, false, true},
                        {hdmDelete, true, true},        {hdmKeep, true, false},          {hdmKeep, false, false},
                        {0, true, false},               {7, true, false}};
  for (const Case& c : cases) EXPECT_EQ(ShouldDeleteVersionFiles(c.mode, c.deleteHistory), c.deletes) << c.mode;
  // The command captioned "delete and exit" deletes whatever the setting;
  // the one captioned "keep" never does.
  EXPECT_TRUE(ShouldDeleteVersionFiles(kModeOfDeleteAndExit, false));
  EXPECT_FALSE(ShouldDeleteVersionFiles(kModeOfKeepAndExit, true));
}

TEST(VersionHistory, DeleteFilesRemovesOnlyListedFiles) {
  test::TTempDir dir;
  TVersionList list;
  for (const char* name : {"a.txt", "b.txt"}) {
    test::Spit(dir.File(name), "x");
    list.Add(dir.File(name));
  }
  list.Add(dir.File("gone.txt"));  // never written
  std::filesystem::create_directory(dir.File("folder"));
  test::Spit(dir.File("folder/inner"), "x");
  list.Add(dir.File("folder"));
  test::Spit(dir.File("kept.txt"), "x");
  EXPECT_EQ(list.DeleteFiles(), 2);
  EXPECT_EQ(list.Count(), 0);
  EXPECT_FALSE(std::filesystem::exists(dir.File("a.txt")));
  EXPECT_FALSE(std::filesystem::exists(dir.File("b.txt")));
  EXPECT_TRUE(std::filesystem::exists(dir.File("folder/inner")));
  EXPECT_TRUE(std::filesystem::exists(dir.File("kept.txt")));
}

TEST(VersionHistory, SnapshotFilesAreMadeExclusivelyAndPrivateWithANumberOnCollision) {
  test::TTempDir dir;
  const std::string memo = dir.File("h_memo.txt");
  const std::string untitled = dir.File("h_\x96\xb3\x91\xe8");  // 無題
  std::filesystem::create_symlink(dir.File("elsewhere"), dir.File("link.txt"));  // dangling
  const struct {
    std::string asked;
    std::string made;
  } cases[] = {
      {memo, memo},
      {memo, dir.File("h_memo(2).txt")},
      {memo, dir.File("h_memo(3).txt")},
      {untitled, untitled},
      {untitled, untitled + "(2)"},
      {dir.File("link.txt"), dir.File("link(2).txt")},  // never written through a link
  };
  for (const auto& c : cases) {
    EXPECT_EQ(CreateSnapshotFile(c.asked), c.made);
    struct stat st{};
    ASSERT_EQ(::lstat(c.made.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 07777, 0600u);
  }
  EXPECT_FALSE(std::filesystem::exists(dir.File("elsewhere")));
  EXPECT_THROW(CreateSnapshotFile(dir.File("no/such/folder.txt")), EFileError);

  // A listed snapshot is the window's own only while it is the file written.
  TVersionList list;
  list.Add(memo, VersionFileIdOf(memo));
  EXPECT_TRUE(list.Wrote(memo));
  EXPECT_FALSE(list.Wrote(dir.File("h_memo(2).txt")));  // not listed
  test::Spit(memo + ".new", "another window's");
  std::filesystem::rename(memo + ".new", memo);
  EXPECT_FALSE(list.Wrote(memo));
  EXPECT_EQ(list.DeleteFiles(), 0);
  EXPECT_TRUE(std::filesystem::exists(memo));
}

TEST(FileNames, Parts) {
  struct Case {
    std::string_view path, folder, name, ext;
  };
  const Case cases[] = {
      {"/a/b.txt", "/a/", "b.txt", ".txt"}, {"/a.b/c", "/a.b/", "c", ""},     {"x.tar.gz", "", "x.tar.gz", ".gz"},
      {"/a/README.", "/a/", "README.", "."}, {"/", "/", "", ""},                {"/a/.profile", "/a/", ".profile", ".profile"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(FolderOf(c.path), c.folder) << c.path;
    EXPECT_EQ(NameOf(c.path), c.name) << c.path;
    EXPECT_EQ(ExtensionOf(c.path), c.ext) << c.path;
  }
}

}  // namespace
}  // namespace yk
