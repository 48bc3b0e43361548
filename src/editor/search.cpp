// The text search routine: candidates on character boundaries, compared in
// place with the case, width and whole-word rules of the flag word.
#include "editor/search.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <optional>
#include <string>

#include "convert/zenhan.h"
#include "text/cp932.h"

namespace yk {
namespace {

constexpr std::size_t kNone = static_cast<std::size_t>(-1);
// A match that may go on past the end of a piece with more text after it.
constexpr std::size_t kMore = static_cast<std::size_t>(-2);

// Bytes that end a word for sfWholeWord. Unlike the editor's word jumps,
// "_" separates words here. Bytes are classified one at a time, so a
// trail byte counts by its own value.
constexpr std::array<bool, 256> MakeDelimiters() {
  std::array<bool, 256> d{};
  auto mark = [&d](int from, int to) {
    for (int b = from; b <= to; ++b) d[b] = true;
  };
  mark(0x00, 0x2F);
  mark(0x3A, 0x40);
  mark(0x5B, 0x60);
  mark(0x7B, 0x80);
  mark(0xA0, 0xA5);
  mark(0xFD, 0xFF);
  return d;
}
constexpr std::array<bool, 256> kDelimiters = MakeDelimiters();

bool IsDelimiter(char c) { return kDelimiters[static_cast<unsigned char>(c)]; }

// Single bytes in upper case: in code page 932 only a to z have capitals.
// The folding is the one reserved words and settings names use too.
constexpr std::array<char, 256> MakeUpper() {
  std::array<char, 256> u{};
  for (int b = 0; b < 256; ++b) u[b] = static_cast<char>(cp932::FoldSingle(static_cast<unsigned char>(b)));
  return u;
}
constexpr std::array<char, 256> kUpper = MakeUpper();

// ａ-ｚ become Ａ-Ｚ; c holds two bytes.
void FoldWideLetter(char* c) {
  c[1] = static_cast<char>(cp932::FoldTrail(static_cast<unsigned char>(c[0]), static_cast<unsigned char>(c[1])));
}

// Upper case by character, so that a trail byte is never taken for a letter
// (ッ is 0x83 0x62, whose trail is "b").
std::string UpperCase(std::string_view s) {
  std::string out(s);
  for (std::size_t i = 0; i < out.size(); i += cp932::CharLength(out, i)) {
    if (cp932::CharLength(out, i) == 2) {
      FoldWideLetter(&out[i]);
    } else {
      out[i] = kUpper[static_cast<unsigned char>(out[i])];
    }
  }
  return out;
}

// Steps through character starts towards the start of the text. It carries
// the lead-byte run before its position down with it, so a whole backward
// scan reads each byte a bounded number of times, however the lead bytes
// pile up.
class TBackwardWalker {
 public:
  // Starts at the character that holds offset from (from <= s.size()).
  TBackwardWalker(std::string_view s, std::size_t from)
      : s_(s), pos_(from), run_(cp932::LeadRunBefore(s, from)) {
    if (run_ % 2 == 1 && pos_ < s_.size()) {
      --pos_;
      --run_;
    }
  }

  std::size_t Pos() const { return pos_; }

  // Moves to the previous character start; false at the start of the text.
  bool Prev() {
    if (pos_ == 0) return false;
    if (run_ % 2 == 1) {  // only at the end: a lone lead byte is one character
      --pos_;
      --run_;
    } else if (run_ >= 2) {
      pos_ -= 2;
      run_ -= 2;
    } else {
      const std::size_t r = cp932::LeadRunBefore(s_, pos_ - 1);
      pos_ -= (r % 2 == 1) ? 2 : 1;
      run_ = (r % 2 == 1) ? r - 1 : r;
    }
    return true;
  }

  // As Prev, but a half-width letter and the voiced mark it joins with are
  // one character, as the width-blind comparison counts them.
  bool PrevJoined() {
    if (!Prev()) return false;
    if (pos_ == 0) return true;
    const std::size_t before = pos_ - 1;
    if (cp932::IsLeadByte(s_[before]) || ZenkakuCharAt(s_, before).Consumed != 2) return true;
    TBackwardWalker letter = *this;
    if (letter.Prev() && letter.pos_ == before) *this = letter;  // not a trail byte
    return true;
  }

