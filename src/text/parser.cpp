// The token parser: rule tokens (brackets, mail, URLs, comments, strings,
// hex numbers, control codes), the byte classification, and colour entries.
#include "text/parser.h"

#include <algorithm>
#include <array>

#include "text/cp932.h"

namespace yk {

namespace {

enum : unsigned char { kBlank = 1, kDigit = 2, kWord = 4, kHex = 8, kMail = 16, kUrl = 32 };

constexpr bool InRange(int b, int lo, int hi) { return b >= lo && b <= hi; }

constexpr bool IsMailByte(int b) {
  return b == 0x21 || InRange(b, 0x24, 0x26) || b == 0x2A || InRange(b, 0x2C, 0x39) || b == 0x3B ||
         b == 0x3D || InRange(b, 0x3F, 0x5A) || b == 0x5E || b == 0x5F || InRange(b, 0x61, 0x7A) ||
         b == 0x7E;
}

constexpr bool IsUrlByte(int b) {
  return b == 0x23 || b == 0x25 || b == 0x26 || b == 0x2B || InRange(b, 0x2D, 0x3A) || b == 0x3D ||
         b == 0x3F || InRange(b, 0x41, 0x5A) || b == 0x5F || InRange(b, 0x61, 0x7A) || b == 0x7E;
}

constexpr std::array<unsigned char, 256> MakeClassTable() {
  std::array<unsigned char, 256> t{};
  for (int b = 0; b < 256; ++b) {
    unsigned char f = 0;
    // The tab is a token of its own and NUL an ordinary symbol.
    if (InRange(b, 0x01, 0x08) || InRange(b, 0x0A, 0x20)) f |= kBlank;
    if (InRange(b, '0', '9')) f |= kDigit | kWord | kHex;
    if (InRange(b, 'A', 'Z') || InRange(b, 'a', 'z') || b == '_') f |= kWord;
    if (InRange(b, 'A', 'F') || InRange(b, 'a', 'f')) f |= kHex;
    if (IsMailByte(b)) f |= kMail;
    if (IsUrlByte(b)) f |= kUrl;
    t[static_cast<std::size_t>(b)] = f;
  }
  return t;
}

constexpr std::array<unsigned char, 256> kClass = MakeClassTable();

}  // namespace

TEditorParser::TEditorParser(std::string_view text) : text_(text) { TEditorParser::NextToken(); }

TEditorParser::TEditorParser(const TParserRules* rules, std::string_view text, int state)
    : TEditorParser(rules, text, state, TDeferFirstToken{}) {
  TEditorParser::NextToken();
}

TEditorParser::TEditorParser(const TParserRules* rules, std::string_view text, int state, TDeferFirstToken)
    : rules_(rules), text_(text), state_(state) {
  // A state left over from other rules (fewer pairs now) must not index a
  // pair that is no longer there.
  if (state_ < kStateNotComputed || state_ >= static_cast<int>(BracketCount())) state_ = kStateOutside;
}

void TEditorParser::SkipBlanks() {
  while (pos_ < text_.size() && (kClass[Byte(pos_)] & kBlank)) ++pos_;
}

TEditorTokenKind TEditorParser::NextToken() {
  SkipBlanks();
  token_start_ = pos_;
  // CR or LF here can only be left by a descendant's SkipBlanks.
  if (AtLineEnd(pos_)) {
    token_ = toEof;
  } else if (!(rules_ && ScanRuleToken())) {
    token_ = ScanPlain();
  }
  return token_;
}

std::size_t TEditorParser::BracketCount() const {
  if (!rules_) return 0;
  return std::min<std::size_t>(rules_->brackets.size(), kMaxBracketPairs);
}

inline unsigned char TEditorParser::Byte(std::size_t p) const { return static_cast<unsigned char>(text_[p]); }

inline std::size_t TEditorParser::CharLen(std::size_t p) const {
  // Rows are split at CR and LF byte by byte, so a line end never serves as
  // a trail byte: a lead byte before it stands alone.
  std::size_t n = cp932::CharLength(text_, p);
  if (n == 2 && (text_[p + 1] == '\r' || text_[p + 1] == '\n')) return 1;
  return n;
}

inline bool TEditorParser::StartsWithAt(std::size_t p, std::string_view s) const {
  // The first byte decides almost every call, so it is tested before the rest.
  return !s.empty() && p < text_.size() && text_[p] == s[0] && text_.size() - p >= s.size() &&
         text_.compare(p, s.size(), s) == 0;
}

inline bool TEditorParser::Has(std::size_t p, unsigned char flags) const {
  return p < text_.size() && (kClass[Byte(p)] & flags);
}

inline std::size_t TEditorParser::SkipClass(std::size_t p, unsigned char flags) const {
  while (Has(p, flags)) ++p;
  return p;
}

// ---- rule tokens ----------------------------------------------------------

bool TEditorParser::ScanRuleToken() {
  if (state_ >= 0) return ScanBracketContinuation();
  if (state_ == kStateOutside && ScanLeftBracket()) return true;
  return ScanMail() || ScanUrl() || ScanComment() || ScanQuoted() || ScanHexPrefixed() ||
         ScanControlCode();
}

bool TEditorParser::ScanBracketContinuation() {
  index_ = state_;
  ScanRightBracket();
  token_ = toBracket;
  return true;
}

bool TEditorParser::ScanLeftBracket() {
  std::size_t count = BracketCount();
  for (std::size_t i = 0; i < count; ++i) {
    const std::string& left = rules_->brackets[i].left;
    if (!StartsWithAt(pos_, left)) continue;
    state_ = index_ = static_cast<int>(i);
    pos_ += left.size();
    ScanRightBracket();
    token_ = toBracket;
    return true;
  }
  return false;
}

void TEditorParser::ScanRightBracket() {
  // An empty right bracket never closes: the pair stays open to the end of
  // the document, and the token still takes the rest of the line.
  const std::string& right = rules_->brackets[static_cast<std::size_t>(state_)].right;
  while (!AtLineEnd(pos_)) {
    if (StartsWithAt(pos_, right)) {
      pos_ += right.size();
      state_ = kStateOutside;
      return;
    }
    pos_ += CharLen(pos_);
  }
}

bool TEditorParser::ScanMail() {
  if (!rules_->mail || !Has(pos_, kMail) || text_[pos_] == '@') return false;
  std::size_t p = pos_;
  bool seen_at = false, dot_after_at = false;
  for (; Has(p, kMail); ++p) {
    if (text_[p] == '@') seen_at = true;
    else if (text_[p] == '.' && seen_at) dot_after_at = true;
  }
  if (!dot_after_at) return false;
  pos_ = p;
  token_ = toMail;
  return true;
}

bool TEditorParser::ScanUrl() {
  if (!rules_->url) return false;
  std::size_t len = 0;
  switch (text_[pos_]) {
    case 'f': len = StartsWithAt(pos_, "ftp:") ? 4 : 0; break;
    case 'h': len = StartsWithAt(pos_, "http:") ? 5 : StartsWithAt(pos_, "https:") ? 6 : 0; break;
    case 'w': len = StartsWithAt(pos_, "www.") ? 4 : 0; break;
    default: break;
  }
  if (len == 0) return false;
  pos_ = SkipClass(pos_ + len, kUrl);
  token_ = toUrl;
  return true;
}

bool TEditorParser::ScanComment() {
  if (!StartsWithAt(pos_, rules_->commenter)) return false;
  while (!AtLineEnd(pos_)) ++pos_;
  token_ = toComment;
  return true;
}

bool TEditorParser::ScanQuoted() {
  const std::string& q = rules_->quotation;
  if (q.empty() || text_[pos_] != q[0]) return false;
  // Stepped by character: a trail byte that equals the quotation character
  // (0x7C, 0x60 and the like) is part of a double-byte character, no quote.
  std::size_t p = pos_ + 1;
  while (!AtLineEnd(p)) {
    if (text_[p] == q[0]) {
      ++p;
      if (p < text_.size() && text_[p] == q[0]) {
        ++p;  // a doubled quotation character stands for one
        continue;
      }
      break;
    }
    p += CharLen(p);
  }
  pos_ = p;
  token_ = toString;
  return true;
}

bool TEditorParser::ScanHexPrefixed() {
  if (!StartsWithAt(pos_, rules_->hexPrefix)) return false;
  pos_ = SkipClass(pos_ + rules_->hexPrefix.size(), kHex);
  token_ = toInteger;
  return true;
}

bool TEditorParser::ScanControlCode() {
  if (!rules_->controlCode || text_[pos_] != '#') return false;
  std::size_t p = pos_ + 1;
  if (p < text_.size() && text_[p] == '$') p = SkipClass(p + 1, kHex);
  else p = SkipClass(p, kDigit);
  pos_ = p;
  token_ = toString;
  return true;
}

// ---- byte classification ----------------------------------------------------

TEditorTokenKind TEditorParser::ScanPlain() {
  unsigned char b = Byte(pos_);
  if (b == '\t') {
    ++pos_;
    return toTab;
  }
  if (kClass[b] & kDigit) return ScanNumber();
  if (kClass[b] & kWord) {
    pos_ = SkipClass(pos_ + 1, kWord);
    return toAnk;
  }
  if (cp932::IsLeadByte(b) && CharLen(pos_) == 2) return ScanDoubleByte();
  if (InRange(b, 0xA1, 0xA5)) {
    ++pos_;
    return toKanaSymbol;
  }
  if (InRange(b, 0xA6, 0xDF)) {
    do ++pos_;
    while (pos_ < text_.size() && InRange(Byte(pos_), 0xA6, 0xDF));
    return toKana;
  }
  ++pos_;  // any other byte, a NUL or a lone lead byte included
  return toSymbol;
}

TEditorTokenKind TEditorParser::ScanNumber() {
  std::size_t p = SkipClass(pos_, kDigit);
  TEditorTokenKind kind = toInteger;
  auto is_exp = [this](std::size_t i) { return i < text_.size() && (text_[i] == 'e' || text_[i] == 'E'); };
  // The exponent letter (and a sign) belong to the number even without digits.
  auto exponent = [this](std::size_t i) {
    ++i;
    if (i < text_.size() && (text_[i] == '+' || text_[i] == '-')) ++i;
    return SkipClass(i, kDigit);
  };
  if (p < text_.size() && text_[p] == '.') {
    kind = toFloat;  // even when the full stop is not taken
    if (Has(p + 1, kDigit)) {
      p = SkipClass(p + 1, kDigit);
      if (is_exp(p)) p = exponent(p);
    } else if (is_exp(p + 1)) {
      p = exponent(p + 1);
    }
  } else if (is_exp(p)) {
    kind = toFloat;
    p = exponent(p);
  }
  pos_ = p;
  return kind;
}

inline bool TEditorParser::DoubleAt(std::size_t p, int lead, int trail_lo, int trail_hi) const {
  return p + 1 < text_.size() && Byte(p) == lead && InRange(Byte(p + 1), trail_lo, trail_hi);
}

// Long vowel mark and full-width minus, which continue kana runs.
inline bool TEditorParser::KanaExtenderAt(std::size_t p) const {
  return DoubleAt(p, 0x81, 0x5B, 0x5B) || DoubleAt(p, 0x81, 0x7C, 0x7C);
}

std::size_t TEditorParser::SkipDoubleLeads(std::size_t p, int lo, int hi) const {
  while (p < text_.size() && CharLen(p) == 2 && InRange(Byte(p), lo, hi)) p += 2;
  return p;
}

TEditorTokenKind TEditorParser::ScanDoubleByte() {
  const unsigned char lead = Byte(pos_), trail = Byte(pos_ + 1);
  std::size_t p = pos_ + 2;
  TEditorTokenKind kind = toDBSymbol;
  if (lead == 0x82 && InRange(trail, 0x4F, 0x58)) {
    kind = toDBInt;
    while (DoubleAt(p, 0x82, 0x4F, 0x58) || DoubleAt(p, 0x81, 0x43, 0x44)) p += 2;
  } else if (lead == 0x82 && InRange(trail, 0x60, 0x9A)) {
    kind = toDBAlph;
    while (DoubleAt(p, 0x82, 0x60, 0x9A)) p += 2;
  } else if (lead == 0x82 && InRange(trail, 0x9F, 0xF1)) {
    kind = toDBHira;
    while (DoubleAt(p, 0x82, 0x9F, 0xF1) || KanaExtenderAt(p)) p += 2;
  } else if (lead == 0x83 && InRange(trail, 0x40, 0x96)) {
    kind = toDBKana;
    while (DoubleAt(p, 0x83, 0x40, 0x96) || KanaExtenderAt(p)) p += 2;
  } else if (lead == 0x83 && InRange(trail, 0x9F, 0xF0)) {
    while (DoubleAt(p, 0x83, 0x9F, 0xF0)) p += 2;  // Greek
  } else if (InRange(lead, 0x84, 0x87)) {
    p = SkipDoubleLeads(p, 0x84, 0x87);  // Cyrillic, box drawing, circled numbers
  } else if (lead >= 0x88) {
    kind = toDBKanji;
    p = SkipDoubleLeads(p, 0x88, 0xFC);  // only lead bytes pass CharLen == 2
  }
  pos_ = p;
  return kind;
}

// ---- colour entries ---------------------------------------------------------

bool IsReservableToken(TEditorTokenKind kind) {
  switch (kind) {
    case toSymbol: case toAnk: case toDBSymbol: case toDBInt: case toDBAlph: case toDBHira:
    case toDBKana: case toDBKanji: case toKanaSymbol: case toKana: case toUrl: case toMail:
      return true;
    default:
      return false;
  }
}

TColorEntry TokenColorEntry(TEditorTokenKind kind, bool reserved) {
  if (reserved && IsReservableToken(kind)) return ceReserve;
  switch (kind) {
    case toSymbol: return ceSymbol;
    case toString: return ceStr;
    case toInteger: case toFloat: return ceInt;
    case toBracket: return ceBracket;
    case toComment: return ceComment;
    case toAnk: return ceAnk;
    case toUrl: return ceUrl;
    case toMail: return ceMail;
    default: return IsReservableToken(kind) ? ceDBCS : ceText;
  }
}

TColorEntry TokenColorEntry(const TEditorParser& parser, const TReserveWordList* words) {
  TEditorTokenKind kind = parser.Token();
  bool reserved = words && IsReservableToken(kind) && words->Contains(parser.TokenString());
  return TokenColorEntry(kind, reserved);
}

}  // namespace yk
