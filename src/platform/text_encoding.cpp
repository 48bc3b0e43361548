// Detection of a file's encoding, conversion of its text to CP932 and back,
// and line-end styles. JIS X 0208 characters move between Shift-JIS,
// EUC-JP and ISO-2022-JP by arithmetic, which is exact both ways; Unicode
// goes through the CP932 codec's tables; JIS X 0212 through the C library.
#include "platform/text_encoding.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <optional>

#include "platform/cp932_codec.h"
#include "platform/iconv_converter.h"
#include "platform/unicode.h"
#include "text/cp932.h"
#include "text/line_end.h"

namespace yk {

namespace {

using cp932::IsHalfWidthKana;
using cp932::IsLeadByte;
using cp932::IsTrailByte;
using cp932::kNoCode;

constexpr char kUtf8Bom[] = "\xEF\xBB\xBF";
constexpr char kUtf16LeBom[] = "\xFF\xFE";
constexpr char kUtf16BeBom[] = "\xFE\xFF";
constexpr unsigned char kEsc = 0x1B;

unsigned char Byte(std::string_view s, std::size_t i) { return static_cast<unsigned char>(s[i]); }

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
  if (IsLeadByte(b) && i + 1 < s.size() && IsTrailByte(Byte(s, i + 1)))
    return {static_cast<std::uint16_t>(b << 8 | Byte(s, i + 1)), true};
  return {b, false};
}

void PutCode(char*& out, std::uint16_t code) {
  if (code > 0xFF) *out++ = static_cast<char>(code >> 8);
  *out++ = static_cast<char>(code & 0xFF);
}

// The codec's character of every code (bytes at 0-0xFF, pairs above),
// so that long texts cost one load per character.
const std::vector<char16_t>& Glyphs() {
  static const std::vector<char16_t> table = [] {
    std::vector<char16_t> t(0x10000, cp932::kSubstitute);
    for (unsigned code = 0; code < 0x10000; ++code) {
      const char bytes[2] = {static_cast<char>(code >> 8), static_cast<char>(code & 0xFF)};
      if (code <= 0xFF) {
        t[code] = cp932::Glyph(std::string_view(bytes + 1, 1));
      } else if (IsLeadByte(bytes[0]) && IsTrailByte(static_cast<unsigned char>(bytes[1]))) {
        t[code] = cp932::Glyph(std::string_view(bytes, 2));
      }
    }
    return t;
  }();
  return table;
}

char16_t GlyphOf(std::uint16_t code) { return Glyphs()[code]; }

// ---------------------------------------------------------------------------
// JIS X 0208 row and cell (0x21-0x7E each) and Shift-JIS, both ways.

bool InJis0208Range(unsigned lead) { return (lead >= 0x81 && lead <= 0x9F) || (lead >= 0xE0 && lead <= 0xEF); }

std::uint16_t SjisOfJis(unsigned j1, unsigned j2) {
  const unsigned s1 = ((j1 + 1) >> 1) + (j1 <= 0x5E ? 0x70 : 0xB0);
  const unsigned s2 = j2 + ((j1 & 1) ? (j2 >= 0x60 ? 0x20 : 0x1F) : 0x7E);
  return static_cast<std::uint16_t>(s1 << 8 | s2);
}

// For a pair whose lead is InJis0208Range and whose trail is valid.
std::uint16_t JisOfSjis(std::uint16_t code) {
  const unsigned s1 = code >> 8, s2 = code & 0xFF;
  unsigned j1 = (s1 - (s1 <= 0x9F ? 0x70 : 0xB0)) * 2 - 1;
  unsigned j2 = s2 - (s2 >= 0x80 ? 0x20 : 0x1F);
  if (s2 >= 0x9F) {
    ++j1;
    j2 = s2 - 0x7E;
  }
  return static_cast<std::uint16_t>(j1 << 8 | j2);
}

bool IsJisByte(unsigned char b) { return b >= 0x21 && b <= 0x7E; }
bool IsEucByte(unsigned char b) { return b >= 0xA1 && b <= 0xFE; }

// JIS X 0212, the supplementary kanji of EUC-JP's three-byte sequences,
// against the CP932 characters that share them (IBM extensions mostly).
struct Jis0212Tables {
  static constexpr std::size_t Index(unsigned j1, unsigned j2) { return (j1 - 0x21) * 94 + (j2 - 0x21); }
  // By Index: the CP932 code (kNoCode: none); and whether that code is
  // written back as this same JIS X 0212 character.
  std::vector<std::uint16_t> toCp932 = std::vector<std::uint16_t>(94 * 94, kNoCode);
  std::vector<bool> exact = std::vector<bool>(94 * 94, false);
  // By CP932 code with lead 0xF0-0xFC: j1 << 8 | j2, or 0.
  std::vector<std::uint16_t> fromCp932 = std::vector<std::uint16_t>(0x10000, 0);

