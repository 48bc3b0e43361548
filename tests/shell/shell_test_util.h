// Helpers of the shell tests: CP932 text from UTF-8 for long messages.
#pragma once

#include <string>
#include <string_view>

#include "platform/cp932_codec.h"

namespace yk::test {

inline std::string Sjis(std::string_view utf8) { return cp932::EncodeFromUtf8(utf8).bytes; }

}  // namespace yk::test
