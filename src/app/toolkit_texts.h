// Qt's own texts (standard buttons, the file, print and font dialogs) in
// Japanese whatever the locale, since the program's own texts are Japanese.
#pragma once

#include <QString>
#include <QTranslator>

#include <memory>

namespace yk {

// The system's Qt translations folder, where qtbase_ja.qm is looked for.
QString ToolkitTranslationsFolder();

// Loads Qt's Japanese translation (qtbase_ja) from that folder and installs
// it into the running application; it stays installed while the returned
// translator lives. Null when the translation is not there (the toolkit's
// texts then stay English; nothing else changes).
std::unique_ptr<QTranslator> InstallToolkitTranslation();

}  // namespace yk