  Jis0212Tables() {
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
        const std::uint16_t code = cp932::CodeTable()[Byte(out, 0) | Byte(out, 1) << 8];
        toCp932[Index(j1, j2)] = code;
        exact[Index(j1, j2)] = code != kNoCode && fromCp932[code] == (j1 << 8 | j2);
      }
  }
};

const Jis0212Tables& Jis0212() {
  static const Jis0212Tables tables;
  return tables;
}

// ---------------------------------------------------------------------------
// Characters that CP932 writes alike: CP932's own character for a code and
// the others that map to it (WAVE DASH and FULLWIDTH TILDE, YEN SIGN and
// backslash, ...). Found from the codec's tables, not listed by hand.

struct TwinTables {
  struct Group {
    std::uint16_t code;
    std::vector<char16_t> chars;  // [0]: CP932's own
  };
  std::vector<Group> groups;
  // By character: group << 4 | member, plus 1; 0 for none.
  std::vector<std::uint16_t> slot = std::vector<std::uint16_t>(0x10000, 0);
  // The same characters as bits, small enough to stay in the cache.
  std::vector<std::uint64_t> marked = std::vector<std::uint64_t>(0x10000 / 64, 0);
  bool Marked(char16_t u) const { return marked[u >> 6] >> (u & 63) & 1; }
  // The groups whose CP932 character is ASCII (backslash, tilde), which
  // the decoding loops copy without looking up: their group and character.
  std::vector<std::pair<std::size_t, char>> asciiGroups;

  TwinTables() {
    const std::uint16_t* table = cp932::CodeTable();
    for (char32_t u = 0x80; u < 0x10000; ++u) {
      const std::uint16_t code = table[u];
      if (code == kNoCode || GlyphOf(code) == u) continue;
      Group& g = GroupOf(code);
      if (g.chars.size() < 16) g.chars.push_back(static_cast<char16_t>(u));
    }
    for (std::size_t g = 0; g < groups.size(); ++g)
      for (std::size_t m = 0; m < groups[g].chars.size(); ++m) {
        const char16_t u = groups[g].chars[m];
        slot[u] = static_cast<std::uint16_t>((g << 4 | m) + 1);
        marked[u >> 6] |= std::uint64_t{1} << (u & 63);
      }
    for (std::size_t g = 0; g < groups.size(); ++g)
      if (groups[g].chars[0] < 0x80) asciiGroups.emplace_back(g, static_cast<char>(groups[g].chars[0]));
  }

  Group& GroupOf(std::uint16_t code) {
    for (Group& g : groups)
      if (g.code == code) return g;
    groups.push_back({code, {GlyphOf(code)}});
    return groups.back();
  }
};

const TwinTables& Twins() {
  static const TwinTables tables;
  return tables;
}

// Counts the twin characters of one text; at the end the most used
// character of each group is the one to write back, the others are lost.
class TwinTally {
 public:
  TwinTally() : t_(Twins()), counts_(t_.groups.size() * 16, 0) {}

  void Count(char16_t u) {
    if (t_.Marked(u)) ++counts_[t_.slot[u] - 1u];
  }
  // For loops that test the bits themselves and call Count on a hit.
  const std::uint64_t* MarkedBits() const { return t_.marked.data(); }

  // The ASCII twins of a piece of UTF-8 or UTF-16 text. Found with memchr:
  // in Japanese text they are rare.
  void CountAscii(std::string_view utf8) {
    for (const auto& [g, c] : t_.asciiGroups) {
      const char* end = utf8.data() + utf8.size();
      for (const char* p = utf8.data(); (p = static_cast<const char*>(std::memchr(p, c, end - p))) != nullptr; ++p)
        ++counts_[g * 16];
    }
  }
  void CountAscii16(std::string_view utf16, bool le) {
    for (const auto& [g, c] : t_.asciiGroups) {
      const std::size_t at = le ? 0 : 1;  // the unit's low byte
      int n = 0;
      for (std::size_t i = 0; i + 2 <= utf16.size(); i += 2)
        n += utf16[i + at] == c && utf16[i + 1 - at] == 0;
      counts_[g * 16] += n;
    }
  }

  void Finish(TDecodedText& d) {
    for (std::size_t g = 0; g < t_.groups.size(); ++g) {
      const TwinTables::Group& group = t_.groups[g];
      int others = 0;
      for (std::size_t m = 1; m < group.chars.size(); ++m) others += counts_[g * 16 + m];
      if (others == 0) continue;
      std::size_t best = 0;
      int total = 0;
      for (std::size_t m = 0; m < group.chars.size(); ++m) {
        total += counts_[g * 16 + m];
        if (counts_[g * 16 + m] > counts_[g * 16 + best]) best = m;
      }
      d.unmapped += total - counts_[g * 16 + best];
      if (best != 0) d.format.twins.emplace_back(group.code, group.chars[best]);
    }
  }

 private:
  const TwinTables& t_;
  std::vector<int> counts_;
};

