// Reading a settings file whole, and replacing it so that no reader and no
// other writer ever sees it torn or loses a change.
#pragma once

#include <cstddef>
#include <functional>
#include <optional>
#include <string>

namespace yk {

// Settings and style files are small; anything larger is refused rather
// than read into memory.
inline constexpr std::size_t kMaxSettingsFileSize = std::size_t{64} << 20;
// No setting of ours needs a longer line. A longer one is dropped as the
// file is read (with a note on the standard error), so that one broken or
// hostile line costs neither memory nor time in every later look-up, widget
// and write; the next change of the file leaves it out.
inline constexpr std::size_t kMaxSettingsLineLength = std::size_t{64} << 10;

// The bytes of the file at path (native bytes), without its lines longer
// than kMaxSettingsLineLength, or nullopt when it does not exist. Throws
// EFileError when it exists but cannot be read or is larger than
// kMaxSettingsFileSize.
std::optional<std::string> ReadSettingsFile(const std::string& path);

// Given the current content (nullopt: no file yet), returns the new content,
// or nullopt to leave the file alone.
using TFileEdit = std::function<std::optional<std::string>(const std::optional<std::string>& current)>;

// Changes the file under an exclusive advisory lock: the current content is
// read after the lock is taken (so changes of other processes are kept),
// the new content goes to a temporary file beside it, is flushed to disk and
// renamed over the file, keeping its permissions. A symbolic link is
// followed and the file it names is replaced. Throws EFileError when the
// file cannot be written; the old file is then left as it was.
void EditSettingsFile(const std::string& path, const TFileEdit& edit);

// Test hook: called at named points of a replacement ("partial" after half
// of the temporary file is written, "before-rename"), so that tests can
// stop a writer there.
void SetSettingsFileWriteHook(std::function<void(const char* stage)> hook);

}  // namespace yk
