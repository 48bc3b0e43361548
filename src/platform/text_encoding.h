// Documents in other encodings than CP932, at the edge: which encoding a
// file's bytes are in, the CP932 text the editor works on (characters CP932
// cannot hold get codes of the document's TMappedChars), and the bytes to
// write back in the file's own encoding. Also the line-end style of a text.
// Each encoding has a file of its own (encoding_detect, utf8_codec,
// utf16_codec, euc_jp_codec, iso2022jp_codec); this one joins them.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

namespace yk {

enum TTextEncoding { teCp932, teUtf8, teEucJp, teJis, teUtf16Le, teUtf16Be };
inline constexpr TTextEncoding kTextEncodings[] = {teCp932, teUtf8, teEucJp, teJis, teUtf16Le, teUtf16Be};

// What the status bar shows: "SJIS", "UTF-8", "EUC-JP", "JIS", "UTF-16LE",
// "UTF-16BE".
std::string_view EncodingName(TTextEncoding encoding);

// Everything needed to write a text back in the form it was read in.
struct TTextFormat {
  TTextEncoding encoding = teCp932;
  bool bom = false;
  // ISO-2022-JP: the file chose JIS C 6226 (ESC $ @) for kanji and JIS
  // X 0201 Roman (ESC ( J) for single bytes, instead of ESC $ B and ESC ( B.
  bool jisOldKanji = false;
  bool jisRoman = false;
  bool operator==(const TTextFormat&) const = default;
};

class TMappedChars;

struct TDecodedText {
  std::string bytes;  // CP932
  TTextFormat format;
  // The codes the text's characters outside CP932 were given (null for
  // CP932 itself). Writing bytes back needs it.
  std::shared_ptr<TMappedChars> chars;
  // Characters that found no free code, each shown as "?" (or, where CP932
  // shows them through another code, as that, but counted: they would not
  // be written back as they were).
  int unmapped = 0;
  // Malformed sequences, each shown as "?".
  int invalid = 0;
  // Writing bytes back unchanged in format gives the file's bytes again.
  bool exact = true;
  int Lost() const { return unmapped + invalid; }
};

struct TEncodedText {
  std::string bytes;
  // Characters the encoding cannot hold: "?" (U+FFFD in UTF-8 and UTF-16),
  // mapped characters in CP932 among them.
  int unrepresentable = 0;
};

// The encoding of a file, trying in turn: a byte-order mark; valid UTF-8
// with at least one multi-byte sequence; 7-bit text that designates a
// kanji or kana set of ISO-2022-JP and reads as ISO-2022-JP; valid EUC-JP
// that is not valid CP932, or that is valid in both and reads as Japanese
// (a quarter or more of its two-byte characters kana); else CP932 (pure
// ASCII included). Looks at the whole text, not a prefix, in one pass per
// candidate, each pass stopping at the first byte that rules it out.
TTextEncoding DetectEncoding(std::string_view data);

// A file's text for the editor: in the detected encoding, or the bytes
// unchanged (as CP932) when they are malformed in that encoding too.
TDecodedText DecodeText(std::string_view data);
// A file's text read in an encoding the user chose; malformed sequences
// become "?" and are counted. A byte-order mark of that encoding is taken
// off and remembered.
TDecodedText DecodeTextAs(std::string_view data, TTextEncoding encoding);
// CP932 text as the bytes of a file in format (its byte-order mark first),
// its mapped codes as chars says.
TEncodedText EncodeText(std::string_view cp932, const TTextFormat& format, const TMappedChars* chars = nullptr);

// How many of the mapped characters in a CP932 text encoding cannot hold:
// all of them in CP932, those outside JIS X 0212 in EUC-JP and ISO-2022-JP,
// none in Unicode.
int CountUnwritable(std::string_view cp932, TTextEncoding encoding, const TMappedChars& chars);

// Detection over a text that arrives piece by piece (a file read in
// blocks), with the same answer as DetectEncoding on the whole text. Stops
// reading as soon as the rest cannot change the answer (a CP932 file is
// usually decided within its first kana).
class TEncodingDetector {
 public:
  TEncodingDetector();
  ~TEncodingDetector();
  TEncodingDetector(const TEncodingDetector&) = delete;
  TEncodingDetector& operator=(const TEncodingDetector&) = delete;

  // Looks at the start of piece up to its last space or control character
  // (where no encoding can be in the middle of a character) and returns how
  // many bytes it used; the rest must start the next piece. last: piece
  // ends the text, and is used whole.
  std::size_t Feed(std::string_view piece, bool last);
  // No later piece can change Result.
  bool Decided() const;
  TTextEncoding Result() const;

 private:
  struct TState;
  std::unique_ptr<TState> s_;
};

// Reading a text in one encoding piece by piece, as DecodeTextAs reads the
// whole: the same CP932 bytes, counts and format, without holding the
// whole file and the whole text at once (ISO-2022-JP is the exception: its
// pieces are kept and read at the end, as such files are small).
class TTextDecoder {
 public:
  // strict: stop at the first malformed sequence (Invalid is then 1), for
  // a detected encoding whose file must be read unchanged instead. chars:
  // the table that characters outside CP932 get codes of; null: a new one
  // (keeping merged forms apart for the Unicode encodings).
  explicit TTextDecoder(TTextEncoding encoding, bool strict = false, std::shared_ptr<TMappedChars> chars = nullptr);
  ~TTextDecoder();
  TTextDecoder(const TTextDecoder&) = delete;
  TTextDecoder& operator=(const TTextDecoder&) = delete;

  // Appends to out the CP932 form of the complete characters at the start
  // of piece and returns how many bytes it used; a character cut by the
  // piece's end must start the next piece. last: piece ends the text, and
  // a cut character at its end is malformed.
  std::size_t Feed(std::string_view piece, bool last, std::string& out);
  int Invalid() const;
  // After the last piece: the format, the table, the counts and whether
  // writing the text back gives the same bytes (bytes is empty; they went
  // to out).
  TDecodedText Finish();

 private:
  struct TState;
  std::unique_ptr<TState> s_;
};

enum TLineEndStyle { leCrLf, leLf, leCr };

// "CRLF", "LF", "CR".
std::string_view LineEndName(TLineEndStyle style);
// The most frequent line end of a text (the earlier one on a tie); CR LF
// for a text without any.
TLineEndStyle DetectLineEnds(std::string_view text);
// The text with every CR LF, CR and LF written as style.
std::string ConvertLineEnds(std::string_view text, TLineEndStyle style);

}  // namespace yk
