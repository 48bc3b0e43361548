// Reading a file's text in its encoding, a piece at a time or whole, and
// writing CP932 text back in one: each encoding's codec does the work.
// Also line-end styles.
#include "platform/text_encoding.h"

#include <array>
#include <optional>

#include "platform/encoding_parts.h"
#include "platform/mapped_chars.h"
#include "platform/unicode.h"
#include "text/line_end.h"

namespace yk {

using namespace codec;

namespace {

bool IsUnicode(TTextEncoding e) { return e == teUtf8 || e == teUtf16Le || e == teUtf16Be; }

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

TDecodedText DecodeWhole(std::string_view data, TTextEncoding encoding, bool strict) {
  TTextDecoder decoder(encoding, strict);
  std::string bytes;
  decoder.Feed(data, true, bytes);
  TDecodedText d = decoder.Finish();
  d.bytes = std::move(bytes);
  return d;
}

}  // namespace

// The bytes as they are, but a mapped code (a character CP932 cannot hold)
// becomes "?".
TEncodedText codec::EncodeCp932(std::string_view s, const TMappedChars* chars) {
  TEncodedText e;
  if (!chars || chars->Count() == 0) {
    e.bytes.assign(s);
    return e;
  }
  e.bytes.reserve(s.size());
  std::size_t from = 0;
  for (std::size_t i = 0; i < s.size();) {
    const Cp932Char c = Cp932At(s, i);
    if (c.pair && chars->IsMapped(c.code)) {
      e.bytes.append(s.substr(from, i - from)).push_back('?');
      ++e.unrepresentable;
      from = i + 2;
    }
    i += c.pair ? 2 : 1;
  }
  e.bytes.append(s.substr(from));
  return e;
}

// ---------------------------------------------------------------------------
// Decoding a piece at a time.

struct TTextDecoder::TState {
  TTextEncoding encoding;
  bool strict;
  bool started = false;
  TTextFormat format;
  std::shared_ptr<TMappedChars> chars;
  Loss loss;
  std::string jis;  // ISO-2022-JP is read whole
  bool jisExact = true;

  void FinishJis(std::string& out) {
    TDecodedText d = DecodeJis(jis, chars.get());
    out += d.bytes;
    format = d.format;
    loss = {d.unmapped, d.invalid};
    // Files that switch sets in other places than a writer would come
    // back with the same text in other bytes.
    jisExact = EncodeText(d.bytes, d.format, chars.get()).bytes == jis;
    std::string().swap(jis);
  }
};

TTextDecoder::TTextDecoder(TTextEncoding encoding, bool strict, std::shared_ptr<TMappedChars> chars)
    : s_(std::make_unique<TState>()) {
  s_->encoding = encoding;
  s_->strict = strict;
  s_->format.encoding = encoding;
  if (encoding != teCp932) s_->chars = chars ? std::move(chars) : std::make_shared<TMappedChars>(IsUnicode(encoding));
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
      Cp932Out o(out, s.loss, p.size(), s.chars.get());
      return mark + EucJpPiece(p, last, o);
    }
    case teUtf8: {
      Cp932Out o(out, s.loss, p.size(), s.chars.get());
      return mark + Utf8Piece(p, last, s.strict, o);
    }
    case teUtf16Le:
    case teUtf16Be: {
      Cp932Out o(out, s.loss, p.size(), s.chars.get());
      return mark + Utf16Piece(p, last, s.encoding == teUtf16Le, o);
    }
  }
  return piece.size();
}

TDecodedText TTextDecoder::Finish() {
  TState& s = *s_;
  TDecodedText d;
  d.format = s.format;
  d.chars = s.chars;
  d.unmapped = s.loss.unmapped;
  d.invalid = s.loss.invalid;
  d.exact = d.Lost() == 0 && s.jisExact;
  return d;
}

// ---------------------------------------------------------------------------
// The whole text at once.

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

TEncodedText EncodeText(std::string_view cp932, const TTextFormat& format, const TMappedChars* chars) {
  switch (format.encoding) {
    case teUtf8: return EncodeUtf8(cp932, format, chars);
    case teUtf16Le:
    case teUtf16Be: return EncodeUtf16(cp932, format, chars);
    case teEucJp: return EncodeEucJp(cp932, chars);
    case teJis: return EncodeJis(cp932, format, chars);
    case teCp932: break;
  }
  return EncodeCp932(cp932, chars);
}

int CountUnwritable(std::string_view s, TTextEncoding encoding, const TMappedChars& chars) {
  if (chars.Count() == 0 || IsUnicode(encoding)) return 0;
  int count = 0;
  for (std::size_t i = 0; i < s.size();) {
    const Cp932Char c = Cp932At(s, i);
    i += c.pair ? 2 : 1;
    if (c.pair && chars.IsMapped(c.code)) count += encoding == teCp932 || Jis0212Code(c, &chars) == 0;
  }
  return count;
}

// ---------------------------------------------------------------------------
// Line ends.

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
