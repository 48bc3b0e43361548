// The version history: snapshot file names, the header check, the list of
// snapshots of a window and their deletion at exit.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
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

// Makes the snapshot file path, empty and private (mode 0600), unless a
// file of that name exists: then the first free name of "name(2).ext",
// "name(3).ext" and so on. Made with exclusive create, so two windows
// never write one file. Returns the name made; EFileError when none can be.
std::string CreateSnapshotFile(const std::string& path);

// A file as its writer left it: another file at the same name since (a
// snapshot of another window, made after this one was removed) is not it.
struct TVersionFileId {
  std::uint64_t device = 0;
  std::uint64_t inode = 0;
  bool operator==(const TVersionFileId&) const = default;
};
// The file at path now; nullopt when there is none.
std::optional<TVersionFileId> VersionFileIdOf(const std::string& path);

// The snapshots a window made, newest first; not stored anywhere.
class TVersionList {
 public:
  enum TAddResult { varAdded, varFull };
  // A full list refuses (the snapshot file stays on disk unlisted);
  // otherwise the path moves or goes to the top. written: the file as the
  // window wrote it, so that only that file is ever deleted.
  TAddResult Add(const std::string& path, std::optional<TVersionFileId> written = std::nullopt);
  const std::vector<std::string>& Items() const { return items_; }
  int Count() const { return static_cast<int>(items_.size()); }
  // Whether the file at path is a snapshot this window wrote and listed,
  // unchanged since: a later snapshot of the same name may replace it.
  bool Wrote(const std::string& path) const;
  // Deletes the listed files from the last to the first and empties the
  // list. Only files are removed, and only as they were written; a path
  // that is missing, now a folder, another file or cannot be removed is
  // skipped. Returns the number of files removed.
  int DeleteFiles();

 private:
  std::vector<std::string> items_;
  std::vector<std::pair<std::string, TVersionFileId>> written_;
};

}  // namespace yk
