// Speed of editing through TEditor on large documents: typing and Enter with
// the caret update, and selecting and reading a whole 100 MB document.
#include <benchmark/benchmark.h>

#include <map>
#include <memory>
#include <string>

#include "docgen.h"
#include "bench_editor.h"
#include "editor/editor.h"

namespace {

yk::bench::NullHost host;

// An editor holding a document of `rows` rows, shared by the benchmarks.
yk::TEditor& Document(int rows) {
  static std::map<int, std::unique_ptr<yk::TEditor>> docs;
  auto& ed = docs[rows];
  if (!ed) {
    ed = std::make_unique<yk::TEditor>();
    ed->Lines().SetTextStr(yk::bench::MakeDocument(static_cast<std::size_t>(rows) * 70));
    yk::TEditorScreenStrings& list = ed->ScreenStrings();
    if (list.GetCount() > rows) list.DeleteRows(rows, list.GetCount() - rows);
    ed->SetHost(&host);
  }
  return *ed;
}

// Caret on `row` (the last row for -1), in the middle of the row.
void PlaceCaret(yk::TEditor& ed, int row) {
  if (row < 0) row = ed.RowCount() - 1;
  ed.SetRowCol(row, ed.RowEndCol(row) / 2);
}

void TypeChar(benchmark::State& state, int row) {
  yk::TEditor& ed = Document(static_cast<int>(state.range(0)));
  PlaceCaret(ed, row);
  yk::bench::TypeAndErase(state, ed);
  state.counters["rows"] = ed.RowCount();
  state.counters["undo"] = static_cast<double>(ed.ScreenStrings().UndoObj().UndoCount());
}

// Typing in the middle of one row of `bytes` bytes (a minified file): each
// iteration is one edit, a character typed, then Backspace.
void BM_TypeInLongRow(benchmark::State& state) {
  static yk::TEditor ed;
  static bool loaded = false;
  if (!loaded) {
    ed.Lines().SetTextStr(std::string(static_cast<std::size_t>(state.range(0)), 'x'));
    ed.SetHost(&host);
    loaded = true;
  }
  ed.SetRowCol(0, ed.RowEndCol(0) / 2);
  yk::bench::TypeAndErase(state, ed);
}
BENCHMARK(BM_TypeInLongRow)->Arg(10 << 20)->Unit(benchmark::kMillisecond);

// Each iteration is one edit: Enter, then Backspace joining the rows again.
void Enter(benchmark::State& state, int row) {
  yk::TEditor& ed = Document(static_cast<int>(state.range(0)));
  ed.Caret().SetAutoIndent(false);
  PlaceCaret(ed, row);
  bool split = true;
  for (auto _ : state) {
    if (split)
      ed.ReturnKey();
    else
      ed.BackSpaceKey();
    split = !split;
  }
  state.counters["rows"] = ed.RowCount();
}

void BM_TypeCharNearTop(benchmark::State& state) { TypeChar(state, 10); }
void BM_TypeCharAtEnd(benchmark::State& state) { TypeChar(state, -1); }
void BM_EnterNearTop(benchmark::State& state) { Enter(state, 10); }
void BM_EnterAtEnd(benchmark::State& state) { Enter(state, -1); }
BENCHMARK(BM_TypeCharNearTop)->Arg(3000000)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_TypeCharAtEnd)->Arg(3000000)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_EnterNearTop)->Arg(3000000)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_EnterAtEnd)->Arg(3000000)->Unit(benchmark::kMicrosecond);

void BM_SelectAllSelText(benchmark::State& state) {
  static yk::TEditor ed;
  static bool loaded = false;
  if (!loaded) {
    ed.Lines().SetTextStr(yk::bench::MakeDocument(100u << 20));
    loaded = true;
  }
  std::size_t size = 0;
  for (auto _ : state) {
    ed.SelectAll();
    const std::string text = ed.SelText();
    size = text.size();
    benchmark::DoNotOptimize(text.data());
  }
  state.counters["bytes"] = static_cast<double>(size);
}
BENCHMARK(BM_SelectAllSelText)->Unit(benchmark::kMillisecond)->Iterations(3);

}  // namespace

BENCHMARK_MAIN();
