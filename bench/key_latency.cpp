// Key-to-screen latency of the real program on an X server: sends keys with
// XTest and polls a thin strip of the window until its pixels change.
//   key_latency --window TITLE-PART [--prepare KEYS] [--click-search]
//               [--mode type|page] [--keys N] [--pace MS] [--verbose]
//   key_latency --gen short|prose|ascii BYTES PATH
// The first form finds the top-level window whose name contains TITLE-PART,
// focuses it, sends the prepare keys (e.g. "ctrl+End"), then measures N
// keys and prints one line: median, upper quartile, 90th percentile and
// maximum in milliseconds. Two pacings:
//  - settled (default): after every key the strip must stay unchanged for
//    150 ms before the next key goes. In type mode the keys alternate
//    between a typed "a" and BackSpace (so the document returns to its
//    text); only the typed characters are counted.
//  - --pace MS: a key every MS milliseconds (a fast typist's 60-100 ms),
//    whatever the window is still doing, so work left over from one key
//    meets the next. In type mode N "a" are typed in a row, then N
//    BackSpace take them out again; the typed characters are counted. The
//    strip is a few rows high, so a character that wraps to the next row
//    is seen too.
// In page mode every key is Page_Down. --click-search clicks into the tool
// bar's search box first (found as the first white field of the window's
// upper part), the floor every other figure is compared with. --verbose
// writes every key's figure to stderr. The second form writes the
// benchmark documents: short Japanese lines, one line of Japanese prose, or
// one line of single-byte words, all CP932.
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/XTest.h>
#include <X11/keysym.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <optional>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "docgen.h"

namespace {

using Clock = std::chrono::steady_clock;

[[noreturn]] void Fail(const std::string& why) {
  std::fprintf(stderr, "key_latency: %s\n", why.c_str());
  std::exit(1);
}

double MsSince(Clock::time_point t) {
  return std::chrono::duration<double, std::milli>(Clock::now() - t).count();
}

void Sleep(int ms) { std::this_thread::sleep_for(std::chrono::milliseconds(ms)); }

// ---- documents --------------------------------------------------------------

// The generated document with its line ends (and tabs) taken out: one line.
std::string OneLine(std::size_t bytes) {
  std::string doc = yk::bench::MakeDocument(bytes + bytes / 16);
  std::string line;
  line.reserve(bytes);
  for (char c : doc) {
    if (c == '\r' || c == '\n' || c == '\t') continue;
    line += c;
    if (line.size() >= bytes && (static_cast<unsigned char>(c) < 0x80)) break;
  }
  return line;
}

std::string AsciiLine(std::size_t bytes) {
  static const char* const kWords[] = {"alpha", "beta", "gamma", "delta", "value", "return",
                                       "index", "buffer", "window", "editor", "0x1f", "42"};
  std::string line;
  line.reserve(bytes + 16);
  for (unsigned i = 0; line.size() < bytes; i = i * 1103515245u + 12345u) {
    line += kWords[(i >> 16) % (sizeof kWords / sizeof *kWords)];
    line += (i >> 8) % 7 == 0 ? ";" : " ";
  }
  return line;
}

int Generate(const std::string& kind, std::size_t bytes, const std::string& path) {
  std::string text = kind == "short"   ? yk::bench::MakeDocument(bytes)
                     : kind == "prose" ? OneLine(bytes)
                     : kind == "ascii" ? AsciiLine(bytes)
                                       : (Fail("unknown document kind " + kind), "");
  std::ofstream out(path, std::ios::binary);
  out << text;
  if (!out) Fail("cannot write " + path);
  return 0;
}

// ---- X -----------------------------------------------------------------------

struct Rect {
  int x = 0, y = 0, w = 0, h = 0;
};

class XSession {
 public:
  XSession() : dpy_(XOpenDisplay(nullptr)) {
    if (!dpy_) Fail("cannot open the display");
    int ev, err, major, minor;
    if (!XTestQueryExtension(dpy_, &ev, &err, &major, &minor)) Fail("no XTest");
  }
  ~XSession() { XCloseDisplay(dpy_); }

