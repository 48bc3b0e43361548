// Reading a file's beginning for the preview.
#include "shell/file_preview.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include "text/cp932.h"

namespace yk {

namespace {

struct TFd {
  int fd = -1;
  ~TFd() {
    if (fd >= 0) ::close(fd);
  }
};

TLoadProblem ProblemOfMode(mode_t mode) {
  if (S_ISDIR(mode)) return TLoadProblem::Folder;
  if (!S_ISREG(mode)) return TLoadProblem::NotRegular;
  return TLoadProblem::None;
}

TLoadProblem ProblemOfOpen(int error) {
  if (error == EACCES || error == EPERM) return TLoadProblem::NoPermission;
  if (error == ENOENT || error == ENOTDIR || error == ENAMETOOLONG) return TLoadProblem::NotFound;
  return TLoadProblem::Unreadable;
}

}  // namespace

TFilePrefix ReadFilePrefix(const std::string& path, std::size_t max) {
  TFilePrefix result;
  // O_NONBLOCK: a FIFO opens at once instead of waiting for a writer; the
  // fstat below then refuses it before anything is read.
  TFd file{::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC)};
  if (file.fd < 0) {
    result.Problem = ProblemOfOpen(errno);
    return result;
  }
  struct stat st{};
  if (::fstat(file.fd, &st) != 0) {
    result.Problem = TLoadProblem::Unreadable;
    return result;
  }
  if ((result.Problem = ProblemOfMode(st.st_mode)) != TLoadProblem::None) return result;
  const auto size = static_cast<std::size_t>(st.st_size);
  result.Bytes.resize(std::min(size, max));
  std::size_t got = 0;
  while (got < result.Bytes.size()) {
    const ssize_t n = ::read(file.fd, result.Bytes.data() + got, result.Bytes.size() - got);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) {
      result = {TLoadProblem::Unreadable, {}, false};
      return result;
    }
    if (n == 0) break;  // the file shrank meanwhile
    got += static_cast<std::size_t>(n);
  }
  result.Bytes.resize(got);
  char probe = 0;
  result.Truncated = got == max && ::read(file.fd, &probe, 1) == 1;
  return result;
}

std::string_view PreviewText(std::string_view bytes, bool truncated) {
  if (const std::size_t z = bytes.find('\x1a'); z != std::string_view::npos) return bytes.substr(0, z);
  if (!truncated || bytes.empty()) return bytes;
  // CR and LF are never part of a two-byte character, so a cut after one
  // splits nothing.
  if (const std::size_t end = bytes.find_last_of("\r\n"); end != std::string_view::npos)
    return bytes.substr(0, end + 1);
  const std::size_t last = bytes.size() - 1;
  if (cp932::CharStart(bytes, last) == last && cp932::IsLeadByte(bytes[last])) return bytes.substr(0, last);
  return bytes;
}

TDecodedText DecodePreview(std::string_view bytes, bool truncated) {
  // A cut character at the end would make UTF-8 look malformed: detection
  // looks only as far as the last LF, which no multi-byte character holds.
  std::string_view whole = bytes;
  if (truncated) {
    if (const std::size_t lf = bytes.rfind('\n'); lf != std::string_view::npos) whole = bytes.substr(0, lf + 1);
  }
  const TTextEncoding encoding = DetectEncoding(whole);
  if (encoding == teCp932) {
    TDecodedText d;
    d.bytes.assign(PreviewText(bytes, truncated));
    return d;
  }
  TDecodedText d = DecodeTextAs(bytes, encoding);
  if (truncated && !d.bytes.empty()) d.bytes.resize(PreviewText(d.bytes, true).size());
  return d;
}

}  // namespace yk
