// Fuzz target: arbitrary bytes with any line ends as a document file,
// loaded into an editor the way the window opens a file (under arbitrary
// wrap settings) and saved back the way the window saves it.
#include <stdlib.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "editor/editor.h"
#include "platform/null_host.h"
#include "shell/document_file.h"
#include "text/errors.h"

namespace {

using namespace yk;

constexpr std::size_t kMaxInput = 1 << 16;

void CheckFailed(const char* what, int line) {
  std::fprintf(stderr, "document_fuzz.cpp:%d: check failed: %s\n", line, what);
  std::abort();
}
#define CHECK(cond) ((cond) ? (void)0 : CheckFailed(#cond, __LINE__))

// The scratch folder of the run, in memory where possible (every run
// writes and flushes two files), removed at exit.
const std::string& Folder() {
  // A plain array, so that the clean-up at exit never reads a string that
  // was destroyed before it.
  static char dir[64] = "/dev/shm/yk-document-fuzz-XXXXXX";
  static const std::string folder = [] {
    if (!::mkdtemp(dir)) {
      std::snprintf(dir, sizeof dir, "/tmp/yk-document-fuzz-XXXXXX");
      if (!::mkdtemp(dir)) std::abort();
    }
    std::atexit([] {
      std::error_code ignored;
      std::filesystem::remove_all(dir, ignored);
    });
    return std::string(dir);
  }();
  return folder;
}

void WriteFile(const std::string& path, std::string_view bytes) {
  std::FILE* f = std::fopen(path.c_str(), "wb");
  if (!f) std::abort();
  if (!bytes.empty() && std::fwrite(bytes.data(), 1, bytes.size(), f) != bytes.size()) std::abort();
  std::fclose(f);
}

std::string ReadFile(const std::string& path) {
  std::string s;
  std::FILE* f = std::fopen(path.c_str(), "rb");
  if (!f) std::abort();
  char buf[4096];
  for (std::size_t n; (n = std::fread(buf, 1, sizeof buf, f)) > 0;) s.append(buf, n);
  std::fclose(f);
  return s;
}

// The document as a plain model reads the file: CR LF, CR and LF each end
// a line, a Ctrl+Z that is the very last byte is the end-of-file mark, and
// everything else is text.
struct TModel {
  std::vector<std::string> lines;  // without their line ends
  bool eofMark = false;
  std::string eol = "\r\n";        // the first line end found
};

TModel ReadModel(std::string_view bytes) {
  TModel m;
  if (!bytes.empty() && bytes.back() == '\x1a') {
    m.eofMark = true;
    bytes.remove_suffix(1);
  }
  bool first = true;
  std::size_t start = 0;
  for (std::size_t i = 0; i < bytes.size(); ++i) {
    if (bytes[i] != '\r' && bytes[i] != '\n') continue;
    const std::size_t n = bytes[i] == '\r' && i + 1 < bytes.size() && bytes[i + 1] == '\n' ? 2 : 1;
    if (first) m.eol = std::string(bytes.substr(i, n));
    first = false;
    m.lines.emplace_back(bytes.substr(start, i - start));
    i += n - 1;
    start = i + 1;
  }
  if (start < bytes.size()) m.lines.emplace_back(bytes.substr(start));
  return m;
}

TLineEnd EndOf(const std::string& eol) {
  return eol == "\n" ? TLineEnd::Lf : eol == "\r" ? TLineEnd::Cr : TLineEnd::CrLf;
}

void ApplySettings(TEditor& ed, std::uint8_t flags, std::uint8_t width) {
  ed.WrapOption().SetWrapByte(width % 2 ? width / 2 : width % 24);
  ed.WrapOption().SetWordBreak(flags & 2);
  ed.WrapOption().SetLeading(flags & 4);
  ed.WrapOption().SetFollowPunctuation(flags & 8);
  ed.WrapOption().SetFollowRetMark(flags & 16);
  ed.SetWordWrap(flags & 1);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 2 || size > kMaxInput) return 0;
  const std::uint8_t flags = data[0];
  const std::uint8_t width = data[1];
  const std::string_view content(reinterpret_cast<const char*>(data) + 2, size - 2);
  const std::string file = Folder() + "/doc.txt";
  const std::string out = Folder() + "/saved.txt";
  WriteFile(file, content);
  CHECK(CheckLoadable(file) == TLoadProblem::None);

  bench::NullHost host(TSize{320, 240});
  TEditor ed;
  ed.SetHost(&host);
  ApplySettings(ed, flags, width);
  ed.Lines().LoadFromFile(file);
  // Wrapping switched after the load re-wraps what was read.
  if (flags & 32) ApplySettings(ed, flags ^ 1, static_cast<std::uint8_t>(width + 7));

  const TModel model = ReadModel(content);
  CHECK(ed.Lines().GetCount() == static_cast<int>(model.lines.size()));
  const TLineEnd end = DetectLineEnd(file);
  CHECK(end == EndOf(model.eol));

  // An unchanged save gives the file back byte for byte, every line with
  // its own line end.
  TEditorScreenStrings& rows = ed.ScreenStrings();
  SaveDocumentRows(rows, out, end, false, rows.EofMark());
  CHECK(ReadFile(out) == content);

  // The wrapped save keeps every byte of text, in order.
  SaveDocumentRows(rows, out, TLineEnd::CrLf, true, rows.EofMark());
  std::string text, joined;
  for (int r = 0; r < rows.GetCount(); ++r) text += rows.Row(r);
  for (const std::string& line : model.lines) joined += line;
  CHECK(text == joined);
  return 0;
}
