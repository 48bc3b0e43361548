// Images of loaded files: a sealed memory file (Linux), else private memory.
#include "text/text_image.h"

#include <fcntl.h>
#include <sys/mman.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <system_error>
#include <thread>

namespace yk {

namespace {

std::atomic<std::size_t> minimum_size{4u << 20};

std::size_t PageSize() {
  static const std::size_t size = static_cast<std::size_t>(::sysconf(_SC_PAGESIZE));
  return size;
}

// A memory file of size bytes mapped read-only, or -1 (nothing made).
int MemoryFile(std::size_t size, void*& data) {
  const int fd = ::memfd_create("yomikaki-text", MFD_CLOEXEC | MFD_ALLOW_SEALING);
  if (fd < 0) return -1;
  if (::ftruncate(fd, static_cast<off_t>(size)) == 0) {
    data = ::mmap(nullptr, size, PROT_READ, MAP_SHARED, fd, 0);
    if (data != MAP_FAILED) return fd;
  }
  ::close(fd);
  return -1;
}

// pread that goes on after an interruption; fewer bytes only at the end of
// the file.
std::int64_t ReadAt(int fd, char* to, std::size_t n, std::size_t offset) {
  std::size_t done = 0;
  while (done < n) {
    const ssize_t got = ::pread(fd, to + done, n - done, static_cast<off_t>(offset + done));
    if (got < 0 && errno == EINTR) continue;
    if (got < 0) return -1;
    if (got == 0) break;
    done += static_cast<std::size_t>(got);
  }
  return static_cast<std::int64_t>(done);
}

std::atomic<bool> splice_allowed{true};

// Copies [from, to) of the file in to the same offsets of the memory file
// out through a pipe: the kernel moves the file's cached pages into the
// pipe and copies them once into the memory file, where pread and pwrite
// copy twice. Returns the number copied (fewer when the file ended first),
// -1 with errno on a failure, or -2 when splice cannot join these files
// (nothing was copied then).
std::int64_t SpliceAt(int in, int out, std::size_t from, std::size_t to) {
  int pipe_fds[2];
  if (!splice_allowed.load() || ::pipe2(pipe_fds, O_CLOEXEC) != 0) return -2;
  ::fcntl(pipe_fds[1], F_SETPIPE_SZ, 1 << 20);  // fewer rounds; the default size works too
  loff_t in_at = static_cast<loff_t>(from), out_at = in_at;
  std::int64_t result = 0;
  while (result == 0 && static_cast<std::size_t>(in_at) < to) {
    ssize_t got = ::splice(in, &in_at, pipe_fds[1], nullptr, to - static_cast<std::size_t>(in_at), SPLICE_F_MOVE);
    if (got < 0 && errno == EINTR) continue;
    if (got < 0) {
      const bool unsupported = static_cast<std::size_t>(in_at) == from && (errno == EINVAL || errno == ENOSYS);
      result = unsupported ? -2 : -1;
    }
    if (got <= 0) break;  // 0: the file ended early
    while (got > 0) {
      const ssize_t put = ::splice(pipe_fds[0], nullptr, out, &out_at, static_cast<std::size_t>(got), SPLICE_F_MOVE);
      if (put < 0 && errno == EINTR) continue;
      if (put <= 0) {
        if (put == 0) errno = EIO;
        result = -1;
        break;
      }
      got -= put;
    }
  }
  const int error = errno;
  ::close(pipe_fds[0]);
  ::close(pipe_fds[1]);
  errno = error;
  return result < 0 ? result : static_cast<std::int64_t>(in_at) - static_cast<std::int64_t>(from);
}

}  // namespace

void TTextImage::SetSpliceAllowed(bool allowed) { splice_allowed.store(allowed); }

std::size_t TTextImage::MinimumSize() { return minimum_size.load(); }
void TTextImage::SetMinimumSize(std::size_t bytes) { minimum_size.store(bytes); }

std::shared_ptr<TTextImage> TTextImage::Create(std::size_t size) {
  if (size == 0) return nullptr;
  void* data = nullptr;
  const int fd = MemoryFile(size, data);
  if (fd >= 0) return std::shared_ptr<TTextImage>(new TTextImage(fd, static_cast<char*>(data), size));
  data = ::mmap(nullptr, size, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
  if (data == MAP_FAILED) return nullptr;
  ::madvise(data, size, MADV_HUGEPAGE);  // fewer page faults while it is filled
  return std::shared_ptr<TTextImage>(new TTextImage(-1, static_cast<char*>(data), size));
}

// Giving back the pages of a large image takes a while (tens of
// milliseconds for 100 MB): it is done aside, so closing or replacing a
// document does not wait for it. Nothing reads the image any more.
TTextImage::~TTextImage() {
  auto release = [data = data_, size = size_, fd = fd_] {
    ::munmap(data, size);
    if (fd >= 0) ::close(fd);
  };
  constexpr std::size_t kAsideFrom = 16u << 20;
  if (size_ >= kAsideFrom) {
    try {
      std::thread(release).detach();
      return;
    } catch (const std::system_error&) {
    }
  }
  release();
}

// Into a memory file the bytes go by splice, else by pwrite from a small
// buffer: either way the kernel makes its pages without a page fault for
// each of them.
std::int64_t TTextImage::Fill(int fd, std::size_t from, std::size_t to) {
  to = std::min(to, size_);
  if (from >= to) return 0;
  if (fd_ < 0) return ReadAt(fd, data_ + from, to - from, from);
  if (const std::int64_t spliced = SpliceAt(fd, fd_, from, to); spliced != -2) return spliced;
  constexpr std::size_t kBuffer = 256 << 10;
  std::unique_ptr<char[]> buffer(new char[kBuffer]);
  std::size_t done = 0;
  while (from + done < to) {
    const std::size_t want = std::min(kBuffer, to - from - done);
    const std::int64_t got = ReadAt(fd, buffer.get(), want, from + done);
    if (got < 0) return -1;
    for (std::size_t put = 0; put < static_cast<std::size_t>(got);) {
      const ssize_t n = ::pwrite(fd_, buffer.get() + put, static_cast<std::size_t>(got) - put,
                                 static_cast<off_t>(from + done + put));
      if (n < 0 && errno == EINTR) continue;
      if (n <= 0) return -1;
      put += static_cast<std::size_t>(n);
    }
    done += static_cast<std::size_t>(got);
    if (static_cast<std::size_t>(got) < want) break;  // the file ended early
  }
  return static_cast<std::int64_t>(done);
}

void TTextImage::Seal() {
  if (fd_ >= 0)
    ::fcntl(fd_, F_ADD_SEALS, F_SEAL_SHRINK | F_SEAL_GROW | F_SEAL_WRITE | F_SEAL_SEAL);
  else
    ::mprotect(data_, size_, PROT_READ);
}

bool TTextImage::AppendTo(std::size_t at, std::size_t n, std::string& out) const {
  if (fd_ < 0 || at > size_ || n > size_ - at) return false;
  const std::size_t old = out.size();
  out.resize(old + n);
  if (ReadAt(fd_, out.data() + old, n, at) == static_cast<std::int64_t>(n)) return true;
  out.resize(old);
  return false;
}

void TTextImage::Release(std::size_t from, std::size_t to) const {
  if (fd_ < 0) return;
  const std::size_t page = PageSize();
  from = (from + page - 1) / page * page;
  to = std::min(to, size_) / page * page;
  if (from < to) ::madvise(data_ + from, to - from, MADV_DONTNEED);
}

}  // namespace yk
