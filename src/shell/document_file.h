// Documents as files: the checks before a document is loaded, the line ends
// a file uses, writing rows with a document's own line ends, and why a save
// failed, in terms the window can tell the user.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "text/line_end.h"
#include "text/pointer_string_list.h"

#include <sys/types.h>
#include <ctime>

namespace yk {

// The first line end of bytes. A Ctrl+Z is text like any other byte (only
// one that ends the file is a mark, and no line end follows it). A CR as the
// last byte counts as CR LF: the LF may follow in the next piece.
enum class TLineEndScan : std::uint8_t { None, CrLf, Lf, Cr, CrAtEnd };
TLineEndScan FirstLineEnd(std::string_view bytes);

// The line ends of a file, judged by its first line end; CrLf for a file
// without any (and for one that cannot be read). Reads only as far as the
// first line end.
TLineEnd DetectLineEnd(const std::string& path);

// Documents larger than this are refused before anything is read: the rows
// of a larger one would not fit the editor's row and column numbers.
inline constexpr std::uint64_t kMaxDocumentBytes = std::uint64_t{1} << 30;

enum class TLoadProblem : std::uint8_t {
  None,
  NotFound,      // no such file (or a folder on the way is missing)
  NoPermission,  // the file may not be read
  Folder,        // the name is a folder
  NotRegular,    // a FIFO, socket or device: reading it could hang or never end
  TooLarge,      // beyond kMaxDocumentBytes
  Unreadable,    // any other failure
};

// Checks that path names a regular file this process may read and that is
// not too large, without blocking (a FIFO is recognised, never opened for
// reading in a way that waits). For Unreadable, *error (when given) gets
// the system's error number.
TLoadProblem CheckLoadable(const std::string& path, std::uint64_t max_bytes = kMaxDocumentBytes,
                           int* error = nullptr);

// True when nothing at all is at path (not even a broken link) but its
// folder exists: the name of a document yet to be created.
bool NamesNewFile(const std::string& path);

// Writes the rows to path, each row that ends a line followed by its own
// line end (or every row by end when end_every_row: the wrapped form), and a Ctrl+Z at
// the end when eof_mark (the loaded file ended with one, so an unchanged
// save gives the same bytes). The old file is replaced only once the new
// one is completely on disk, and is left as it was when anything fails
// (EFileError; EFileDamaged when a save in place could not put the old
// bytes back).
void SaveDocumentRows(const TPointerStringList& rows, const std::string& path, TLineEnd end, bool end_every_row,
                      bool eof_mark = false);

// What a file is on disk, as far as telling whether another program wrote
// or replaced it: a replacement is another inode, a write changes the size
// or the modification time (to the nanosecond). A symbolic link is followed.
struct TFileStamp {
  bool exists = false;
  dev_t dev = 0;
  ino_t ino = 0;
  off_t size = 0;
  timespec mtime{};
  timespec ctime{};  // the status change time (not compared by ==)
  bool regular = false;  // a regular file (not compared: the identity says it)

  bool operator==(const TFileStamp& o) const {
    return exists == o.exists && dev == o.dev && ino == o.ino && size == o.size && mtime.tv_sec == o.mtime.tv_sec &&
           mtime.tv_nsec == o.mtime.tv_nsec;
  }
  // The same and not touched since either: a write that set the
  // modification time back, or a new mode or owner, changes the status time.
  bool Untouched(const TFileStamp& o) const {
    return *this == o && ctime.tv_sec == o.ctime.tv_sec && ctime.tv_nsec == o.ctime.tv_nsec;
  }
};
TFileStamp StampOfFile(const std::string& path);

// path with ext added when its file-name part has no dot; a name ending in
// a dot counts as having an extension.
std::string WithDefaultExtension(const std::string& path, std::string_view ext);

enum class TSaveProblem : std::uint8_t {
  FolderMissing,  // the folder to save in does not exist
  Folder,         // the name is a folder
  NoPermission,   // the folder may not be written
  FileReadOnly,   // the file's mode forbids writing it
  DiskFull,       // not enough free space for the document (or the user's quota is used up)
  TooLarge,       // the file is larger than this system lets the process write
  Unknown,
};

// Why a save of bytes bytes to path (a symbolic link: where it points) failed, judged after the failure from
// the error number of the failed call (error; 0 when unknown) and, where it
// does not tell, from the file system as it is now.
TSaveProblem DiagnoseSaveFailure(const std::string& path, std::uint64_t bytes, int error = 0);

}  // namespace yk
