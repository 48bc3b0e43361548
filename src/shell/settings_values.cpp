// Reading and writing plain settings values.
#include "shell/settings_values.h"

#include "props/names.h"
#include "props/settings_file.h"
#include "text/errors.h"

namespace yk {

bool IniBool(const TIniText& ini, std::string_view section, std::string_view key, bool def) {
  return IniInt(ini, section, key, def ? 1 : 0) != 0;
}

int IniInt(const TIniText& ini, std::string_view section, std::string_view key, int def) {
  const std::optional<std::string> text = ini.Read(section, key);
  int n = 0;
  return text && ParseInt32(*text, n) ? n : def;
}

std::string IniString(const TIniText& ini, std::string_view section, std::string_view key, std::string def) {
  std::optional<std::string> text = ini.Read(section, key);
  return text ? std::move(*text) : std::move(def);
}

TIniText ReadIniFile(const std::string& path) {
  try {
    return TIniText(ReadSettingsFile(path).value_or(std::string()));
  } catch (const Exception&) {
    return TIniText();
  }
}

void WriteIniValues(const std::string& path, const std::vector<TIniValue>& values) {
  EditSettingsFile(path, [&](const std::optional<std::string>& current) -> std::optional<std::string> {
    TIniText ini(current.value_or(std::string()));
    bool changed = !current.has_value();
    for (const TIniValue& v : values) changed |= ini.Write(v.section, v.key, v.value);
    if (!changed) return std::nullopt;
    return ini.Text();
  });
}

}  // namespace yk
