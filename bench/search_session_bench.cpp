// Speed of the main window's search commands on large documents: Find next
// far into 100 MB and to the next match a few rows on, and replace-all of
// about 100,000 occurrences in 10 MB, with the undo of it.
#include <benchmark/benchmark.h>

#include <chrono>
#include <memory>
#include <string>

#include "bench_editor.h"
#include "dialogs/search_session.h"
#include "docgen.h"

namespace {

// Answers nothing: the only box a benchmark meets is "not found".
class QuietPrompts final : public yk::TDialogPrompts {
 public:
  void Information(QWidget*, const QString&, const QString&) override { ++notFound; }
  void Error(QWidget*, const QString&, const QString&) override {}
  yk::TDialogAnswer Question(QWidget*, const QString&, const QString&, unsigned, std::optional<QPoint>) override {
    return yk::TDialogAnswer::Cancel;
  }
  std::optional<QString> OpenFileName(QWidget*, const QString&, const QString&, int, const QString&) override {
    return std::nullopt;
  }
  std::optional<QString> SaveFileName(QWidget*, const QString&, const QString&, int, const QString&) override {
    return std::nullopt;
  }
  int notFound = 0;
};

yk::bench::NullHost host;
const std::string kZebra = "zebra";  // a word the generator never writes

// 100 MB with two matches a few rows apart near the end.
yk::TEditor& FarDocument() {
  static std::unique_ptr<yk::TEditor> ed;
  if (!ed) {
    std::string doc = yk::bench::MakeDocument(100u << 20);
    const std::size_t at = doc.rfind("\r\n", doc.size() - 5000) + 2;
    doc.insert(doc.find("\r\n", doc.find("\r\n", doc.find("\r\n", at) + 2) + 2) + 2, kZebra);
    doc.insert(at, kZebra);
    ed = std::make_unique<yk::TEditor>();
    ed->Lines().SetTextStr(doc);
    ed->SetHost(&host);
  }
  return *ed;
}

void BM_FindNextFar(benchmark::State& state) {
  yk::TEditor& ed = FarDocument();
  QuietPrompts prompts;
  yk::TSearchSession session(prompts);
  session.SetCurrentText(kZebra);
  for (auto _ : state) {
    state.PauseTiming();
    ed.SetSelStart(0);
    state.ResumeTiming();
    if (!session.FindNext(ed)) state.SkipWithError("no match");
  }
}

void BM_FindNextFollowing(benchmark::State& state) {
  yk::TEditor& ed = FarDocument();
  QuietPrompts prompts;
  yk::TSearchSession session(prompts);
  session.SetCurrentText(kZebra);
  ed.SetSelStart(0);
  session.FindNext(ed);
  ed.CancelSelection();
  const int row = ed.Row();
  const int col = ed.Col();
  for (auto _ : state) {
    state.PauseTiming();
    ed.CancelSelection();
    ed.SetRowCol(row, col);
    state.ResumeTiming();
    if (!session.FindNext(ed) || ed.Row() <= row) state.SkipWithError("no following match");
  }
}

void BM_ReplaceAll10MB(benchmark::State& state) {
  static const std::string doc = yk::bench::ReplaceDocument();
  static std::size_t count = 0;
  static const std::string expected = yk::bench::PlainReplacement(doc, count);
  yk::TEditor ed;
  ed.SetHost(&host);
  ed.SetUndoListMax(static_cast<int>(state.range(0)));
  QuietPrompts prompts;
  yk::TSearchSession session(prompts);
  double undoSeconds = 0;
  std::size_t undoSteps = 0;
  for (auto _ : state) {
    state.PauseTiming();
    ed.Lines().SetTextStr(doc);
    ed.ScreenStrings().UndoObj().Clear();
    ed.SetRowCol(0, 0);
    session.SetDialogText("\x82\xcc");
    session.SetReplacement("\x83\x6d");
    session.SetFlags(yk::sfForward | yk::sfReplaceAll);
    state.ResumeTiming();
    session.ReplaceLoop(ed);
    state.PauseTiming();
    if (ed.Lines().GetTextStr() != expected) state.SkipWithError("differs from a plain replacement");
    undoSteps = ed.ScreenStrings().UndoObj().UndoCount();
    const auto t0 = std::chrono::steady_clock::now();
    while (ed.CanUndo()) ed.Undo();
    undoSeconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
    state.ResumeTiming();
  }
  state.counters["undo_steps"] = static_cast<double>(undoSteps);
  state.counters["undo_all_s"] = undoSeconds;
  state.counters["replaced"] = static_cast<double>(count);
}

BENCHMARK(BM_FindNextFar)->Unit(benchmark::kMillisecond)->Iterations(5);
BENCHMARK(BM_FindNextFollowing)->Unit(benchmark::kMillisecond)->Iterations(20);
// The default undo limit, and one that keeps every replacement.
BENCHMARK(BM_ReplaceAll10MB)->Arg(64)->Arg(1 << 20)->Unit(benchmark::kMillisecond)->Iterations(1);

}  // namespace

BENCHMARK_MAIN();
