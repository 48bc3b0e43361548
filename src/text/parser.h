// The token parser: cuts a piece of text (a row, or several rows) into the
// tokens that painting colours, and carries the bracket-pair state across rows.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "text/reserve_words.h"

namespace yk {

// Token kinds; the values are fixed (5, 10 and 13 are unused).
enum TEditorTokenKind : unsigned char {
  toEof = 0,
  toSymbol = 1,
  toString = 2,
  toInteger = 3,
  toFloat = 4,
  toBracket = 6,
  toComment = 7,
  toAnk = 8,
  toTab = 9,
  toDBSymbol = 11,
  toDBInt = 12,
  toDBAlph = 14,
  toDBHira = 15,
  toDBKana = 16,
  toDBKanji = 17,
  toKanaSymbol = 18,
  toKana = 19,
  toUrl = 20,
  toMail = 21,
};

// One bracket pair (for example a block comment). An empty left never
// matches; an empty right never closes, so the pair runs to the end of the
// document once it has opened.
struct TBracketRule {
  std::string left;
  std::string right;
  bool operator==(const TBracketRule&) const = default;
};

// What the parser needs from the view settings, built by the editor once per
// settings change. The index of a pair in `brackets` is its bracket state.
struct TParserRules {
  std::vector<TBracketRule> brackets;
  std::string commenter;
  bool controlCode = false;
  std::string hexPrefix;
  bool mail = false;
  std::string quotation;  // empty, or one byte
  bool url = false;
  bool operator==(const TParserRules&) const = default;
};

// Bracket states carried from row to row.
constexpr int kStateNotComputed = -2;  // also: bracket rules off
constexpr int kStateOutside = -1;      // outside every pair
constexpr int kMaxBracketPairs = 14;   // states 0..13; later pairs are ignored

// Scans a text without copying it: the text must outlive the parser. The end
// of the view is the end of the text; a NUL byte inside it is an ordinary
// symbol. Every token but toEof consumes at least one byte.
class TEditorParser {
 public:
  // Plain classification only (no bracket, mail, URL, comment or string
  // rules); bracket state and index are kStateNotComputed.
  explicit TEditorParser(std::string_view text);
  // With rules (may be null: plain classification) and the bracket state the
  // text starts in: kStateNotComputed skips the bracket rules, kStateOutside
  // starts outside any pair, 0..13 inside that pair. A state naming no pair
  // of the rules is taken as kStateOutside.
  TEditorParser(const TParserRules* rules, std::string_view text, int state);
  virtual ~TEditorParser() = default;
  TEditorParser(const TEditorParser&) = delete;
  TEditorParser& operator=(const TEditorParser&) = delete;

  // Both constructors scan the first token with this class's NextToken, since
  // a descendant is not yet built then; a descendant that scans differently
  // uses the deferring constructor below and calls its own NextToken.

  // Advances the position over blank bytes: 0x01-0x08 and 0x0A-0x20.
  virtual void SkipBlanks();
  // Scans the next token; returns its kind, which Token() also reports.
  virtual TEditorTokenKind NextToken();

  TEditorTokenKind Token() const { return token_; }
  int TokenOffset() const { return static_cast<int>(token_start_); }
  int TokenLength() const { return static_cast<int>(pos_ - token_start_); }
  std::string_view TokenString() const { return text_.substr(token_start_, pos_ - token_start_); }
  // State after the current token: kStateOutside, a pair index, or
  // kStateNotComputed when the bracket rules are off.
  int BracketState() const { return state_; }
  // The pair the current toBracket token belongs to; kStateNotComputed
  // until the first bracket token.
  int BracketIndex() const { return index_; }
  int Position() const { return static_cast<int>(pos_); }
  std::string_view Text() const { return text_; }

 protected:
  struct TDeferFirstToken {};
  // As the public constructor with rules, without scanning the first token.
  TEditorParser(const TParserRules* rules, std::string_view text, int state, TDeferFirstToken);

  // True at the end of the view or at CR/LF: where comments, strings and
  // bracket scans stop.
  bool AtLineEnd(std::size_t p) const {
    return p >= text_.size() || text_[p] == '\r' || text_[p] == '\n';
  }
  std::size_t BracketCount() const;

  const TParserRules* rules_ = nullptr;
  std::string_view text_;
  std::size_t pos_ = 0;
  std::size_t token_start_ = 0;
  TEditorTokenKind token_ = toEof;
  int state_ = kStateNotComputed;
  int index_ = kStateNotComputed;

 private:
  bool ScanRuleToken();
  bool ScanBracketContinuation();
  bool ScanLeftBracket();
  bool ScanMail();
  bool ScanUrl();
  bool ScanComment();
  bool ScanQuoted();
  bool ScanHexPrefixed();
  bool ScanControlCode();
  void ScanRightBracket();
  TEditorTokenKind ScanPlain();
  TEditorTokenKind ScanNumber();
  TEditorTokenKind ScanDoubleByte();
  unsigned char Byte(std::size_t p) const;
  std::size_t CharLen(std::size_t p) const;
  bool StartsWithAt(std::size_t p, std::string_view s) const;
  bool Has(std::size_t p, unsigned char flags) const;
  std::size_t SkipClass(std::size_t p, unsigned char flags) const;
  bool DoubleAt(std::size_t p, int lead, int trail_lo, int trail_hi) const;
  bool KanaExtenderAt(std::size_t p) const;
  std::size_t SkipDoubleLeads(std::size_t p, int lo, int hi) const;
};

// The colour entries that painting chooses from for a token.
enum TColorEntry {
  ceAnk,
  ceComment,
  ceDBCS,
  ceInt,
  ceMail,
  ceReserve,
  ceSelect,
  ceStr,
  ceSymbol,
  ceUrl,
  ceBracket,  // the ItemColor of the pair TEditorParser::BracketIndex() names
  ceText,     // the editor's own text colours
};

// True for the kinds whose text is looked up in the reserved-word list
// (a reserved word inside a string or comment keeps the string colour).
bool IsReservableToken(TEditorTokenKind kind);
// The entry for a token of this kind, given whether its text is reserved.
TColorEntry TokenColorEntry(TEditorTokenKind kind, bool reserved);
// The entry for the parser's current token; words may be null (none reserved).
TColorEntry TokenColorEntry(const TEditorParser& parser, const TReserveWordList* words);

}  // namespace yk
