// The text search routine behind find, find next, find previous, replace and
// the bracket jump: finds a pattern in a whole CP932 document.
#pragma once

#include <cstdint>
#include <string_view>

namespace yk {

// The search flag word. The bit values are stored in the settings file and
// shared with the search dialogs; SearchText reads the search bits and
// ignores the replace bits.
using TSearchOptions = std::uint16_t;

inline constexpr TSearchOptions sfForward = 0x0001;         // clear: backward
inline constexpr TSearchOptions sfMatchCase = 0x0002;
inline constexpr TSearchOptions sfWholeWord = 0x0004;
inline constexpr TSearchOptions sfNoMatchZenkaku = 0x0008;  // full and half width are equal
inline constexpr TSearchOptions sfReplace = 0x0010;
inline constexpr TSearchOptions sfReplaceAll = 0x0020;
inline constexpr TSearchOptions sfReplaceConfirm = 0x0040;
inline constexpr TSearchOptions sfSkipLineBreaks = 0x0080;  // CR and LF inside a match
inline constexpr TSearchOptions sfSkipBlanks = 0x0100;      // tab, space, full-width space inside a match
inline constexpr TSearchOptions sfIncludeCRLF = sfSkipLineBreaks | sfSkipBlanks;

// A selection as the editor holds it: byte offset and length.
struct TSearchRange {
  std::int64_t Start = 0;
  std::int64_t Length = 0;
  friend bool operator==(const TSearchRange&, const TSearchRange&) = default;
};

// Searches text for pattern from the selection in range: forward from its
// end, or backward so that the match starts at least the pattern's length
// before its start. A selection that starts outside the text (or, forward,
// ends outside it) finds nothing; a start on the second byte of a character
// counts from the next character. Matches start on character boundaries
// and never with a skipped line break or blank. On success range holds the match (Length counts the skipped bytes
// it covers); on failure range is left as it was. An empty text or pattern
// finds nothing.
//
// Without sfMatchCase, a-z and ａ-ｚ match their capitals. With
// sfNoMatchZenkaku both sides are compared in full-width form, a half-width
// letter with the voiced mark it joins counting as one character (ｶﾞ finds
// ガ and ガ finds ｶﾞ). With sfWholeWord the match must start a word and be
// followed by a delimiter byte or the end of the text.
bool SearchText(std::string_view text, TSearchRange& range, std::string_view pattern,
                TSearchOptions options);

// A piece of a document that is not held in one string: whole lines, so
// that it starts at a line start and ends just after a line end or at the
// end of the document. Offsets count from an origin the source chooses (it
// may lie anywhere in the document) and stay the same for one search.
struct TSearchPiece {
  std::string_view text;
  std::int64_t base = 0;  // offset of text[0]
  bool atStart = false;   // nothing comes before the piece
  bool atEnd = false;     // nothing comes after it
};

class TSearchSource {
 public:
  virtual ~TSearchSource() = default;
  // The lines that hold the offsets [from, to), as far as the document
  // reaches: at least the line holding from (the last line when from lies
  // beyond the end, the first when before the start). The text stays valid
  // until the next call.
  virtual TSearchPiece Piece(std::int64_t from, std::int64_t to) = 0;
};

// SearchText over a document read from source a piece at a time: the same
// result as SearchText over the whole text, but only the lines around the
// selection and the match are read, so a search near the selection costs
// little however long the document is. range counts in the source's offsets.
bool SearchText(TSearchSource& source, TSearchRange& range, std::string_view pattern,
                TSearchOptions options);

}  // namespace yk
