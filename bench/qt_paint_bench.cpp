// Painting speed of the Qt port: a full view of Japanese text in colours
// into an offscreen image, and a typed key from the Qt event to the
// repainted row in a 3-million-row document.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QKeyEvent>
#include <QPainter>

#include <chrono>
#include <ctime>
#include <memory>

#include "bench_editor.h"
#include "docgen.h"
#include "qt/editor_widget.h"
#include "qt/qt_graphics.h"
#include "qt/qt_surface.h"
#include "qt_main.h"

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

// Opening a large document of short lines in a shown widget, wrapped at 80
// columns with a block comment pair, up to its first page painted: the file
// named by YK_LOAD_FILE (the manual-page corpus of
// bench/make_manpage_corpus.sh), else the generated 100 MB document.
void BM_OpenToFirstPage(benchmark::State& state) {
  const QByteArray named = qgetenv("YK_LOAD_FILE");
  const std::string path = named.isEmpty() ? yk::bench::DocumentFile(100u << 20) : named.toStdString();
  for (auto _ : state) {
    yk::TEditorWidget w;
    yk::TEditor& ed = w.Editor();
    yk::TEditorBracketItem& pair = ed.View().Brackets().Add();
    pair.SetLeftBracket("/*");
    pair.SetRightBracket("*/");
    ed.SetWordWrap(true);
    w.resize(1000, 800);
    w.show();
    QCoreApplication::processEvents();
    const auto start = std::chrono::steady_clock::now();
    const std::clock_t cpuStart = std::clock();
    ed.Lines().LoadFromFile(path);
    w.viewport()->repaint();  // paints before returning
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    state.SetIterationTime(seconds);
    // The processor time too: on a shared machine the wall time also counts
    // waiting for a core.
    state.counters["cpu_ms"] = 1000.0 * static_cast<double>(std::clock() - cpuStart) / CLOCKS_PER_SEC;
    state.counters["rows"] = ed.RowCount();
  }
}
BENCHMARK(BM_OpenToFirstPage)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(3);

}  // namespace

int main(int argc, char** argv) { return yk::bench::RunWithQt(argc, argv); }
