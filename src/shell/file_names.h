// The untitled document's name and the parts of a document path (native
// bytes, "/" separated) that the application's commands use.
#pragma once

#include <string>
#include <string_view>

namespace yk {

// The name of a document that has never been saved.
inline constexpr std::string_view kUntitledName = "\x96\xb3\x91\xe8";  // 無題

// The folder of a path with its trailing "/" ("" for a bare name).
std::string FolderOf(std::string_view path);
// The part after the last "/".
std::string NameOf(std::string_view path);
// The extension of the name part with its dot ("" when the name has no
// dot): "/a.b/c" has none, "x.tar.gz" has ".gz", "README." has ".".
std::string ExtensionOf(std::string_view path);

}  // namespace yk
