// Document files in other encodings: loaded a block at a time into an
// editor's rows with characters and line ends cut by the blocks' ends,
// malformed files, and rows written back in the file's encoding.
#include "shell/encoded_file.h"

#include <gtest/gtest.h>

#include "iconv_text.h"
#include "platform/unicode.h"
#include "temp_dir.h"
#include "text/errors.h"
#include "text/fake_editor.h"
#include "text/image_threshold.h"

namespace yk::test {
namespace {

constexpr std::size_t kMiB = 1 << 20;

TTextFormat Format(TTextEncoding encoding, bool bom = false) {
  TTextFormat format;
  format.encoding = encoding;
  format.bom = bom;
  return format;
}

// About size bytes of CP932 text: kana, kanji, half-width kana and ASCII on
// lines of varying length, every line ending in CR LF.
std::string JapaneseText(std::size_t size) {
  // あいう漢字ｶﾅ abc
  const std::string words[] = {"\x82\xa0", "\x82\xa2", "\x82\xa4", "\x8a\xbf\x8e\x9a", "\xb6\xc5", " abc"};
  std::string text;
  for (unsigned i = 0; text.size() < size; ++i) {
    text += words[i % 6];
    if (i % 37 == 36) text += "\r\n";
  }
  return text + "\r\n";
}

class EncodedFileTest : public ::testing::Test {
 protected:
  TLoadedText Load(const std::string& bytes, std::optional<TTextEncoding> encoding = std::nullopt) {
    Spit(path, bytes);
    return LoadEncodedFile(ed.lines, ed.Rows(), path, encoding);
  }

