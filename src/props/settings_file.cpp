// Locked, atomic replacement of settings files (POSIX).
#include "props/settings_file.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <utility>

#include "text/errors.h"

namespace yk {

namespace {

std::function<void(const char*)>& WriteHook() {
  static std::function<void(const char*)> hook;
  return hook;
}

void CallHook(const char* stage) {
  if (WriteHook()) WriteHook()(stage);
}

[[noreturn]] void Fail(const std::string& what, const std::string& path, int err) {
  throw EFileError(what + " " + path + ": " + std::strerror(err));
}

// Closes a descriptor on every path out of a scope.
class TFd {
 public:
  explicit TFd(int fd = -1) : fd_(fd) {}
  ~TFd() { Reset(); }
  TFd(const TFd&) = delete;
  TFd& operator=(const TFd&) = delete;
  int Get() const { return fd_; }
  int Release() { return std::exchange(fd_, -1); }
  void Reset(int fd = -1) {
    if (fd_ >= 0) ::close(fd_);
    fd_ = fd;
  }

 private:
  int fd_;
};

std::string ReadAll(int fd, const std::string& path) {
  struct stat st {};
  if (::fstat(fd, &st) != 0) Fail("Cannot read", path, errno);
  if (static_cast<unsigned long long>(st.st_size) > kMaxSettingsFileSize)
    throw EFileError("File too large: " + path);
  std::string out;
  char buf[65536];
  for (;;) {
    ssize_t n = ::read(fd, buf, sizeof buf);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) Fail("Cannot read", path, errno);
    if (n == 0) break;
    if (out.size() + static_cast<std::size_t>(n) > kMaxSettingsFileSize) throw EFileError("File too large: " + path);
    out.append(buf, static_cast<std::size_t>(n));
  }
  return out;
}

void WriteAll(int fd, const std::string& bytes, const std::string& path) {
  std::size_t done = 0;
  const std::size_t half = bytes.size() / 2;
  bool hooked = false;
  while (done < bytes.size()) {
    std::size_t chunk = bytes.size() - done;
    if (!hooked && done < half) chunk = half - done;
    ssize_t n = ::write(fd, bytes.data() + done, chunk);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) Fail("Cannot write", path, errno);
    done += static_cast<std::size_t>(n);
    if (!hooked && done >= half) {
      hooked = true;
      CallHook("partial");
    }
  }
}

// The file a path stands for: a symbolic link is followed, so that the
// rename replaces the file and not the link.
std::string ResolvePath(const std::string& path) {
  char buf[PATH_MAX];
  struct stat st {};
  if (::lstat(path.c_str(), &st) == 0 && S_ISLNK(st.st_mode) && ::realpath(path.c_str(), buf)) return buf;
  return path;
}

std::string DirOf(const std::string& path) {
  const std::size_t slash = path.rfind('/');
  if (slash == std::string::npos) return ".";
  return slash == 0 ? "/" : path.substr(0, slash);
}

// Opens and locks the file that path names now. A writer that waited for
// the lock may find that the previous holder renamed a new file over the
// one it locked; it then locks the new one.
int OpenLocked(const std::string& path, bool create) {
  for (;;) {
    TFd fd(::open(path.c_str(), O_RDWR | O_CLOEXEC | (create ? O_CREAT : 0), 0666));
    if (fd.Get() < 0) {
      if (!create && errno == ENOENT) return -1;
      Fail("Cannot open", path, errno);
    }
    while (::flock(fd.Get(), LOCK_EX) != 0) {
      if (errno != EINTR) Fail("Cannot lock", path, errno);
    }
    struct stat held {}, now {};
    if (::fstat(fd.Get(), &held) != 0) Fail("Cannot open", path, errno);
    if (::stat(path.c_str(), &now) == 0 && now.st_dev == held.st_dev && now.st_ino == held.st_ino) {
      return fd.Release();
    }
  }
}

}  // namespace

namespace {

std::string TempPathFor(const std::string& path) {
  const std::size_t slash = path.rfind('/');
  const std::string base = slash == std::string::npos ? path : path.substr(slash + 1);
  const std::string dir = DirOf(path);
  return (dir == "/" ? "" : dir) + "/." + base + ".yk-tmp";
}

// Only the holder of the file's lock writes its temporary file, so one
// found there was left by a writer that died: it is replaced.
int CreateTemp(const std::string& tmp) {
  for (int attempt = 0; attempt < 2; ++attempt) {
    int fd = ::open(tmp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
    if (fd >= 0) return fd;
    if (errno != EEXIST) break;
    ::unlink(tmp.c_str());
  }
  Fail("Cannot create", tmp, errno);
}

void SyncDir(const std::string& dir) {
  TFd d(::open(dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
  if (d.Get() >= 0) ::fsync(d.Get());
}

// Writes bytes to a temporary file with the permissions and owner of the
// locked file and renames it over path.
void Replace(const std::string& path, int locked, const std::string& bytes) {
  struct stat held {};
  if (::fstat(locked, &held) != 0) Fail("Cannot write", path, errno);
  const std::string tmp = TempPathFor(path);
  TFd out(CreateTemp(tmp));
  try {
    if (::fchmod(out.Get(), held.st_mode & 07777) != 0) Fail("Cannot write", tmp, errno);
    if (::fchown(out.Get(), held.st_uid, held.st_gid) != 0) {
      // Only the owner's permissions matter when the owner cannot be kept.
    }
    WriteAll(out.Get(), bytes, tmp);
    if (::fsync(out.Get()) != 0) Fail("Cannot write", tmp, errno);
    out.Reset();
    CallHook("before-rename");
    if (::rename(tmp.c_str(), path.c_str()) != 0) Fail("Cannot replace", path, errno);
  } catch (...) {
    out.Reset();
    ::unlink(tmp.c_str());
    throw;
  }
  SyncDir(DirOf(path));
}

}  // namespace

std::optional<std::string> ReadSettingsFile(const std::string& path) {
  TFd fd(::open(path.c_str(), O_RDONLY | O_CLOEXEC));
  if (fd.Get() < 0) {
    if (errno == ENOENT || errno == ENOTDIR) return std::nullopt;
    Fail("Cannot open", path, errno);
  }
  return ReadAll(fd.Get(), path);
}

void EditSettingsFile(const std::string& raw_path, const TFileEdit& edit) {
  const std::string path = ResolvePath(raw_path);
  TFd fd(OpenLocked(path, false));
  std::optional<std::string> current;
  if (fd.Get() >= 0) current = ReadAll(fd.Get(), path);
  std::optional<std::string> next = edit(current);
  if (!next || next == current) return;
  if (fd.Get() < 0) {
    // No file yet: create it, lock it, and edit what is there by then.
    fd.Reset(OpenLocked(path, true));
    current = ReadAll(fd.Get(), path);
    next = edit(current->empty() ? std::optional<std::string>() : current);
    if (!next || next == current) return;
  }
  if (next->size() > kMaxSettingsFileSize) throw EFileError("File too large: " + path);
  Replace(path, fd.Get(), *next);
}

void SetSettingsFileWriteHook(std::function<void(const char* stage)> hook) { WriteHook() = std::move(hook); }

}  // namespace yk
