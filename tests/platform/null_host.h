// A focused window that paints nothing, for benchmarks and fuzzing: the
// editor runs its whole caret and repaint logic against it.
#pragma once

#include <vector>

#include "platform/window_host.h"

namespace yk::bench {

// A focused window of a given size; it keeps what was invalidated only when
// asked, so nothing accumulates over millions of iterations.
class NullHost : public TWindowHost {
 public:
  explicit NullHost(TSize size = {800, 600}) : size_(size) {}
  TSize ClientSize() const override { return size_; }
  bool Focused() const override { return true; }
  TFontMetrics Metrics(const TFontSpec&) const override { return {8, 16, 0}; }
  void Invalidate(const TRect& r) override {
    if (keep) invalidated.push_back(r);
  }
  void UpdateNow() override {}
  void ScrollArea(int, int, const TRect&) override {}
  void CreateCaret(int, int) override {}
  void SetCaretPos(int, int) override {}
  void ShowCaret(bool) override {}
  void SetScrollBar(TScrollBarKind, const TScrollBarInfo&) override {}
  void SetCursor(TCursor, bool) override {}
  void SetRedraw(bool) override {}
  void SetCompositionPos(TPoint) override {}
  void ShowScrollBars(TScrollStyle) override {}

  bool keep = false;
  std::vector<TRect> invalidated;

 private:
  TSize size_;
};

}  // namespace yk::bench
