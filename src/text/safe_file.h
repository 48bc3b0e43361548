// Replacing a file so that a failed or interrupted write never leaves it
// torn or half written: the bytes go to a temporary file beside it, are
// flushed to disk, take on the old file's permissions and are renamed over
// it in one step. Paths are native bytes.
#pragma once

#include <functional>
#include <string>
#include <string_view>

namespace yk {

class TSafeFileWriter {
 public:
  // tempPath empty: a fresh, unique temporary name beside the file. A given
  // tempPath is for callers that hold the file's lock: one found there was
  // left by a writer that died and is replaced. With inPlaceFallback, a
  // folder where no temporary file can be made (while the file itself is
  // writable) gets the file rewritten in place, as the only way to save.
  explicit TSafeFileWriter(const std::string& path, const std::string& tempPath = {},
                           bool inPlaceFallback = false);
  ~TSafeFileWriter();  // removes the temporary file unless committed
  TSafeFileWriter(const TSafeFileWriter&) = delete;
  TSafeFileWriter& operator=(const TSafeFileWriter&) = delete;

  void Write(std::string_view bytes);
  // Flushes, keeps the old file's permissions (and owner where allowed) and
  // renames the temporary file over the file. Throws EFileError, leaving the
  // old file as it was.
  void Commit();

  // Called after the data are on disk and before the rename (for tests that
  // stop a writer there).
  std::function<void()> OnBeforeRename;

 private:
  void Flush();
  [[noreturn]] void Fail(const std::string& what, const std::string& path, int err);

  std::string path_;     // the file replaced (a symbolic link resolved)
  std::string temp_;     // empty when writing in place
  int fd_ = -1;
  std::string buffer_;
  bool committed_ = false;
};

// The folder part of a path ("." for a bare name).
std::string DirOfPath(const std::string& path);
// The file a path names, with a symbolic link followed, so that replacing
// it replaces the file and not the link.
std::string ResolveLink(const std::string& path);

}  // namespace yk
