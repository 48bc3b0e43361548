// What the codecs of the encodings share, inside the platform folder only:
// CP932 characters as codes, the CP932 output of a decoder, the JIS X 0208
// arithmetic and the JIS X 0212 tables, and the pieces each codec exports
// to the decoder and encoder of text_encoding.cpp.
#pragma once

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "platform/cp932_codec.h"
#include "platform/mapped_chars.h"
#include "platform/text_encoding.h"
#include "text/cp932.h"

namespace yk::codec {

using cp932::kNoCode;

inline constexpr char kUtf8Bom[] = "\xEF\xBB\xBF";
inline constexpr char kUtf16LeBom[] = "\xFF\xFE";
inline constexpr char kUtf16BeBom[] = "\xFE\xFF";
inline constexpr unsigned char kEsc = 0x1B;

inline unsigned char Byte(std::string_view s, std::size_t i) { return static_cast<unsigned char>(s[i]); }

inline std::uint64_t Load8(const char* p) {
  std::uint64_t v;
  std::memcpy(&v, p, 8);
  return v;
}
inline constexpr std::uint64_t kHighBits = 0x8080808080808080ull;

// ---------------------------------------------------------------------------
// Characters of a CP932 text as codes: a byte, or lead << 8 | trail. A lead
// byte without a valid trail after it is a byte of its own, so a line end
// after it stays a line end.

struct Cp932Char {
  std::uint16_t code;
  bool pair;
};

inline Cp932Char Cp932At(std::string_view s, std::size_t i) {
  const unsigned char b = Byte(s, i);
  if (cp932::IsLeadByte(b) && i + 1 < s.size() && cp932::IsTrailByte(Byte(s, i + 1)))
    return {static_cast<std::uint16_t>(b << 8 | Byte(s, i + 1)), true};
  return {b, false};
}

inline void PutCode(char*& out, std::uint16_t code) {
  if (code > 0xFF) *out++ = static_cast<char>(code >> 8);
  *out++ = static_cast<char>(code & 0xFF);
}

// The codec's character of every code (bytes at 0-0xFF, pairs above), so
// that long texts cost one load per character.
const std::vector<char16_t>& Glyphs();
inline char16_t GlyphOf(std::uint16_t code) { return Glyphs()[code]; }

// ---------------------------------------------------------------------------
// JIS X 0208 row and cell (0x21-0x7E each) and Shift-JIS, both ways.

inline bool InJis0208Range(unsigned lead) { return (lead >= 0x81 && lead <= 0x9F) || (lead >= 0xE0 && lead <= 0xEF); }

inline std::uint16_t SjisOfJis(unsigned j1, unsigned j2) {
  const unsigned s1 = ((j1 + 1) >> 1) + (j1 <= 0x5E ? 0x70 : 0xB0);
  const unsigned s2 = j2 + ((j1 & 1) ? (j2 >= 0x60 ? 0x20 : 0x1F) : 0x7E);
  return static_cast<std::uint16_t>(s1 << 8 | s2);
}

// For a pair whose lead is InJis0208Range and whose trail is valid.
inline std::uint16_t JisOfSjis(std::uint16_t code) {
  const unsigned s1 = code >> 8, s2 = code & 0xFF;
  unsigned j1 = (s1 - (s1 <= 0x9F ? 0x70 : 0xB0)) * 2 - 1;
  unsigned j2 = s2 - (s2 >= 0x80 ? 0x20 : 0x1F);
  if (s2 >= 0x9F) {
    ++j1;
    j2 = s2 - 0x7E;
  }
  return static_cast<std::uint16_t>(j1 << 8 | j2);
}

inline bool IsJisByte(unsigned char b) { return b >= 0x21 && b <= 0x7E; }
inline bool IsEucByte(unsigned char b) { return b >= 0xA1 && b <= 0xFE; }

// JIS X 0212, the supplementary kanji of EUC-JP's three-byte sequences and
// of ISO-2022-JP's ESC $ ( D, against CP932 (IBM extensions mostly) and
// Unicode.
struct Jis0212Tables {
  static constexpr std::size_t Index(unsigned j1, unsigned j2) { return (j1 - 0x21) * 94 + (j2 - 0x21); }
  // By Index: the CP932 code (kNoCode: none); whether that code is written
  // back as this same JIS X 0212 character; the Unicode character (0: the
  // C library knows none).
  std::vector<std::uint16_t> toCp932 = std::vector<std::uint16_t>(94 * 94, kNoCode);
  std::vector<bool> exact = std::vector<bool>(94 * 94, false);
  std::vector<char16_t> unicode = std::vector<char16_t>(94 * 94, 0);
  // By CP932 code with lead 0xF0-0xFC: j1 << 8 | j2, or 0.
  std::vector<std::uint16_t> fromCp932 = std::vector<std::uint16_t>(0x10000, 0);
  // By Unicode character: j1 << 8 | j2, or 0; the characters of a document
  // that were given mapped codes are written back through it.
  std::vector<std::uint16_t> fromUnicode = std::vector<std::uint16_t>(0x10000, 0);

