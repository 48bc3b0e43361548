// Documents in other encodings: a corpus generated here in every encoding
// (the C library's converters write the files, as other programs would),
// detected, read as CP932, written back byte for byte, and edited.
#include "platform/text_encoding.h"

#include <gtest/gtest.h>

#include <stdexcept>

#include "platform/cp932_codec.h"
#include "platform/mapped_chars.h"
#include "iconv_text.h"

using namespace yk;

namespace {

using yk::test::Iconv;

// 日本語のテキスト、カナ。ｶﾀｶﾅ ABC CR LF 漢字かな交じり文 LF 表示ソ CR: kana,
// kanji, half-width kana, trail bytes 0x5C, every line end.
const std::string kJapanese =
    "\xe6\x97\xa5\xe6\x9c\xac\xe8\xaa\x9e\xe3\x81\xae\xe3\x83\x86\xe3\x82\xad\xe3\x82\xb9\xe3\x83\x88\xe3\x80\x81"
    "\xe3\x82\xab\xe3\x83\x8a\xe3\x80\x82\xef\xbd\xb6\xef\xbe\x80\xef\xbd\xb6\xef\xbe\x85 ABC\r\n"
    "\xe6\xbc\xa2\xe5\xad\x97\xe3\x81\x8b\xe3\x81\xaa\xe4\xba\xa4\xe3\x81\x98\xe3\x82\x8a\xe6\x96\x87\n"
    "\xe8\xa1\xa8\xe7\xa4\xba\xe3\x82\xbd\r";
const std::string kJapaneseCp932 =
    "\x93\xfa\x96\x7b\x8c\xea\x82\xcc\x83\x65\x83\x4c\x83\x58\x83\x67\x81\x41\x83\x4a\x83\x69\x81\x42"
    "\xb6\xc0\xb6\xc5 ABC\r\n\x8a\xbf\x8e\x9a\x82\xa9\x82\xc8\x8c\xf0\x82\xb6\x82\xe8\x95\xb6\n\x95\x5c\x8e\xa6\x83\x5c\r";
// 波〜ダッシュ−‖¢£¬ CR LF: the JIS-style code points (WAVE DASH, MINUS SIGN,
// DOUBLE VERTICAL LINE, CENT, POUND, NOT) that Unix programs write.
const std::string kJisStyle =
    "\xe6\xb3\xa2\xe3\x80\x9c\xe3\x83\x80\xe3\x83\x83\xe3\x82\xb7\xe3\x83\xa5\xe2\x88\x92\xe2\x80\x96"
    "\xc2\xa2\xc2\xa3\xc2\xac\r\n";
const std::string kJisStyleCp932 = "\x94\x67\x81\x60\x83\x5f\x83\x62\x83\x56\x83\x85\x81\x7c\x81\x61\x81\x91\x81\x92\x81\xca\r\n";
const std::string kAscii = "plain ASCII\r\nonly\n";
// 絵文字😀と𠮷とé CR LF: three characters CP932 does not have, given codes
// of the user-defined area from its top down.
const std::string kOutside = "\xe7\xb5\xb5\xe6\x96\x87\xe5\xad\x97\xf0\x9f\x98\x80\xe3\x81\xa8\xf0\xa0\xae\xb7\xe3\x81\xa8\xc3\xa9\r\n";
const std::string kOutsideCp932 = "\x8a\x47\x95\xb6\x8e\x9a\xf9\xfc\x82\xc6\xf9\xfb\x82\xc6\xf9\xfa\r\n";
// café ü: letters JIS X 0212 has (EUC-JP's three-byte set) and CP932 has not.
const std::string kLatin = "caf\xc3\xa9 \xc3\xbc";
const std::string kLatinCp932 = "caf\xf9\xfc \xf9\xfb";
// 〜と～: WAVE DASH and FULLWIDTH TILDE, which CP932 writes alike: the first
// keeps CP932's code, the second gets one of its own.
const std::string kBothTildes = "\xe3\x80\x9c\xe3\x81\xa8\xef\xbd\x9e";
const std::string kBothTildesCp932 = "\x81\x60\x82\xc6\xf9\xfc";
// ①髙纊: vendor extensions (NEC special, IBM kanji).
const std::string kVendor = "\xe2\x91\xa0\xe9\xab\x99\xe7\xba\x8a";
const std::string kVendorCp932 = "\x87\x40\xfb\xfc\xfa\x5c";
// 纊の字: 纊 is JIS X 0212 in EUC-JP, an IBM kanji in CP932.
const std::string kSupplementary = "\xe7\xba\x8a\xe3\x81\xae\xe5\xad\x97";
const std::string kSupplementaryCp932 = "\xfa\x5c\x82\xcc\x8e\x9a";

struct CorpusFile {
  const char* name;
  const std::string& text;  // UTF-8
  const char* writer;       // the C library's name of the file's encoding
  std::string_view bom;
  TTextEncoding detected;
  const std::string& cp932;
  int mapped;  // codes of the user-defined area given
};

const CorpusFile kCorpus[] = {
    {"sjis_japanese", kJapanese, "CP932", "", teCp932, kJapaneseCp932, 0},
    {"utf8_japanese", kJapanese, "UTF-8", "", teUtf8, kJapaneseCp932, 0},
    {"utf8_bom_japanese", kJapanese, "UTF-8", "\xef\xbb\xbf", teUtf8, kJapaneseCp932, 0},
    {"eucjp_japanese", kJapanese, "EUC-JP", "", teEucJp, kJapaneseCp932, 0},
    {"jis_japanese", kJapanese, "ISO-2022-JP-3", "", teJis, kJapaneseCp932, 0},
    {"utf16le_bom_japanese", kJapanese, "UTF-16LE", "\xff\xfe", teUtf16Le, kJapaneseCp932, 0},
    {"utf16be_bom_japanese", kJapanese, "UTF-16BE", "\xfe\xff", teUtf16Be, kJapaneseCp932, 0},
    {"utf8_jis_style", kJisStyle, "UTF-8", "", teUtf8, kJisStyleCp932, 0},
    {"eucjp_jis_style", kJisStyle, "EUC-JP", "", teEucJp, kJisStyleCp932, 0},
    {"jis_jis_style", kJisStyle, "ISO-2022-JP", "", teJis, kJisStyleCp932, 0},
    {"utf16le_bom_jis_style", kJisStyle, "UTF-16LE", "\xff\xfe", teUtf16Le, kJisStyleCp932, 0},
    {"sjis_ascii", kAscii, "CP932", "", teCp932, kAscii, 0},
    {"utf8_ascii", kAscii, "UTF-8", "", teCp932, kAscii, 0},
    {"utf8_bom_ascii", kAscii, "UTF-8", "\xef\xbb\xbf", teUtf8, kAscii, 0},
    {"jis_ascii", kAscii, "ISO-2022-JP", "", teCp932, kAscii, 0},
    {"utf16be_bom_ascii", kAscii, "UTF-16BE", "\xfe\xff", teUtf16Be, kAscii, 0},
    {"utf8_outside_cp932", kOutside, "UTF-8", "", teUtf8, kOutsideCp932, 3},
    {"utf16le_bom_outside_cp932", kOutside, "UTF-16LE", "\xff\xfe", teUtf16Le, kOutsideCp932, 3},
    {"eucjp_latin", kLatin, "EUC-JP", "", teEucJp, kLatinCp932, 2},
    {"utf8_both_tildes", kBothTildes, "UTF-8", "", teUtf8, kBothTildesCp932, 1},
    {"utf8_vendor", kVendor, "UTF-8", "", teUtf8, kVendorCp932, 0},
    {"sjis_vendor", kVendor, "CP932", "", teCp932, kVendorCp932, 0},
    {"eucjp_supplementary", kSupplementary, "EUC-JP", "", teEucJp, kSupplementaryCp932, 0},
};

std::string FileBytes(const CorpusFile& f) { return std::string(f.bom) + Iconv(f.writer, "UTF-8", f.text); }

// The file's bytes read back as UTF-8 by the C library (ISO-2022-JP with
// half-width katakana, which the edits add).
std::string AsUtf8(const CorpusFile& f, std::string_view bytes) {
  EXPECT_EQ(bytes.substr(0, f.bom.size()), f.bom) << f.name;
  const char* reader = std::string_view(f.writer) == "ISO-2022-JP" ? "ISO-2022-JP-3" : f.writer;
  return Iconv("UTF-8", reader, bytes.substr(f.bom.size()));
}

}  // namespace

