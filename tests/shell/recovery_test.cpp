// Recovery snapshot names: one per full path, within the name limit, the
// untitled ones listed oldest first, and their folder.
#include "shell/recovery.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>

#include "shell/version_history.h"
#include "temp_dir.h"
#include "text/errors.h"

namespace yk {
namespace {

std::string NameOf(const std::string& path) { return std::filesystem::path(path).filename().string(); }

TEST(Recovery, NamesFollowTheFullPath) {
  const std::string a = RecoveryFileName("/v", "/home/u/memo.txt");
  EXPECT_EQ(a.rfind("/v/recovery-", 0), 0u) << a;
  EXPECT_EQ(a.substr(a.size() - 9), "-memo.txt");
  EXPECT_EQ(RecoveryFileName("/v/", "/home/u/memo.txt"), a);
  // Same name, other folder; and paths differing in one byte.
  EXPECT_NE(RecoveryFileName("/v", "/home/w/memo.txt"), a);
  EXPECT_NE(RecoveryFileName("/v", "/home/u/memo.txT"), a);
  // CP932 bytes in the name stay as they are: 日本語.txt
  const std::string sjis = RecoveryFileName("/v", "/d/\x93\xfa\x96\x7b\x8c\xea.txt");
  EXPECT_EQ(sjis.substr(sjis.size() - 11), "-\x93\xfa\x96\x7b\x8c\xea.txt");
}

TEST(Recovery, LongNamesAreCutWithinTheLimitAndNotInsideACharacter) {
  std::string kana;  // "あ" in UTF-8, 3 bytes each, 255 bytes in all
  for (int i = 0; i < 85; ++i) kana += "\xe3\x81\x82";
  for (const std::string& name : {std::string(255, 'x'), kana}) {
    const std::string file = NameOf(RecoveryFileName("/v", "/d/" + name));
    EXPECT_LE(file.size(), 200u);
    EXPECT_EQ(file.rfind("recovery-", 0), 0u);
    if (name == kana) {
      EXPECT_EQ((file.size() - 26) % 3, 0u) << file;
    }
  }
  EXPECT_NE(RecoveryFileName("/v", "/d/" + std::string(255, 'x')),
            RecoveryFileName("/v", "/d/" + std::string(254, 'x') + "y"));
}

TEST(Recovery, UntitledSnapshotsAreListedOldestFirst) {
  test::TTempDir dir;
  const std::string folder = dir.File("v");
  EXPECT_TRUE(UntitledRecoveryFiles(folder).empty());  // no folder yet
  std::filesystem::create_directory(folder);
  const std::string newer = UntitledRecoveryFileName(folder, 0x20000, 7);
  const std::string older = UntitledRecoveryFileName(folder, 0x1ffff, 9000);
  const std::string same_time = UntitledRecoveryFileName(folder, 0x20000, 8);
  EXPECT_NE(newer, same_time);
  for (const std::string& f : {newer, older, same_time}) test::Spit(f, "x");
  test::Spit(RecoveryFileName(folder, "/d/a.txt"), "x");  // a titled one
  test::Spit(folder + "/x_memo.txt", "x");                 // a version file
  std::filesystem::create_directory(UntitledRecoveryFileName(folder, 1, 1));  // not a file
  EXPECT_EQ(UntitledRecoveryFiles(folder), (std::vector<std::string>{older, newer, same_time}));
}

TEST(Recovery, FolderIsMadePrivateBesideTheSettings) {
  test::TTempDir dir;
  const std::string settings = dir.File("Yomikaki.ini");
  const std::string folder = PrepareRecoveryFolder(settings);
  EXPECT_EQ(folder, VersionFolder(settings));
  struct stat st{};
  ASSERT_EQ(::stat(folder.c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 0777, 0700u);
  EXPECT_EQ(PrepareRecoveryFolder(settings), folder);  // exists already
  test::TTempDir other;
  test::Spit(other.File("versions"), "a file in the way");
  EXPECT_THROW(PrepareRecoveryFolder(other.File("Yomikaki.ini")), EFileError);
}

}  // namespace
}  // namespace yk
