// The binary property stream in which components are stored: values with
// their tags, a component's header and property list, and a reader that
// refuses malformed input without reading past its end.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "text/errors.h"

namespace yk {

// Raised for any stream that cannot be read or value that cannot be written.
class EPropertyStreamError : public Exception {
 public:
  using Exception::Exception;
};

enum TValueType : std::uint8_t {
  vaNull = 0,
  vaList = 1,
  vaInt8 = 2,
  vaInt16 = 3,
  vaInt32 = 4,
  vaExtended = 5,
  vaString = 6,
  vaIdent = 7,
  vaFalse = 8,
  vaTrue = 9,
  vaBinary = 10,
  vaSet = 11,
  vaLString = 12,
  vaNil = 13,
  vaCollection = 14,
};

struct TStreamProperty;

// One stored value. Integers of every width, and short and long strings,
// read as one kind each.
struct TStreamValue {
  enum class Kind : std::uint8_t { Integer, Extended, String, Ident, Boolean, Binary, Set, List, Collection, Nil };

  Kind kind = Kind::Nil;
  std::int32_t integer = 0;
  bool boolean = false;
  std::string text;                 // String, Ident, Binary; the 10 raw bytes of an Extended
  std::vector<std::string> set;     // Set: element identifiers
  std::vector<TStreamValue> list;   // List
  std::vector<std::vector<TStreamProperty>> items;  // Collection: each item's properties

  static TStreamValue Int(std::int32_t v);
  static TStreamValue Str(std::string v);
  static TStreamValue Ident(std::string v);
  static TStreamValue Bool(bool v);
  static TStreamValue Set(std::vector<std::string> elements);
  static TStreamValue List(std::vector<TStreamValue> values);
  static TStreamValue Collection(std::vector<std::vector<TStreamProperty>> items);

  bool operator==(const TStreamValue&) const;
};

struct TStreamProperty {
  std::string name;  // a dotted path for properties of owned objects
  TStreamValue value;
  bool operator==(const TStreamProperty&) const = default;
};

// A stored component: "TPF0", class name, component name, properties, an
// empty list of child components.
struct TComponentStream {
  std::string className;
  std::string name;
  std::vector<TStreamProperty> properties;
};

// Limits that keep a hostile stream from using unbounded memory or stack.
// The writer keeps to the size limit too.
inline constexpr std::size_t kMaxComponentStreamSize = std::size_t{4} << 20;
inline constexpr int kMaxStreamNesting = 16;
inline constexpr std::size_t kMaxStreamValues = std::size_t{1} << 20;

// Encodes a component: integers in the smallest of the three widths,
// strings over 255 bytes as long strings. Throws EPropertyStreamError for a
// name or identifier over 255 bytes, an empty property name, or a stream
// larger than kMaxComponentStreamSize, which DecodeComponent would refuse.
std::string EncodeComponent(const TComponentStream& c);
// Decodes a whole stream; throws EPropertyStreamError for anything that is
// not a well-formed stream within the limits above. The final end marker
// may be missing; bytes after it are ignored.
TComponentStream DecodeComponent(std::string_view bytes);

}  // namespace yk