TEST(TextEncoding, CorpusIsDetectedReadAndWrittenBackByteForByte) {
  for (const CorpusFile& f : kCorpus) {
    SCOPED_TRACE(f.name);
    const std::string file = FileBytes(f);
    EXPECT_EQ(DetectEncoding(file), f.detected);
    const TDecodedText d = DecodeText(file);
    EXPECT_EQ(d.format.encoding, f.detected);
    EXPECT_EQ(d.format.bom, !f.bom.empty());
    EXPECT_EQ(d.bytes, f.cp932);
    EXPECT_EQ(d.chars ? d.chars->Count() : 0, f.mapped);
    EXPECT_EQ(d.Lost(), 0);
    EXPECT_TRUE(d.exact);
    const TEncodedText back = EncodeText(d.bytes, d.format, d.chars.get());
    EXPECT_EQ(back.bytes, file);
    EXPECT_EQ(back.unrepresentable, 0);
  }
}

TEST(TextEncoding, EditedCorpusIsWrittenInTheFilesEncoding) {
  for (const CorpusFile& f : kCorpus) {
    if (f.detected == teCp932) continue;
    SCOPED_TRACE(f.name);
    const TDecodedText d = DecodeText(FileBytes(f));
    // あ and a line end at the front, ｱ at the end.
    const TEncodedText e = EncodeText("\x82\xa0\r\n" + d.bytes + "\xb1", d.format, d.chars.get());
    EXPECT_EQ(e.unrepresentable, 0);
    const std::string expected = "\xe3\x81\x82\r\n" + f.text + "\xef\xbd\xb1";
    EXPECT_EQ(AsUtf8(f, e.bytes), expected);
  }
}

