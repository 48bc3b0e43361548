// The date format language's locale part (weekday and month names, date
// and time formats, separators) taken from a Qt locale.
#pragma once

#include <QLocale>

#include "shell/date_format.h"

namespace yk {

// Names and formats of locale as CP932 text; the formats are turned into
// the format language. A separator the locale's short pattern does not
// show stays "/" or ":".
TDateLocale DateLocaleFrom(const QLocale& locale);

}  // namespace yk
