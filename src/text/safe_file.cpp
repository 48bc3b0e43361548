// Atomic file replacement through a temporary file and rename (POSIX).
#include "text/safe_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>

#include "text/errors.h"

namespace yk {

namespace {

constexpr std::size_t kBufferSize = 1 << 20;

mode_t NewFileMode() {
  mode_t mask = ::umask(0);
  ::umask(mask);
  return 0666 & ~mask;
}

void SyncDir(const std::string& dir) {
  int d = ::open(dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (d < 0) return;
  ::fsync(d);
  ::close(d);
}

std::string UniqueTemplate(const std::string& path) {
  const std::size_t slash = path.rfind('/');
  const std::string base = slash == std::string::npos ? path : path.substr(slash + 1);
  const std::string dir = DirOfPath(path);
  return (dir == "/" ? "" : dir) + "/." + base + ".yk-XXXXXX";
}

// Only the holder of the file's lock uses a fixed temporary name, so a file
// found there was left by a writer that died.
int CreateFixedTemp(const std::string& temp) {
  for (int attempt = 0; attempt < 2; ++attempt) {
    int fd = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
    if (fd >= 0 || errno != EEXIST) return fd;
    ::unlink(temp.c_str());
  }
  return -1;
}

}  // namespace

std::string DirOfPath(const std::string& path) {
  const std::size_t slash = path.rfind('/');
  if (slash == std::string::npos) return ".";
  return slash == 0 ? "/" : path.substr(0, slash);
}

std::string ResolveLink(const std::string& path) {
  char buf[PATH_MAX];
  struct stat st {};
  if (::lstat(path.c_str(), &st) == 0 && S_ISLNK(st.st_mode) && ::realpath(path.c_str(), buf)) return buf;
  return path;
}

TSafeFileWriter::TSafeFileWriter(const std::string& path, const std::string& tempPath, bool inPlaceFallback)
    : path_(ResolveLink(path)) {
  if (!tempPath.empty()) {
    temp_ = tempPath;
    fd_ = CreateFixedTemp(temp_);
  } else {
    std::string name = UniqueTemplate(path_);
    fd_ = ::mkostemp(name.data(), O_CLOEXEC);
    temp_ = name;
  }
  if (fd_ >= 0) return;
  const int err = errno;
  if (!inPlaceFallback || (err != EACCES && err != EPERM && err != EROFS)) {
    temp_.clear();
    Fail("Cannot create", tempPath.empty() ? path_ : tempPath, err);
  }
  temp_.clear();
  fd_ = ::open(path_.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
  if (fd_ < 0) Fail("Cannot create", path_, errno);
}

TSafeFileWriter::~TSafeFileWriter() {
  if (fd_ >= 0) ::close(fd_);
  if (!committed_ && !temp_.empty()) ::unlink(temp_.c_str());
}

void TSafeFileWriter::Fail(const std::string& what, const std::string& path, int err) {
  throw EFileError(what + " file \"" + path + "\". " + std::strerror(err), err);
}

void TSafeFileWriter::Write(std::string_view bytes) {
  if (buffer_.size() + bytes.size() > kBufferSize) Flush();
  if (bytes.size() >= kBufferSize) {
    buffer_.assign(bytes);
    Flush();
  } else {
    buffer_.append(bytes);
  }
}

void TSafeFileWriter::Flush() {
  std::size_t done = 0;
  while (done < buffer_.size()) {
    ssize_t n = ::write(fd_, buffer_.data() + done, buffer_.size() - done);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) Fail("Cannot write", temp_.empty() ? path_ : temp_, errno);
    done += static_cast<std::size_t>(n);
  }
  buffer_.clear();
}

void TSafeFileWriter::Commit() {
  Flush();
  const std::string& written = temp_.empty() ? path_ : temp_;
  if (::fsync(fd_) != 0) Fail("Cannot write", written, errno);
  if (!temp_.empty()) {
    struct stat old {};
    if (::stat(path_.c_str(), &old) == 0) {
      if (::fchmod(fd_, old.st_mode & 07777) != 0) Fail("Cannot write", temp_, errno);
      if (::fchown(fd_, old.st_uid, old.st_gid) != 0) {
        // Only the owner's permissions matter when the owner cannot be kept.
      }
    } else if (::fchmod(fd_, NewFileMode()) != 0) {
      Fail("Cannot write", temp_, errno);
    }
  }
  const int fd = fd_;
  fd_ = -1;
  if (::close(fd) != 0) Fail("Cannot write", written, errno);
  if (temp_.empty()) {
    committed_ = true;
    return;
  }
  if (OnBeforeRename) OnBeforeRename();
  if (::rename(temp_.c_str(), path_.c_str()) != 0) Fail("Cannot replace", path_, errno);
  committed_ = true;
  SyncDir(DirOfPath(path_));
}

}  // namespace yk
