// Where the Window menu's arranging commands put the windows: tiled in a
// grid over the screen's work area, or cascaded down and to the right; and
// a frame asked for by another window kept to what the screens show.
#pragma once

#include <vector>

#include "platform/geometry.h"

namespace yk {

enum class TTileMode {
  AboveEachOther,  // full-width strips; a grid of columns of strips for many windows
  SideBySide,      // full-height strips; a grid of rows of strips for many windows
};

// The frames of count windows tiling area, in list order (the first at the
// top left). The grid has floor(sqrt(count)) columns (rows when side by
// side); the windows that do not divide evenly go to the last ones. The
// frames share their edges and cover the area exactly; a frame may be empty
// when the area is smaller than the grid.
std::vector<TRect> TileFrames(const TRect& area, int count, TTileMode mode);

// The frames of count windows cascading over area, each step pixels below
// and to the right of the one behind it, three quarters of the area in
// size; the first window of the list is the front one, at the end of the
// cascade. The cascade starts again at the top left when it would leave the
// area.
std::vector<TRect> CascadeFrames(const TRect& area, int count, int step);

// frame made to fit the work area it overlaps most (the first of areas when
// it overlaps none): no wider or taller than that area, moved inside it, at
// least minimum in size. An empty list of areas leaves frame as it is.
TRect FitFrame(const TRect& frame, const std::vector<TRect>& areas, TSize minimum = {100, 50});

}  // namespace yk
