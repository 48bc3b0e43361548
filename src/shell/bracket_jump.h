// The jump from a bracket at the caret to its partner, counting nested
// brackets of the same kind.
#pragma once

#include <string_view>

#include "editor/search.h"

namespace yk {

class TEditor;

struct TBracketPair {
  std::string_view Bracket;
  std::string_view Partner;
};

// Even entries open (their partner lies ahead), odd ones close.
inline constexpr TBracketPair kBrackets[16] = {
    {"{", "}"},           {"}", "{"},           {"[", "]"},           {"]", "["},
    {"(", ")"},           {")", "("},           {"\x81\x6f", "\x81\x70"}, {"\x81\x70", "\x81\x6f"},  // ｛ ｝
    {"\x81\x6d", "\x81\x6e"}, {"\x81\x6e", "\x81\x6d"}, {"\x81\x69", "\x81\x6a"}, {"\x81\x6a", "\x81\x69"},  // ［ ］ （ ）
    {"\x81\x75", "\x81\x76"}, {"\x81\x76", "\x81\x75"}, {"\xa2", "\xa3"},     {"\xa3", "\xa2"},          // 「 」 ｢ ｣
};

// The table entry of a token, or -1 when it is no bracket.
int BracketIndex(std::string_view token);

// When the token at the caret is a bracket, moves the caret before its
// partner: the partner and the nested brackets are searched from just past
// the starting bracket (forward for an opening one) or before it (backward
// for a closing one), so "a(b(c)d)e" pairs the first "(" with the last ")".
// The search uses the search dialog's options without whole words and
// without skipping line breaks or blanks; with sfNoMatchZenkaku a bracket
// and its full-width form count as one. A bracket without partner leaves
// the caret and drops the selection. Returns whether the caret moved.
bool JumpToMatchingBracket(TEditor& ed, TSearchOptions searchOptions);

}  // namespace yk
