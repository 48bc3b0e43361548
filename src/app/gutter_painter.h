// The line-number gutter beside an editor: which rows get a number or a
// mark flag, and painting them onto a fixed-cell surface.
#pragma once

#include <functional>
#include <vector>

#include "editor/editor.h"
#include "platform/surface.h"

namespace yk {

struct TGutterOptions {
  // Numbers per logical line (a wrapped line numbered on its first row and
  // on the topmost visible row), else one per screen row.
  bool logical = true;
  // Whether a row carries a mark; empty: the gutter shows no flags.
  std::function<bool(int row)> isMarked;
};

// One visible row of the gutter, from the top row down to one row past
// what fits.
struct TGutterEntry {
  int row = 0;
  int y = 0;           // top of the row in gutter pixels
  int number = 0;      // 1-based line or row number; 0 when none is shown
  bool marked = false;  // a flag, and the number in red
  bool operator==(const TGutterEntry&) const = default;
};

// The entries of the editor's current view. The line numbers come from one
// look-up in the line index for the top row and the row attributes below
// it, so a view costs the same at any place in any document.
std::vector<TGutterEntry> GutterEntries(TEditor& editor, const TGutterOptions& options);

// Paints the gutter over area (gutter pixels): the editor's background,
// then each entry's flag and number in the editor's font ("%5d", one cell
// right of the flag).
void PaintGutter(TSurface& surface, TEditor& editor, const TRect& area, const TGutterOptions& options);

// The flag of a marked row whose top is y: a black outline with a red tick.
void PaintMarkFlag(TSurface& surface, int colWidth, int rowHeight, int y);

}  // namespace yk
