// The main window in-process: from nothing to the first painted editor, the
// first painted page of the 100 MB document (and of its UTF-8 form, also
// with a character outside CP932 on every line), and closing that window.
#include <benchmark/benchmark.h>

#include <memory>

#include "docgen.h"
#include "encoded_docs.h"
#include "qt/editor_widget.h"
#include "qt_main.h"
#include "temp_dir.h"
#include "window_timing.h"

namespace {

yk::bench::TSilentPrompts prompts;

std::unique_ptr<yk::TMainForm> Make(const yk::test::TTempDir& dir, std::vector<std::string> arguments) {
  yk::TMainFormEnv env;
  env.prompts = &prompts;
  env.settings_path = dir.File("Yomikaki.ini");
  env.arguments = std::move(arguments);
  return std::make_unique<yk::TMainForm>(std::move(env));
}

void BM_StartToFirstPaint(benchmark::State& state) {
  yk::test::TTempDir dir;
  for (auto _ : state) {
    auto form = Make(dir, {});
    yk::bench::ShowUntilPainted(*form);
    state.PauseTiming();
    form->close();
    form.reset();
    state.ResumeTiming();
  }
}
BENCHMARK(BM_StartToFirstPaint)->Unit(benchmark::kMillisecond);

void BM_FirstPageOf100MB(benchmark::State& state) {
  const std::string doc = yk::bench::DocumentFile(100u << 20);
  yk::test::TTempDir dir;
  for (auto _ : state) {
    auto form = Make(dir, {doc});
    yk::bench::ShowUntilPainted(*form);
    state.PauseTiming();
    form->close();
    form.reset();
    state.ResumeTiming();
  }
}
BENCHMARK(BM_FirstPageOf100MB)->Unit(benchmark::kMillisecond)->Iterations(3);

// The same document converted to UTF-8 (about 140 MB): detected, read as
// CP932 a block at a time, shown.
void BM_FirstPageOf100MBUtf8(benchmark::State& state) {
  const std::string doc = yk::bench::EncodedDocumentFile(100u << 20, yk::teUtf8);
  yk::test::TTempDir dir;
  for (auto _ : state) {
    auto form = Make(dir, {doc});
    yk::bench::ShowUntilPainted(*form);
    state.PauseTiming();
    if (form->TextFormat.encoding != yk::teUtf8) state.SkipWithError("not read as UTF-8");
    form->close();
    form.reset();
    state.ResumeTiming();
  }
}
BENCHMARK(BM_FirstPageOf100MBUtf8)->Unit(benchmark::kMillisecond)->Iterations(3);

// The UTF-8 document again with a character outside CP932 at the start of
// every line (400 different ones): each gets a mapped code as it is read.
void BM_FirstPageOf100MBUtf8Foreign(benchmark::State& state) {
  const std::string doc = yk::bench::ForeignDocumentFile(100u << 20);
  yk::test::TTempDir dir;
  for (auto _ : state) {
    auto form = Make(dir, {doc});
    yk::bench::ShowUntilPainted(*form);
    state.PauseTiming();
    if (form->TextFormat.encoding != yk::teUtf8 || form->Memo1->Editor().ReadOnly())
      state.SkipWithError("not read as UTF-8 with mapped characters");
    form->close();
    form.reset();
    state.ResumeTiming();
  }
}
BENCHMARK(BM_FirstPageOf100MBUtf8Foreign)->Unit(benchmark::kMillisecond)->Iterations(3);

// Closing an unmodified window: the close query, the settings written and
// the document freed.
void BM_Close100MB(benchmark::State& state) {
  const std::string doc = yk::bench::DocumentFile(100u << 20);
  yk::test::TTempDir dir;
  for (auto _ : state) {
    state.PauseTiming();
    auto form = Make(dir, {doc});
    yk::bench::ShowUntilPainted(*form);
    state.ResumeTiming();
    form->close();
    form.reset();
  }
}
BENCHMARK(BM_Close100MB)->Unit(benchmark::kMillisecond)->Iterations(3);

}  // namespace

int main(int argc, char** argv) { return yk::bench::RunWithQt(argc, argv); }
