// Saving a file: the old copy survives anything short of a complete new
// one, the file keeps its permissions, owner, links and its only name, and
// a save in place puts the old bytes back when it fails.
#include "text/safe_file.h"
#include "text/errors.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>

#include "file_faults.h"
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

ino_t InodeOf(const std::string& path) {
  struct stat st {};
  ::stat(path.c_str(), &st);
  return st.st_ino;
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
  {
    // A writable file in a folder that is not: rewritten in place.
    TSafeFileWriter out(path);
    EXPECT_EQ(out.Method(), TSafeFileWriter::TMethod::InPlace);
    out.Write("new");
    out.Commit();
  }
  ::chmod(sub.c_str(), 0755);
  EXPECT_EQ(Slurp(path), "new");
}

// How a save goes depends on what a rename would lose: a file with a
// second name is rewritten in place (both names see the new text), one
// whose mode forbids writing is refused even for root, a link whose file
// does not exist yet gets that file.
TEST(SafeFile, TheWayToSaveKeepsWhatTheFileIs) {
  test::TTempDir dir;
  const std::string plain = dir.File("plain.txt"), linked = dir.File("linked.txt"), other = dir.File("other.txt");
  Spit(plain, "old");
  ::chmod(plain.c_str(), 0640);
  Spit(linked, "old");
  std::filesystem::create_hard_link(linked, other);
  const std::string dangling = dir.File("dangling.txt"), target = dir.File("target.txt");
  std::filesystem::create_symlink("target.txt", dangling);
  struct {
    std::string path;
    TSafeFileWriter::TMethod method;
    bool same_inode;
  } const cases[] = {
      {plain, TSafeFileWriter::TMethod::Rename, false},
      {linked, TSafeFileWriter::TMethod::InPlace, true},
      {dangling, TSafeFileWriter::TMethod::Rename, false},
  };
  for (const auto& c : cases) {
    const ino_t before = InodeOf(c.path);
    TSafeFileWriter out(c.path);
    EXPECT_EQ(out.Method(), c.method) << c.path;
    out.Write("new");
    out.Commit();
    EXPECT_EQ(Slurp(c.path), "new") << c.path;
    if (c.same_inode) {
      EXPECT_EQ(InodeOf(c.path), before) << c.path;
    }
  }
  EXPECT_EQ(ModeOf(plain), 0640);
  EXPECT_EQ(Slurp(other), "new");
  EXPECT_TRUE(std::filesystem::is_symlink(dangling));
  EXPECT_EQ(Slurp(target), "new");

  const std::string locked = dir.File("locked.txt");
  Spit(locked, "keep");
  ::chmod(locked.c_str(), 0444);
  try {
    TSafeFileWriter out(locked);
    ADD_FAILURE() << "a file without write permission was opened for saving";
  } catch (const EFileError& e) {
    EXPECT_EQ(e.Error(), EACCES);
  }
  EXPECT_EQ(Slurp(locked), "keep");
  const std::string nowhere = dir.File("nowhere.txt");
  std::filesystem::create_symlink("missing/x.txt", nowhere);
  EXPECT_THROW(TSafeFileWriter out(nowhere), EFileError);
  EXPECT_TRUE(std::filesystem::is_symlink(nowhere));
}

// A save in place that fails part-way, or is given up, puts the old bytes
// back (or names their copy when even that fails); without a place for the
// copy of the old bytes nothing is written.
TEST(SafeFile, ASaveInPlaceThatFailsPutsTheOldBytesBack) {
  test::TTempDir dir;
  const std::string path = dir.File("doc.txt"), other = dir.File("other.txt"), backups = dir.File("backups");
  const std::string old = "old text\n";
  Spit(path, old);
  std::filesystem::create_hard_link(path, other);  // so that it is saved in place
  TSafeFileWriter::SetBackupFolder(backups);
  {
    const test::TFileSizeLimit limit(64 << 10);
    TSafeFileWriter out(path);
    ASSERT_EQ(out.Method(), TSafeFileWriter::TMethod::InPlace);
    EXPECT_THROW(out.Write(std::string(1 << 20, 'x')), EFileError);
  }
  EXPECT_EQ(Slurp(path), old);
  {
    TSafeFileWriter out(path);
    out.Write("given up");
  }
  EXPECT_EQ(Slurp(other), old);
  EXPECT_EQ(EntriesIn(backups), 0u) << "the copy of the old bytes stays behind";

  // Should the old bytes not go back either, the error names their copy.
  const std::string large(200 << 10, 'o');
  Spit(path, large);
  try {
    TSafeFileWriter out(path);
    const test::TFileSizeLimit limit(64 << 10);
    out.Write(std::string(1 << 20, 'x'));
    ADD_FAILURE() << "a write past the limit succeeded";
  } catch (const EFileDamaged& e) {
    EXPECT_EQ(Slurp(e.BackupPath()), large);
    std::filesystem::remove(e.BackupPath());
  }

  const std::string before = Slurp(path);
  Spit(dir.File("file"), "");
  TSafeFileWriter::SetBackupFolder(dir.File("file/backups"));
  EXPECT_THROW(TSafeFileWriter out(path), EBackupError);
  TSafeFileWriter::SetBackupFolder({});
  EXPECT_EQ(Slurp(path), before);
}
