// What the main window needs from outside itself, handed in so that tests run
// the window in-process: the prompts, the command line, the settings file,
// new processes of the program, the other running main windows, and the
// programs and documents the window hands work to.
#pragma once

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/instance_bus.h"
#include "shell/date_format.h"

class QUrl;
class QWindow;

namespace yk {

class TPrompts;

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
  // The bus to the other running main windows, made once per window. null:
  // the window works alone (finds no other window, answers none).
  std::function<std::unique_ptr<TInstanceBus>()> make_bus;
  // The program already looked for another window showing the command
  // line's file (HandOverToWindow) and found none: not asked again.
  bool document_window_checked = false;
  // Starts another program with these arguments (no shell sees them) and
  // does not wait for it; false when it could not be started. null:
  // SpawnDetached.
  std::function<bool(const std::string& program, const std::vector<std::string>& arguments)> start_program;
  // Opens a URL, a mail address or a document with the desktop's program
  // for it. null: the desktop services.
  std::function<bool(const QUrl& url)> open_url;
  // The local date and time the date command inserts. null: the clock.
  std::function<TDateTime()> now;
  // Asks the desktop to make the window active, with the activation token
  // of the start that asked for it (may be empty). null: RequestActivation.
  std::function<void(QWindow& window, const std::string& token)> activate_window;
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

// Another main window whose title shows path, modified or not, or whose
// document is the file path names (the same device and inode, so a link or
// another spelling finds it): the last such in the bus's order, never the
// window with selfId.
std::optional<TPeerInfo> FindDocumentWindow(TInstanceBus& bus, const std::string& path, const std::string& selfId);
// Start-up with a file that another window shows: that window is restored
// and brought to the front (with token, the activation token of this start,
// when not empty) and, for a line > 0, told the line, the selection length
// and the column. True when it took every message; false when no window
// shows the file or it failed on the way (the caller then opens the file
// itself, so it is never lost).
bool HandOverToWindow(TInstanceBus& bus, const std::string& path, int line, int column, int selLength,
                      const std::string& token = {});

}  // namespace yk