TEST(TextEncoding, DetectionOfTrickyTexts) {
  const struct {
    std::string bytes;
    TTextEncoding detected;
  } cases[] = {
      {"", teCp932},
      {"\x82\xa0\x82\xa2", teCp932},                    // あい: a lead byte of CP932 is no EUC-JP
      {"\xa4\xa2\xa4\xa4", teEucJp},                    // あい in EUC-JP, ､｢､､ in CP932: kana wins
      {"\xbb\xfa\xb4\xc1", teCp932},                    // 字漢 in EUC-JP, valid CP932, no kana: CP932
      {"\xb4\xc1\xbb\xfa\xa4\xc7\xa4\xb9", teEucJp},    // 漢字です: half kana
      {"\xb1\xb2\xb3", teCp932},                        // ｱｲｳ: odd, no EUC-JP
      {"\xe3\x81\x82\x82", teCp932},                    // UTF-8 あ and a stray byte
      {"\xc0\xaf", teCp932},                            // an overlong "/" is no UTF-8
      {"\xed\xa0\x80", teCp932},                        // a surrogate in UTF-8
      {"a\x1b$B$\"\x1b(B", teJis},                      // あ in ISO-2022-JP
      {"a\x1b(Bb", teCp932},                            // only an ASCII designation
      {"\x1b[31mred\x1b[0m", teCp932},                  // terminal colours
      {"\x1b$B$\"\x82", teCp932},                       // 8-bit byte after the escape
      {"\x1b$B$", teCp932},                             // a kanji cut in half
      {"\xef\xbb\xbf", teUtf8},                         // BOM alone
      {"\xff\xfe", teUtf16Le},
      {"\xfe\xff\x30\x42", teUtf16Be},
      {std::string(1000, 'a') + "\xe6\x97\xa5", teUtf8},  // 日 after a long ASCII run
  };
  for (const auto& c : cases) EXPECT_EQ(DetectEncoding(c.bytes), c.detected) << testing::PrintToString(c.bytes);
}

TEST(TextEncoding, FilesMalformedInTheirEncodingStayCp932BytesUnchanged) {
  for (std::string bytes : {std::string("\xff\xfe\x42"),                // odd length after a UTF-16 BOM
                            std::string("\xff\xfe\x00\xd8\x41\x00", 6),  // a lone surrogate
                            std::string("\xef\xbb\xbf\x82\xa0"),        // CP932 after a UTF-8 BOM
                            std::string("\x80\xa0\xfd\xfe\xff\x81")}) {  // nothing at all
    const TDecodedText d = DecodeText(bytes);
    EXPECT_EQ(d.format, TTextFormat{});
    EXPECT_EQ(d.bytes, bytes);
    EXPECT_EQ(d.Lost(), 0);
    EXPECT_TRUE(d.exact);
    EXPECT_EQ(EncodeText(d.bytes, d.format).bytes, bytes);
  }
}

