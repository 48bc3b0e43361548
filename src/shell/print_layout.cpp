// Printed lines and pages of a document.
#include "shell/print_layout.h"

#include <algorithm>

#include "text/cp932.h"

namespace yk {

std::vector<std::size_t> PrintLineStarts(std::string_view row, int columns) {
  const std::size_t width = static_cast<std::size_t>(std::max(1, columns));
  std::vector<std::size_t> starts{0};
  std::size_t start = 0;
  for (std::size_t i = 0; i < row.size(); i = cp932::NextChar(row, i)) {
    // A column is a byte, so the character ends at i + its length.
    if (i > start && i + cp932::CharLength(row, i) - start > width) {
      starts.push_back(i);
      start = i;
    }
  }
  return starts;
}

int PrintPageCount(long long lines, int linesPerPage) {
  const long long per = std::max(1, linesPerPage);
  return static_cast<int>(std::max(1LL, (lines + per - 1) / per));
}

std::string PageLabel(int page, int pages) { return std::to_string(page) + " / " + std::to_string(pages); }

}  // namespace yk
