// The preview's reading of a file's beginning: only regular files, never
// more than the cap, and a cut that splits no line and no character.
#include "shell/file_preview.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>

#include "temp_dir.h"

namespace yk {
namespace {

using test::Spit;
using test::TTempDir;

// The beginning of a file in another encoding is read in it, its characters
// outside CP932 mapped, and cut back to its last whole line; CP932 as before.
TEST(FilePreview, BeginningsOfOtherEncodingsAreReadAndCutAtALine) {
  const struct {
    std::string bytes;
    bool truncated;
    std::string text;
  } cases[] = {
      // 😀あ LF い and half of う: the cut character and its line go.
      {"\xf0\x9f\x98\x80\xe3\x81\x82\n\xe3\x81\x84\xe3\x81", true, "\xf9\xfc\x82\xa0\n"},
      {"\xf0\x9f\x98\x80\xe3\x81\x82\n\xe3\x81\x84", false, "\xf9\xfc\x82\xa0\n\x82\xa2"},
      // UTF-16LE あ LF い, cut in the middle of the last unit.
      {std::string("\xff\xfe\x42\x30\n\x00\x44\x30\x1a", 9), true, "\x82\xa0\n"},
      // CP932 あ LF い, Ctrl+Z: as a load reads it.
      {"\x82\xa0\n\x82\xa2\x1a" "x", false, "\x82\xa0\n\x82\xa2"},
  };
  for (const auto& c : cases) {
    const TDecodedText d = DecodePreview(c.bytes, c.truncated);
    EXPECT_EQ(d.bytes, c.text) << testing::PrintToString(c.bytes);
  }
}

TEST(FilePreview, ReadsRegularFilesUpToTheCap) {
  TTempDir dir;
  const std::string small = dir.File("small.txt");
  Spit(small, "abc\r\ndef");
  TFilePrefix p = ReadFilePrefix(small, 100);
  EXPECT_EQ(p.Problem, TLoadProblem::None);
  EXPECT_EQ(p.Bytes, "abc\r\ndef");
  EXPECT_FALSE(p.Truncated);

  p = ReadFilePrefix(small, 8);  // exactly the size: nothing follows
  EXPECT_EQ(p.Bytes, "abc\r\ndef");
  EXPECT_FALSE(p.Truncated);

  p = ReadFilePrefix(small, 5);
  EXPECT_EQ(p.Bytes, "abc\r\n");
  EXPECT_TRUE(p.Truncated);
}

TEST(FilePreview, RefusesWhatIsNoRegularFileWithoutBlocking) {
  TTempDir dir;
  const std::string fifo = dir.File("fifo");
  ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
  std::filesystem::create_directory(dir.File("folder"));
  struct {
    std::string path;
    TLoadProblem problem;
  } const cases[] = {
      {fifo, TLoadProblem::NotRegular},  // no writer: a blocking read would never return
      {"/dev/zero", TLoadProblem::NotRegular},
      {dir.File("folder"), TLoadProblem::Folder},
      {dir.File("missing"), TLoadProblem::NotFound},
      {dir.File("missing/x"), TLoadProblem::NotFound},
  };
  for (const auto& c : cases) {
    const TFilePrefix p = ReadFilePrefix(c.path, 100);
    EXPECT_EQ(p.Problem, c.problem) << c.path;
    EXPECT_TRUE(p.Bytes.empty()) << c.path;
  }
}

TEST(FilePreview, TextIsCutAtControlZAndTruncatedTextAtWholeLines) {
  struct {
    std::string bytes;
    bool truncated;
    std::string shown;
  } const cases[] = {
      {"abc\r\nde", false, "abc\r\nde"},       // whole file: as it is
      {"abc\r\nde", true, "abc\r\n"},          // the half line goes
      {"abc\nde\rf", true, "abc\nde\r"},       // any line end counts
      {"ab\x1a" "cd\r\n", false, "ab"},        // Ctrl+Z ends a text file
      {"ab\x1a" "cd\r\n", true, "ab"},
      {"ab\x82\xa0\x82", true, "ab\x82\xa0"},  // あ and half a character: no line end
      {"ab\x82\xa0", true, "ab\x82\xa0"},
      {"a\x83\x5c", true, "a\x83\x5c"},        // ソ: its trail byte is no lead byte
      {"\x82\x82\x82", true, "\x82\x82"},      // a pair of lead-byte values, then half of one
      {"", true, ""},
  };
  for (const auto& c : cases) EXPECT_EQ(PreviewText(c.bytes, c.truncated), c.shown) << c.bytes;
}

}  // namespace
}  // namespace yk
