// The main function of the benchmarks that need a Qt application.
#pragma once

#include <benchmark/benchmark.h>

#include <QApplication>

#include <functional>

namespace yk::bench {

// Runs the benchmarks chosen on the command line inside a QApplication,
// offscreen unless a platform is set. Qt sees only the program name, so
// every argument is left to the benchmark library. before_exit runs after
// the benchmarks while the application still exists, for windows that
// outlive one benchmark.
inline int RunWithQt(int argc, char** argv, const std::function<void()>& before_exit = {}) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  int qt_argc = 1;
  QApplication app(qt_argc, argv);
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  if (before_exit) before_exit();
  benchmark::Shutdown();
  return 0;
}

}  // namespace yk::bench
