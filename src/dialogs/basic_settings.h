// The application-wide settings that the general settings dialog edits, as
// one value, with their place in the settings file.
#pragma once

#include <array>
#include <string>

#include "shell/style_select.h"

namespace yk {

inline constexpr int kToolCount = 3;

// Names, formats and extension lists are CP932 text; file paths are native
// bytes.
struct TBasicSettings {
  bool imeMode = false;                              // Memo/IMEmode
  std::array<std::string, kStyleCount> tabNames;     // TabName/Tab0..9
  std::array<std::string, kStyleCount> dicFiles;     // TabName/Dic0..9
  std::array<std::string, kStyleCount> styleExts;    // StyleExt/Ext0..9
  bool customDayTime = false;                        // Memo/DayTimeMode
  std::string dayTimeFormat;                         // Memo/DayTimeFormat
  std::array<std::string, kToolCount> toolNames;     // Tool/ExeName1..3
  std::array<std::string, kToolCount> toolPaths;     // Tool/ExePath1..3
  std::string tracerPath;                            // Tool/TracerPath
  std::string tracerExt;                             // Tool/TracerExt
  bool sizePosSave = true;                           // Win/SizePosSave
  bool iconAnime = true;                             // Window/IconAnime
  bool deleteHistory = true;                         // Memo/DeleteHistory
  bool userHeader = false;                           // Memo/UserHeader
  int tabMark = 0;                                   // Char/Tab: 0 "→", 1 "＞", 2 none
  int spaceMark = 0;                                 // Char/Space: 0 "□", 1 "└┘", 2 none
  bool logicalLineNumbers = true;                    // Memo/LineNumberFlag
  friend bool operator==(const TBasicSettings&, const TBasicSettings&) = default;
};

// The values a missing settings file gives.
TBasicSettings DefaultBasicSettings();
// Each key that is missing or unreadable keeps its default.
TBasicSettings ReadBasicSettings(const std::string& settingsPath);
// Writes every value in one replacement of the file, in the order the
// general settings command writes them. Throws EFileError when the file
// cannot be written.
void WriteBasicSettings(const std::string& settingsPath, const TBasicSettings& s);

}  // namespace yk
