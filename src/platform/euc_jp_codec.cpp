// EUC-JP documents: JIS X 0208 moves to and from Shift-JIS by arithmetic,
// JIS X 0212 (three bytes after 0x8F) through the C library's tables.
#include "platform/encoding_parts.h"

namespace yk::codec {

namespace {

// The JIS X 0212 code (j1 << 8 | j2) a CP932 character is written as: the
// character a document mapped, or one CP932 shares with JIS X 0212; 0 for
// none.
std::uint16_t Jis0212Of(Cp932Char c, const TMappedChars* chars) {
  if (!c.pair) return 0;
  if (chars && chars->IsMapped(c.code)) {
    const char32_t u = chars->CharOf(c.code);
    return u < 0x10000 ? Jis0212().fromUnicode[u] : 0;
  }
  return Jis0212().fromCp932[c.code];
}

// The EUC-JP bytes of one CP932 character; false when it has none.
bool PutEuc(std::string& out, Cp932Char c, const TMappedChars* chars) {
  if (!c.pair) {
    if (c.code >= 0x80 && !cp932::IsHalfWidthKana(static_cast<unsigned char>(c.code))) return false;
    if (c.code >= 0x80) out += '\x8E';
    out += static_cast<char>(c.code);
    return true;
  }
  std::uint16_t jis = 0;
  if (InJis0208Range(c.code >> 8)) {
    jis = JisOfSjis(c.code);
  } else if ((jis = Jis0212Of(c, chars)) != 0) {
    out += '\x8F';
  } else {
    return false;
  }
  out += static_cast<char>((jis >> 8) | 0x80);
  out += static_cast<char>((jis & 0xFF) | 0x80);
  return true;
}

}  // namespace

// A JIS X 0212 character: its CP932 code where that is written back as the
// same character, else a mapped code of the document's own.
void PutJis0212(Cp932Out& out, unsigned j1, unsigned j2) {
  const Jis0212Tables& t = Jis0212();
  const std::size_t k = Jis0212Tables::Index(j1, j2);
  if (t.exact[k]) return out.Code(t.toCp932[k]);
  if (t.unicode[k] == 0) return out.Unmapped();
  if (t.toCp932[k] == kNoCode) return out.Char(t.unicode[k]);
  out.Apart(t.unicode[k], t.toCp932[k]);
}

std::size_t EucJpPiece(std::string_view s, bool last, Cp932Out& out) {
  std::size_t i = 0;
  while (i < s.size()) {
    const unsigned char b = Byte(s, i);
    const std::size_t left = s.size() - i;
    const std::size_t need = b == 0x8F ? 3 : b == 0x8E || IsEucByte(b) ? 2 : 1;
    if (left < need && !last) break;
    if (b < 0x80) {
      out.Byte(b);
      i += 1;
    } else if (b == 0x8E && left >= 2 && cp932::IsHalfWidthKana(Byte(s, i + 1))) {
      out.Byte(Byte(s, i + 1));
      i += 2;
    } else if (b == 0x8F && left >= 3 && IsEucByte(Byte(s, i + 1)) && IsEucByte(Byte(s, i + 2))) {
      PutJis0212(out, Byte(s, i + 1) & 0x7F, Byte(s, i + 2) & 0x7F);
      i += 3;
    } else if (IsEucByte(b) && left >= 2 && IsEucByte(Byte(s, i + 1))) {
      out.Code(SjisOfJis(b & 0x7F, Byte(s, i + 1) & 0x7F));
      i += 2;
    } else {
      out.Invalid();
      i += 1;
    }
  }
  return i;
}

TEncodedText EncodeEucJp(std::string_view s, const TMappedChars* chars) {
  TEncodedText e;
  e.bytes.reserve(s.size() + s.size() / 8);
  for (std::size_t i = 0; i < s.size();) {
    const Cp932Char c = Cp932At(s, i);
    i += c.pair ? 2 : 1;
    if (!PutEuc(e.bytes, c, chars)) {
      e.bytes += '?';
      ++e.unrepresentable;
    }
  }
  return e;
}

// Also the JIS writer's: a CP932 character's JIS X 0212 code or 0.
std::uint16_t Jis0212Code(Cp932Char c, const TMappedChars* chars) { return Jis0212Of(c, chars); }

}  // namespace yk::codec
