// The Japanese UI font of the program's dialogs.
#include "controls/ui_font.h"

#include <QApplication>
#include <QFontDatabase>
#include <QStringList>

namespace yk {

QFont JapaneseUiFont() {
  static const QStringList kFamilies = {
      QStringLiteral("IPAPGothic"), QStringLiteral("Noto Sans CJK JP"), QStringLiteral("IPAexGothic"),
      QStringLiteral("TakaoPGothic"), QStringLiteral("VL PGothic"), QStringLiteral("IPAGothic")};
  QFont font = QApplication::font();
  const QStringList installed = QFontDatabase::families();
  for (const QString& family : kFamilies) {
    if (installed.contains(family)) {
      font.setFamilies({family});
      break;
    }
  }
  return font;
}

}  // namespace yk
