// The version history: snapshot file names, the header check, the list of
// snapshots of a window and their deletion at exit.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace yk {

inline constexpr int kMaxVersionFiles = 100;
// 履歴リストに追加できません[最大100ファイル]
inline constexpr std::string_view kVersionListFullMessage =
    "\x97\x9a\x97\xf0\x83\x8a\x83\x58\x83\x67\x82\xc9\x92\xc7\x89\xc1\x82\xc5\x82\xab\x82\xdc\x82\xb9\x82\xf1"
    "[\x8d\xc5\x91\xe5" "100\x83\x74\x83\x40\x83\x43\x83\x8b]";

// When the snapshots of a window are deleted at exit.
enum THistoryDeleteMode { hdmFollowSetting = 1, hdmDelete = 2, hdmKeep = 3 };
// The two exit commands do what their captions say: "版管理ファイルを削除して
// 終了" deletes, "版管理ファイルを削除しないで終了" keeps, so a user who asked
// to keep the snapshots never loses them.
inline constexpr THistoryDeleteMode kModeOfDeleteAndExit = hdmDelete;
inline constexpr THistoryDeleteMode kModeOfKeepAndExit = hdmKeep;

// True when the snapshots go at exit: mode 2, or mode 1 with DeleteHistory
// on. Any other mode keeps them.
bool ShouldDeleteVersionFiles(int mode, bool deleteHistory);

// Why a header the user typed cannot start a snapshot name (a CP932 message
// for a box), or nullopt when it can. An empty header would give the
// document's own name; "/" would leave the folder; ".", ".." and control
// bytes (NUL, line breaks) make names nobody can handle; "\" is refused too.
std::optional<std::string> VersionHeaderError(std::string_view header);

// Snapshots are kept in "versions" beside the settings file, since the
// program's own folder is usually not writable.
std::string VersionFolder(const std::string& settingsPath);

// folder + header + the name part of fileName (kUntitledName for an
// untitled document). The header is never cut at a dot: "v1.2_" with the
// document "README" gives "v1.2_README".
std::string SnapshotFileName(const std::string& folder, std::string_view header, std::string_view fileName);

// Checks the header (Exception with VersionHeaderError's text), creates the
// version folder when it is missing (mode 0700: snapshots are the user's
// text) and returns the snapshot's path. EFileError when the folder cannot
// be made.
std::string PrepareSnapshotPath(const std::string& settingsPath, std::string_view header, std::string_view fileName);

// The snapshots a window made, newest first; not stored anywhere.
class TVersionList {
 public:
  enum TAddResult { varAdded, varFull };
  // A full list refuses (the snapshot file stays on disk unlisted);
  // otherwise the path moves or goes to the top.
  TAddResult Add(const std::string& path);
  const std::vector<std::string>& Items() const { return items_; }
  int Count() const { return static_cast<int>(items_.size()); }
  // Deletes the listed files from the last to the first and empties the
  // list. Only files are removed; a path that is missing, now a folder or
  // cannot be removed is skipped. Returns the number of files removed.
  int DeleteFiles();

 private:
  std::vector<std::string> items_;
};

}  // namespace yk
