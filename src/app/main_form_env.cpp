// The real environment of the main window: where the settings file lives and
// how a new process of the program is started.
#include "app/main_form_env.h"

#include <QCoreApplication>
#include <QStandardPaths>

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>

#include "app/display_text.h"

namespace yk {

// The program runs in a grandchild of this process, so there is nothing to
// wait for later; a pipe closed by the exec tells whether it started.
bool SpawnDetached(const std::string& program, const std::vector<std::string>& arguments) {
  std::vector<std::string> all{program};
  all.insert(all.end(), arguments.begin(), arguments.end());
  std::vector<char*> argv;
  for (std::string& a : all) argv.push_back(a.data());
  argv.push_back(nullptr);
  int report[2];
  if (::pipe2(report, O_CLOEXEC) != 0) return false;
  const pid_t child = ::fork();
  if (child == 0) {
    // Only async-signal-safe calls from here to exec.
    ::setsid();
    const pid_t grandchild = ::fork();
    if (grandchild != 0) ::_exit(grandchild < 0 ? 1 : 0);
    ::execv(argv[0], argv.data());
    const int err = errno;
    [[maybe_unused]] const ssize_t n = ::write(report[1], &err, sizeof err);
    ::_exit(127);
  }
  ::close(report[1]);
  int status = 0;
  while (child > 0 && ::waitpid(child, &status, 0) < 0 && errno == EINTR) {
  }
  // The pipe closes on a successful exec; a failed one writes its errno.
  int err = 0;
  ssize_t n = 0;
  while ((n = ::read(report[0], &err, sizeof err)) < 0 && errno == EINTR) {
  }
  ::close(report[0]);
  return child > 0 && WIFEXITED(status) && WEXITSTATUS(status) == 0 && n == 0;
}

std::string DefaultSettingsPath() {
  const std::string beside = NativePath(QCoreApplication::applicationDirPath()) + "/Yomikaki.ini";
  struct stat st{};
  if (::stat(beside.c_str(), &st) == 0 && S_ISREG(st.st_mode) && ::access(beside.c_str(), W_OK) == 0) return beside;
  return NativePath(QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation)) + "/yomikaki/Yomikaki.ini";
}

bool LaunchSelf(const std::vector<std::string>& arguments) {
  return SpawnDetached(NativePath(QCoreApplication::applicationFilePath()), arguments);
}

}  // namespace yk