 private:
  std::string_view s_;
  std::size_t pos_;
  std::size_t run_;  // lead-byte values directly before pos_
};

// The pattern as compared (upper case and full width as the options ask)
// and the comparison of one text position against it.
class TMatcher {
 public:
  TMatcher(std::string_view text, std::string_view pattern, TSearchOptions options)
      : text_(text),
        match_case_(options & sfMatchCase),
        zenkaku_(options & sfNoMatchZenkaku),
        whole_word_(options & sfWholeWord),
        skip_line_breaks_(options & sfSkipLineBreaks),
        skip_blanks_(options & sfSkipBlanks) {
    pattern_ = match_case_ ? std::string(pattern) : UpperCase(pattern);
    if (zenkaku_) pattern_ = HankakuToZenkaku(pattern_);
    for (std::size_t i = 0; i < pattern_.size(); i += cp932::CharLength(pattern_, i)) ++chars_;
    BuildFirstFilter();
  }

  // The text searched from now on; openEnd: more text follows it, so a
  // comparison that reaches its end is undecided.
  void SetText(std::string_view text, bool openEnd) {
    text_ = text;
    open_end_ = openEnd;
  }

  // Characters in the pattern as compared.
  std::size_t PatternChars() const { return chars_; }
  bool WidthBlind() const { return zenkaku_; }

  // The fewest text bytes a match can cover: every text character matches a
  // pattern character of its own size, except that with width-blind
  // comparison a single byte can match a full-width character.
  std::size_t MinMatchBytes() const { return zenkaku_ ? chars_ : pattern_.size(); }

  // Cheap test of a character start before the full comparison.
  bool MayStartAt(std::size_t q) const {
    if (!first_[static_cast<unsigned char>(text_[q])]) return false;
    if (cp932::CharLength(text_, q) == 2 && !second_[static_cast<unsigned char>(text_[q + 1])])
      return false;
    return !whole_word_ || (!IsDelimiter(text_[q]) && (q == 0 || IsDelimiter(text_[q - 1])));
  }

  // The first offset from k to last whose byte may start a match, or kNone.
  // Most searches have one such byte value and memchr finds it.
  std::size_t NextFirstByte(std::size_t k, std::size_t last) const {
    if (only_first_ >= 0) {
      const void* hit = std::memchr(text_.data() + k, only_first_, last + 1 - k);
      return hit != nullptr ? static_cast<std::size_t>(static_cast<const char*>(hit) - text_.data()) : kNone;
    }
    while (k <= last && !first_[static_cast<unsigned char>(text_[k])]) ++k;
    return k <= last ? k : kNone;
  }

  // End of the match that starts at the character start q, kNone, or
  // kMore when the text ends before the comparison is decided.
  std::size_t MatchEnd(std::size_t q) const {
    std::size_t i = 0;
    std::size_t j = q;
    while (i < pattern_.size()) {
      // A character, or a half-width letter with its mark, may take the
      // byte after j, which an open piece may not hold yet.
      if (open_end_ && j + 1 >= text_.size()) return kMore;
      if (j >= text_.size()) return kNone;
      if (const std::size_t used = MatchChar(text_, j, i)) {
        j += used;
        i += cp932::CharLength(pattern_, i);
        continue;
      }
      const std::size_t skip = i > 0 ? SkipAt(j) : 0;  // never before the first character
      if (skip == 0) return kNone;
      j += skip;
    }
    if (whole_word_ && j < text_.size() && !IsDelimiter(text_[j])) return kNone;
    if (whole_word_ && open_end_ && j >= text_.size()) return kMore;
    return j;
  }

