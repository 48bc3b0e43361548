// The command line's forms and the normal form of a path.
#include <gtest/gtest.h>

#include <filesystem>

#include "shell/command_line.h"
#include "temp_dir.h"

namespace yk {
namespace {

using TAction = TCommandLine::TAction;

TEST(CommandLineTest, FormsOfTheCommandLine) {
  struct {
    std::vector<std::string> args;
    TAction action;
    std::string file;
    int line;
    int column;
    int length;
  } const cases[] = {
      {{}, TAction::Empty, "", 0, -1, 0},
      {{"a.txt"}, TAction::Open, "a.txt", 0, -1, 0},
      {{"a.txt", "b.txt"}, TAction::Open, "a.txt", 0, -1, 0},
      {{"/l", "5"}, TAction::Open, "/l", 0, -1, 0},  // two arguments: the first is the file
      {{"/l", "10", "a.txt"}, TAction::Open, "a.txt", 10, -1, 0},
      {{"/L", "10", "a.txt"}, TAction::Open, "a.txt", 10, -1, 0},
      {{"/J", "10", "a.txt", "rest"}, TAction::Open, "a.txt", 10, -1, 0},
      {{"/l", "10", "/c", "a.txt"}, TAction::Open, "/c", 10, -1, 0},
      {{"/l", "10", "/c", "5", "a.txt"}, TAction::Open, "a.txt", 10, 5, 0},
      {{"/l", "10", "/C", "5", "/s", "a.txt"}, TAction::Open, "/s", 10, 5, 0},
      {{"/l", "10", "/c", "5", "/S", "3", "a.txt"}, TAction::Open, "a.txt", 10, 5, 3},
      {{"/l", "10", "/s", "5", "a.txt"}, TAction::Open, "/s", 10, -1, 0},  // /s only fifth
      {{"a.txt", "/l", "10"}, TAction::Empty, "", 0, -1, 0},
      {{"/x", "10", "a.txt"}, TAction::Empty, "", 0, -1, 0},
      {{"/l", "1O", "a.txt"}, TAction::Open, "a.txt", 0, -1, 0},
      {{"/l", "", "/c", "5", "a.txt"}, TAction::Open, "a.txt", 0, -1, 0},
      {{"/l", "0", "a.txt"}, TAction::Open, "a.txt", 1, -1, 0},
      {{"/l", "7", "/c", "-4", "/s", "3", "a.txt"}, TAction::Open, "a.txt", 7, -1, 0},
      {{"/l", "7", "/c", "4", "/s", "x", "a.txt"}, TAction::Open, "a.txt", 7, 4, 0},
      {{"/l", "99999999999", "a.txt"}, TAction::Open, "a.txt", 0, -1, 0},
      {{"--help"}, TAction::Help, "", 0, -1, 0},
      {{"a.txt", "--version"}, TAction::Version, "", 0, -1, 0},
      {{"--", "--help"}, TAction::Open, "--help", 0, -1, 0},
      {{"--", "/l", "3", "a.txt"}, TAction::Empty, "", 0, -1, 0},
      {{"/l", "3", "--", "/c"}, TAction::Open, "/c", 3, -1, 0},
      {{"-help"}, TAction::Open, "-help", 0, -1, 0},
  };
  for (const auto& c : cases) {
    const TCommandLine cl = ParseCommandLine(c.args);
    std::string where;
    for (const std::string& a : c.args) where += a + " ";
    EXPECT_EQ(cl.action, c.action) << where;
    EXPECT_EQ(cl.file, c.file) << where;
    EXPECT_EQ(cl.line, c.line) << where;
    EXPECT_EQ(cl.column, c.column) << where;
    EXPECT_EQ(cl.selLength, c.length) << where;
  }
}

// The toolkit's options go to the toolkit, wherever they stand before a
// "--", and leave the rest to be read as without them.
TEST(CommandLineTest, ToolkitOptionsBesideAFile) {
  using Args = std::vector<std::string>;
  struct {
    Args args;
    TAction action;
    std::string file;
    int line;
    Args toolkit;
  } const cases[] = {
      {{"-style", "Fusion", "a.txt"}, TAction::Open, "a.txt", 0, {"-style", "Fusion"}},
      {{"a.txt", "--style=Fusion"}, TAction::Open, "a.txt", 0, {"--style=Fusion"}},
      {{"-reverse", "/l", "3", "-platform", "xcb", "a.txt"}, TAction::Open, "a.txt", 3, {"-reverse", "-platform", "xcb"}},
      {{"-style", "Fusion"}, TAction::Empty, "", 0, {"-style", "Fusion"}},
      {{"-style"}, TAction::Open, "-style", 0, {}},  // no value: a file of that name
      {{"--", "-style", "Fusion"}, TAction::Open, "-style", 0, {}},
      {{"-reverse=1", "a.txt"}, TAction::Open, "-reverse=1", 0, {}},
      {{"-styles", "a.txt"}, TAction::Open, "-styles", 0, {}},
  };
  for (const auto& c : cases) {
    const TCommandLine cl = ParseCommandLine(c.args);
    std::string where;
    for (const std::string& a : c.args) where += a + " ";
    EXPECT_EQ(cl.action, c.action) << where;
    EXPECT_EQ(cl.file, c.file) << where;
    EXPECT_EQ(cl.line, c.line) << where;
    EXPECT_EQ(cl.toolkit, c.toolkit) << where;
  }
}

TEST(CommandLineTest, ManyArgumentsAndOddBytes) {
  std::vector<std::string> args{"/l", "2", "\x82\xa0\xff.txt"};
  for (int i = 0; i < 1000; ++i) args.push_back("/l");
  TCommandLine cl = ParseCommandLine(args);
  EXPECT_EQ(cl.file, "\x82\xa0\xff.txt");
  EXPECT_EQ(cl.line, 2);
  args[0] = "x.txt";  // three or more arguments need the switch first
  EXPECT_EQ(ParseCommandLine(args).action, TAction::Empty);
}

TEST(LongPathNameTest, AbsoluteCleanWithoutFollowingLinks) {
  struct {
    const char* path;
    const char* expected;
  } const cases[] = {
      {"a.txt", "/home/u/a.txt"},
      {"./a.txt", "/home/u/a.txt"},
      {"../a.txt", "/home/a.txt"},
      {"../../../../a.txt", "/a.txt"},
      {"sub//x/./../a.txt", "/home/u/sub/a.txt"},
      {"/tmp/", "/tmp"},
      {"/", "/"},
      {"//tmp///a", "/tmp/a"},
      {"/..", "/"},
      {"\x82\xa0/.", "/home/u/\x82\xa0"},
      {"", ""},
  };
  for (const auto& c : cases) EXPECT_EQ(LongPathName(c.path, "/home/u"), c.expected) << c.path;
  EXPECT_EQ(LongPathName("/x/y", "relative/folder"), "/x/y");
}

// ".." after a link to a folder goes up from the link's target, as it does
// for every other program; links elsewhere in the name stay as spelled.
TEST(LongPathNameTest, DotDotAfterALinkGoesUpFromItsTarget) {
  test::TTempDir dir;
  const std::string root = dir.Path();
  std::filesystem::create_directories(root + "/deep/sub");
  std::filesystem::create_symlink(root + "/deep/sub", root + "/lnk");
  std::filesystem::create_symlink("deep", root + "/rel");
  const std::string real = std::filesystem::canonical(root).string();  // where links resolve to
  struct {
    std::string path;
    std::string expected;
  } const cases[] = {
      {"lnk/../x.txt", real + "/deep/x.txt"},
      {"lnk/../../x.txt", real + "/x.txt"},
      {"lnk/x.txt", root + "/lnk/x.txt"},
      {"lnk/./sub2/../x.txt", root + "/lnk/x.txt"},
      {"rel/sub/../x.txt", root + "/rel/x.txt"},
      {"rel/../x.txt", real + "/x.txt"},
      {"deep/../x.txt", root + "/x.txt"},
      {"missing/../x.txt", root + "/x.txt"},
  };
  for (const auto& c : cases) EXPECT_EQ(LongPathName(c.path, root), c.expected) << c.path;
}

}  // namespace
}  // namespace yk
