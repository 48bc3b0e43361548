// What the main window needs from outside itself, handed in so that tests run
// the window in-process: the prompts, the command line, the settings file,
// new processes of the program and the other running main windows.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "shell/date_format.h"

namespace yk {

class TPrompts;

// The program's own messages between main windows (line, column, selection
// length, go to line), numbered as the program has always numbered them.
enum TWindowMessage : int {
  UM_SETLINE = 0x464,
  UM_SETCOLUMN = 0x465,
  UM_SETSELLENGTH = 0x466,
  UM_GOTOLINE = 0x467,
};

// Another running main window, as found by the document it shows.
class TPeerWindow {
 public:
  virtual ~TPeerWindow() = default;
  // The system command "restore": a minimised window comes back.
  virtual void Restore() = 0;
  virtual void BringToFront() = 0;
  // One of the program's messages; returns when the peer has handled it.
  virtual void Send(TWindowMessage message, long long wparam) = 0;
};

struct TMainFormEnv {
  // null: DefaultPrompts(), real message boxes and file dialogs.
  TPrompts* prompts = nullptr;
  // The command line without the program's name, as native bytes.
  std::vector<std::string> arguments;
  // empty: DefaultSettingsPath().
  std::string settings_path;
  // Starts a new process of this program with these arguments and does not
  // wait for it; false when it could not be started. null: the real thing.
  std::function<bool(const std::vector<std::string>& arguments)> launch_self;
  // The other main window that shows the document at path (exact title
  // comparison), or null. null: there is never one.
  std::function<std::unique_ptr<TPeerWindow>(const std::string& path)> find_document_window;
  // Opens a URL ("http://...", "mailto:...", as UTF-8) with the desktop's
  // handler; false when none took it. null: the desktop's default handler.
  std::function<bool(const std::string& url)> open_url;
  // The local date and time the date command inserts. null: the clock.
  std::function<TDateTime()> now;
};

// "Yomikaki.ini" beside the executable when that folder already holds a
// writable one (a portable installation); otherwise "Yomikaki.ini" in the
// program's folder under the user's configuration folder
// ($XDG_CONFIG_HOME/yomikaki, by default ~/.config/yomikaki).
std::string DefaultSettingsPath();

// Starts program with the arguments, detached (not this process's child),
// the bytes of every argument passed unchanged; false when it could not be
// started.
bool SpawnDetached(const std::string& program, const std::vector<std::string>& arguments);
// SpawnDetached of the program's own executable.
bool LaunchSelf(const std::vector<std::string>& arguments);

}  // namespace yk
