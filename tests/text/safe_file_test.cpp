// Saving through a temporary file: the old copy survives anything short of
// a complete new one, and the file keeps its permissions and links.
#include "text/safe_file.h"
#include "text/errors.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>

#include "temp_dir.h"

using namespace yk;
using yk::test::Slurp;
using yk::test::Spit;

namespace {

int ModeOf(const std::string& path) {
  struct stat st {};
  ::stat(path.c_str(), &st);
  return static_cast<int>(st.st_mode & 07777);
}

std::size_t EntriesIn(const std::string& dir) {
  std::size_t n = 0;
  for ([[maybe_unused]] const auto& e : std::filesystem::directory_iterator(dir)) ++n;
  return n;
}

}  // namespace

TEST(SafeFile, AnUnfinishedSaveLeavesTheOldFileAndNoLitter) {
  test::TTempDir dir;
  const std::string path = dir.File("doc.txt");
  Spit(path, "old text");
  {
    TSafeFileWriter out(path);
    out.Write("new text that never");
    // destroyed without Commit: as if the save had failed half-way
  }
  EXPECT_EQ(Slurp(path), "old text");
  EXPECT_EQ(EntriesIn(dir.Path()), 1u);
  TSafeFileWriter out(path);
  out.Write("new ");
  out.Write(std::string(3 << 20, 'x'));  // larger than the write buffer
  out.Commit();
  EXPECT_EQ(Slurp(path), "new " + std::string(3 << 20, 'x'));
  EXPECT_EQ(EntriesIn(dir.Path()), 1u);
}

TEST(SafeFile, PermissionsAndLinksAreKept) {
  test::TTempDir dir;
  const std::string path = dir.File("doc.txt"), link = dir.File("link.txt");
  Spit(path, "a");
  ::chmod(path.c_str(), 0640);
  std::filesystem::create_symlink(path, link);
  TSafeFileWriter out(link);
  out.Write("b");
  out.Commit();
  EXPECT_EQ(ModeOf(path), 0640);
  EXPECT_TRUE(std::filesystem::is_symlink(link));
  EXPECT_EQ(Slurp(path), "b");

  const std::string fresh = dir.File("new.txt");
  mode_t mask = ::umask(022);
  TSafeFileWriter create(fresh);
  create.Commit();
  ::umask(mask);
  EXPECT_EQ(ModeOf(fresh), 0644);
}

TEST(SafeFile, AFolderWithoutWriteAccessIsSavedInPlaceWhenAllowed) {
  if (::geteuid() == 0) GTEST_SKIP() << "the superuser may write anywhere";
  test::TTempDir dir;
  const std::string sub = dir.File("locked");
  std::filesystem::create_directory(sub);
  const std::string path = sub + "/doc.txt";
  Spit(path, "old");
  ::chmod(sub.c_str(), 0555);
  EXPECT_THROW(TSafeFileWriter strict(path), EFileError);
  {
    TSafeFileWriter out(path, {}, true);
    out.Write("new");
    out.Commit();
  }
  ::chmod(sub.c_str(), 0755);
  EXPECT_EQ(Slurp(path), "new");
}
