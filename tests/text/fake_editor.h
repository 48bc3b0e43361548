// A minimal editor attached to a row list, recording what the list asks of it.
#pragma once

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "text/column_map.h"
#include "text/editor_link.h"
#include "text/editor_strings.h"
#include "text/screen_strings.h"

namespace yk::test {

class FakeEditor : public TEditorLink {
 public:
  explicit FakeEditor(std::shared_ptr<TEditorScreenStrings> rows = nullptr)
      : rows_(rows ? rows : std::make_shared<TEditorScreenStrings>()), lines(*this) {
    rows_->AddEditor(this);
  }
  ~FakeEditor() override { rows_->RemoveEditor(this); }

  int Row() const override { return row; }
  int Col() const override { return col; }
  void SetRow(int r) override { row = r; }
  void SetCol(int c) override { col = c; }
  int TopRow() const override { return top; }
  void SetTopRow(int r) override { top = r; }
  void CleanSelection() override { ++selectionDrops; }
  void SetCaretByRowOffset(int r, long long offset) override {
    row = r;
    col = static_cast<int>(offset);
  }
  bool Focused() const override { return focused; }
  TSelectionSpan SelectionSpan() const override { return selection ? *selection : TSelectionSpan{row, col, row, col}; }
  void SetSelectionSpan(const TSelectionSpan& span) override {
    selection = span;
    row = span.row;
    col = span.col;
  }
  void StringsChanged() override {
    ++changes;
    lastChange = rows_->ChangedRange();
    if (lastChange.dirty) modified = true;
  }
  void RepaintRow(int r) override { repainted.push_back(r); }
  void RepaintAll() override { ++fullRepaints; }
  int DisplayRowCount() const override { return displayRows; }
  int TabSpaceCount() const override { return tabWidth; }
  const std::bitset<256>& WordDelimiters() const override { return DefaultWordDelimiters(); }
  const TParserRules* ParserRules() const override { return &rules; }
  TEditorScreenStrings& ScreenStrings() override { return *rows_; }

  TEditorScreenStrings& Rows() { return *rows_; }
  std::shared_ptr<TEditorScreenStrings> Shared() { return rows_; }

  int row = 0, col = 0, top = 0;
  int selectionDrops = 0, changes = 0, fullRepaints = 0;
  int displayRows = 10;
  int tabWidth = 8;
  bool focused = false, modified = false;
  std::vector<int> repainted;
  TChangedRange lastChange;
  std::optional<TSelectionSpan> selection;  // none: the caret only
  TParserRules rules;

 private:
  std::shared_ptr<TEditorScreenStrings> rows_;

 public:
  TEditorStrings lines;
};

// Rows as "text|A" joined by spaces, A = C (line end), W (wrapped), E (end).
inline std::string Dump(const TPointerStringList& rows) {
  std::string out;
  for (int i = 0; i < rows.GetCount(); ++i) {
    if (i) out += ' ';
    out += rows.Row(i);
    out += '|';
    out += "CWEI"[rows.GetRowAttribute(i)];
  }
  return out;
}

// The kinds of the rows' line ends, one letter per raCrlf row: 2 for CR LF,
// n for LF, r for CR.
inline std::string DumpLineEnds(const TPointerStringList& rows) {
  std::string out;
  for (int i = 0; i < rows.GetCount(); ++i)
    if (rows.GetRowAttribute(i) == raCrlf) out += "2nr"[static_cast<int>(rows.RowLineEnd(i))];
  return out;
}

}  // namespace yk::test
