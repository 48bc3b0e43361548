// CP932 <-> Unicode through the C library's CP932 converter, with a lookup
// table for the glyphs that painting needs.
#include "platform/cp932_codec.h"

#include <array>
#include <cstdint>
#include <cerrno>
#include <memory>
#include <vector>

#include "platform/iconv_converter.h"
#include "platform/mapped_chars.h"
#include "platform/unicode.h"
#include "text/cp932.h"

namespace yk::cp932 {

namespace {

using Converter = TIconvConverter;

// 256 single-byte glyphs and 256 trail bytes for each of the 60 lead bytes.
struct GlyphTable {
  std::array<char16_t, 256> single{};
  std::vector<char16_t> pairs = std::vector<char16_t>(60 * 256, kSubstitute);

  static int LeadIndex(unsigned char lead) { return lead <= 0x9F ? lead - 0x81 : lead - 0xE0 + 31; }

  GlyphTable() {
    Converter conv("UTF-16LE", "CP932");
    for (int b = 0; b < 256; ++b) single[static_cast<std::size_t>(b)] = Convert(conv, {static_cast<char>(b)});
    for (int lead = 0x81; lead <= 0xFC; ++lead) {
      if (!IsLeadByte(static_cast<unsigned char>(lead))) continue;
      for (int trail = 0x40; trail <= 0xFC; ++trail)
        pairs[static_cast<std::size_t>(LeadIndex(static_cast<unsigned char>(lead)) * 256 + trail)] =
            Convert(conv, {static_cast<char>(lead), static_cast<char>(trail)});
    }
  }