 private:
  // Compares the text character at j with the pattern character at i and
  // returns the number of text bytes it covers, or 0 on a mismatch.
  std::size_t MatchChar(std::string_view text, std::size_t j, std::size_t i) const {
    char c[2] = {text[j], 0};
    std::size_t size = cp932::CharLength(text, j);
    std::size_t used = size;
    if (zenkaku_) {
      const TZenkakuChar wide = ZenkakuCharAt(text, j);
      c[0] = wide.Bytes[0];
      c[1] = wide.Bytes[1];
      size = wide.Size;
      used = wide.Consumed;
    } else if (size == 2) {
      c[1] = text[j + 1];
    } else if (!match_case_) {
      c[0] = kUpper[static_cast<unsigned char>(c[0])];
    }
    if (size == 2 && !match_case_) FoldWideLetter(c);
    if (cp932::CharLength(pattern_, i) != size || c[0] != pattern_[i]) return 0;
    return (size == 1 || c[1] == pattern_[i + 1]) ? used : 0;
  }

  // Bytes at j that a match may pass over: line breaks and blanks.
  std::size_t SkipAt(std::size_t j) const {
    const char c = text_[j];
    if (skip_line_breaks_ && (c == '\r' || c == '\n')) return 1;
    if (!skip_blanks_) return 0;
    if (c == '\t' || c == ' ') return 1;
    const bool wide_space = cp932::CharLength(text_, j) == 2 &&
                            static_cast<unsigned char>(c) == 0x81 && text_[j + 1] == 0x40;
    return wide_space ? 2 : 0;  // 　
  }

  // first_[b]: a text character starting with byte b may match the first
  // pattern character. A lead byte must equal it (case and width folds keep
  // the lead byte); a single byte is tried alone and before either mark.
  // second_ then tells the trail bytes that complete a two-byte match.
  void BuildFirstFilter() {
    for (int b = 0; b < 256; ++b) {
      const char c = static_cast<char>(b);
      if (cp932::IsLeadByte(c)) {
        first_[b] = c == pattern_[0];
        continue;
      }
      for (const char mark : {'\0', '\xde', '\xdf'}) {
        const char probe[2] = {c, mark};
        if (MatchChar(std::string_view(probe, mark != '\0' ? 2 : 1), 0, 0) != 0) first_[b] = true;
      }
    }
    for (int b = 0; b < 256; ++b) {
      if (!first_[b]) continue;
      only_first_ = only_first_ == -1 ? b : -2;
    }
    if (!cp932::IsLeadByte(pattern_[0])) return;
    for (int t = 0; t < 256; ++t) {
      const char probe[2] = {pattern_[0], static_cast<char>(t)};
      second_[t] = MatchChar(std::string_view(probe, 2), 0, 0) != 0;
    }
  }

