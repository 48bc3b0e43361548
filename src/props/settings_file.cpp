// Locked, atomic replacement of settings files (POSIX).
#include "props/settings_file.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <mutex>
#include <set>
#include <string_view>
#include <tuple>
#include <utility>

#include "text/errors.h"
#include "text/line_end.h"
#include "text/safe_file.h"

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
  throw EFileError(what + " " + path + ": " + std::strerror(err), err);
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

// Keeps the bytes fed to it, less every line (with its line end) longer
// than kMaxSettingsLineLength. A line ends at CR, LF or CR LF, as the INI
// reader reads it.
class TLongLineDropper {
 public:
  explicit TLongLineDropper(const std::string& path) : path_(path) {}
  void Feed(std::string_view piece) {
    for (std::size_t pos = 0; pos < piece.size();) {
      if (after_cr_ && piece[pos] == '\n') {
        if (!dropped_end_) out_.push_back('\n');
        line_start_ = out_.size();
        ++pos;
      }
      after_cr_ = false;
      const std::size_t end = std::min(FindLineEnd(piece, pos), piece.size());
      Take(piece.substr(pos, end - pos));
      if (end == piece.size()) return;
      EndLine(piece[end]);
      pos = end + 1;
    }
  }
  std::string Finish() {
    if (dropping_) Note();
    return std::move(out_);
  }

 private:
  void Take(std::string_view bytes) {
    if (dropping_) {
      dropped_ += bytes.size();
      return;
    }
    out_.append(bytes);
    if (out_.size() - line_start_ <= kMaxSettingsLineLength) return;
    dropped_ = out_.size() - line_start_;
    out_.resize(line_start_);
    dropping_ = true;
  }
  void EndLine(char end) {
    dropped_end_ = dropping_;
    if (dropping_) Note();
    else out_.push_back(end);
    dropping_ = false;
    after_cr_ = end == '\r';
    line_start_ = out_.size();
    ++line_;
  }
  // Once per file, line and size: the file is read again at every change.
  void Note() const {
    static std::mutex lock;
    static std::set<std::tuple<std::string, std::size_t, std::size_t>> noted;
    const std::lock_guard<std::mutex> hold(lock);
    if (!noted.emplace(path_, line_, dropped_).second) return;
    std::fprintf(stderr, "yomikaki: %s: line %zu of %zu bytes ignored (longer than %zu bytes)\n", path_.c_str(),
                 line_, dropped_, kMaxSettingsLineLength);
  }

  const std::string& path_;
  std::string out_;
  std::size_t line_start_ = 0;  // where the current line starts in out_
  std::size_t line_ = 1;
  std::size_t dropped_ = 0;  // bytes of the line being dropped
  bool dropping_ = false;
  bool dropped_end_ = false;  // the last line end was a dropped line's
  bool after_cr_ = false;     // an LF next ends the same line
};

std::string ReadAll(int fd, const std::string& path) {
  struct stat st {};
  if (::fstat(fd, &st) != 0) Fail("Cannot read", path, errno);
  // A FIFO or device would block the reader or never end: only a regular
  // file holds settings.
  if (!S_ISREG(st.st_mode)) throw EFileError("Not a regular file: " + path, S_ISDIR(st.st_mode) ? EISDIR : EINVAL);
  if (static_cast<unsigned long long>(st.st_size) > kMaxSettingsFileSize)
    throw EFileError("File too large: " + path, EFBIG);
  TLongLineDropper kept(path);
  std::size_t total = 0;
  char buf[65536];
  for (;;) {
    ssize_t n = ::read(fd, buf, sizeof buf);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) Fail("Cannot read", path, errno);
    if (n == 0) break;
    total += static_cast<std::size_t>(n);
    if (total > kMaxSettingsFileSize) throw EFileError("File too large: " + path, EFBIG);
    kept.Feed(std::string_view(buf, static_cast<std::size_t>(n)));
  }
  return kept.Finish();
}

// Opens and locks the file that path names now. A writer that waited for
// the lock may find that the previous holder renamed a new file over the
// one it locked; it then locks the new one.
int OpenLocked(const std::string& path, bool create) {
  for (;;) {
    TFd fd(::open(path.c_str(), O_RDWR | O_CLOEXEC | O_NONBLOCK | O_NOCTTY | (create ? O_CREAT : 0), 0666));
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


std::string TempPathFor(const std::string& path) {
  const std::size_t slash = path.rfind('/');
  const std::string base = slash == std::string::npos ? path : path.substr(slash + 1);
  const std::string dir = DirOfPath(path);
  return (dir == "/" ? "" : dir) + "/." + base + ".yk-tmp";
}

// Writes bytes beside the locked file and renames them over it, keeping its
// permissions and owner; the fixed temporary name is safe under the lock.
void Replace(const std::string& path, const std::string& bytes) {
  TSafeFileWriter out(path, TempPathFor(path));
  const std::string_view all(bytes);
  out.Write(all.substr(0, all.size() / 2));
  CallHook("partial");
  out.Write(all.substr(all.size() / 2));
  out.OnBeforeRename = [] { CallHook("before-rename"); };
  out.Commit();
}

}  // namespace

std::optional<std::string> ReadSettingsFile(const std::string& path) {
  // Opened without waiting, so that a FIFO in the file's place cannot hang
  // the program; ReadAll then refuses it.
  TFd fd(::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY));
  if (fd.Get() < 0) {
    if (errno == ENOENT || errno == ENOTDIR) return std::nullopt;
    Fail("Cannot open", path, errno);
  }
  return ReadAll(fd.Get(), path);
}

void EditSettingsFile(const std::string& raw_path, const TFileEdit& edit) {
  const std::string path = ResolveLink(raw_path);
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
  if (next->size() > kMaxSettingsFileSize) throw EFileError("File too large: " + path, EFBIG);
  Replace(path, *next);
}

void SetSettingsFileWriteHook(std::function<void(const char* stage)> hook) { WriteHook() = std::move(hook); }

}  // namespace yk
