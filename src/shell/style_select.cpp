// The style of a file by its extension.
#include "shell/style_select.h"

#include "convert/letter_case.h"
#include "shell/comma_text.h"
#include "shell/file_names.h"

namespace yk {

std::string DefaultStyleCaption(int n) { return "\x92\xe8\x8b\x60" + std::to_string(n + 1); }  // 定義

int StyleIndexForPath(std::string_view path, const std::array<std::string, kStyleCount>& extensionLists) {
  const std::string ext = LowerCaseAscii(ExtensionOf(path));
  if (ext.empty()) return -1;
  for (int n = 0; n < kStyleCount; ++n) {
    bool found = false;
    ForEachCommaField(extensionLists[static_cast<std::size_t>(n)], [&](std::string_view entry) {
      found = found || ("." + LowerCaseAscii(entry)) == ext;
    });
    if (found) return n;
  }
  return -1;
}

}  // namespace yk
