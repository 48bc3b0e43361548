// The program: the command line's --help and --version, the application,
// its main window, and SIGTERM and SIGHUP taken as a close of the window.
#include <QApplication>
#include <QSocketNotifier>

#include <fcntl.h>
#include <signal.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "app/app_icons.h"
#include "app/main_form.h"
#include "app/prompts.h"
#include "app/toolkit_texts.h"
#include "app/window_activation.h"
#include "controls/ui_font.h"
#include "qt/local_instance_bus.h"
#include "shell/command_line.h"
#include "shell/launch_feedback.h"

namespace {

int g_term_pipe[2] = {-1, -1};

void OnTerminate(int) {
  const char c = 1;
  [[maybe_unused]] const ssize_t n = ::write(g_term_pipe[1], &c, 1);
}

// SIGTERM (as sent at logout or by "kill") and SIGHUP (the terminal or the
// session went away) close the window the way the user would, so that the
// settings are written; unsaved edits go to a recovery snapshot, since
// nobody may be there to answer. Installed before the window exists, they
// wait for the event loop.
void CatchTermination() {
  if (::pipe2(g_term_pipe, O_CLOEXEC | O_NONBLOCK) != 0) return;
  struct sigaction action {};
  action.sa_handler = OnTerminate;
  sigemptyset(&action.sa_mask);
  action.sa_flags = SA_RESTART;
  ::sigaction(SIGTERM, &action, nullptr);
  ::sigaction(SIGHUP, &action, nullptr);
}

}  // namespace

int main(int argc, char** argv) {
  const std::vector<std::string> arguments(argv + 1, argv + argc);
  const yk::TCommandLine command_line = yk::ParseCommandLine(arguments);
  if (command_line.action == yk::TCommandLine::TAction::Help) {
    std::fputs(yk::UsageText().c_str(), stdout);
    return 0;
  }
  if (command_line.action == yk::TCommandLine::TAction::Version) {
    std::printf("Yomikaki %s\n", YK_VERSION);
    return 0;
  }
  CatchTermination();
  // Read before the toolkit starts: its X11 plugin takes DESKTOP_STARTUP_ID
  // out of the environment.
  const std::string launchToken = yk::LaunchToken(std::getenv("XDG_ACTIVATION_TOKEN"), std::getenv("DESKTOP_STARTUP_ID"));
  const std::string startupId = yk::LaunchToken(nullptr, std::getenv("DESKTOP_STARTUP_ID"));

  // The toolkit sees only its own options, as the command line picked them
  // out: a file named like one of them after "--" stays the user's file.
  std::vector<std::string> qt_arguments{argv[0]};
  qt_arguments.insert(qt_arguments.end(), command_line.toolkit.begin(), command_line.toolkit.end());
  std::vector<char*> qt_argv;
  for (std::string& a : qt_arguments) qt_argv.push_back(a.data());
  qt_argv.push_back(nullptr);
  int qt_argc = static_cast<int>(qt_arguments.size());
  QApplication app(qt_argc, qt_argv.data());
  // A file that another window shows goes to it before anything of this
  // window is made, so the second start costs little more than the look-up.
  // That window comes to the front with this start's token, and the
  // launcher's busy cursor ends here, since no window of this process will
  // show to end it.
  auto bus = std::make_unique<yk::TLocalInstanceBus>();
  if (command_line.action == yk::TCommandLine::TAction::Open &&
      yk::HandOverToWindow(*bus, yk::LongPathName(command_line.file), command_line.line, command_line.column,
                           command_line.selLength, launchToken)) {
    yk::EndLaunchFeedback(startupId);
    return 0;
  }
  QApplication::setApplicationName(QStringLiteral("yomikaki"));
  // No display name: on X11 Qt would append it to every dialog's caption
  // ("確認 — Yomikaki"), and the captions are the program's exact texts.
  // Lets the desktop match the window to its launcher and icon.
  QGuiApplication::setDesktopFileName(QStringLiteral("org.example.yomikaki"));
  QApplication::setApplicationVersion(QStringLiteral(YK_VERSION));
  QApplication::setFont(yk::JapaneseUiFont());
  QApplication::setWindowIcon(yk::StillIcon());
  const std::unique_ptr<QTranslator> toolkitTexts = yk::InstallToolkitTranslation();

  yk::TMainFormEnv env;
  env.arguments = arguments;
  env.make_bus = [&bus] { return std::move(bus); };
  env.document_window_checked = command_line.action == yk::TCommandLine::TAction::Open;

  // Listening before the window is made: start-up may already wait in an
  // error box or the recovery question, which must not keep the process.
  yk::TMainForm* window = nullptr;
  std::unique_ptr<QSocketNotifier> terminate;
  if (g_term_pipe[0] >= 0) {
    terminate = std::make_unique<QSocketNotifier>(g_term_pipe[0], QSocketNotifier::Read);
    QObject::connect(terminate.get(), &QSocketNotifier::activated, [&window] {
      char buffer[16];
      while (::read(g_term_pipe[0], buffer, sizeof buffer) > 0) {
      }
      if (window) {
        window->CloseForTermination();
      } else {
        yk::EndPrompts();  // start-up goes on without asking, then closes
      }
    });
  }
  yk::TMainForm form(std::move(env));
  if (form.HandedOver) return 0;
  if (yk::PromptsEnded()) {
    form.CloseForTermination();
    return 0;
  }
  window = &form;
  form.show();
  return app.exec();
}
