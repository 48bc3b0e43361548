// The line-jump dialog and the reading of its number.
#include "app/jump_dlg.h"

#include <algorithm>
#include <climits>

namespace yk {

namespace {

// ASCII for the full-width digits and signs an input method produces.
QChar Narrow(QChar c) {
  const char16_t u = c.unicode();
  if (u >= u'\uFF10' && u <= u'\uFF19') return QChar(u'0' + (u - u'\uFF10'));
  if (u == u'\uFF0B') return QChar(u'+');
  if (u == u'\uFF0D' || u == u'\u2212') return QChar(u'-');
  return c;
}

}  // namespace

std::optional<int> ParseLineNumber(const QString& text) {
  const QString s = text.trimmed();
  qsizetype i = 0;
  bool negative = false;
  if (i < s.size() && (Narrow(s[i]) == u'+' || Narrow(s[i]) == u'-')) negative = Narrow(s[i++]) == u'-';
  if (i == s.size()) return std::nullopt;
  long long value = 0;
  for (; i < s.size(); ++i) {
    const QChar c = Narrow(s[i]);
    if (c < u'0' || c > u'9') return std::nullopt;
    value = std::min<long long>(value * 10 + (c.unicode() - u'0'), static_cast<long long>(INT_MAX) + 1);
  }
  if (negative) return static_cast<int>(std::max(-value, static_cast<long long>(INT_MIN)));
  return static_cast<int>(std::min(value, static_cast<long long>(INT_MAX)));
}

TJumpDlg::TJumpDlg(QWidget* parent)
    : TFieldDlg(parent, QString::fromUtf8("ジャンプ"), QString::fromUtf8("ジャンプしたい行番号を入力してください。")) {
  setObjectName(QStringLiteral("JumpDlg"));
}

}  // namespace yk
