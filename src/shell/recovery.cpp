// Recovery snapshot names, their folder, atomic private writes and claims.
#include "shell/recovery.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <random>

#include "shell/file_names.h"
#include "shell/version_history.h"
#include "text/errors.h"

namespace yk {

namespace {

// Room left for the document's name: prefix, hash, token and dashes take
// at most 60 bytes, file systems allow 255.
constexpr std::size_t kMaxNamePart = 160;

std::uint64_t Fnv1a(std::string_view bytes) {
  std::uint64_t hash = 0xcbf29ce484222325ULL;
  for (const char c : bytes) {
    hash ^= static_cast<unsigned char>(c);
    hash *= 0x100000001b3ULL;
  }
  return hash;
}

std::string Hex16(std::uint64_t value) {
  char buffer[17];
  std::snprintf(buffer, sizeof buffer, "%016llx", static_cast<unsigned long long>(value));
  return buffer;
}

// Cut at most max bytes from the front, never inside a UTF-8 sequence (the
// usual file-name encoding); other bytes are cut where they fall.
std::string_view CutName(std::string_view name, std::size_t max) {
  if (name.size() <= max) return name;
  std::size_t end = max;
  while (end > 0 && (static_cast<unsigned char>(name[end]) & 0xC0) == 0x80) --end;
  return name.substr(0, end);
}

std::string InFolder(const std::string& folder, std::string_view name) {
  std::string path = folder;
  if (path.empty() || path.back() != '/') path += '/';
  return path.append(name);
}

std::string PathPrefix(const std::string& documentPath) {
  return std::string(kRecoveryPrefix) + Hex16(Fnv1a(documentPath)) + '-';
}

// Regular files in folder whose names start with prefix, sorted by name.
std::vector<std::string> FilesStarting(const std::string& folder, std::string_view prefix) {
  std::vector<std::string> files;
  std::error_code ec;
  for (std::filesystem::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
    const std::string name = it->path().filename().string();
    if (name.rfind(prefix, 0) != 0) continue;
    std::error_code type_error;
    if (!it->is_regular_file(type_error) || type_error) continue;
    files.push_back(it->path().string());
  }
  std::sort(files.begin(), files.end());
  return files;
}

[[noreturn]] void Fail(const std::string& what, const std::string& path, int error) {
  throw EFileError(what + " " + path + ": " + std::strerror(error), error);
}

void WriteAll(int fd, std::string_view bytes, const std::string& path) {
  while (!bytes.empty()) {
    const ssize_t n = ::write(fd, bytes.data(), std::min<std::size_t>(bytes.size(), 1 << 20));
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) Fail("Cannot write", path, n < 0 ? errno : ENOSPC);
    bytes.remove_prefix(static_cast<std::size_t>(n));
  }
}

void SyncFolder(const std::string& folder) {
  const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return;
  ::fsync(fd);
  ::close(fd);
}

}  // namespace

std::string RecoveryWindowToken(std::uint64_t startMs, std::int64_t pid) {
  return Hex16(startMs) + '-' + std::to_string(pid);
}

std::string RecoveryFileName(const std::string& folder, const std::string& documentPath, std::string_view token) {
  std::string name = PathPrefix(documentPath);
  name.append(token);
  name += '-';
  name += CutName(NameOf(documentPath), kMaxNamePart);
  return InFolder(folder, name);
}

std::string RecoveryFileName(const std::string& folder, const std::string& documentPath) {
  return InFolder(folder, PathPrefix(documentPath) + std::string(CutName(NameOf(documentPath), kMaxNamePart)));
}

std::string UntitledRecoveryFileName(const std::string& folder, std::uint64_t stampMs, std::int64_t pid) {
  return InFolder(folder, std::string(kUntitledRecoveryPrefix) + RecoveryWindowToken(stampMs, pid));
}

std::string RecoveryCopyFileName(const std::string& folder, std::string_view token, std::uint64_t generation) {
  return InFolder(folder, std::string(kRecoveryCopyPrefix) + std::string(token) + '-' + std::to_string(generation));
}

std::vector<std::string> UntitledRecoveryFiles(const std::string& folder) {
  return FilesStarting(folder, kUntitledRecoveryPrefix);
}

