// The font of the program's own dialogs and lists: the desktop's Japanese UI
// font, so that kana and kanji in captions never fall back glyph by glyph.
#pragma once

#include <QFont>

namespace yk {

// A proportional Japanese sans-serif at the desktop's usual size; the
// default application font when no Japanese family is installed.
QFont JapaneseUiFont();

}  // namespace yk
