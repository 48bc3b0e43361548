// Storing and restoring whole components.
#include "props/component_stream.h"

#include "text/graphics_types.h"

namespace yk {

std::string SaveComponent(const TStreamableComponent& c) {
  TComponentStream s;
  s.className = c.ClassName();
  s.name = c.Name();
  s.properties = c.StoredProperties();
  return EncodeComponent(s);
}

bool LoadComponent(std::string_view bytes, TStreamableComponent& target) {
  try {
    TComponentStream s = DecodeComponent(bytes);
    if (!SameIdent(s.className, target.ClassName())) return false;
    std::unique_ptr<TStreamableComponent> fresh = target.CreateBlank();
    for (const TStreamProperty& p : s.properties) fresh->ReadProperty(p.name, p.value);
    target.Assign(*fresh);
    return true;
  } catch (const Exception&) {
    return false;
  }
}

}  // namespace yk
