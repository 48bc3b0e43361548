// The built program as a process: --help and --version, and a window that
// is started with a file, closed by SIGTERM like any close, and leaves its
// settings file behind. Every wait has a time limit.
#include <QProcess>

#include <chrono>
#include <filesystem>

#include <gtest/gtest.h>

#include "program_process.h"
#include "props/ini_text.h"

namespace yk::test {
namespace {

QString RunProgram(const QStringList& arguments) {
  QProcess p;
  p.start(QStringLiteral(YK_PROGRAM_PATH), arguments);
  EXPECT_TRUE(p.waitForFinished(10000));
  EXPECT_EQ(p.exitCode(), 0);
  return QString::fromUtf8(p.readAllStandardOutput());
}

TEST(ProgramTest, HelpAndVersionPrintAndExit) {
  EXPECT_TRUE(RunProgram({QStringLiteral("--help")}).contains(QString::fromUtf8("使い方")));
  EXPECT_EQ(RunProgram({QStringLiteral("--version")}), QStringLiteral("Yomikaki " YK_VERSION "\n"));
}

TEST(ProgramTest, ClosedByItsWindowItWritesTheSettingsFile) {
  TTempDir dir;
  const std::string doc = dir.File("doc.txt");
  Spit(doc, "\x93\xfa\x96\x7b\x8c\xea\r\n");  // 日本語
  const std::string settings = dir.File("config/yomikaki/Yomikaki.ini");
  QProcess p;
  p.setProcessEnvironment(ScratchEnvironment(dir));
  p.start(QStringLiteral(YK_PROGRAM_PATH), {QString::fromStdString(doc)});
  ASSERT_TRUE(p.waitForStarted(10000));
  // The file appears during start-up (the parallel lists of the first start).
  WaitForFile(settings, std::chrono::seconds(20));
  ASSERT_TRUE(std::filesystem::exists(settings));
  p.terminate();  // SIGTERM: closed as the user closes it
  ASSERT_TRUE(p.waitForFinished(20000));
  EXPECT_EQ(p.exitStatus(), QProcess::NormalExit);
  EXPECT_EQ(p.exitCode(), 0);
  const TIniText ini(Slurp(settings));
  EXPECT_EQ(ini.Read("Win", "SizePosSave").value_or(""), "1");
  EXPECT_EQ(ini.Read("Pos", "HistPanelHeight").value_or(""), "60");
  EXPECT_EQ(ini.Read("Window", "History").value_or(""), "1");
  EXPECT_TRUE(ini.Read("Pos", "Width").has_value());
  EXPECT_EQ(Slurp(doc), "\x93\xfa\x96\x7b\x8c\xea\r\n");
}

// The toolkit's options stand beside the file: the platform named there is
// the one used (the environment's is none the program could start with),
// and the file is opened.
TEST(ProgramTest, ToolkitOptionsBesideAFileReachTheToolkit) {
  TTempDir dir;
  const std::string doc = dir.File("styled.txt");
  Spit(doc, "abc\r\n");
  const std::string settings = dir.File("config/yomikaki/Yomikaki.ini");
  QProcessEnvironment env = ScratchEnvironment(dir);
  env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("no-such-platform"));
  QProcess p;
  p.setProcessEnvironment(env);
  p.start(QStringLiteral(YK_PROGRAM_PATH), {QStringLiteral("-platform"), QStringLiteral("offscreen"),
                                            QStringLiteral("-style"), QStringLiteral("Fusion"),
                                            QString::fromStdString(doc)});
  ASSERT_TRUE(p.waitForStarted(10000));
  WaitForFile(settings, std::chrono::seconds(20));
  p.terminate();
  ASSERT_TRUE(p.waitForFinished(20000));
  EXPECT_EQ(p.exitStatus(), QProcess::NormalExit);
  EXPECT_EQ(p.exitCode(), 0) << p.readAllStandardError().toStdString();
  EXPECT_NE(Slurp(settings).find("styled.txt"), std::string::npos);  // in the recent list
}

}  // namespace
}  // namespace yk::test
