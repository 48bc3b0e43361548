// Numbered lines inside an INI text, laid out as the settings store writes
// string lists and binary values (a count key and one key per line), so
// that code editing a settings file under its lock keeps the same layout.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "props/ini_text.h"

namespace yk {

// The lines countKey says the section holds; an absent line reads as empty,
// a negative count as 0, and no count reads more lines than the section
// has keys.
std::vector<std::string> ReadIniLines(const TIniText& text, std::string_view section, const std::string& countKey,
                                      const std::string& linePrefix);
// Writes the count and the lines and removes the line keys beyond them (and
// the count of an empty list) in one change. Returns whether the text changed.
bool WriteIniLines(TIniText& text, std::string_view section, const std::string& countKey,
                   const std::string& linePrefix, const std::vector<std::string>& lines);

// A string list of the settings store: ident_ItemCount and ident_Item0...
std::vector<std::string> ReadIniStrings(const TIniText& text, std::string_view section, std::string_view ident);
bool WriteIniStrings(TIniText& text, std::string_view section, std::string_view ident,
                     const std::vector<std::string>& lines);

}  // namespace yk
