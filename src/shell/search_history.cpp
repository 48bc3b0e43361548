// Search histories with whole texts.
#include "shell/search_history.h"

#include <algorithm>

namespace yk {

namespace {

// The section's mark that its list is escaped.
constexpr std::string_view kEscapedKey = "Escaped";

bool HasLineBreak(const std::string& text) {
  return text.find_first_of(std::string_view("\r\n\0", 3)) != std::string::npos;
}

}  // namespace

std::string EscapeLineBreaks(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (char c : text) {
    switch (c) {
      case '\\': out += "\\\\"; break;
      case '\r': out += "\\r"; break;
      case '\n': out += "\\n"; break;
      case '\0': out += "\\0"; break;
      default: out += c; break;
    }
  }
  return out;
}

// A backslash is never a trail byte of CP932, so a plain byte scan is safe.
std::string UnescapeLineBreaks(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (std::size_t i = 0; i < text.size(); ++i) {
    const char next = i + 1 < text.size() ? text[i + 1] : '\0';
    if (text[i] != '\\' || (next != '\\' && next != 'r' && next != 'n' && next != '0')) {
      out += text[i];
      continue;
    }
    out += next == 'r' ? '\r' : next == 'n' ? '\n' : next == '0' ? '\0' : '\\';
    ++i;
  }
  return out;
}

std::vector<std::string> ReadSearchHistory(const TIniText& text, TListPlace place) {
  std::vector<std::string> history = ReadIniList(text, place);
  if (text.Read(place.Section, kEscapedKey).value_or("0") == "1") {
    for (std::string& entry : history) entry = UnescapeLineBreaks(entry);
  }
  return history;
}

bool WriteSearchHistory(TIniText& text, TListPlace place, const std::vector<std::string>& history) {
  if (std::none_of(history.begin(), history.end(), HasLineBreak)) {
    const bool changed = WriteIniList(text, place, history);
    return text.Delete(place.Section, kEscapedKey) || changed;
  }
  std::vector<std::string> escaped;
  escaped.reserve(history.size());
  for (const std::string& entry : history) escaped.push_back(EscapeLineBreaks(entry));
  const bool changed = WriteIniList(text, place, escaped);
  return text.Write(place.Section, kEscapedKey, "1") || changed;
}

std::vector<std::string> LoadSearchHistory(const std::string& settingsPath, TListPlace place) {
  return ReadSearchHistory(LoadSettingsIni(settingsPath), place);
}

void StoreSearchHistory(const std::string& settingsPath, TListPlace place, const std::vector<std::string>& history) {
  EditSettingsIni(settingsPath, [&](TIniText& text) { return WriteSearchHistory(text, place, history); });
}

}  // namespace yk