  Jis0212Tables();
};
const Jis0212Tables& Jis0212();

// ---------------------------------------------------------------------------
// Other encodings in, CP932 out, a piece at a time. Every decoder writes at
// most one byte per byte read, so the output is sized once per piece and
// cut at the end. A piece function returns how many bytes it used: it stops
// before a character the piece's end cuts (unless last), so that reading
// in pieces gives exactly what reading the whole does.

struct Loss {
  int unmapped = 0;
  int invalid = 0;
};

class Cp932Out {
 public:
  // chars: where characters CP932 cannot hold get codes (needed by Char
  // and Apart).
  Cp932Out(std::string& out, Loss& loss, std::size_t most, TMappedChars* chars = nullptr)
      : out_(out), loss_(loss), chars_(chars) {
    const std::size_t base = out_.size();
    out_.resize(base + most);
    p_ = out_.data() + base;
  }
  ~Cp932Out() { out_.resize(static_cast<std::size_t>(p_ - out_.data())); }
  Cp932Out(const Cp932Out&) = delete;
  Cp932Out& operator=(const Cp932Out&) = delete;

  void Byte(unsigned char b) { *p_++ = static_cast<char>(b); }
  void Code(std::uint16_t code) { PutCode(p_, code); }
  // For a tight loop: the write position, kept in a local (stores of bytes
  // could otherwise change any member, and each would be read again), and
  // handed back before any other call.
  char* Take() const { return p_; }
  void Give(char* p) { p_ = p; }
  void Invalid() {
    *p_++ = '?';
    ++loss_.invalid;
  }
  void Unmapped() {
    *p_++ = '?';
    ++loss_.unmapped;
  }
  void CountUnmapped() { ++loss_.unmapped; }
  // A character of a Unicode text: its code in this document (a mapped one
  // where CP932 has none, or where the document keeps a second form apart).
  void Char(char32_t c);
  // A character that must keep its own mapped code although CP932 shows it
  // through another one (it would be written back as that other's bytes).
  void Apart(char32_t c, std::uint16_t shown);

