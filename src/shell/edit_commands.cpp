// Selection conversions, caret centring, line jumps and the caret text.
#include "shell/edit_commands.h"

#include <algorithm>
#include <climits>
#include <cstdio>

#include "convert/letter_case.h"
#include "convert/zenhan.h"
#include "editor/editor.h"
#include "text/undo.h"

namespace yk {

namespace {

std::string Convert(std::string_view text, TSelectionConversion conversion) {
  switch (conversion) {
    case scUpperCase: return UpperCase(text);
    case scLowerCase: return LowerCase(text);
    case scHankaku: return ZenkakuToHankaku(text);
    case scZenkaku: return HankakuToZenkaku(text);
  }
  return std::string(text);
}

// A box's text has one line per row, also for the empty row after the last
// line that a box may reach; pasting such a line back would add a row of
// blanks, so the text is cut to the rows that exist.
std::string BoxRowsThatExist(const TEditor& ed, std::string text) {
  const TSelectionRange& r = ed.SelectionRange();
  const int rows = std::min(r.endRow, ed.RowCount() - 1) - r.startRow + 1;
  std::size_t p = 0;
  for (int i = 0; i < rows && p != std::string::npos; ++i) {
    p = text.find("\r\n", p);
    if (p != std::string::npos) p += 2;
  }
  if (p != std::string::npos) text.resize(p);
  return text;
}

}  // namespace

// One undo step, which puts the selection back as it was.
void ConvertSelection(TEditor& ed, TSelectionConversion conversion) {
  if (ed.ReadOnly() || !ed.Selected()) return;
  TUndoGroup group(ed.ScreenStrings().UndoObj());
  if (ed.SelectionMode() == smBox) {
    ed.ReplaceBoxSelection(Convert(BoxRowsThatExist(ed, ed.SelText()), conversion));
  } else {
    ed.SetSelTextBuf(Convert(ed.SelText(), conversion));
  }
}

void CenterCaretRow(TEditor& ed) {
  const int v = ed.VisibleRows();
  const int d = ed.Row() - ed.TopRow();
  if (d > v * 4 / 5 || d < v / 5) ed.SetTopRow(ed.Row() - v / 3);
}

std::optional<int> ParseJumpLine(std::string_view field) {
  auto blank = [](char c) { return c == ' ' || c == '\t'; };
  while (!field.empty() && blank(field.front())) field.remove_prefix(1);
  while (!field.empty() && blank(field.back())) field.remove_suffix(1);
  bool negative = false;
  if (!field.empty() && (field.front() == '+' || field.front() == '-')) {
    negative = field.front() == '-';
    field.remove_prefix(1);
  }
  if (field.empty()) return std::nullopt;
  long long value = 0;
  for (std::size_t i = 0; i < field.size(); ++i) {
    int digit = -1;
    const unsigned char c = static_cast<unsigned char>(field[i]);
    if (c >= '0' && c <= '9') {
      digit = c - '0';
    } else if (c == 0x82 && i + 1 < field.size()) {  // ０-９ are 0x82 0x4F-0x58
      const unsigned char t = static_cast<unsigned char>(field[++i]);
      if (t >= 0x4F && t <= 0x58) digit = t - 0x4F;
    }
    if (digit < 0) return std::nullopt;
    value = std::min<long long>(value * 10 + digit, 1LL << 40);
  }
  if (negative) value = -value;
  return static_cast<int>(std::clamp<long long>(value, INT_MIN, INT_MAX));
}

void GotoJumpLine(TEditor& ed, int jumpLine) {
  const int lines = ed.Lines().GetCount();
  // Any int may come from another process: line 1 and below is the first.
  const int line = jumpLine <= 1 ? 0 : std::min(jumpLine - 1, std::max(lines - 1, 0));
  ed.SetSelStart(0);
  ed.SetRow(ed.Lines().LineToRow(line));
  CenterCaretRow(ed);
  ed.ScrollCaret();
}

void ApplyJumpColumn(TEditor& ed, int& jumpColumn, int jumpSelLength) {
  if (jumpColumn == -1) return;
  // A column before the line's start moves nowhere.
  ed.SetSelStart(ed.SelStart() + std::max(jumpColumn, 0));
  ed.SetSelLength(jumpSelLength);
  jumpColumn = -1;
  ed.ScrollCaret();
}

void GotoRow(TEditor& ed, int row) {
  ed.SetRow(row);
  CenterCaretRow(ed);
}

std::string CaretPositionText(const TEditor& ed) {
  char text[96];
  // "%5d[%d] 行:%5d[%d] 桁"
  std::snprintf(text, sizeof text, "%5d[%d] \x8d\x73:%5d[%d] \x8c\x85", ed.Row() + 1, ed.RowsToLines(ed.Row()) + 1,
                ed.Col() + 1, ed.LogicalColumn(ed.Row(), ed.Col()) + 1);
  return text;
}

}  // namespace yk
