// Encoding and bounded decoding of property streams.
#include "props/prop_stream.h"

#include <cstring>
#include <utility>

namespace yk {

TStreamValue TStreamValue::Int(std::int32_t v) {
  TStreamValue r;
  r.kind = Kind::Integer;
  r.integer = v;
  return r;
}
TStreamValue TStreamValue::Str(std::string v) {
  TStreamValue r;
  r.kind = Kind::String;
  r.text = std::move(v);
  return r;
}
TStreamValue TStreamValue::Ident(std::string v) {
  TStreamValue r;
  r.kind = Kind::Ident;
  r.text = std::move(v);
  return r;
}
TStreamValue TStreamValue::Bool(bool v) {
  TStreamValue r;
  r.kind = Kind::Boolean;
  r.boolean = v;
  return r;
}
TStreamValue TStreamValue::Set(std::vector<std::string> elements) {
  TStreamValue r;
  r.kind = Kind::Set;
  r.set = std::move(elements);
  return r;
}
TStreamValue TStreamValue::List(std::vector<TStreamValue> values) {
  TStreamValue r;
  r.kind = Kind::List;
  r.list = std::move(values);
  return r;
}
TStreamValue TStreamValue::Collection(std::vector<std::vector<TStreamProperty>> items) {
  TStreamValue r;
  r.kind = Kind::Collection;
  r.items = std::move(items);
  return r;
}

bool TStreamValue::operator==(const TStreamValue& o) const {
  return kind == o.kind && integer == o.integer && boolean == o.boolean && text == o.text && set == o.set &&
         list == o.list && items == o.items;
}

namespace {

constexpr std::string_view kSignature = "TPF0";

// ------------------------------------------------------------------ writing

class TEncoder {
 public:
  std::string out;

  void Byte(std::uint8_t b) { out.push_back(static_cast<char>(b)); }
  void Le(std::uint32_t v, int bytes) {
    for (int i = 0; i < bytes; ++i) Byte(static_cast<std::uint8_t>(v >> (8 * i)));
  }
  void ShortString(std::string_view s) {
    if (s.size() > 255) throw EPropertyStreamError("Name too long for a property stream: " + std::string(s.substr(0, 64)));
    Byte(static_cast<std::uint8_t>(s.size()));
    out.append(s);
  }
  void Name(std::string_view s) {
    if (s.empty()) throw EPropertyStreamError("Empty property name");
    ShortString(s);
  }

  void Integer(std::int32_t v) {
    if (v >= -128 && v <= 127) {
      Byte(vaInt8);
      Le(static_cast<std::uint32_t>(v), 1);
    } else if (v >= -32768 && v <= 32767) {
      Byte(vaInt16);
      Le(static_cast<std::uint32_t>(v), 2);
    } else {
      Byte(vaInt32);
      Le(static_cast<std::uint32_t>(v), 4);
    }
  }

  void String(std::string_view s) {
    if (s.size() <= 255) {
      Byte(vaString);
      ShortString(s);
    } else {
      Byte(vaLString);
      Le(static_cast<std::uint32_t>(s.size()), 4);
      out.append(s);
    }
  }

  void Properties(const std::vector<TStreamProperty>& props) {
    for (const TStreamProperty& p : props) {
      Name(p.name);
      Value(p.value);
    }
    Byte(vaNull);
  }

  void Value(const TStreamValue& v);
};

void TEncoder::Value(const TStreamValue& v) {
  using K = TStreamValue::Kind;
  switch (v.kind) {
    case K::Integer: return Integer(v.integer);
    case K::Extended:
      if (v.text.size() != 10) throw EPropertyStreamError("An extended value has 10 bytes");
      Byte(vaExtended);
      out.append(v.text);
      return;
    case K::String: return String(v.text);
    case K::Ident:
      if (v.text.empty()) throw EPropertyStreamError("Empty identifier");
      Byte(vaIdent);
      return ShortString(v.text);
    case K::Boolean: return Byte(v.boolean ? vaTrue : vaFalse);
    case K::Binary:
      Byte(vaBinary);
      Le(static_cast<std::uint32_t>(v.text.size()), 4);
      out.append(v.text);
      return;
    case K::Set:
      Byte(vaSet);
      for (const std::string& e : v.set) Name(e);
      return Byte(0);
    case K::List:
      Byte(vaList);
      for (const TStreamValue& e : v.list) Value(e);
      return Byte(vaNull);
    case K::Collection:
      Byte(vaCollection);
      for (const auto& item : v.items) {
        Byte(vaList);
        Properties(item);
      }
      return Byte(vaNull);
    case K::Nil: return Byte(vaNil);
  }
}

// ------------------------------------------------------------------ reading

// Every read checks the bytes left first; lengths are compared with what
// is left before anything is allocated for them.
class TDecoder {
 public:
  explicit TDecoder(std::string_view in) : in_(in) {}

  bool AtEnd() const { return pos_ >= in_.size(); }
  std::uint8_t Peek() const {
    Need(1);
    return static_cast<std::uint8_t>(in_[pos_]);
  }
  std::uint8_t Byte() {
    Need(1);
    return static_cast<std::uint8_t>(in_[pos_++]);
  }
  std::uint32_t Le(int bytes) {
    Need(static_cast<std::size_t>(bytes));
    std::uint32_t v = 0;
    for (int i = 0; i < bytes; ++i) v |= std::uint32_t{static_cast<std::uint8_t>(in_[pos_ + i])} << (8 * i);
    pos_ += static_cast<std::size_t>(bytes);
    return v;
  }
  std::string Bytes(std::size_t n) {
    Need(n);
    std::string s(in_.substr(pos_, n));
    pos_ += n;
    return s;
  }
  std::string ShortString() { return Bytes(Byte()); }
  void Expect(std::string_view s) {
    if (Bytes(s.size()) != s) throw EPropertyStreamError("Not a property stream");
  }

