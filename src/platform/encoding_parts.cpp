// The tables the codecs share, built once from the CP932 codec and the C
// library, and the decoders' way of handing characters to a document's
// table of mapped characters.
#include "platform/encoding_parts.h"

#include "platform/iconv_converter.h"
#include "platform/mapped_chars.h"

namespace yk::codec {

const std::vector<char16_t>& Glyphs() {
  static const std::vector<char16_t> table = [] {
    std::vector<char16_t> t(0x10000, cp932::kSubstitute);
    for (unsigned code = 0; code < 0x10000; ++code) {
      const char bytes[2] = {static_cast<char>(code >> 8), static_cast<char>(code & 0xFF)};
      if (code <= 0xFF) {
        t[code] = cp932::Glyph(std::string_view(bytes + 1, 1));
      } else if (cp932::IsLeadByte(bytes[0]) && cp932::IsTrailByte(static_cast<unsigned char>(bytes[1]))) {
        t[code] = cp932::Glyph(std::string_view(bytes, 2));
      }
    }
    return t;
  }();
  return table;
}

Jis0212Tables::Jis0212Tables() {
  TIconvConverter toEuc("EUC-JP", "UTF-16LE");
  for (unsigned lead = 0xF0; lead <= 0xFC; ++lead)
    for (unsigned trail = 0x40; trail <= 0xFC; ++trail) {
      const std::uint16_t code = static_cast<std::uint16_t>(lead << 8 | trail);
      const char16_t u = GlyphOf(code);
      const char in[2] = {static_cast<char>(u & 0xFF), static_cast<char>(u >> 8)};
      char out[8];
      std::size_t size = sizeof out;
      if (u != cp932::kSubstitute && toEuc.Run(in, 2, out, size) && size == 3 && Byte(out, 0) == 0x8F)
        fromCp932[code] = static_cast<std::uint16_t>((Byte(out, 1) & 0x7F) << 8 | (Byte(out, 2) & 0x7F));
    }
  TIconvConverter fromEuc("UTF-16LE", "EUC-JP");
  for (unsigned j1 = 0x21; j1 <= 0x7E; ++j1)
    for (unsigned j2 = 0x21; j2 <= 0x7E; ++j2) {
      const char in[3] = {'\x8F', static_cast<char>(j1 | 0x80), static_cast<char>(j2 | 0x80)};
      char out[8];
      std::size_t size = sizeof out;
      if (!fromEuc.Run(in, 3, out, size) || size != 2) continue;
      const char16_t u = static_cast<char16_t>(Byte(out, 0) | Byte(out, 1) << 8);
      const std::uint16_t code = cp932::CodeTable()[u];
      const std::size_t k = Index(j1, j2);
      toCp932[k] = code;
      exact[k] = code != kNoCode && fromCp932[code] == (j1 << 8 | j2);
      unicode[k] = u;
      if (fromUnicode[u] == 0) fromUnicode[u] = static_cast<std::uint16_t>(j1 << 8 | j2);
    }
}

const Jis0212Tables& Jis0212() {
  static const Jis0212Tables tables;
  return tables;
}

// A character is plain when it has a CP932 code outside the user-defined
// area that no other character shares.
const std::uint64_t* PlainBits() {
  static const std::vector<std::uint64_t> bits = [] {
    const std::uint16_t* table = cp932::CodeTable();
    std::vector<unsigned char> sharers(0x10000, 0);
    for (char32_t u = 0; u < 0x10000; ++u)
      if (table[u] != kNoCode && sharers[table[u]] < 2) ++sharers[table[u]];
    std::vector<std::uint64_t> b(0x10000 / 64, 0);
    for (char32_t u = 0; u < 0x10000; ++u) {
      const std::uint16_t code = table[u];
      if (code == kNoCode || TMappedChars::IsAreaCode(code) || sharers[code] > 1 || GlyphOf(code) != u) continue;
      b[u >> 6] |= std::uint64_t{1} << (u & 63);
    }
    return b;
  }();
  return bits.data();
}

void Cp932Out::Char(char32_t c) {
  const std::uint16_t code = chars_->CodeFor(c);
  if (code == kNoCode) return Unmapped();
  PutCode(p_, code);
}

void Cp932Out::Apart(char32_t c, std::uint16_t shown) {
  const std::uint16_t code = chars_->CodeApart(c);
  if (code != kNoCode) return PutCode(p_, code);
  // No code left: shown as the other, and counted, since it would not be
  // written back as it was.
  PutCode(p_, shown);
  CountUnmapped();
}

}  // namespace yk::codec
