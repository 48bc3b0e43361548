// Loading Qt's Japanese translation.
#include "app/toolkit_texts.h"

#include <QCoreApplication>
#include <QLibraryInfo>

namespace yk {

QString ToolkitTranslationsFolder() { return QLibraryInfo::path(QLibraryInfo::TranslationsPath); }

std::unique_ptr<QTranslator> InstallToolkitTranslation() {
  auto translator = std::make_unique<QTranslator>();
  // Not the user's locale: the window around the dialogs is Japanese in
  // every locale, so the dialogs are too.
  if (!translator->load(QStringLiteral("qtbase_ja"), ToolkitTranslationsFolder())) return nullptr;
  if (!QCoreApplication::installTranslator(translator.get())) return nullptr;
  return translator;
}

}  // namespace yk
