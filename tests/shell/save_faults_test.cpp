// Saving a document when things go wrong: a full disk, a process killed in
// the middle of a save (and its leftovers, removed by the next save), a
// folder that cannot be written, a file replaced by a folder, an ordinary
// user's saves of files of other owners, groups and links. Each leaves the
// old file whole or the new one complete. The faults are made in child
// processes, so a limit, a kill or a change of user never reaches the test
// program.
#include <sys/resource.h>
#include <sys/stat.h>
#include <fcntl.h>
#include <grp.h>
#include <sys/file.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <csignal>
#include <filesystem>
#include <memory>
#include <random>
#include <thread>

#include <gtest/gtest.h>

#include "file_faults.h"
#include "shell/document_file.h"
#include "temp_dir.h"
#include "text/errors.h"
#include "text/safe_file.h"

namespace yk {
namespace {

using test::Slurp;
using test::Spit;
using test::TTempDir;

// Rows of a document of about bytes bytes, each line marked with tag so
// that two documents never share a prefix of the same length.
std::unique_ptr<TPointerStringList> Rows(char tag, std::size_t bytes) {
  auto rows = std::make_unique<TPointerStringList>();
  const std::string line = std::string(1, tag) + std::string(62, 'x');
  for (std::size_t n = 0; n < bytes; n += line.size() + 2) rows->Append(line, raCrlf);
  return rows;
}

std::string Bytes(const TPointerStringList& rows) {
  std::string s;
  for (int r = 0; r < rows.GetCount(); ++r) s.append(rows.Row(r)).append("\r\n");
  return s;
}

std::size_t EntryCount(const std::string& folder) {
  return static_cast<std::size_t>(std::distance(std::filesystem::directory_iterator(folder), {}));
}

// Runs body in a child process and returns its exit code (-signal when a
// signal ended it); a child that takes longer than 30 s is killed.
template <typename Body>
int InChild(Body&& body) {
  const pid_t pid = ::fork();
  if (pid == 0) {
    int code = 99;
    try {
      code = body();
    } catch (...) {
    }
    ::_exit(code);
  }
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(30);
  int status = 0;
  while (::waitpid(pid, &status, WNOHANG) == 0) {
    if (std::chrono::steady_clock::now() > deadline) {
      ::kill(pid, SIGKILL);
      ::waitpid(pid, &status, 0);
      return -1000;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
  }
  return WIFSIGNALED(status) ? -WTERMSIG(status) : WEXITSTATUS(status);
}

// 0 when the save failed with the expected error number, 1 when it
// succeeded, 2 when it failed with another one.
int SaveExpectingError(const TPointerStringList& rows, const std::string& path, std::initializer_list<int> errors) {
  try {
    SaveDocumentRows(rows, path, TLineEnd::CrLf, false, false);
    return 1;
  } catch (const EFileError& e) {
    for (int error : errors)
      if (e.Error() == error) return 0;
    return 2;
  }
}

TEST(SaveFaultsTest, ADiskThatFillsUpWhileWritingKeepsTheOldFile) {
  TTempDir dir;
  const std::string path = dir.File("doc.txt");
  Spit(path, "old\r\n");
  const auto rows = Rows('n', 1 << 20);
  const int code = InChild([&] {
    // The size limit makes every write past 64 KiB fail as a full disk
    // would, with EFBIG instead of the signal.
    std::signal(SIGXFSZ, SIG_IGN);
    struct rlimit limit{};
    ::getrlimit(RLIMIT_FSIZE, &limit);
    limit.rlim_cur = 64 << 10;
    if (::setrlimit(RLIMIT_FSIZE, &limit) != 0) return 3;
    return SaveExpectingError(*rows, path, {EFBIG});
  });
  EXPECT_EQ(code, 0);
  EXPECT_EQ(Slurp(path), "old\r\n");
  EXPECT_EQ(EntryCount(dir.Path()), 1u) << "the temporary file stays behind";
  EXPECT_EQ(DiagnoseSaveFailure(path, 1 << 20, EFBIG), TSaveProblem::TooLarge);
  EXPECT_EQ(DiagnoseSaveFailure(path, 1 << 20, ENOSPC), TSaveProblem::DiskFull);
}

// A save killed at any moment leaves the complete old or the complete new
// file: the new bytes go to a temporary file that is flushed to disk
// before it is renamed over the old one.
TEST(SaveFaultsTest, AProcessKilledAtAnyPointOfASaveLeavesTheOldOrTheNewFile) {
  TTempDir dir;
  const std::string path = dir.File("doc.txt");
  const std::unique_ptr<TPointerStringList> versions[] = {Rows('a', 96 << 10), Rows('b', 160 << 10)};
  const std::string bytes[] = {Bytes(*versions[0]), Bytes(*versions[1])};
  Spit(path, bytes[0]);
  // How long one save takes here, so that the kills spread over all of it.
  const auto start = std::chrono::steady_clock::now();
  SaveDocumentRows(*versions[1], dir.File("probe.txt"), TLineEnd::CrLf, false, false);
  const auto took = std::chrono::steady_clock::now() - start;
  std::filesystem::remove(dir.File("probe.txt"));
  const auto span = std::chrono::duration_cast<std::chrono::microseconds>(took).count() * 3 / 2 + 200;

  std::mt19937 random(17);
  int current = 0, completed = 0;
  for (int run = 0; run < 200; ++run) {
    const int next = 1 - current;
    const pid_t pid = ::fork();
    if (pid == 0) {
      try {
        SaveDocumentRows(*versions[next], path, TLineEnd::CrLf, false, false);
      } catch (...) {
        ::_exit(1);
      }
      ::_exit(0);
    }
    std::this_thread::sleep_for(std::chrono::microseconds(random() % span));
    ::kill(pid, SIGKILL);
    int status = 0;
    ::waitpid(pid, &status, 0);
    const std::string now = Slurp(path);
    ASSERT_TRUE(now == bytes[current] || now == bytes[next]) << "run " << run << ": " << now.size() << " bytes";
    if (now == bytes[next]) {
      current = next;
      ++completed;
    }
    // A killed writer cannot remove its temporary file; only hidden ones
    // beside the document may be left, never anything under its name.
    for (const auto& entry : std::filesystem::directory_iterator(dir.Path())) {
      const std::string name = entry.path().filename().string();
      if (name == "doc.txt") continue;
      ASSERT_EQ(name.rfind(".doc.txt.yk-", 0), 0u) << name;
      std::filesystem::remove(entry.path());
    }
  }
  RecordProperty("completed_saves", completed);
}

// Makes a folder unwritable for this process: its permissions for an
// ordinary user, the immutable attribute for root (whom permissions do not
// stop). False when neither can be done here.
class TReadOnlyFolder {
 public:
  explicit TReadOnlyFolder(std::string folder) : folder_(std::move(folder)) {
    if (::geteuid() != 0) {
      ok_ = ::chmod(folder_.c_str(), 0555) == 0;
      return;
    }
    ok_ = test::SetImmutable(folder_, true);
  }
  ~TReadOnlyFolder() {
    if (::geteuid() != 0) ::chmod(folder_.c_str(), 0755);
    else if (ok_) test::SetImmutable(folder_, false);
  }
  bool Ok() const { return ok_; }

 private:
  std::string folder_;
  bool ok_ = false;
};

// A folder that cannot be written takes no new file; a writable file that
// is already there is rewritten in place rather than refused.
TEST(SaveFaultsTest, AFolderThatCannotBeWrittenTakesNoNewFileButItsFilesAreSaved) {
  TTempDir dir;
  const std::string folder = dir.File("ro");
  std::filesystem::create_directory(folder);
  const std::string path = folder + "/doc.txt", fresh = folder + "/new.txt";
  Spit(path, "old\r\n");
  TReadOnlyFolder read_only(folder);
  if (!read_only.Ok()) GTEST_SKIP() << "no way to make a folder read-only here";
  const auto rows = Rows('n', 1000);
  EXPECT_EQ(SaveExpectingError(*rows, fresh, {EACCES, EPERM}), 0);
  EXPECT_EQ(DiagnoseSaveFailure(fresh, 1000, EPERM), TSaveProblem::NoPermission);
  EXPECT_EQ(SaveExpectingError(*rows, path, {}), 1);
  EXPECT_EQ(Slurp(path), Bytes(*rows));
  EXPECT_EQ(EntryCount(folder), 1u);
}

// The document's file was deleted and a folder made under its name while
// the document was open: the save fails without touching the folder.
TEST(SaveFaultsTest, AFileReplacedByAFolderBeforeTheSaveIsLeftAlone) {
  TTempDir dir;
  const std::string path = dir.File("doc.txt");
  Spit(path, "old\r\n");
  std::filesystem::remove(path);
  std::filesystem::create_directory(path);
  Spit(path + "/inside", "kept");
  EXPECT_EQ(SaveExpectingError(*Rows('n', 1000), path, {EISDIR}), 0);
  EXPECT_TRUE(std::filesystem::is_directory(path));
  EXPECT_EQ(Slurp(path + "/inside"), "kept");
  EXPECT_EQ(EntryCount(dir.Path()), 1u) << "the temporary file stays behind";
  EXPECT_EQ(DiagnoseSaveFailure(path, 1000, EISDIR), TSaveProblem::Folder);
}

// Temporary files of writers that died go at the next save into their
// folder; one whose writer still holds it, and files of other kinds, stay.
TEST(SaveFaultsTest, LeftoversOfDeadWritersGoAtTheNextSave) {
  TTempDir dir;
  const pid_t dead = ::fork();
  if (dead == 0) ::_exit(0);
  ::waitpid(dead, nullptr, 0);
  int ready[2];
  ASSERT_EQ(::pipe(ready), 0);
  // Named after a process that is gone, but its lock is held.
  const std::string held = dir.File(".b.txt.yk-" + std::to_string(dead) + "-abcdef");
  const pid_t holder = ::fork();
  if (holder == 0) {
    const int fd = ::open(held.c_str(), O_WRONLY | O_CREAT, 0600);
    ::flock(fd, LOCK_EX);
    (void)!::write(ready[1], "x", 1);
    ::pause();
    ::_exit(0);
  }
  char c;
  ASSERT_EQ(::read(ready[0], &c, 1), 1);
  const std::string stale = dir.File(".a.txt.yk-" + std::to_string(dead) + "-Qx9z0a");
  const std::string old_form = dir.File(".a.txt.yk-Ab3dEf"), recent_old_form = dir.File(".c.txt.yk-Zz9yYx");
  const std::string unrelated = dir.File(".a.txt.yk-notmine");
  // A writer that runs and has not locked its file yet.
  const std::string starting = dir.File(".d.txt.yk-" + std::to_string(holder) + "-abcdef");
  for (const std::string& f : {stale, old_form, recent_old_form, unrelated, starting}) Spit(f, "x");
  const timespec long_ago[2] = {{0, 0}, {1000000000, 0}};
  ::utimensat(AT_FDCWD, old_form.c_str(), long_ago, 0);

  SaveDocumentRows(*Rows('n', 100), dir.File("doc.txt"), TLineEnd::CrLf, false);
  ::kill(holder, SIGKILL);
  ::waitpid(holder, nullptr, 0);
  EXPECT_FALSE(std::filesystem::exists(stale));
  EXPECT_FALSE(std::filesystem::exists(old_form));
  EXPECT_TRUE(std::filesystem::exists(held));
  EXPECT_TRUE(std::filesystem::exists(recent_old_form));
  EXPECT_TRUE(std::filesystem::exists(unrelated));
  EXPECT_TRUE(std::filesystem::exists(starting));
}

struct TOwner {
  uid_t uid;
  gid_t gid;
  mode_t mode;
  ino_t ino;
};

TOwner OwnerOf(const std::string& path) {
  struct stat st{};
  ::stat(path.c_str(), &st);
  return {st.st_uid, st.st_gid, st.st_mode & 07777, st.st_ino};
}

void Make(const std::string& path, uid_t uid, gid_t gid, mode_t mode, bool folder = false) {
  if (folder) std::filesystem::create_directory(path);
  else Spit(path, "old\r\n");
  ASSERT_EQ(::chown(path.c_str(), uid, gid), 0) << path;
  ASSERT_EQ(::chmod(path.c_str(), mode), 0) << path;
}

// An ordinary user's saves, by a child process that gives up root's rights
// for a user and group of its own plus a shared group: a file of another
// member of the group keeps its owner, group and mode; a file with two
// names stays one file; a writable file in a folder the user may not write
// (or in a sticky folder, owned by another) is saved in place; a file whose
// mode forbids writing is refused. Root is needed to make the files and
// to become the user, so the test is skipped for anybody else.
TEST(SaveFaultsTest, AnOrdinaryUsersSavesKeepWhatTheFilesAre) {
  if (::geteuid() != 0) GTEST_SKIP() << "only root can make files of other users and become one";
  constexpr uid_t kUser = 61001, kOther = 61002;
  constexpr gid_t kGroup = 61001, kShared = 62000;
  TTempDir dir;
  ::chmod(dir.Path().c_str(), 0755);
  const std::string shared = dir.File("shared"), ro = dir.File("ro"), sticky = dir.File("sticky");
  Make(shared, 0, kShared, 0775, true);
  Make(ro, 0, 0, 0755, true);
  Make(sticky, 0, 0, 01777, true);
  Make(dir.File("backups"), kUser, kGroup, 0700, true);
  struct TCase {
    std::string path;
    uid_t uid;
    gid_t gid;
    mode_t mode;
    bool saved;
    bool renamed;  // a new inode: written beside and renamed
  };
  const TCase cases[] = {
      {shared + "/group.txt", kOther, kShared, 0660, true, false},
      {shared + "/own.txt", kUser, kGroup, 0640, true, true},
      {shared + "/linked.txt", kUser, kGroup, 0644, true, false},
      {ro + "/mine.txt", kUser, kGroup, 0644, true, false},
      {sticky + "/theirs.txt", kOther, kOther, 0666, true, false},
      {sticky + "/mine.txt", kUser, kGroup, 0600, true, true},
      {shared + "/locked.txt", kUser, kGroup, 0444, false, false},
  };
  std::vector<TOwner> before;
  for (const TCase& c : cases) {
    Make(c.path, c.uid, c.gid, c.mode);
    before.push_back(OwnerOf(c.path));
  }
  std::filesystem::create_hard_link(shared + "/linked.txt", shared + "/linked2.txt");
  TPointerStringList rows;
  rows.Append("new", raCrlf);
  const int code = InChild([&] {
    const gid_t groups[] = {kShared};
    if (::setgroups(1, groups) != 0 || ::setresgid(kGroup, kGroup, kGroup) != 0 ||
        ::setresuid(kUser, kUser, kUser) != 0 || ::geteuid() != kUser)
      return 100;
    ::setenv("TMPDIR", dir.File("backups").c_str(), 1);  // where saves in place keep the old bytes
    int wrong = 0;
    for (std::size_t i = 0; i < std::size(cases); ++i) {
      bool saved = true;
      try {
        SaveDocumentRows(rows, cases[i].path, TLineEnd::CrLf, false);
      } catch (const EFileError&) {
        saved = false;
      }
      if (saved != cases[i].saved) wrong |= 1 << i;
    }
    return wrong;
  });
  ASSERT_NE(code, 100) << "could not become an ordinary user";
  EXPECT_EQ(code, 0) << "cases saved or refused wrongly (bits by case)";
  for (std::size_t i = 0; i < std::size(cases); ++i) {
    const TCase& c = cases[i];
    const TOwner now = OwnerOf(c.path);
    EXPECT_EQ(Slurp(c.path), c.saved ? "new\r\n" : "old\r\n") << c.path;
    EXPECT_EQ(now.uid, c.uid) << c.path;
    EXPECT_EQ(now.gid, c.gid) << c.path;
    EXPECT_EQ(now.mode, c.mode) << c.path;
    EXPECT_EQ(now.ino != before[i].ino, c.renamed) << c.path;
  }
  EXPECT_EQ(Slurp(shared + "/linked2.txt"), "new\r\n");
  EXPECT_EQ(EntryCount(dir.File("backups")), 0u);
  EXPECT_EQ(EntryCount(shared), 5u) << "a temporary file stays behind";
}

}  // namespace
}  // namespace yk
