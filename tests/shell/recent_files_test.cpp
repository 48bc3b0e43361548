// Recent files and favourites: list rules, the stored layout, and windows
// registering at the same moment.
#include "shell/recent_files.h"

#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <latch>
#include <ostream>
#include <thread>

#include "temp_dir.h"

namespace yk {

void PrintTo(const TRecentLists& l, std::ostream* os) {
  for (std::size_t i = 0; i < l.Files.size() || i < l.Lines.size() || i < l.Styles.size(); ++i) {
    *os << "[" << (i < l.Files.size() ? l.Files[i] : "-") << " " << (i < l.Lines.size() ? l.Lines[i] : "-") << " "
        << (i < l.Styles.size() ? l.Styles[i] : "-") << "]";
  }
}

namespace {

using Strings = std::vector<std::string>;

TRecentLists Lists(Strings files, Strings lines, Strings styles) { return {files, lines, styles}; }

// A file keeps its own caret and style when it moves to the top; a new one
// (or one stored without a style) gets the style it is shown in. Saved
// under a name, a document brings its own caret and style to the entry.
TEST(RecentFiles, RegisterTakesTheStoredCaretAndStyle) {
  TRecentLists l = Lists({"/a", "/b", "/c"}, {"10", "20", "30"}, {"1", "2", "-1"});
  TRecentHit hit = RegisterRecent(l, "/b", 7);
  EXPECT_TRUE(hit.Found);
  EXPECT_EQ(hit.Caret, 20);
  EXPECT_EQ(hit.Style, 2);
  EXPECT_EQ(l, Lists({"/b", "/a", "/c"}, {"20", "10", "30"}, {"2", "1", "-1"}));

  hit = RegisterRecent(l, "/new", 4);
  EXPECT_FALSE(hit.Found);
  EXPECT_EQ(hit.Style, -1);
  EXPECT_EQ(l, Lists({"/new", "/b", "/a", "/c"}, {"0", "20", "10", "30"}, {"4", "2", "1", "-1"}));
  EXPECT_FALSE(RegisterRecent(l, "/B", 0).Found);  // exact comparison

  hit = RegisterRecent(l, "/c", 5);
  EXPECT_EQ(hit.Style, -1);
  EXPECT_EQ(l.Lines[0], "30");
  EXPECT_EQ(l.Styles[0], "5");

  RegisterRecentAs(l, "/a", 77, 9);
  EXPECT_EQ(l.Files[0], "/a");
  EXPECT_EQ(l.Lines[0], "77");
  EXPECT_EQ(l.Styles[0], "9");
  EXPECT_EQ(std::count(l.Files.begin(), l.Files.end(), "/a"), 1);
}

TEST(RecentFiles, BadEntriesNeverStopAFile) {
  struct Case {
    std::string_view entry;
    std::int64_t caret;
    int style;
  };
  const Case cases[] = {{"12", 12, -1}, {"5", 5, 5},     {"-1", 0, -1},  {"abc", 0, -1}, {"", 0, -1},
                        {"9", 9, 9},    {"10", 10, -1},  {" 3", 0, -1},  {"3x", 0, -1},  {"99999999999", 99999999999, -1},
                        {"0", 0, 0},    {"-2", 0, -1},   {"+4", 0, -1}};
  for (const Case& c : cases) {
    EXPECT_EQ(RecentCaretOf(c.entry), c.caret) << c.entry;
    EXPECT_EQ(RecentStyleOf(c.entry), c.style) << c.entry;
  }
  TRecentLists l = Lists({"/a", "/b"}, {"x"}, {});  // short and corrupt parallel lists
  const TRecentHit hit = RegisterRecent(l, "/a", 0);
  EXPECT_EQ(hit.Caret, 0);
  EXPECT_EQ(hit.Style, -1);
  EXPECT_EQ(RegisterRecent(l, "/b", 0).Style, -1);
  TRecentLists longer = Lists({"/a"}, {"1", "2", "3"}, {"1", "2", "3", "4"});
  MatchParallelLists(longer);
  EXPECT_EQ(longer, Lists({"/a"}, {"1"}, {"1"}));
}

TEST(RecentFiles, TwentyFirstFilePushesTheOldestOut) {
  TRecentLists l;
  for (int i = 0; i < kMaxRecentFiles; ++i) {
    RegisterRecent(l, "/f" + std::to_string(i), i % 10);
    StoreRecentPosition(l, "/f" + std::to_string(i), 100 + i, i % 10);
  }
  RegisterRecent(l, "/new", 3);
  ASSERT_EQ(l.Files.size(), 20u);
  EXPECT_EQ(l.Files.front(), "/new");
  EXPECT_EQ(l.Files.back(), "/f1");  // f0 went
  for (std::size_t i = 1; i < l.Files.size(); ++i) {
    const int n = std::stoi(l.Files[i].substr(2));
    EXPECT_EQ(l.Lines[i], std::to_string(100 + n));
    EXPECT_EQ(l.Styles[i], std::to_string(n % 10));
  }
  TRecentLists hand;  // a list made longer by hand is cut back to 20
  hand.Files.assign(30, "/x");
  RegisterRecent(hand, "/y", 0);
  EXPECT_EQ(hand.Files.size(), 20u);
  EXPECT_EQ(hand.Lines.size(), 20u);
}

TEST(RecentFiles, StorePositionOnlyForListedFiles) {
  TRecentLists l = Lists({"/a", "/b"}, {"0", "0"}, {"-1", "-1"});
  EXPECT_TRUE(StoreRecentPosition(l, "/b", 42, 6));
  EXPECT_FALSE(StoreRecentPosition(l, "/c", 1, 1));
  EXPECT_EQ(l, Lists({"/a", "/b"}, {"0", "42"}, {"-1", "6"}));
}

TEST(RecentFiles, Favorites) {
  Strings f;
  AddFavorite(f, "/a");
  AddFavorite(f, "/b");
  AddFavorite(f, "/a");
  EXPECT_EQ(f, (Strings{"/a", "/b"}));
  for (int i = 0; i < 25; ++i) AddFavorite(f, "/" + std::to_string(i));
  EXPECT_EQ(f.size(), 20u);
  EXPECT_EQ(f.front(), "/24");
}

TEST(RecentFiles, StoredLayoutAndRoundTrip) {
  test::TTempDir dir;
  const std::string ini = dir.File("Yomikaki.ini");
  test::Spit(ini, "[Win]\r\nSizePosSave=1\r\n");
  RegisterRecentInSettings(ini, "/doc/a.txt", 2);
  TRecentLists after;
  const TRecentHit hit = RegisterRecentInSettings(ini, "/doc/b.txt", 0, &after);
  EXPECT_FALSE(hit.Found);
  EXPECT_EQ(after, Lists({"/doc/b.txt", "/doc/a.txt"}, {"0", "0"}, {"0", "2"}));
  EXPECT_TRUE(StoreRecentPositionInSettings(ini, "/doc/a.txt", 77, 5));
  EXPECT_FALSE(StoreRecentPositionInSettings(ini, "/doc/none", 1, 1));
  AddFavoriteInSettings(ini, "/doc/a.txt");
  EXPECT_EQ(test::Slurp(ini),
            "[Win]\r\nSizePosSave=1\r\n"
            "[RecentFiles]\r\nfile_ItemCount=2\r\nfile_Item0=/doc/b.txt\r\nfile_Item1=/doc/a.txt\r\n"
            "[RecentFilesLine]\r\nline_ItemCount=2\r\nline_Item0=0\r\nline_Item1=77\r\n"
            "[RecentStyle]\r\nstyle_ItemCount=2\r\nstyle_Item0=0\r\nstyle_Item1=5\r\n"
            "[Favorites]\r\nlist_ItemCount=1\r\nlist_Item0=/doc/a.txt\r\n");
  const TRecentHit again = RegisterRecentInSettings(ini, "/doc/a.txt", 0);
  EXPECT_TRUE(again.Found);
  EXPECT_EQ(again.Caret, 77);
  EXPECT_EQ(again.Style, 5);
  EXPECT_EQ(LoadFavorites(ini), (Strings{"/doc/a.txt"}));

  ClearRecentInSettings(ini);
  ClearFavoritesInSettings(ini);
  EXPECT_EQ(LoadRecentLists(ini), TRecentLists{});
  EXPECT_EQ(test::Slurp(ini), "[Win]\r\nSizePosSave=1\r\n[RecentFiles]\r\n[RecentFilesLine]\r\n[RecentStyle]\r\n[Favorites]\r\n");
  EXPECT_EQ(LoadRecentLists(dir.File("missing.ini")), TRecentLists{});
}

TEST(RecentFiles, ParallelListsAreMatchedWhenRead) {
  test::TTempDir dir;
  const std::string ini = dir.File("Yomikaki.ini");
  test::Spit(ini,
             "[RecentFiles]\nfile_ItemCount=2\nfile_Item0=/a\nfile_Item1=/b\n"
             "[RecentFilesLine]\nline_ItemCount=21\n"
             "[RecentStyle]\nstyle_ItemCount=1\nstyle_Item0=junk\n");
  EXPECT_EQ(LoadRecentLists(ini), Lists({"/a", "/b"}, {"", "0"}, {"junk", "-1"}));
  const TRecentHit hit = RegisterRecentInSettings(ini, "/a", 1);
  EXPECT_EQ(hit.Caret, 0);
  EXPECT_EQ(hit.Style, -1);
}

// Two windows (threads here, processes below) register different files at
// the same moment; both registrations must survive.
TEST(RecentFiles, SimultaneousRegistrationsFromThreadsBothSurvive) {
  test::TTempDir dir;
  for (int round = 0; round < 100; ++round) {
    const std::string ini = dir.File("t" + std::to_string(round) + ".ini");
    RegisterRecentInSettings(ini, "/old", 0);
    std::latch start(2);
    auto registerOne = [&](std::string path) {
      start.arrive_and_wait();
      RegisterRecentInSettings(ini, path, 1);
    };
    std::thread a(registerOne, "/a"), b(registerOne, "/b");
    a.join();
    b.join();
    Strings files = LoadRecentLists(ini).Files;
    ASSERT_EQ(files.size(), 3u) << round;
    std::sort(files.begin(), files.begin() + 2);
    EXPECT_EQ(files, (Strings{"/a", "/b", "/old"})) << round;
  }
}

TEST(RecentFiles, SimultaneousRegistrationsFromProcessesBothSurvive) {
  test::TTempDir dir;
  for (int round = 0; round < 100; ++round) {
    const std::string ini = dir.File("p" + std::to_string(round) + ".ini");
    AddFavoriteInSettings(ini, "/fav");
    int go[2];
    ASSERT_EQ(::pipe(go), 0);
    pid_t children[2];
    for (int k = 0; k < 2; ++k) {
      children[k] = ::fork();
      ASSERT_GE(children[k], 0);
      if (children[k] == 0) {
        char c;
        ::close(go[1]);
        const bool released = ::read(go[0], &c, 1) == 1;
        try {
          RegisterRecentInSettings(ini, k == 0 ? "/a" : "/b", k);
          AddFavoriteInSettings(ini, k == 0 ? "/fa" : "/fb");
        } catch (...) {
          ::_exit(2);
        }
        ::_exit(released ? 0 : 1);
      }
    }
    ::close(go[0]);
    ASSERT_EQ(::write(go[1], "xx", 2), 2);  // both children start at once
    ::close(go[1]);
    for (pid_t child : children) {
      int status = 0;
      ASSERT_EQ(::waitpid(child, &status, 0), child);
      ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    }
    Strings files = LoadRecentLists(ini).Files;
    Strings favorites = LoadFavorites(ini);
    std::sort(files.begin(), files.end());
    std::sort(favorites.begin(), favorites.end());
    EXPECT_EQ(files, (Strings{"/a", "/b"})) << round;
    EXPECT_EQ(favorites, (Strings{"/fa", "/fav", "/fb"})) << round;
  }
}

}  // namespace
}  // namespace yk
