// What the editor benchmarks share besides the null window: a set of token
// colours that differ from the defaults, so every token is drawn, and the
// typing loop.
#pragma once

#include <benchmark/benchmark.h>

#include "editor/editor.h"
#include "platform/null_host.h"

namespace yk::bench {

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

// Each iteration is one edit: a character typed, then Backspace, so the
// document keeps its size.
inline void TypeAndErase(benchmark::State& state, TEditor& ed) {
  bool type = true;
  for (auto _ : state) {
    if (type)
      ed.KeyChar('a');
    else
      ed.BackSpaceKey();
    type = !type;
  }
}

}  // namespace yk::bench
