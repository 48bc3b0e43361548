// Gutter rows and their painting.
#include "app/gutter_painter.h"

#include <cstdio>

namespace yk {

namespace {

// Lines before each row, walking down from a first row: one index look-up,
// then a step per row. Without word wrap every row is a line of its own.
class TLineWalk {
 public:
  TLineWalk(TEditor& editor, int first) : editor_(editor), wrap_(editor.WordWrap()), row_(first) {
    lines_ = editor.RowsToLines(first);
  }
  // The lines before row, for rows from the first one on, in order.
  int Before(int row) {
    for (; row_ < row; ++row_) {
      if (!wrap_)
        lines_ = row_ + 1;
      else if (row_ < editor_.RowCount() && editor_.RowAttribute(row_) == raCrlf)
        ++lines_;
    }
    return lines_;
  }

 private:
  TEditor& editor_;
  bool wrap_;
  int row_;
  int lines_ = 0;
};

}  // namespace

std::vector<TGutterEntry> GutterEntries(TEditor& editor, const TGutterOptions& options) {
  const int top = editor.TopRow();
  const int count = editor.RowCount();
  const int pitch = editor.CaretRowHeight();
  const int marginTop = editor.Margin().Top();
  std::vector<TGutterEntry> entries;
  entries.reserve(static_cast<std::size_t>(editor.VisibleRows()) + 1);
  TLineWalk lines(editor, top);
  int last = 0;
  for (int e = 0; e <= editor.VisibleRows(); ++e) {
    TGutterEntry entry;
    entry.row = top + e;
    entry.y = e * pitch + marginTop;
    entry.marked = options.isMarked && entry.row <= count && options.isMarked(entry.row);
    if (options.logical) {
      // The row after the last one is numbered when the index puts a line
      // there: after a final line end, and always without word wrap.
      if (entry.row <= count) {
        const int n = lines.Before(entry.row) + 1;
        if (n != last) entry.number = last = n;
      }
    } else if (entry.row < count) {
      entry.number = entry.row + 1;
    }
    entries.push_back(entry);
  }
  return entries;
}

void PaintMarkFlag(TSurface& surface, int colWidth, int rowHeight, int y) {
  const int w = colWidth, h = rowHeight;
  // Each line leaves out its end point, so the outline is drawn as joined
  // segments with the last corner open, as a polyline is.
  const TPoint outline[] = {{2, y + h - 2}, {2, y + 1}, {w + 2, y + 1}, {w + 2, y + h / 2}, {2, y + h / 2}};
  for (std::size_t i = 0; i + 1 < std::size(outline); ++i)
    surface.Line(outline[i].x, outline[i].y, outline[i + 1].x, outline[i + 1].y, clBlack);
  const TPoint tick[] = {{3, y + (h / 2) / 2 + 1}, {w / 2 + 2, y + h / 2 - 1}, {w + 1, y + 2}};
  for (std::size_t i = 0; i + 1 < std::size(tick); ++i)
    surface.Line(tick[i].x, tick[i].y, tick[i + 1].x, tick[i + 1].y, clRed);
}

void PaintGutter(TSurface& surface, TEditor& editor, const TRect& area, const TGutterOptions& options) {
  surface.FillRect(area, editor.Color());
  const int w = editor.ColWidth();
  const TFontSpec& font = editor.Font();
  for (const TGutterEntry& entry : GutterEntries(editor, options)) {
    if (entry.y >= area.bottom) break;
    if (entry.marked) PaintMarkFlag(surface, w, editor.CaretRowHeight(), entry.y);
    if (entry.number == 0) continue;
    char text[16];
    const int length = std::snprintf(text, sizeof text, "%5d", entry.number);
    surface.TextRun(w + 3, entry.y, w, std::string_view(text, static_cast<std::size_t>(length)),
                    entry.marked ? clRed : font.color, clNone, font.style, area);
  }
}

}  // namespace yk