  TTempDir dir;
  std::string path = dir.File("doc.txt");
  FakeEditor ed;
};

TEST_F(EncodedFileTest, EveryEncodingLoadsTheSameRowsAcrossBlockEnds) {
  // Over two blocks: characters of two to four bytes are cut by the blocks'
  // ends in every encoding.
  const std::string text = JapaneseText(2 * kMiB + 12345);
  for (TTextEncoding e : {teUtf8, teEucJp, teUtf16Le, teUtf16Be, teJis}) {
    SCOPED_TRACE(std::string(EncodingName(e)));
    const TTextFormat format = Format(e, e == teUtf16Le || e == teUtf16Be);
    const TLoadedText loaded = Load(EncodeText(text, format).bytes);
    EXPECT_EQ(loaded.format, format);
    EXPECT_EQ(loaded.Lost(), 0);
    EXPECT_TRUE(loaded.exact);
    EXPECT_EQ(loaded.lineEnd, TLineEnd::CrLf);
    EXPECT_TRUE(ed.lines.GetTextStr() == text);
  }
}

TEST_F(EncodedFileTest, CrLfCutByTheBlockEndIsOneLineEnd) {
  // The CR is the last byte of the first block, its LF the first of the next.
  std::string bytes = "\xe3\x81\x82";  // あ
  while (bytes.size() < kMiB - 1) bytes += "x";
  bytes += "\r\n";
  bytes += "\xe3\x81\x84\r\n";  // い
  const TLoadedText loaded = Load(bytes);
  EXPECT_EQ(loaded.format.encoding, teUtf8);
  EXPECT_EQ(loaded.lineEnd, TLineEnd::CrLf);
  ASSERT_EQ(ed.lines.GetCount(), 2);
  EXPECT_EQ(ed.lines.Get(1), "\x82\xa2");
}

TEST_F(EncodedFileTest, LineEndsAndTheLastLineAreKept) {
  const struct {
    std::string bytes;
    TLineEnd end;
    std::string text;  // as the rows give it: CR LF after every ended line
    int rows;
  } cases[] = {
      {"\xe3\x81\x82\nb\r\n", TLineEnd::Lf, "\x82\xa0\r\nb\r\n", 2},
      {"\xe3\x81\x82\rb", TLineEnd::Cr, "\x82\xa0\r\nb", 2},
      {"\xe3\x81\x82", TLineEnd::CrLf, "\x82\xa0", 1},            // no line end: none added
      {"\xe3\x81\x82\x1a" "b", TLineEnd::CrLf, "\x82\xa0\x1a" "b", 1},  // a Ctrl+Z is text here
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::PrintToString(c.bytes));
    EXPECT_EQ(Load(c.bytes).lineEnd, c.end);
    EXPECT_EQ(ed.lines.GetTextStr(), c.text);
    EXPECT_EQ(ed.Rows().GetCount(), c.rows);
  }
}

TEST_F(EncodedFileTest, FileMalformedInItsDetectedEncodingLoadsUnchanged) {
  // UTF-8 for more than a block, then a byte no UTF-8 has: the bytes as
  // CP932, as every file was loaded before.
  std::string bytes;
  while (bytes.size() < kMiB + 100) bytes += "\xe3\x81\x82\r\n";
  bytes += "\xff\r\n";
  const TLoadedText loaded = Load(bytes);
  EXPECT_EQ(loaded.format, TTextFormat{});
  EXPECT_EQ(loaded.Lost(), 0);
  EXPECT_TRUE(ed.lines.GetTextStr() == bytes);
  // Chosen by the user, the same file reads as UTF-8 with one "?".
  const TLoadedText chosen = Load(bytes, teUtf8);
  EXPECT_EQ(chosen.format.encoding, teUtf8);
  EXPECT_EQ(chosen.invalid, 1);
  EXPECT_EQ(ed.lines.Get(ed.lines.GetCount() - 1), "?");
}

TEST_F(EncodedFileTest, Cp932FilesLoadAsBefore) {
  Spit(path, "plain ASCII");
  EXPECT_EQ(DetectFileEncoding(path), teCp932);
  const TLoadedText loaded = Load("\x82\xa0\nb\x1a");  // あ b and the old end-of-file mark
  EXPECT_EQ(loaded.format, TTextFormat{});
  EXPECT_EQ(loaded.lineEnd, TLineEnd::Lf);
  EXPECT_EQ(ed.lines.GetTextStr(), "\x82\xa0\r\nb");
  EXPECT_TRUE(ed.Rows().EofMark());
  // The mark is no text of another encoding's file, and no mark either.
  Load("\xe3\x81\x82\x1a");
  EXPECT_EQ(ed.lines.GetTextStr(), "\x82\xa0\x1a");
  EXPECT_FALSE(ed.Rows().EofMark());
}

TEST_F(EncodedFileTest, UnreadableFileRaisesAndLeavesNoRows) {
  Load("\xe3\x81\x82\r\n");
  EXPECT_THROW(LoadEncodedFile(ed.lines, ed.Rows(), dir.File("missing"), teUtf8), EFileError);
  EXPECT_EQ(ed.Rows().GetCount(), 0);
  EXPECT_THROW(DetectFileEncoding(dir.File("missing")), EFileError);
}

TEST_F(EncodedFileTest, SavedBlocksGiveTheBytesOfTheWhole) {
  // Over a block, ending without a line end; JIS changes sets on every line.
  const std::string text = JapaneseText(kMiB + 999) + "\x82\xa0";
  ed.lines.SetTextStr(text);
  ed.Rows().SetRowAttribute(ed.Rows().GetCount() - 1, raEof);
  for (const TTextFormat& format : {Format(teUtf8, true), Format(teJis), Format(teUtf16Be, true)}) {
    SCOPED_TRACE(std::string(EncodingName(format.encoding)));
    EXPECT_TRUE(SaveEncodedRows(ed.Rows(), path, TLineEnd::CrLf, false, format));
    EXPECT_TRUE(Slurp(path) == EncodeText(text, format).bytes);
  }
  // Line ends of the document's own; the wrapped form ends every row.
  ed.lines.SetTextStr("a\r\nb\r\n");
  ed.Rows().SetRowAttribute(1, raEof);
  ed.Rows().SetLineEnds(TLineEnd::Lf);
  SaveEncodedRows(ed.Rows(), path, TLineEnd::CrLf, false, Format(teUtf16Le));
  EXPECT_EQ(Slurp(path), std::string("a\0\n\0b\0", 6));
  SaveEncodedRows(ed.Rows(), path, TLineEnd::CrLf, true, Format(teUtf8));
  EXPECT_EQ(Slurp(path), "a\r\nb\r\n");
}

TEST_F(EncodedFileTest, CharactersTheEncodingCannotHoldAreWrittenOnlyWhenConfirmed) {
  Spit(path, "old");
  ed.lines.SetTextStr("\xfb\xfc\x82\xa0\r\n");  // 髙 has no EUC-JP form; あ
  int asked = -1;
  EXPECT_FALSE(SaveEncodedRows(ed.Rows(), path, TLineEnd::CrLf, false, Format(teEucJp), [&](int lost) {
    asked = lost;
    return false;
  }));
  EXPECT_EQ(asked, 1);
  EXPECT_EQ(Slurp(path), "old");
  EXPECT_TRUE(SaveEncodedRows(ed.Rows(), path, TLineEnd::CrLf, false, Format(teEucJp), [](int) { return true; }));
  EXPECT_EQ(Slurp(path), "?\xa4\xa2\r\n");
}

TEST_F(EncodedFileTest, MappedCharactersLoadEditableAndSaveBackAsTheyCame) {
  // 😀é LF 〜～ LF 𠮷: an emoji, a Latin letter, both tildes, a kanji beyond
  // the BMP, from UTF-8 and UTF-16 across a block end.
  std::string text = std::string(kMiB - 2, 'x') + "\xf0\x9f\x98\x80\xc3\xa9\n\xe3\x80\x9c\xef\xbd\x9e\n\xf0\xa0\xae\xb7";
  for (const char* writer : {"UTF-8", "UTF-16LE"}) {
    SCOPED_TRACE(writer);
    const std::string bytes = std::string(writer) == "UTF-8" ? text : "\xff\xfe" + Iconv(writer, "UTF-8", text);
    const TLoadedText loaded = Load(bytes);
    EXPECT_EQ(loaded.Lost(), 0);
    EXPECT_TRUE(loaded.exact);
    ASSERT_TRUE(loaded.chars);
    EXPECT_EQ(loaded.chars->Count(), 4);
    EXPECT_EQ(ed.lines.Get(0).substr(kMiB - 2), "\xf9\xfc\xf9\xfb");
    EXPECT_EQ(ed.lines.Get(1), "\x81\x60\xf9\xfa");
    EXPECT_TRUE(SaveEncodedRows(ed.Rows(), path, loaded.lineEnd, false, loaded.format, {}, false, loaded.chars.get()));
    EXPECT_TRUE(Slurp(path) == bytes);
  }
}

// A file that mixes line ends, in every encoding, with pieces cut between
// a CR and its LF: saved back unchanged, each line with its own line end.
TEST_F(EncodedFileTest, MixedLineEndsAreSavedBackAsTheyWere) {
  std::string text;  // CP932
  for (int i = 0; text.size() < 2 * kMiB; ++i) text += "\x82\xa0 line " + std::to_string(i) + (i % 5 ? "\r\n" : i % 3 ? "\n" : "\r");
  text += "end";
  for (TTextEncoding e : {teCp932, teUtf8, teEucJp, teUtf16Le, teJis}) {
    SCOPED_TRACE(std::string(EncodingName(e)));
    const TTextFormat format = Format(e, e == teUtf16Le);
    const std::string bytes = EncodeText(text, format).bytes;
    const TLoadedText loaded = Load(bytes, e);
    EXPECT_EQ(loaded.lineEnd, TLineEnd::Cr);  // the first line end
    EXPECT_TRUE(ed.Rows().MixedLineEnds());
    ASSERT_TRUE(SaveEncodedRows(ed.Rows(), path, TLineEnd::CrLf, false, format));
    EXPECT_TRUE(Slurp(path) == bytes);
  }
}

// Rows still in the image of a loaded CP932 file are read out of it in
// pieces that may end anywhere, also inside a line of several blocks or
// between a CR and its LF: every encoding must still get the bytes of the
// whole text the CP932 save writes, and the image's pages stay out of
// memory.
TEST_F(EncodedFileTest, RowsOfTheLoadedImageSaveInEveryEncoding) {
  const ImageThreshold threshold(4096);
  std::string mixed, crs, longLine = "x";
  for (int i = 0; mixed.size() < 3 * kMiB / 2; ++i)
    mixed += "\x82\xa0 line " + std::to_string(i) + (i % 5 ? "\r\n" : i % 3 ? "\n" : "\r");
  for (int i = 0; crs.size() < 3 * kMiB / 2; ++i) crs += "\x8a\xbf " + std::to_string(i) + "\r";
  while (longLine.size() < 2 * kMiB) longLine += "\x82\xa0";  // a block's end falls inside a character
  longLine += "\r\n\xb6\xc5 last";
  const struct {
    const char* name;
    std::string text;
  } docs[] = {{"mixed line ends", mixed + "end"}, {"CR lines", crs}, {"long lines", longLine}};
  for (const auto& doc : docs) {
    SCOPED_TRACE(doc.name);
    Load(doc.text, teCp932);
    ASSERT_GT(ed.Rows().ImageBlockCount(), 0u);
    ed.lines.Put(ed.lines.GetCount() / 2, "\x82\xa2 edited");
    ASSERT_TRUE(SaveEncodedRows(ed.Rows(), path, TLineEnd::CrLf, false, Format(teCp932)));
    const std::string cp932 = Slurp(path);
    ed.Rows().ReleaseImagePages();
    for (const TTextFormat& format : {Format(teUtf8, true), Format(teJis), Format(teUtf16Be, true)}) {
      SCOPED_TRACE(std::string(EncodingName(format.encoding)));
      ASSERT_TRUE(SaveEncodedRows(ed.Rows(), path, TLineEnd::CrLf, false, format));
      EXPECT_TRUE(Slurp(path) == EncodeText(cp932, format).bytes);
      if (ResidentKb("yomikaki-text") >= 0) {
        EXPECT_LT(ResidentKb("yomikaki-text"), 512);
      }
    }
  }
}

TEST_F(EncodedFileTest, MoreDistinctCharactersThanFreeCodesAreCounted) {
  // 1,881 kanji beyond the BMP, the last twice: two "?" for one character.
  std::string text;
  for (char32_t c = 0x20000; c <= 0x20000 + TMappedChars::kCapacity; ++c) unicode::AppendUtf8(text, c);
  unicode::AppendUtf8(text, 0x20000 + TMappedChars::kCapacity);
  const TLoadedText loaded = Load(text);
  EXPECT_EQ(loaded.unmapped, 2);
  EXPECT_EQ(loaded.overflow, 1);
  EXPECT_FALSE(loaded.exact);
}

TEST_F(EncodedFileTest, Cp932DocumentsGiveCodesTheyDoNotHoldThemselves) {
  // A Shift-JIS file with its own user-defined character 0xF9FC: the first
  // character typed that CP932 lacks takes the next code down.
  const TLoadedText loaded = Load("\x82\xa0\xf9\xfc\r\n");
  EXPECT_EQ(loaded.format.encoding, teCp932);
  ASSERT_TRUE(loaded.chars);
  EXPECT_EQ(loaded.chars->CodeFor(U'\U0001F600'), 0xF9FB);
  ed.lines.SetTextStr("\x82\xa0\xf9\xfc\xf9\xfb\r\n");
  // Shift-JIS has no bytes for it: "?" after the question; its own code stays.
  EXPECT_EQ(CountUnwritable(ed.Rows(), teCp932, *loaded.chars), 1);
  int asked = 0;
  EXPECT_TRUE(SaveEncodedRows(ed.Rows(), path, TLineEnd::CrLf, false, Format(teCp932), [&](int lost) {
    asked = lost;
    return true;
  }, true, loaded.chars.get()));
  EXPECT_EQ(asked, 1);
  EXPECT_EQ(Slurp(path), "\x82\xa0\xf9\xfc?\r\n\x1a");
  // UTF-8 holds it.
  EXPECT_EQ(CountUnwritable(ed.Rows(), teUtf8, *loaded.chars), 0);
  // (The line keeps the CR LF it was given.)
  SaveEncodedRows(ed.Rows(), path, TLineEnd::Lf, false, Format(teUtf8), {}, false, loaded.chars.get());
  EXPECT_EQ(Slurp(path), "\xe3\x81\x82\xee\x9d\x97\xf0\x9f\x98\x80\r\n");
}

TEST_F(EncodedFileTest, MappedCharactersOfJisX0212GoBackToEucJp) {
  // café ü in EUC-JP: é and ü are JIS X 0212; an emoji typed beside them is not.
  const std::string euc = "caf\x8f\xab\xb1 \x8f\xab\xe4\r\n";
  const TLoadedText loaded = Load(euc, teEucJp);
  EXPECT_EQ(loaded.chars->Count(), 2);
  EXPECT_TRUE(SaveEncodedRows(ed.Rows(), path, TLineEnd::CrLf, false, loaded.format, {}, false, loaded.chars.get()));
  EXPECT_EQ(Slurp(path), euc);
  const std::uint16_t emoji = loaded.chars->CodeFor(U'\U0001F600');
  ed.lines.SetTextStr(ed.lines.GetTextStr() + char(emoji >> 8) + char(emoji & 0xFF));
  for (TTextEncoding e : {teEucJp, teJis}) EXPECT_EQ(CountUnwritable(ed.Rows(), e, *loaded.chars), 1);
  SaveEncodedRows(ed.Rows(), path, TLineEnd::CrLf, false, Format(teJis), [](int) { return true; }, false,
                  loaded.chars.get());
  EXPECT_EQ(Slurp(path), "caf\x1b$(D+1\x1b(B \x1b$(D+d\x1b(B\r\n?\r\n");
}

TEST(EncodingStatusText, NamesEncodingMarkAndLineEnds) {
  EXPECT_EQ(EncodingStatusText(Format(teUtf8), TLineEnd::Lf, true), "UTF-8 LF 混在");
  EXPECT_EQ(EncodingStatusText(Format(teCp932), TLineEnd::CrLf), "SJIS CRLF");
  EXPECT_EQ(EncodingStatusText(Format(teUtf8), TLineEnd::Lf), "UTF-8 LF");
  EXPECT_EQ(EncodingStatusText(Format(teUtf8, true), TLineEnd::CrLf), "UTF-8 BOM CRLF");
  EXPECT_EQ(EncodingStatusText(Format(teUtf16Le, true), TLineEnd::Cr), "UTF-16LE CR");
  EXPECT_EQ(EncodingStatusText(Format(teJis), TLineEnd::Lf), "JIS LF");
}

}  // namespace
}  // namespace yk::test
