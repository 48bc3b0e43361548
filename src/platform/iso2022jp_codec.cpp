// ISO-2022-JP documents: escape sequences that designate ASCII, JIS Roman,
// half-width katakana, JIS X 0208 or JIS X 0212. Read whole (such files are
// small), written with a designation only where the set changes.
#include "platform/encoding_parts.h"

namespace yk::codec {

std::pair<std::size_t, JisMode> JisEscape(std::string_view s, std::size_t i) {
  static constexpr struct {
    std::string_view bytes;
    JisMode mode;
  } kEscapes[] = {{"\x1B(B", jmAscii}, {"\x1B(J", jmRoman},  {"\x1B(I", jmKana},
                  {"\x1B$B", jmKanji}, {"\x1B$@", jmKanji}, {"\x1B$(D", jmJis0212}};
  for (const auto& e : kEscapes)
    if (s.substr(i, e.bytes.size()) == e.bytes) return {e.bytes.size(), e.mode};
  return {0, jmAscii};
}

namespace {

// Reads ISO-2022-JP from a set designated before (jmAscii at the start).
class JisReader {
 public:
  JisReader(std::string_view s, TTextFormat& format, Cp932Out& out, JisMode mode)
      : s_(s), format_(format), out_(out), mode_(mode) {}

  void Run() {
    for (std::size_t i = 0; i < s_.size();) {
      const unsigned char b = Byte(s_, i);
      if (b == kEsc) {
        i += Designate(i);
      } else if (b >= 0x80) {
        out_.Invalid();
        ++i;
      } else if (b < 0x21 || b == 0x7F || mode_ == jmAscii || mode_ == jmRoman) {
        out_.Byte(b);  // controls, line ends and spaces pass in any mode
        ++i;
      } else if (mode_ == jmKana) {
        b <= 0x5F ? out_.Byte(static_cast<unsigned char>(b + 0x80)) : out_.Invalid();
        ++i;
      } else if (i + 1 < s_.size() && IsJisByte(Byte(s_, i + 1))) {
        mode_ == jmKanji ? out_.Code(SjisOfJis(b, Byte(s_, i + 1))) : PutJis0212(out_, b, Byte(s_, i + 1));
        i += 2;
      } else {
        out_.Invalid();
        ++i;
      }
    }
  }
  JisMode Mode() const { return mode_; }

 private:
  // Takes the escape at i; the first choices of kanji and single-byte sets
  // are the ones written back.
  std::size_t Designate(std::size_t i) {
    const auto [length, mode] = JisEscape(s_, i);
    if (length == 0) {
      out_.Invalid();
      return 1;
    }
    if ((mode == jmAscii || mode == jmRoman) && !sawSingle_) {
      sawSingle_ = true;
      format_.jisRoman = mode == jmRoman;
    }
    if (mode == jmKanji && !sawKanji_) {
      sawKanji_ = true;
      format_.jisOldKanji = s_[i + 2] == '@';
    }
    mode_ = mode;
    return length;
  }

  std::string_view s_;
  TTextFormat& format_;
  Cp932Out& out_;
  JisMode mode_;
  bool sawSingle_ = false;
  bool sawKanji_ = false;
};

// Writes ISO-2022-JP the usual way: a designation only where the set
// changes, and back to the single-byte set before every line end and at
// the end of the text.
class JisWriter {
 public:
  JisWriter(const TTextFormat& format, const TMappedChars* chars) : format_(format), chars_(chars) {}

  TEncodedText Run(std::string_view s) {
    e_.bytes.reserve(s.size() + s.size() / 4);
    for (std::size_t i = 0; i < s.size();) {
      const Cp932Char c = Cp932At(s, i);
      i += c.pair ? 2 : 1;
      Put(c);
    }
    Single();
    return std::move(e_);
  }

 private:
  void Put(Cp932Char c) {
    if (!c.pair && c.code < 0x80 && c.code != kEsc) {
      if (c.code == '\r' || c.code == '\n' || (mode_ != jmAscii && mode_ != jmRoman)) Single();
      e_.bytes += static_cast<char>(c.code);
    } else if (!c.pair && cp932::IsHalfWidthKana(static_cast<unsigned char>(c.code))) {
      Switch(jmKana);
      e_.bytes += static_cast<char>(c.code - 0x80);
    } else if (c.pair && InJis0208Range(c.code >> 8)) {
      Switch(jmKanji);
      PutPair(JisOfSjis(c.code));
    } else if (const std::uint16_t jis = Jis0212Code(c, chars_)) {
      Switch(jmJis0212);
      PutPair(jis);
    } else {
      Single();
      e_.bytes += '?';
      ++e_.unrepresentable;
    }
  }
  void PutPair(std::uint16_t jis) {
    e_.bytes += static_cast<char>(jis >> 8);
    e_.bytes += static_cast<char>(jis & 0xFF);
  }
  void Single() {
    if (mode_ != jmAscii && mode_ != jmRoman) Switch(format_.jisRoman ? jmRoman : jmAscii);
  }
  void Switch(JisMode mode) {
    if (mode == mode_) return;
    static constexpr std::string_view kDesignation[] = {"\x1B(B", "\x1B(J", "\x1B(I", "\x1B$B", "\x1B$(D"};
    e_.bytes += mode == jmKanji && format_.jisOldKanji ? "\x1B$@" : kDesignation[mode];
    mode_ = mode;
  }

  const TTextFormat& format_;
  const TMappedChars* chars_;
  TEncodedText e_;
  JisMode mode_ = jmAscii;
};

}  // namespace

TDecodedText DecodeJis(std::string_view s, TMappedChars* chars) {
  TDecodedText d;
  d.format.encoding = teJis;
  Loss loss;
  {
    Cp932Out out(d.bytes, loss, s.size(), chars);
    JisReader(s, d.format, out, jmAscii).Run();
  }
  d.unmapped = loss.unmapped;
  d.invalid = loss.invalid;
  return d;
}

bool JisValid(std::string_view s, JisMode& mode) {
  std::string scratch;
  Loss loss;
  TTextFormat format;
  TMappedChars chars;  // a scratch table: only the validity counts
  Cp932Out out(scratch, loss, s.size(), &chars);
  JisReader reader(s, format, out, mode);
  reader.Run();
  mode = reader.Mode();
  return loss.invalid == 0;
}

TEncodedText EncodeJis(std::string_view s, const TTextFormat& format, const TMappedChars* chars) {
  return JisWriter(format, chars).Run(s);
}

}  // namespace yk::codec
