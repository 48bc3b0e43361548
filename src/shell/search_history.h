// The search dialogs' histories in the settings file. A settings value
// holds no line break, yet a search text may (a selection over lines):
// such a history is stored escaped and marked so, and read back whole.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "props/ini_text.h"
#include "shell/settings_lists.h"

namespace yk {

inline constexpr TListPlace kSearchHistoryPlace{"Hist", "list"};
inline constexpr TListPlace kReplaceHistoryPlace{"RepHist", "list"};

// "\" as "\\", CR as "\r", LF as "\n", NUL as "\0"; and back (an unknown
// or lone escape stands for itself).
std::string EscapeLineBreaks(std::string_view text);
std::string UnescapeLineBreaks(std::string_view text);

// The list at place; escaped when the section says so. A history without
// line breaks is written plainly, as it always was.
std::vector<std::string> ReadSearchHistory(const TIniText& text, TListPlace place);
bool WriteSearchHistory(TIniText& text, TListPlace place, const std::vector<std::string>& history);

// The same on the settings file (an unreadable file reads as empty; a
// write raises EFileError as EditSettingsIni does).
std::vector<std::string> LoadSearchHistory(const std::string& settingsPath, TListPlace place);
void StoreSearchHistory(const std::string& settingsPath, TListPlace place, const std::vector<std::string>& history);

}  // namespace yk
