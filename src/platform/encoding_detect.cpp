// Which encoding a file's bytes are in: a byte-order mark, else the
// candidates followed through the text until a byte rules each out.
#include "platform/encoding_parts.h"
#include "platform/unicode.h"

namespace yk {

namespace codec {

std::size_t FindNonAscii(std::string_view s) {
  std::size_t i = 0;
  for (; i + 8 <= s.size(); i += 8)
    if (Load8(s.data() + i) & kHighBits) break;
  for (; i < s.size(); ++i)
    if (Byte(s, i) >= 0x80) return i;
  return std::string_view::npos;
}

std::optional<TTextEncoding> ByMark(std::string_view data) {
  if (StartsWith(data, kUtf8Bom)) return teUtf8;
  if (StartsWith(data, kUtf16LeBom)) return teUtf16Le;
  if (StartsWith(data, kUtf16BeBom)) return teUtf16Be;
  return std::nullopt;
}

namespace {

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
    if (b < 0x80 || cp932::IsHalfWidthKana(b)) continue;
    if (!cp932::IsLeadByte(b) || i + 1 == s.size() || !cp932::IsTrailByte(Byte(s, i + 1))) return false;
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
    } else if (b == 0x8E && left >= 2 && cp932::IsHalfWidthKana(Byte(s, i + 1))) {
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

// Where a piece may be cut for every encoding at once: after its last
// control character or space other than ESC. No multi-byte character of
// UTF-8, CP932, EUC-JP or ISO-2022-JP holds such a byte, and every mode of
// ISO-2022-JP reads it alone. 0: nowhere.
std::size_t SafeCut(std::string_view piece) {
  for (std::size_t i = piece.size(); i > 0; --i)
    if (Byte(piece, i - 1) <= 0x20 && Byte(piece, i - 1) != kEsc) return i;
  return 0;
}

}  // namespace

TTextEncoding EucJpOrCp932(std::string_view data, std::size_t first) {
  EucScan euc;
  ScanEucJp(data, first, euc);
  return euc.valid && (euc.Plausible() || !ValidCp932(data, first)) ? teEucJp : teCp932;
}

}  // namespace codec

using namespace codec;

// Each candidate is followed until a byte rules it out.
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

TTextEncoding DetectEncoding(std::string_view data) {
  TEncodingDetector detector;
  detector.Feed(data, true);
  return detector.Result();
}

}  // namespace yk