TEST(TextEncoding, ChosenEncodingReadsMalformedSequencesAsCountedQuestionMarks) {
  const struct {
    std::string bytes;
    TTextEncoding encoding;
    std::string cp932;
    int invalid;
  } cases[] = {
      {"a\xff" "b\xe3\x81", teUtf8, "a?b??", 3},
      {std::string("\x42\x30\x00\xd8\x41", 5), teUtf16Le, "\x82\xa0??", 2},  // あ, lone surrogate, odd byte
      {"\xa4\xa2\x82\x8e", teEucJp, "\x82\xa0??", 2},
      {"\x1b(X!\xa4\x1b$B$\"", teJis, "?(X!?\x82\xa0", 2},  // unknown escape, 8-bit byte, あ
      {"\x82\xa0\xff", teCp932, "\x82\xa0\xff", 0},
  };
  for (const auto& c : cases) {
    const TDecodedText d = DecodeTextAs(c.bytes, c.encoding);
    EXPECT_EQ(d.bytes, c.cp932) << testing::PrintToString(c.bytes);
    EXPECT_EQ(d.invalid, c.invalid);
    EXPECT_EQ(d.exact, c.invalid == 0);
  }
  // A BOM of the chosen encoding is taken off and kept; one of another is text.
  EXPECT_TRUE(DecodeTextAs("\xef\xbb\xbf" "a", teUtf8).format.bom);
  EXPECT_EQ(DecodeTextAs("\xef\xbb\xbf" "a", teUtf8).bytes, "a");
  const TDecodedText other = DecodeTextAs(std::string("\xfe\xff\x61\x00", 4), teUtf16Le);  // U+FFFE, a
  EXPECT_FALSE(other.format.bom);
  EXPECT_EQ(other.bytes, "\xf9\xfc" "a");
  EXPECT_EQ(other.Lost(), 0);
}

TEST(TextEncoding, WritingCountsWhatTheEncodingCannotHold) {
  const struct {
    std::string cp932;
    TTextEncoding encoding;
    std::string bytes;
    int unrepresentable;
  } cases[] = {
      // A lone lead byte before a line end: the line end stays.
      {"a\x81\r\n", teUtf8, "a\xef\xbf\xbd\r\n", 1},
      {"\x80\xa0\xfd", teUtf8, "\xef\xbf\xbd\xef\xbf\xbd\xef\xbf\xbd", 3},
      {"\x85\x40", teUtf16Be, "\xff\xfd", 1},                   // an unassigned pair
      {"\xf0\x40", teUtf8, "\xee\x80\x80", 0},                  // user-defined area: private use
      {"\xfb\xfc\x87\x40", teEucJp, "?\xad\xa1", 1},            // 髙 has no EUC-JP form; ① keeps row 13
      {"\xfa\x5c\xb1", teEucJp, "\x8f\xd4\xe3\x8e\xb1", 0},     // 纊ｱ
      {"a\x1b" "b", teJis, "a?b", 1},                           // an escape would be read as one
      {"\xb1\x82\xa0\r\nx", teJis, "\x1b(I1\x1b$B$\"\x1b(B\r\nx", 0},  // ｱあ: back to ASCII before the line end
      {"\xfa\x5c", teJis, "\x1b$(DTc\x1b(B", 0},                // 纊 as JIS X 0212
  };
  for (const auto& c : cases) {
    TTextFormat format;
    format.encoding = c.encoding;
    const TEncodedText e = EncodeText(c.cp932, format);
    EXPECT_EQ(e.bytes, c.bytes) << testing::PrintToString(c.cp932) << " " << EncodingName(c.encoding);
    EXPECT_EQ(e.unrepresentable, c.unrepresentable);
  }
}

TEST(TextEncoding, JisDesignationsOfTheFileAreKept) {
  // ESC $ @ and ESC ( J: JIS C 6226 kanji and JIS Roman, written back alike.
  const std::string old = "\x1b$@$\"\x1b(J\\1\r\n\x1b$@$$\x1b(J";  // あ ¥1 い
  const TDecodedText d = DecodeText(old);
  EXPECT_EQ(d.format.encoding, teJis);
  EXPECT_TRUE(d.format.jisOldKanji);
  EXPECT_TRUE(d.format.jisRoman);
  EXPECT_TRUE(d.exact);
  EXPECT_EQ(EncodeText(d.bytes, d.format).bytes, old);
  // Escapes placed where a writer would not put them: same text, other bytes.
  const TDecodedText odd = DecodeText("\x1b$B$\"\r\n\x1b(B");  // the line end inside the kanji set
  EXPECT_EQ(odd.bytes, "\x82\xa0\r\n");
  EXPECT_FALSE(odd.exact);
  EXPECT_EQ(odd.Lost(), 0);
}

