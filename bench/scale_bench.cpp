// Speed of the text model at scale through TEditor: what the status bar asks
// on every caret move, the line jump, a block comment opened at the top with
// the first and the last screen painted, and typing in a 10 MB row, on the
// generated 100 MB document wrapped at 80 columns (about 3 million rows).
#include <benchmark/benchmark.h>

#include <chrono>
#include <memory>
#include <optional>
#include <string>

#include "bench_editor.h"
#include "docgen.h"
#include "editor/editor.h"

namespace {

yk::bench::NullHost host({1300, 980});

// Reads every byte it is given, so nothing is optimised away.
class TouchSurface : public yk::TSurface {
 public:
  void FillRect(const yk::TRect& r, yk::TColor c) override { sum += static_cast<unsigned>(r.left + c); }
  void TextRun(int x, int, int, std::string_view bytes, yk::TColor, yk::TColor, yk::TFontStyles,
               const yk::TRect&) override {
    for (char b : bytes) sum += static_cast<unsigned char>(b);
    sum += static_cast<unsigned>(x);
  }
  void Line(int x1, int, int, int, yk::TColor) override { sum += static_cast<unsigned>(x1); }
  unsigned sum = 0;
};

// An editor on the benchmark host holding text.
std::unique_ptr<yk::TEditor> EditorWith(const std::string& text, bool wrap) {
  auto e = std::make_unique<yk::TEditor>();
  e->SetHost(&host);
  e->SetWordWrap(wrap);
  e->Lines().SetTextStr(text);
  return e;
}

// The 100 MB document, wrapped at 80 columns, with a block comment pair.
yk::TEditor& Wrapped() {
  static std::unique_ptr<yk::TEditor> ed = [] {
    auto e = EditorWith("", true);
    yk::TEditorBracketItem& pair = e->View().Brackets().Add();
    pair.SetLeftBracket("/*");
    pair.SetRightBracket("*/");
    e->Lines().SetTextStr(yk::bench::MakeDocument(100u << 20));
    return e;
  }();
  return *ed;
}

// The 10 MB document made one row: its line ends become blanks, and with
// `tabs` some of them tabs (its own tabs kept); without, its tabs go too.
std::string OneRow(bool tabs) {
  std::string row = yk::bench::MakeDocument(10u << 20);
  for (std::size_t i = 0; i < row.size(); ++i) {
    if (row[i] == '\r' || row[i] == '\n')
      row[i] = tabs && i % 3 == 0 ? '\t' : ' ';
    else if (row[i] == '\t' && !tabs)
      row[i] = ' ';
  }
  return row;
}

// One row of 10 MB without line ends or tabs (a minified file).
yk::TEditor& LongRow(bool wrap) {
  static std::unique_ptr<yk::TEditor> eds[2];
  auto& ed = eds[wrap ? 1 : 0];
  if (!ed) ed = EditorWith(OneRow(false), wrap);
  return *ed;
}

// One row of 10 MB of single-byte text, wrapped: every break after a typed
// key moves by that key, so the rest of the line is wrapped again.
yk::TEditor& LongSingleByteRow() {
  static std::unique_ptr<yk::TEditor> ed = [] {
    std::string row(10u << 20, ' ');
    for (std::size_t i = 0; i < row.size(); ++i)
      if (i % 7 != 6) row[i] = static_cast<char>('a' + i % 26);
    return EditorWith(row, true);
  }();
  return *ed;
}

// One row of 10 MB with a tab every few dozen bytes, wrap off.
yk::TEditor& LongTabRow() {
  static std::unique_ptr<yk::TEditor> ed = EditorWith(OneRow(true), false);
  return *ed;
}

// A caret move between two rows near `row`, and what the status bar shows.
void StatusBar(benchmark::State& state, yk::TEditor& ed, int row) {
  int toggle = 0;
  std::int64_t sum = 0;
  for (auto _ : state) {
    ed.SetRowCol(row + toggle, 30 + toggle);
    toggle ^= 1;
    sum += ed.Row() + ed.RowsToLines(ed.Row()) + ed.Col() + ed.LogicalColumn(ed.Row(), ed.Col()) + ed.SelStart();
  }
  benchmark::DoNotOptimize(sum);
}

void BM_StatusBarAfterCaretMove(benchmark::State& state) {
  yk::TEditor& ed = Wrapped();
  const int rows = ed.RowCount();
  const int where[] = {5, rows / 2, rows - 3};
  StatusBar(state, ed, where[state.range(0)]);
  state.counters["rows"] = rows;
}
BENCHMARK(BM_StatusBarAfterCaretMove)->DenseRange(0, 2)->Unit(benchmark::kMicrosecond);

// A caret move between two columns in the middle of a 10 MB row, and what
// the status bar shows.
void StatusBarInLongRow(benchmark::State& state, yk::TEditor& ed) {
  int toggle = 0;
  std::int64_t sum = 0;
  for (auto _ : state) {
    ed.SetRowCol(0, 5000000 + toggle);
    toggle ^= 1;
    sum += ed.Row() + ed.RowsToLines(ed.Row()) + ed.Col() + ed.LogicalColumn(ed.Row(), ed.Col()) + ed.SelStart();
  }
  benchmark::DoNotOptimize(sum);
}

void BM_StatusBarInLongRow(benchmark::State& state) { StatusBarInLongRow(state, LongRow(false)); }
BENCHMARK(BM_StatusBarInLongRow)->Unit(benchmark::kMicrosecond);

// The same in a 10 MB row with tabs, whose columns need its column map.
void BM_StatusBarInLongRowWithTabs(benchmark::State& state) { StatusBarInLongRow(state, LongTabRow()); }
BENCHMARK(BM_StatusBarInLongRowWithTabs)->Unit(benchmark::kMicrosecond);

// The first row of the last line, and the caret put there.
void BM_LineJumpToLastLine(benchmark::State& state) {
  yk::TEditor& ed = Wrapped();
  for (auto _ : state) {
    const int row = ed.Lines().LineToRow(ed.Lines().GetCount() - 1);
    ed.SetRowCol(row, 0);
    ed.SetRowCol(0, 0);
  }
  state.counters["lines"] = ed.Lines().GetCount();
}
BENCHMARK(BM_LineJumpToLastLine)->Unit(benchmark::kMicrosecond);

// "/*" typed at the start of the first row (then removed again, untimed),
// and the first and the last screen painted. The states of the whole
// document were computed before (the user had been at its end).
void BM_OpenCommentPaintFirstAndLast(benchmark::State& state) {
  yk::TEditor& ed = Wrapped();
  TouchSurface surface;
  const yk::TRect all{0, 0, 1300, 980};
  ed.SetTopRow(ed.RowCount() - ed.VisibleRows());
  ed.Paint(surface, all);
  for (auto _ : state) {
    ed.SetTopRow(0);
    ed.SetRowCol(0, 0);
    ed.InsertText("/*");
    ed.Paint(surface, all);
    ed.SetTopRow(ed.RowCount() - ed.VisibleRows());
    ed.Paint(surface, all);
    state.PauseTiming();
    ed.Undo();
    state.ResumeTiming();
  }
  benchmark::DoNotOptimize(surface.sum);
}
BENCHMARK(BM_OpenCommentPaintFirstAndLast)->Unit(benchmark::kMillisecond)->Iterations(5);

// A key typed in the middle of the 10 MB row, then Backspace: one edit each.
void TypeInLongRow(benchmark::State& state, bool wrap) {
  yk::TEditor& ed = LongRow(wrap);
  ed.SetRowCol(wrap ? ed.RowCount() / 2 : 0, wrap ? 40 : 5000000);
  yk::bench::TypeAndErase(state, ed);
}
void BM_TypeInLongRowWrapOff(benchmark::State& state) { TypeInLongRow(state, false); }
void BM_TypeInLongRowWrapOn(benchmark::State& state) { TypeInLongRow(state, true); }
BENCHMARK(BM_TypeInLongRowWrapOff)->Unit(benchmark::kMillisecond)->Iterations(20);
BENCHMARK(BM_TypeInLongRowWrapOn)->Unit(benchmark::kMillisecond)->Iterations(20);
void BM_TypeInLongSingleByteRowWrapOn(benchmark::State& state) {
  yk::TEditor& ed = LongSingleByteRow();
  ed.SetRowCol(ed.RowCount() / 2, 40);
  yk::bench::TypeAndErase(state, ed);
}
BENCHMARK(BM_TypeInLongSingleByteRowWrapOn)->Unit(benchmark::kMillisecond)->Iterations(20);

// A window that notes when the editor first asks for its paint.
class PaintClockHost : public yk::bench::NullHost {
 public:
  using NullHost::NullHost;
  void UpdateNow() override {
    if (!painted) painted = std::chrono::steady_clock::now();
  }
  std::optional<std::chrono::steady_clock::time_point> painted;
};

// The same key at the start of the row, timed until its rows are painted:
// the rest of the line is wrapped after the paint.
void BM_TypeInLongSingleByteRowUntilPainted(benchmark::State& state) {
  yk::TEditor& ed = LongSingleByteRow();
  PaintClockHost clock({1300, 980});
  ed.SetHost(&clock);
  ed.SetRowCol(0, 0);
  for (auto _ : state) {
    clock.painted.reset();
    const auto sent = std::chrono::steady_clock::now();
    ed.KeyChar('a');
    if (!clock.painted) state.SkipWithError("no paint");
    state.SetIterationTime(std::chrono::duration<double>(clock.painted.value_or(sent) - sent).count());
    ed.BackSpaceKey();
  }
  ed.SetHost(&host);
}
BENCHMARK(BM_TypeInLongSingleByteRowUntilPainted)->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(20);

// Undo and redo of a key typed in the middle of the 10 MB row, in turn.
void UndoRedoInLongRow(benchmark::State& state, bool wrap) {
  yk::TEditor& ed = LongRow(wrap);
  ed.SetRowCol(wrap ? ed.RowCount() / 2 : 0, wrap ? 40 : 5000000);
  ed.KeyChar('a');
  bool undo = true;
  for (auto _ : state) {
    if (undo)
      ed.Undo();
    else
      ed.Redo();
    undo = !undo;
  }
}
void BM_UndoRedoInLongRowWrapOff(benchmark::State& state) { UndoRedoInLongRow(state, false); }
void BM_UndoRedoInLongRowWrapOn(benchmark::State& state) { UndoRedoInLongRow(state, true); }
BENCHMARK(BM_UndoRedoInLongRowWrapOff)->Unit(benchmark::kMillisecond)->Iterations(20);
BENCHMARK(BM_UndoRedoInLongRowWrapOn)->Unit(benchmark::kMillisecond)->Iterations(20);

}  // namespace

BENCHMARK_MAIN();
