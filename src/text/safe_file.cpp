// Replacing files safely (POSIX): by a temporary file and rename where that
// keeps the file what it was, else in place with the old bytes kept aside.
#include "text/safe_file.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/sendfile.h>
#include <sys/stat.h>
#include <sys/xattr.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <mutex>
#include <utility>
#include <vector>

#include "text/text_image.h"

namespace yk {

namespace {

constexpr std::size_t kBufferSize = 1 << 20;
constexpr const char* kTempMark = ".yk-";

std::mutex backup_mutex;
std::string backup_folder;  // guarded by backup_mutex

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

std::string BaseOfPath(const std::string& path) {
  const std::size_t slash = path.rfind('/');
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

std::string InFolder(const std::string& dir, const std::string& name) { return (dir == "/" ? "" : dir) + "/" + name; }

// ".name.yk-<pid>-XXXXXX": the writer's process in the name, and the
// writer holds a lock on the file while it lives, so that a later save can
// tell a leftover from a file still being written.
std::string UniqueTemplate(const std::string& path) {
  return InFolder(DirOfPath(path), "." + BaseOfPath(path) + kTempMark + std::to_string(::getpid()) + "-XXXXXX");
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

bool InOurGroups(gid_t gid) {
  if (gid == ::getegid()) return true;
  const int n = ::getgroups(0, nullptr);
  if (n <= 0) return false;
  std::vector<gid_t> groups(static_cast<std::size_t>(n));
  const int got = ::getgroups(n, groups.data());
  for (int i = 0; i < got; ++i)
    if (groups[static_cast<std::size_t>(i)] == gid) return true;
  return false;
}

// Whether a new file renamed over the existing one (st) in dir keeps what
// the old one was: its only name, its owner and group, its access list;
// and whether the folder lets the rename happen at all.
bool RenameKeepsFile(const struct stat& st, const std::string& dir, const std::string& path) {
  if (!S_ISREG(st.st_mode) || st.st_nlink != 1) return false;
  const uid_t me = ::geteuid();
  if (me != 0 && (st.st_uid != me || !InOurGroups(st.st_gid))) return false;
  struct stat folder{};
  if (::stat(dir.c_str(), &folder) != 0 || ::faccessat(AT_FDCWD, dir.c_str(), W_OK | X_OK, AT_EACCESS) != 0)
    return false;
  // In a sticky folder (/tmp) only the owner of the file or of the folder
  // may replace the file.
  if ((folder.st_mode & S_ISVTX) && me != 0 && st.st_uid != me && folder.st_uid != me) return false;
  // An access list would not come along to the new file.
  if (::getxattr(path.c_str(), "system.posix_acl_access", nullptr, 0) >= 0) return false;
  return true;
}

// Whether a process of that id exists (EPERM: it does, another user's).
bool ProcessAlive(long pid) { return pid > 0 && (::kill(static_cast<pid_t>(pid), 0) == 0 || errno == EPERM); }

// The pid in a temporary name of this program (".x.yk-<pid>-XXXXXX"); 0
// for a name of the older form (".x.yk-XXXXXX"), -1 for any other name.
long TempNamePid(const std::string& name) {
  if (name.size() < 2 || name[0] != '.') return -1;
  const std::size_t mark = name.rfind(kTempMark);
  if (mark == std::string::npos || mark == 0) return -1;
  const std::string tail = name.substr(mark + std::strlen(kTempMark));
  const std::size_t dash = tail.find('-');
  if (dash == std::string::npos) return tail.size() == 6 ? 0 : -1;
  if (dash == 0 || tail.size() - dash - 1 != 6 || tail.find_first_not_of("0123456789") != dash) return -1;
  return std::strtol(tail.c_str(), nullptr, 10);
}

// A leftover: a regular file of ours, no writer holds its lock, and its
// writer's process is gone (the older names carry no process: an hour old).
bool IsStale(int dir_fd, const std::string& name, long pid) {
  struct stat st{};
  if (::fstatat(dir_fd, name.c_str(), &st, AT_SYMLINK_NOFOLLOW) != 0 || !S_ISREG(st.st_mode)) return false;
  if (::geteuid() != 0 && st.st_uid != ::geteuid()) return false;
  if (pid > 0 && (pid == ::getpid() || ProcessAlive(pid))) return false;
  if (pid == 0 && std::time(nullptr) - st.st_mtime < 3600) return false;
  const int fd = ::openat(dir_fd, name.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) return false;
  const bool free = ::flock(fd, LOCK_EX | LOCK_NB) == 0;
  ::close(fd);
  return free;
}

bool WriteAll(int fd, const char* data, std::size_t size, off_t at) {
  for (std::size_t done = 0; done < size;) {
    const ssize_t n = ::pwrite(fd, data + done, size - done, at + static_cast<off_t>(done));
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    done += static_cast<std::size_t>(n);
  }
  return true;
}

// Copies size bytes of from into to, both from offset 0.
bool CopyBytes(int from, int to, std::uint64_t size) {
  std::vector<char> buffer(kBufferSize);
  for (std::uint64_t at = 0; at < size;) {
    const ssize_t n = ::pread(from, buffer.data(), buffer.size(), static_cast<off_t>(at));
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    if (!WriteAll(to, buffer.data(), static_cast<std::size_t>(n), static_cast<off_t>(at))) return false;
    at += static_cast<std::uint64_t>(n);
  }
  return true;
}

}  // namespace

std::string DirOfPath(const std::string& path) {
  const std::size_t slash = path.rfind('/');
  if (slash == std::string::npos) return ".";
  return slash == 0 ? "/" : path.substr(0, slash);
}

std::string ResolveLink(const std::string& path) {
  std::string p = path;
  for (int hops = 0; hops < 40; ++hops) {
    struct stat st{};
    if (::lstat(p.c_str(), &st) != 0 || !S_ISLNK(st.st_mode)) return p;
    char buf[PATH_MAX];
    const ssize_t n = ::readlink(p.c_str(), buf, sizeof buf);
    if (n <= 0 || static_cast<std::size_t>(n) >= sizeof buf) return p;
    const std::string target(buf, static_cast<std::size_t>(n));
    p = target[0] == '/' ? target : InFolder(DirOfPath(p), target);
  }
  return p;
}

bool WritableByMode(const std::string& path) {
  struct stat st{};
  if (::stat(path.c_str(), &st) != 0) return false;
  if (::faccessat(AT_FDCWD, path.c_str(), W_OK, AT_EACCESS) != 0) return false;
  return ::geteuid() != 0 || (st.st_mode & 0222) != 0;
}

int RemoveStaleTempFiles(const std::string& folder) {
  DIR* dir = ::opendir(folder.c_str());
  if (!dir) return 0;
  int removed = 0;
  const int dir_fd = ::dirfd(dir);
  while (const dirent* entry = ::readdir(dir)) {
    const std::string name = entry->d_name;
    const long pid = TempNamePid(name);
    if (pid < 0 || !IsStale(dir_fd, name, pid)) continue;
    if (::unlinkat(dir_fd, name.c_str(), 0) == 0) ++removed;
  }
  ::closedir(dir);
  return removed;
}

void TSafeFileWriter::SetBackupFolder(std::string folder) {
  std::lock_guard lock(backup_mutex);
  backup_folder = std::move(folder);
}

TSafeFileWriter::TSafeFileWriter(const std::string& path, const std::string& tempPath, bool)
    : path_(ResolveLink(path)) {
  try {
    Open(tempPath);
  } catch (...) {
    // No destructor runs for a writer that was never made.
    if (fd_ >= 0) ::close(fd_);
    if (!temp_.empty()) ::unlink(temp_.c_str());
    throw;
  }
}

void TSafeFileWriter::Open(const std::string& tempPath) {
  if (!tempPath.empty()) {
    fixed_temp_ = true;
    temp_ = tempPath;
    fd_ = CreateFixedTemp(temp_);
    if (fd_ < 0) {
      temp_.clear();
      Fail("Cannot create", tempPath, errno);
    }
    return;
  }
  const std::string dir = DirOfPath(path_);
  struct stat st{};
  const bool exists = ::stat(path_.c_str(), &st) == 0;
  if (exists && S_ISREG(st.st_mode) && !WritableByMode(path_)) Fail("Cannot write", path_, EACCES);
  if (exists && !RenameKeepsFile(st, dir, path_)) {
    OpenInPlace();
    return;
  }
  RemoveStaleTempFiles(dir);
  std::string name = UniqueTemplate(path_);
  fd_ = ::mkostemp(name.data(), O_CLOEXEC);
  if (fd_ >= 0) {
    temp_ = name;
    ::flock(fd_, LOCK_EX | LOCK_NB);  // held until the rename: the file is in use
    return;
  }
  const int err = errno;
  // A folder that refuses new entries although it looks writable (the
  // immutable attribute): a writable file there can still be saved.
  if (!exists || (err != EACCES && err != EPERM && err != EROFS)) Fail("Cannot create", path_, err);
  OpenInPlace();
}

TSafeFileWriter::~TSafeFileWriter() {
  if (!committed_ && temp_.empty() && !backup_.empty() && fd_ >= 0 && RestoreOld()) ::unlink(backup_.c_str());
  if (fd_ >= 0) ::close(fd_);
  if (!committed_ && !temp_.empty()) ::unlink(temp_.c_str());
}

void TSafeFileWriter::OpenInPlace() {
  fd_ = ::open(path_.c_str(), O_RDWR | O_CLOEXEC);
  if (fd_ < 0) Fail("Cannot write", path_, errno);
  struct stat st{};
  if (::fstat(fd_, &st) != 0) Fail("Cannot read", path_, errno);
  old_size_ = static_cast<std::uint64_t>(st.st_size);
  old_times_[0] = st.st_atim;
  old_times_[1] = st.st_mtim;
  MakeBackup();
}

// The old bytes into a file of their own, on disk before the first new byte
// goes into the file. Without that copy nothing is written.
void TSafeFileWriter::MakeBackup() {
  std::string folder;
  {
    std::lock_guard lock(backup_mutex);
    folder = backup_folder;
  }
  if (folder.empty()) {
    const char* tmp = std::getenv("TMPDIR");
    folder = tmp && *tmp ? tmp : "/tmp";
  }
  ::mkdir(folder.c_str(), 0700);
  std::string name = InFolder(folder, BaseOfPath(path_) + ".yk-before-save-XXXXXX");
  const int fd = ::mkostemp(name.data(), O_CLOEXEC);
  const auto refuse = [&](int err) {
    throw EBackupError("Cannot keep the old bytes of file \"" + path_ + "\" in \"" + folder + "\". " +
                           std::strerror(err),
                       err);
  };
  if (fd < 0) refuse(errno);
  errno = 0;
  const bool copied = CopyBytes(fd_, fd, old_size_) && ::fsync(fd) == 0;
  const int err = errno;
  ::close(fd);
  if (!copied) {
    ::unlink(name.c_str());
    refuse(err ? err : EIO);
  }
  backup_ = name;
}

void TSafeFileWriter::Fail(const std::string& what, const std::string& path, int err) {
  const std::string message = what + " file \"" + path + "\". " + std::strerror(err);
  if (temp_.empty() && !backup_.empty() && fd_ >= 0) {
    if (!RestoreOld()) {
      const std::string kept = std::exchange(backup_, std::string());  // never removed now
      throw EFileDamaged(message, err, kept);
    }
    ::unlink(backup_.c_str());
    backup_.clear();
  }
  throw EFileError(message, err);
}

bool TSafeFileWriter::RestoreOld() noexcept {
  const int fd = ::open(backup_.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return false;
  const bool ok = CopyBytes(fd, fd_, old_size_) && ::ftruncate(fd_, static_cast<off_t>(old_size_)) == 0 &&
                  ::fsync(fd_) == 0;
  ::close(fd);
  if (ok) ::futimens(fd_, old_times_);  // as if it had not been touched
  return ok;
}

void TSafeFileWriter::Write(std::string_view bytes) {
  if (buffer_.size() + bytes.size() > kBufferSize) Flush();
  if (bytes.size() >= kBufferSize)
    WriteAll(bytes);
  else
    buffer_.append(bytes);
}

void TSafeFileWriter::Write(std::string_view bytes, const TTextImage* image) {
  constexpr std::size_t kThroughKernelFrom = 64 << 10;  // shorter runs are copied, as other bytes
  if (!image || image->Fd() < 0 || bytes.size() < kThroughKernelFrom) return Write(bytes);
  Flush();
  off_t at = static_cast<off_t>(bytes.data() - image->Data());
  while (!bytes.empty()) {
    const ssize_t n = ::sendfile(fd_, image->Fd(), &at, bytes.size());
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) break;  // the rest by write, which says what went wrong
    written_ += static_cast<std::uint64_t>(n);
    bytes.remove_prefix(static_cast<std::size_t>(n));
  }
  WriteAll(bytes);
}

void TSafeFileWriter::WriteAll(std::string_view bytes) {
  while (!bytes.empty()) {
    ssize_t n = ::write(fd_, bytes.data(), bytes.size());
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) Fail("Cannot write", temp_.empty() ? path_ : temp_, errno);
    written_ += static_cast<std::uint64_t>(n);
    bytes.remove_prefix(static_cast<std::size_t>(n));
  }
}

void TSafeFileWriter::Flush() {
  WriteAll(buffer_);
  buffer_.clear();
}

void TSafeFileWriter::Commit() {
  Flush();
  if (temp_.empty()) {
    CommitInPlace();
  } else {
    CommitRename();
  }
}

void TSafeFileWriter::CommitInPlace() {
  if (::ftruncate(fd_, static_cast<off_t>(written_)) != 0) Fail("Cannot write", path_, errno);
  if (::fsync(fd_) != 0) Fail("Cannot write", path_, errno);
  committed_ = true;
  const int fd = fd_;
  fd_ = -1;
  ::close(fd);
  if (!backup_.empty()) ::unlink(backup_.c_str());
}

// The owner first: changing it may clear set-id bits that the mode then
// puts back.
void TSafeFileWriter::CommitRename() {
  if (::fsync(fd_) != 0) Fail("Cannot write", temp_, errno);
  struct stat old{};
  if (::stat(path_.c_str(), &old) == 0) {
    // A document is renamed only where its owner and group can be kept; a
    // file under a fixed name (the settings) keeps at least its mode.
    if ((old.st_uid != ::geteuid() || old.st_gid != ::getegid()) && ::fchown(fd_, old.st_uid, old.st_gid) != 0 &&
        !fixed_temp_) {
      Fail("Cannot write", temp_, errno);
    }
    if (::fchmod(fd_, old.st_mode & 07777) != 0) Fail("Cannot write", temp_, errno);
  } else if (::fchmod(fd_, NewFileMode()) != 0) {
    Fail("Cannot write", temp_, errno);
  }
  if (OnBeforeRename) OnBeforeRename();
  // The descriptor, and with it the lock, stays open until the rename: a
  // temporary file nobody holds is a leftover to the next save.
  if (::rename(temp_.c_str(), path_.c_str()) != 0) Fail("Cannot replace", path_, errno);
  committed_ = true;
  const int fd = fd_;
  fd_ = -1;
  ::close(fd);
  SyncDir(DirOfPath(path_));
}

}  // namespace yk
