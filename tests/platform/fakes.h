// Recording stand-ins for the platform interfaces, so the editor core runs
// and is tested with no display.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "platform/clipboard.h"
#include "platform/surface.h"
#include "platform/window_host.h"

namespace yk::test {

// Records every drawing call as a short line of text.
class RecordingSurface : public TSurface {
 public:
  void FillRect(const TRect& r, TColor color) override {
    calls.push_back("fill " + Rect(r) + " " + std::to_string(color));
  }
  void TextRun(int x, int y, int cellWidth, std::string_view bytes, TColor color, TColor bkColor,
               TFontStyles style, const TRect& clip) override {
    calls.push_back("text " + std::to_string(x) + "," + std::to_string(y) + " w" + std::to_string(cellWidth) +
                    " \"" + std::string(bytes) + "\" " + std::to_string(color) + "/" + std::to_string(bkColor) +
                    " s" + std::to_string(style.Bits()) + " " + Rect(clip));
  }
  void Line(int x1, int y1, int x2, int y2, TColor color) override {
    calls.push_back("line " + std::to_string(x1) + "," + std::to_string(y1) + "-" + std::to_string(x2) + "," +
                    std::to_string(y2) + " " + std::to_string(color));
  }
  static std::string Rect(const TRect& r) {
    return "[" + std::to_string(r.left) + "," + std::to_string(r.top) + "," + std::to_string(r.right) + "," +
           std::to_string(r.bottom) + "]";
  }
  std::vector<std::string> calls;
};

// A window of a fixed size whose focus the test sets; keeps the last state
// of everything it was told.
class FakeHost : public TWindowHost {
 public:
  TSize ClientSize() const override { return size; }
  bool Focused() const override { return focused; }
  TFontMetrics Metrics(const TFontSpec&) const override { return metrics; }
  void Invalidate(const TRect& r) override { invalidated.push_back(r); }
  void UpdateNow() override { ++updates; }
  void ScrollArea(int dx, int dy, const TRect&) override {
    scrolledX += dx;
    scrolledY += dy;
  }
  void CreateCaret(int width, int height) override {
    caretWidth = width;
    caretHeight = height;
    if (width == 0) caretVisible = false;
  }
  void SetCaretPos(int x, int y) override { caretPos = {x, y}; }
  void ShowCaret(bool visible) override { caretVisible = visible; }
  void SetScrollBar(TScrollBarKind bar, const TScrollBarInfo& info) override {
    (bar == sbVertical ? vertical : horizontal) = info;
  }
  void SetCursor(TCursor c, bool screen) override { (screen ? screenCursor : cursor) = c; }
  void SetRedraw(bool on) override { redraw = on; }
  void SetCompositionPos(TPoint p) override { compositionPos = p; }
  void ShowScrollBars(TScrollStyle b) override { bars = b; }

  TSize size{640, 480};
  bool focused = true;
  TFontMetrics metrics{8, 16, 0};
  std::vector<TRect> invalidated;
  int updates = 0;
  int scrolledX = 0, scrolledY = 0;
  int caretWidth = 0, caretHeight = 0;
  bool caretVisible = false;
  TPoint caretPos;
  TScrollBarInfo vertical, horizontal;
  TCursor cursor = 0, screenCursor = 0;
  bool redraw = true;
  TPoint compositionPos;
  TScrollStyle bars = ssNone;
};

class FakeClipboard : public TClipboard {
 public:
  bool HasText() const override { return hasText; }
  bool HasBoxFormat() const override { return box; }
  std::string Text() const override { return source ? source() : text; }
  void SetText(std::string_view t, bool b) override {
    text = std::string(t);
    source = nullptr;
    hasText = true;
    box = b;
    ++writes;
  }
  void SetTextSource(std::function<std::string()> s) override {
    source = std::move(s);
    hasText = true;
    box = false;
    ++writes;
  }
  void Withdraw() override {
    text.clear();
    source = nullptr;
    hasText = false;
  }
  std::string text;
  std::function<std::string()> source;
  bool hasText = false;
  bool box = false;
  int writes = 0;
};

}  // namespace yk::test
