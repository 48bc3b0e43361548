// One run of the program's window as the user gets it: `window_probe [file]`
// prints the time from the process's start (and from main) to the first
// painted editor, the peak memory against the file's size, and the time to
// close the window. Runs on the platform of QT_QPA_PLATFORM (a screen, or
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

#include "controls/ui_font.h"
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

}  // namespace

int main(int argc, char** argv) {
  const auto main_start = std::chrono::steady_clock::now();
  int qt_argc = 1;
  QApplication app(qt_argc, argv);
  QApplication::setFont(yk::JapaneseUiFont());
  yk::test::TTempDir dir;
  yk::bench::TSilentPrompts prompts;
  yk::TMainFormEnv env;
  env.prompts = &prompts;
  env.settings_path = dir.File("Yomikaki.ini");
  if (argc > 1) env.arguments = {argv[1]};
  auto form = std::make_unique<yk::TMainForm>(std::move(env));
  yk::bench::ShowUntilPainted(*form);
  const double painted_ms = Ms(main_start);
  const double since_exec_ms = SinceProcessStart() * 1000.0;
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  const double peak = static_cast<double>(usage.ru_maxrss) * 1024.0;
  const double size = argc > 1 ? static_cast<double>(std::filesystem::file_size(argv[1])) : 0.0;

  const auto close_start = std::chrono::steady_clock::now();
  form->close();
  form.reset();
  const double close_ms = Ms(close_start);
  std::printf("first paint %.0f ms after main (%.0f ms after exec, 10 ms steps); peak memory %.0f MB", painted_ms,
              since_exec_ms, peak / 1048576.0);
  if (size > 0) std::printf(" = %.2f x file size", peak / size);
  std::printf("; close %.0f ms\n", close_ms);
}
