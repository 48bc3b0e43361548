// Recovery snapshots of a 100 MB document: the time and size of one
// snapshot after a few edits (what the window's thread spends building it,
// and the whole write with its sync), the whole-text copy a document whose
// file changed needs once (a slice of it, and all of it written), and what
// following the edits adds to a key.
#include <benchmark/benchmark.h>

#include <memory>

#include "bench_editor.h"
#include "docgen.h"
#include "shell/recovery_keeper.h"
#include "temp_dir.h"
#include "text/fake_editor.h"

using yk::test::FakeEditor;

namespace {

constexpr std::size_t k100MB = 100u << 20;

// The 100 MB document loaded, with a keeper counting against its file.
struct Loaded {
  yk::test::TTempDir dir;
  std::string path = yk::bench::DocumentFile(k100MB);
  FakeEditor ed;
  std::unique_ptr<yk::TRecoveryKeeper> keeper;
  Loaded() {
    ed.lines.LoadFromFile(path);
    keeper = std::make_unique<yk::TRecoveryKeeper>(ed.Rows(), dir.File("Yomikaki.ini"), "bench", nullptr);
    keeper->DocumentIsFile(path);
  }
  // Ten keys and two new lines spread over the document.
  void FewEdits() {
    yk::TEditorScreenStrings& rows = ed.Rows();
    const int count = rows.GetCount();
    for (int i = 0; i < 10; ++i) rows.ReplaceInRow(count / 10 * i + 5, 3, 3, "abc");
    rows.ReplaceRows(count / 3, 0, "a new line\r\n");
    rows.ReplaceRows(count / 2, 1, "a line replaced\r\n");
  }
  yk::TRecoveryDocument Document() const { return {path, {}, {}}; }
};

// The part of a snapshot on the window's thread: the changed runs read
// from the rows and made into the record's bytes.
void BM_SnapshotRecord100MB(benchmark::State& state) {
  Loaded doc;
  doc.FewEdits();
  std::size_t bytes = 0;
  for (auto _ : state) {
    yk::TRecoveryRecord record;
    record.baseKind = yk::TRecoveryBase::Document;
    record.baseLength = doc.keeper->Tracker().Map().BaseLength();
    record.length = doc.keeper->Tracker().Map().Length();
    record.runs = doc.keeper->Tracker().Runs();
    bytes = yk::EncodeRecoveryRecord(record).size();
  }
  state.counters["bytes"] = static_cast<double>(bytes);
}
BENCHMARK(BM_SnapshotRecord100MB)->Unit(benchmark::kMillisecond);

// One whole snapshot written and synced to disk, as at the end of the
// process; in the window the write runs on a thread of its own.
void BM_SnapshotWrite100MB(benchmark::State& state) {
  Loaded doc;
  doc.FewEdits();
  for (auto _ : state) {
    if (!doc.keeper->Write(doc.Document(), true)) state.SkipWithError("not written");
  }
  state.counters["bytes"] = static_cast<double>(doc.keeper->LastBytes());
  state.counters["copy"] = doc.keeper->LastWroteCopy();
}
BENCHMARK(BM_SnapshotWrite100MB)->Unit(benchmark::kMillisecond);

// The most typing waits while a document whose file changed on disk is
// copied whole: one slice taken on the window's thread (the copy is
// written on the writer's thread once every slice is taken).
void BM_CopySlice100MB(benchmark::State& state) {
  Loaded doc;
  doc.keeper.reset();
  yk::TRecoveryTracker tracker(doc.ed.Rows());
  tracker.BeginCopy();
  for (auto _ : state) {
    if (tracker.CopyWhole()) tracker.BeginCopy();
    benchmark::DoNotOptimize(tracker.CopySlice(yk::TRecoveryKeeper::kCopySlice).size());
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) * yk::TRecoveryKeeper::kCopySlice);
}
BENCHMARK(BM_CopySlice100MB)->Unit(benchmark::kMillisecond);

// The whole copy of a document whose file changed, taken and written with
// its snapshot (at the end of the process; otherwise in slices and in the
// background).
void BM_CopyWritten100MB(benchmark::State& state) {
  Loaded doc;
  for (auto _ : state) {
    state.PauseTiming();
    doc.keeper->Forget();
    doc.ed.Rows().ReplaceInRow(5, 0, 0, "x");
    state.ResumeTiming();
    if (!doc.keeper->Write(doc.Document(), true) || !doc.keeper->LastWroteCopy()) state.SkipWithError("no copy");
  }
}
BENCHMARK(BM_CopyWritten100MB)->Unit(benchmark::kMillisecond)->Iterations(3);

// A key typed and erased in the middle of the document, with the edits
// followed (arg 1) and without (arg 0).
void BM_KeyInto100MB(benchmark::State& state) {
  Loaded doc;
  if (state.range(0) == 0) doc.keeper.reset();
  yk::TEditorScreenStrings& rows = doc.ed.Rows();
  const int row = rows.GetCount() / 2;
  bool type = true;
  for (auto _ : state) {
    if (type)
      rows.ReplaceInRow(row, 4, 4, "a");
    else
      rows.ReplaceInRow(row, 4, 5, "");
    type = !type;
  }
}
BENCHMARK(BM_KeyInto100MB)->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);

// The same through the editor, as a key in the window: typed and erased
// in the middle of the document, without (0) and with (1) the edits followed.
void BM_EditorKey100MB(benchmark::State& state) {
  yk::bench::NullHost host;
  yk::TEditor ed;
  ed.Lines().LoadFromFile(yk::bench::DocumentFile(k100MB));
  ed.SetHost(&host);
  ed.SetRowCol(ed.RowCount() / 2, 4);
  yk::test::TTempDir dir;
  std::unique_ptr<yk::TRecoveryKeeper> keeper;
  if (state.range(0) == 1) {
    keeper = std::make_unique<yk::TRecoveryKeeper>(ed.ScreenStrings(), dir.File("Yomikaki.ini"), "bench", nullptr);
    keeper->DocumentIsFile(yk::bench::DocumentFile(k100MB));
  }
  yk::bench::TypeAndErase(state, ed);
}
BENCHMARK(BM_EditorKey100MB)->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
