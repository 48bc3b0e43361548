// Window activation with a launcher's token, and the end of a launch, on
// Wayland (through Qt) and X11 (through the X connection Qt holds).
#include "app/window_activation.h"

#include <QGuiApplication>
#include <QWindow>

#include <algorithm>
#include <cstring>

#include "shell/launch_feedback.h"

#if QT_CONFIG(xcb) && defined(YK_HAVE_XCB)
#include <QtGui/qguiapplication_platform.h>
#include <xcb/xcb.h>

#include <cstdlib>
#include <memory>
#endif

namespace yk {

namespace {

bool OnPlatform(const char* name) { return QGuiApplication::platformName().startsWith(QLatin1String(name)); }

#if QT_CONFIG(xcb) && defined(YK_HAVE_XCB)

xcb_connection_t* XConnection() {
  auto* x11 = qGuiApp ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
  return x11 ? x11->connection() : nullptr;
}

xcb_window_t RootWindow(xcb_connection_t* c) {
  const xcb_screen_iterator_t screens = xcb_setup_roots_iterator(xcb_get_setup(c));
  return screens.rem > 0 ? screens.data->root : XCB_NONE;
}

xcb_atom_t Atom(xcb_connection_t* c, const char* name) {
  const xcb_intern_atom_cookie_t cookie = xcb_intern_atom(c, 0, static_cast<std::uint16_t>(std::strlen(name)), name);
  std::unique_ptr<xcb_intern_atom_reply_t, decltype(&std::free)> reply(xcb_intern_atom_reply(c, cookie, nullptr),
                                                                      &std::free);
  return reply ? reply->atom : XCB_NONE;
}

// Whether the window manager says it takes _NET_ACTIVE_WINDOW requests.
bool ManagerActivates(xcb_connection_t* c, xcb_window_t root, xcb_atom_t activeWindow) {
  const xcb_atom_t supported = Atom(c, "_NET_SUPPORTED");
  const xcb_get_property_cookie_t cookie = xcb_get_property(c, 0, root, supported, XCB_ATOM_ATOM, 0, 4096);
  std::unique_ptr<xcb_get_property_reply_t, decltype(&std::free)> reply(xcb_get_property_reply(c, cookie, nullptr),
                                                                       &std::free);
  if (!reply || reply->format != 32) return false;
  const auto* atoms = static_cast<const xcb_atom_t*>(xcb_get_property_value(reply.get()));
  const int count = xcb_get_property_value_length(reply.get()) / 4;
  return std::find(atoms, atoms + count, activeWindow) != atoms + count;
}

// _NET_ACTIVE_WINDOW from an application, stamped with the click time;
// false when there is no window manager to take it.
bool RequestActiveWindow(QWindow& window, std::uint32_t time) {
  xcb_connection_t* c = XConnection();
  if (!c) return false;
  const xcb_window_t root = RootWindow(c);
  const xcb_atom_t activeWindow = Atom(c, "_NET_ACTIVE_WINDOW");
  if (root == XCB_NONE || activeWindow == XCB_NONE || !ManagerActivates(c, root, activeWindow)) return false;
  xcb_client_message_event_t event{};
  event.response_type = XCB_CLIENT_MESSAGE;
  event.format = 32;
  event.window = static_cast<xcb_window_t>(window.winId());
  event.type = activeWindow;
  event.data.data32[0] = 1;  // the source is an application
  event.data.data32[1] = time;
  const QWindow* focus = QGuiApplication::focusWindow();
  event.data.data32[2] = focus ? static_cast<std::uint32_t>(focus->winId()) : XCB_NONE;
  xcb_send_event(c, 0, root, XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY | XCB_EVENT_MASK_SUBSTRUCTURE_REDIRECT,
                 reinterpret_cast<const char*>(&event));
  xcb_flush(c);
  return true;
}

// The message in pieces of 20 bytes, the first as _NET_STARTUP_INFO_BEGIN
// and the rest as _NET_STARTUP_INFO, ended by a NUL byte.
void SendStartupMessage(const std::string& message) {
  xcb_connection_t* c = XConnection();
  if (!c) return;
  const xcb_window_t root = RootWindow(c);
  const xcb_atom_t begin = Atom(c, "_NET_STARTUP_INFO_BEGIN");
  const xcb_atom_t more = Atom(c, "_NET_STARTUP_INFO");
  if (root == XCB_NONE || begin == XCB_NONE || more == XCB_NONE) return;
  const std::size_t length = message.size() + 1;  // with the NUL
  for (std::size_t sent = 0; sent < length; sent += 20) {
    xcb_client_message_event_t event{};
    event.response_type = XCB_CLIENT_MESSAGE;
    event.format = 8;
    event.window = root;
    event.type = sent == 0 ? begin : more;
    std::memcpy(event.data.data8, message.c_str() + sent, std::min<std::size_t>(20, length - sent));
    xcb_send_event(c, 0, root, XCB_EVENT_MASK_PROPERTY_CHANGE, reinterpret_cast<const char*>(&event));
  }
  xcb_flush(c);
}

#else

bool RequestActiveWindow(QWindow&, std::uint32_t) { return false; }
void SendStartupMessage(const std::string&) {}

#endif

// Qt's Wayland plugin hands XDG_ACTIVATION_TOKEN to the compositor with the
// next activation request (and clears it). The variable is put back as it
// was, so that no program started later inherits the token.
void RequestWithWaylandToken(QWindow& window, const std::string& token) {
  const bool had = qEnvironmentVariableIsSet("XDG_ACTIVATION_TOKEN");
  const QByteArray saved = qgetenv("XDG_ACTIVATION_TOKEN");
  qputenv("XDG_ACTIVATION_TOKEN", QByteArray::fromStdString(token));
  window.requestActivate();
  if (had) qputenv("XDG_ACTIVATION_TOKEN", saved);
  else qunsetenv("XDG_ACTIVATION_TOKEN");
}

}  // namespace

void RequestActivation(QWindow& window, const std::string& token) {
  if (!token.empty() && OnPlatform("wayland")) return RequestWithWaylandToken(window, token);
  if (OnPlatform("xcb")) {
    const std::optional<std::uint32_t> time = StartupTime(token);
    if (time && RequestActiveWindow(window, *time)) return;
  }
  window.requestActivate();
}

void EndLaunchFeedback(const std::string& startupId) {
  if (startupId.empty() || !OnPlatform("xcb")) return;
  SendStartupMessage(StartupRemoveMessage(startupId));
}

}  // namespace yk
