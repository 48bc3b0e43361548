// Text in another encoding as other programs would write it: through the C
// library's converter, not our own codec, so tests of the codec do not check
// it against itself.
#pragma once

#include <cstddef>
#include <stdexcept>
#include <string>
#include <string_view>

#include "platform/iconv_converter.h"

namespace yk::test {

// `in` (in the C library's encoding `from`) converted to `to`; throws when
// the library has no such converter or the text has no form in `to`.
inline std::string Iconv(const char* to, const char* from, std::string_view in) {
  TIconvConverter conv(to, from);
  std::string out(in.size() * 4 + 16, '\0');
  std::size_t size = out.size();
  if (!conv.Run(in.data(), in.size(), out.data(), size)) throw std::runtime_error(std::string("no ") + to + " form");
  out.resize(size);
  return out;
}

}  // namespace yk::test
