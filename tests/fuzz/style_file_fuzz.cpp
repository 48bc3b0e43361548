// Fuzz target: arbitrary bytes as a style file, read the way the window
// imports one: the settings store opens the file as INI text, gathers the
// hexadecimal lines of its [EditProp] set and the property stream reader
// decodes them into a style.
#include <stdlib.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "props/component_stream.h"
#include "props/editor_prop.h"
#include "props/reg_manager.h"

namespace {

void CheckFailed(const char* what, int line) {
  std::fprintf(stderr, "style_file_fuzz.cpp:%d: check failed: %s\n", line, what);
  std::abort();
}
#define CHECK(cond) ((cond) ? (void)0 : CheckFailed(#cond, __LINE__))

// One scratch file for the whole run, in memory where possible (every run
// writes the file and flushes it), removed at exit.
const std::string& StyleFile() {
  // A plain array, so that the clean-up at exit never reads a string that
  // was destroyed before it.
  static char dir[64] = "/dev/shm/yk-style-fuzz-XXXXXX";
  static const std::string folder = [] {
    if (!::mkdtemp(dir)) {
      std::snprintf(dir, sizeof dir, "/tmp/yk-style-fuzz-XXXXXX");
      if (!::mkdtemp(dir)) std::abort();
    }
    std::atexit([] {
      std::error_code ignored;
      std::filesystem::remove_all(dir, ignored);
    });
    return std::string(dir);
  }();
  static const std::string path = folder + "/style.yks";
  return path;
}

void WriteFile(const std::string& path, const std::uint8_t* data, std::size_t size) {
  std::FILE* f = std::fopen(path.c_str(), "wb");
  if (!f) std::abort();
  if (size && std::fwrite(data, 1, size, f) != size) std::abort();
  std::fclose(f);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string& file = StyleFile();
  WriteFile(file, data, size);
  yk::TRegManager manager;
  manager.RegItems().Add("EditProp", "EditProp", "prop");
  manager.SetIniFileName(file);

  yk::TEditorProp prop;
  yk::SetInitialStyle(prop);
  yk::TEditorProp before;
  before.Assign(prop);
  std::string stream;
  manager.FilerOf("EditProp").ReadStream(stream);
  const bool read = !stream.empty() && yk::LoadComponent(stream, prop);
  if (!read) CHECK(prop == before);  // a refused file changes nothing

  // The store's own component read agrees with the two steps above.
  yk::TEditorProp direct;
  yk::SetInitialStyle(direct);
  manager.FilerOf("EditProp").ReadComponent(&direct);
  CHECK(direct == prop);

  // Whatever was read is written to a style file and reads back the same.
  manager.FilerOf("EditProp").WriteComponent(&prop);
  yk::TEditorProp again;
  manager.FilerOf("EditProp").ReadComponent(&again);
  CHECK(again == prop);
  return 0;
}
