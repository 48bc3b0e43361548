// Full-width / half-width conversion tables and the two conversions.
#include "convert/zenhan.h"

#include <array>

#include "text/cp932.h"

namespace yk {
namespace {

// Each full-width table is paired entry by entry with a half-width table.
// The full-width tables are looked up in the order of kZenTables and the
// first table that holds a character decides its half-width form.
struct TPairedTable {
  std::string_view Zen;   // two bytes per entry
  std::string_view Han;   // HanSize bytes per entry
  std::size_t HanSize;
  bool Widens;            // HankakuToZenkaku turns Han back into Zen
};

// ｦｧｨｩｪｫｬｭｮｯｱｲｳｴｵｶｷｸｹｺｻｼｽｾｿﾀﾁﾂﾃﾄﾅﾆﾇﾈﾉﾊﾋﾌﾍﾎﾏﾐﾑﾒﾓﾔﾕﾖﾗﾘﾙﾚﾛﾜﾝﾞ (no ｰ)
constexpr std::string_view kHalfKana =
    "\xa6\xa7\xa8\xa9\xaa\xab\xac\xad\xae\xaf\xb1\xb2\xb3\xb4\xb5\xb6\xb7\xb8\xb9\xba\xbb\xbc\xbd"
    "\xbe\xbf\xc0\xc1\xc2\xc3\xc4\xc5\xc6\xc7\xc8\xc9\xca\xcb\xcc\xcd\xce\xcf\xd0\xd1\xd2\xd3\xd4"
    "\xd5\xd6\xd7\xd8\xd9\xda\xdb\xdc\xdd\xde";

// をぁぃぅぇぉゃゅょっあいうえおかきくけこさしすせそたちつてとなにぬねのはひふへほまみむめもやゆよらりるれろわん゛
constexpr std::string_view kHiragana =
    "\x82\xf0\x82\x9f\x82\xa1\x82\xa3\x82\xa5\x82\xa7\x82\xe1\x82\xe3\x82\xe5\x82\xc1\x82\xa0\x82"
    "\xa2\x82\xa4\x82\xa6\x82\xa8\x82\xa9\x82\xab\x82\xad\x82\xaf\x82\xb1\x82\xb3\x82\xb5\x82\xb7"
    "\x82\xb9\x82\xbb\x82\xbd\x82\xbf\x82\xc2\x82\xc4\x82\xc6\x82\xc8\x82\xc9\x82\xca\x82\xcb\x82"
    "\xcc\x82\xcd\x82\xd0\x82\xd3\x82\xd6\x82\xd9\x82\xdc\x82\xdd\x82\xde\x82\xdf\x82\xe0\x82\xe2"
    "\x82\xe4\x82\xe6\x82\xe7\x82\xe8\x82\xe9\x82\xea\x82\xeb\x82\xed\x82\xf1\x81\x4a";

// ヲァィゥェォャュョッアイウエオカキクケコサシスセソタチツテトナニヌネノハヒフヘホマミムメモヤユヨラリルレロワン゛
constexpr std::string_view kKatakana =
    "\x83\x92\x83\x40\x83\x42\x83\x44\x83\x46\x83\x48\x83\x83\x83\x85\x83\x87\x83\x62\x83\x41\x83"
    "\x43\x83\x45\x83\x47\x83\x49\x83\x4a\x83\x4c\x83\x4e\x83\x50\x83\x52\x83\x54\x83\x56\x83\x58"
    "\x83\x5a\x83\x5c\x83\x5e\x83\x60\x83\x63\x83\x65\x83\x67\x83\x69\x83\x6a\x83\x6b\x83\x6c\x83"
    "\x6d\x83\x6e\x83\x71\x83\x74\x83\x77\x83\x7a\x83\x7d\x83\x7e\x83\x80\x83\x81\x83\x82\x83\x84"
    "\x83\x86\x83\x88\x83\x89\x83\x8a\x83\x8b\x83\x8c\x83\x8d\x83\x8f\x83\x93\x81\x4a";

// 　ＡＢＣＤＥＦＧＨＩＪＫＬＭＮＯＰＱＲＳＴＵＶＷＸＹＺ: the full-width space comes first
constexpr std::string_view kUpperZen =
    "\x81\x40\x82\x60\x82\x61\x82\x62\x82\x63\x82\x64\x82\x65\x82\x66\x82\x67\x82\x68\x82\x69\x82"
    "\x6a\x82\x6b\x82\x6c\x82\x6d\x82\x6e\x82\x6f\x82\x70\x82\x71\x82\x72\x82\x73\x82\x74\x82\x75"
    "\x82\x76\x82\x77\x82\x78\x82\x79";
constexpr std::string_view kUpperHan = " ABCDEFGHIJKLMNOPQRSTUVWXYZ";

// ａｂｃｄｅｆｇｈｉｊｋｌｍｎｏｐｑｒｓｔｕｖｗｘｙｚ
constexpr std::string_view kLowerZen =
    "\x82\x81\x82\x82\x82\x83\x82\x84\x82\x85\x82\x86\x82\x87\x82\x88\x82\x89\x82\x8a\x82\x8b\x82"
    "\x8c\x82\x8d\x82\x8e\x82\x8f\x82\x90\x82\x91\x82\x92\x82\x93\x82\x94\x82\x95\x82\x96\x82\x97"
    "\x82\x98\x82\x99\x82\x9a";
constexpr std::string_view kLowerHan = "abcdefghijklmnopqrstuvwxyz";

// ０１２３４５６７８９
constexpr std::string_view kDigitZen =
    "\x82\x4f\x82\x50\x82\x51\x82\x52\x82\x53\x82\x54\x82\x55\x82\x56\x82\x57\x82\x58";
constexpr std::string_view kDigitHan = "0123456789";

// ！”＃＄％＆’（）＊＋，－．／：；＜＝＞？＠［￥］＾＿｀｛｜｝￣。「」、・ー゛゜
constexpr std::string_view kSymbolZen =
    "\x81\x49\x81\x68\x81\x94\x81\x90\x81\x93\x81\x95\x81\x66\x81\x69\x81\x6a\x81\x96\x81\x7b\x81"
    "\x43\x81\x7c\x81\x44\x81\x5e\x81\x46\x81\x47\x81\x83\x81\x81\x81\x84\x81\x48\x81\x97\x81\x6d"
    "\x81\x8f\x81\x6e\x81\x4f\x81\x51\x81\x4d\x81\x6f\x81\x62\x81\x70\x81\x50\x81\x42\x81\x75\x81"
    "\x76\x81\x41\x81\x45\x81\x5b\x81\x4a\x81\x4b";
// !"#$%&'()*+,-./:;<=>?@[\]^_`{|}~｡｢｣､･ｰﾞﾟ
constexpr std::string_view kSymbolHan =
    "!\"#$%&'()*+,-./:;<=>?@[\\]^_`{|}~\xa1\xa2\xa3\xa4\xa5\xb0\xde\xdf";

// がぎぐげござじずぜぞだぢづでどばびぶべぼぱぴぷぺぽ
constexpr std::string_view kVoicedHiragana =
    "\x82\xaa\x82\xac\x82\xae\x82\xb0\x82\xb2\x82\xb4\x82\xb6\x82\xb8\x82\xba\x82\xbc\x82\xbe\x82"
    "\xc0\x82\xc3\x82\xc5\x82\xc7\x82\xce\x82\xd1\x82\xd4\x82\xd7\x82\xda\x82\xcf\x82\xd2\x82\xd5"
    "\x82\xd8\x82\xdb";
// ガギグゲゴザジズゼゾダヂヅデドバビブベボパピプペポヴ
constexpr std::string_view kVoicedKatakana =
    "\x83\x4b\x83\x4d\x83\x4f\x83\x51\x83\x53\x83\x55\x83\x57\x83\x59\x83\x5b\x83\x5d\x83\x5f\x83"
    "\x61\x83\x64\x83\x66\x83\x68\x83\x6f\x83\x72\x83\x75\x83\x78\x83\x7b\x83\x70\x83\x73\x83\x76"
    "\x83\x79\x83\x7c\x83\x94";
// ｶﾞｷﾞｸﾞｹﾞｺﾞｻﾞｼﾞｽﾞｾﾞｿﾞﾀﾞﾁﾞﾂﾞﾃﾞﾄﾞﾊﾞﾋﾞﾌﾞﾍﾞﾎﾞﾊﾟﾋﾟﾌﾟﾍﾟﾎﾟｳﾞ
constexpr std::string_view kVoicedHan =
    "\xb6\xde\xb7\xde\xb8\xde\xb9\xde\xba\xde\xbb\xde\xbc\xde\xbd\xde\xbe\xde\xbf\xde\xc0\xde\xc1"
    "\xde\xc2\xde\xc3\xde\xc4\xde\xca\xde\xcb\xde\xcc\xde\xcd\xde\xce\xde\xca\xdf\xcb\xdf\xcc\xdf"
    "\xcd\xdf\xce\xdf\xb3\xde";

constexpr std::array<TPairedTable, 8> kZenTables = {{
    {kHiragana, kHalfKana, 1, false},
    {kKatakana, kHalfKana, 1, true},
    {kUpperZen, kUpperHan, 1, true},
    {kLowerZen, kLowerHan, 1, true},
    {kDigitZen, kDigitHan, 1, true},
    {kSymbolZen, kSymbolHan, 1, true},
    {kVoicedHiragana, kVoicedHan, 2, false},
    {kVoicedKatakana, kVoicedHan, 2, false},
}};

// Every character of the full-width tables has a lead byte 0x81 to 0x83.
constexpr unsigned char kFirstLead = 0x81;
constexpr unsigned char kLastLead = 0x83;

constexpr unsigned char kVoicedMark = 0xDE;      // ﾞ
constexpr unsigned char kSemiVoicedMark = 0xDF;  // ﾟ

struct TShortString {
  char Bytes[2] = {};
  std::uint8_t Size = 0;
};

using THalfMap = std::array<TShortString, (kLastLead - kFirstLead + 1) * 256>;

std::size_t HalfMapIndex(unsigned char lead, unsigned char trail) {
  return static_cast<std::size_t>(lead - kFirstLead) * 256 + trail;
}

THalfMap BuildHalfMap() {
  THalfMap map{};
  for (const TPairedTable& t : kZenTables) {
    for (std::size_t k = 0; 2 * k + 1 < t.Zen.size(); ++k) {
      TShortString& e = map[HalfMapIndex(static_cast<unsigned char>(t.Zen[2 * k]),
                                         static_cast<unsigned char>(t.Zen[2 * k + 1]))];
      if (e.Size != 0) continue;  // an earlier table already holds it
      for (std::size_t b = 0; b < t.HanSize; ++b) e.Bytes[b] = t.Han[k * t.HanSize + b];
      e.Size = static_cast<std::uint8_t>(t.HanSize);
    }
  }
  return map;
}

// The half-width form of a two-byte character, or null when it has none.
const TShortString* HalfFormOf(unsigned char lead, unsigned char trail) {
  static const THalfMap map = BuildHalfMap();
  if (lead < kFirstLead || lead > kLastLead) return nullptr;
  const TShortString& e = map[HalfMapIndex(lead, trail)];
  return e.Size != 0 ? &e : nullptr;
}

using TWideMap = std::array<TShortString, 256>;

// The single-byte table of HankakuToZenkaku is the inverse of the one-byte
// katakana, letter, digit and symbol pairs: half-width kana widen to
// katakana, never to hiragana, and bytes without a pair stay as they are.
TWideMap BuildWideMap() {
  TWideMap map{};
  for (int b = 0; b < 256; ++b) {
    map[b].Bytes[0] = static_cast<char>(b);
    map[b].Size = 1;
  }
  for (const TPairedTable& t : kZenTables) {
    if (!t.Widens) continue;
    for (std::size_t k = 0; k < t.Han.size(); ++k) {
      TShortString& e = map[static_cast<unsigned char>(t.Han[k])];
      e.Bytes[0] = t.Zen[2 * k];
      e.Bytes[1] = t.Zen[2 * k + 1];
      e.Size = 2;
    }
  }
  return map;
}

const TShortString& WideFormOf(unsigned char b) {
  static const TWideMap map = BuildWideMap();
  return map[b];
}

// ｶ to ﾄ and ﾊ to ﾎ take ﾞ; ﾊ to ﾎ also take ﾟ. Their voiced forms follow
// them directly in the katakana block (カガ, ハバパ), and none of them sits
// next to the unused trail byte 0x7F, so the voiced code is the plain code
// plus one or two.
bool TakesVoicedMark(unsigned char b) { return (b >= 0xB6 && b <= 0xC4) || (b >= 0xCA && b <= 0xCE); }
bool TakesSemiVoicedMark(unsigned char b) { return b >= 0xCA && b <= 0xCE; }

constexpr unsigned char kHalfU = 0xB3;  // ｳ, which with ﾞ becomes ヴ

TZenkakuChar MakeChar(const char* bytes, std::size_t size, std::size_t consumed) {
  TZenkakuChar c;
  for (std::size_t k = 0; k < size; ++k) c.Bytes[k] = bytes[k];
  c.Size = static_cast<std::uint8_t>(size);
  c.Consumed = static_cast<std::uint8_t>(consumed);
  return c;
}

// A half-width letter joined with the mark after it, or Consumed 0 when the
// two do not join.
TZenkakuChar JoinVoiced(unsigned char letter, unsigned char mark) {
  int add = 0;
  if (mark == kVoicedMark && TakesVoicedMark(letter)) add = 1;
  if (mark == kSemiVoicedMark && TakesSemiVoicedMark(letter)) add = 2;
  if (add != 0) {
    const TShortString& plain = WideFormOf(letter);
    const char voiced[2] = {plain.Bytes[0], static_cast<char>(plain.Bytes[1] + add)};
    return MakeChar(voiced, 2, 2);
  }
  if (letter == kHalfU && mark == kVoicedMark) return MakeChar("\x83\x94", 2, 2);  // ヴ
  return {};
}

}  // namespace

TZenkakuChar ZenkakuCharAt(std::string_view s, std::size_t i) noexcept {
  const std::size_t len = cp932::CharLength(s, i);
  if (len == 2) return MakeChar(s.data() + i, 2, 2);
  const unsigned char b = static_cast<unsigned char>(s[i]);
  if (i + 1 < s.size()) {
    TZenkakuChar joined = JoinVoiced(b, static_cast<unsigned char>(s[i + 1]));
    if (joined.Consumed != 0) return joined;
  }
  const TShortString& wide = WideFormOf(b);
  return MakeChar(wide.Bytes, wide.Size, 1);
}

std::string HankakuToZenkaku(std::string_view source) {
  std::string out;
  out.reserve(source.size() * 2);
  for (std::size_t i = 0; i < source.size();) {
    const TZenkakuChar c = ZenkakuCharAt(source, i);
    out.append(c.Bytes, c.Size);
    i += c.Consumed;
  }
  return out;
}

std::string ZenkakuToHankaku(std::string_view source) {
  std::string out;
  out.reserve(source.size());
  for (std::size_t i = 0; i < source.size();) {
    if (cp932::CharLength(source, i) == 1) {
      out += source[i++];
      continue;
    }
    const TShortString* half = HalfFormOf(static_cast<unsigned char>(source[i]),
                                          static_cast<unsigned char>(source[i + 1]));
    if (half != nullptr) {
      out.append(half->Bytes, half->Size);
    } else {
      out.append(source.substr(i, 2));
    }
    i += 2;
  }
  return out;
}

}  // namespace yk