// The character to write for a CP932 code in a Unicode encoding.
class UnicodeWriter {
 public:
  explicit UnicodeWriter(const TTextFormat& format) : glyphs_(Glyphs().data()) {
    if (format.twins.empty()) return;
    overrides_.assign(0x10000, 0);
    for (const auto& [code, u] : format.twins) overrides_[code] = u;
  }
  char16_t Of(Cp932Char c) const {
    if (!overrides_.empty() && overrides_[c.code]) return overrides_[c.code];
    return !c.pair && c.code < 0x80 ? c.code : glyphs_[c.code];
  }

 private:
  const char16_t* glyphs_;
  std::vector<char16_t> overrides_;
};

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
  Cp932Out(std::string& out, Loss& loss, std::size_t most) : out_(out), loss_(loss) {
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
  void Copy(const char* from, std::size_t n) {
    std::memcpy(p_, from, n);
    p_ += n;
  }
  void Invalid() {
    *p_++ = '?';
    ++loss_.invalid;
  }
  void Unmapped() {
    *p_++ = '?';
    ++loss_.unmapped;
  }
  void CountUnmapped() { ++loss_.unmapped; }
  // A BMP character through the codec's table.
  void Char(char16_t u, const std::uint16_t* table, TwinTally& twins) {
    const std::uint16_t code = table[u];
    if (code == kNoCode) return Unmapped();
    PutCode(p_, code);
    twins.Count(u);
  }

 private:
  std::string& out_;
  Loss& loss_;
  char* p_;
};

std::uint64_t Load8(const char* p) {
  std::uint64_t v;
  std::memcpy(&v, p, 8);
  return v;
}
constexpr std::uint64_t kHighBits = 0x8080808080808080ull;

// The code point of a three-byte sequence at s[i] (kana and kanji: most
// of a Japanese text), or 0 when it is not a valid one.
inline char16_t ThreeByteAt(std::string_view s, std::size_t i) {
  const unsigned char b = Byte(s, i);
  if ((b & 0xF0) != 0xE0 || i + 2 >= s.size()) return 0;
  const unsigned char t1 = Byte(s, i + 1), t2 = Byte(s, i + 2);
  if ((t1 & 0xC0) != 0x80 || (t2 & 0xC0) != 0x80) return 0;
  const char16_t u = static_cast<char16_t>((b & 0x0F) << 12 | (t1 & 0x3F) << 6 | (t2 & 0x3F));
  return u >= 0x800 && (u < 0xD800 || u > 0xDFFF) ? u : 0;
}

// How long the sequence is that a byte starts, where that is more than one.
std::size_t Utf8Length(unsigned char b) {
  return b >= 0xC2 && b <= 0xDF ? 2 : b >= 0xE0 && b <= 0xEF ? 3 : b >= 0xF0 && b <= 0xF4 ? 4 : 1;
}

