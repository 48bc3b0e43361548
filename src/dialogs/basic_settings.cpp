// Reading and writing the general settings as plain keys of the settings
// file.
#include "dialogs/basic_settings.h"

#include <cstdlib>
#include <optional>
#include <vector>

#include "platform/cp932_codec.h"
#include "props/ini_text.h"
#include "props/settings_file.h"
#include "shell/tools.h"
#include "text/errors.h"

namespace yk {

namespace {

std::string Cp932(const char* utf8) { return cp932::EncodeFromUtf8(utf8).bytes; }

std::optional<long long> Number(const std::optional<std::string>& v) {
  if (!v) return std::nullopt;
  try {
    std::size_t used = 0;
    const long long n = std::stoll(*v, &used);
    if (used == v->size()) return n;
  } catch (const std::exception&) {
  }
  return std::nullopt;
}

// Booleans are stored as integers; the low byte decides.
void Read(const TIniText& ini, const char* section, const std::string& key, bool& value) {
  if (const auto n = Number(ini.Read(section, key))) value = (*n & 0xFF) != 0;
}
void Read(const TIniText& ini, const char* section, const std::string& key, int& value) {
  if (const auto n = Number(ini.Read(section, key)); n && *n >= INT32_MIN && *n <= INT32_MAX)
    value = static_cast<int>(*n);
}
void Read(const TIniText& ini, const char* section, const std::string& key, std::string& value) {
  if (auto v = ini.Read(section, key)) value = std::move(*v);
}

// The keys in the order they are written.
struct TKey {
  const char* section;
  std::string key;
  std::string value;
};

std::vector<TKey> Keys(const TBasicSettings& s) {
  auto b = [](bool v) { return std::string(v ? "1" : "0"); };
  std::vector<TKey> k = {
      {"Win", "SizePosSave", b(s.sizePosSave)},        {"Memo", "DayTimeMode", b(s.customDayTime)},
      {"Memo", "DayTimeFormat", s.dayTimeFormat},      {"Memo", "IMEmode", b(s.imeMode)},
      {"Memo", "DeleteHistory", b(s.deleteHistory)},   {"Memo", "UserHeader", b(s.userHeader)},
      {"Window", "IconAnime", b(s.iconAnime)},         {"Memo", "LineNumberFlag", b(s.logicalLineNumbers)},
  };
  for (int i = 0; i < kToolCount; ++i) {
    k.push_back({"Tool", "ExeName" + std::to_string(i + 1), s.toolNames[i]});
    k.push_back({"Tool", "ExePath" + std::to_string(i + 1), s.toolPaths[i]});
  }
  k.push_back({"Tool", "TracerPath", s.tracerPath});
  k.push_back({"Tool", "TracerExt", s.tracerExt});
  k.push_back({"Char", "Tab", std::to_string(s.tabMark)});
  k.push_back({"Char", "Space", std::to_string(s.spaceMark)});
  for (int n = 0; n < kStyleCount; ++n) {
    k.push_back({"TabName", "Tab" + std::to_string(n), s.tabNames[n]});
    k.push_back({"TabName", "Dic" + std::to_string(n), s.dicFiles[n]});
    k.push_back({"StyleExt", "Ext" + std::to_string(n), s.styleExts[n]});
  }
  return k;
}

}  // namespace

TBasicSettings DefaultBasicSettings() {
  TBasicSettings s;
  for (int n = 0; n < kStyleCount; ++n) s.tabNames[n] = Cp932("定義") + std::to_string(n + 1);
  s.dayTimeFormat = "yy_m_d-h_n_(aaa)";
  s.toolNames[0] = Cp932("電卓を起動");
  // The first calculator on the search path; none: the item stays hidden.
  const char* search = std::getenv("PATH");
  s.toolPaths[0] = FindCalculator(search ? search : "");
  return s;
}

TBasicSettings ReadBasicSettings(const std::string& settingsPath) {
  TIniText ini;
  try {
    ini = TIniText(ReadSettingsFile(settingsPath).value_or(std::string()));
  } catch (const Exception&) {
    // An unreadable file gives the defaults, as a missing one does.
  }
  TBasicSettings s = DefaultBasicSettings();
  Read(ini, "Win", "SizePosSave", s.sizePosSave);
  Read(ini, "Memo", "DayTimeMode", s.customDayTime);
  Read(ini, "Memo", "DayTimeFormat", s.dayTimeFormat);
  Read(ini, "Memo", "IMEmode", s.imeMode);
  Read(ini, "Memo", "DeleteHistory", s.deleteHistory);
  Read(ini, "Memo", "UserHeader", s.userHeader);
  Read(ini, "Memo", "LineNumberFlag", s.logicalLineNumbers);
  Read(ini, "Window", "IconAnime", s.iconAnime);
  for (int i = 0; i < kToolCount; ++i) {
    Read(ini, "Tool", "ExeName" + std::to_string(i + 1), s.toolNames[i]);
    Read(ini, "Tool", "ExePath" + std::to_string(i + 1), s.toolPaths[i]);
  }
  Read(ini, "Tool", "TracerPath", s.tracerPath);
  Read(ini, "Tool", "TracerExt", s.tracerExt);
  Read(ini, "Char", "Tab", s.tabMark);
  Read(ini, "Char", "Space", s.spaceMark);
  for (int n = 0; n < kStyleCount; ++n) {
    Read(ini, "TabName", "Tab" + std::to_string(n), s.tabNames[n]);
    Read(ini, "TabName", "Dic" + std::to_string(n), s.dicFiles[n]);
    Read(ini, "StyleExt", "Ext" + std::to_string(n), s.styleExts[n]);
  }
  return s;
}

void WriteBasicSettings(const std::string& settingsPath, const TBasicSettings& s) {
  const std::vector<TKey> keys = Keys(s);
  EditSettingsFile(settingsPath, [&](const std::optional<std::string>& current) -> std::optional<std::string> {
    TIniText ini(current.value_or(std::string()));
    bool changed = false;
    for (const TKey& k : keys) changed |= ini.Write(k.section, k.key, k.value);
    if (!changed && current) return std::nullopt;
    return ini.Text();
  });
}

}  // namespace yk
