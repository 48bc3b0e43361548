// Speed of the application logic without widgets: dictionary loading and
// look-up, case conversion of large texts and selections.
#include <benchmark/benchmark.h>

#include <filesystem>
#include <fstream>
#include <memory>

#include "bench_editor.h"
#include "convert/letter_case.h"
#include "docgen.h"
#include "editor/editor.h"
#include "shell/dictionary.h"
#include "shell/edit_commands.h"

namespace {

// A dictionary of 100,000 lines: a word, a quoted text with a comma and a
// doubled quote, and two plain texts of Japanese.
std::string DictionaryFile() {
  const std::string path = (std::filesystem::temp_directory_path() / "yk-bench-dictionary-100k.csv").string();
  if (std::filesystem::exists(path)) return path;
  const std::string doc = yk::bench::MakeDocument(100'000 * 40);
  std::ofstream out(path + ".part", std::ios::binary);
  std::size_t p = 0;
  for (int i = 0; i < 100'000; ++i) {
    const std::size_t e = doc.find("\r\n", p);
    const std::string text = doc.substr(p, std::min<std::size_t>(e - p, 30));
    p = e + 2;
    out << "word" << i << ",\"see, \"\"" << i % 97 << "\"\"\"," << text << ",\x82\xa0\x82\xa2\r\n";  // あい
  }
  out.close();
  std::filesystem::rename(path + ".part", path);
  return path;
}

void BM_LoadDictionary100k(benchmark::State& state) {
  const std::string path = DictionaryFile();
  for (auto _ : state) {
    yk::TDictionaryLoad load = yk::LoadDictionary(path);
    if (load.Status != yk::dlsLoaded) state.SkipWithError("dictionary not loaded");
    state.counters["rows"] = load.Grid ? load.Grid->RowCount() : 0;
  }
}
BENCHMARK(BM_LoadDictionary100k)->Unit(benchmark::kMillisecond);

void BM_DictionaryLookUp(benchmark::State& state) {
  const yk::TDictionaryLoad load = yk::LoadDictionary(DictionaryFile());
  int i = 0;
  for (auto _ : state) {
    benchmark::DoNotOptimize(load.Grid->FindRow("WORD" + std::to_string(i++ % 100'000)));
  }
}
BENCHMARK(BM_DictionaryLookUp);

constexpr std::size_t k10MB = 10u << 20;

void BM_UpperCase10MB(benchmark::State& state) {
  const std::string doc = yk::bench::MakeDocument(k10MB);
  for (auto _ : state) benchmark::DoNotOptimize(yk::UpperCase(doc).size());
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * doc.size()));
}
BENCHMARK(BM_UpperCase10MB)->Unit(benchmark::kMillisecond);

// The command: the whole 10 MB document selected and converted in the editor.
void BM_UpperCaseSelection10MB(benchmark::State& state) {
  yk::bench::NullHost host;
  const std::string doc = yk::bench::MakeDocument(k10MB);
  for (auto _ : state) {
    state.PauseTiming();
    auto ed = std::make_unique<yk::TEditor>();
    ed->Lines().SetTextStr(doc);
    ed->SetHost(&host);
    ed->SelectAll();
    state.ResumeTiming();
    yk::ConvertSelection(*ed, yk::scUpperCase);
    benchmark::DoNotOptimize(ed->RowCount());
    state.PauseTiming();
    ed.reset();
    state.ResumeTiming();
  }
}
BENCHMARK(BM_UpperCaseSelection10MB)->Unit(benchmark::kMillisecond)->Iterations(3);

}  // namespace

BENCHMARK_MAIN();
