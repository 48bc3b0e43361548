// The date format language on a fixed clock and a Japanese locale.
#include "shell/date_format.h"

#include <gtest/gtest.h>

namespace yk {
namespace {

// Friday 9 March 2007, 14:05:30.
const TDateTime kFriday{2007, 3, 9, 14, 5, 30};

std::string Fmt(std::string_view format, const TDateTime& t = kFriday) {
  return FormatDateTime(format, t, JapaneseDateLocale());
}

TEST(DateFormat, Specifiers) {
  struct Case {
    std::string_view format;
    std::string_view text;
  };
  const Case cases[] = {
      {"yy_m_d-h_n_(aaa)", "07_3_9-14_5_(\x8b\xe0)"},  // 07_3_9-14_5_(金)
      {"YY_M_D-H_N_(AAA)", "07_3_9-14_5_(\x8b\xe0)"},  // letter case does not matter
      {"yyyy/mm/dd", "2007/03/09"},
      {"y yyy", "07 2007"},
      {"aaaa", "\x8b\xe0\x97\x6a\x93\xfa"},            // 金曜日
      {"ddd dddd", "\x8b\xe0 \x8b\xe0\x97\x6a\x93\xfa"},
      {"mmm", "3\x8c\x8e"},                            // 3月
      {"hh:mm:ss", "14:05:30"},                        // m after h is minutes
      {"h\x8e\x9em\x95\xaa", "14\x8e\x9e" "5\x95\xaa"},  // 14時5分: kanji between h and m
      {"h d m", "14 9 3"},                             // another letter in between: month
      {"hhh nnn sss", "14 05 30"},
      {"t", "14:05"},
      {"tt", "14:05:30"},
      {"t yy/m/d", "14:05 07/3/9"},                    // the standard format
      {"c", "2007/03/09 14:05:30"},
      {"ddddd", "2007/03/09"},
      {"dddddd", "2007\x94\x4e" "3\x8c\x8e" "9\x93\xfa"},  // 2007年3月9日
      {"\"yy\"'mm'yy", "yymm07"},
      {"\"open yy", "open yy"},
      {"a aa x!", "a aa x!"},
      {"h:nn ampm", "2:05 \x8c\xdf\x8c\xe3"},           // 2:05 午後
      {"hh \"ampm\"", "14 ampm"},
  };
  for (const Case& c : cases) EXPECT_EQ(Fmt(c.format), c.text) << c.format;
}

TEST(DateFormat, TrailBytesAreNoSpecifiers) {
  // ニ is 0x83 0x6A and ピ is 0x83 0x73: neither trail byte is read as a letter.
  EXPECT_EQ(Fmt("\x83\x6a\x83\x73"), "\x83\x6a\x83\x73");
  EXPECT_EQ(Fmt("\"\x83\x5c\"d"), "\x83\x5c" "9");  // ソ inside quotes
}

TEST(DateFormat, LocaleSeparatorsAndNames) {
  TDateLocale l;
  l.DateSeparator = "-";
  l.TimeSeparator = ".";
  l.ShortDayNames[5] = "Fri";
  l.ShortTimeFormat = "hh:nn";
  EXPECT_EQ(FormatDateTime("yyyy/mm/dd ddd t", kFriday, l), "2007-03-09 Fri 14.05");
}

TEST(DateFormat, SelfNamingLocaleFormatsStop) {
  TDateLocale l;
  l.ShortTimeFormat = "t";
  l.LongTimeFormat = "c tt";
  l.ShortDateFormat = "ddddd";
  EXPECT_LT(FormatDateTime("t c tt", kFriday, l).size(), 200u);
}

TEST(DateFormat, VersionHeaderAndWeekdays) {
  // 2007年03月09日_14時05分30秒_
  EXPECT_EQ(VersionHeaderTimeStamp(kFriday),
            "2007\x94\x4e" "03\x8c\x8e" "09\x93\xfa_14\x8e\x9e" "05\x95\xaa" "30\x95\x62_");
  EXPECT_EQ(VersionHeaderTimeStamp({2010, 12, 31, 0, 0, 0}).substr(0, 4), "2010");
  const struct {
    TDateTime t;
    int weekday;
  } days[] = {{{1970, 1, 1}, 4}, {{2000, 2, 29}, 2}, {{2007, 3, 9}, 5}, {{2024, 1, 7}, 0}, {{1899, 12, 31}, 0}};
  for (const auto& d : days) EXPECT_EQ(DayOfWeek(d.t), d.weekday) << d.t.Year;
  EXPECT_EQ(Fmt("d", {2023, 1, 1}) + Fmt("mm", {2023, 1, 1}), "101");
}

TEST(DateFormat, ToolkitPatterns) {
  struct Case {
    std::string_view pattern;
    std::string_view format;
  };
  const Case cases[] = {
      {"yyyy/MM/dd", "yyyy/mm/dd"},
      {"H:mm", "h:nn"},
      {"H:mm:ss t", "h:nn:ss"},
      {"h:mm AP", "h:nn ampm"},
      {"dddd, MMMM d, yyyy", "dddd, mmmm d, yyyy"},
      {"d 'de' MMMM", "d \"de\" mmmm"},
      {"hh 'o''clock'", "hh \"o'clock\""},
      {"HH.mm.ss.zzz", "hh.nn.ss."},
      {"yyyy\x94\x4eM\x8c\x8e" "d\x93\xfa", "yyyy\x94\x4em\x8c\x8e" "d\x93\xfa"},  // yyyy年M月d日
  };
  for (const Case& c : cases) EXPECT_EQ(DateFormatFromToolkitPattern(c.pattern), c.format) << c.pattern;
  // Converted patterns give the same text as the locale would.
  EXPECT_EQ(Fmt(DateFormatFromToolkitPattern("d 'de' MMMM 'h'")), "9 de 3\x8c\x8e h");
}

}  // namespace
}  // namespace yk