  static char16_t Convert(Converter& conv, std::string bytes) {
    if (!conv.Ok()) return bytes.size() == 1 && static_cast<unsigned char>(bytes[0]) < 0x80 ? bytes[0] : kSubstitute;
    char out[8];
    std::size_t size = sizeof out;
    if (!conv.Run(bytes.data(), bytes.size(), out, size) || size != 2) return kSubstitute;
    return static_cast<char16_t>(static_cast<unsigned char>(out[0]) | static_cast<unsigned char>(out[1]) << 8);
  }
};

const GlyphTable& Table() {
  static const GlyphTable table;
  return table;
}

// Decodes UTF-8 leniently: each byte of a malformed sequence becomes U+FFFD.
std::u16string Utf8ToUtf16(std::string_view s) {
  std::u16string out;
  for (std::size_t i = 0; i < s.size();) {
    const unicode::TCodePoint p = unicode::Utf8At(s, i);
    if (p.length == 0) {
      out += kSubstitute;
      ++i;
      continue;
    }
    i += p.length;
    if (p.c >= 0x10000) {
      out += static_cast<char16_t>(0xD800 + ((p.c - 0x10000) >> 10));
      out += static_cast<char16_t>(0xDC00 + ((p.c - 0x10000) & 0x3FF));
    } else {
      out += static_cast<char16_t>(p.c);
    }
  }
  return out;
}

}  // namespace

char16_t Glyph(std::string_view ch) noexcept {
  if (ch.empty()) return kSubstitute;
  const GlyphTable& t = Table();
  unsigned char lead = static_cast<unsigned char>(ch[0]);
  if (ch.size() >= 2 && IsLeadByte(lead))
    return t.pairs[static_cast<std::size_t>(GlyphTable::LeadIndex(lead) * 256 + static_cast<unsigned char>(ch[1]))];
  return t.single[lead];
}

std::u16string Decode(std::string_view bytes) {
  std::u16string out;
  out.reserve(bytes.size());
  for (std::size_t i = 0; i < bytes.size(); i += CharLength(bytes, i)) out += Glyph(bytes.substr(i, CharLength(bytes, i)));
  return out;
}

namespace {

// CP932 code for each BMP code point (kNoCode: none), asked of the C
// library's converter once, so that its mapping of the JIS-style code points
// is the one we use.
const std::vector<std::uint16_t>& ReverseTable() {
  static const std::vector<std::uint16_t> table = [] {
    std::vector<std::uint16_t> t(0x10000, kNoCode);
    Converter conv("CP932", "UTF-16LE");
    char out[8];
    for (std::uint32_t c = 0; c < 0x10000; ++c) {
      if (c >= 0xD800 && c <= 0xDFFF) continue;
      char in[2] = {static_cast<char>(c & 0xFF), static_cast<char>(c >> 8)};
      std::size_t size = sizeof out;
      if (!conv.Ok() || !conv.Run(in, 2, out, size)) continue;
      if (size == 1) t[c] = static_cast<unsigned char>(out[0]);
      if (size == 2) t[c] = static_cast<std::uint16_t>(static_cast<unsigned char>(out[0]) << 8 | static_cast<unsigned char>(out[1]));
    }
    if (!conv.Ok())
      for (std::uint32_t c = 0; c < 0x80; ++c) t[c] = static_cast<std::uint16_t>(c);
    return t;
  }();
  return table;
}

// One character's code in its bytes, or "?" (counted) where it has none.
void Append(TEncoded& result, std::uint16_t code) {
  if (code == kNoCode) {
    result.bytes += '?';
    ++result.replaced;
  } else if (code > 0xFF) {
    result.bytes += static_cast<char>(code >> 8);
    result.bytes += static_cast<char>(code & 0xFF);
  } else {
    result.bytes += static_cast<char>(code);
  }
}

}  // namespace

const std::uint16_t* CodeTable() noexcept { return ReverseTable().data(); }

TEncoded Encode(std::u16string_view text) {
  const std::vector<std::uint16_t>& table = ReverseTable();
  TEncoded result;
  result.bytes.reserve(text.size() * 2);
  for (std::size_t i = 0; i < text.size(); ++i) {
    char16_t c = text[i];
    std::uint16_t code = kNoCode;
    if (c >= 0xD800 && c <= 0xDFFF) {
      // Characters beyond the BMP have no CP932 form: one "?" for the pair.
      if (c <= 0xDBFF && i + 1 < text.size() && text[i + 1] >= 0xDC00 && text[i + 1] <= 0xDFFF) ++i;
    } else {
      code = table[c];
    }
    Append(result, code);
  }
  return result;
}

char32_t CharOf(std::string_view ch, const TMappedChars* chars) noexcept {
  if (chars && !ch.empty() && !chars->Plain()) {
    const unsigned char lead = static_cast<unsigned char>(ch[0]);
    const std::uint16_t code =
        ch.size() >= 2 && IsLeadByte(lead) ? static_cast<std::uint16_t>(lead << 8 | static_cast<unsigned char>(ch[1])) : lead;
    if (const char32_t c = chars->CharOf(code)) return c;
  }
  return Glyph(ch);
}

namespace {

void AppendUtf16(std::u16string& out, char32_t c) {
  if (c < 0x10000) {
    out += static_cast<char16_t>(c);
    return;
  }
  out += static_cast<char16_t>(0xD800 + ((c - 0x10000) >> 10));
  out += static_cast<char16_t>(0xDC00 + ((c - 0x10000) & 0x3FF));
}

}  // namespace

std::u16string Decode(std::string_view bytes, const TMappedChars* chars) {
  if (!chars || chars->Plain()) return Decode(bytes);
  std::u16string out;
  out.reserve(bytes.size());
  for (std::size_t i = 0; i < bytes.size(); i += CharLength(bytes, i))
    AppendUtf16(out, CharOf(bytes.substr(i, CharLength(bytes, i)), chars));
  return out;
}

TEncoded Encode(std::u16string_view text, TMappedChars* chars) {
  if (!chars) return Encode(text);
  TEncoded result;
  result.bytes.reserve(text.size() * 2);
  for (std::size_t i = 0; i < text.size(); ++i) {
    char32_t c = text[i];
    if (c >= 0xD800 && c <= 0xDBFF && i + 1 < text.size() && text[i + 1] >= 0xDC00 && text[i + 1] <= 0xDFFF) {
      c = 0x10000 + ((c - 0xD800) << 10) + (text[++i] - 0xDC00);
    }
    const std::uint16_t code = c >= 0xD800 && c <= 0xDFFF ? kNoCode : c < 0x80 ? static_cast<std::uint16_t>(c) : chars->CodeFor(c);
    Append(result, code);
  }
  return result;
}

std::string DecodeToUtf8(std::string_view bytes) {
  std::string out;
  out.reserve(bytes.size() * 3 / 2);
  for (char16_t c : Decode(bytes)) unicode::AppendUtf8(out, c);
  return out;
}

TEncoded EncodeFromUtf8(std::string_view utf8) { return Encode(Utf8ToUtf16(utf8)); }

}  // namespace yk::cp932
