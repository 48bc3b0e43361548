// One run of the program's window as the user gets it:
//   window_probe [--find WORD] [--save] [file]
// prints the time from the process's start (and from main) to the first
// painted editor, the peak memory against the file's size, the time of a
// search for WORD over the whole document and of saving it over itself
// when asked, and the time to close the window. `window_probe --gen BYTES`
// writes the generated benchmark document of that size (once) and prints
// its path. Runs on the platform of QT_QPA_PLATFORM (a screen, or
// offscreen).
#include <QApplication>

#include <sys/resource.h>
#include <time.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "controls/ui_font.h"
#include "editor/search_rows.h"
#include "docgen.h"
#include "temp_dir.h"
#include "window_timing.h"

namespace {

// Seconds since this process started, from the kernel's start time (clock
// ticks since boot) against the boot-time clock: covers exec and linking.
double SinceProcessStart() {
  std::ifstream stat("/proc/self/stat");
  std::string line;
  std::getline(stat, line);
  std::istringstream fields(line.substr(line.rfind(')') + 2));
  std::string field;
  for (int i = 3; i < 22; ++i) fields >> field;  // field 22 is the start time
  unsigned long long ticks = 0;
  fields >> ticks;
  timespec now{};
  clock_gettime(CLOCK_BOOTTIME, &now);
  return static_cast<double>(now.tv_sec) + now.tv_nsec / 1e9 - static_cast<double>(ticks) / sysconf(_SC_CLK_TCK);
}

double Ms(std::chrono::steady_clock::time_point from) {
  return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - from).count();
}

struct TOptions {
  std::string find;  // search for this after the first paint
  bool save = false;
  std::string file;
};

TOptions ParseOptions(int argc, char** argv) {
  TOptions options;
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    if (arg == "--find" && i + 1 < argc) options.find = argv[++i];
    else if (arg == "--save") options.save = true;
    else options.file = arg;
  }
  return options;
}

}  // namespace

int main(int argc, char** argv) {
  const auto main_start = std::chrono::steady_clock::now();
  if (argc == 3 && std::string(argv[1]) == "--gen") {
    std::printf("%s\n", yk::bench::DocumentFile(std::stoull(argv[2])).c_str());
    return 0;
  }
  const TOptions options = ParseOptions(argc, argv);
  int qt_argc = 1;
  QApplication app(qt_argc, argv);
  QApplication::setFont(yk::JapaneseUiFont());
  yk::test::TTempDir dir;
  yk::bench::TSilentPrompts prompts;
  yk::TMainFormEnv env;
  env.prompts = &prompts;
  env.settings_path = dir.File("Yomikaki.ini");
  if (!options.file.empty()) env.arguments = {options.file};
  auto form = std::make_unique<yk::TMainForm>(std::move(env));
  yk::bench::ShowUntilPainted(*form);
  const double painted_ms = Ms(main_start);
  const double since_exec_ms = SinceProcessStart() * 1000.0;
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  const double peak = static_cast<double>(usage.ru_maxrss) * 1024.0;
  const double size = options.file.empty() ? 0.0 : static_cast<double>(std::filesystem::file_size(options.file));
  std::printf("first paint %.0f ms after main (%.0f ms after exec, 10 ms steps); peak memory %.0f MB", painted_ms,
              since_exec_ms, peak / 1048576.0);
  if (size > 0) std::printf(" = %.2f x file size", peak / size);

  if (!options.find.empty()) {
    // The search the Find command runs, from the document's start.
    const auto find_start = std::chrono::steady_clock::now();
    const bool found = yk::SearchRows(form->Memo1->Editor().ScreenStrings(), {}, 0, options.find, yk::sfForward)
                           .has_value();
    std::printf("; find %.0f ms (%s)", Ms(find_start), found ? "found" : "not found");
  }
  if (options.save) {
    const auto save_start = std::chrono::steady_clock::now();
    const bool saved = form->Save1Click();
    std::printf("; save %.0f ms%s", Ms(save_start), saved ? "" : " (failed)");
  }
  const auto close_start = std::chrono::steady_clock::now();
  form->close();
  form.reset();
  std::printf("; close %.0f ms\n", Ms(close_start));
}
