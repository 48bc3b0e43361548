// Speed of the text model on large documents: loading, wrapping, states, edits.
#include <benchmark/benchmark.h>

#include <map>
#include <memory>

#include "docgen.h"
#include "text/fake_editor.h"

using yk::test::FakeEditor;

namespace {

constexpr std::size_t k100MB = 100u << 20;

void BM_LoadWrapOff(benchmark::State& state) {
  std::string path = yk::bench::DocumentFile(k100MB);
  for (auto _ : state) {
    FakeEditor ed;
    ed.lines.LoadFromFile(path);
    benchmark::DoNotOptimize(ed.Rows().GetCount());
    state.counters["rows"] = ed.Rows().GetCount();
  }
}
BENCHMARK(BM_LoadWrapOff)->Unit(benchmark::kMillisecond)->Iterations(3);

void BM_LoadWrapOn80(benchmark::State& state) {
  std::string path = yk::bench::DocumentFile(k100MB);
  for (auto _ : state) {
    FakeEditor ed;
    ed.Rows().SetWordWrap(true);
    ed.lines.LoadFromFile(path);
    state.counters["rows"] = ed.Rows().GetCount();
  }
}
BENCHMARK(BM_LoadWrapOn80)->Unit(benchmark::kMillisecond)->Iterations(3);

void BM_SwitchWrapOn(benchmark::State& state) {
  FakeEditor ed;
  ed.lines.LoadFromFile(yk::bench::DocumentFile(k100MB));
  for (auto _ : state) {
    ed.Rows().SetWordWrap(true);
    state.PauseTiming();
    ed.Rows().SetWordWrap(false);
    state.ResumeTiming();
  }
}
BENCHMARK(BM_SwitchWrapOn)->Unit(benchmark::kMillisecond)->Iterations(3);

void BM_UpdateAllStatesOnePair(benchmark::State& state) {
  FakeEditor ed;
  ed.lines.LoadFromFile(yk::bench::DocumentFile(k100MB));
  ed.rules.brackets = {{"/*", "*/"}};
  for (auto _ : state) ed.Rows().UpdateAllStates();
}
BENCHMARK(BM_UpdateAllStatesOnePair)->Unit(benchmark::kMillisecond)->Iterations(3);

// A document of `rows` rows, shared between the edit benchmarks.
FakeEditor& Document(int rows) {
  static std::map<int, std::unique_ptr<FakeEditor>> docs;
  auto& ed = docs[rows];
  if (!ed) {
    ed = std::make_unique<FakeEditor>();
    ed->lines.SetTextStr(yk::bench::MakeDocument(static_cast<std::size_t>(rows) * 80));
    while (ed->Rows().GetCount() > rows) ed->Rows().DeleteRows(rows, ed->Rows().GetCount() - rows);
  }
  return *ed;
}

// Types one character into a row in the middle of the document, then
// deletes it again, so the row keeps its length: each is one edit.
void BM_TypeChar(benchmark::State& state) {
  FakeEditor& ed = Document(static_cast<int>(state.range(0)));
  int row = ed.Rows().GetCount() / 2;
  bool insert = true;
  for (auto _ : state) {
    std::string text(ed.Rows().Row(row));
    if (insert) {
      text.insert(text.size() / 2, "a");
    } else {
      text.erase(text.size() / 2, 1);
    }
    insert = !insert;
    text += "\r\n";
    ed.Rows().ReplaceRows(row, 1, text);
  }
  state.counters["rows"] = ed.Rows().GetCount();
}
BENCHMARK(BM_TypeChar)->Arg(3000)->Arg(3000000)->Unit(benchmark::kMicrosecond);

// Splits a row near the top (Enter), then joins the two rows again.
void BM_SplitRowNearTop(benchmark::State& state) {
  FakeEditor& ed = Document(static_cast<int>(state.range(0)));
  bool split = true;
  for (auto _ : state) {
    if (split) {
      std::string text(ed.Rows().Row(10));
      text.insert(text.size() / 2, "\r\n");
      text += "\r\n";
      ed.Rows().ReplaceRows(10, 1, text);
    } else {
      std::string text(ed.Rows().Row(10));
      text += ed.Rows().Row(11);
      text += "\r\n";
      ed.Rows().ReplaceRows(10, 2, text);
    }
    split = !split;
  }
  state.counters["rows"] = ed.Rows().GetCount();
}
BENCHMARK(BM_SplitRowNearTop)->Arg(3000)->Arg(3000000)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
