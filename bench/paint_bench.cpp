// Speed of painting through TEditor: a full repaint of a 160 by 60 cell view
// of Japanese text with token colours (plain, italic, all selected), a
// repaint of a 10 MB row scrolled to its middle, and a typed character in a
// 3-million-row document up to its repainted rows, into a surface that only
// touches what it is given.
#include <benchmark/benchmark.h>

#include <memory>
#include <string>
#include <vector>

#include "docgen.h"
#include "bench_editor.h"
#include "editor/editor.h"

namespace {

constexpr int kCols = 160;
constexpr int kRows = 60;
constexpr int kWidth = 19 + kCols * 8 + 4;
constexpr int kHeight = 2 + kRows * 16 + 5;


// Reads every byte it is given, so nothing is optimised away.
class TouchSurface : public yk::TSurface {
 public:
  void FillRect(const yk::TRect& r, yk::TColor c) override { sum += static_cast<unsigned>(r.left + c); }
  void TextRun(int x, int, int, std::string_view bytes, yk::TColor color, yk::TColor, yk::TFontStyles,
               const yk::TRect&) override {
    for (char b : bytes) sum += static_cast<unsigned char>(b);
    sum += static_cast<unsigned>(x + color);
    cells += bytes.size();
  }
  void Line(int x1, int, int, int, yk::TColor) override { sum += static_cast<unsigned>(x1); }
  unsigned sum = 0;
  std::size_t cells = 0;
};

yk::bench::NullHost host({kWidth, kHeight});

// Rows of about 190 bytes: three generated lines joined, so the view is full.
std::string WideDocument(std::size_t bytes) {
  const std::string doc = yk::bench::MakeDocument(bytes);
  std::string out;
  int line = 0;
  for (std::size_t i = 0; i < doc.size(); ++i) {
    if (doc[i] == '\r' && i + 1 < doc.size() && doc[i + 1] == '\n' && ++line % 3 != 0) {
      ++i;
      continue;
    }
    out += doc[i];
  }
  return out;
}

std::unique_ptr<yk::TEditor> MakeEditor(const std::string& text) {
  auto ed = std::make_unique<yk::TEditor>();
  ed->Lines().SetTextStr(text);
  yk::bench::ColourTokens(*ed);
  ed->SetHost(&host);
  return ed;
}

void RepaintView(benchmark::State& state, yk::TEditor& ed) {
  TouchSurface surface;
  for (auto _ : state) ed.Paint(surface, {0, 0, kWidth, kHeight});
  benchmark::DoNotOptimize(surface.sum);
  state.counters["cells"] = static_cast<double>(surface.cells) / static_cast<double>(state.iterations());
}

void BM_FullRepaint(benchmark::State& state) {
  static auto ed = MakeEditor(WideDocument(200 * 1024));
  RepaintView(state, *ed);
}
BENCHMARK(BM_FullRepaint)->Unit(benchmark::kMicrosecond);

void BM_FullRepaintItalic(benchmark::State& state) {
  static auto ed = [] {
    auto e = MakeEditor(WideDocument(200 * 1024));
    e->View().Colors().Str().SetStyle({yk::fsItalic});
    return e;
  }();
  RepaintView(state, *ed);
}
BENCHMARK(BM_FullRepaintItalic)->Unit(benchmark::kMicrosecond);

void BM_FullRepaintSelected(benchmark::State& state) {
  static auto ed = [] {
    auto e = MakeEditor(WideDocument(200 * 1024));
    e->SetSelStart(100);
    e->SetSelLength(8000);
    return e;
  }();
  RepaintView(state, *ed);
}
BENCHMARK(BM_FullRepaintSelected)->Unit(benchmark::kMicrosecond);

// A 10 MB row without line breaks, the view in its middle.
void BM_RepaintLongRowMiddle(benchmark::State& state) {
  static auto ed = [] {
    std::string row = yk::bench::MakeDocument(10 * 1024 * 1024);
    for (char& c : row)
      if (c == '\r' || c == '\n') c = ' ';
    auto e = MakeEditor(row);
    e->SetRowCol(0, 5 * 1024 * 1024);
    return e;
  }();
  RepaintView(state, *ed);
}
BENCHMARK(BM_RepaintLongRowMiddle)->Unit(benchmark::kMicrosecond);

// Each iteration: a character typed (then Backspace, so the document keeps
// its size) in the middle of the view, and every invalidated area painted.
void BM_TypeAndRepaint(benchmark::State& state) {
  static auto ed = [] {
    const int rows = 3000000;
    auto e = MakeEditor(yk::bench::MakeDocument(static_cast<std::size_t>(rows) * 70));
    yk::TEditorScreenStrings& list = e->ScreenStrings();
    if (list.GetCount() > rows) list.DeleteRows(rows, list.GetCount() - rows);
    return e;
  }();
  const int row = ed->RowCount() / 2;
  ed->SetTopRow(row - kRows / 2);
  ed->SetRowCol(row, ed->RowEndCol(row) / 2);
  TouchSurface surface;
  host.keep = true;
  bool type = true;
  for (auto _ : state) {
    if (type)
      ed->KeyChar('a');
    else
      ed->BackSpaceKey();
    type = !type;
    for (const yk::TRect& r : host.invalidated) ed->Paint(surface, r);
    host.invalidated.clear();
  }
  host.keep = false;
  benchmark::DoNotOptimize(surface.sum);
  state.counters["rows"] = ed->RowCount();
  state.counters["cells"] = static_cast<double>(surface.cells) / static_cast<double>(state.iterations());
}
BENCHMARK(BM_TypeAndRepaint)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
