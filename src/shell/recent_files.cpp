// Recent files and favourites: list operations and their locked edits.
#include "shell/recent_files.h"

#include <algorithm>
#include <charconv>

namespace yk {

namespace {

template <typename Int>
bool ParseDecimal(std::string_view s, Int& out) {
  if (s.empty()) return false;
  const auto [end, ec] = std::from_chars(s.data(), s.data() + s.size(), out);
  return ec == std::errc() && end == s.data() + s.size();
}

template <typename T>
void EraseAt(std::vector<T>& v, std::size_t i) {
  if (i < v.size()) v.erase(v.begin() + static_cast<std::ptrdiff_t>(i));
}

}  // namespace

std::int64_t RecentCaretOf(std::string_view entry) {
  std::int64_t n = 0;
  return ParseDecimal(entry, n) && n > 0 ? n : 0;
}

int RecentStyleOf(std::string_view entry) {
  int n = -1;
  return ParseDecimal(entry, n) && n >= -1 && n <= 9 ? n : -1;
}

void MatchParallelLists(TRecentLists& lists) {
  lists.Lines.resize(lists.Files.size(), "0");
  lists.Styles.resize(lists.Files.size(), "-1");
}

namespace {

// Takes path's entries out of the lists; what they held.
TRecentHit TakeOut(TRecentLists& lists, const std::string& path) {
  MatchParallelLists(lists);
  TRecentHit hit;
  auto it = std::find(lists.Files.begin(), lists.Files.end(), path);
  if (it != lists.Files.end()) {
    const auto i = static_cast<std::size_t>(it - lists.Files.begin());
    hit = {true, RecentCaretOf(lists.Lines[i]), RecentStyleOf(lists.Styles[i])};
    EraseAt(lists.Files, i);
    EraseAt(lists.Lines, i);
    EraseAt(lists.Styles, i);
  }
  return hit;
}

void PutOnTop(TRecentLists& lists, const std::string& path, std::int64_t caret, int style) {
  lists.Files.insert(lists.Files.begin(), path);
  lists.Lines.insert(lists.Lines.begin(), std::to_string(std::max<std::int64_t>(caret, 0)));
  lists.Styles.insert(lists.Styles.begin(), std::to_string(style));
  // A list made longer by hand is cut back too, not only by one.
  if (lists.Files.size() > kMaxRecentFiles) lists.Files.resize(kMaxRecentFiles);
  MatchParallelLists(lists);
}

}  // namespace

TRecentHit RegisterRecent(TRecentLists& lists, const std::string& path, int styleIfNew) {
  const TRecentHit hit = TakeOut(lists, path);
  PutOnTop(lists, path, hit.Caret, hit.Style >= 0 ? hit.Style : styleIfNew);
  return hit;
}

void RegisterRecentAs(TRecentLists& lists, const std::string& path, std::int64_t caret, int style) {
  TakeOut(lists, path);
  PutOnTop(lists, path, caret, style);
}

bool StoreRecentPosition(TRecentLists& lists, const std::string& fileName, std::int64_t caret, int styleIndex) {
  MatchParallelLists(lists);
  auto it = std::find(lists.Files.begin(), lists.Files.end(), fileName);
  if (it == lists.Files.end()) return false;
  const auto i = static_cast<std::size_t>(it - lists.Files.begin());
  lists.Lines[i] = std::to_string(std::max<std::int64_t>(caret, 0));
  lists.Styles[i] = std::to_string(styleIndex);
  return true;
}

void AddFavorite(std::vector<std::string>& favorites, const std::string& path) {
  auto it = std::find(favorites.begin(), favorites.end(), path);
  if (it != favorites.end()) favorites.erase(it);
  favorites.insert(favorites.begin(), path);
  if (favorites.size() > kMaxFavorites) favorites.resize(kMaxFavorites);
}

TRecentLists ReadRecentLists(const TIniText& text) {
  TRecentLists lists{ReadIniList(text, kRecentFilesPlace), ReadIniList(text, kRecentLinesPlace),
                     ReadIniList(text, kRecentStylesPlace)};
  MatchParallelLists(lists);
  return lists;
}

bool WriteRecentLists(TIniText& text, const TRecentLists& lists) {
  bool changed = WriteIniList(text, kRecentFilesPlace, lists.Files);
  changed = WriteIniList(text, kRecentLinesPlace, lists.Lines) || changed;
  return WriteIniList(text, kRecentStylesPlace, lists.Styles) || changed;
}

TRecentLists LoadRecentLists(const std::string& settingsPath) { return ReadRecentLists(LoadSettingsIni(settingsPath)); }

std::vector<std::string> LoadFavorites(const std::string& settingsPath) {
  return LoadSettingsList(settingsPath, kFavoritesPlace);
}

TRecentHit RegisterRecentInSettings(const std::string& settingsPath, const std::string& path, int styleIfNew,
                                    TRecentLists* after) {
  TRecentHit hit;
  EditSettingsIni(settingsPath, [&](TIniText& text) {
    TRecentLists lists = ReadRecentLists(text);
    hit = RegisterRecent(lists, path, styleIfNew);
    if (after) *after = lists;
    return WriteRecentLists(text, lists);
  });
  return hit;
}

void RegisterRecentAsInSettings(const std::string& settingsPath, const std::string& path, std::int64_t caret,
                                int style, TRecentLists* after) {
  EditSettingsIni(settingsPath, [&](TIniText& text) {
    TRecentLists lists = ReadRecentLists(text);
    RegisterRecentAs(lists, path, caret, style);
    if (after) *after = lists;
    return WriteRecentLists(text, lists);
  });
}

bool StoreRecentPositionInSettings(const std::string& settingsPath, const std::string& fileName, std::int64_t caret,
                                   int styleIndex, TRecentLists* after) {
  bool stored = false;
  EditSettingsIni(settingsPath, [&](TIniText& text) {
    TRecentLists lists = ReadRecentLists(text);
    stored = StoreRecentPosition(lists, fileName, caret, styleIndex);
    if (after) *after = lists;
    return stored && WriteRecentLists(text, lists);
  });
  return stored;
}

void ClearRecentInSettings(const std::string& settingsPath) {
  EditSettingsIni(settingsPath, [](TIniText& text) { return WriteRecentLists(text, {}); });
}

void AddFavoriteInSettings(const std::string& settingsPath, const std::string& path, std::vector<std::string>* after) {
  EditSettingsIni(settingsPath, [&](TIniText& text) {
    std::vector<std::string> favorites = ReadIniList(text, kFavoritesPlace);
    AddFavorite(favorites, path);
    if (after) *after = favorites;
    return WriteIniList(text, kFavoritesPlace, favorites);
  });
}

void ClearFavoritesInSettings(const std::string& settingsPath) { StoreSettingsList(settingsPath, kFavoritesPlace, {}); }

}  // namespace yk
