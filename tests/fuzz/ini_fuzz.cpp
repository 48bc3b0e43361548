// Fuzz target: parsing and editing arbitrary bytes as an INI file.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "props/ini_text.h"
#include "text/errors.h"

namespace {

void Check(bool ok) {
  if (!ok) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string input(reinterpret_cast<const char*>(data), size);
  yk::TIniText ini(input);
  Check(ini.Text() == input);  // parsing alone never changes a byte

  // Names taken from the input itself, so edits hit existing sections.
  const std::size_t cut = size / 3;
  const std::string section = input.substr(0, cut % 16);
  const std::string key = input.substr(cut, cut % 8 + 1);
  (void)ini.Read(section, key);
  (void)ini.SectionValues(section);
  (void)ini.SectionMap(section);
  try {
    ini.Write(section, key, input.substr(2 * cut));
    const std::string value = input.substr(2 * cut);
    Check(ini.Read(section, key) == value.substr(0, value.find_first_of(std::string("\r\n\0", 3))));
    ini.WriteMany(section, {{key, "1"}, {"k2", "2"}});
    Check(ini.Read(section, "K2") == "2");
    ini.DeleteMany(section, {key});
    Check(!ini.Read(section, key));
    ini.Delete(section, "k2");
    Check(!ini.Read(section, "k2"));
    // The edited text reads back the same.
    Check(yk::TIniText(ini.Text()).Text() == ini.Text());
  } catch (const yk::Exception&) {
    // A name that cannot be written is refused; that is the expected outcome.
  }
  ini.EraseSection(section);
  return 0;
}
