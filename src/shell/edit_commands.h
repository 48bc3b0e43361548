// Editing commands of the main window that need only an editor: selection
// conversions, centring the caret row, the line jump and the caret
// position text of the status bar.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace yk {

class TEditor;

enum TSelectionConversion { scUpperCase, scLowerCase, scHankaku, scZenkaku };

// Replaces the selection by its conversion, as one edit; nothing without a
// selection or in a read-only editor. A box selection stays a box: each
// row's piece is converted and put back in its own row over the same
// rectangle, and the document's end keeps or lacks its line end as before.
void ConvertSelection(TEditor& ed, TSelectionConversion conversion);

// Scrolls so the caret row sits a third down the view when it lies in the
// top or bottom fifth of it (or outside); otherwise the view stays.
void CenterCaretRow(TEditor& ed);

// 行番号には整数を入力してください。
inline constexpr std::string_view kJumpLineError =
    "\x8d\x73\x94\xd4\x8d\x86\x82\xc9\x82\xcd\x90\xae\x90\x94\x82\xf0\x93\xfc\x97\xcd\x82\xb5\x82\xc4\x82\xad\x82\xbe"
    "\x82\xb3\x82\xa2\x81\x42";

// The number typed in the line-jump field: a decimal integer, with an
// optional sign, ASCII or full-width digits and blanks around it; values
// beyond the int range saturate. nullopt for anything else (the caller
// shows kJumpLineError and leaves the caret alone).
std::optional<int> ParseJumpLine(std::string_view field);

// Puts the caret at the start of logical line jumpLine (1-based) with no
// selection, centred and scrolled into view. A line of 0 or less goes to
// the first line, one past the end to the last.
void GotoJumpLine(TEditor& ed, int jumpLine);

// After GotoJumpLine: moves jumpColumn characters on and selects
// jumpSelLength from there, then sets jumpColumn to -1. Nothing when
// jumpColumn is -1.
void ApplyJumpColumn(TEditor& ed, int& jumpColumn, int jumpSelLength);

// Moves the caret to a row (a mark) and centres it.
void GotoRow(TEditor& ed, int row);

// Status panel 0: "%5d[%d] 行:%5d[%d] 桁" with the row, its logical line,
// the column and the byte column in the logical line, all from 1.
std::string CaretPositionText(const TEditor& ed);

}  // namespace yk
