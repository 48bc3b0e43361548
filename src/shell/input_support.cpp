// Hint texts of input support.
#include "shell/input_support.h"

#include "shell/settings_lists.h"

namespace yk {

TSupportHint HoverSupport(const TDictionaryGrid& grid, std::string_view word, bool isReservedWord,
                          TSupportState& state) {
  const int row = isReservedWord ? grid.FindRow(word) : -1;
  if (row < 0) return {};
  state = {};
  std::string status;
  for (int c = 1; c < grid.ColCount(); ++c) {
    const std::string_view cell = grid.Cell(c, row);
    if (cell.empty()) continue;
    if (state.Valid) state.Text.append("\r\n");
    state.Text.append(cell);
    state.Texts.emplace_back(cell);
    state.Valid = true;
    state.Row = row;
    status.append(" ").append(cell);
  }
  TSupportHint hint;
  hint.Shown = true;
  hint.HintText = std::string(word) + " : \r\n" + state.Text;
  hint.StatusText = std::string(word) + " :" + status;
  return hint;
}

std::vector<std::string> SupportListEntries(const TSupportState& state) {
  return state.Valid ? state.Texts : std::vector<std::string>();
}

std::vector<std::string> LoadWordList(const std::string& settingsPath) {
  return LoadSettingsList(settingsPath, kDicListPlace);
}

void StoreWordList(const std::string& settingsPath, const std::vector<std::string>& words) {
  StoreSettingsList(settingsPath, kDicListPlace, words);
}

}  // namespace yk