// strict: stop at the first malformed sequence. ASCII runs and the
// three-byte characters of kana and kanji take the fast paths.
std::size_t Utf8Piece(std::string_view s, bool last, bool strict, Cp932Out& out, TwinTally& twins) {
  const std::uint16_t* const table = cp932::CodeTable();
  const std::uint64_t* const marked = twins.MarkedBits();
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
    if (const char16_t u = ThreeByteAt(s, i); u != 0 && table[u] != kNoCode) {
      if (marked[u >> 6] >> (u & 63) & 1) twins.Count(u);
      PutCode(p, table[u]);
      i += 3;
      continue;
    }
    out.Give(p);
    bool stop = false;
    if (const unicode::TCodePoint c = unicode::Utf8At(s, i); c.length != 0) {
      c.c >= 0x10000 ? out.Unmapped() : out.Char(static_cast<char16_t>(c.c), table, twins);
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

char16_t Unit(std::string_view s, std::size_t i, bool le) {
  return le ? static_cast<char16_t>(Byte(s, i) | Byte(s, i + 1) << 8)
            : static_cast<char16_t>(Byte(s, i) << 8 | Byte(s, i + 1));
}

bool IsHighSurrogate(char16_t u) { return u >= 0xD800 && u <= 0xDBFF; }
bool IsLowSurrogate(char16_t u) { return u >= 0xDC00 && u <= 0xDFFF; }

std::size_t Utf16Piece(std::string_view s, bool last, bool le, Cp932Out& out, TwinTally& twins) {
  const std::uint16_t* table = cp932::CodeTable();
  std::size_t i = 0;
  for (; i + 2 <= s.size(); i += 2) {
    const char16_t u = Unit(s, i, le);
    if (u < 0x80) {
      out.Byte(static_cast<unsigned char>(u));
    } else if (IsHighSurrogate(u) && i + 4 > s.size() && !last) {
      return i;  // its low half is in the next piece
    } else if (IsHighSurrogate(u) && i + 4 <= s.size() && IsLowSurrogate(Unit(s, i + 2, le))) {
      out.Unmapped();  // beyond the BMP: no CP932 form
      i += 2;
    } else if (u >= 0xD800 && u <= 0xDFFF) {
      out.Invalid();
    } else {
      out.Char(u, table, twins);
    }
  }
  if (i < s.size() && last) {  // an odd byte at the end
    out.Invalid();
    i = s.size();
  }
  return i;
}

// ---------------------------------------------------------------------------
// EUC-JP and ISO-2022-JP in, CP932 out.

void PutJis0212(Cp932Out& out, unsigned j1, unsigned j2) {
  const Jis0212Tables& t = Jis0212();
  const std::size_t k = Jis0212Tables::Index(j1, j2);
  if (t.toCp932[k] == kNoCode) return out.Unmapped();
  // A character that would be written back as another code is shown all
  // the same, and counted: the file cannot be saved as it was.
  out.Code(t.toCp932[k]);
  if (!t.exact[k]) out.CountUnmapped();
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
    } else if (b == 0x8E && left >= 2 && IsHalfWidthKana(Byte(s, i + 1))) {
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

enum JisMode { jmAscii, jmRoman, jmKana, jmKanji, jmJis0212 };

// The designation at s[i] (an ESC): its length and mode, or length 0.
std::pair<std::size_t, JisMode> JisEscape(std::string_view s, std::size_t i) {
  static constexpr struct {
    std::string_view bytes;
    JisMode mode;
  } kEscapes[] = {{"\x1B(B", jmAscii}, {"\x1B(J", jmRoman},  {"\x1B(I", jmKana},
                  {"\x1B$B", jmKanji}, {"\x1B$@", jmKanji}, {"\x1B$(D", jmJis0212}};
  for (const auto& e : kEscapes)
    if (s.substr(i, e.bytes.size()) == e.bytes) return {e.bytes.size(), e.mode};
  return {0, jmAscii};
}

// Reads ISO-2022-JP from a set designated before (jmAscii at the start).
class JisReader {
 public:
  JisReader(std::string_view s, TTextFormat& format, Cp932Out& out, JisMode mode)
      : s_(s), format_(format), out_(out), mode_(mode) {}

  void Run() {
    for (std::size_t i = 0; i < s_.size();) {
      const unsigned char b = Byte(s_, i);
      if (b == kEsc) {
        i += Designate(i);
      } else if (b >= 0x80) {
        out_.Invalid();
        ++i;
      } else if (b < 0x21 || b == 0x7F || mode_ == jmAscii || mode_ == jmRoman) {
        out_.Byte(b);  // controls, line ends and spaces pass in any mode
        ++i;
      } else if (mode_ == jmKana) {
        b <= 0x5F ? out_.Byte(static_cast<unsigned char>(b + 0x80)) : out_.Invalid();
        ++i;
      } else if (i + 1 < s_.size() && IsJisByte(Byte(s_, i + 1))) {
        mode_ == jmKanji ? out_.Code(SjisOfJis(b, Byte(s_, i + 1))) : PutJis0212(out_, b, Byte(s_, i + 1));
        i += 2;
      } else {
        out_.Invalid();
        ++i;
      }
    }
  }
  JisMode Mode() const { return mode_; }

 private:
  // Takes the escape at i; the first choices of kanji and single-byte sets
  // are the ones written back.
  std::size_t Designate(std::size_t i) {
    const auto [length, mode] = JisEscape(s_, i);
    if (length == 0) {
      out_.Invalid();
      return 1;
    }
    if ((mode == jmAscii || mode == jmRoman) && !sawSingle_) {
      sawSingle_ = true;
      format_.jisRoman = mode == jmRoman;
    }
    if (mode == jmKanji && !sawKanji_) {
      sawKanji_ = true;
      format_.jisOldKanji = s_[i + 2] == '@';
    }
    mode_ = mode;
    return length;
  }

  std::string_view s_;
  TTextFormat& format_;
  Cp932Out& out_;
  JisMode mode_;
  bool sawSingle_ = false;
  bool sawKanji_ = false;
};

TDecodedText DecodeJis(std::string_view s) {
  TDecodedText d;
  d.format.encoding = teJis;
  Loss loss;
  {
    Cp932Out out(d.bytes, loss, s.size());
    JisReader(s, d.format, out, jmAscii).Run();
  }
  d.unmapped = loss.unmapped;
  d.invalid = loss.invalid;
  return d;
}

// Whether 7-bit text reads as ISO-2022-JP without a malformed sequence,
// starting in mode; mode becomes the one it ends in.
bool JisValid(std::string_view s, JisMode& mode) {
  std::string scratch;
  Loss loss;
  TTextFormat format;
  Cp932Out out(scratch, loss, s.size());
  JisReader reader(s, format, out, mode);
  reader.Run();
  mode = reader.Mode();
  return loss.invalid == 0;
}

// ---------------------------------------------------------------------------
// CP932 in, the file's encoding out.

char* PutUtf8(char* p, char16_t u) {
  if (u < 0x80) {
    *p++ = static_cast<char>(u);
  } else if (u < 0x800) {
    *p++ = static_cast<char>(0xC0 | (u >> 6));
    *p++ = static_cast<char>(0x80 | (u & 0x3F));
  } else {
    *p++ = static_cast<char>(0xE0 | (u >> 12));
    *p++ = static_cast<char>(0x80 | ((u >> 6) & 0x3F));
    *p++ = static_cast<char>(0x80 | (u & 0x3F));
  }
  return p;
}

char* PutUtf16(char* p, char16_t u, bool le) {
  *p++ = static_cast<char>(le ? u & 0xFF : u >> 8);
  *p++ = static_cast<char>(le ? u >> 8 : u & 0xFF);
  return p;
}

// Writes a block of the text at a time through a pointer into room for the
// most it can need (three bytes per byte: a half-width katakana in UTF-8),
// then cuts the string to what was written.
template <class Put>
void WriteUnicode(std::string_view s, const TTextFormat& format, TEncodedText& e, Put put) {
  constexpr std::size_t kBlock = 1 << 16;
  const UnicodeWriter writer(format);
  // ASCII runs are copied as they are unless a twin stands for an ASCII code.
  const bool copyAscii = format.encoding == teUtf8 && std::none_of(format.twins.begin(), format.twins.end(),
                                                                    [](const auto& t) { return t.first < 0x80; });
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
      const char16_t u = writer.Of(c);
      e.unrepresentable += u == cp932::kSubstitute;
      p = put(p, u);
    }
    e.bytes.resize(static_cast<std::size_t>(p - e.bytes.data()));
  }
}

TEncodedText EncodeUnicode(std::string_view s, const TTextFormat& format) {
  const bool le = format.encoding == teUtf16Le;
  TEncodedText e;
  if (format.encoding == teUtf8) {
    if (format.bom) e.bytes = kUtf8Bom;
    WriteUnicode(s, format, e, [](char* p, char16_t u) { return PutUtf8(p, u); });
  } else {
    if (format.bom) e.bytes = le ? kUtf16LeBom : kUtf16BeBom;
    WriteUnicode(s, format, e, [le](char* p, char16_t u) { return PutUtf16(p, u, le); });
  }
  return e;
}

// The EUC-JP bytes of one CP932 character; false when it has none.
bool PutEuc(std::string& out, Cp932Char c) {
  if (!c.pair) {
    if (c.code >= 0x80 && !IsHalfWidthKana(static_cast<unsigned char>(c.code))) return false;
    if (c.code >= 0x80) out += '\x8E';
    out += static_cast<char>(c.code);
    return true;
  }
  std::uint16_t jis = 0;
  if (InJis0208Range(c.code >> 8)) {
    jis = JisOfSjis(c.code);
  } else if ((jis = Jis0212().fromCp932[c.code]) != 0) {
    out += '\x8F';
  } else {
    return false;
  }
  out += static_cast<char>((jis >> 8) | 0x80);
  out += static_cast<char>((jis & 0xFF) | 0x80);
  return true;
}

TEncodedText EncodeEucJp(std::string_view s) {
  TEncodedText e;
  e.bytes.reserve(s.size() + s.size() / 8);
  for (std::size_t i = 0; i < s.size();) {
    const Cp932Char c = Cp932At(s, i);
    i += c.pair ? 2 : 1;
    if (!PutEuc(e.bytes, c)) {
      e.bytes += '?';
      ++e.unrepresentable;
    }
  }
  return e;
}

// Writes ISO-2022-JP the usual way: a designation only where the set
// changes, and back to the single-byte set before every line end and at
// the end of the text.
class JisWriter {
 public:
  explicit JisWriter(const TTextFormat& format) : format_(format) {}

  TEncodedText Run(std::string_view s) {
    e_.bytes.reserve(s.size() + s.size() / 4);
    for (std::size_t i = 0; i < s.size();) {
      const Cp932Char c = Cp932At(s, i);
      i += c.pair ? 2 : 1;
      Put(c);
    }
    Single();
    return std::move(e_);
  }

 private:
  void Put(Cp932Char c) {
    if (!c.pair && c.code < 0x80 && c.code != kEsc) {
      if (c.code == '\r' || c.code == '\n' || (mode_ != jmAscii && mode_ != jmRoman)) Single();
      e_.bytes += static_cast<char>(c.code);
    } else if (!c.pair && IsHalfWidthKana(static_cast<unsigned char>(c.code))) {
      Switch(jmKana);
      e_.bytes += static_cast<char>(c.code - 0x80);
    } else if (c.pair && InJis0208Range(c.code >> 8)) {
      Switch(jmKanji);
      PutPair(JisOfSjis(c.code));
    } else if (const std::uint16_t jis = c.pair ? Jis0212().fromCp932[c.code] : 0) {
      Switch(jmJis0212);
      PutPair(jis);
    } else {
      Single();
      e_.bytes += '?';
      ++e_.unrepresentable;
    }
  }
  void PutPair(std::uint16_t jis) {
    e_.bytes += static_cast<char>(jis >> 8);
    e_.bytes += static_cast<char>(jis & 0xFF);
  }
  void Single() {
    if (mode_ != jmAscii && mode_ != jmRoman) Switch(format_.jisRoman ? jmRoman : jmAscii);
  }
  void Switch(JisMode mode) {
    if (mode == mode_) return;
    static constexpr std::string_view kDesignation[] = {"\x1B(B", "\x1B(J", "\x1B(I", "\x1B$B", "\x1B$(D"};
    e_.bytes += mode == jmKanji && format_.jisOldKanji ? "\x1B$@" : kDesignation[mode];
    mode_ = mode;
  }

  const TTextFormat& format_;
  TEncodedText e_;
  JisMode mode_ = jmAscii;
};

// ---------------------------------------------------------------------------
// Detection.

std::size_t FindNonAscii(std::string_view s) {
  std::size_t i = 0;
  for (; i + 8 <= s.size(); i += 8)
    if (Load8(s.data() + i) & kHighBits) break;
  for (; i < s.size(); ++i)
    if (Byte(s, i) >= 0x80) return i;
  return std::string_view::npos;
}

bool ValidUtf8(std::string_view s, std::size_t from) {
  for (std::size_t i = from; i < s.size();) {
    if (i + 8 <= s.size() && (Load8(s.data() + i) & kHighBits) == 0) {
      i += 8;
      continue;
    }
    if (ThreeByteAt(s, i) != 0) {
      i += 3;
      continue;
    }
    const std::size_t n = unicode::Utf8At(s, i).length;
    if (n == 0) return false;
    i += n;
  }
  return true;
}

bool ValidCp932(std::string_view s, std::size_t from) {
  for (std::size_t i = from; i < s.size(); ++i) {
    const unsigned char b = Byte(s, i);
    if (b < 0x80 || IsHalfWidthKana(b)) continue;
    if (!IsLeadByte(b) || i + 1 == s.size() || !IsTrailByte(Byte(s, i + 1))) return false;
    ++i;
  }
  return true;
}

// EUC-JP's plausibility as Japanese: the share of its two-byte characters
// that are kana (rows 4 and 5). Japanese prose is a third or more kana;
// CP932 text that happens to be valid EUC-JP (half-width katakana and
// second-level kanji only) reads as scattered kanji and symbols.
struct EucScan {
  bool valid = true;
  std::size_t pairs = 0;
  std::size_t kana = 0;
  bool Plausible() const { return pairs > 0 && kana * 4 >= pairs; }
};

// Adds s from from on to scan.
void ScanEucJp(std::string_view s, std::size_t from, EucScan& scan) {
  for (std::size_t i = from; i < s.size();) {
    const unsigned char b = Byte(s, i);
    const std::size_t left = s.size() - i;
    if (b < 0x80) {
      ++i;
    } else if (b == 0x8E && left >= 2 && IsHalfWidthKana(Byte(s, i + 1))) {
      i += 2;
    } else if (b == 0x8F && left >= 3 && IsEucByte(Byte(s, i + 1)) && IsEucByte(Byte(s, i + 2))) {
      i += 3;
    } else if (IsEucByte(b) && left >= 2 && IsEucByte(Byte(s, i + 1))) {
      ++scan.pairs;
      scan.kana += b == 0xA4 || b == 0xA5;
      i += 2;
    } else {
      scan.valid = false;
      break;
    }
  }
}

// A designation of a two-byte or kana set. A text that only designates
// ASCII or JIS Roman holds the same bytes either way and stays CP932, where
// it keeps its escapes exactly.
bool HasJisEscape(std::string_view s) {
  for (std::size_t i = s.find('\x1B'); i != std::string_view::npos; i = s.find('\x1B', i + 1)) {
    const auto [length, mode] = JisEscape(s, i);
    if (length != 0 && mode != jmAscii && mode != jmRoman) return true;
  }
  return false;
}

bool StartsWith(std::string_view s, std::string_view prefix) { return s.substr(0, prefix.size()) == prefix; }

std::optional<TTextEncoding> ByMark(std::string_view data) {
  if (StartsWith(data, kUtf8Bom)) return teUtf8;
  if (StartsWith(data, kUtf16LeBom)) return teUtf16Le;
  if (StartsWith(data, kUtf16BeBom)) return teUtf16Be;
  return std::nullopt;
}

// For a text that is not UTF-8, from its first byte above ASCII on.
TTextEncoding EucJpOrCp932(std::string_view data, std::size_t first) {
  EucScan euc;
  ScanEucJp(data, first, euc);
  return euc.valid && (euc.Plausible() || !ValidCp932(data, first)) ? teEucJp : teCp932;
}

TDecodedText Unchanged(std::string_view data) {
  TDecodedText d;
  d.bytes.assign(data);
  return d;
}

std::string_view MarkOf(TTextEncoding encoding) {
  switch (encoding) {
    case teUtf8: return kUtf8Bom;
    case teUtf16Le: return kUtf16LeBom;
    case teUtf16Be: return kUtf16BeBom;
    default: return {};
  }
}

// Where a piece may be cut for every encoding at once: after its last
// control character or space other than ESC. No multi-byte character of
// UTF-8, CP932, EUC-JP or ISO-2022-JP holds such a byte, and every mode of
// ISO-2022-JP reads it alone. 0: nowhere.
std::size_t SafeCut(std::string_view piece) {
  for (std::size_t i = piece.size(); i > 0; --i)
    if (Byte(piece, i - 1) <= 0x20 && Byte(piece, i - 1) != kEsc) return i;
  return 0;
}

TDecodedText DecodeWhole(std::string_view data, TTextEncoding encoding, bool strict) {
  TTextDecoder decoder(encoding, strict);
  std::string bytes;
  decoder.Feed(data, true, bytes);
  TDecodedText d = decoder.Finish();
  d.bytes = std::move(bytes);
  return d;
}

}  // namespace

