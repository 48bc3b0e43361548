// TEditorScreen: an editor's screen painter. It keeps repainting small (an
// edit repaints only the rows it produced and moves the rows below it, a
// growing or shrinking selection repaints only the difference) and holds
// the scratch buffers that painting a row reuses.
#pragma once

#include <climits>
#include <string>
#include <vector>

#include "text/editor_colors.h"

namespace yk {

class TEditor;
struct TSelectionRange;

// Display columns [from, to) of one row; to may be kToEdge (the selection
// runs on to the right edge of the control).
struct TColumnSpan {
  static constexpr int kToEdge = INT_MAX;
  int from = 0;
  int to = 0;
  bool Empty() const { return from >= to; }
  bool operator==(const TColumnSpan&) const = default;
};

// One token of a painted row: columns within the painted text and its
// colour entry (null: the editor's own colours).
struct TPaintToken {
  int from = 0;
  int to = 0;
  const TEditorColor* color = nullptr;
};

class TEditorScreen {
 public:
  explicit TEditorScreen(TEditor& editor) : editor_(editor) {}
  virtual ~TEditorScreen() = default;
  TEditorScreen(const TEditorScreen&) = delete;
  TEditorScreen& operator=(const TEditorScreen&) = delete;

  // After every change of the row list: when the change altered text, the
  // rows below it are moved by the change in row count and the rows it
  // produced are repainted at once; a change of more rows than the view
  // shows repaints everything.
  void StringsChanged();
  // A row to repaint. While the row list is in the middle of a change the
  // request waits for StringsChanged, so that it lands on the row's place
  // after the rows below the change have been moved.
  void RepaintRow(int row);
  // Repaints at once only the cells whose selected state differs between
  // the two ranges (both in the editor's current selection mode; an empty
  // range has top > bottom or no columns).
  void SelectionChanged(const TSelectionRange& before, const TSelectionRange& after);

  // Scratch of the row being painted: its text when it had to be built
  // (tabs expanded, wrapped neighbours joined) and its tokens.
  std::string lineText;
  std::vector<TPaintToken> tokens;

 private:
  void FlushPending();
  void InvalidateSpan(int row, TColumnSpan span);

  TEditor& editor_;
  int pending_first_ = INT_MAX;
  int pending_last_ = INT_MIN;
};

}  // namespace yk
