// The property stream codec: tags and widths, and refusal of malformed or
// hostile streams.
#include "props/prop_stream.h"

#include <gtest/gtest.h>

namespace yk {
namespace {

using V = TStreamValue;

std::string Encode(std::vector<TStreamProperty> props) {
  return EncodeComponent({"TThing", "Thing1", std::move(props)});
}

// The bytes of one property's value as encoded.
std::string ValueBytes(const TStreamValue& v) {
  const std::string all = Encode({{"P", v}});
  const std::size_t start = 4 + 7 + 7 + 2;  // signature, two names, "P"
  return all.substr(start, all.size() - start - 3);
}

TEST(PropStream, EncodesEachValueWithItsTag) {
  struct {
    TStreamValue value;
    std::string bytes;
  } cases[] = {
      {V::Int(0), std::string("\x02\x00", 2)},
      {V::Int(127), "\x02\x7f"},
      {V::Int(-128), "\x02\x80"},
      {V::Int(128), std::string("\x03\x80\x00", 3)},
      {V::Int(-129), "\x03\x7f\xff"},
      {V::Int(32767), "\x03\xff\x7f"},
      {V::Int(32768), std::string("\x04\x00\x80\x00\x00", 5)},
      {V::Int(-19), "\x02\xed"},
      {V::Int(static_cast<std::int32_t>(0x80000005)), std::string("\x04\x05\x00\x00\x80", 5)},
      {V::Str("ab"), "\x06\x02" "ab"},
      {V::Str(std::string(256, 'x')), std::string("\x0c\x00\x01\x00\x00", 5) + std::string(256, 'x')},
      {V::Ident("clWindow"), "\x07\x08" "clWindow"},
      {V::Bool(false), "\x08"},
      {V::Bool(true), "\x09"},
      {V::Set({}), std::string("\x0b\x00", 2)},
      {V::Set({"fsBold", "fsUnderline"}), std::string("\x0b\x06" "fsBold\x0b" "fsUnderline\x00", 21)},
      {V::List({V::Str("a"), V::Int(1)}), std::string("\x01\x06\x01" "a\x02\x01\x00", 7)},
      {V::Collection({}), std::string("\x0e\x00", 2)},
      {V::Collection({{{"L", V::Str("/*")}}}), std::string("\x0e\x01\x01L\x06\x02/*\x00\x00", 10)},
      {V{}, "\x0d"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(ValueBytes(c.value), c.bytes) << c.bytes.size();
    EXPECT_EQ(DecodeComponent(Encode({{"P", c.value}})).properties.at(0).value, c.value);
  }
}

TEST(PropStream, HeaderAndClosingBytes) {
  const std::string s = EncodeComponent({"TEditorProp", "EditorProp1", {{"WordWrap", V::Bool(true)}}});
  EXPECT_EQ(s, std::string("TPF0\x0bTEditorProp\x0b" "EditorProp1\x08WordWrap\x09\x00\x00\x00", 41));
  const TComponentStream c = DecodeComponent(s);
  EXPECT_EQ(c.className, "TEditorProp");
  EXPECT_EQ(c.name, "EditorProp1");
  EXPECT_EQ(DecodeComponent(s + "trailing").properties.size(), 1u);
  // Other writers end the stream with the component itself, without the
  // final zero of the list of components.
  EXPECT_EQ(DecodeComponent(s.substr(0, s.size() - 1)).properties.size(), 1u);
  EXPECT_THROW(Encode({{std::string(256, 'n'), V::Int(1)}}), EPropertyStreamError);
  EXPECT_THROW(Encode({{"", V::Int(1)}}), EPropertyStreamError);
}

TEST(PropStream, RefusesMalformedStreams) {
  const std::string good = Encode({{"A", V::Str("text")}, {"B", V::List({V::Int(300)})}});
  // Every truncation before the end of the component is refused.
  for (std::size_t n = 0; n + 1 < good.size(); ++n) {
    EXPECT_THROW(DecodeComponent(good.substr(0, n)), EPropertyStreamError) << n;
  }
  const std::string head = std::string("TPF0\x06TThing\x06Thing1", 18);
  const std::string bad[] = {
      "TPF1" + head.substr(4) + std::string("\x00\x00\x00", 3),           // signature
      std::string("TPF0\x00\x00\x00\x00\x00", 9),                         // no class name
      head + std::string("\x01P\x0f\x00\x00\x00", 6),                      // unknown tag
      head + std::string("\x01P\x00\x00\x00\x00", 6),                      // end tag as a value
      head + "\x01P\x0c\xff\xff\xff\x7f" + std::string("ab\x00\x00\x00", 5),  // long string past the end
      head + "\x01P\x0a\x10\x00\x00\x00" + std::string("ab\x00\x00\x00", 5),  // binary past the end
      head + std::string("\x01P\x07\x00\x00\x00\x00", 7),                  // empty identifier
      head + std::string("\x01P\x0e\x06\x00\x00\x00\x00", 8),              // collection item without list tag
      head + std::string("\x00\x06TChild\x00\x00\x00\x00", 12),           // a child component
      head + std::string("\x00\x00\x06", 3),                               // not closed
  };
  for (const std::string& s : bad) EXPECT_THROW(DecodeComponent(s), EPropertyStreamError) << s.size();
}

TEST(PropStream, BoundsNestingAndSize) {
  const std::string head = std::string("TPF0\x06TThing\x06Thing1\x01P", 20);
  std::string deep = head + std::string(100000, '\x01');
  EXPECT_THROW(DecodeComponent(deep), EPropertyStreamError);
  std::string nested = head;
  for (int i = 0; i < kMaxStreamNesting; ++i) nested += '\x01';
  nested += std::string(kMaxStreamNesting, '\x00') + std::string(3, '\x00');
  EXPECT_NO_THROW(DecodeComponent(nested));
  EXPECT_THROW(DecodeComponent(std::string(kMaxComponentStreamSize + 1, '\0')), EPropertyStreamError);
  // The writer keeps to the reader's limit: what it writes can be read.
  const std::size_t overhead = Encode({{"P", V::Str("")}}).size() + 3;  // a long string's length has 4 bytes
  const std::string fits = Encode({{"P", V::Str(std::string(kMaxComponentStreamSize - overhead, 'x'))}});
  EXPECT_EQ(fits.size(), kMaxComponentStreamSize);
  EXPECT_NO_THROW(DecodeComponent(fits));
  EXPECT_THROW(Encode({{"P", V::Str(std::string(kMaxComponentStreamSize - overhead + 1, 'x'))}}), EPropertyStreamError);
}

}  // namespace
}  // namespace yk
