// The date format language: a scanner over the format that appends the
// parts of a broken-down time.
#include "shell/date_format.h"

#include <algorithm>
#include <cctype>

#include "text/cp932.h"

namespace yk {

TDateTime LocalDateTime(std::time_t t) {
  std::tm tm{};
  localtime_r(&t, &tm);
  return {tm.tm_year + 1900, tm.tm_mon + 1, tm.tm_mday, tm.tm_hour, tm.tm_min, tm.tm_sec};
}

TDateTime LocalNow() { return LocalDateTime(std::time(nullptr)); }

int DayOfWeek(const TDateTime& t) {
  // Days since 1970-01-01 by the civil-from-days inverse; that day was a Thursday.
  const long long y = t.Year - (t.Month <= 2 ? 1 : 0);
  const long long era = (y >= 0 ? y : y - 399) / 400;
  const long long yoe = y - era * 400;
  const long long mp = (t.Month + 9) % 12;
  const long long doy = (153 * mp + 2) / 5 + t.Day - 1;
  const long long doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
  const long long days = era * 146097 + doe - 719468;
  return static_cast<int>(((days % 7) + 7 + 4) % 7);
}

TDateLocale JapaneseDateLocale() {
  TDateLocale l;
  // 日 月 火 水 木 金 土
  const char* days[7] = {"\x93\xfa", "\x8c\x8e", "\x89\xce", "\x90\x85", "\x96\xd8", "\x8b\xe0", "\x93\x79"};
  for (int i = 0; i < 7; ++i) {
    l.ShortDayNames[i] = days[i];
    l.LongDayNames[i] = std::string(days[i]) + "\x97\x6a\x93\xfa";  // 曜日
  }
  for (int i = 0; i < 12; ++i) {
    l.ShortMonthNames[i] = std::to_string(i + 1) + "\x8c\x8e";  // 月
    l.LongMonthNames[i] = l.ShortMonthNames[i];
  }
  l.LongDateFormat = "yyyy\"\x94\x4e\"m\"\x8c\x8e\"d\"\x93\xfa\"";  // yyyy年m月d日
  l.TimeAMString = "\x8c\xdf\x91\x4f";                              // 午前
  l.TimePMString = "\x8c\xdf\x8c\xe3";                              // 午後
  return l;
}

namespace {

// Formats such as t and c expand to locale formats, which could name
// themselves; deeper nesting than this expands to nothing.
constexpr int kMaxNesting = 3;

bool StartsWithNoCase(std::string_view s, std::size_t i, std::string_view word) {
  if (s.size() - i < word.size()) return false;
  for (std::size_t k = 0; k < word.size(); ++k)
    if (std::tolower(static_cast<unsigned char>(s[i + k])) != word[k]) return false;
  return true;
}

class TDateFormatter {
 public:
  TDateFormatter(const TDateTime& t, const TDateLocale& l, std::string& out, int depth)
      : t_(t), l_(l), out_(out), depth_(depth) {}

  void Run(std::string_view f) {
    if (depth_ > kMaxNesting) return;
    f_ = f;
    for (i_ = 0; i_ < f_.size();) Step();
  }

 private:
  void Step();
  void Letter(char upper, std::size_t count);
  void Number(int n, std::size_t digits);
  void Nested(std::string_view format) { TDateFormatter(t_, l_, out_, depth_ + 1).Run(format); }
  void Quoted(char quote);
  bool TwelveHourClock() const;

