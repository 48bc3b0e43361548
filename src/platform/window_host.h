// The window services an editor needs from the windowing system: its size
// and focus, invalidation and scrolling, the system caret, scroll bars,
// cursors, redraw control, the input method's composition window and the
// notices assistive technologies need.
#pragma once

#include <functional>

#include "platform/font.h"
#include "platform/geometry.h"
#include "text/graphics_types.h"

namespace yk {

enum TScrollBarKind { sbHorizontal, sbVertical };

// Range, page and position are set together, so that the system can hide a
// bar whose page covers its whole range.
struct TScrollBarInfo {
  int min = 0;
  int max = 0;
  int page = 0;
  int pos = 0;
  bool operator==(const TScrollBarInfo&) const = default;
};

class TWindowHost {
 public:
  virtual ~TWindowHost() = default;

  virtual TSize ClientSize() const = 0;
  virtual bool Focused() const = 0;
  virtual TFontMetrics Metrics(const TFontSpec& font) const = 0;

  // Marks r for repainting; UpdateNow paints everything marked at once.
  virtual void Invalidate(const TRect& r) = 0;
  virtual void UpdateNow() = 0;
  // Moves the pixels inside clip by (dx, dy); the uncovered part is marked
  // for repainting without being erased.
  virtual void ScrollArea(int dx, int dy, const TRect& clip) = 0;

  // The system caret: a width of 0 destroys it.
  virtual void CreateCaret(int width, int height) = 0;
  virtual void SetCaretPos(int x, int y) = 0;
  virtual void ShowCaret(bool visible) = 0;

  virtual void SetScrollBar(TScrollBarKind bar, const TScrollBarInfo& info) = 0;
  // Which scroll bars the window has (the editor's ScrollBars property).
  virtual void ShowScrollBars(TScrollStyle bars) = 0;
  // The window's cursor; with screen set, the screen cursor at once (used
  // while dragging, when the window's own cursor is not changed).
  virtual void SetCursor(TCursor cursor, bool screen) = 0;
  // Redraw off while a batch of changes is made; on again repaints.
  virtual void SetRedraw(bool on) = 0;
  virtual void SetCompositionPos(TPoint p) = 0;

  // For assistive technologies, which follow the text without painting
  // it: count rows from first were replaced by newCount rows (their text
  // may differ), and the shown selection changed. Nothing by default.
  virtual void TextChanged(int /*first*/, int /*count*/, int /*newCount*/) {}
  virtual void SelectionChanged() {}

  // Runs work once what was just painted has reached the screen, for work
  // that would otherwise hold a key's pixels up; work that may wait is
  // dropped with the window. At once by default.
  virtual void RunAfterShown(std::function<void()> work) { work(); }
};

}  // namespace yk