// ---------------------------------------------------------------------------
// Detection a piece at a time: each candidate is followed until a byte rules
// it out.

struct TEncodingDetector::TState {
  bool started = false;
  std::optional<TTextEncoding> marked;
  bool nonAscii = false;
  // While the text is 7-bit: ISO-2022-JP, read from its first ESC on.
  bool sawEsc = false;
  bool jisKanji = false;
  bool jisValid = true;
  JisMode jisMode = jmAscii;
  // From the first byte above ASCII on.
  bool utf8 = true;
  EucScan euc;
  bool cp932 = true;

  void SevenBit(std::string_view s) {
    if (!sawEsc) {
      const std::size_t esc = s.find('\x1B');
      if (esc == std::string_view::npos) return;
      sawEsc = true;
      s.remove_prefix(esc);
    }
    jisKanji = jisKanji || HasJisEscape(s);
    if (jisValid) jisValid = JisValid(s, jisMode);
  }

  void Scan(std::string_view s) {
    if (!nonAscii) {
      const std::size_t first = FindNonAscii(s);
      SevenBit(s.substr(0, first));
      if (first == std::string_view::npos) return;
      nonAscii = true;
      s.remove_prefix(first);
    }
    if (utf8) utf8 = ValidUtf8(s, 0);
    if (euc.valid) ScanEucJp(s, 0, euc);
    // CP932 matters only against EUC-JP.
    if (euc.valid && cp932) cp932 = ValidCp932(s, 0);
  }
};

