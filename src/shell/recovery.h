// Recovery snapshots: the edits of a window that had to close without
// asking (the desktop session ended, the process was told to terminate),
// kept beside the version files and offered when the document opens again.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace yk {

// Every recovery snapshot's name starts so; version files never do, since
// their headers come from a time stamp or the user and are shown in a list
// the window keeps itself.
inline constexpr std::string_view kRecoveryPrefix = "recovery-";
inline constexpr std::string_view kUntitledRecoveryPrefix = "recovery-untitled-";

// The snapshot of the document at documentPath (a full path) in folder. The
// name is fixed by the full path (a hash of it), so two documents with the
// same name in different folders keep apart; the document's own name
// follows for whoever looks into the folder, cut so that the whole name
// stays well within the file system's limit.
std::string RecoveryFileName(const std::string& folder, const std::string& documentPath);

// The snapshot of an untitled document. Several untitled windows may end
// at once: the time (milliseconds) and the process id keep their names
// apart and make the names sort from the oldest.
std::string UntitledRecoveryFileName(const std::string& folder, std::uint64_t stampMs, std::int64_t pid);

// The untitled snapshots in folder, oldest first; only regular files, and
// no companion files.
std::vector<std::string> UntitledRecoveryFiles(const std::string& folder);

// The companion of a snapshot that keeps the document's table of mapped
// characters (TMappedChars::Save), when it has one: the snapshot itself is
// the CP932 text, whose mapped codes mean nothing without it.
std::string RecoveryCharsFile(const std::string& snapshot);

// The folder of the snapshots (the version folder beside the settings
// file), created with mode 0700 when missing. EFileError when it cannot be.
std::string PrepareRecoveryFolder(const std::string& settingsPath);

}  // namespace yk
