// Upper and lower case of CP932 text, character by character.
#pragma once

#include <string>
#include <string_view>

namespace yk {

// Letters change case: ASCII a-z, the full-width Latin letters ａ-ｚ, and the
// two-byte Greek and Cyrillic letters. Text is stepped through by
// character, so a trail byte is never taken for a letter (the 0x62 of ッ is
// no "b"); every other character, and bytes that are not valid CP932, stay
// as they are. The result has the same length as the source.
std::string UpperCase(std::string_view source);
std::string LowerCase(std::string_view source);

// Only the one-byte letters A-Z and a-z, still stepping over two-byte
// characters: the lower case used to compare file extensions.
std::string LowerCaseAscii(std::string_view source);

}  // namespace yk
