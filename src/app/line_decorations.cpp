// The topic word and the tab and full-width space symbols over a painted row.
#include "app/line_decorations.h"

#include <algorithm>
#include <climits>
#include <cstring>

#include "convert/letter_case.h"
#include "text/parser.h"

namespace yk {

namespace {

constexpr std::string_view kWideSpace = "\x81\x40";  // 　

int ClampToInt(long long v) { return static_cast<int>(std::clamp<long long>(v, INT_MIN / 2, INT_MAX / 2)); }

bool AnyTopic(const std::vector<std::string>& topics) {
  return std::any_of(topics.begin(), topics.end(), [](const std::string& t) { return !t.empty(); });
}

// The topics are upper-cased once for a row, not again for every token.
std::vector<std::string> UpperTopics(const std::vector<std::string>& topics) {
  std::vector<std::string> upper;
  upper.reserve(topics.size());
  for (const std::string& topic : topics) upper.push_back(UpperCase(topic));
  return upper;
}

bool IsUpperTopic(const std::vector<std::string>& upperTopics, std::string_view token) {
  std::string upper;
  for (const std::string& topic : upperTopics) {
    // Changing case keeps the length, so only tokens of a topic's length
    // are compared.
    if (topic.empty() || topic.size() != token.size()) continue;
    if (upper.empty()) upper = UpperCase(token);
    if (topic == upper) return true;
  }
  return false;
}

// The piece's text is cut into tokens afresh: a topic is any token, also
// inside a string or a comment.
void DrawTopics(TSurface& surface, TEditor& editor, const TDrawLineInfo& info, const std::vector<std::string>& topics) {
  if (!AnyTopic(topics)) return;
  const TEditorColor& select = editor.View().Colors().Select();
  const TColor color = info.selected ? select.Color() : select.BkColor();
  const long long cw = editor.ColWidth();
  const std::vector<std::string> upper = UpperTopics(topics);
  for (TEditorParser parser(info.lineStr); parser.Token() != toEof; parser.NextToken()) {
    const long long x = info.x + parser.TokenOffset() * cw;
    if (x >= info.rect.right) break;
    if (x + parser.TokenLength() * cw <= info.rect.left) continue;
    if (!IsUpperTopic(upper, parser.TokenString())) continue;
    surface.TextRun(ClampToInt(x), info.y, editor.ColWidth(), parser.TokenString(), color, clNone, {fsBold},
                    info.rect);
  }
}

bool HasTabOrWideSpace(std::string_view row) {
  return std::memchr(row.data(), '\t', row.size()) != nullptr || row.find(kWideSpace) != std::string_view::npos;
}

// Positions come from the row's own bytes: each tab before a token widens
// the row by the cells it fills beyond its own.
void DrawBlankSymbols(TSurface& surface, TEditor& editor, const TDrawLineInfo& info, int tabMark, int spaceMark) {
  if (tabMark == tmNoTab && spaceMark == smkNoSpace) return;
  if (info.index < 0 || info.index >= editor.RowCount()) return;
  const std::string_view row = editor.ScreenStrings().Row(info.index);
  if (!HasTabOrWideSpace(row)) return;
  const int cw = editor.ColWidth();
  const int tabs = std::max(1, editor.TabSpaceCount());
  const TColor color =
      info.selected ? editor.View().Colors().Select().Color() : editor.Marks().RetMark().Color();
  const long long base = editor.Margin().Left() - static_cast<long long>(editor.HorzOffset());
  const TRect& r = info.rect;
  long long sum = 0;  // pixels added by the tabs so far
  for (TEditorParser parser(row); parser.Token() != toEof; parser.NextToken()) {
    const long long pos = parser.TokenOffset();
    const long long x = base + pos * cw + sum;
    if (x > r.right) break;  // everything further is right of the piece
    if (parser.Token() == toTab) {
      if (r.left <= x && x <= r.right - cw) DrawTabSymbol(surface, editor, tabMark, ClampToInt(x), info.y, color);
      sum += static_cast<long long>(cw) * (tabs - ((sum / cw + pos) % tabs) - 1);
    } else if (parser.Token() == toDBSymbol && parser.TokenString() == kWideSpace) {
      if (r.left <= x && x <= r.right - 2 * cw)
        DrawSpaceSymbol(surface, editor, spaceMark, ClampToInt(x), info.y, color);
    }
  }
}

}  // namespace

bool IsTopicWord(const std::vector<std::string>& topics, std::string_view token) {
  return IsUpperTopic(UpperTopics(topics), token);
}

void DrawLineDecorations(TSurface& surface, TEditor& editor, const TDrawLineInfo& info,
                         const std::vector<std::string>& topics, int tabMark, int spaceMark) {
  if (editor.ColWidth() <= 0 || info.rect.Empty()) return;
  DrawTopics(surface, editor, info, topics);
  DrawBlankSymbols(surface, editor, info, tabMark, spaceMark);
}

void DrawTabSymbol(TSurface& surface, TEditor& editor, int mark, int x, int y, TColor color) {
  if (mark != tmArrow && mark != tmChevron) return;
  const int cw = editor.ColWidth();
  x += 1;
  y += (editor.CaretRowHeight() - editor.Margin().Line()) / 2;  // the middle of the text
  const int e = cw / 4 + 1, f = cw / 2 + 2;
  if (mark == tmArrow) {
    surface.Line(x + e, y - e, x + f, y, color);
    surface.Line(x + e, y + e, x + f, y, color);
    surface.Line(x, y, x + f + 1, y, color);
  } else {
    surface.Line(x + 1, y - e + 1, x + f - 1, y, color);
    surface.Line(x + 1, y + e - 1, x + f - 1, y, color);
  }
}

void DrawSpaceSymbol(TSurface& surface, TEditor& editor, int mark, int x, int y, TColor color) {
  if (mark != smkBox && mark != smkBracket) return;
  x += 2;
  y += 2;
  const int s = 2 * editor.ColWidth() - 4;
  if (mark == smkBox) {
    // The outline of the square whose right and bottom edges lie at
    // x + s - 1 and y + s - 1 (lines leave out their end points).
    surface.Line(x, y, x + s, y, color);
    surface.Line(x + s - 1, y, x + s - 1, y + s, color);
    surface.Line(x, y + s - 1, x + s, y + s - 1, color);
    surface.Line(x, y, x, y + s, color);
  } else {
    const int k = s / 4;
    surface.Line(x, y + s - k, x, y + s - 1, color);
    surface.Line(x + s, y + s - k, x + s, y + s, color);
    surface.Line(x, y + s - 1, x + s, y + s - 1, color);
  }
}

}  // namespace yk
