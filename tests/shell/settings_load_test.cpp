// The settings file shared by many windows under load: eight processes
// registering recent files, storing caret positions and adding favourites
// a thousand times each leave a well-formed file with every change in it.
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <csignal>
#include <filesystem>
#include <map>
#include <string>
#include <thread>
#include <vector>

#include <stdlib.h>

#include <gtest/gtest.h>

#include "props/ini_text.h"
#include "shell/recent_files.h"
#include "temp_dir.h"

namespace yk {
namespace {

using test::Slurp;
using test::TTempDir;

constexpr int kProcesses = 8;
constexpr int kChanges = 1000;

std::string FileOf(int process, int k) {
  return "/docs/p" + std::to_string(process) + (k % 2 ? "-b.txt" : "-a.txt");
}

// What one process does: on change k, register, store a caret or add a
// favourite for one of its two files. Returns the caret each of its files
// must have at the end (a registration keeps a stored one).
std::map<std::string, std::int64_t> Changes(int process, const std::string& settings, bool write) {
  std::map<std::string, std::int64_t> carets;
  for (int k = 0; k < kChanges; ++k) {
    const std::string file = FileOf(process, k / 3);
    switch (k % 3) {
      case 0:
        if (write) RegisterRecentInSettings(settings, file, process % 10);
        carets.try_emplace(file, 0);
        break;
      case 1:
        if (write) StoreRecentPositionInSettings(settings, file, k, process % 10);
        carets[file] = k;
        break;
      default:
        if (write) AddFavoriteInSettings(settings, file);
        break;
    }
  }
  return carets;
}

// Waits for every child, killing all of them after 60 s; true when each
// ended with exit code 0.
bool WaitAll(const std::vector<pid_t>& children) {
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(60);
  bool ok = true;
  for (pid_t pid : children) {
    int status = 0;
    while (::waitpid(pid, &status, WNOHANG) == 0) {
      if (std::chrono::steady_clock::now() > deadline) {
        for (pid_t p : children) ::kill(p, SIGKILL);
        ::waitpid(pid, &status, 0);
        break;
      }
      std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    ok = ok && WIFEXITED(status) && WEXITSTATUS(status) == 0;
  }
  return ok;
}

// A scratch folder in memory where there is one: the test is about locking,
// and eight thousand flushes to a real disk would take most of a minute.
class TMemoryDir {
 public:
  TMemoryDir() {
    std::string tmpl = "/dev/shm/yk-test-XXXXXX";
    if (std::filesystem::is_directory("/dev/shm") && ::mkdtemp(tmpl.data())) path_ = tmpl;
  }
  ~TMemoryDir() {
    std::error_code ignored;
    if (!path_.empty()) std::filesystem::remove_all(path_, ignored);
  }
  std::string File(const std::string& name) const { return (path_.empty() ? disk_.Path() : path_) + "/" + name; }
  std::string Path() const { return path_.empty() ? disk_.Path() : path_; }

 private:
  std::string path_;
  TTempDir disk_;
};

TEST(SettingsLoadTest, EightProcessesChangingTheListsLoseNothing) {
  TMemoryDir dir;
  const std::string settings = dir.File("Yomikaki.ini");
  std::vector<pid_t> children;
  for (int p = 0; p < kProcesses; ++p) {
    const pid_t pid = ::fork();
    if (pid == 0) {
      int code = 0;
      try {
        Changes(p, settings, true);
      } catch (...) {
        code = 1;
      }
      ::_exit(code);
    }
    ASSERT_GT(pid, 0);
    children.push_back(pid);
  }
  ASSERT_TRUE(WaitAll(children));

  const TRecentLists recent = ReadRecentLists(TIniText(Slurp(settings)));
  const std::vector<std::string> favorites = LoadFavorites(settings);
  ASSERT_EQ(recent.Files.size(), std::size_t{2 * kProcesses});
  ASSERT_EQ(recent.Lines.size(), recent.Files.size());
  ASSERT_EQ(recent.Styles.size(), recent.Files.size());
  EXPECT_EQ(favorites.size(), std::size_t{2 * kProcesses});
  std::map<std::string, std::size_t> listed;
  for (std::size_t i = 0; i < recent.Files.size(); ++i) listed[recent.Files[i]] = i;
  for (int p = 0; p < kProcesses; ++p) {
    for (const auto& [file, caret] : Changes(p, settings, false)) {
      ASSERT_TRUE(listed.count(file)) << file;
      const std::size_t i = listed[file];
      EXPECT_EQ(recent.Lines[i], std::to_string(caret)) << file;
      EXPECT_EQ(recent.Styles[i], std::to_string(p % 10)) << file;
      EXPECT_NE(std::find(favorites.begin(), favorites.end(), file), favorites.end()) << file;
    }
  }
  // Nothing else beside the file: no temporary or stale lock copies.
  for (const auto& entry : std::filesystem::directory_iterator(dir.Path())) {
    const std::string name = entry.path().filename().string();
    EXPECT_TRUE(name.rfind("Yomikaki.ini", 0) == 0) << name;
  }
}

}  // namespace
}  // namespace yk
