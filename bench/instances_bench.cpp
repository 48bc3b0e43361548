// Speed of working beside other windows: the second start of a file that a
// running program already shows, until that window has jumped and the new
// process has ended; and opening the Window menu over 20 windows.
#include <benchmark/benchmark.h>

#include <QElapsedTimer>
#include <QProcess>
#include <QProcessEnvironment>
#include <QThread>

#include <sys/stat.h>

#include <filesystem>
#include <memory>

#include "qt/bus_peers.h"
#include "qt_main.h"
#include "temp_dir.h"
#include "window_timing.h"

namespace {

yk::bench::TSilentPrompts prompts;

std::string Lines(int n) {
  std::string text;
  for (int i = 1; i <= n; ++i) text += "line " + std::to_string(i) + "\r\n";
  return text;
}

QString ProgramPath() { return QStringLiteral(YK_PROGRAM_PATH); }

struct TScratch {
  TScratch() {
    std::filesystem::create_directory(runtime);
    ::chmod(runtime.c_str(), 0700);
    environment.insert(QStringLiteral("XDG_CONFIG_HOME"), QString::fromStdString(dir.File("config")));
    environment.insert(QStringLiteral("XDG_RUNTIME_DIR"), QString::fromStdString(runtime));
    environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
  }
  yk::test::TTempDir dir;
  std::string runtime = dir.File("runtime");
  QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
};

bool WaitForWindow(yk::TInstanceBus& bus, const std::string& title) {
  QElapsedTimer timer;
  timer.start();
  while (timer.elapsed() < 30000) {
    for (const yk::TPeerInfo& peer : bus.Peers())
      if (peer.title == title) return true;
    QThread::msleep(20);
  }
  return false;
}

void BM_SecondStartHandsOver(benchmark::State& state) {
  TScratch scratch;
  const std::string doc = scratch.dir.File("doc.txt");
  yk::test::Spit(doc, Lines(1000));
  QProcess first;
  first.setProcessEnvironment(scratch.environment);
  first.start(ProgramPath(), {QString::fromStdString(doc)});
  yk::TLocalInstanceBus observer(scratch.runtime + "/yomikaki");
  if (!first.waitForStarted(10000) || !WaitForWindow(observer, doc + " - Yomikaki")) {
    state.SkipWithError("the first window did not come up");
    return;
  }
  const QStringList jump{QStringLiteral("/l"), QStringLiteral("120"), QStringLiteral("/c"), QStringLiteral("4"),
                         QStringLiteral("/s"), QStringLiteral("6"), QString::fromStdString(doc)};
  for (auto _ : state) {
    QProcess second;
    second.setProcessEnvironment(scratch.environment);
    second.start(ProgramPath(), jump);
    // The messages are answered one by one, so the end of the process
    // means the other window has jumped.
    if (!second.waitForFinished(10000) || second.exitCode() != 0) {
      second.kill();
      second.waitForFinished();
      state.SkipWithError("the second start did not hand over");
      break;
    }
  }
  first.terminate();
  if (!first.waitForFinished(10000)) first.kill(), first.waitForFinished();
}
BENCHMARK(BM_SecondStartHandsOver)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_WindowMenuWith20Windows(benchmark::State& state) {
  yk::test::TTempDir dir;
  const std::string folder = dir.File("bus");
  std::vector<std::unique_ptr<yk::test::RecordingHandler>> handlers;
  auto peers = std::make_unique<yk::test::PeerThread>();
  for (int i = 0; i < 19; ++i) {
    handlers.push_back(
        std::make_unique<yk::test::RecordingHandler>("/home/u/doc" + std::to_string(i) + ".txt - Yomikaki", i));
    peers->Add(folder, *handlers.back());
  }
  yk::TMainFormEnv env;
  env.prompts = &prompts;
  env.settings_path = dir.File("Yomikaki.ini");
  env.make_bus = [folder] { return std::make_unique<yk::TLocalInstanceBus>(folder); };
  auto form = std::make_unique<yk::TMainForm>(env);
  yk::bench::ShowUntilPainted(*form);
  for (auto _ : state) {
    form->RunMenuHooks(yk::TMenu::Window);
    if (form->WindowList.size() != 20) state.SkipWithError("a window did not answer");
  }
  form->close();
  form.reset();
  peers.reset();  // stops before the handlers go
}
BENCHMARK(BM_WindowMenuWith20Windows)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace

int main(int argc, char** argv) { return yk::bench::RunWithQt(argc, argv); }
