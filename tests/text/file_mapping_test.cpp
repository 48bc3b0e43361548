// Mapped files: when a mapping is refused, and that a loaded document keeps
// its text when another writer changes or truncates the file under it.
#include "text/file_mapping.h"

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
#include "mapping_threshold.h"
#include "temp_dir.h"

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

// The tests map small files. Some file systems and settings give no
// leases; there nothing is mapped, and the tests are skipped.
class FileMapping : public ::testing::Test {
 protected:
  void SetUp() override {
    std::ofstream(dir.File("probe"), std::ios::binary) << "x";
    Fd probe(dir.File("probe"), O_RDONLY);
    if (!TFileMapping::Map(probe.get())) GTEST_SKIP() << "no file leases here";
  }

  MappingThreshold mapAll{1};
  TTempDir dir;
};

TEST_F(FileMapping, IsRefusedWhereTheTextCouldChangeOrThereIsNone) {
  const std::string path = dir.File("a.txt");
  std::ofstream(path, std::ios::binary) << Text(10);
  {
    Fd reader(path, O_RDONLY);
    auto mapping = TFileMapping::Map(reader.get());
    ASSERT_TRUE(mapping);
    EXPECT_EQ(std::string(mapping->Data(), mapping->Size()), Text(10));
  }
  {
    Fd writer(path, O_WRONLY);  // somebody writes the file: no lease to be had
    Fd reader(path, O_RDONLY);
    EXPECT_FALSE(TFileMapping::Map(reader.get()));
  }
  {
    Fd both(path, O_RDWR);
    EXPECT_FALSE(TFileMapping::Map(both.get()));
  }
  {
    MappingThreshold small(1 << 20);  // smaller files are copied
    Fd reader(path, O_RDONLY);
    EXPECT_FALSE(TFileMapping::Map(reader.get()));
  }
  std::ofstream(dir.File("empty.txt"));
  Fd empty(dir.File("empty.txt"), O_RDONLY);
  EXPECT_FALSE(TFileMapping::Map(empty.get()));
  ASSERT_EQ(::mkfifo(dir.File("fifo").c_str(), 0600), 0);
  Fd fifo(dir.File("fifo"), O_RDONLY | O_NONBLOCK);
  EXPECT_FALSE(TFileMapping::Map(fifo.get()));
}

TEST_F(FileMapping, DetachedBytesStayWhenPagesAreReleased) {
  const std::string path = dir.File("a.txt");
  const std::string text = Text(5000);
  std::ofstream(path, std::ios::binary) << text;
  Fd reader(path, O_RDONLY);
  auto mapping = TFileMapping::Map(reader.get());
  ASSERT_TRUE(mapping);
  mapping->Release(0, mapping->Size());  // the file's pages come back on reading
  EXPECT_EQ(std::string(mapping->Data(), mapping->Size()), text);
  mapping->Detach();
  EXPECT_TRUE(mapping->Detached());
  mapping->Release(0, mapping->Size());  // now the only copy: kept
  EXPECT_EQ(std::string(mapping->Data(), mapping->Size()), text);
}

// Another program rewriting the file waits for the document to copy its
// text; the document then still holds what was loaded, and the writer's
// bytes reach the file.
TEST_F(FileMapping, ALoadedDocumentKeepsItsTextWhenTheFileIsRewritten) {
  const std::string path = dir.File("doc.txt");
  const std::string text = Text(20000);
  std::ofstream(path, std::ios::binary) << text;
  FakeEditor ed;
  ed.lines.LoadFromFile(path);
  ASSERT_GT(ed.Rows().MappedBlockCount(), 0u);
  for (const char* writer : {"printf 'short' > '%s'", "printf '%%s' \"$(cat '%s')\" >/dev/null; : > '%s'"}) {
    char command[512];
    std::snprintf(command, sizeof command, writer, path.c_str(), path.c_str());
    // Run apart, so a writer that never got through fails the test instead
    // of hanging it.
    auto done = std::async(std::launch::async, [&] { return std::system(command); });
    ASSERT_EQ(done.wait_for(std::chrono::seconds(30)), std::future_status::ready) << command;
    EXPECT_EQ(done.get(), 0);
    EXPECT_EQ(ed.lines.GetTextStr(), text) << command;
  }
  EXPECT_EQ(Slurp(path), "");
  // This process itself truncating the file (as saving in place does)
  // must not take the text either.
  std::ofstream(path, std::ios::binary) << text;
  FakeEditor again;
  again.lines.LoadFromFile(path);
  ASSERT_GT(again.Rows().MappedBlockCount(), 0u);
  auto truncated = std::async(std::launch::async, [&] { std::ofstream(path, std::ios::binary) << "x"; });
  ASSERT_EQ(truncated.wait_for(std::chrono::seconds(30)), std::future_status::ready);
  EXPECT_EQ(again.lines.GetTextStr(), text);
  EXPECT_EQ(Slurp(path), "x");
  ed.lines.SaveToFile(path);
  EXPECT_EQ(Slurp(path), text);
}

// Resident kilobytes of this process's mappings of path.
long ResidentKb(const std::string& path) {
  std::ifstream maps("/proc/self/smaps");
  long kb = 0;
  bool inside = false;
  for (std::string line; std::getline(maps, line);) {
    if (line.find('-') < line.find(' ') && line.find_first_of("0123456789abcdef") == 0)
      inside = line.size() >= path.size() && line.compare(line.size() - path.size(), path.size(), path) == 0;
    else if (inside && line.rfind("Rss:", 0) == 0)
      kb += std::strtol(line.c_str() + 4, nullptr, 10);
  }
  return kb;
}

// Reading the whole document (a save, a search) brings the file's pages
// into the resident set; they go again afterwards, the text staying.
TEST_F(FileMapping, PagesReadThroughGoAgain) {
  const std::string path = dir.File("doc.txt");
  const std::string text = Text(120000);  // about 2 MB
  std::ofstream(path, std::ios::binary) << text;
  FakeEditor ed;
  ed.lines.LoadFromFile(path);
  ASSERT_GT(ed.Rows().MappedBlockCount(), 0u);
  EXPECT_LT(ResidentKb(path), 512) << "the load lets its pages go";
  ASSERT_EQ(ed.lines.GetTextStr(), text);
  EXPECT_GT(ResidentKb(path), 1024);
  ed.Rows().ReleaseMappedPages();
  EXPECT_LT(ResidentKb(path), 512);
  ed.lines.SaveToFile(dir.File("copy.txt"));
  EXPECT_LT(ResidentKb(path), 512) << "a save lets them go too";
  EXPECT_EQ(Slurp(dir.File("copy.txt")), text);
}

}  // namespace
}  // namespace yk::test
