// Painting the line-number gutters: the three gutters of a 60-row view in
// a wrapped document of 3 million rows, at the top, in the middle and at
// the end, with logical numbers and marks; and the draw-line decorations
// of a full view.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QImage>
#include <QPainter>

#include <algorithm>
#include <memory>
#include <vector>

#include "app/gutter_painter.h"
#include "app/line_decorations.h"
#include "bench_editor.h"
#include "docgen.h"
#include "qt/editor_widget.h"
#include "qt/qt_surface.h"
#include "qt_main.h"

namespace {

constexpr int kRows = 3'000'000;

// Three editors on one wrapped document of kRows rows, each showing 60 rows.
struct TView {
  std::vector<std::unique_ptr<yk::TEditorWidget>> editors;
  std::vector<int> marks{10, 1'500'010, kRows - 20};

  TView() {
    for (int i = 0; i < 3; ++i) editors.push_back(std::make_unique<yk::TEditorWidget>());
    yk::TEditor& ed = editors[0]->Editor();
    ed.WrapOption().SetWrapByte(40);
    ed.SetWordWrap(true);
    ed.Lines().SetTextStr(yk::bench::MakeDocument(static_cast<std::size_t>(kRows) * 38));
    yk::TEditorScreenStrings& list = ed.ScreenStrings();
    if (list.GetCount() > kRows) list.DeleteRows(kRows, list.GetCount() - kRows);
    for (auto& w : editors) {
      if (w != editors[0]) w->Editor().ShareTextWith(ed);
      const int height = ed.Margin().Top() + 60 * ed.RowHeight() + 5 + w->frameWidth() * 2;
      w->resize(600, height);
      w->show();
    }
    QCoreApplication::processEvents();
  }

  void ScrollTo(int top) {
    for (auto& w : editors) w->Editor().SetTopRow(top);
  }

  void PaintGutters(QImage& image) {
    yk::TGutterOptions options;
    options.isMarked = [this](int row) { return std::find(marks.begin(), marks.end(), row) != marks.end(); };
    const yk::TRect all{0, 0, image.width(), image.height()};
    for (auto& w : editors) {
      QPainter painter(&image);
      yk::TQtSurface surface(painter, w->PaintFont(), w->palette());
      yk::PaintGutter(surface, w->Editor(), all, options);
    }
  }
};

TView& View() {
  static TView view;
  return view;
}

void BM_ThreeGutters3MWrappedRows(benchmark::State& state) {
  TView& view = View();
  view.ScrollTo(static_cast<int>(state.range(0)));
  yk::TEditor& ed = view.editors[0]->Editor();
  QImage image(ed.ColWidth() * 6 + 4, view.editors[0]->viewport()->height(), QImage::Format_ARGB32_Premultiplied);
  for (auto _ : state) view.PaintGutters(image);
  state.counters["rows"] = ed.RowCount();
  state.counters["visible"] = ed.VisibleRows();
  state.counters["top"] = ed.TopRow();
}
BENCHMARK(BM_ThreeGutters3MWrappedRows)->Arg(0)->Arg(1'500'000)->Arg(kRows - 40)->Unit(benchmark::kMicrosecond);

// A full repaint of a 60-row view with tabs, full-width spaces and a topic
// word, without (0) and with (1) the decorations: the hook's share.
void BM_DecorationsOfAView(benchmark::State& state) {
  yk::TEditorWidget w;
  yk::TEditor& ed = w.Editor();
  std::string text;
  for (int i = 0; i < 200; ++i)
    text += "\tint value = topic;\x81\x40// \x93\xfa\x96\x7b\x8c\xea\x81\x40\x83\x65\x83\x4c\x83\x58\x83\x67\tend\r\n";
  ed.Lines().SetTextStr(text);
  w.resize(1000, ed.Margin().Top() + 60 * ed.RowHeight() + 5 + w.frameWidth() * 2);
  w.show();
  QCoreApplication::processEvents();
  const std::vector<std::string> topics{"TOPIC"};
  if (state.range(0))
    ed.OnDrawLine = [&](yk::TEditor& sender, const yk::TDrawLineInfo& info) {
      yk::DrawLineDecorations(*sender.Canvas(), sender, info, topics, yk::tmArrow, yk::smkBox);
    };
  QImage image(w.viewport()->size(), QImage::Format_ARGB32_Premultiplied);
  const yk::TRect all{0, 0, image.width(), image.height()};
  for (auto _ : state) {
    QPainter painter(&image);
    yk::TQtSurface surface(painter, w.PaintFont(), w.palette());
    ed.Paint(surface, all);
  }
  state.counters["rows"] = ed.VisibleRows();
}
BENCHMARK(BM_DecorationsOfAView)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) { return yk::bench::RunWithQt(argc, argv); }
