// Recovery snapshots on disk: the unsaved edits of a window, written while
// it runs and kept when it ends without asking (a crash, the end of the
// session, a signal), so that the next open of the document offers them.
// Their names, their private folder, writing one atomically, and claiming
// one whose window is gone.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace yk {

// Every recovery snapshot's name starts so; version files never do, since
// their headers come from a time stamp or the user and are shown in a list
// the window keeps itself.
inline constexpr std::string_view kRecoveryPrefix = "recovery-";
inline constexpr std::string_view kUntitledRecoveryPrefix = "recovery-untitled-";
// Copies of a large text that a window's snapshots are counted against.
inline constexpr std::string_view kRecoveryCopyPrefix = "recovery-base-";

// What sets a window's snapshots apart from every other window's: the
// time it started (milliseconds) and its process id.
std::string RecoveryWindowToken(std::uint64_t startMs, std::int64_t pid);

// The snapshot that the window with token writes of the document at
// documentPath (a full path) in folder. A hash of the full path keeps
// documents of one name in different folders apart, the token windows of
// one document; the document's own name follows for whoever looks into
// the folder, cut so that the whole name stays well within the file
// system's limit.
std::string RecoveryFileName(const std::string& folder, const std::string& documentPath, std::string_view token);
// The name older versions gave the one snapshot of a document (still read).
std::string RecoveryFileName(const std::string& folder, const std::string& documentPath);
// The snapshot of an untitled document: the token alone, which makes the
// names sort from the oldest window.
std::string UntitledRecoveryFileName(const std::string& folder, std::uint64_t stampMs, std::int64_t pid);
// The copy the window with token keeps as the base of its snapshots; a new
// copy takes the next generation, so the snapshot on disk keeps its own
// until the one that replaces it is written.
std::string RecoveryCopyFileName(const std::string& folder, std::string_view token, std::uint64_t generation);

// The untitled snapshots in folder, oldest first; only regular files.
std::vector<std::string> UntitledRecoveryFiles(const std::string& folder);
// The snapshots in folder that may be of documentPath, newest window
// first (the name's hash matches; the caller reads each to be sure).
std::vector<std::string> RecoveryFilesOf(const std::string& folder, const std::string& documentPath);

// The folder of the snapshots (the version folder beside the settings
// file), made with mode 0700, and made 0700 when it exists with another
// mode: the snapshots are the user's text. EFileError when it cannot be,
// or when it belongs to another user.
std::string PrepareRecoveryFolder(const std::string& settingsPath);

// Writes bytes to path so that path is always either the old file or the
// whole new one: a private temporary file (mode 0600) beside it, synced,
// then renamed over it, and the folder synced. keepLocked: the new file is
// returned open and locked (flock), which tells other windows that its
// writer still runs; -1 otherwise. Raises EFileError.
int WritePrivateFile(const std::string& path, std::string_view bytes, bool keepLocked);

// A snapshot whose writer is gone, held open and locked by this window
// while it is offered, so that no other window offers or removes it.
class TClaimedSnapshot {
 public:
  // nullopt when path is missing, not a regular file, or still locked by
  // its writer (or claimed by another window).
  static std::optional<TClaimedSnapshot> Claim(const std::string& path);
  TClaimedSnapshot(TClaimedSnapshot&& o) noexcept : path_(std::move(o.path_)), fd_(o.fd_) { o.fd_ = -1; }
  TClaimedSnapshot& operator=(TClaimedSnapshot&& o) noexcept;
  TClaimedSnapshot(const TClaimedSnapshot&) = delete;
  TClaimedSnapshot& operator=(const TClaimedSnapshot&) = delete;
  ~TClaimedSnapshot();

  const std::string& Path() const { return path_; }
  // The whole file, read through the held descriptor. Raises EFileError.
  std::string Read() const;
  // Removes the file (when the name still is this file) and lets it go.
  void Remove();

 private:
  TClaimedSnapshot(std::string path, int fd) : path_(std::move(path)), fd_(fd) {}
  std::string path_;
  int fd_ = -1;
};

}  // namespace yk
