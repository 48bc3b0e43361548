// What the main window draws over each painted piece of a row: the topic
// word in bold, and small symbols for tabs and full-width spaces.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "editor/editor.h"
#include "platform/surface.h"

namespace yk {

enum TTabMark { tmArrow = 0, tmChevron = 1, tmNoTab = 2 };
enum TSpaceMark { smkBox = 0, smkBracket = 1, smkNoSpace = 2 };

// True when token equals one of the topics, letter case ignored (ASCII,
// full-width, Greek and Cyrillic letters).
bool IsTopicWord(const std::vector<std::string>& topics, std::string_view token);

// Draws the decorations of one piece (as the editor reports it to its
// draw-line hook) onto surface: tokens equal to one of the topics (letter
// case ignored; no topic or only empty ones highlight nothing) in bold, and
// the symbols of tabs (a TTabMark) and full-width spaces (a TSpaceMark).
void DrawLineDecorations(TSurface& surface, TEditor& editor, const TDrawLineInfo& info,
                         const std::vector<std::string>& topics, int tabMark, int spaceMark);

// The symbols alone, at a cell whose top-left is (x, y); colour is the pen.
void DrawTabSymbol(TSurface& surface, TEditor& editor, int mark, int x, int y, TColor color);
void DrawSpaceSymbol(TSurface& surface, TEditor& editor, int mark, int x, int y, TColor color);

}  // namespace yk