std::vector<std::string> RecoveryFilesOf(const std::string& folder, const std::string& documentPath) {
  std::vector<std::string> files = FilesStarting(folder, PathPrefix(documentPath));
  std::reverse(files.begin(), files.end());  // the token's time sorts them
  return files;
}

std::string PrepareRecoveryFolder(const std::string& settingsPath) {
  const std::string folder = VersionFolder(settingsPath);
  if (::mkdir(folder.c_str(), 0700) != 0 && errno != EEXIST) Fail("Cannot create", folder, errno);
  struct stat st{};
  if (::stat(folder.c_str(), &st) != 0) Fail("Cannot create", folder, errno);
  if (!S_ISDIR(st.st_mode)) throw EFileError("Cannot create " + folder + ": not a folder", ENOTDIR);
  if (st.st_uid != ::geteuid()) throw EFileError("Cannot use " + folder + ": it belongs to another user");
  // Made by an older version, by hand or under another umask: closed now.
  if ((st.st_mode & 07777) != 0700 && ::chmod(folder.c_str(), 0700) != 0) Fail("Cannot protect", folder, errno);
  return folder;
}

int WritePrivateFile(const std::string& path, std::string_view bytes, bool keepLocked) {
  std::string temp;
  int fd = -1;
  std::random_device random;
  for (int attempt = 0; fd < 0; ++attempt) {
    temp = path + ".tmp" + Hex16((std::uint64_t{random()} << 32) | random()).substr(8);
    fd = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
    if (fd < 0 && (errno != EEXIST || attempt > 8)) Fail("Cannot create", temp, errno);
  }
  try {
    WriteAll(fd, bytes, temp);
    if (::fsync(fd) != 0) Fail("Cannot write", temp, errno);
    if (keepLocked && ::flock(fd, LOCK_EX | LOCK_NB) != 0) Fail("Cannot lock", temp, errno);
    if (::rename(temp.c_str(), path.c_str()) != 0) Fail("Cannot rename to", path, errno);
  } catch (...) {
    ::close(fd);
    ::unlink(temp.c_str());
    throw;
  }
  SyncFolder(FolderOf(path).empty() ? "." : FolderOf(path));
  if (keepLocked) return fd;
  ::close(fd);
  return -1;
}

// --- claims ----------------------------------------------------------------------

std::optional<TClaimedSnapshot> TClaimedSnapshot::Claim(const std::string& path) {
  // A writer replaces its snapshot by renaming a new, locked file over it:
  // a lock won on the old file is checked against what the name holds now.
  for (int attempt = 0; attempt < 4; ++attempt) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK);
    if (fd < 0) return std::nullopt;
    struct stat held{};
    struct stat named{};
    if (::fstat(fd, &held) != 0 || !S_ISREG(held.st_mode) || ::flock(fd, LOCK_EX | LOCK_NB) != 0) {
      ::close(fd);
      return std::nullopt;
    }
    if (::stat(path.c_str(), &named) == 0 && named.st_dev == held.st_dev && named.st_ino == held.st_ino)
      return TClaimedSnapshot(path, fd);
    ::close(fd);
  }
  return std::nullopt;
}

TClaimedSnapshot& TClaimedSnapshot::operator=(TClaimedSnapshot&& o) noexcept {
  if (this != &o) {
    if (fd_ >= 0) ::close(fd_);
    path_ = std::move(o.path_);
    fd_ = o.fd_;
    o.fd_ = -1;
  }
  return *this;
}

TClaimedSnapshot::~TClaimedSnapshot() {
  if (fd_ >= 0) ::close(fd_);
}

std::string TClaimedSnapshot::Read() const {
  std::string bytes;
  char buffer[1 << 16];
  for (off_t at = 0;;) {
    const ssize_t n = ::pread(fd_, buffer, sizeof buffer, at);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) Fail("Cannot read", path_, errno);
    if (n == 0) return bytes;
    bytes.append(buffer, static_cast<std::size_t>(n));
    at += n;
  }
}

void TClaimedSnapshot::Remove() {
  struct stat held{};
  struct stat named{};
  if (fd_ >= 0 && ::fstat(fd_, &held) == 0 && ::stat(path_.c_str(), &named) == 0 && named.st_dev == held.st_dev &&
      named.st_ino == held.st_ino)
    ::unlink(path_.c_str());
  if (fd_ >= 0) ::close(fd_);
  fd_ = -1;
}

}  // namespace yk
