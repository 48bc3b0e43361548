// What the window takes from its environment: where the settings file lives,
// starting new processes with exact argument bytes, the size of the first
// window, and titles that the toolkit must not reinterpret.
#include <QCoreApplication>
#include <QGuiApplication>
#include <QScreen>
#include <QWindow>

#include <chrono>
#include <filesystem>

#include "form_fixture.h"
#include "program_process.h"

namespace yk::test {
namespace {

TEST(EnvironmentTest, SettingsBesideTheProgramOnlyWhenAWritableFileIsThere) {
  TTempDir dir;
  const QByteArray old = qgetenv("XDG_CONFIG_HOME");
  qputenv("XDG_CONFIG_HOME", QByteArray::fromStdString(dir.Path()));
  EXPECT_EQ(DefaultSettingsPath(), dir.File("yomikaki/Yomikaki.ini"));
  const std::string beside = QCoreApplication::applicationDirPath().toStdString() + "/Yomikaki.ini";
  std::filesystem::create_directory(beside);  // a folder of that name does not count
  EXPECT_EQ(DefaultSettingsPath(), dir.File("yomikaki/Yomikaki.ini"));
  std::filesystem::remove(beside);
  Spit(beside, "");
  EXPECT_EQ(DefaultSettingsPath(), beside);
  std::filesystem::remove(beside);
  qputenv("XDG_CONFIG_HOME", old);
}

TEST(EnvironmentTest, SpawnDetachedPassesTheArgumentBytesUnchanged) {
  TTempDir dir;
  const std::string bytes = "\x82\xa0 \"quoted\" $HOME -x";  // あ, not UTF-8
  ASSERT_TRUE(SpawnDetached("/bin/sh", {"-c", "printf %s \"$1\" > \"$2.part\" && mv \"$2.part\" \"$2\"", "sh",
                                        bytes, dir.File("out")}));
  WaitForFile(dir.File("out"), std::chrono::seconds(10), 10);
  EXPECT_EQ(Slurp(dir.File("out")), bytes);
  EXPECT_FALSE(SpawnDetached(dir.File("no-such-program"), {}));
}

using WindowTest = FormTest;

TEST_F(WindowTest, TheFirstWindowShowsTheWrapWidthWhereTheScreenAllows) {
  TMainForm& f = Make();
  TEditor& ed = Doc();
  const int needed = ed.Margin().Left() + 80 * ed.ColWidth();
  const int screen = QGuiApplication::primaryScreen()->availableGeometry().width();
  if (f.width() < screen - 16) {
    EXPECT_GE(f.Memo1->viewport()->width(), needed);
  } else {
    EXPECT_EQ(f.width(), screen - 16);  // as wide as the screen allows
  }
}

TEST_F(WindowTest, TitlesShowBracketsAndStarsAsWritten) {
  const std::string path = File("x[*].txt", "x");
  TMainForm& f = Make({path});
  EXPECT_EQ(f.windowHandle()->title(), Q(path) + " - Yomikaki");
  Doc().SetSelTextBuf("y");
  EXPECT_EQ(f.windowHandle()->title(), Q(path) + " * - Yomikaki");
}

}  // namespace
}  // namespace yk::test
