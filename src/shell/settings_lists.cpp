// Shared lists in the settings file.
#include "shell/settings_lists.h"

#include "props/ini_lists.h"
#include "props/settings_file.h"
#include "text/errors.h"

namespace yk {

std::vector<std::string> ReadIniList(const TIniText& text, TListPlace place) {
  return ReadIniStrings(text, place.Section, place.Ident);
}

bool WriteIniList(TIniText& text, TListPlace place, const std::vector<std::string>& lines) {
  return WriteIniStrings(text, place.Section, place.Ident, lines);
}

TIniText LoadSettingsIni(const std::string& settingsPath) {
  try {
    return TIniText(ReadSettingsFile(settingsPath).value_or(std::string()));
  } catch (const EFileError&) {
    return TIniText();
  }
}

void EditSettingsIni(const std::string& settingsPath, const std::function<bool(TIniText&)>& change) {
  EditSettingsFile(settingsPath, [&](const std::optional<std::string>& current) -> std::optional<std::string> {
    TIniText text(current.value_or(std::string()));
    if (!change(text)) return std::nullopt;
    return text.Text();
  });
}

std::vector<std::string> LoadSettingsList(const std::string& settingsPath, TListPlace place) {
  return ReadIniList(LoadSettingsIni(settingsPath), place);
}

void StoreSettingsList(const std::string& settingsPath, TListPlace place, const std::vector<std::string>& lines) {
  EditSettingsIni(settingsPath, [&](TIniText& text) { return WriteIniList(text, place, lines); });
}

}  // namespace yk
