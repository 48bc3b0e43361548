// Fuzz target: arbitrary bytes as comma text (split, joined and split
// again) and as an input-support dictionary file.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "shell/comma_text.h"
#include "shell/dictionary.h"
#include "text/cp932.h"

namespace {

void CheckFailed(const char* what, int line) {
  std::fprintf(stderr, "comma_text_fuzz.cpp:%d: check failed: %s\n", line, what);
  std::abort();
}
#define CHECK(cond) ((cond) ? (void)0 : CheckFailed(#cond, __LINE__))

bool EndsInLoneLead(std::string_view s) {
  std::size_t i = 0;
  while (i < s.size() && i + yk::cp932::CharLength(s, i) < s.size()) i += yk::cp932::CharLength(s, i);
  return i < s.size() && i + 1 == s.size() && yk::cp932::IsLeadByte(s[i]);
}

void CheckCommaText(std::string_view input) {
  const std::vector<std::string> fields = yk::SplitCommaText(input);
  std::size_t bytes = 0;
  for (const std::string& f : fields) bytes += f.size();
  CHECK(bytes <= input.size());
  // What the splitter gives, the joiner writes so that it splits the same;
  // a field ending in a lead byte without its trail can only be the last.
  bool representable = true;
  for (std::size_t f = 0; f + 1 < fields.size(); ++f) representable &= !EndsInLoneLead(fields[f]);
  if (representable) CHECK(yk::SplitCommaText(yk::JoinCommaText(fields)) == fields);
  std::size_t i = 0;
  yk::ForEachCommaField(input, [&](std::string_view f) {
    CHECK(i < fields.size() && f == fields[i]);
    ++i;
  });
  CHECK(i == fields.size());
}

void CheckDictionary(std::string_view input) {
  const yk::TDictionaryLoad load = yk::ParseDictionary(input);
  if (load.Status == yk::dlsFailed) {
    CHECK(!load.Grid && !load.Error.empty());
    return;
  }
  CHECK(load.Grid.has_value() == (load.Status == yk::dlsLoaded));
  if (!load.Grid) return;
  const yk::TDictionaryGrid& g = *load.Grid;
  CHECK(g.ColCount() >= 1 && g.ColCount() <= yk::kMaxDictionaryColumns);
  CHECK(g.RowCount() >= 1);
  std::size_t bytes = 0;
  for (int r = 0; r < g.RowCount(); ++r) {
    for (int c = 0; c < g.ColCount(); ++c) bytes += g.Cell(c, r).size();
    // The look-up finds this row's word at this row or one above it.
    const int found = g.FindRow(g.Cell(0, r));
    CHECK(found >= 0 && found <= r);
  }
  CHECK(bytes <= input.size());
  CHECK(g.Cell(-1, 0).empty() && g.Cell(g.ColCount(), 0).empty());
  CHECK(g.Cell(0, -1).empty() && g.Cell(0, g.RowCount()).empty());
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view input(reinterpret_cast<const char*>(data), size);
  CheckCommaText(input);
  CheckDictionary(input);
  return 0;
}
