// Choosing one of the ten styles for a file by its extension, and the
// names styles have before the user gives them any.
#pragma once

#include <array>
#include <string>
#include <string_view>

namespace yk {

inline constexpr int kStyleCount = 10;

// "定義" followed by n + 1: the caption of style tab n until it is renamed.
std::string DefaultStyleCaption(int n);

// The first style, in index order, whose extension list (comma text:
// "txt doc", "txt,\"my ext\"") has an entry that, after a dot, equals the
// path's extension; letter case is ignored for A-Z only. -1 when none does.
// A path without extension never matches; neither does an entry written
// with its own leading dot.
int StyleIndexForPath(std::string_view path, const std::array<std::string, kStyleCount>& extensionLists);

}  // namespace yk
