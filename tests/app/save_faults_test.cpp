// The window when a save fails: it keeps the edits, stays modified and says
// why; and unchanged saves that give back the very bytes that were loaded.
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>

#include "file_faults.h"
#include "form_fixture.h"

namespace yk::test {
namespace {

class SaveFaultsTest : public FormTest {
 protected:
  // Saves with the fall-back Save As cancelled and checks what every failed
  // save must leave: the message with its reason, the edits, the modified
  // mark.
  void ExpectFailedSave(const std::string& path, const char* reason) {
    prompts.Expect(TKind::Error);
    prompts.SaveFile(std::nullopt);
    const std::string text = Doc().Lines().GetTextStr();
    EXPECT_FALSE(form->Save1Click());
    ASSERT_FALSE(prompts.Asked().empty());
    const QString message = prompts.Asked()[0].text;
    EXPECT_TRUE(message.startsWith(QString::fromUtf8("ファイル ") + Q(path) +
                                   QString::fromUtf8(" を保存できませんでした。\r")))
        << message.toStdString();
    EXPECT_TRUE(message.endsWith(QString::fromUtf8(reason))) << message.toStdString();
    EXPECT_EQ(Doc().Lines().GetTextStr(), text);
    EXPECT_TRUE(Doc().Modified());
    EXPECT_EQ(form->StatusText(2), QString::fromUtf8("変更"));
  }
};

TEST_F(SaveFaultsTest, AFileReplacedByAFolderKeepsTheEditsAndSaysSo) {
  const std::string path = File("a.txt", "old\r\n");
  Make({path});
  Doc().SetSelTextBuf("new ");
  std::filesystem::remove(path);
  std::filesystem::create_directory(path);
  ExpectFailedSave(path, "同じ名前のフォルダーがあります。");
  EXPECT_TRUE(std::filesystem::is_directory(path));
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(path), {}), 0);
}

TEST_F(SaveFaultsTest, AFileSizeLimitKeepsTheEditsAndNamesTheSize) {
  const std::string path = File("big.txt", "small\r\n");
  Make({path});
  Doc().SetSelTextBuf(std::string(100000, 'z'));
  {
    const TFileSizeLimit limit(4096);
    ExpectFailedSave(path, "ファイルが大きすぎて書き込めません。");
  }
  EXPECT_EQ(Slurp(path), "small\r\n");
}

// Root writes through folder permissions; the immutable attribute stops it.
// A folder that may not be written takes no new file (Save As fails and
// keeps the edits), but the writable file already there is saved in place.
TEST_F(SaveFaultsTest, AnUnwritableFolderKeepsTheEditsAlsoForRoot) {
  const std::string folder = dir.File("ro");
  std::filesystem::create_directory(folder);
  const std::string path = folder + "/a.txt";
  Spit(path, "old\r\n");
  Make({path});
  Doc().SetSelTextBuf("new ");
  const bool root = ::geteuid() == 0;
  if (root ? !SetImmutable(folder, true) : ::chmod(folder.c_str(), 0555) != 0) {
    GTEST_SKIP() << "no way to make a folder read-only here";
  }
  const std::string fresh = folder + "/b.txt";
  prompts.SaveFile(Q(fresh));
  prompts.Expect(TKind::Error);
  EXPECT_FALSE(form->SaveAs1Click());
  EXPECT_TRUE(prompts.Last().text.endsWith(QString::fromUtf8("保存先のフォルダーに書き込む権限がありません。")));
  EXPECT_TRUE(Doc().Modified());
  EXPECT_EQ(form->FileName, path);
  EXPECT_TRUE(form->Save1Click());
  if (root) SetImmutable(folder, false);
  else ::chmod(folder.c_str(), 0755);
  EXPECT_EQ(Slurp(path), "new old\r\n");
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder), {}), 1);
}

// Opening and saving without an edit must not change a byte, whatever the
// file holds, so that a user can trust the editor with any text file.
TEST_F(SaveFaultsTest, AnUnchangedSaveWritesTheBytesThatWereLoaded) {
  const std::string cases[] = {
      "text\r\nend\x1a",                   // the old end-of-file mark
      "a\x1a" "b\nc\n",                    // a Ctrl+Z inside an LF file
      "a\rb\rc",                           // CR line ends
      std::string("nul\0byte\n", 9),       // NUL bytes
      "\x82\n\x82\xa0\x81\n\x9f",          // lone lead bytes before line ends and at the end
      "\x1a",                              // nothing but the mark
      "\t\x82\xa0\x82\xa2\r\n\r\n",        // あい and an empty line
  };
  int n = 0;
  for (const std::string& bytes : cases) {
    const std::string path = File("doc" + std::to_string(n++) + ".txt", bytes);
    Make({path});
    Doc().SetModified(true);
    ASSERT_TRUE(form->Save1Click());
    EXPECT_EQ(Slurp(path), bytes) << testing::PrintToString(bytes);
  }
}

}  // namespace
}  // namespace yk::test