TEncodingDetector::TEncodingDetector() : s_(std::make_unique<TState>()) {}
TEncodingDetector::~TEncodingDetector() = default;

std::size_t TEncodingDetector::Feed(std::string_view piece, bool last) {
  TState& s = *s_;
  if (Decided()) return piece.size();
  if (!s.started) {
    if (!last && piece.size() < 3) return 0;  // the start may be a byte-order mark
    s.started = true;
    s.marked = ByMark(piece);
    if (s.marked) return piece.size();
  }
  const std::size_t used = last ? piece.size() : SafeCut(piece);
  s.Scan(piece.substr(0, used));
  return used;
}

bool TEncodingDetector::Decided() const {
  return s_->marked || (s_->nonAscii && !s_->utf8 && !s_->euc.valid);
}

TTextEncoding TEncodingDetector::Result() const {
  const TState& s = *s_;
  if (s.marked) return *s.marked;
  if (!s.nonAscii) return s.jisKanji && s.jisValid ? teJis : teCp932;
  if (s.utf8) return teUtf8;
  return s.euc.valid && (s.euc.Plausible() || !s.cp932) ? teEucJp : teCp932;
}

// ---------------------------------------------------------------------------
// Decoding a piece at a time.

struct TTextDecoder::TState {
  TTextEncoding encoding;
  bool strict;
  bool started = false;
  TTextFormat format;
  Loss loss;
  std::optional<TwinTally> twins;  // the Unicode encodings
  std::string jis;                 // ISO-2022-JP is read whole
  bool jisExact = true;

