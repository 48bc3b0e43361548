// Where a logical line breaks into screen rows under the word-wrap option:
// double-byte characters kept whole, word breaks, hanging punctuation and
// the characters that may not begin or end a row.
#pragma once

#include <cstddef>
#include <string_view>
#include <vector>

#include "text/column_map.h"
#include "text/wrap_option.h"

namespace yk {

// What the break of a line depends on besides the line itself.
struct TWrapContext {
  const TEditorWrapOption& option;
  int tabWidth;                     // the editor's TabSpaceCount
  const TDelimiterSet& delimiters;  // the editor's WordDelimiters
};

// Breaks one logical line (no line-end bytes) into rows: appends the byte
// length of each row to rowLengths. The lengths sum to line.size(); only the
// last may be 0 (the empty row that carries the line end when the line ends
// exactly at a break and FollowRetMark is off). No row ends between the two
// bytes of a double-byte character. A line narrower than WrapByte gives one
// row without building a column map.
void BreakLine(std::string_view line, const TWrapContext& ctx, std::vector<std::size_t>& rowLengths);

// The number of rows BreakLine gives for the line, without emitting them.
int CountWrapRows(std::string_view line, const TWrapContext& ctx);

}  // namespace yk
