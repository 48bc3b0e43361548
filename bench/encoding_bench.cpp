// Speed of the text encodings on the 100 MB document: detection of the CP932
// original (in memory, and from its file as the window reads it; for
// comparison also of its UTF-8 and EUC-JP forms, which must be read to the
// end), reading the UTF-8 form as CP932 and writing it back, and saving the
// loaded document as UTF-8.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <string>

#include "docgen.h"
#include "editor/editor.h"
#include "platform/text_encoding.h"
#include "shell/encoded_file.h"

namespace {

const std::string& Cp932Document() {
  static const std::string doc = yk::bench::MakeDocument(100u << 20);
  return doc;
}

const std::string& Document(yk::TTextEncoding encoding) {
  static std::string forms[6];
  std::string& form = forms[encoding];
  if (form.empty()) {
    yk::TTextFormat format;
    format.encoding = encoding;
    form = yk::EncodeText(Cp932Document(), format).bytes;
  }
  return form;
}

void BM_Detect(benchmark::State& state) {
  const auto encoding = static_cast<yk::TTextEncoding>(state.range(0));
  const std::string& doc = Document(encoding);
  for (auto _ : state)
    if (yk::DetectEncoding(doc) != encoding) state.SkipWithError("detected as another encoding");
  state.SetLabel(std::string(yk::EncodingName(encoding)));
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * doc.size()));
}

void BM_ReadUtf8(benchmark::State& state) {
  const std::string& doc = Document(yk::teUtf8);
  for (auto _ : state) {
    yk::TDecodedText d = yk::DecodeText(doc);
    if (d.bytes.size() != Cp932Document().size()) state.SkipWithError("not the original text");
    benchmark::DoNotOptimize(d);
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * doc.size()));
}

void BM_WriteUtf8(benchmark::State& state) {
  yk::TTextFormat format;
  format.encoding = yk::teUtf8;
  for (auto _ : state) {
    yk::TEncodedText e = yk::EncodeText(Cp932Document(), format);
    benchmark::DoNotOptimize(e);
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * Cp932Document().size()));
}

// Detection of the 100 MB CP932 file as the window does it: read in blocks
// until the answer is certain.
void BM_DetectFile(benchmark::State& state) {
  const std::string path = yk::bench::DocumentFile(100u << 20);
  for (auto _ : state)
    if (yk::DetectFileEncoding(path) != yk::teCp932) state.SkipWithError("detected as another encoding");
}

// A save as UTF-8 of the 100 MB document as the window holds it after a
// load, its rows still in the file's image.
void BM_SaveLoadedAsUtf8(benchmark::State& state) {
  const std::string path = yk::bench::DocumentFile(100u << 20);
  yk::TEditor ed;
  ed.Lines().LoadFromFile(path);
  yk::TTextFormat format;
  format.encoding = yk::teUtf8;
  const std::string saved = path + ".utf8";
  for (auto _ : state) yk::SaveEncodedRows(ed.ScreenStrings(), saved, yk::TLineEnd::CrLf, false, format);
  std::remove(saved.c_str());
}

BENCHMARK(BM_DetectFile)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Detect)->Arg(yk::teCp932)->Arg(yk::teUtf8)->Arg(yk::teEucJp)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ReadUtf8)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_WriteUtf8)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SaveLoadedAsUtf8)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
