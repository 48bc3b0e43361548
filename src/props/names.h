// Case-insensitive comparison of CP932 names (INI sections and keys, item
// names): ASCII and full-width Latin letters fold, other bytes compare as
// they are, and a trail byte is never taken for a letter.
#pragma once

#include <string>
#include <string_view>

namespace yk {

// The folded form of a name: equal folded forms mean equal names.
std::string FoldName(std::string_view name);
bool SameName(std::string_view a, std::string_view b);

// Decimal integer in the signed 32-bit range, optional sign, nothing else.
bool ParseInt32(std::string_view text, int& out) noexcept;

}  // namespace yk
