// External tools: parameter strings, argument splitting, selected files,
// menu items and the calculator look-up.
#include "shell/tools.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>

#include "shell/file_names.h"
#include "temp_dir.h"

namespace yk {
namespace {

using Args = std::vector<std::string>;

TEST(Tools, TracerParameters) {
  EXPECT_EQ(TracerParameters("/work/", "*.c *.h", "main"), "/P /work/ /E *.c *.h /K main");
  EXPECT_EQ(TracerParameters("/work/", "*.c *.h", ""), "/P /work/ /E *.c *.h");
  EXPECT_EQ(TracerParameters("/work/", "", ""), "/P /work/ /E *.*");
  EXPECT_EQ(DocumentFolder("/work/a.txt", "/opt/yk"), "/work/");
  EXPECT_EQ(DocumentFolder(kUntitledName, "/opt/yk"), "/opt/yk/");
  EXPECT_EQ(DocumentFolder(kUntitledName, "/opt/yk/"), "/opt/yk/");
}

TEST(Tools, SplitArguments) {
  struct Case {
    std::string_view command;
    Args args;
  };
  const Case cases[] = {
      {"/P /work/ /E *.c *.h /K main", {"/P", "/work/", "/E", "*.c", "*.h", "/K", "main"}},
      {"  a   b\t\nc ", {"a", "b", "c"}},
      {"\"a b\" c", {"a b", "c"}},
      {"x\"a b\"y", {"xa by"}},
      {"\"\"\"quoted\"\"\"", {"\"quoted\""}},
      {"\"\"", {}},
      {"\"open quote", {"open quote"}},
      {"a.txt; rm -rf ~", {"a.txt;", "rm", "-rf", "~"}},  // plain arguments, never a shell command
      {"$(reboot) `id` | x > y", {"$(reboot)", "`id`", "|", "x", ">", "y"}},
      {"\x83\x5c \x95\x5c", {"\x83\x5c", "\x95\x5c"}},      // ソ 表
      {"", {}},
  };
  for (const Case& c : cases) EXPECT_EQ(SplitCommandArguments(c.command), c.args) << c.command;
}

TEST(Tools, TracerLaunchNeedsTheTool) {
  test::TTempDir dir;
  const std::string tool = dir.File("tracer");
  EXPECT_FALSE(TracerLaunch(tool, "/work/a.txt", "/opt", "", "main"));
  EXPECT_FALSE(TracerLaunch("", "/work/a.txt", "/opt", "", "main"));
  test::Spit(tool, "");
  const auto launch = TracerLaunch(tool, "/work/a.txt", "/opt", "*.c *.h", "$(reboot)");
  ASSERT_TRUE(launch);
  EXPECT_EQ(*launch, (TLaunch{tool, {"/P", "/work/", "/E", "*.c", "*.h", "/K", "$(reboot)"}}));
  EXPECT_EQ(TracerLaunch(tool, kUntitledName, "/opt", "", "")->Arguments, (Args{"/P", "/opt/", "/E", "*.*"}));
  EXPECT_EQ(TracerLaunch(tool, "/work/a.txt", "/opt", "  ", "")->Arguments, (Args{"/P", "/work/", "/E", "*.*"}));
  // Blanks and quotes in the folder or the selection split nothing and add
  // no argument.
  const std::string folder = "/my docs/\"q\" x/";
  EXPECT_EQ(TracerLaunch(tool, folder + "a.txt", "/opt", "*.c", "a \"b c\" /E *.sh")->Arguments,
            (Args{"/P", folder, "/E", "*.c", "/K", "a \"b c\" /E *.sh"}));
}

TEST(Tools, SelectedFileIsFoundFromTheFolder) {
  test::TTempDir dir;
  std::filesystem::create_directories(dir.File("work/sub"));
  test::Spit(dir.File("work/sub/b.txt"), "b");
  test::Spit(dir.File("work/a.txt"), "a");
  test::Spit(dir.File("outside.txt"), "o");
  const std::string folder = dir.File("work/");
  struct Case {
    std::string selection;
    std::optional<std::string> file;
  };
  const Case cases[] = {
      {"sub/b.txt", dir.File("work/sub/b.txt")},
      {"sub/../a.txt", dir.File("work/a.txt")},
      {"./a.txt", dir.File("work/a.txt")},
      {"../outside.txt", dir.File("outside.txt")},  // a relative name may lead out of the folder
      {"sub/../../outside.txt", dir.File("outside.txt")},
      {dir.File("outside.txt"), std::nullopt},    // an absolute path
      {dir.File("work/a.txt"), std::nullopt},     // absolute, even inside
      {"sub", std::nullopt},                      // a folder
      {"missing.txt", std::nullopt},
      {"", std::nullopt},
      {std::string("a.txt\0x", 7), std::nullopt},
      {"a.txt\r\n", std::nullopt},
  };
  for (const Case& c : cases) EXPECT_EQ(SelectedFileInFolder(folder, c.selection), c.file) << c.selection;
}

TEST(Tools, MenuItemsAndPrinting) {
  EXPECT_TRUE(ToolMenuItem(kDefaultToolName1, "/usr/bin/xcalc").Visible);
  EXPECT_EQ(ToolMenuItem("Tool", "/bin/t").Caption, "Tool");
  EXPECT_FALSE(ToolMenuItem("Tool", "").Visible);  // a name without a path is hidden
  EXPECT_FALSE(ToolMenuItem("", "/bin/t").Visible);
  EXPECT_TRUE(CanPrintDocument(false, "/work/a.txt"));
  EXPECT_FALSE(CanPrintDocument(true, "/work/a.txt"));
  EXPECT_FALSE(CanPrintDocument(false, kUntitledName));
}

TEST(Tools, FirstCalculatorOnThePath) {
  test::TTempDir dir;
  std::filesystem::create_directories(dir.File("a"));
  std::filesystem::create_directories(dir.File("b"));
  std::filesystem::create_directories(dir.File("c/kcalc"));  // a folder of that name is no program
  auto program = [&](const std::string& name, int mode) {
    test::Spit(dir.File(name), "#!/bin/sh\n");
    ::chmod(dir.File(name).c_str(), static_cast<mode_t>(mode));
  };
  program("a/xcalc", 0755);
  program("a/galculator", 0644);  // not executable
  program("b/galculator", 0755);
  const std::string path = dir.File("c") + "::" + dir.File("a") + ":" + dir.File("b");
  EXPECT_EQ(FindCalculator(path), dir.File("b/galculator"));  // galculator comes before xcalc
  EXPECT_EQ(FindCalculator(dir.File("a")), dir.File("a/xcalc"));
  EXPECT_EQ(FindCalculator(dir.File("c")), "");
  EXPECT_EQ(FindCalculator(""), "");
}

}  // namespace
}  // namespace yk
