// Plain values of the settings file: read with the default for a key that is
// missing or malformed, and written many at once in one replacement of the
// file.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "props/ini_text.h"

namespace yk {

// A key whose value is not a decimal integer reads as the default (so
// garbage never becomes a setting); booleans are integers, 0 for false.
bool IniBool(const TIniText& ini, std::string_view section, std::string_view key, bool def);
int IniInt(const TIniText& ini, std::string_view section, std::string_view key, int def);
std::string IniString(const TIniText& ini, std::string_view section, std::string_view key, std::string def);

struct TIniValue {
  std::string section;
  std::string key;
  std::string value;
};

inline std::string IniBoolText(bool b) { return b ? "1" : "0"; }

// Reads the settings file; a file that is missing, unreadable or too large
// reads as empty, and reading never throws.
TIniText ReadIniFile(const std::string& path);

// Writes the values in order under the file's lock in one replacement, so
// that other processes see all of them or none; keys not named keep their
// lines. Throws EFileError when the file cannot be written.
void WriteIniValues(const std::string& path, const std::vector<TIniValue>& values);

}  // namespace yk
