// A small X client for the real-X tests: prints the X server's time now,
// or listens on the root window and prints what clients send there: each
// startup-notification message whole, and each activation request as
// "_NET_ACTIVE_WINDOW <window> source <s> time <t>".
// Usage: x_probe time | x_probe listen SECONDS
#include <xcb/xcb.h>

#include <poll.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <memory>
#include <string>

namespace {

using Event = std::unique_ptr<xcb_generic_event_t, decltype(&std::free)>;

xcb_atom_t Atom(xcb_connection_t* c, const char* name) {
  std::unique_ptr<xcb_intern_atom_reply_t, decltype(&std::free)> reply(
      xcb_intern_atom_reply(c, xcb_intern_atom(c, 0, static_cast<std::uint16_t>(std::strlen(name)), name), nullptr),
      &std::free);
  return reply ? reply->atom : XCB_NONE;
}

// The next event, waiting at most until the deadline; null when none came.
Event NextEvent(xcb_connection_t* c, std::chrono::steady_clock::time_point deadline) {
  for (;;) {
    if (xcb_generic_event_t* e = xcb_poll_for_event(c)) return Event(e, &std::free);
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
    if (left.count() <= 0 || xcb_connection_has_error(c)) return Event(nullptr, &std::free);
    pollfd fd{xcb_get_file_descriptor(c), POLLIN, 0};
    ::poll(&fd, 1, static_cast<int>(left.count()));
  }
}

// The server's time: a property change on a window of our own is stamped
// with it.
int PrintTime(xcb_connection_t* c, xcb_screen_t* screen) {
  const xcb_window_t w = xcb_generate_id(c);
  const std::uint32_t mask = XCB_EVENT_MASK_PROPERTY_CHANGE;
  xcb_create_window(c, 0, w, screen->root, 0, 0, 1, 1, 0, XCB_WINDOW_CLASS_INPUT_ONLY, XCB_COPY_FROM_PARENT,
                    XCB_CW_EVENT_MASK, &mask);
  xcb_change_property(c, XCB_PROP_MODE_APPEND, w, XCB_ATOM_WM_NAME, XCB_ATOM_STRING, 8, 0, "");
  xcb_flush(c);
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
  while (Event e = NextEvent(c, deadline)) {
    if ((e->response_type & 0x7F) == XCB_PROPERTY_NOTIFY) {
      std::printf("%u\n", reinterpret_cast<xcb_property_notify_event_t*>(e.get())->time);
      return 0;
    }
  }
  return 1;
}

// Startup messages are joined from their pieces (per sending window) up to
// the NUL that ends them.
int PrintRootMessages(xcb_connection_t* c, xcb_screen_t* screen, int seconds) {
  const xcb_atom_t begin = Atom(c, "_NET_STARTUP_INFO_BEGIN");
  const xcb_atom_t more = Atom(c, "_NET_STARTUP_INFO");
  const xcb_atom_t activate = Atom(c, "_NET_ACTIVE_WINDOW");
  const std::uint32_t mask = XCB_EVENT_MASK_PROPERTY_CHANGE | XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY;
  xcb_change_window_attributes(c, screen->root, XCB_CW_EVENT_MASK, &mask);
  xcb_flush(c);
  std::puts("listening");
  std::fflush(stdout);
  std::map<xcb_window_t, std::string> pending;
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(seconds);
  while (Event e = NextEvent(c, deadline)) {
    if ((e->response_type & 0x7F) != XCB_CLIENT_MESSAGE) continue;
    const auto* m = reinterpret_cast<xcb_client_message_event_t*>(e.get());
    if (m->format == 32 && m->type == activate) {
      std::printf("_NET_ACTIVE_WINDOW %u source %u time %u\n", m->window, m->data.data32[0], m->data.data32[1]);
      std::fflush(stdout);
      continue;
    }
    if (m->format != 8 || (m->type != begin && m->type != more)) continue;
    std::string& text = pending[m->window];
    if (m->type == begin) text.clear();
    const char* bytes = reinterpret_cast<const char*>(m->data.data8);
    const std::size_t n = strnlen(bytes, 20);
    text.append(bytes, n);
    if (n < 20) {
      std::printf("%s\n", text.c_str());
      std::fflush(stdout);
      pending.erase(m->window);
    }
  }
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  const std::string command = argc > 1 ? argv[1] : "";
  xcb_connection_t* c = xcb_connect(nullptr, nullptr);
  if (xcb_connection_has_error(c)) {
    std::fprintf(stderr, "x_probe: no X display\n");
    return 2;
  }
  xcb_screen_t* screen = xcb_setup_roots_iterator(xcb_get_setup(c)).data;
  int status = 2;
  if (command == "time") status = PrintTime(c, screen);
  else if (command == "listen" && argc > 2) status = PrintRootMessages(c, screen, std::atoi(argv[2]));
  else std::fprintf(stderr, "usage: x_probe time | x_probe listen SECONDS\n");
  xcb_disconnect(c);
  return status;
}
