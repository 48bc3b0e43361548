// Hostile input to the readers of outside data in the application logic:
// settings values, recent-file entries, command lines, dictionaries, date
// formats, tool parameters, snapshot headers and previewed files. Each case
// must end in a clear error or a safe default.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "props/ini_text.h"
#include "shell/command_line.h"
#include "shell/date_format.h"
#include "shell/dictionary.h"
#include "shell/file_preview.h"
#include "shell/recent_files.h"
#include "shell/settings_lists.h"
#include "shell/settings_values.h"
#include "shell/tools.h"
#include "shell/version_history.h"
#include "temp_dir.h"
#include "text/errors.h"

namespace yk {
namespace {

using test::Spit;
using test::TTempDir;

const std::string kNul("a\0b", 3);

TEST(BadInputTest, SettingsNumbersOutOfRangeOrMalformedReadAsTheDefault) {
  struct {
    const char* name;
    std::string value;
    int expected;  // with the default 7
  } const cases[] = {
      {"overflowing", "99999999999", 7},
      {"overflowing negative", "-99999999999", 7},
      {"just past int", "2147483648", 7},
      {"int minimum", "-2147483648", -2147483648},
      {"hexadecimal", "0x10", 7},
      {"trailing garbage", "12abc", 7},
      {"empty", "", 7},
      {"NUL inside", std::string("1\0" "2", 3), 7},
      {"invalid CP932", "\x82", 7},
      {"full-width digits", "\x82\x50\x82\x51", 7},  // １２
      {"blanks around", " 12 ", 12},
  };
  for (const auto& c : cases) {
    const TIniText ini("[S]\r\nk=" + c.value + "\r\n");  // as a hand-edited file holds it
    EXPECT_EQ(IniInt(ini, "S", "k", 7), c.expected) << c.name;
    EXPECT_EQ(IniBool(ini, "S", "k", true), c.expected == 7 ? true : c.expected != 0) << c.name;
  }
}

TEST(BadInputTest, SettingsFilesThatAreNoSettingsReadAsEmpty) {
  TTempDir dir;
  std::filesystem::create_directory(dir.File("folder"));
  ASSERT_EQ(::mkfifo(dir.File("fifo").c_str(), 0600), 0);
  Spit(dir.File("binary"), std::string("\0\xff\x82[\0]=\r\n", 9));
  Spit(dir.File("deep"), std::string(100000, '[') + "\r\n" + std::string(100000, '='));
  // Sparse: larger than any settings file may be, without using the disk.
  const int fd = ::open(dir.File("huge").c_str(), O_WRONLY | O_CREAT, 0600);
  ASSERT_GE(fd, 0);
  ASSERT_EQ(::ftruncate(fd, off_t{1} << 32), 0);
  ::close(fd);
  for (const char* name : {"folder", "fifo", "binary", "deep", "huge", "missing"}) {
    const TIniText ini = ReadIniFile(dir.File(name));
    EXPECT_EQ(IniInt(ini, "Options", "WrapByte", 80), 80) << name;
    EXPECT_TRUE(LoadRecentLists(dir.File(name)).Files.empty()) << name;
    EXPECT_TRUE(LoadFavorites(dir.File(name)).empty()) << name;
  }
}

TEST(BadInputTest, RecentListsWithBrokenEntries) {
  struct {
    const char* entry;
    std::int64_t caret;
    int style;
  } const cases[] = {
      {"-5", 0, -1},         {"99999999999999999999999", 0, -1}, {"1e9", 0, -1},
      {"\x82\xa0", 0, -1},   {"", 0, -1},                        {"10", 10, -1},
      {"9", 9, 9},           {"-1", 0, -1},                      {"-2", 0, -1},
      {"9223372036854775807", 9223372036854775807, -1},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(RecentCaretOf(c.entry), c.caret) << c.entry;
    EXPECT_EQ(RecentStyleOf(c.entry), c.style) << c.entry;
  }
  // Counts that lie: huge, negative, not a number; lists of unequal length.
  for (const char* count : {"2147483647", "-3", "x", "99999999999999"}) {
    TIniText ini("[RecentFiles]\r\nfile_ItemCount=" + std::string(count) +
                 "\r\nfile_Item0=/a\r\n[RecentFilesLine]\r\nline_ItemCount=5\r\nline_Item0=bad\r\n");
    const TRecentLists lists = ReadRecentLists(ini);
    EXPECT_LE(lists.Files.size(), 2u) << count;  // never more lines than the section has keys
    EXPECT_EQ(lists.Lines.size(), lists.Files.size()) << count;
    EXPECT_EQ(lists.Styles.size(), lists.Files.size()) << count;
  }
}

TEST(BadInputTest, CommandLinesThatAreTooLongOrMalformed) {
  std::vector<std::string> many(1000, "/l");
  many.back() = "file";
  EXPECT_EQ(ParseCommandLine(many).action, TCommandLine::TAction::Open);
  struct {
    const char* name;
    std::vector<std::string> args;
    std::string file;
    int line, column, length;
  } const cases[] = {
      {"line overflowing", {"/l", "2147483648", "f"}, "f", 0, -1, 0},
      {"line very negative", {"/l", "-99999999999", "f"}, "f", 0, -1, 0},
      {"column overflowing", {"/l", "3", "/c", "99999999999", "f"}, "f", 3, -1, 0},
      {"length negative", {"/l", "3", "/c", "2", "/s", "-4", "f"}, "f", 3, 2, 0},
      {"NUL in the number", {"/l", std::string("1\0" "2", 3), "f"}, "f", 0, -1, 0},
      {"invalid CP932 name", {"\x82"}, "\x82", 0, -1, 0},
      {"NUL in the name", {kNul}, kNul, 0, -1, 0},
      {"missing file", {"/l", "3", "/c"}, "/c", 3, -1, 0},
  };
  for (const auto& c : cases) {
    const TCommandLine cl = ParseCommandLine(c.args);
    EXPECT_EQ(cl.file, c.file) << c.name;
    EXPECT_EQ(cl.line, c.line) << c.name;
    EXPECT_EQ(cl.column, c.column) << c.name;
    EXPECT_EQ(cl.selLength, c.length) << c.name;
  }
  // A path deeper than any folder, and one climbing past the root.
  std::string deep;
  for (int i = 0; i < 20000; ++i) deep += "/d";
  EXPECT_EQ(LongPathName(deep + "/../x", "/").size(), deep.size() - 2 + 2);
  EXPECT_EQ(LongPathName("../../../../x", "/a"), "/x");
}

TEST(BadInputTest, DictionariesThatAreNoDictionaries) {
  TTempDir dir;
  std::filesystem::create_directory(dir.File("folder"));
  ASSERT_EQ(::mkfifo(dir.File("fifo").c_str(), 0600), 0);
  const int fd = ::open(dir.File("huge").c_str(), O_WRONLY | O_CREAT, 0600);
  ASSERT_GE(fd, 0);
  ASSERT_EQ(::ftruncate(fd, off_t{1} << 32), 0);
  ::close(fd);
  std::string columns;
  for (int i = 0; i <= kMaxDictionaryColumns; ++i) columns += "c,";
  Spit(dir.File("long_line"), "a,b\r\n" + std::string(kMaxDictionaryLineLength + 1, 'x'));
  Spit(dir.File("many_columns"), columns);
  for (const char* name : {"folder", "fifo", "huge", "long_line", "many_columns", "missing"}) {
    const TDictionaryLoad load = LoadDictionary(dir.File(name));
    EXPECT_EQ(load.Status, dlsFailed) << name;
    EXPECT_FALSE(load.Error.empty()) << name;
    EXPECT_FALSE(load.Grid) << name;
  }
  // Bytes that are odd but still a dictionary: kept as they are.
  struct {
    const char* name;
    std::string bytes;
    int rows;
  } const odd[] = {
      {"NUL bytes", std::string("a\0,b\r\nc,\0d", 10), 2},  // a NUL ends the comma text of its line
      {"invalid CP932", "\x82,\x81\r\n\xff\xfe,x", 2},
      {"unclosed quote", "\"a,b\r\nc", 2},
      {"only line ends", "\r\n\r\n\n", 0},
  };
  for (const auto& c : odd) {
    const TDictionaryLoad load = ParseDictionary(c.bytes);
    EXPECT_NE(load.Status, dlsFailed) << c.name;
    EXPECT_EQ(load.Grid ? load.Grid->RowCount() : 0, c.rows) << c.name;
  }
}

TEST(BadInputTest, DateFormatsAndToolParametersOfAnyShape) {
  const TDateTime t = LocalDateTime(0);
  const TDateLocale locale = JapaneseDateLocale();
  const std::string formats[] = {
      std::string(100000, 'y'), std::string(100000, 'd'), "\"unclosed", "'", "\x82", "\x82\"", kNul,
      std::string(50000, '\x82'), "ampmampmampm", "c c c",
  };
  for (const std::string& f : formats) {
    // Bounded output: never more than a few bytes per format byte.
    EXPECT_LE(FormatDateTime(f, t, locale).size(), f.size() * 16 + 64) << f.substr(0, 16);
  }
  for (const std::string& command : {std::string("\"unclosed arg"), std::string("\"\"\"\"\"\""), kNul,
                                     std::string(100000, '"'), std::string("a\tb\r\nc")}) {
    std::size_t bytes = 0;
    for (const std::string& a : SplitCommandArguments(command)) bytes += a.size();
    EXPECT_LE(bytes, command.size());
  }
}

TEST(BadInputTest, SnapshotHeadersThatWouldLeaveTheFolderAreRefused) {
  for (const std::string& header : std::vector<std::string>{"/", "../", "..", ".", "a/b", "\\", kNul, "a\r\nb", "\x1b[2J"}) {
    EXPECT_TRUE(VersionHeaderError(header).has_value()) << header;
    TTempDir dir;
    EXPECT_THROW(PrepareSnapshotPath(dir.File("Yomikaki.ini"), header, "doc.txt"), Exception) << header;
  }
  // A trail byte 0x5C (ソ is 0x83 0x5C) is no backslash.
  EXPECT_FALSE(VersionHeaderError("\x83\x5c").has_value());
}

TEST(BadInputTest, PreviewsOfWhatIsNoFileReadNothing) {
  TTempDir dir;
  std::filesystem::create_directory(dir.File("folder"));
  ASSERT_EQ(::mkfifo(dir.File("fifo").c_str(), 0600), 0);
  for (const std::string& path : {dir.File("folder"), dir.File("fifo"), std::string("/dev/zero"), dir.File("none")}) {
    const TFilePrefix prefix = ReadFilePrefix(path);
    EXPECT_NE(prefix.Problem, TLoadProblem::None) << path;
    EXPECT_TRUE(prefix.Bytes.empty()) << path;
  }
  const std::string text = std::string(100, 'x') + "\r\n\x82";  // a lead byte cut off by the cap
  EXPECT_EQ(PreviewText(text, true), std::string(100, 'x') + "\r\n");
  EXPECT_EQ(PreviewText(std::string(10, '\x82'), true).size() % 2, 0u);
}

}  // namespace
}  // namespace yk