 private:
  std::string& out_;
  Loss& loss_;
  TMappedChars* chars_;
  char* p_;
};

// Where the decoding loops may copy a character through the codec's table
// without a second look: false for the characters that have no CP932 form,
// that CP932 writes alike with another, or that are private use (whose
// codes the document's table must know about).
const std::uint64_t* PlainBits();
inline bool IsPlain(const std::uint64_t* bits, char16_t u) { return bits[u >> 6] >> (u & 63) & 1; }

// The pieces of each codec (their files hold them).
std::size_t Utf8Piece(std::string_view s, bool last, bool strict, Cp932Out& out);
std::size_t Utf16Piece(std::string_view s, bool last, bool le, Cp932Out& out);
std::size_t EucJpPiece(std::string_view s, bool last, Cp932Out& out);
void PutJis0212(Cp932Out& out, unsigned j1, unsigned j2);
// The JIS X 0212 code (j1 << 8 | j2) a CP932 character is written as in
// EUC-JP and ISO-2022-JP, its mapped character's included; 0 for none.
std::uint16_t Jis0212Code(Cp932Char c, const TMappedChars* chars);

TEncodedText EncodeUtf8(std::string_view s, const TTextFormat& format, const TMappedChars* chars);
TEncodedText EncodeUtf16(std::string_view s, const TTextFormat& format, const TMappedChars* chars);
TEncodedText EncodeEucJp(std::string_view s, const TMappedChars* chars);
TEncodedText EncodeJis(std::string_view s, const TTextFormat& format, const TMappedChars* chars);
// CP932 itself: the characters a table mapped have no bytes there.
TEncodedText EncodeCp932(std::string_view s, const TMappedChars* chars);

// ISO-2022-JP is read whole.
TDecodedText DecodeJis(std::string_view s, TMappedChars* chars);
enum JisMode { jmAscii, jmRoman, jmKana, jmKanji, jmJis0212 };
// The designation at s[i] (an ESC): its length and mode, or length 0.
std::pair<std::size_t, JisMode> JisEscape(std::string_view s, std::size_t i);
// Whether 7-bit text reads as ISO-2022-JP without a malformed sequence,
// starting in mode; mode becomes the one it ends in.
bool JisValid(std::string_view s, JisMode& mode);

// Detection's helpers that decoding uses too (encoding_detect.cpp).
inline bool StartsWith(std::string_view s, std::string_view prefix) { return s.substr(0, prefix.size()) == prefix; }
// The encoding a byte-order mark at the start names.
std::optional<TTextEncoding> ByMark(std::string_view data);
// The first byte above ASCII, or npos.
std::size_t FindNonAscii(std::string_view s);
// For a text that is not UTF-8, from its first byte above ASCII on.
TTextEncoding EucJpOrCp932(std::string_view data, std::size_t first);

// The code point of a three-byte UTF-8 sequence at s[i] (kana and kanji:
// most of a Japanese text), or 0 when it is not a valid one.
inline char16_t ThreeByteAt(std::string_view s, std::size_t i) {
  const unsigned char b = Byte(s, i);
  if ((b & 0xF0) != 0xE0 || i + 2 >= s.size()) return 0;
  const unsigned char t1 = Byte(s, i + 1), t2 = Byte(s, i + 2);
  if ((t1 & 0xC0) != 0x80 || (t2 & 0xC0) != 0x80) return 0;
  const char16_t u = static_cast<char16_t>((b & 0x0F) << 12 | (t1 & 0x3F) << 6 | (t2 & 0x3F));
  return u >= 0x800 && (u < 0xD800 || u > 0xDFFF) ? u : 0;
}

// Writes a CP932 text in a Unicode encoding a block at a time, through a
// pointer into room for the most it can need (three bytes per byte: a
// half-width katakana in UTF-8), then cuts the string to what was written.
// put(p, c) writes character c at p and returns the end; ASCII runs go
// through copyAscii(p, from, n) where that is set.
template <class Put>
void WriteUnicode(std::string_view s, const TMappedChars* chars, TEncodedText& e, Put put, bool copyAscii) {
  constexpr std::size_t kBlock = 1 << 16;
  const char16_t* glyphs = Glyphs().data();
  const bool plain = !chars || chars->Plain();
  for (std::size_t i = 0; i < s.size();) {
    const std::size_t end = std::min(s.size(), i + kBlock), base = e.bytes.size();
    e.bytes.resize(base + (end - i) * 3 + 3);
    char* p = e.bytes.data() + base;
    while (i < end) {
      if (copyAscii && i + 8 <= end && (Load8(s.data() + i) & kHighBits) == 0) {
        std::memcpy(p, s.data() + i, 8);
        p += 8;
        i += 8;
        continue;
      }
      const Cp932Char c = Cp932At(s, i);
      i += c.pair ? 2 : 1;
      const char32_t mapped = plain ? 0 : chars->CharOf(c.code);
      const char32_t u = mapped != 0 ? mapped : !c.pair && c.code < 0x80 ? c.code : glyphs[c.code];
      e.unrepresentable += mapped == 0 && u == cp932::kSubstitute;
      p = put(p, u);
    }
    e.bytes.resize(static_cast<std::size_t>(p - e.bytes.data()));
  }
}

}  // namespace yk::codec
