// Document files: load checks, line-end detection, saving and save failures.
#include "shell/document_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <unistd.h>

#include <cerrno>
#include <memory>

#include "text/safe_file.h"

namespace yk {

namespace {

constexpr char kCtrlZ = 26;

// Closes a descriptor at the end of a scope.
struct TFd {
  int fd = -1;
  ~TFd() {
    if (fd >= 0) ::close(fd);
  }
};

}  // namespace

TLineEndScan FirstLineEnd(std::string_view bytes) {
  for (std::size_t i = 0; i < bytes.size(); ++i) {
    const char c = bytes[i];
    if (c == '\n') return TLineEndScan::Lf;
    if (c == '\r') {
      if (i + 1 == bytes.size()) return TLineEndScan::CrAtEnd;
      return bytes[i + 1] == '\n' ? TLineEndScan::CrLf : TLineEndScan::Cr;
    }
  }
  return TLineEndScan::None;
}

TLineEnd DetectLineEnd(const std::string& path) {
  TFd file{::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC)};
  if (file.fd < 0) return TLineEnd::CrLf;
  constexpr std::size_t kChunk = 64 * 1024;
  std::unique_ptr<char[]> buffer(new char[kChunk]);
  bool cr_pending = false;
  for (;;) {
    const ssize_t n = ::read(file.fd, buffer.get(), kChunk);
    if (n <= 0) return cr_pending ? TLineEnd::Cr : TLineEnd::CrLf;
    std::string_view data(buffer.get(), static_cast<std::size_t>(n));
    if (cr_pending) return data[0] == '\n' ? TLineEnd::CrLf : TLineEnd::Cr;
    switch (FirstLineEnd(data)) {
      case TLineEndScan::CrLf: return TLineEnd::CrLf;
      case TLineEndScan::Lf: return TLineEnd::Lf;
      case TLineEndScan::Cr: return TLineEnd::Cr;
      case TLineEndScan::CrAtEnd: cr_pending = true; break;
      case TLineEndScan::None: break;
    }
  }
}

TLoadProblem CheckLoadable(const std::string& path, std::uint64_t max_bytes, int* error) {
  int ignored = 0;
  int& err = error ? *error : ignored;
  struct stat st{};
  if (::stat(path.c_str(), &st) != 0) {
    err = errno;
    return err == EACCES ? TLoadProblem::NoPermission
         : err == ENOENT || err == ENOTDIR || err == ENAMETOOLONG ? TLoadProblem::NotFound
                                                                 : TLoadProblem::Unreadable;
  }
  if (S_ISDIR(st.st_mode)) return TLoadProblem::Folder;
  if (!S_ISREG(st.st_mode)) return TLoadProblem::NotRegular;
  if (static_cast<std::uint64_t>(st.st_size) > max_bytes) return TLoadProblem::TooLarge;
  // O_NONBLOCK: should the name have become a FIFO since the stat, the
  // open still returns at once.
  TFd file{::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC)};
  if (file.fd < 0) {
    err = errno;
    return err == EACCES || err == EPERM ? TLoadProblem::NoPermission
         : err == ENOENT                 ? TLoadProblem::NotFound
                                         : TLoadProblem::Unreadable;
  }
  struct stat opened{};
  if (::fstat(file.fd, &opened) != 0 || !S_ISREG(opened.st_mode)) return TLoadProblem::NotRegular;
  return TLoadProblem::None;
}

bool NamesNewFile(const std::string& path) {
  struct stat st{};
  if (path.empty() || path.back() == '/' || ::lstat(path.c_str(), &st) == 0 || errno != ENOENT) return false;
  const std::string folder = DirOfPath(path);
  return ::stat(folder.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

void SaveDocumentRows(const TPointerStringList& rows, const std::string& path, TLineEnd end, bool end_every_row,
                      bool eof_mark) {
  TSafeFileWriter out(path);
  rows.ForEachSavedPiece(end_every_row ? LineEndBytes(end) : std::string_view(),
                         [&](std::string_view bytes, const TTextImage* image) { out.Write(bytes, image); });
  if (eof_mark) out.Write(std::string_view(&kCtrlZ, 1));
  out.Commit();
}

std::string WithDefaultExtension(const std::string& path, std::string_view ext) {
  const std::size_t slash = path.rfind('/');
  const std::size_t name = slash == std::string::npos ? 0 : slash + 1;
  if (path.find('.', name) != std::string::npos) return path;
  return path + std::string(ext);
}

TFileStamp StampOfFile(const std::string& path) {
  struct stat st{};
  if (path.empty() || ::stat(path.c_str(), &st) != 0) return {};
  return {true, st.st_dev, st.st_ino, st.st_size, st.st_mtim, st.st_ctim, S_ISREG(st.st_mode)};
}

TSaveProblem DiagnoseSaveFailure(const std::string& name, std::uint64_t bytes, int error) {
  const std::string path = ResolveLink(name);
  struct stat st{};
  const bool exists = ::stat(path.c_str(), &st) == 0;
  if ((error == EACCES || error == EPERM) && exists && S_ISREG(st.st_mode) && !WritableByMode(path))
    return TSaveProblem::FileReadOnly;
  switch (error) {
    case ENOSPC:
    case EDQUOT: return TSaveProblem::DiskFull;
    case EFBIG: return TSaveProblem::TooLarge;
    case EISDIR: return TSaveProblem::Folder;
    case EACCES:
    case EPERM:
    case EROFS: return TSaveProblem::NoPermission;
    default: break;
  }
  std::string folder = DirOfPath(path);
  if (::stat(folder.c_str(), &st) != 0 || !S_ISDIR(st.st_mode)) return TSaveProblem::FolderMissing;
  if (::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode)) return TSaveProblem::Folder;
  if (::access(folder.c_str(), W_OK) != 0) return TSaveProblem::NoPermission;
  struct statvfs fs{};
  if (::statvfs(folder.c_str(), &fs) == 0 &&
      static_cast<std::uint64_t>(fs.f_bavail) * fs.f_frsize < bytes + 4096) {
    return TSaveProblem::DiskFull;
  }
  return TSaveProblem::Unknown;
}

}  // namespace yk
