// What the line store needs from an editor control attached to it. The
// editor implements this; the store never knows the editor's class.
#pragma once

#include <bitset>
#include <memory>
#include <string_view>

#include "text/parser.h"

namespace yk {

class TEditorScreenStrings;

// An editor's selection by its two ends in rows and columns: where it began
// and where the caret is. Without a selection both ends are the caret.
struct TSelectionSpan {
  int anchorRow = 0;
  int anchorCol = 0;
  int row = 0;
  int col = 0;
  bool box = false;
  bool operator==(const TSelectionSpan&) const = default;
};

class TEditorLink {
 public:
  virtual ~TEditorLink() = default;

  // Caret and view. SetCol clamps the column to the caret row.
  virtual int Row() const = 0;
  virtual int Col() const = 0;
  virtual void SetRow(int row) = 0;
  virtual void SetCol(int col) = 0;
  virtual int TopRow() const = 0;
  virtual void SetTopRow(int row) = 0;
  // The first column shown; an editor that never scrolls sideways has none.
  virtual void SetTopCol(int) {}
  // Drops the selection (before every edit made through the store).
  virtual void CleanSelection() = 0;
  // Places the caret `offset` bytes after the start of `row`, counting 2
  // for each raCrlf row end and 1 for a raEof row end.
  virtual void SetCaretByRowOffset(int row, long long offset) = 0;
  virtual bool Focused() const = 0;
  // The selection, for an undo step that puts back what its command started
  // from; an editor without selections has only its caret.
  virtual TSelectionSpan SelectionSpan() const { return {Row(), Col(), Row(), Col(), false}; }
  virtual void SetSelectionSpan(const TSelectionSpan& span) {
    SetRow(span.row);
    SetCol(span.col);
  }
  // True while the editor is being built from a stored form: wrapping and
  // state computation wait until it is complete.
  virtual bool Loading() const { return false; }

  // Repainting: the rows of the store's ChangedRange, one row, or all.
  virtual void StringsChanged() = 0;
  virtual void RepaintRow(int row) = 0;
  virtual void RepaintAll() = 0;
  // Rows that fit on the display, at least 1.
  virtual int DisplayRowCount() const = 0;

  // Update state of the editor's Lines: hide the caret and underline and
  // stop redrawing until the matching end.
  virtual void LinesBeginUpdate() {}
  virtual void LinesEndUpdate() {}

  // Settings the store reads from its owner editor.
  virtual int TabSpaceCount() const = 0;
  // Bytes that end a word (the column map's delimiter columns).
  virtual const std::bitset<256>& WordDelimiters() const = 0;
  // The rules built from the view settings; null: no colouring rules.
  virtual const TParserRules* ParserRules() const = 0;
  // A descendant editor may use a descendant parser.
  virtual std::unique_ptr<TEditorParser> CreateParser(std::string_view text, int state) const {
    return std::make_unique<TEditorParser>(ParserRules(), text, state);
  }
  // The row list this editor shows.
  virtual TEditorScreenStrings& ScreenStrings() = 0;
};

}  // namespace yk