  const TDateTime& t_;
  const TDateLocale& l_;
  std::string& out_;
  int depth_;
  std::string_view f_;
  std::size_t i_ = 0;
  char last_ = 0;  // the last letter specifier, upper case
};

void TDateFormatter::Number(int n, std::size_t digits) {
  std::string s = std::to_string(n < 0 ? -n : n);
  if (s.size() < digits) s.insert(0, digits - s.size(), '0');
  out_.append(s);
}

void TDateFormatter::Quoted(char quote) {
  std::size_t p = i_ + 1;
  while (p < f_.size() && f_[p] != quote) p += cp932::CharLength(f_, p);
  out_.append(f_.substr(i_ + 1, std::min(p, f_.size()) - i_ - 1));
  i_ = std::min(p + 1, f_.size());
}

// An h is a 12-hour clock when an ampm follows it before the next h,
// outside quotes.
bool TDateFormatter::TwelveHourClock() const {
  char quote = 0;
  for (std::size_t p = i_; p < f_.size(); p += cp932::CharLength(f_, p)) {
    const char c = f_[p];
    if (quote) {
      if (c == quote) quote = 0;
    } else if (c == '"' || c == '\'') {
      quote = c;
    } else if (c == 'h' || c == 'H') {
      return false;
    } else if (StartsWithNoCase(f_, p, "ampm")) {
      return true;
    }
  }
  return false;
}

void TDateFormatter::Step() {
  const char c = f_[i_];
  if (cp932::CharLength(f_, i_) == 2) {
    out_.append(f_.substr(i_, 2));
    i_ += 2;
    return;
  }
  if (c == '"' || c == '\'') return Quoted(c);
  if (c == '/' || c == ':') {
    out_.append(c == '/' ? l_.DateSeparator : l_.TimeSeparator);
    ++i_;
    return;
  }
  if (!std::isalpha(static_cast<unsigned char>(c))) {
    out_.push_back(c);
    ++i_;
    return;
  }
  char upper = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  std::size_t count = 1;
  while (i_ + count < f_.size() && std::toupper(static_cast<unsigned char>(f_[i_ + count])) == upper) ++count;
  if (upper == 'M' && last_ == 'H') upper = 'N';
  last_ = upper;
  Letter(upper, count);
}

void TDateFormatter::Letter(char upper, std::size_t count) {
  const std::size_t start = i_;
  i_ += count;
  const std::size_t two = std::min<std::size_t>(count, 2);
  switch (upper) {
    case 'Y': return count <= 2 ? Number(t_.Year % 100, 2) : Number(t_.Year, 4);
    case 'M':
      if (count <= 2) return Number(t_.Month, count);
      out_.append((count == 3 ? l_.ShortMonthNames : l_.LongMonthNames)[std::clamp(t_.Month, 1, 12) - 1]);
      return;
    case 'D':
      if (count <= 2) return Number(t_.Day, count);
      if (count <= 4) {
        out_.append((count == 3 ? l_.ShortDayNames : l_.LongDayNames)[DayOfWeek(t_)]);
        return;
      }
      return Nested(count == 5 ? l_.ShortDateFormat : l_.LongDateFormat);
    case 'H': {
      int h = t_.Hour;
      if (TwelveHourClock()) h = h % 12 == 0 ? 12 : h % 12;
      return Number(h, two);
    }
    case 'N': return Number(t_.Minute, two);
    case 'S': return Number(t_.Second, two);
    case 'T': return Nested(count == 1 ? l_.ShortTimeFormat : l_.LongTimeFormat);
    case 'C':
      Nested(l_.ShortDateFormat);
      out_.push_back(' ');
      return Nested(l_.LongTimeFormat);
    case 'A':
      i_ = start;
      if (StartsWithNoCase(f_, i_, "ampm")) {
        out_.append(t_.Hour < 12 ? l_.TimeAMString : l_.TimePMString);
        i_ += 4;
      } else if (count >= 3) {
        out_.append((count == 3 ? l_.ShortDayNames : l_.LongDayNames)[DayOfWeek(t_)]);
        i_ += std::min<std::size_t>(count, 4);
      } else {
        out_.push_back(f_[i_++]);
      }
      return;
    default:
      out_.append(f_.substr(start, count));
      return;
  }
}

}  // namespace

std::string FormatDateTime(std::string_view format, const TDateTime& t, const TDateLocale& locale) {
  std::string out;
  TDateFormatter(t, locale, out, 0).Run(format);
  return out;
}

std::string VersionHeaderTimeStamp(const TDateTime& t) {
  return FormatDateTime(kVersionHeaderFormat, t, TDateLocale());
}

namespace {

// Appends text so that the format language copies it as it stands.
void AppendLiteral(std::string& out, std::string_view text) {
  if (text.empty()) return;
  const char quote = text.find('"') == std::string_view::npos ? '"' : '\'';
  if (quote == '\'' && text.find('\'') != std::string_view::npos) {
    // Both quote characters: each part in the quote it does not hold.
    const std::size_t cut = text.find('"');
    AppendLiteral(out, text.substr(0, cut));
    out.append("'\"'");
    return AppendLiteral(out, text.substr(cut + 1));
  }
  out.push_back(quote);
  out.append(text);
  out.push_back(quote);
}

// The toolkit's 'quoted' text from i (at the opening quote), '' standing
// for one quote; i ends after the closing quote.
std::string ToolkitQuoted(std::string_view p, std::size_t& i) {
  std::string text;
  ++i;
  while (i < p.size()) {
    if (p[i] == '\'') {
      if (i + 1 < p.size() && p[i + 1] == '\'') {
        text.push_back('\'');
        i += 2;
        continue;
      }
      ++i;
      break;
    }
    const std::size_t n = cp932::CharLength(p, i);
    text.append(p.substr(i, n));
    i += n;
  }
  return text;
}

// One run of a toolkit pattern letter in the format language.
std::string ToolkitField(char letter, std::size_t count) {
  auto run = [](char c, std::size_t n) { return std::string(n, c); };
  switch (letter) {
    case 'd': return run('d', std::min<std::size_t>(count, 4));
    case 'M': return run('m', std::min<std::size_t>(count, 4));
    case 'y': return count >= 3 ? "yyyy" : "yy";
    case 'h':
    case 'H': return run('h', std::min<std::size_t>(count, 2));
    case 'm': return run('n', std::min<std::size_t>(count, 2));
    case 's': return run('s', std::min<std::size_t>(count, 2));
    default: return {};  // z milliseconds, t time zone: no specifier
  }
}

}  // namespace

std::string DateFormatFromToolkitPattern(std::string_view p) {
  std::string out;
  for (std::size_t i = 0; i < p.size();) {
    const char c = p[i];
    const std::size_t n = cp932::CharLength(p, i);
    if (n == 2 || !std::isalpha(static_cast<unsigned char>(c))) {
      if (c == '\'') {
        AppendLiteral(out, ToolkitQuoted(p, i));
        continue;
      }
      if (c == '"') {
        out.append("'\"'");
      } else {
        out.append(p.substr(i, n));
      }
      i += n;
      continue;
    }
    std::size_t count = 1;
    while (i + count < p.size() && p[i + count] == c) ++count;
    if (c == 'a' || c == 'A') {
      out.append("ampm");
      i += count;
      if (i < p.size() && (p[i] == 'p' || p[i] == 'P')) ++i;
      continue;
    }
    if (std::string_view("dMyhHmszt").find(c) != std::string_view::npos) {
      out.append(ToolkitField(c, count));
    } else {
      AppendLiteral(out, p.substr(i, count));
    }
    i += count;
  }
  while (!out.empty() && out.back() == ' ') out.pop_back();
  return out;
}

}  // namespace yk
