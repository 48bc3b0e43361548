// The format language's locale part from a Qt locale.
#include "app/date_locale.h"

#include "qt/qt_graphics.h"

namespace yk {

namespace {

std::string Bytes(const QString& text) { return FromQString(text).bytes; }

std::string Pattern(const QString& toolkitPattern) { return DateFormatFromToolkitPattern(Bytes(toolkitPattern)); }

// The first punctuation between the fields of a pattern ("yyyy/MM/dd"
// gives "/"); blanks and quoted text do not count.
std::string SeparatorOf(const QString& pattern, const char* fallback) {
  bool quoted = false;
  for (const QChar c : pattern) {
    if (c == QLatin1Char('\'')) quoted = !quoted;
    if (quoted || c.isLetterOrNumber() || c.isSpace() || c == QLatin1Char('\'')) continue;
    return Bytes(QString(c));
  }
  return fallback;
}

}  // namespace

TDateLocale DateLocaleFrom(const QLocale& locale) {
  TDateLocale l;
  for (int i = 0; i < 7; ++i) {
    const int qtDay = i == 0 ? 7 : i;  // Qt counts from Monday (1) to Sunday (7)
    l.ShortDayNames[static_cast<std::size_t>(i)] = Bytes(locale.dayName(qtDay, QLocale::ShortFormat));
    l.LongDayNames[static_cast<std::size_t>(i)] = Bytes(locale.dayName(qtDay, QLocale::LongFormat));
  }
  for (int i = 0; i < 12; ++i) {
    l.ShortMonthNames[static_cast<std::size_t>(i)] = Bytes(locale.monthName(i + 1, QLocale::ShortFormat));
    l.LongMonthNames[static_cast<std::size_t>(i)] = Bytes(locale.monthName(i + 1, QLocale::LongFormat));
  }
  const QString shortDate = locale.dateFormat(QLocale::ShortFormat);
  const QString shortTime = locale.timeFormat(QLocale::ShortFormat);
  l.ShortDateFormat = Pattern(shortDate);
  l.LongDateFormat = Pattern(locale.dateFormat(QLocale::LongFormat));
  l.ShortTimeFormat = Pattern(shortTime);
  l.LongTimeFormat = Pattern(locale.timeFormat(QLocale::LongFormat));
  l.DateSeparator = SeparatorOf(shortDate, "/");
  l.TimeSeparator = SeparatorOf(shortTime, ":");
  l.TimeAMString = Bytes(locale.amText());
  l.TimePMString = Bytes(locale.pmText());
  return l;
}

}  // namespace yk