  // The first window below the root whose name contains part, searched in
  // depth (a window manager puts its frames between).
  std::optional<Window> Find(const std::string& part, Window w = 0) {
    if (!w) w = DefaultRootWindow(dpy_);
    char* name = nullptr;
    if (XFetchName(dpy_, w, &name) && name) {
      bool hit = std::strstr(name, part.c_str()) != nullptr;
      XFree(name);
      XWindowAttributes a;
      if (hit && XGetWindowAttributes(dpy_, w, &a) && a.map_state == IsViewable) return w;
    }
    Window root, parent, *children = nullptr;
    unsigned n = 0;
    if (!XQueryTree(dpy_, w, &root, &parent, &children, &n)) return std::nullopt;
    std::optional<Window> found;
    for (unsigned i = 0; i < n && !found; ++i) found = Find(part, children[i]);
    if (children) XFree(children);
    return found;
  }

  Rect Geometry(Window w) {
    XWindowAttributes a;
    XGetWindowAttributes(dpy_, w, &a);
    return {0, 0, a.width, a.height};
  }

  void Focus(Window w) {
    XRaiseWindow(dpy_, w);
    XSetInputFocus(dpy_, w, RevertToParent, CurrentTime);
    XSync(dpy_, False);
  }

  // "ctrl+End", "a", "BackSpace", "Page_Down": modifiers joined by '+'.
  void Key(const std::string& chord) {
    std::vector<KeyCode> codes;
    std::stringstream parts(chord);
    std::string part;
    while (std::getline(parts, part, '+')) {
      std::string name = part == "ctrl" ? "Control_L" : part == "shift" ? "Shift_L" : part;
      KeySym sym = XStringToKeysym(name.c_str());
      if (sym == NoSymbol) Fail("unknown key " + part);
      codes.push_back(XKeysymToKeycode(dpy_, sym));
    }
    for (KeyCode c : codes) XTestFakeKeyEvent(dpy_, c, True, CurrentTime);
    for (auto c = codes.rbegin(); c != codes.rend(); ++c) XTestFakeKeyEvent(dpy_, *c, False, CurrentTime);
    XFlush(dpy_);
  }

  void Click(Window w, int x, int y) {
    Window child;
    int rx, ry;
    XTranslateCoordinates(dpy_, w, DefaultRootWindow(dpy_), x, y, &rx, &ry, &child);
    XTestFakeMotionEvent(dpy_, -1, rx, ry, CurrentTime);
    XTestFakeButtonEvent(dpy_, 1, True, CurrentTime);
    XTestFakeButtonEvent(dpy_, 1, False, CurrentTime);
    XSync(dpy_, False);
  }

  // The pixels of r as 32-bit values, row by row.
  std::vector<uint32_t> Grab(Window w, const Rect& r) {
    XImage* img = XGetImage(dpy_, w, r.x, r.y, r.w, r.h, AllPlanes, ZPixmap);
    if (!img) Fail("cannot read the window's pixels");
    std::vector<uint32_t> px(static_cast<std::size_t>(r.w) * r.h);
    for (int y = 0; y < r.h; ++y)
      for (int x = 0; x < r.w; ++x) px[static_cast<std::size_t>(y) * r.w + x] = XGetPixel(img, x, y);
    XDestroyImage(img);
    return px;
  }

  // The raw bytes of r: cheaper than Grab, enough to see a change.
  std::string Raw(Window w, const Rect& r) {
    XImage* img = XGetImage(dpy_, w, r.x, r.y, r.w, r.h, AllPlanes, ZPixmap);
    if (!img) Fail("cannot read the window's pixels");
    std::string bytes(img->data, static_cast<std::size_t>(img->bytes_per_line) * img->height);
    XDestroyImage(img);
    return bytes;
  }

