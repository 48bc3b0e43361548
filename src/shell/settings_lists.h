// Lists that every window of the user shares through the settings file:
// where they live, and reading and changing them under the file's lock.
#pragma once

#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "props/ini_text.h"

namespace yk {

// Where a list lives in the settings file (section, ident of the list).
struct TListPlace {
  std::string_view Section;
  std::string_view Ident;
};
inline constexpr TListPlace kRecentFilesPlace{"RecentFiles", "file"};
inline constexpr TListPlace kRecentLinesPlace{"RecentFilesLine", "line"};
inline constexpr TListPlace kRecentStylesPlace{"RecentStyle", "style"};
inline constexpr TListPlace kFavoritesPlace{"Favorites", "list"};
inline constexpr TListPlace kDicListPlace{"DicList", "list"};

std::vector<std::string> ReadIniList(const TIniText& text, TListPlace place);
bool WriteIniList(TIniText& text, TListPlace place, const std::vector<std::string>& lines);

// The settings file's text; empty when it is missing or cannot be read.
TIniText LoadSettingsIni(const std::string& settingsPath);

// Reads the settings file under its lock, lets change edit its text (true:
// changed) and writes the result in the same locked step, so changes that
// other processes make meanwhile are kept. EFileError when the file cannot
// be written; it then stays as it was.
void EditSettingsIni(const std::string& settingsPath, const std::function<bool(TIniText&)>& change);

// A whole list read, or replaced under the lock.
std::vector<std::string> LoadSettingsList(const std::string& settingsPath, TListPlace place);
void StoreSettingsList(const std::string& settingsPath, TListPlace place, const std::vector<std::string>& lines);

}  // namespace yk
