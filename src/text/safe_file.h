// Replacing a file so that a failed or interrupted write never leaves it
// torn or half written. Where a new file renamed over the old one keeps
// what the old one was (owner, group, mode, its only name), the bytes go to
// a temporary file beside it, are flushed to disk and renamed over it in
// one step. Otherwise the file is rewritten in place, with a copy of its
// old bytes kept until the new ones are on disk, so that a failure part-way
// puts the old bytes back. Paths are native bytes.
#pragma once

#include <cstdint>
#include <ctime>
#include <functional>
#include <string>
#include <string_view>

#include "text/errors.h"

namespace yk {

// A save in place failed and the old bytes could not be put back: the file
// may be damaged, and its old bytes are kept in BackupPath().
class EFileDamaged : public EFileError {
 public:
  EFileDamaged(const std::string& message, int error, std::string backup)
      : EFileError(message, error), backup_(std::move(backup)) {}
  const std::string& BackupPath() const noexcept { return backup_; }

 private:
  std::string backup_;
};

// A save in place was refused before the file was touched: its old bytes
// could not be copied aside.
class EBackupError : public EFileError {
 public:
  using EFileError::EFileError;
};

class TTextImage;

class TSafeFileWriter {
 public:
  enum class TMethod { Rename, InPlace };

  // tempPath empty: the way to save is chosen as above; temporary files
  // that writers which died left in the folder are removed first. A given
  // tempPath is for callers that hold the file's lock (always renamed): one
  // found there was left by a writer that died and is replaced.
  // inPlaceFallback is kept for callers written before the choice was made
  // here; it changes nothing. An existing file that its mode makes
  // read-only (for the superuser too: the mode is its owner's intent) is
  // refused with EACCES.
  explicit TSafeFileWriter(const std::string& path, const std::string& tempPath = {},
                           bool inPlaceFallback = false);
  ~TSafeFileWriter();  // removes the temporary file, or puts the old bytes back, unless committed
  TSafeFileWriter(const TSafeFileWriter&) = delete;
  TSafeFileWriter& operator=(const TSafeFileWriter&) = delete;

  void Write(std::string_view bytes);
  // Bytes that lie in image: a long run goes from the image's memory file
  // to the file inside the kernel, so pages of the image that this process
  // let go are not brought back into it.
  void Write(std::string_view bytes, const TTextImage* image);
  // Flushes the bytes to disk and replaces the file. Throws EFileError with
  // the old file as it was, or EFileDamaged when that could not be done.
  void Commit();
  TMethod Method() const { return temp_.empty() ? TMethod::InPlace : TMethod::Rename; }

  // Called after the data are on disk and before the rename (for tests that
  // stop a writer there).
  std::function<void()> OnBeforeRename;

  // Where saves in place keep the old bytes (the program's "versions"
  // folder); empty: the system's temporary folder. Process-wide.
  static void SetBackupFolder(std::string folder);

 private:
  void Open(const std::string& tempPath);
  void OpenInPlace();
  void MakeBackup();
  void Flush();
  void WriteAll(std::string_view bytes);
  [[noreturn]] void Fail(const std::string& what, const std::string& path, int err);
  // Puts the old bytes back after a failed save in place; false when it
  // could not, and the backup is then kept.
  bool RestoreOld() noexcept;
  void CommitRename();
  void CommitInPlace();

  std::string path_;     // the file replaced (a symbolic link resolved)
  std::string temp_;     // empty when writing in place
  std::string backup_;   // in place: the old bytes
  int fd_ = -1;
  std::uint64_t written_ = 0;
  std::string buffer_;
  bool committed_ = false;
  bool fixed_temp_ = false;
  std::uint64_t old_size_ = 0;  // in place: the old file's size and times
  timespec old_times_[2]{};
};

// The folder part of a path ("." for a bare name).
std::string DirOfPath(const std::string& path);
// The file a path names, with symbolic links followed (also a link whose
// target does not exist yet), so that replacing it replaces the file and
// not the link.
std::string ResolveLink(const std::string& path);
// Whether a file's mode lets this process write it, as its owner meant: for
// the superuser, whether any write bit is set. False for a missing file.
bool WritableByMode(const std::string& path);
// Removes the temporary files of this program in folder whose writers are
// gone (no lock on them, no such process). Returns how many went.
int RemoveStaleTempFiles(const std::string& folder);

}  // namespace yk
