// The kinds of line ends that an edit keeps and gives.
#include "text/line_end.h"

#include <algorithm>

namespace yk {

TLineEnd LineEndAt(const TOtherLineEnds& others, std::uint32_t i, TLineEnd base) {
  auto it = std::lower_bound(others.begin(), others.end(), i,
                             [](const TOtherLineEnd& e, std::uint32_t v) { return e.index < v; });
  return it != others.end() && it->index == i ? it->kind : base;
}

std::uint32_t CountLineEnds(std::string_view text) {
  std::uint32_t n = 0;
  for (std::size_t p = FindLineEnd(text, 0); p != std::string_view::npos; p = FindLineEnd(text, p)) {
    ++n;
    p += text[p] == '\r' && p + 1 < text.size() && text[p + 1] == '\n' ? 2 : 1;
  }
  return n;
}

// Only the old rows' other kinds and, when the text brings more line ends
// than it replaces, those new ones are visited: a uniform document's edit
// costs nothing here.
TOtherLineEnds ComposeLineEnds(const TOtherLineEnds& old, std::uint32_t p, std::uint32_t m, std::uint32_t s,
                               std::uint32_t n, TLineEnd inherited, TLineEnd base) {
  TOtherLineEnds out;
  const std::uint32_t fresh = n > m ? n - m : 0;  // text line ends [0, fresh) match no replaced one
  auto put = [&](std::uint32_t index, TLineEnd kind) {
    if (kind != base) out.push_back({index, kind});
  };
  for (const TOtherLineEnd& e : old)
    if (e.index < p) put(e.index, e.kind);
  if (inherited != base)
    for (std::uint32_t j = 0; j < fresh; ++j) put(p + j, inherited);
  // Replaced line end i (from p) matches text line end i + n - m when that
  // is not negative; the first m - n of them (n < m) are joined away.
  for (const TOtherLineEnd& e : old)
    if (e.index >= p && e.index < p + m && e.index - p + n >= m) put(e.index - p + n - m + p, e.kind);
  for (const TOtherLineEnd& e : old)
    if (e.index >= p + m && e.index < p + m + s) put(e.index - m + n, e.kind);
  return out;
}

}  // namespace yk
