// Date and time formatting with the format language of the date command,
// the version-history time stamps and the settings dialog's test button.
#pragma once

#include <array>
#include <ctime>
#include <string>
#include <string_view>

namespace yk {

// A local date and time, broken down; the clock is read by the caller so
// that tests can fix it.
struct TDateTime {
  int Year = 2000;
  int Month = 1;   // 1..12
  int Day = 1;     // 1..31
  int Hour = 0;    // 0..23
  int Minute = 0;
  int Second = 0;
  friend bool operator==(const TDateTime&, const TDateTime&) = default;
};

// The local time of a clock value.
TDateTime LocalDateTime(std::time_t t);
TDateTime LocalNow();
// 0 for Sunday .. 6 for Saturday (proleptic Gregorian calendar).
int DayOfWeek(const TDateTime& t);

// What the format language takes from the user's locale, all CP932 text.
// The formats are written in the format language itself.
struct TDateLocale {
  std::array<std::string, 7> ShortDayNames;  // Sunday first
  std::array<std::string, 7> LongDayNames;
  std::array<std::string, 12> ShortMonthNames;  // January first
  std::array<std::string, 12> LongMonthNames;
  std::string ShortDateFormat = "yyyy/mm/dd";
  std::string LongDateFormat = "yyyy/mm/dd";
  std::string ShortTimeFormat = "h:nn";
  std::string LongTimeFormat = "h:nn:ss";
  std::string DateSeparator = "/";
  std::string TimeSeparator = ":";
  std::string TimeAMString = "AM";
  std::string TimePMString = "PM";
};

// The names and formats of a Japanese system (金, 金曜日, 3月, yyyy/mm/dd, h:nn:ss).
TDateLocale JapaneseDateLocale();

// Formats t. Specifiers, in either letter case:
//   yy yyyy        year with two or four digits
//   m mm           month without / with a leading zero; minutes when the
//                  last letter before it was an h (as in hh:mm)
//   mmm mmmm       short / long month name
//   d dd           day without / with a leading zero
//   ddd dddd       short / long weekday name (also aaa aaaa)
//   ddddd dddddd   short / long date format
//   h hh           hour 0-23 (1-12 when an ampm follows), n nn minutes,
//                  s ss seconds, without / with a leading zero
//   t tt           short / long time format
//   c              short date format, a blank, long time format
//   ampm           the locale's AM or PM text
//   / :            the locale's date and time separators
//   "..." '...'    taken literally (an unclosed quote runs to the end)
// Every other character is copied; two-byte characters are copied whole,
// so their trail bytes are never read as specifiers.
std::string FormatDateTime(std::string_view format, const TDateTime& t, const TDateLocale& locale);

// The format of the date command when the user has chosen none.
inline constexpr std::string_view kStandardDateTimeFormat = "t yy/m/d";
// The default user format.
inline constexpr std::string_view kDefaultDayTimeFormat = "yy_m_d-h_n_(aaa)";
// yyyy"年"mm"月"dd"日_"hh"時"nn"分"ss"秒_": the header of a version file name.
inline constexpr std::string_view kVersionHeaderFormat =
    "yyyy\"\x94\x4e\"mm\"\x8c\x8e\"dd\"\x93\xfa_\"hh\"\x8e\x9e\"nn\"\x95\xaa\"ss\"\x95\x62_\"";

// The version-file header for t, e.g. 2007年03月09日_14時05分30秒_.
std::string VersionHeaderTimeStamp(const TDateTime& t);

// A date or time pattern of the widget toolkit's locale (d M y H h m s z
// AP t, 'quoted' text; CP932 bytes) in the format language above, so the
// locale's formats can fill TDateLocale. Milliseconds and time zones have no
// specifier and are dropped.
std::string DateFormatFromToolkitPattern(std::string_view pattern);

}  // namespace yk
