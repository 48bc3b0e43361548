// Matching brackets through the text search routine.
#include "shell/bracket_jump.h"

#include "editor/editor.h"
#include "shell/edit_commands.h"

namespace yk {

namespace {

// Whether a found bracket lies between the start and the partner at p.
bool Before(std::int64_t found, std::int64_t p, bool forward) { return forward ? found < p : found > p; }

// The offset of the partner of the bracket at start, or -1.
std::int64_t PartnerOffset(std::string_view text, std::int64_t start, const TBracketPair& pair,
                           TSearchOptions options) {
  const bool forward = (options & sfForward) != 0;
  int depth = 1;
  TSearchRange partner{start, static_cast<std::int64_t>(pair.Bracket.size())};
  TSearchRange nested = partner;
  while (depth >= 1) {
    if (!SearchText(text, partner, pair.Partner, options)) return -1;
    --depth;
    // Brackets of the same kind between the last one counted and this
    // partner open one more level each.
    TSearchRange next = nested;
    while (SearchText(text, next, pair.Bracket, options) && Before(next.Start, partner.Start, forward)) {
      nested = next;
      ++depth;
    }
  }
  return partner.Start;
}

}  // namespace

int BracketIndex(std::string_view token) {
  for (int i = 0; i < 16; ++i)
    if (kBrackets[i].Bracket == token) return i;
  return -1;
}

bool JumpToMatchingBracket(TEditor& ed, TSearchOptions searchOptions) {
  const int i = BracketIndex(ed.TokenStringFromCaret());
  if (i < 0) return false;
  TSearchOptions options = searchOptions & (sfMatchCase | sfNoMatchZenkaku);
  if (i % 2 == 0) options |= sfForward;
  const std::string text = ed.Lines().GetTextStr();
  const std::int64_t start = ed.OffsetFromRowCol(0, ed.Row(), ed.Col());
  const std::int64_t p = PartnerOffset(text, start, kBrackets[i], options);
  if (p < 0) {
    ed.CancelSelection();
    return false;
  }
  ed.SetSelStart(p);
  CenterCaretRow(ed);
  return true;
}

}  // namespace yk
