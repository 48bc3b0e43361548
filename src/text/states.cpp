// Carried highlight states: the bracket pair open at the start of each row,
// kept up to date as far as needed and computed lazily beyond that.
#include <algorithm>
#include <cstring>

#include "text/screen_strings.h"

namespace yk {

namespace {

bool Contains(std::string_view text, char c) { return std::memchr(text.data(), c, text.size()) != nullptr; }

}  // namespace

// The owner editor's parser, which a descendant editor may replace, so that
// every scan of the row list cuts tokens as painting does.
std::unique_ptr<TEditorParser> TEditorScreenStrings::CreateParser(std::string_view text, int state) const {
  TEditorLink* owner = OwnerEditor();
  return owner ? owner->CreateParser(text, state) : std::make_unique<TEditorParser>(Rules(), text, state);
}

std::string TEditorScreenStrings::HeadToken(int row) const {
  if (row < 0 || row >= GetCount()) return {};
  std::string_view text = Row(row);
  if (text.empty()) return {};
  std::unique_ptr<TEditorParser> parser = CreateParser(text, kStateOutside);
  if (parser->TokenOffset() == 0) parser->NextToken();
  return std::string(text.substr(0, static_cast<std::size_t>(parser->TokenOffset())));
}

// A pair can only open where its left bracket stands and close where its
// right bracket stands, so a text holding neither first byte keeps its
// state without being parsed.
bool TEditorScreenStrings::StateMayChange(std::string_view text, int state) const {
  const TParserRules* rules = Rules();
  if (!rules || rules->brackets.empty() || text.empty()) return false;
  const auto& pairs = rules->brackets;
  if (state >= 0 && static_cast<std::size_t>(state) < pairs.size()) {
    const std::string& right = pairs[static_cast<std::size_t>(state)].right;
    return !right.empty() && Contains(text, right[0]);
  }
  if (state == kStateOutside)
    return std::any_of(pairs.begin(), pairs.end(),
                       [&](const TBracketRule& p) { return !p.left.empty() && Contains(text, p.left[0]); });
  return true;
}

// Bracket state at the end of `text` when it starts in `state`.
int TEditorScreenStrings::ScanState(std::string_view text, int state) const {
  const TParserRules* rules = Rules();
  if (!rules || rules->brackets.empty()) return state == kStateNotComputed ? state : kStateOutside;
  if (!StateMayChange(text, state)) return state;
  std::unique_ptr<TEditorParser> parser = CreateParser(text, state);
  while (parser->Token() != toEof) parser->NextToken();
  return parser->BracketState();
}

// A token cut by a wrap break ends on the next row, so a raWrapped row is
// scanned with the head of the next one; the two are joined only when a
// bracket byte in either could make a difference.
int TEditorScreenStrings::RowEndState(int row, int state) const {
  if (row < 0 || row >= GetCount()) return state;
  std::string_view text = Row(row);
  if (wrap_enabled_ && row + 1 < GetCount() && GetRowAttribute(row) == raWrapped &&
      (StateMayChange(text, state) || StateMayChange(Row(row + 1), state))) {
    std::string joined(text);
    joined.append(HeadToken(row + 1));
    return ScanState(joined, state);
  }
  return ScanState(text, state);
}

// Bytes that can change `state` where they stand: the first byte of the
// open pair's right bracket, or of any left bracket outside a pair. False
// when any byte may (a state that names no pair).
bool TEditorScreenStrings::StateTriggers(int state, std::string& bytes) const {
  bytes.clear();
  const TParserRules* rules = Rules();
  if (!rules) return true;
  const auto& pairs = rules->brackets;
  if (state >= 0 && static_cast<std::size_t>(state) < pairs.size()) {
    const std::string& right = pairs[static_cast<std::size_t>(state)].right;
    if (!right.empty()) bytes += right[0];
    return true;
  }
  if (state != kStateOutside) return false;
  for (const TBracketRule& p : pairs)
    if (!p.left.empty() && bytes.find(p.left[0]) == std::string::npos) bytes += p.left[0];
  return true;
}

// Without bracket pairs every row is outside; with them, only the first
// screens are computed now and the rest when painting asks for them, so
// loading or restyling a large document does not scan all of it.
void TEditorScreenStrings::UpdateAllStates() {
  if (OwnerLoading()) return;
  const TParserRules* rules = Rules();
  if (!rules || rules->brackets.empty()) {
    FillRowStates(0, GetCount(), kStateOutside, false);
    return;
  }
  MarkStatesUnknownFrom(0);
  UpdateStatesFrom(0, false);
}

void TEditorScreenStrings::UpdateStatesFrom(int row, bool repaint) {
  const int rows = GetCount();
  if (row < 0 || row >= rows) return;
  int known = std::min(row, StatesUnknownFrom()) - 1;
  while (known >= 0 && GetRowState(known) == kStateNotComputed) --known;
  int i = known + 1;
  int state = known >= 0 ? RowEndState(known, GetRowState(known)) : kStateOutside;

  TEditorLink* owner = OwnerEditor();
  const int screen = owner ? std::max(owner->DisplayRowCount(), 1) : 1;
  const int horizon = static_cast<int>(std::min<std::int64_t>(static_cast<std::int64_t>(row) + 2 * screen, rows - 1));
  std::string triggers;
  while (i <= horizon) {
    // Rows before the next one holding a trigger byte end in the state they
    // start with; the row just before it may join that row's head when it
    // is wrapped, so it is scanned.
    if (StateTriggers(state, triggers)) {
      const int quietTo = std::min(FindRowWithAny(i, horizon + 1, triggers) - 1, horizon);
      if (i < quietTo) {
        // A row that already holds the state to store proves everything
        // after it is still valid.
        const int stop = FillRowStates(i, quietTo, state, true);
        if (repaint)
          for (int r = i; r < stop; ++r)
            for (TEditorLink* e : Editors()) e->RepaintRow(r);
        if (stop < quietTo) return;
        i = quietTo;
      }
    }
    if (GetRowState(i) == state) return;
    SetRowState(i, state);
    if (repaint)
      for (TEditorLink* e : Editors()) e->RepaintRow(i);
    state = RowEndState(i, state);
    ++i;
  }
  MarkStatesUnknownFrom(horizon + 1);
}

}  // namespace yk