  std::string_view text_;
  std::string pattern_;
  std::size_t chars_ = 0;
  bool match_case_;
  bool zenkaku_;
  bool whole_word_;
  bool skip_line_breaks_;
  bool skip_blanks_;
  std::array<bool, 256> first_{};
  std::array<bool, 256> second_{};  // trail bytes after a lead byte that passes first_
  int only_first_ = -1;  // the one byte value in first_, or negative
  bool open_end_ = false;
};

// The outcome of scanning one piece: a match, none, or a candidate at
// Start that needs text beyond the piece (kMore).
struct TScan {
  enum TKind { kFound, kNotFound, kUndecided } kind = kNotFound;
  std::size_t start = 0;
  std::size_t end = 0;
};

TScan Found(std::size_t start, std::size_t end) { return {TScan::kFound, start, end}; }
TScan Undecided(std::size_t at) { return {TScan::kUndecided, at, at}; }

// Tries the candidates from the character holding from towards the end.
// With more text after the piece (open), every byte is a candidate start
// and the first one the piece cannot decide ends the scan.
TScan ScanForward(const TMatcher& m, std::string_view text, std::size_t from, bool open) {
  if (open && from >= text.size()) return Undecided(from);
  if (!open && m.MinMatchBytes() > text.size()) return {};
  const std::size_t last = open ? text.size() - 1 : text.size() - m.MinMatchBytes();
  std::size_t q = cp932::IsTrailAt(text, from) ? from + 1 : from;  // always a character start
  while (q <= last) {
    const std::size_t k = m.NextFirstByte(q, last);
    if (k == kNone) break;
    // q is a character start, so the lead-byte run before k need not be
    // followed past it; each byte is looked at once more at most.
    std::size_t run = 0;
    while (k - run > q && cp932::IsLeadByte(text[k - 1 - run])) ++run;
    if (run % 2 == 1) {  // k is a trail byte
      q = k + 1;
      continue;
    }
    if (m.MayStartAt(k)) {
      const std::size_t end = m.MatchEnd(k);
      if (end == kMore) return Undecided(k);
      if (end != kNone) return Found(k, end);
    }
    q = k + cp932::CharLength(text, k);
  }
  return open ? Undecided(text.size()) : TScan{};
}

// The latest start backward: the pattern's length before the selection, or,
// comparing width-blind, as many text characters before it as the pattern has.
std::optional<TBackwardWalker> BackwardLimit(const TMatcher& m, std::string_view text,
                                             std::size_t start) {
  if (!m.WidthBlind()) {
    if (start < m.MinMatchBytes()) return std::nullopt;
    return TBackwardWalker(text, start - m.MinMatchBytes());
  }
  TBackwardWalker w(text, cp932::IsTrailAt(text, start) ? start + 1 : start);
  for (std::size_t k = 0; k < m.PatternChars(); ++k) {
    if (!w.PrevJoined()) return std::nullopt;
  }
  return w;
}

// Tries the candidates from w's position towards the start of the piece.
TScan ScanBackward(const TMatcher& m, TBackwardWalker w) {
  do {
    const std::size_t q = w.Pos();
    if (!m.MayStartAt(q)) continue;
    const std::size_t end = m.MatchEnd(q);
    if (end == kMore) return Undecided(q);
    if (end != kNone) return Found(q, end);
  } while (w.Prev());
  return {};
}

std::size_t ClampTo(std::int64_t v, std::size_t hi) {
  if (v <= 0) return 0;
  return static_cast<std::uint64_t>(v) >= hi ? hi : static_cast<std::size_t>(v);
}

// --- searching a document read in pieces -----------------------------------

// The first piece covers this much around the selection; each further piece
// doubles it, up to the largest piece worth joining at once.
constexpr std::int64_t kFirstPiece = 256;
constexpr std::int64_t kLargestPiece = std::int64_t{1} << 20;

// Reads pieces for one search and keeps offsets in the source's terms.
class TPieceReader {
 public:
  TPieceReader(TSearchSource& source, TMatcher& matcher) : source_(source), matcher_(matcher) {}

  const TMatcher& Matcher() const { return matcher_; }

  // Reads the lines holding [from, to) and hands them to the matcher.
  const TSearchPiece& Read(std::int64_t from, std::int64_t to) {
    piece_ = source_.Piece(from, to);
    matcher_.SetText(piece_.text, !piece_.atEnd);
    return piece_;
  }
  const TSearchPiece& Piece() const { return piece_; }
  // Whether offset lies in the document, its end included.
  bool Inside(std::int64_t offset) {
    Read(offset, offset);
    return !(piece_.atStart && offset < piece_.base) && !(piece_.atEnd && offset > End());
  }
  std::int64_t End() const { return piece_.base + static_cast<std::int64_t>(piece_.text.size()); }
  // An offset of the source as an index into the piece, clamped into it.
  std::size_t Local(std::int64_t offset) const { return ClampTo(offset - piece_.base, piece_.text.size()); }
  TSearchRange Range(const TScan& s) const {
    return {piece_.base + static_cast<std::int64_t>(s.start), static_cast<std::int64_t>(s.end - s.start)};
  }