TEST(TextEncoding, EveryJisX0208CodeMovesBetweenEucJpAndCp932Exactly) {
  // The arithmetic agrees with the C library wherever that knows the
  // character, and every pair, known or not, comes back as it was.
  int known = 0;
  for (int j1 = 0xA1; j1 <= 0xFE; ++j1) {
    for (int j2 = 0xA1; j2 <= 0xFE; ++j2) {
      const std::string euc{static_cast<char>(j1), static_cast<char>(j2)};
      const TDecodedText d = DecodeTextAs(euc, teEucJp);
      ASSERT_EQ(d.bytes.size(), 2u);
      TTextFormat format;
      format.encoding = teEucJp;
      ASSERT_EQ(EncodeText(d.bytes, format).bytes, euc);
      std::string asCp932;  // the character by the C library, in CP932's form
      try {
        asCp932 = Iconv("UTF-8", "CP932", Iconv("CP932", "EUC-JP", euc));
      } catch (const std::runtime_error&) {
        continue;
      }
      ASSERT_EQ(cp932::DecodeToUtf8(d.bytes), asCp932) << j1 << " " << j2;
      ++known;
    }
  }
  EXPECT_GT(known, 6800);
}

TEST(TextEncoding, LineEndStyles) {
  const struct {
    std::string text;
    TLineEndStyle style;
  } cases[] = {
      {"", leCrLf},          {"no line end", leCrLf}, {"a\nb\n", leLf},        {"a\r\nb", leCrLf},
      {"a\rb\r", leCr},      {"a\nb\r\nc\r\n", leCrLf}, {"a\r\nb\n", leCrLf},  // a tie: the first
      {"a\nb\r\n", leLf},    {"\r\r\n\n", leCr},
  };
  for (const auto& c : cases) EXPECT_EQ(DetectLineEnds(c.text), c.style) << testing::PrintToString(c.text);
  EXPECT_EQ(ConvertLineEnds("a\r\nb\rc\nd", leLf), "a\nb\nc\nd");
  EXPECT_EQ(ConvertLineEnds("a\r\nb\rc\n", leCrLf), "a\r\nb\r\nc\r\n");
  EXPECT_EQ(ConvertLineEnds("\n\r\n\r", leCr), "\r\r\r");
  EXPECT_EQ(LineEndName(leCrLf), "CRLF");
  EXPECT_EQ(LineEndName(leLf), "LF");
  EXPECT_EQ(LineEndName(leCr), "CR");
  const char* names[] = {"SJIS", "UTF-8", "EUC-JP", "JIS", "UTF-16LE", "UTF-16BE"};
  for (TTextEncoding e : kTextEncodings) EXPECT_EQ(EncodingName(e), names[e]);
}

namespace {

// Feeds data to the decoder in pieces of size bytes, as a file is read in
// blocks: what a piece leaves unused starts the next one.
std::string DecodeInPieces(TTextDecoder& decoder, std::string_view data, std::size_t size) {
  std::string out, carry;
  for (std::size_t pos = 0;;) {
    const std::size_t take = std::min(size, data.size() - pos);
    carry.append(data.substr(pos, take));
    pos += take;
    const bool last = pos == data.size();
    carry.erase(0, decoder.Feed(carry, last, out));
    if (last) {
      EXPECT_TRUE(carry.empty());
      return out;
    }
  }
}

TTextEncoding DetectInPieces(std::string_view data, std::size_t size) {
  TEncodingDetector detector;
  std::string carry;
  for (std::size_t pos = 0; !detector.Decided();) {
    const std::size_t take = std::min(size, data.size() - pos);
    carry.append(data.substr(pos, take));
    pos += take;
    const bool last = pos == data.size();
    carry.erase(0, detector.Feed(carry, last));
    if (last) break;
  }
  return detector.Result();
}

// Texts whose characters the pieces' ends cut in every way: the corpus,
// malformed sequences of each encoding, and random bytes.
std::vector<std::string> PieceTexts() {
  std::vector<std::string> texts;
  for (const CorpusFile& f : kCorpus) texts.push_back(FileBytes(f));
  texts.push_back("a\xff" "b\xe3\x81 \xe3\x81\x82\xf0\x9f\x98");
  texts.push_back(std::string("\xff\xfe\x42\x30\x00\xd8\x3d\xd8\x00\xde\x41", 11));
  texts.push_back("\xa4\xa2\x8e\xb1\x8f\xd4\xe3\x82\x8e\xa4");
  texts.push_back("\x1b$B$\"\r\n\x1b(I1\x1b(J\\\x1b$(DTc\x1b(B \x1b(X");
  std::uint32_t seed = 12345;
  for (int n = 0; n < 30; ++n) {
    std::string bytes;
    for (int i = 0; i < 200; ++i) {
      seed = seed * 1103515245 + 12345;
      // Mostly the bytes that start and continue the multi-byte characters.
      static constexpr unsigned char kBytes[] = {0x1b, '$', 'B', '(', '\r', '\n', ' ', 'a', 0x80, 0x8e,
                                                 0x8f, 0xa4, 0xa2, 0xe3, 0x81, 0x82, 0xf0, 0xd8, 0x00, 0xff};
      bytes += static_cast<char>(n % 2 ? kBytes[(seed >> 16) % sizeof kBytes] : (seed >> 16) & 0xFF);
    }
    texts.push_back(bytes);
  }
  return texts;
}

}  // namespace