  void FinishJis(std::string& out) {
    TDecodedText d = DecodeJis(jis);
    out += d.bytes;
    format = d.format;
    loss = {d.unmapped, d.invalid};
    // Files that switch sets in other places than a writer would come
    // back with the same text in other bytes.
    jisExact = EncodeText(d.bytes, d.format).bytes == jis;
    std::string().swap(jis);
  }
};

TTextDecoder::TTextDecoder(TTextEncoding encoding, bool strict) : s_(std::make_unique<TState>()) {
  s_->encoding = encoding;
  s_->strict = strict;
  s_->format.encoding = encoding;
  if (encoding == teUtf8 || encoding == teUtf16Le || encoding == teUtf16Be) s_->twins.emplace();
}

TTextDecoder::~TTextDecoder() = default;

int TTextDecoder::Invalid() const { return s_->loss.invalid; }

std::size_t TTextDecoder::Feed(std::string_view piece, bool last, std::string& out) {
  TState& s = *s_;
  std::size_t mark = 0;
  if (!s.started) {
    const std::string_view bom = MarkOf(s.encoding);
    if (!last && piece.size() < bom.size() && StartsWith(bom, piece)) return 0;
    s.started = true;
    if (!bom.empty() && StartsWith(piece, bom)) {
      s.format.bom = true;
      mark = bom.size();
    }
  }
  const std::string_view p = piece.substr(mark);
  switch (s.encoding) {
    case teCp932:
      out += p;
      return piece.size();
    case teJis:
      s.jis += p;
      if (last) s.FinishJis(out);
      return piece.size();
    case teEucJp: {
      Cp932Out o(out, s.loss, p.size());
      return mark + EucJpPiece(p, last, o);
    }
    case teUtf8: {
      std::size_t used;
      {
        Cp932Out o(out, s.loss, p.size());
        used = Utf8Piece(p, last, s.strict, o, *s.twins);
      }
      s.twins->CountAscii(p.substr(0, used));
      return mark + used;
    }
    case teUtf16Le:
    case teUtf16Be: {
      const bool le = s.encoding == teUtf16Le;
      std::size_t used;
      {
        Cp932Out o(out, s.loss, p.size());
        used = Utf16Piece(p, last, le, o, *s.twins);
      }
      s.twins->CountAscii16(p.substr(0, used), le);
      return mark + used;
    }
  }
  return piece.size();
}

