// How the document is cut into printed lines and pages: a row wider than
// the page goes on in the next printed line, and every page is labelled.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace yk {

// Where the printed lines of one row start (byte offsets), for a page
// `columns` columns wide: 0 first, then wherever the next character would
// pass the right edge. A double-byte character is never cut: it goes whole
// to the next line. Every line holds at least one character, so a page
// narrower than one double-byte character still prints all of the row.
std::vector<std::size_t> PrintLineStarts(std::string_view row, int columns);

// Pages needed for `lines` printed lines, `linesPerPage` to a page; at
// least 1, so an empty document prints one empty page.
int PrintPageCount(long long lines, int linesPerPage);

// The page number as the header shows it: "1 / 3".
std::string PageLabel(int page, int pages);

}  // namespace yk
