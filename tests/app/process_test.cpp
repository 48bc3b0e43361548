// The built program as a process: --help and --version, and a window that
// is started with a file, closed by SIGTERM like any close, and leaves its
// settings file behind. Every wait has a time limit.
#include <QElapsedTimer>
#include <QProcess>

#include <chrono>
#include <filesystem>

#include <gtest/gtest.h>

#include "program_process.h"
#include "props/ini_text.h"
#include "qt/local_instance_bus.h"
#include "shell/recovery.h"

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

// The program started on a file in scratch folders, with the bus folder a
// test can watch for its window.
class ProgramStart : public ::testing::Test {
 protected:
  void TearDown() override {
    if (p.state() == QProcess::NotRunning) return;
    p.kill();
    p.waitForFinished(5000);
  }
  void Start(const std::string& file) {
    p.setProcessEnvironment(ScratchEnvironment(dir));
    p.setProcessChannelMode(QProcess::ForwardedChannels);
    p.start(QStringLiteral(YK_PROGRAM_PATH), {QString::fromStdString(file)});
    ASSERT_TRUE(p.waitForStarted(10000));
  }
  // True once a window with this title answers on the bus.
  bool WindowUp(const std::string& title, int ms = 20000) {
    TLocalInstanceBus observer(dir.File("runtime") + "/yomikaki");
    QElapsedTimer timer;
    timer.start();
    while (timer.elapsed() < ms) {
      for (const TPeerInfo& peer : observer.Peers())
        if (peer.title == title) return true;
      QThread::msleep(50);
    }
    return false;
  }
  std::string Settings() const { return dir.File("config/yomikaki/Yomikaki.ini"); }

  TTempDir dir;
  QProcess p;
};

TEST_F(ProgramStart, AMissingFileInAnExistingFolderOpensAsAnEmptyDocumentOfThatName) {
  const std::string doc = dir.File("new.txt");
  Start(doc);
  // Up and answering: no error box holds the start-up.
  EXPECT_TRUE(WindowUp(doc + " - Yomikaki"));
  p.terminate();
  ASSERT_TRUE(p.waitForFinished(20000));
  EXPECT_EQ(p.exitCode(), 0);
  EXPECT_FALSE(std::filesystem::exists(doc));  // created only when saved
}

// SIGTERM while start-up waits in a box: the box goes, the window closes as
// it would, and what the box asked about is kept for the next start.
TEST_F(ProgramStart, ASignalDuringAStartUpBoxClosesTheProgram) {
  std::filesystem::create_directory(dir.File("folder"));
  const std::string doc = dir.File("doc.txt");
  Spit(doc, "on disk\r\n");
  std::filesystem::create_directories(dir.File("config/yomikaki"));
  const std::string snapshot = RecoveryFileName(PrepareRecoveryFolder(Settings()), doc);
  Spit(snapshot, "unsaved\r\n");
  for (const std::string& file : {dir.File("folder"), doc}) {  // an error box, the recovery question
    Start(file);
    WaitForFile(Settings(), std::chrono::seconds(20));  // written before the command line is handled
    QThread::msleep(500);
    p.terminate();
    ASSERT_TRUE(p.waitForFinished(20000)) << file;
    EXPECT_EQ(p.exitStatus(), QProcess::NormalExit) << file;
    EXPECT_EQ(p.exitCode(), 0) << file;
  }
  EXPECT_EQ(Slurp(snapshot), "unsaved\r\n");
  EXPECT_EQ(Slurp(doc), "on disk\r\n");
  EXPECT_TRUE(TIniText(Slurp(Settings())).Read("Pos", "Width").has_value());  // closed as the user closes
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
