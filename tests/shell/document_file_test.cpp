// Document files: line-end detection, load checks, saving with a document's
// own line ends, default extensions and save failures.
#include <sys/stat.h>

#include <filesystem>

#include <gtest/gtest.h>

#include "shell/document_file.h"
#include "temp_dir.h"
#include "text/errors.h"

namespace yk {
namespace {

using test::Slurp;
using test::Spit;
using test::TTempDir;

TEST(DocumentFileTest, FirstLineEndOfAPiece) {
  struct {
    std::string bytes;
    TLineEndScan scan;
  } const cases[] = {
      {"", TLineEndScan::None},          {"abc", TLineEndScan::None},
      {"a\r\nb\n", TLineEndScan::CrLf},  {"a\nb\r\n", TLineEndScan::Lf},
      {"a\rb\n", TLineEndScan::Cr},      {"a\r", TLineEndScan::CrAtEnd},
      {"a\x1a\n", TLineEndScan::Lf},     {"\x82\n", TLineEndScan::Lf},  // a lone lead byte before LF
  };
  for (const auto& c : cases) EXPECT_EQ(FirstLineEnd(c.bytes), c.scan) << c.bytes;
}

TEST(DocumentFileTest, DetectLineEndAcrossPiecesAndItsLimits) {
  TTempDir dir;
  struct {
    std::string bytes;
    TLineEnd end;
  } const cases[] = {
      {"", TLineEnd::CrLf},
      {"no line end", TLineEnd::CrLf},
      {"a\nb\r\n", TLineEnd::Lf},
      {"a\rb", TLineEnd::Cr},
      {"a\r", TLineEnd::Cr},
      {std::string(65535, 'x') + "\r\n", TLineEnd::CrLf},  // CR LF split between two reads
      {std::string(65535, 'x') + "\rx", TLineEnd::Cr},
      {std::string(200000, 'x') + "\n", TLineEnd::Lf},
      {"text\x1a\n", TLineEnd::Lf},  // a Ctrl+Z inside the text is text
      {std::string(70000, '\x1a') + "\r", TLineEnd::Cr},
  };
  for (const auto& c : cases) {
    Spit(dir.File("f"), c.bytes);
    EXPECT_EQ(DetectLineEnd(dir.File("f")), c.end) << c.bytes.size();
  }
  EXPECT_EQ(DetectLineEnd(dir.File("missing")), TLineEnd::CrLf);
}

TEST(DocumentFileTest, CheckLoadableRefusesWhatIsNoDocument) {
  TTempDir dir;
  Spit(dir.File("doc"), "12345");
  std::filesystem::create_directory(dir.File("folder"));
  ASSERT_EQ(::mkfifo(dir.File("fifo").c_str(), 0600), 0);
  EXPECT_EQ(CheckLoadable(dir.File("doc")), TLoadProblem::None);
  EXPECT_EQ(CheckLoadable(dir.File("doc"), 4), TLoadProblem::TooLarge);
  EXPECT_EQ(CheckLoadable(dir.File("missing")), TLoadProblem::NotFound);
  EXPECT_EQ(CheckLoadable(dir.File("doc/x")), TLoadProblem::NotFound);
  EXPECT_EQ(CheckLoadable(dir.File("folder")), TLoadProblem::Folder);
  EXPECT_EQ(CheckLoadable(dir.File("fifo")), TLoadProblem::NotRegular);
  EXPECT_EQ(CheckLoadable("/dev/null"), TLoadProblem::NotRegular);
  if (::geteuid() != 0) {
    ::chmod(dir.File("doc").c_str(), 0);
    EXPECT_EQ(CheckLoadable(dir.File("doc")), TLoadProblem::NoPermission);
  }
}

TEST(DocumentFileTest, SaveDocumentRowsWritesTheChosenLineEnds) {
  TTempDir dir;
  TPointerStringList rows;
  for (auto [text, attribute] : {std::pair{"ab", raWrapped}, {"c", raCrlf}, {"\x82\xa0", raCrlf}, {"z", raEof}}) {
    rows.Append(text, static_cast<std::uint32_t>(attribute));
  }
  struct {
    TLineEnd end;
    bool every_row;
    std::string bytes;
  } const cases[] = {
      {TLineEnd::CrLf, false, "abc\r\n\x82\xa0\r\nz"},
      {TLineEnd::Lf, false, "abc\n\x82\xa0\nz"},
      {TLineEnd::Cr, false, "abc\r\x82\xa0\rz"},
      {TLineEnd::CrLf, true, "ab\r\nc\r\n\x82\xa0\r\nz\r\n"},
  };
  for (const auto& c : cases) {
    rows.SetLineEnds(c.every_row ? TLineEnd::Lf : c.end);  // the wrapped form ends its rows with its own
    SaveDocumentRows(rows, dir.File("out"), c.end, c.every_row, false);
    EXPECT_EQ(Slurp(dir.File("out")), c.bytes);
  }
  // A row of another kind keeps its own.
  rows.SetLineEnds(TLineEnd::Lf);
  rows.SetRowLineEnd(1, TLineEnd::CrLf);
  SaveDocumentRows(rows, dir.File("out"), TLineEnd::CrLf, false, false);
  EXPECT_EQ(Slurp(dir.File("out")), "abc\r\n\x82\xa0\nz");
  // A folder in the way: the error, and nothing half-written beside it.
  std::filesystem::create_directory(dir.File("taken"));
  EXPECT_THROW(SaveDocumentRows(rows, dir.File("taken"), TLineEnd::CrLf, false, false), EFileError);
  EXPECT_THROW(SaveDocumentRows(rows, dir.File("none/out"), TLineEnd::CrLf, false, false), EFileError);
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.Path()), {}), 2);
}

TEST(DocumentFileTest, DefaultExtensionOnlyWithoutADotInTheName) {
  struct {
    const char* path;
    const char* expected;
  } const cases[] = {
      {"/d/memo", "/d/memo.txt"}, {"/d/memo.", "/d/memo."}, {"/d/a.b.c", "/d/a.b.c"},
      {"/d.x/memo", "/d.x/memo.txt"}, {"memo", "memo.txt"}, {"/d/.profile", "/d/.profile"},
  };
  for (const auto& c : cases) EXPECT_EQ(WithDefaultExtension(c.path, ".txt"), c.expected) << c.path;
}

TEST(DocumentFileTest, DiagnoseSaveFailureNamesTheCause) {
  TTempDir dir;
  std::filesystem::create_directory(dir.File("folder"));
  EXPECT_EQ(DiagnoseSaveFailure(dir.File("none/x.txt"), 10), TSaveProblem::FolderMissing);
  EXPECT_EQ(DiagnoseSaveFailure(dir.File("folder"), 10), TSaveProblem::Folder);
  EXPECT_EQ(DiagnoseSaveFailure(dir.File("x.txt"), std::uint64_t{1} << 62), TSaveProblem::DiskFull);
  EXPECT_EQ(DiagnoseSaveFailure(dir.File("x.txt"), 10), TSaveProblem::Unknown);
}

}  // namespace
}  // namespace yk
