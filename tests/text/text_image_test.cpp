// Images of loaded files: made for every large regular file, whoever else
// has it open; a loaded document keeps its text whatever other programs do
// to the file, and they never wait for it; a file that changes while it is
// read is read again.
#include "text/text_image.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <fstream>
#include <future>
#include <string>

#include "fake_editor.h"
#include "image_threshold.h"
#include "temp_dir.h"
#include "text/safe_file.h"

namespace yk::test {
namespace {

class Fd {
 public:
  Fd(const std::string& path, int flags) : fd_(::open(path.c_str(), flags | O_CLOEXEC, 0644)) {}
  ~Fd() {
    if (fd_ >= 0) ::close(fd_);
  }
  int get() const { return fd_; }

 private:
  int fd_;
};

std::string Text(std::size_t lines) {
  std::string text;
  for (std::size_t i = 0; i < lines; ++i) text += "line " + std::to_string(i) + " \x82\xa0\x82\xa2\r\n";  // あい
  return text;
}

class TextImage : public ::testing::Test {
 protected:
  ImageThreshold imageAll{1};
  TTempDir dir;
};

TEST_F(TextImage, IsMadeForLargeFilesAlsoWhileAnotherProgramWritesThem) {
  const std::string path = dir.File("a.txt");
  std::ofstream(path, std::ios::binary) << Text(10);
  {
    Fd writer(path, O_WRONLY);  // a leased mapping could not be had here
    FakeEditor ed;
    ed.lines.LoadFromFile(path);
    EXPECT_GT(ed.Rows().ImageBlockCount(), 0u);
    EXPECT_EQ(ed.lines.GetTextStr(), Text(10));
  }
  ImageThreshold small(1 << 20);  // smaller files are copied row by row
  FakeEditor ed;
  ed.lines.LoadFromFile(path);
  EXPECT_EQ(ed.Rows().ImageBlockCount(), 0u);
  EXPECT_EQ(ed.lines.GetTextStr(), Text(10));
}

// Both ways of filling a memory file: by splice, and by the plain copy
// that serves where splice cannot.
TEST_F(TextImage, BytesStayWhenPagesAreReleasedAndAShortFileFillsLess) {
  const std::string path = dir.File("a.txt");
  const std::string text = Text(5000);
  std::ofstream(path, std::ios::binary) << text;
  for (const bool splice : {true, false}) {
    SCOPED_TRACE(splice ? "splice" : "plain copy");
    TTextImage::SetSpliceAllowed(splice);
    Fd reader(path, O_RDONLY);
    auto image = TTextImage::Create(text.size() + 100);  // the file is shorter than expected
    ASSERT_TRUE(image);
    EXPECT_EQ(image->Fill(reader.get(), 100, text.size() + 100), static_cast<std::int64_t>(text.size() - 100));
    EXPECT_EQ(image->Fill(reader.get(), 0, 100), 100);
    image->Seal();
    image->Release(0, image->Size());  // the only copy there is: kept
    EXPECT_EQ(std::string(image->Data(), text.size()), text);
    EXPECT_EQ(std::string(image->Data() + text.size(), 100), std::string(100, '\0'));
    EXPECT_EQ(image->Fill(-1, 0, 10), -1);
  }
  TTextImage::SetSpliceAllowed(true);
}

// Run apart, so a writer that never gets through fails the test instead of
// hanging it: writers must get through at once.
void RunWriter(const std::string& command) {
  auto done = std::async(std::launch::async, [&] { return std::system(command.c_str()); });
  ASSERT_EQ(done.wait_for(std::chrono::seconds(5)), std::future_status::ready) << command;
  EXPECT_EQ(done.get(), 0) << command;
}

// Other programs rewriting or truncating the file go on at once (GNU
// truncate opens without blocking, which a lease refused); the document
// still holds what was loaded, and saves it back whole.
TEST_F(TextImage, ALoadedDocumentKeepsItsTextWhenTheFileIsRewritten) {
  const std::string path = dir.File("doc.txt");
  const std::string text = Text(20000);
  std::ofstream(path, std::ios::binary) << text;
  FakeEditor ed;
  ed.lines.LoadFromFile(path);
  ASSERT_GT(ed.Rows().ImageBlockCount(), 0u);
  const std::string quoted = "'" + path + "'";
  for (const std::string& writer : {"truncate -s 0 " + quoted, "printf 'short' > " + quoted,
                                    "printf '%s' \"$(cat " + quoted + ")\" >/dev/null; : > " + quoted}) {
    ASSERT_NO_FATAL_FAILURE(RunWriter(writer));
    EXPECT_EQ(ed.lines.GetTextStr(), text) << writer;
  }
  EXPECT_EQ(Slurp(path), "");
  // This process itself truncating the file (as saving in place does)
  // must not take the text either.
  std::ofstream(path, std::ios::binary) << text;
  FakeEditor again;
  again.lines.LoadFromFile(path);
  ASSERT_GT(again.Rows().ImageBlockCount(), 0u);
  std::ofstream(path, std::ios::binary) << "x";
  EXPECT_EQ(again.lines.GetTextStr(), text);
  ed.lines.SaveToFile(path);
  EXPECT_EQ(Slurp(path), text);
}

// Reading the whole document (a save, a search) brings the image's pages
// into the resident set; they go again afterwards, the text staying.
TEST_F(TextImage, PagesReadThroughGoAgain) {
  const std::string path = dir.File("doc.txt");
  const std::string text = Text(120000);  // about 2 MB
  std::ofstream(path, std::ios::binary) << text;
  FakeEditor ed;
  ed.lines.LoadFromFile(path);
  ASSERT_GT(ed.Rows().ImageBlockCount(), 0u);
  const std::string image = "yomikaki-text";
  if (ResidentKb(image) < 0) GTEST_SKIP() << "no memory file here: the image is private memory, never let go";
  EXPECT_LT(ResidentKb(image), 512) << "the load lets its pages go";
  ASSERT_EQ(ed.lines.GetTextStr(), text);
  EXPECT_GT(ResidentKb(image), 1024);
  ed.Rows().ReleaseImagePages();
  EXPECT_LT(ResidentKb(image), 512);
  ed.lines.SaveToFile(dir.File("copy.txt"));
  EXPECT_LT(ResidentKb(image), 512) << "a save lets them go too";
  EXPECT_EQ(Slurp(dir.File("copy.txt")), text);
}

// A save hands the unchanged rows over as runs of the image, which go to
// the file without passing through this process's memory: the pages the
// load let go stay gone, also with an edited line among them.
TEST_F(TextImage, ASaveTakesUnchangedRowsFromTheImageWithoutItsPages) {
  const std::string path = dir.File("doc.txt");
  std::string text = Text(120000);  // about 2 MB
  std::ofstream(path, std::ios::binary) << text;
  FakeEditor ed;
  ed.lines.LoadFromFile(path);
  ed.lines.Put(60000, "edited");
  const std::string line = "line 60000 \x82\xa0\x82\xa2";
  text.replace(text.find(line), line.size(), "edited");
  std::size_t fromImage = 0;
  {
    TSafeFileWriter out(dir.File("copy.txt"));
    ed.Rows().ForEachSavedPiece({}, [&](std::string_view bytes, const TTextImage* image) {
      if (image) fromImage += bytes.size();
      out.Write(bytes, image);
    });
    out.Commit();
  }
  EXPECT_TRUE(Slurp(dir.File("copy.txt")) == text);
  EXPECT_GT(fromImage, text.size() * 9 / 10);
  if (ResidentKb("yomikaki-text") >= 0) {
    EXPECT_LT(ResidentKb("yomikaki-text"), 512);
  }
}

// A read during which the file changes is done again, until the file stays
// the same from before the read to after it; one that changes every time
// is reported.
TEST_F(TextImage, AFileChangedWhileReadIsReadAgain) {
  const std::string path = dir.File("doc.txt");
  std::ofstream(path, std::ios::binary) << "old";
  struct {
    int changes;  // reads during which another program appends
    int attempts;
    bool unchanged;
    int reads;
  } const cases[] = {{0, 3, true, 1}, {1, 3, true, 2}, {2, 3, true, 3}, {3, 3, false, 3}, {5, 1, false, 1}};
  for (const auto& c : cases) {
    Fd reader(path, O_RDONLY);
    int reads = 0;
    std::size_t lastSize = 0;
    const bool unchanged = ReadWhileUnchanged(reader.get(), c.attempts, [&](int attempt, std::size_t size) {
      EXPECT_EQ(attempt, ++reads);
      lastSize = size;
      if (reads <= c.changes) std::ofstream(path, std::ios::binary | std::ios::app) << "+";
    });
    EXPECT_EQ(unchanged, c.unchanged) << c.changes;
    EXPECT_EQ(reads, c.reads) << c.changes;
    EXPECT_EQ(lastSize, static_cast<std::size_t>(::lseek(reader.get(), 0, SEEK_END)) - (c.unchanged ? 0 : 1));
  }
  ASSERT_EQ(::mkfifo(dir.File("fifo").c_str(), 0600), 0);
  Fd fifo(dir.File("fifo"), O_RDONLY | O_NONBLOCK);
  int reads = 0;
  EXPECT_TRUE(ReadWhileUnchanged(fifo.get(), 3, [&](int, std::size_t size) {
    ++reads;
    EXPECT_EQ(size, 0u);
  }));
  EXPECT_EQ(reads, 1);
}

}  // namespace
}  // namespace yk::test
