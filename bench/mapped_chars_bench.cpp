// A document with a character outside CP932 on every line (mapped codes)
// against the same document in Shift-JIS: a full repaint, a typed key with
// its repaint, and a search through the whole text. Arg 0: Shift-JIS,
// arg 1: the mapped document; the two should take the same time.
#include <benchmark/benchmark.h>

#include <QKeyEvent>
#include <QPainter>

#include <fstream>
#include <memory>
#include <sstream>

#include "docgen.h"
#include "editor/search_rows.h"
#include "encoded_docs.h"
#include "platform/mapped_chars.h"
#include "qt/editor_widget.h"
#include "qt/qt_graphics.h"
#include "qt/qt_surface.h"
#include "qt_main.h"

namespace {

constexpr std::size_t kBytes = 10u << 20;

// A shown widget of 160 by 60 cells holding the document: Shift-JIS, or
// the foreign UTF-8 document read through its table.
std::unique_ptr<yk::TEditorWidget> View(bool mapped) {
  auto w = std::make_unique<yk::TEditorWidget>();
  yk::TEditor& ed = w->Editor();
  if (mapped) {
    std::ifstream in(yk::bench::ForeignDocumentFile(kBytes), std::ios::binary);
    std::stringstream bytes;
    bytes << in.rdbuf();
    yk::TDecodedText d = yk::DecodeText(bytes.str());
    ed.Lines().SetTextStr(d.bytes);
    w->SetChars(d.chars);
  } else {
    ed.Lines().SetTextStr(yk::bench::MakeDocument(kBytes));
  }
  w->resize(ed.Margin().Left() + 160 * ed.ColWidth() + ed.ColWidth() / 2 + w->frameWidth() * 2,
            ed.Margin().Top() + 60 * ed.RowHeight() + 5 + w->frameWidth() * 2);
  w->show();
  QCoreApplication::processEvents();
  ed.SetRowCol(1000, 0);
  ed.SetTopRow(1000);
  return w;
}

void BM_Repaint(benchmark::State& state) {
  auto w = View(state.range(0) == 1);
  yk::TEditor& ed = w->Editor();
  QImage image(w->viewport()->size(), QImage::Format_ARGB32_Premultiplied);
  const QFont font = yk::ResolveFont(ed.Font());
  for (auto _ : state) {
    QPainter painter(&image);
    yk::TQtSurface surface(painter, font, w->palette(), w->Chars().get());
    ed.Paint(surface, {0, 0, image.width(), image.height()});
  }
}
BENCHMARK(BM_Repaint)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

// A character typed before a mapped one, then Backspace.
void BM_TypedKey(benchmark::State& state) {
  auto w = View(state.range(0) == 1);
  w->setFocus();
  bool type = true;
  for (auto _ : state) {
    QKeyEvent press(QEvent::KeyPress, type ? Qt::Key_A : Qt::Key_Backspace, Qt::NoModifier,
                    type ? QStringLiteral("a") : QStringLiteral("\b"));
    QCoreApplication::sendEvent(w.get(), &press);
    type = !type;
  }
}
BENCHMARK(BM_TypedKey)->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);

// A word in neither document, looked for from the start to the end.
void BM_SearchAbsent(benchmark::State& state) {
  auto w = View(state.range(0) == 1);
  for (auto _ : state)
    benchmark::DoNotOptimize(yk::SearchRows(w->Editor().ScreenStrings(), {}, 0, "ZQXJWV", yk::sfForward));
}
BENCHMARK(BM_SearchAbsent)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) { return yk::bench::RunWithQt(argc, argv); }
