// UTF-16 documents, either byte order: read into CP932 a piece at a time,
// and written back.
#include "platform/encoding_parts.h"

namespace yk::codec {

namespace {

char16_t Unit(std::string_view s, std::size_t i, bool le) {
  return le ? static_cast<char16_t>(Byte(s, i) | Byte(s, i + 1) << 8)
            : static_cast<char16_t>(Byte(s, i) << 8 | Byte(s, i + 1));
}

bool IsHighSurrogate(char16_t u) { return u >= 0xD800 && u <= 0xDBFF; }
bool IsLowSurrogate(char16_t u) { return u >= 0xDC00 && u <= 0xDFFF; }

char* PutUnit(char* p, char16_t u, bool le) {
  *p++ = static_cast<char>(le ? u & 0xFF : u >> 8);
  *p++ = static_cast<char>(le ? u >> 8 : u & 0xFF);
  return p;
}

char* PutUtf16(char* p, char32_t u, bool le) {
  if (u < 0x10000) return PutUnit(p, static_cast<char16_t>(u), le);
  p = PutUnit(p, static_cast<char16_t>(0xD800 + ((u - 0x10000) >> 10)), le);
  return PutUnit(p, static_cast<char16_t>(0xDC00 + ((u - 0x10000) & 0x3FF)), le);
}

}  // namespace

std::size_t Utf16Piece(std::string_view s, bool last, bool le, Cp932Out& out) {
  const std::uint16_t* const table = cp932::CodeTable();
  const std::uint64_t* const plain = PlainBits();
  std::size_t i = 0;
  for (; i + 2 <= s.size(); i += 2) {
    const char16_t u = Unit(s, i, le);
    if (u < 0x80) {
      out.Byte(static_cast<unsigned char>(u));
    } else if (IsPlain(plain, u)) {
      out.Code(table[u]);
    } else if (IsHighSurrogate(u) && i + 4 > s.size() && !last) {
      return i;  // its low half is in the next piece
    } else if (IsHighSurrogate(u) && i + 4 <= s.size() && IsLowSurrogate(Unit(s, i + 2, le))) {
      out.Char(0x10000 + ((static_cast<char32_t>(u) - 0xD800) << 10) + (Unit(s, i + 2, le) - 0xDC00));
      i += 2;
    } else if (u >= 0xD800 && u <= 0xDFFF) {
      out.Invalid();
    } else {
      out.Char(u);
    }
  }
  if (i < s.size() && last) {  // an odd byte at the end
    out.Invalid();
    i = s.size();
  }
  return i;
}

TEncodedText EncodeUtf16(std::string_view s, const TTextFormat& format, const TMappedChars* chars) {
  const bool le = format.encoding == teUtf16Le;
  TEncodedText e;
  if (format.bom) e.bytes = le ? kUtf16LeBom : kUtf16BeBom;
  WriteUnicode(s, chars, e, [le](char* p, char32_t u) { return PutUtf16(p, u, le); }, false);
  return e;
}

}  // namespace yk::codec