  std::vector<TStreamProperty> Properties(int depth);
  TStreamValue Value(int depth);

 private:
  void Need(std::size_t n) const {
    if (n > in_.size() - pos_) throw EPropertyStreamError("Property stream ends early");
  }
  void Count() {
    if (++values_ > kMaxStreamValues) throw EPropertyStreamError("Property stream has too many values");
  }
  TStreamValue Integer(int bytes);
  TStreamValue Composite(std::uint8_t tag, int depth);

  std::string_view in_;
  std::size_t pos_ = 0;
  std::size_t values_ = 0;
};

std::vector<TStreamProperty> TDecoder::Properties(int depth) {
  std::vector<TStreamProperty> props;
  while (Peek() != 0) {
    TStreamProperty p;
    p.name = ShortString();
    p.value = Value(depth);
    props.push_back(std::move(p));
  }
  Byte();
  return props;
}

TStreamValue TDecoder::Integer(int bytes) {
  const std::uint32_t raw = Le(bytes);
  const int shift = 32 - 8 * bytes;
  // Sign-extend from the stored width.
  return TStreamValue::Int(static_cast<std::int32_t>(raw << shift) >> shift);
}

TStreamValue TDecoder::Value(int depth) {
  Count();
  const std::uint8_t tag = Byte();
  switch (tag) {
    case vaInt8: return Integer(1);
    case vaInt16: return Integer(2);
    case vaInt32: return Integer(4);
    case vaExtended: {
      TStreamValue v;
      v.kind = TStreamValue::Kind::Extended;
      v.text = Bytes(10);
      return v;
    }
    case vaString: return TStreamValue::Str(ShortString());
    case vaLString: return TStreamValue::Str(Bytes(Le(4)));
    case vaIdent: {
      std::string s = ShortString();
      if (s.empty()) throw EPropertyStreamError("Empty identifier");
      return TStreamValue::Ident(std::move(s));
    }
    case vaFalse: return TStreamValue::Bool(false);
    case vaTrue: return TStreamValue::Bool(true);
    case vaBinary: {
      TStreamValue v;
      v.kind = TStreamValue::Kind::Binary;
      v.text = Bytes(Le(4));
      return v;
    }
    case vaNil: return TStreamValue{};
    default: return Composite(tag, depth);
  }
}

TStreamValue TDecoder::Composite(std::uint8_t tag, int depth) {
  if (depth >= kMaxStreamNesting && (tag == vaList || tag == vaCollection))
    throw EPropertyStreamError("Property stream nested too deeply");
  switch (tag) {
    case vaSet: {
      std::vector<std::string> elements;
      for (std::string e = ShortString(); !e.empty(); e = ShortString()) {
        Count();
        elements.push_back(std::move(e));
      }
      return TStreamValue::Set(std::move(elements));
    }
    case vaList: {
      std::vector<TStreamValue> values;
      while (Peek() != vaNull) values.push_back(Value(depth + 1));
      Byte();
      return TStreamValue::List(std::move(values));
    }
    case vaCollection: {
      std::vector<std::vector<TStreamProperty>> items;
      while (Peek() != vaNull) {
        Count();
        if (Byte() != vaList) throw EPropertyStreamError("Malformed collection item");
        items.push_back(Properties(depth + 1));
      }
      Byte();
      return TStreamValue::Collection(std::move(items));
    }
    default: throw EPropertyStreamError("Unknown value tag " + std::to_string(tag));
  }
}

}  // namespace

std::string EncodeComponent(const TComponentStream& c) {
  TEncoder e;
  e.out.append(kSignature);
  e.ShortString(c.className);
  e.ShortString(c.name);
  e.Properties(c.properties);
  e.Byte(vaNull);  // no child components
  e.Byte(vaNull);  // end of the list of components
  // What the reader would refuse is not written, so a stored value can
  // always be read back.
  if (e.out.size() > kMaxComponentStreamSize)
    throw EPropertyStreamError("The property set is too large to store: " + std::to_string(e.out.size()) +
                               " bytes, at most " + std::to_string(kMaxComponentStreamSize));
  return std::move(e.out);
}

TComponentStream DecodeComponent(std::string_view bytes) {
  if (bytes.size() > kMaxComponentStreamSize) throw EPropertyStreamError("Property stream too large");
  TDecoder d(bytes);
  d.Expect(kSignature);
  TComponentStream c;
  c.className = d.ShortString();
  if (c.className.empty()) throw EPropertyStreamError("Property stream names no class");
  c.name = d.ShortString();
  c.properties = d.Properties(0);
  // A child component would have to be created by a name read from the
  // file: refused.
  if (d.Byte() != vaNull) throw EPropertyStreamError("Property stream holds child components");
  // Our writer closes the list of components with one more zero; other
  // writers end with the component, and both are read.
  if (!d.AtEnd() && d.Byte() != vaNull) throw EPropertyStreamError("Property stream is not closed");
  return c;
}

}  // namespace yk
