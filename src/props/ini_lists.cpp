// Counted, numbered lines in an INI text.
#include "props/ini_lists.h"

#include <algorithm>
#include <optional>

#include "props/names.h"

namespace yk {

namespace {

// The line number of key when it is prefix followed by a decimal number
// written without leading zeros.
std::optional<std::size_t> LineNumberOf(std::string_view key, std::string_view prefix) {
  if (key.size() <= prefix.size() || !SameName(key.substr(0, prefix.size()), prefix)) return std::nullopt;
  std::string_view digits = key.substr(prefix.size());
  if (digits.size() > 9 || (digits.size() > 1 && digits[0] == '0')) return std::nullopt;
  std::size_t n = 0;
  for (char c : digits) {
    if (c < '0' || c > '9') return std::nullopt;
    n = n * 10 + static_cast<std::size_t>(c - '0');
  }
  return n;
}

}  // namespace

std::vector<std::string> ReadIniLines(const TIniText& text, std::string_view section, const std::string& countKey,
                                      const std::string& linePrefix) {
  std::vector<std::string> lines;
  const auto values = text.SectionMap(section);
  auto get = [&](const std::string& key) -> const std::string* {
    auto it = values.find(FoldName(key));
    return it == values.end() ? nullptr : &it->second;
  };
  const std::string* countText = get(countKey);
  int count = 0;
  if (!countText || !ParseInt32(*countText, count)) count = 0;
  // A count can only stand for lines that are there (an absent line reads
  // as empty), so it is bounded by the keys of the section.
  count = std::clamp(count, 0, static_cast<int>(values.size()));
  lines.reserve(static_cast<std::size_t>(count));
  for (int i = 0; i < count; ++i) {
    const std::string* line = get(linePrefix + std::to_string(i));
    lines.push_back(line ? *line : std::string());
  }
  return lines;
}

bool WriteIniLines(TIniText& text, std::string_view section, const std::string& countKey,
                   const std::string& linePrefix, const std::vector<std::string>& lines) {
  std::vector<std::string> surplus;
  for (const auto& [key, value] : text.SectionValues(section)) {
    auto n = LineNumberOf(key, linePrefix);
    if (n && *n >= lines.size()) surplus.push_back(key);
  }
  if (lines.empty()) surplus.push_back(countKey);
  bool changed = text.DeleteMany(section, surplus);
  if (!lines.empty()) {
    std::vector<std::pair<std::string, std::string>> values;
    values.reserve(lines.size() + 1);
    values.emplace_back(countKey, std::to_string(lines.size()));
    for (std::size_t i = 0; i < lines.size(); ++i) values.emplace_back(linePrefix + std::to_string(i), lines[i]);
    changed = text.WriteMany(section, values) || changed;
  }
  return changed;
}

std::vector<std::string> ReadIniStrings(const TIniText& text, std::string_view section, std::string_view ident) {
  const std::string id(ident);
  return ReadIniLines(text, section, id + "_ItemCount", id + "_Item");
}

bool WriteIniStrings(TIniText& text, std::string_view section, std::string_view ident,
                     const std::vector<std::string>& lines) {
  const std::string id(ident);
  return WriteIniLines(text, section, id + "_ItemCount", id + "_Item", lines);
}

}  // namespace yk
