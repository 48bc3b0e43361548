// A large document open in the program as a process: other programs
// truncate and rewrite its file at once, also while the program is stopped
// (as by Ctrl+Z in its terminal or a debugger), and the program carries on
// when it is continued. Every wait has a time limit.
#include <QElapsedTimer>
#include <QProcess>
#include <QThread>

#include <signal.h>

#include <filesystem>
#include <memory>

#include <gtest/gtest.h>

#include "program_process.h"
#include "qt/local_instance_bus.h"

namespace yk::test {
namespace {

// Six megabytes of lines: above the size from which a file is loaded into
// an image rather than copied row by row.
std::string LargeText() {
  std::string text;
  for (int i = 0; text.size() < (6u << 20); ++i) text += "line " + std::to_string(i) + " \x82\xa0\x82\xa2\r\n";  // あい
  return text;
}

class LargeFileProcessTest : public ::testing::Test {
 protected:
  void SetUp() override {
    const QProcessEnvironment env = ScratchEnvironment(dir);  // makes the runtime folder
    observer_ = std::make_unique<TLocalInstanceBus>(dir.File("runtime") + "/yomikaki");
    program_.setProcessEnvironment(env);
    program_.setProcessChannelMode(QProcess::ForwardedErrorChannel);
  }
  void TearDown() override {
    if (program_.state() == QProcess::NotRunning) return;
    ::kill(static_cast<pid_t>(program_.processId()), SIGCONT);
    program_.kill();
    program_.waitForFinished(10000);
  }

  // Starts the program with path and waits until its window shows it.
  bool Open(const std::string& path) {
    program_.start(QStringLiteral(YK_PROGRAM_PATH), {QString::fromStdString(path)});
    if (!program_.waitForStarted(10000)) return false;
    return WaitFor([&] { return Shown(path); });
  }
  bool Shown(const std::string& path) {
    for (const TPeerInfo& peer : observer_->Peers())
      if (peer.pid == program_.processId() && peer.title == path + " - Yomikaki") return true;
    return false;
  }
  template <class F>
  bool WaitFor(F done, int ms = 30000) {
    QElapsedTimer timer;
    timer.start();
    while (!done()) {
      if (timer.elapsed() > ms) return false;
      QThread::msleep(20);
    }
    return true;
  }
  void Signal(int signal) { ::kill(static_cast<pid_t>(program_.processId()), signal); }

  TTempDir dir;
  std::unique_ptr<TLocalInstanceBus> observer_;
  QProcess program_;
};

// A writer that must be through within a few seconds; its exit code.
int Write(const QString& program, const QStringList& arguments) {
  QProcess writer;
  writer.start(program, arguments);
  if (!writer.waitForFinished(3000)) {
    writer.kill();
    writer.waitForFinished(5000);
    ADD_FAILURE() << "the writer waited: " << program.toStdString() << " " << arguments.join(' ').toStdString();
    return -1;
  }
  return writer.exitStatus() == QProcess::NormalExit ? writer.exitCode() : -1;
}

TEST_F(LargeFileProcessTest, TruncateSucceedsAtOnceWhileTheFileIsOpen) {
  const std::string doc = dir.File("doc.txt");
  Spit(doc, LargeText());
  ASSERT_TRUE(Open(doc));
  // GNU truncate opens the file without blocking.
  EXPECT_EQ(Write(QStringLiteral("truncate"), {QStringLiteral("-s"), QStringLiteral("0"), QString::fromStdString(doc)}), 0);
  EXPECT_EQ(std::filesystem::file_size(doc), 0u);
  EXPECT_EQ(program_.state(), QProcess::Running);
}

TEST_F(LargeFileProcessTest, AStoppedProgramHoldsUpNoWriterAndCarriesOnWhenContinued) {
  const std::string doc = dir.File("doc.txt");
  Spit(doc, LargeText());
  ASSERT_TRUE(Open(doc));
  Signal(SIGSTOP);
  EXPECT_EQ(Write(QStringLiteral("/bin/sh"), {QStringLiteral("-c"), QStringLiteral("printf new > \"$1\""),
                                              QStringLiteral("sh"), QString::fromStdString(doc)}),
            0);
  EXPECT_TRUE(Slurp(doc) == "new");  // not the whole document printed
  Signal(SIGCONT);
  // Continued, it answers again with the document it had.
  EXPECT_TRUE(WaitFor([&] { return Shown(doc); }));
  EXPECT_EQ(program_.state(), QProcess::Running);
  program_.terminate();
  ASSERT_TRUE(program_.waitForFinished(20000));
  EXPECT_EQ(program_.exitStatus(), QProcess::NormalExit);
  EXPECT_EQ(program_.exitCode(), 0);
  EXPECT_TRUE(Slurp(doc) == "new");  // not the whole document printed
}

}  // namespace
}  // namespace yk::test