TDecodedText TTextDecoder::Finish() {
  TState& s = *s_;
  TDecodedText d;
  d.format = s.format;
  d.unmapped = s.loss.unmapped;
  d.invalid = s.loss.invalid;
  if (s.twins) s.twins->Finish(d);
  d.exact = d.Lost() == 0 && s.jisExact;
  return d;
}

std::string_view EncodingName(TTextEncoding encoding) {
  switch (encoding) {
    case teUtf8: return "UTF-8";
    case teEucJp: return "EUC-JP";
    case teJis: return "JIS";
    case teUtf16Le: return "UTF-16LE";
    case teUtf16Be: return "UTF-16BE";
    case teCp932: break;
  }
  return "SJIS";
}

TTextEncoding DetectEncoding(std::string_view data) {
  TEncodingDetector detector;
  detector.Feed(data, true);
  return detector.Result();
}

TDecodedText DecodeText(std::string_view data) {
  std::optional<TTextEncoding> encoding = ByMark(data);
  if (!encoding) {
    const std::size_t first = FindNonAscii(data);
    if (first == std::string_view::npos) {
      encoding = DetectEncoding(data);
    } else if (unicode::Utf8At(data, first).length != 0) {
      // Read as UTF-8 straight away rather than checked first and read
      // after: one pass for a UTF-8 file; a CP932 file seldom gets past
      // its first few characters.
      TDecodedText d = DecodeWhole(data, teUtf8, true);
      if (d.invalid == 0) return d;
    }
    if (!encoding) encoding = EucJpOrCp932(data, first);
  }
  TDecodedText d = DecodeTextAs(data, *encoding);
  return d.invalid > 0 ? Unchanged(data) : d;
}

TDecodedText DecodeTextAs(std::string_view data, TTextEncoding encoding) {
  return DecodeWhole(data, encoding, false);
}

TEncodedText EncodeText(std::string_view cp932, const TTextFormat& format) {
  switch (format.encoding) {
    case teUtf8:
    case teUtf16Le:
    case teUtf16Be:
      return EncodeUnicode(cp932, format);
    case teEucJp:
      return EncodeEucJp(cp932);
    case teJis:
      return JisWriter(format).Run(cp932);
    case teCp932:
      break;
  }
  return {std::string(cp932), 0};
}

std::string_view LineEndName(TLineEndStyle style) {
  switch (style) {
    case leLf: return "LF";
    case leCr: return "CR";
    case leCrLf: break;
  }
  return "CRLF";
}

TLineEndStyle DetectLineEnds(std::string_view text) {
  std::array<std::size_t, 3> counts{};
  std::optional<TLineEndStyle> first;
  for (std::size_t i = FindLineEnd(text, 0); i != std::string_view::npos; i = FindLineEnd(text, i)) {
    const bool crlf = text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n';
    const TLineEndStyle style = crlf ? leCrLf : text[i] == '\n' ? leLf : leCr;
    if (!first) first = style;
    ++counts[style];
    i += crlf ? 2 : 1;
  }
  if (!first) return leCrLf;
  TLineEndStyle best = *first;
  for (TLineEndStyle s : {leCrLf, leLf, leCr})
    if (counts[s] > counts[best]) best = s;
  return best;
}

std::string ConvertLineEnds(std::string_view text, TLineEndStyle style) {
  const std::string_view end = style == leCrLf ? "\r\n" : style == leLf ? "\n" : "\r";
  std::string out;
  out.reserve(text.size() + text.size() / 32);
  std::size_t from = 0;
  for (std::size_t i = FindLineEnd(text, 0); i != std::string_view::npos; i = FindLineEnd(text, from)) {
    out.append(text.substr(from, i - from));
    out.append(end);
    from = i + (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n' ? 2 : 1);
  }
  out.append(text.substr(from));
  return out;
}

}  // namespace yk
