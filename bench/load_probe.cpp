// Loads one file and prints the time taken and the peak memory against the
// file size: `load_probe [--wrap] [file]` (default: the 100 MB document).
#include <sys/resource.h>

#include <chrono>
#include <cstdio>
#include <cstring>
#include <filesystem>

#include "docgen.h"
#include "text/fake_editor.h"

int main(int argc, char** argv) {
  bool wrap = argc > 1 && std::strcmp(argv[1], "--wrap") == 0;
  int fileArg = wrap ? 2 : 1;
  std::string path = argc > fileArg ? argv[fileArg] : yk::bench::DocumentFile(100u << 20);
  auto size = std::filesystem::file_size(path);
  auto start = std::chrono::steady_clock::now();
  yk::test::FakeEditor ed;
  ed.Rows().SetWordWrap(wrap);
  ed.lines.LoadFromFile(path);
  double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  double peak = static_cast<double>(usage.ru_maxrss) * 1024.0;
  std::printf("loaded %zu bytes, %d rows, wrap %s: %.3f s, peak memory %.0f MB = %.2f x file size\n",
              static_cast<std::size_t>(size), ed.Rows().GetCount(), wrap ? "on" : "off", seconds, peak / 1048576.0,
              peak / static_cast<double>(size));
}