 private:
  Display* dpy_;
};

// ---- measuring -----------------------------------------------------------------

// Waits until r differs from before; returns the milliseconds from `sent`.
double WaitForChange(XSession& x, Window w, const Rect& r, const std::string& before, Clock::time_point sent) {
  while (x.Raw(w, r) == before) {
    if (MsSince(sent) > 10000) Fail("the window did not change within 10 s");
  }
  return MsSince(sent);
}

// Waits until the window has stopped changing for quiet_ms. A blinking
// caret changes it every half of the desktop's flash time (500 ms by
// default): a quiet time must be shorter than that.
constexpr int kWindowQuietMs = 300;
void Settle(XSession& x, Window w, const Rect& all, int quiet_ms) {
  std::string last = x.Raw(w, all);
  auto since = Clock::now();
  while (MsSince(since) < quiet_ms) {
    Sleep(10);
    std::string now = x.Raw(w, all);
    if (now != last) {
      last = std::move(now);
      since = Clock::now();
    }
  }
}

// The band of pixel rows that one key changes first: the topmost changed
// pixel row and `height` rows from it, across the window's width. The key
// may take long on a loaded machine: the window is watched until it has
// changed and then stayed quiet.
Rect Calibrate(XSession& x, Window w, const Rect& all, const std::string& key, int height) {
  std::vector<uint32_t> before = x.Grab(w, all);
  std::string raw = x.Raw(w, all);
  auto sent = Clock::now();
  x.Key(key);
  WaitForChange(x, w, all, raw, sent);
  Settle(x, w, all, kWindowQuietMs);
  std::vector<uint32_t> after = x.Grab(w, all);
  for (int y = 0; y < all.h; ++y) {
    auto row = static_cast<std::size_t>(y) * all.w;
    if (!std::equal(before.begin() + row, before.begin() + row + all.w, after.begin() + row))
      return {0, y, all.w, std::min(height, all.h - y)};
  }
  Fail("the key " + key + " changed nothing on the screen");
}

// The tool bar's search box: the first run of at least 80 white pixels in a
// row of the window's upper 120 pixels, clicked in its middle.
std::optional<Rect> FindSearchBox(XSession& x, Window w, const Rect& all) {
  Rect top{0, 0, all.w, std::min(120, all.h)};
  std::vector<uint32_t> px = x.Grab(w, top);
  for (int y = 0; y < top.h; ++y) {
    int run = 0;
    for (int i = 0; i < top.w; ++i) {
      run = (px[static_cast<std::size_t>(y) * top.w + i] & 0xffffff) == 0xffffff ? run + 1 : 0;
      if (run == 80) return Rect{i - 79, y, 80, 1};
    }
  }
  return std::nullopt;
}

struct Options {
  std::string window, prepare, mode = "type";
  bool click_search = false;
  bool verbose = false;
  int keys = 24;
  int pace_ms = 0;  // 0: settle after every key
};

double Quantile(std::vector<double> v, double q) {
  std::sort(v.begin(), v.end());
  double pos = q * (v.size() - 1);
  auto lo = static_cast<std::size_t>(pos);
  std::size_t hi = std::min(lo + 1, v.size() - 1);
  return v[lo] + (v[hi] - v[lo]) * (pos - lo);
}

// One key and the time until the strip changed.
double Timed(XSession& x, Window w, const Rect& strip, const std::string& key) {
  std::string before = x.Raw(w, strip);
  auto sent = Clock::now();
  x.Key(key);
  return WaitForChange(x, w, strip, before, sent);
}

// Keys separated by a quiet window: each key meets an idle program.
std::vector<double> MeasureSettled(XSession& x, Window w, const Rect& strip, const Options& o) {
  const bool type = o.mode == "type";
  std::vector<double> ms;
  for (int i = 0; i < o.keys; ++i) {
    ms.push_back(Timed(x, w, strip, type ? "a" : "Page_Down"));
    Settle(x, w, strip, 150);
    if (!type) continue;
    Timed(x, w, strip, "BackSpace");
    Settle(x, w, strip, 150);
  }
  return ms;
}

// Keys on a fixed beat: a key that is late (its pixels came after the next
// beat) delays the next one, as a typist's buffered keys would be.
std::vector<double> MeasurePaced(XSession& x, Window w, const Rect& strip, const Options& o) {
  const bool type = o.mode == "type";
  const auto beat = std::chrono::milliseconds(o.pace_ms);
  std::vector<double> ms;
  auto next = Clock::now();
  auto run = [&](const std::string& key, bool counted) {
    for (int i = 0; i < o.keys; ++i) {
      std::this_thread::sleep_until(next);
      double t = Timed(x, w, strip, key);
      if (counted) ms.push_back(t);
      next = std::max(next + beat, Clock::now());
    }
  };
  run(type ? "a" : "Page_Down", true);
  if (type) run("BackSpace", false);
  return ms;
}

int Measure(const Options& o) {
  XSession x;
  std::optional<Window> w;
  for (int i = 0; i < 600 && !(w = x.Find(o.window)); ++i) Sleep(100);
  if (!w) Fail("no window named like " + o.window);
  Rect all = x.Geometry(*w);
  x.Focus(*w);
  Settle(x, *w, all, kWindowQuietMs);
  if (o.click_search) {
    std::optional<Rect> box = FindSearchBox(x, *w, all);
    if (!box) Fail("no search box found");
    x.Click(*w, box->x + box->w / 2, box->y + 4);
  }
  std::stringstream prepare(o.prepare);
  for (std::string key; prepare >> key;) x.Key(key);
  Settle(x, *w, all, kWindowQuietMs);

  const bool type = o.mode == "type";
  const std::string first = type ? "a" : "Page_Down";
  if (type) {  // the first edit marks the document modified: not a typical key
    x.Key("a");
    Settle(x, *w, all, kWindowQuietMs);
    x.Key("BackSpace");
    Settle(x, *w, all, kWindowQuietMs);
  }
  Rect strip = Calibrate(x, *w, all, first, o.pace_ms > 0 ? 48 : 6);
  if (type) x.Key("BackSpace");
  Settle(x, *w, all, kWindowQuietMs);

  std::vector<double> ms = o.pace_ms > 0 ? MeasurePaced(x, *w, strip, o) : MeasureSettled(x, *w, strip, o);
  if (o.verbose)
    for (double t : ms) std::fprintf(stderr, "%.2f\n", t);
  std::printf("median %.2f ms  upper quartile %.2f ms  90th percentile %.2f ms  max %.2f ms  (%zu keys)\n",
              Quantile(ms, 0.5), Quantile(ms, 0.75), Quantile(ms, 0.9), Quantile(ms, 1.0), ms.size());
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  std::vector<std::string> args(argv + 1, argv + argc);
  if (args.size() == 4 && args[0] == "--gen") return Generate(args[1], std::stoul(args[2]), args[3]);
  Options o;
  for (std::size_t i = 0; i < args.size(); ++i) {
    auto value = [&]() -> std::string {
      if (i + 1 >= args.size()) Fail("missing value after " + args[i]);
      return args[++i];
    };
    if (args[i] == "--window") o.window = value();
    else if (args[i] == "--prepare") o.prepare = value();
    else if (args[i] == "--mode") o.mode = value();
    else if (args[i] == "--keys") o.keys = std::stoi(value());
    else if (args[i] == "--pace") o.pace_ms = std::stoi(value());
    else if (args[i] == "--verbose") o.verbose = true;
    else if (args[i] == "--click-search") o.click_search = true;
    else Fail("unknown argument " + args[i]);
  }
  if (o.window.empty())
    Fail("usage: key_latency --window TITLE-PART [--prepare KEYS] [--mode type|page] [--keys N] [--pace MS]");
  return Measure(o);
}
