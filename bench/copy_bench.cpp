// Copying a large selection to the clipboard through the Qt port: select
// all in a document of 10, 30 and 100 MB and copy, as Ctrl+C does. Reports
// the time and the peak memory the copy adds, as a multiple of the
// selection's size.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QClipboard>

#include <fstream>
#include <map>
#include <memory>
#include <string>

#include "docgen.h"
#include "qt/editor_widget.h"
#include "qt_main.h"

namespace {

// Resident and peak resident memory of the process in bytes (Linux).
std::size_t StatusBytes(const std::string& field) {
  std::ifstream status("/proc/self/status");
  std::string line;
  while (std::getline(status, line))
    if (line.rfind(field + ":", 0) == 0) return std::stoull(line.substr(field.size() + 1)) * 1024;
  return 0;
}

// Starts a new peak: the kernel sets the peak to the current size.
void ResetPeak() { std::ofstream("/proc/self/clear_refs") << "5"; }

yk::TEditorWidget& Widget(std::size_t megabytes) {
  static std::map<std::size_t, std::unique_ptr<yk::TEditorWidget>> widgets;
  auto& w = widgets[megabytes];
  if (!w) {
    w = std::make_unique<yk::TEditorWidget>();
    w->Editor().Lines().SetTextStr(yk::bench::MakeDocument(megabytes << 20));
    w->resize(800, 600);
  }
  return *w;
}

void BM_CopySelection(benchmark::State& state) {
  const auto megabytes = static_cast<std::size_t>(state.range(0));
  yk::TEditor& ed = Widget(megabytes).Editor();
  ed.SelectAll();
  const double selection = static_cast<double>(ed.SelLength());
  double extra = 0;
  for (auto _ : state) {
    state.PauseTiming();
    QGuiApplication::clipboard()->clear();
    const std::size_t before = StatusBytes("VmRSS");
    ResetPeak();
    state.ResumeTiming();
    ed.CopyToClipboard();
    state.PauseTiming();
    extra = std::max(extra, static_cast<double>(StatusBytes("VmHWM") - before));
    state.ResumeTiming();
  }
  QGuiApplication::clipboard()->clear();
  state.counters["selection_MB"] = selection / (1 << 20);
  state.counters["peak_extra_MB"] = extra / (1 << 20);
  state.counters["extra_per_byte"] = extra / selection;
}
BENCHMARK(BM_CopySelection)->Arg(10)->Arg(30)->Arg(100)->Unit(benchmark::kMillisecond)->Iterations(3);

// What another program's paste of that copy costs: the Unicode text is
// made then, from the stored bytes.
void BM_OtherProgramPastesCopy(benchmark::State& state) {
  yk::TEditor& ed = Widget(static_cast<std::size_t>(state.range(0))).Editor();
  ed.SelectAll();
  ed.CopyToClipboard();
  qsizetype units = 0;
  for (auto _ : state) units = QGuiApplication::clipboard()->text().size();
  QGuiApplication::clipboard()->clear();
  state.counters["utf16_units_M"] = static_cast<double>(units) / (1 << 20);
}
BENCHMARK(BM_OtherProgramPastesCopy)->Arg(100)->Unit(benchmark::kMillisecond)->Iterations(3);

}  // namespace

int main(int argc, char** argv) { return yk::bench::RunWithQt(argc, argv); }
