// Replacing settings files: permissions, links, writers that die half-way
// and writers that race.
#include "props/settings_file.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>

#include "props/ini_text.h"
#include "temp_dir.h"
#include "text/errors.h"

namespace yk {
namespace {

using test::Slurp;
using test::Spit;
using test::TTempDir;

void SetKey(const std::string& path, const std::string& section, const std::string& key, const std::string& value) {
  EditSettingsFile(path, [&](const std::optional<std::string>& current) -> std::optional<std::string> {
    TIniText ini(current.value_or(""));
    if (!ini.Write(section, key, value)) return std::nullopt;
    return ini.Text();
  });
}

int EntriesIn(const std::string& dir) {
  int n = 0;
  for ([[maybe_unused]] const auto& e : std::filesystem::directory_iterator(dir)) ++n;
  return n;
}

mode_t ModeOf(const std::string& path) {
  struct stat st {};
  ::stat(path.c_str(), &st);
  return st.st_mode & 07777;
}

TEST(SettingsFile, CreatesAndKeepsPermissionsAndLinks) {
  TTempDir dir;
  const std::string path = dir.File("Yomikaki.ini");
  EXPECT_EQ(ReadSettingsFile(path), std::nullopt);
  // An edit that changes nothing creates nothing.
  EditSettingsFile(path, [](const auto&) { return std::nullopt; });
  EXPECT_FALSE(std::filesystem::exists(path));

  SetKey(path, "Win", "SizePosSave", "1");
  EXPECT_EQ(ReadSettingsFile(path), "[Win]\r\nSizePosSave=1\r\n");
  ::chmod(path.c_str(), 0640);
  SetKey(path, "Win", "SizePosSave", "0");
  EXPECT_EQ(ModeOf(path), 0640u);

  const std::string link = dir.File("link.ini");
  std::filesystem::create_symlink(path, link);
  SetKey(link, "Win", "Extra", "x");
  EXPECT_TRUE(std::filesystem::is_symlink(link));
  EXPECT_EQ(Slurp(path), "[Win]\r\nSizePosSave=0\r\nExtra=x\r\n");
  EXPECT_EQ(EntriesIn(dir.Path()), 2);  // no temporary file left behind
}

TEST(SettingsFile, WriterDyingHalfWayLeavesTheOldFile) {
  for (const char* stage : {"partial", "before-rename"}) {
    TTempDir dir;
    const std::string path = dir.File("s.ini");
    const std::string old = "[A]\r\nk=old\r\n";
    Spit(path, old);
    pid_t pid = ::fork();
    if (pid == 0) {
      SetSettingsFileWriteHook([stage](const char* at) {
        if (std::string_view(at) == stage) ::_exit(3);
      });
      SetKey(path, "A", "k", std::string(100000, 'n'));
      ::_exit(0);
    }
    int status = 0;
    ::waitpid(pid, &status, 0);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 3) << stage;
    EXPECT_EQ(Slurp(path), old) << stage;
    // The next writer replaces the dead writer's temporary file.
    SetKey(path, "A", "k", "new");
    EXPECT_EQ(Slurp(path), "[A]\r\nk=new\r\n");
    EXPECT_EQ(EntriesIn(dir.Path()), 1) << stage;
  }
}

TEST(SettingsFile, RacingWritersLoseNoKey) {
  TTempDir dir;
  const std::string path = dir.File("s.ini");
  constexpr int kWriters = 4;
  constexpr int kKeys = 25;
  std::vector<pid_t> pids;
  for (int w = 0; w < kWriters; ++w) {
    pid_t pid = ::fork();
    if (pid == 0) {
      for (int k = 0; k < kKeys; ++k) SetKey(path, "S" + std::to_string(k % 3), "w" + std::to_string(w) + "k" + std::to_string(k), "v");
      ::_exit(0);
    }
    pids.push_back(pid);
  }
  for (pid_t pid : pids) {
    int status = 0;
    ::waitpid(pid, &status, 0);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
  }
  const TIniText ini(*ReadSettingsFile(path));
  for (int w = 0; w < kWriters; ++w) {
    for (int k = 0; k < kKeys; ++k) {
      EXPECT_EQ(ini.Read("S" + std::to_string(k % 3), "w" + std::to_string(w) + "k" + std::to_string(k)), "v");
    }
  }
}

TEST(SettingsFile, OverLongLinesAreDroppedAsTheFileIsRead) {
  TTempDir dir;
  const std::string path = dir.File("s.ini");
  const std::size_t max = kMaxSettingsLineLength;
  const std::string over(max + 1, 'x');
  const std::string longest = "k=" + std::string(max - 2, 'y');
  // The reader takes the file in pieces of 64 KiB: lines and CR LF pairs
  // cut by a piece's end too.
  const std::string toPieceEnd(65535, 'z');
  const std::string overToPieceEnd(2 * 65536 - 1, 'x');
  struct Case {
    std::string file, kept;
  };
  const Case cases[] = {
      {"[A]\r\n" + over + "\r\nv=1\r\n", "[A]\r\nv=1\r\n"},
      {"[A]\n" + over + "\nv=1\n", "[A]\nv=1\n"},
      {"[A]\r" + over + "\rv=1\r", "[A]\rv=1\r"},
      {over + "\r\n" + longest + "\r\n", longest + "\r\n"},  // at the bound: kept
      {"[A]\r\nv=1\r\n" + over, "[A]\r\nv=1\r\n"},           // the last line, without an end
      {toPieceEnd + "\r\nv=1\r\n", toPieceEnd + "\r\nv=1\r\n"},
      {overToPieceEnd + "\r\n\r\nv=1\n", "\r\nv=1\n"},        // the empty line after it stays
  };
  for (const Case& c : cases) {
    Spit(path, c.file);
    EXPECT_EQ(ReadSettingsFile(path), c.kept) << c.file.size();
  }
  // The next change writes the file without them.
  SetKey(path, "A", "w", "2");
  EXPECT_EQ(Slurp(path), "\r\nv=1\n[A]\r\nw=2\r\n");
}

TEST(SettingsFile, FailuresAreReported) {
  TTempDir dir;
  EXPECT_THROW(SetKey(dir.File("missing/dir/s.ini"), "A", "k", "v"), EFileError);
  const std::string big = dir.File("big.ini");
  std::filesystem::resize_file((Spit(big, ""), big), kMaxSettingsFileSize + 1);
  EXPECT_THROW(ReadSettingsFile(big), EFileError);
  EXPECT_THROW(SetKey(big, "A", "k", "v"), EFileError);
  EXPECT_EQ(std::filesystem::file_size(big), kMaxSettingsFileSize + 1);
}

}  // namespace
}  // namespace yk
