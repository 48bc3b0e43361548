// What the editor benchmarks share: a window that paints nothing and a set
// of token colours that differ from the defaults, so every token is drawn.
#pragma once

#include <vector>

#include "editor/editor.h"

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

  bool keep = false;
  std::vector<TRect> invalidated;

 private:
  TSize size_;
};

inline void ColourTokens(TEditor& ed) {
  TEditorColors& c = ed.View().Colors();
  c.Ank().SetColor(clNavy);
  c.DBCS().SetColor(clMaroon);
  c.Int().SetColor(clRed);
  c.Str().SetColor(clGreen);
  c.Symbol().SetColor(clPurple);
  c.Reserve().SetColor(clBlue);
  c.Reserve().SetStyle({fsBold});
  c.Comment().SetColor(clGray);
  ed.View().SetQuotation("\"");
  ed.View().SetCommenter("//");
  ed.SetReserveWordList(TReserveWordList({"the", "and", "for", "int", "return", "while"}));
}

}  // namespace yk::bench
