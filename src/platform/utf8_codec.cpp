// UTF-8 documents: read into CP932 a piece at a time, and written back.
#include "platform/encoding_parts.h"
#include "platform/unicode.h"

namespace yk::codec {

namespace {

// How long the sequence is that a byte starts, where that is more than one.
std::size_t Utf8Length(unsigned char b) {
  return b >= 0xC2 && b <= 0xDF ? 2 : b >= 0xE0 && b <= 0xEF ? 3 : b >= 0xF0 && b <= 0xF4 ? 4 : 1;
}

char* PutUtf8(char* p, char32_t u) {
  if (u < 0x80) {
    *p++ = static_cast<char>(u);
  } else if (u < 0x800) {
    *p++ = static_cast<char>(0xC0 | (u >> 6));
    *p++ = static_cast<char>(0x80 | (u & 0x3F));
  } else if (u < 0x10000) {
    *p++ = static_cast<char>(0xE0 | (u >> 12));
    *p++ = static_cast<char>(0x80 | ((u >> 6) & 0x3F));
    *p++ = static_cast<char>(0x80 | (u & 0x3F));
  } else {
    *p++ = static_cast<char>(0xF0 | (u >> 18));
    *p++ = static_cast<char>(0x80 | ((u >> 12) & 0x3F));
    *p++ = static_cast<char>(0x80 | ((u >> 6) & 0x3F));
    *p++ = static_cast<char>(0x80 | (u & 0x3F));
  }
  return p;
}

}  // namespace

// strict: stop at the first malformed sequence. ASCII runs and the plain
// three-byte characters of kana and kanji take the fast paths; the rest
// goes through the document's table.
std::size_t Utf8Piece(std::string_view s, bool last, bool strict, Cp932Out& out) {
  const std::uint16_t* const table = cp932::CodeTable();
  const std::uint64_t* const plain = PlainBits();
  char* p = out.Take();
  std::size_t i = 0;
  while (i < s.size()) {
    if (Byte(s, i) < 0x80) {
      if (i + 8 <= s.size() && (Load8(s.data() + i) & kHighBits) == 0) {
        std::memcpy(p, s.data() + i, 8);
        p += 8;
        i += 8;
      } else {
        *p++ = s[i++];
      }
      continue;
    }
    if (const char16_t u = ThreeByteAt(s, i); u != 0 && IsPlain(plain, u)) {
      PutCode(p, table[u]);
      i += 3;
      continue;
    }
    out.Give(p);
    bool stop = false;
    if (const unicode::TCodePoint c = unicode::Utf8At(s, i); c.length != 0) {
      out.Char(c.c);
      i += c.length;
    } else if (!last && s.size() - i < Utf8Length(Byte(s, i))) {
      stop = true;  // completed by the next piece
    } else {
      out.Invalid();
      stop = strict;
      i += !strict;
    }
    p = out.Take();
    if (stop) break;
  }
  out.Give(p);
  return i;
}

TEncodedText EncodeUtf8(std::string_view s, const TTextFormat& format, const TMappedChars* chars) {
  TEncodedText e;
  if (format.bom) e.bytes = kUtf8Bom;
  WriteUnicode(s, chars, e, [](char* p, char32_t u) { return PutUtf8(p, u); }, true);
  return e;
}

}  // namespace yk::codec
