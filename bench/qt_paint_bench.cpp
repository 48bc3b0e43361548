// Painting speed of the Qt port: a full view of Japanese text in colours
// into an offscreen image, and a typed key from the Qt event to the
// repainted row in a 3-million-row document.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QKeyEvent>
#include <QPainter>

#include <memory>

#include "bench_editor.h"
#include "docgen.h"
#include "qt/editor_widget.h"
#include "qt/qt_graphics.h"
#include "qt/qt_surface.h"

namespace {


// A widget whose view shows cols by rows cells.
std::unique_ptr<yk::TEditorWidget> View(int cols, int rows, std::size_t documentBytes) {
  auto w = std::make_unique<yk::TEditorWidget>();
  yk::TEditor& ed = w->Editor();
  ed.Lines().SetTextStr(yk::bench::MakeDocument(documentBytes));
  yk::bench::ColourTokens(ed);
  const int width = ed.Margin().Left() + cols * ed.ColWidth() + ed.ColWidth() / 2 + w->frameWidth() * 2;
  const int height = ed.Margin().Top() + rows * ed.RowHeight() + 5 + w->frameWidth() * 2;
  w->resize(width, height);
  w->show();
  QCoreApplication::processEvents();
  ed.SetRowCol(0, 0);
  ed.SetTopRow(0);
  return w;
}

void BM_FullRepaint160x60(benchmark::State& state) {
  auto w = View(160, 60, 1u << 20);
  yk::TEditor& ed = w->Editor();
  QImage image(w->viewport()->size(), QImage::Format_ARGB32_Premultiplied);
  const yk::TRect all{0, 0, image.width(), image.height()};
  const QFont font = yk::ResolveFont(ed.Font());
  for (auto _ : state) {
    QPainter painter(&image);
    yk::TQtSurface surface(painter, font, w->palette());
    ed.Paint(surface, all);
  }
  state.counters["cols"] = ed.VisibleCols();
  state.counters["rows"] = ed.VisibleRows();
}
BENCHMARK(BM_FullRepaint160x60)->Unit(benchmark::kMillisecond);

// One key event each: a character, then Backspace, so the document keeps its
// size; the widget repaints the changed row before the event returns.
void BM_TypedKeyTo3MRowDocument(benchmark::State& state) {
  auto w = View(100, 40, 3'000'000u * 70);
  yk::TEditor& ed = w->Editor();
  yk::TEditorScreenStrings& list = ed.ScreenStrings();
  if (list.GetCount() > 3'000'000) list.DeleteRows(3'000'000, list.GetCount() - 3'000'000);
  w->setFocus();
  ed.SetRowCol(10, 5);
  bool type = true;
  for (auto _ : state) {
    QKeyEvent press(QEvent::KeyPress, type ? Qt::Key_A : Qt::Key_Backspace, Qt::NoModifier,
                    type ? QStringLiteral("a") : QStringLiteral("\b"));
    QCoreApplication::sendEvent(w.get(), &press);
    type = !type;
  }
  state.counters["rows"] = ed.RowCount();
}
BENCHMARK(BM_TypedKeyTo3MRowDocument)->Unit(benchmark::kMicrosecond);

}  // namespace

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
