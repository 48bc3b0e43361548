// Components that are stored whole as property streams, and the two
// operations that store and restore them.
#pragma once

#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "props/prop_stream.h"
#include "text/notify_persistent.h"

namespace yk {

class TStreamableComponent : public TPersistent {
 public:
  // The component's name in its owner, written in the stream's header.
  const std::string& Name() const { return name_; }
  void SetName(std::string name) { name_ = std::move(name); }

  // The stored properties in stream order, dotted paths for the properties
  // of owned objects. Empty strings are left out.
  virtual std::vector<TStreamProperty> StoredProperties() const = 0;
  // A new object of the same class holding its construction values.
  virtual std::unique_ptr<TStreamableComponent> CreateBlank() const = 0;
  // Sets one stored property through the same checks and clamps as its
  // setter; throws EPropertyStreamError for an unknown path, a value of the
  // wrong kind or an unknown identifier.
  virtual void ReadProperty(std::string_view path, const TStreamValue& value) = 0;

 private:
  std::string name_;
};

// The whole stream of a component.
std::string SaveComponent(const TStreamableComponent& c);

// Reads a stream into target, which keeps its name. The stream must name
// target's own class; its values are applied to a blank object of that
// class, which is assigned to target only when every value was read, so a
// stream that cannot be read leaves target untouched. Returns whether the
// stream was read; nothing is ever created by a class name from the stream.
bool LoadComponent(std::string_view bytes, TStreamableComponent& target);

}  // namespace yk
