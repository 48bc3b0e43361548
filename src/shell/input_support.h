// Input support: the hint texts for a word found in the dictionary, the
// remembered texts the support commands insert or copy, and the shared
// word list.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "shell/dictionary.h"

namespace yk {

// The texts of the last dictionary entry that had any (SupportText,
// SupportRow, SupportValid).
struct TSupportState {
  std::string Text;                // the entry's texts joined by CR LF
  std::vector<std::string> Texts;  // the same texts one by one
  int Row = 0;                     // the entry's row in the grid it was found in
  bool Valid = false;
};

// What the window shows for the word under the mouse.
struct TSupportHint {
  bool Shown = false;      // the editor's hint display
  std::string HintText;    // tool tip: word + " : " + CR LF + the texts
  std::string StatusText;  // status panel 3: word + " :" + " text" per text
};

// The hint for word (a token's text; isReservedWord: it is in the editor's
// reserved words). A reserved word with a dictionary row shows that row's
// texts and becomes the remembered entry; anything else shows nothing and
// keeps the remembered entry. Texts are the row's non-empty cells after the
// first, joined by CR LF without an empty line for a skipped cell.
TSupportHint HoverSupport(const TDictionaryGrid& grid, std::string_view word, bool isReservedWord,
                          TSupportState& state);

// The texts of the remembered entry, for the word list; empty when no
// entry with texts was found yet. They are the texts the hint showed, also
// after another style's dictionary replaced the grid.
std::vector<std::string> SupportListEntries(const TSupportState& state);

// The word list shared by all windows (DicList in the settings file).
std::vector<std::string> LoadWordList(const std::string& settingsPath);
void StoreWordList(const std::string& settingsPath, const std::vector<std::string>& words);

}  // namespace yk
