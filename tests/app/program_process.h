// The built program run as a process in scratch folders, and the bounded
// wait for a file it writes.
#pragma once

#include <QProcessEnvironment>
#include <QThread>

#include <sys/stat.h>

#include <chrono>
#include <filesystem>
#include <string>

#include "temp_dir.h"

namespace yk::test {

// The program's environment with its settings folder and a private runtime
// folder (the instance bus refuses any other) inside `dir`, and no display.
inline QProcessEnvironment ScratchEnvironment(const TTempDir& dir) {
  QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
  env.insert(QStringLiteral("XDG_CONFIG_HOME"), QString::fromStdString(dir.File("config")));
  const std::string runtime = dir.File("runtime");
  std::filesystem::create_directory(runtime);
  ::chmod(runtime.c_str(), 0700);
  env.insert(QStringLiteral("XDG_RUNTIME_DIR"), QString::fromStdString(runtime));
  env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
  return env;
}

// Waits until `path` exists, looking every `step_ms`, but no longer than
// `limit`; the caller checks what it found.
inline void WaitForFile(const std::string& path, std::chrono::seconds limit, int step_ms = 20) {
  const auto end = std::chrono::steady_clock::now() + limit;
  while (!std::filesystem::exists(path) && std::chrono::steady_clock::now() < end) QThread::msleep(step_ms);
}

}  // namespace yk::test
