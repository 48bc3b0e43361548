// Reading colour names: the platform's own names plus those that later
// versions of the windowing toolkit added, so that settings written by such
// a build read here too. Writing uses the platform's names only.
#pragma once

#include <optional>
#include <string_view>

#include "text/graphics_types.h"

namespace yk {

// A colour name of either table, without regard to case.
std::optional<TColor> IdentToAnyColor(std::string_view name);
// A stored colour (as StringToColor), with the later names accepted too.
std::optional<TColor> StoredTextToColor(std::string_view text);

}  // namespace yk