TEST(TextEncoding, ReadingInPiecesGivesWhatReadingTheWholeGives) {
  for (const std::string& text : PieceTexts()) {
    for (TTextEncoding e : kTextEncodings) {
      const TDecodedText whole = DecodeTextAs(text, e);
      for (std::size_t size : {1, 2, 3, 5, 64}) {
        SCOPED_TRACE(testing::PrintToString(text) + " " + std::string(EncodingName(e)) + " " + std::to_string(size));
        TTextDecoder decoder(e);
        const std::string bytes = DecodeInPieces(decoder, text, size);
        const TDecodedText d = decoder.Finish();
        EXPECT_EQ(bytes, whole.bytes);
        EXPECT_EQ(d.format, whole.format);
        EXPECT_EQ(d.unmapped, whole.unmapped);
        EXPECT_EQ(d.invalid, whole.invalid);
        EXPECT_EQ(d.exact, whole.exact);
      }
    }
    for (std::size_t size : {1, 4, 64}) EXPECT_EQ(DetectInPieces(text, size), DetectEncoding(text));
  }
}

TEST(TextEncoding, StrictReadingStopsAtTheFirstMalformedSequence) {
  TTextDecoder decoder(teUtf8, true);
  std::string out;
  const std::string text = "ab\xe3\x81\x82\xff" "cd";
  EXPECT_EQ(decoder.Feed(text, true, out), 5u);
  EXPECT_EQ(decoder.Invalid(), 1);
}

TEST(TextEncoding, DetectionOfCp932StopsAtItsFirstJapaneseCharacters) {
  // あい then a long text: decided without reading on.
  TEncodingDetector detector;
  const std::string text = "abc \x82\xa0\x82\xa2 " + std::string(1 << 20, 'x');
  detector.Feed(text.substr(0, 16), false);
  EXPECT_TRUE(detector.Decided());
  EXPECT_EQ(detector.Result(), teCp932);
  // A UTF-8 text stays undecided: a later byte may still rule it out.
  TEncodingDetector utf8;
  utf8.Feed("\xe3\x81\x82 ", false);
  EXPECT_FALSE(utf8.Decided());
  EXPECT_EQ(utf8.Result(), teUtf8);
}

TEST(TextEncoding, SupplementaryKanjiWrittenBackOtherwiseKeepACodeOfTheirOwn) {
  // № as JIS X 0212 in EUC-JP: CP932 has it as its NEC symbol, which a save
  // writes in JIS X 0208. It gets a mapped code, so it is written back as
  // it came, beside the JIS X 0208 № (row 13) that keeps CP932's code.
  const std::string euc = "\x8f\xa2\xf1" "a\xad\xe2";
  const TDecodedText d = DecodeTextAs(euc, teEucJp);
  EXPECT_EQ(d.bytes, "\xf9\xfc" "a\x87\x82");
  EXPECT_EQ(d.Lost(), 0);
  EXPECT_TRUE(d.exact);
  EXPECT_EQ(EncodeText(d.bytes, d.format, d.chars.get()).bytes, euc);
  TTextFormat utf8;
  utf8.encoding = teUtf8;
  EXPECT_EQ(EncodeText(d.bytes, utf8, d.chars.get()).bytes, "\xe2\x84\x96" "a\xe2\x84\x96");
}
