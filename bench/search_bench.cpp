// Speed of the text search over a 100 MB document when the pattern is
// absent, so that every candidate of the document is tried.
#include <benchmark/benchmark.h>

#include <string>

#include "docgen.h"
#include "editor/search.h"

namespace {

const std::string& Document() {
  static const std::string doc = yk::bench::MakeDocument(100u << 20);
  return doc;
}

// Patterns the generator never writes, by their first character: a kanji
// (漢字ｶﾞqz), an ASCII word that case folding lets start at two byte values
// (zebra), and hiragana whose lead byte starts a third of the document
// (あいうえおqz).
const std::string kAbsent[] = {"\x8a\xbf\x8e\x9a\xb6\xde" "qz", "zebra",
                               "\x82\xa0\x82\xa2\x82\xa4\x82\xa6\x82\xa8" "qz"};

void Search(benchmark::State& state, yk::TSearchOptions options) {
  const std::string& doc = Document();
  const std::string& pattern = kAbsent[state.range(0)];
  const std::int64_t start = (options & yk::sfForward) ? 0 : static_cast<std::int64_t>(doc.size());
  for (auto _ : state) {
    yk::TSearchRange range{start, 0};
    const bool found = yk::SearchText(doc, range, pattern, options);
    if (found) state.SkipWithError("the pattern occurs in the document");
    benchmark::DoNotOptimize(range);
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * doc.size()));
}

void BM_SearchDefault(benchmark::State& state) { Search(state, yk::sfForward); }
void BM_SearchMatchCase(benchmark::State& state) { Search(state, yk::sfForward | yk::sfMatchCase); }
void BM_SearchNoMatchZenkaku(benchmark::State& state) {
  Search(state, yk::sfForward | yk::sfNoMatchZenkaku);
}
void BM_SearchAllOptions(benchmark::State& state) {
  Search(state, yk::sfForward | yk::sfNoMatchZenkaku | yk::sfWholeWord | yk::sfIncludeCRLF);
}
void BM_SearchBackward(benchmark::State& state) { Search(state, 0); }
void BM_SearchBackwardNoMatchZenkaku(benchmark::State& state) { Search(state, yk::sfNoMatchZenkaku); }

BENCHMARK(BM_SearchDefault)->DenseRange(0, 2)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SearchMatchCase)->DenseRange(0, 2)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SearchNoMatchZenkaku)->DenseRange(0, 2)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SearchAllOptions)->DenseRange(0, 2)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SearchBackward)->DenseRange(0, 2)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SearchBackwardNoMatchZenkaku)->DenseRange(0, 2)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
