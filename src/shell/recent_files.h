// The recent-file list with its parallel caret and style lists, and the
// favourites: the list operations, and their locked read-modify-write on the
// settings file that every window of the user shares.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "props/ini_text.h"
#include "shell/settings_lists.h"

namespace yk {

inline constexpr int kMaxRecentFiles = 20;
inline constexpr int kMaxFavorites = 20;

// The recent files, most recent first, with entry i of Lines (caret offset,
// decimal) and Styles (style index, decimal, "-1" for none) belonging to
// file i.
struct TRecentLists {
  std::vector<std::string> Files;
  std::vector<std::string> Lines;
  std::vector<std::string> Styles;
  friend bool operator==(const TRecentLists&, const TRecentLists&) = default;
};

// A caret entry that is not a decimal number, or is negative, reads as 0; a
// style entry that is not -1 to 9 reads as -1. A bad entry never stops a
// file from opening.
std::int64_t RecentCaretOf(std::string_view entry);
int RecentStyleOf(std::string_view entry);

// Pads Lines with "0" and Styles with "-1", or trims them, to the length of
// Files, so every file has its entries and no entry outlives its file.
void MatchParallelLists(TRecentLists& lists);

// What registering a file found out about it.
struct TRecentHit {
  bool Found = false;
  std::int64_t Caret = 0;  // the stored offset; the caller clamps it to the text
  int Style = -1;          // the stored style, -1: choose by extension
};

// An opened file: moves path to the top, keeping its stored caret and
// style (a file new to the list, or one without a style, gets styleIfNew:
// the style it will be shown in); keeps at most 20 files. The caller
// selects the style first (a style change re-wraps) and then puts the
// caret at the offset.
TRecentHit RegisterRecent(TRecentLists& lists, const std::string& path, int styleIfNew);
// A document saved under path: path goes to the top with the caret and
// style the document has, whatever the list held for that name.
void RegisterRecentAs(TRecentLists& lists, const std::string& path, std::int64_t caret, int style);
// Records the caret and style of fileName when it is listed; false if not.
bool StoreRecentPosition(TRecentLists& lists, const std::string& fileName, std::int64_t caret, int styleIndex);
// Moves or puts path at the top, keeping at most 20.
void AddFavorite(std::vector<std::string>& favorites, const std::string& path);

// The lists in an INI text, matched to the file list; and written back.
TRecentLists ReadRecentLists(const TIniText& text);
bool WriteRecentLists(TIniText& text, const TRecentLists& lists);

// --- on the settings file ---------------------------------------------------
// Each change reads the lists under the settings file's lock and writes them
// in the same locked step, so windows registering files at the same moment
// lose nothing. A file that cannot be written raises EFileError and stays as
// it was. The lists after the change are stored in *after when given.

// The lists as stored (empty when the file is missing or unreadable).
TRecentLists LoadRecentLists(const std::string& settingsPath);
std::vector<std::string> LoadFavorites(const std::string& settingsPath);

TRecentHit RegisterRecentInSettings(const std::string& settingsPath, const std::string& path, int styleIfNew,
                                    TRecentLists* after = nullptr);
void RegisterRecentAsInSettings(const std::string& settingsPath, const std::string& path, std::int64_t caret,
                                int style, TRecentLists* after = nullptr);
bool StoreRecentPositionInSettings(const std::string& settingsPath, const std::string& fileName, std::int64_t caret,
                                   int styleIndex, TRecentLists* after = nullptr);
void ClearRecentInSettings(const std::string& settingsPath);
void AddFavoriteInSettings(const std::string& settingsPath, const std::string& path,
                           std::vector<std::string>* after = nullptr);
void ClearFavoritesInSettings(const std::string& settingsPath);

}  // namespace yk