 private:
  TSearchSource& source_;
  TMatcher& matcher_;
  TSearchPiece piece_;
};

// A size for the next piece: larger, and at least twice what the last piece
// held past `from`, so an undecided candidate always gets more text.
std::int64_t Grow(std::int64_t size, std::int64_t held) {
  return std::min(std::max(size, held) * 2, std::max(kLargestPiece, held * 2));
}

std::optional<TSearchRange> SearchPiecesForward(TPieceReader& reader, std::int64_t from) {
  std::int64_t size = kFirstPiece;
  for (;;) {
    const TSearchPiece& piece = reader.Read(from, from + size);
    const std::size_t local = reader.Local(from);
    const TScan s = ScanForward(reader.Matcher(), piece.text, local, !piece.atEnd);
    if (s.kind == TScan::kFound) return reader.Range(s);
    if (s.kind == TScan::kNotFound) return std::nullopt;
    const std::int64_t resume = piece.base + static_cast<std::int64_t>(s.start);
    size = Grow(size, resume > from ? 0 : reader.End() - from);
    from = std::max(from, resume);
  }
}
// The latest candidate before start, read with as much text before it as
// the pattern needs.
std::optional<TBackwardWalker> FirstBackwardCandidate(TPieceReader& reader, std::int64_t start) {
  std::int64_t before = kFirstPiece;
  for (;;) {
    const TSearchPiece& piece = reader.Read(start - before, start + kFirstPiece);
    std::optional<TBackwardWalker> w = BackwardLimit(reader.Matcher(), piece.text, reader.Local(start));
    if (w || piece.atStart) return w;
    before *= 2;  // a long pattern may need more than the largest piece
  }
}

// Candidates go towards the start of the document; one that needs text
// after the piece is tried again in a piece that reaches further, and when
// a piece is used up the scan goes on in the lines before it. A line start
// follows CR LF, so the byte before a piece always starts a character.
std::optional<TSearchRange> SearchPiecesBackward(TPieceReader& reader, std::int64_t start) {
  std::optional<TBackwardWalker> w = FirstBackwardCandidate(reader, start);
  if (!w) return std::nullopt;
  std::int64_t before = kFirstPiece;
  std::int64_t after = kFirstPiece;
  for (;;) {
    const TScan s = ScanBackward(reader.Matcher(), *w);
    const TSearchPiece& piece = reader.Piece();
    if (s.kind == TScan::kFound) return reader.Range(s);
    std::int64_t candidate = 0;
    if (s.kind == TScan::kUndecided) {
      candidate = piece.base + static_cast<std::int64_t>(s.start);
      after = Grow(after, reader.End() - candidate);
    } else {
      if (piece.atStart) return std::nullopt;
      candidate = piece.base - 1;
      before = Grow(before, 0);
    }
    const TSearchPiece& next = reader.Read(candidate - before, candidate + after);
    w.emplace(next.text, reader.Local(candidate));
  }
}

}  // namespace

bool SearchText(TSearchSource& source, TSearchRange& range, std::string_view pattern,
                TSearchOptions options) {
  if (pattern.empty() || range.Length < 0) return false;
  std::int64_t end = 0;
  if (__builtin_add_overflow(range.Start, range.Length, &end)) return false;
  TMatcher matcher({}, pattern, options);
  TPieceReader reader(source, matcher);
  // The rule of the joined text: a selection that starts outside the
  // document, or forward ends outside it, finds nothing.
  if (!reader.Inside(range.Start) || ((options & sfForward) && !reader.Inside(end))) return false;
  const std::optional<TSearchRange> found =
      (options & sfForward) ? SearchPiecesForward(reader, end) : SearchPiecesBackward(reader, range.Start);
  if (!found) return false;
  range = *found;
  return true;
}

bool SearchText(std::string_view text, TSearchRange& range, std::string_view pattern,
                TSearchOptions options) {
  if (text.empty() || pattern.empty()) return false;
  // A selection that starts outside the text is no place to search from;
  // forward, its end must lie inside the text too.
  const auto size = static_cast<std::int64_t>(text.size());
  if (range.Start < 0 || range.Start > size || range.Length < 0) return false;
  if ((options & sfForward) && range.Length > size - range.Start) return false;
  const auto start = static_cast<std::size_t>(range.Start);
  const auto length = static_cast<std::size_t>(std::min(range.Length, size - range.Start));
  const TMatcher matcher(text, pattern, options);
  TScan s;
  if (options & sfForward) {
    s = ScanForward(matcher, text, start + length, false);
  } else if (const std::optional<TBackwardWalker> w = BackwardLimit(matcher, text, start)) {
    s = ScanBackward(matcher, *w);
  }
  if (s.kind != TScan::kFound) return false;
  range = {static_cast<std::int64_t>(s.start), static_cast<std::int64_t>(s.end - s.start)};
  return true;
}

}  // namespace yk
