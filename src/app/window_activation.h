// Coming to the front at another start's request, with the activation
// token the desktop gave that start, and ending the launcher's busy cursor
// for a start that hands its file over and never shows a window.
#pragma once

#include <string>

class QWindow;

namespace yk {

// Asks the desktop to make the window active. token: the activation token
// of the start that asked (see LaunchToken), or empty. Under Wayland the
// token goes to the compositor with the request, which lets the window come
// to the front where the compositor wants proof of the user's wish; under
// X11 the click time inside a startup id stamps the request, so that the
// window manager's focus-stealing prevention takes it as the user's.
// Without a usable token this is QWindow::requestActivate.
void RequestActivation(QWindow& window, const std::string& token);

// Tells an X11 desktop that the launch with this startup id is over (the
// startup-notification "remove" message), as Qt does when a window shows;
// nothing on other platforms or for an empty id.
void EndLaunchFeedback(const std::string& startupId);

}  // namespace yk
