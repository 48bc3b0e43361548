// Fuzz target: reading arbitrary bytes as a stored property set.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "props/editor_prop.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view input(reinterpret_cast<const char*>(data), size);
  try {
    // What decodes must encode to a stream that decodes the same.
    const yk::TComponentStream c = yk::DecodeComponent(input);
    const yk::TComponentStream again = yk::DecodeComponent(yk::EncodeComponent(c));
    if (again.className != c.className || again.properties != c.properties) std::abort();
  } catch (const yk::Exception&) {
  }
  yk::TEditorProp prop;
  yk::SetInitialStyle(prop);
  yk::TEditorProp before;
  before.Assign(prop);
  if (!yk::LoadComponent(input, prop) && !(prop == before)) std::abort();  // a refused stream changes nothing
  // Whatever was read stores and reads back to the same values.
  yk::TEditorProp copy;
  if (!yk::LoadComponent(yk::SaveComponent(prop), copy) || !(copy == prop)) std::abort();
  return 0;
}
