// Read-only file mappings kept safe by read leases (Linux).
#include "text/file_mapping.h"

#include <fcntl.h>
#include <pthread.h>
#include <signal.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cstdint>
#include <cstring>
#include <future>
#include <mutex>
#include <thread>
#include <vector>

namespace yk {

namespace {

std::atomic<std::size_t> minimum_size{4u << 20};

// Guards the list of live mappings and every change of their bytes. Never
// destroyed: the watcher thread may still use them while the process ends.
std::mutex& RegistryMutex() {
  static auto* m = new std::mutex;
  return *m;
}

std::vector<TFileMapping*>& Registry() {
  static auto* live = new std::vector<TFileMapping*>;
  return *live;
}

int LeaseSignal() { return SIGRTMIN + 4; }

void IgnoreSignal(int) {}

// The thread that hears of lease breaks: the kernel sends each break to it
// alone, and it copies the file's bytes while the writer waits. Started
// once; 0 when it cannot be.
pid_t WatcherThread() {
  static const pid_t tid = [] {
    // Should a break ever reach another thread, it is harmless there.
    struct sigaction quiet {};
    quiet.sa_handler = IgnoreSignal;
    sigemptyset(&quiet.sa_mask);
    if (::sigaction(LeaseSignal(), &quiet, nullptr) != 0) return pid_t{0};
    auto ready = std::make_shared<std::promise<pid_t>>();
    std::future<pid_t> started = ready->get_future();
    try {
      std::thread([ready] {
        sigset_t set;
        sigemptyset(&set);
        sigaddset(&set, LeaseSignal());
        ::pthread_sigmask(SIG_BLOCK, &set, nullptr);
        ready->set_value(static_cast<pid_t>(::syscall(SYS_gettid)));
        for (;;) {
          siginfo_t info{};
          if (::sigwaitinfo(&set, &info) == LeaseSignal()) TFileMapping::LeaseBroken(info.si_fd);
        }
      }).detach();
    } catch (const std::system_error&) {
      return pid_t{0};
    }
    return started.get();
  }();
  return tid;
}

std::size_t PageSize() {
  static const std::size_t size = static_cast<std::size_t>(::sysconf(_SC_PAGESIZE));
  return size;
}

}  // namespace

std::size_t TFileMapping::MinimumSize() { return minimum_size.load(); }
void TFileMapping::SetMinimumSize(std::size_t bytes) { minimum_size.store(bytes); }

void TFileMapping::LeaseBroken(int fd) {
  std::lock_guard<std::mutex> lock(RegistryMutex());
  for (TFileMapping* m : Registry())
    if (m->fd_ == fd) m->DetachLocked();
}

TFileMapping::TFileMapping(int fd, char* data, std::size_t size) : fd_(fd), data_(data), size_(size) {}

std::shared_ptr<TFileMapping> TFileMapping::Map(int callerFd) {
  struct stat st {};
  if (::fstat(callerFd, &st) != 0 || !S_ISREG(st.st_mode) || st.st_size <= 0 ||
      static_cast<std::uint64_t>(st.st_size) < MinimumSize())
    return nullptr;
  if ((::fcntl(callerFd, F_GETFL) & O_ACCMODE) != O_RDONLY) return nullptr;  // no read lease otherwise
  const pid_t watcher = WatcherThread();
  if (watcher == 0) return nullptr;
  const int fd = ::fcntl(callerFd, F_DUPFD_CLOEXEC, 0);
  if (fd < 0) return nullptr;
  std::lock_guard<std::mutex> lock(RegistryMutex());
  f_owner_ex owner{F_OWNER_TID, watcher};
  if (::fcntl(fd, F_SETSIG, LeaseSignal()) != 0 || ::fcntl(fd, F_SETOWN_EX, &owner) != 0 ||
      ::fcntl(fd, F_SETLEASE, F_RDLCK) != 0) {
    ::close(fd);
    return nullptr;
  }
  // Measured again under the lease: nobody can change the size now.
  if (::fstat(fd, &st) != 0 || st.st_size <= 0) {
    ::close(fd);  // closing lets the lease go
    return nullptr;
  }
  const std::size_t size = static_cast<std::size_t>(st.st_size);
  void* p = ::mmap(nullptr, size, PROT_READ, MAP_PRIVATE, fd, 0);
  if (p == MAP_FAILED) {
    ::close(fd);
    return nullptr;
  }
  std::shared_ptr<TFileMapping> mapping(new TFileMapping(fd, static_cast<char*>(p), size));
  Registry().push_back(mapping.get());
  return mapping;
}

TFileMapping::~TFileMapping() {
  std::lock_guard<std::mutex> lock(RegistryMutex());
  std::erase(Registry(), this);
  ::munmap(data_, size_);
  if (fd_ >= 0) ::close(fd_);
}

void TFileMapping::Release(std::size_t from, std::size_t to) const {
  const std::size_t page = PageSize();
  from = (from + page - 1) / page * page;
  to = std::min(to, size_) / page * page;
  if (from >= to) return;
  std::lock_guard<std::mutex> lock(RegistryMutex());
  // Once detached the pages are this process's only copy: never drop them.
  if (!detached_) ::madvise(data_ + from, to - from, MADV_DONTNEED);
}

void TFileMapping::Detach() {
  std::lock_guard<std::mutex> lock(RegistryMutex());
  DetachLocked();
}

bool TFileMapping::Detached() const {
  std::lock_guard<std::mutex> lock(RegistryMutex());
  return detached_;
}

// Puts a private copy of the bytes in place of the file's pages, at the
// same addresses, so every view of the text stays valid and unchanged;
// then the lease goes and the writer may go on.
void TFileMapping::DetachLocked() {
  if (detached_) return;
  void* copy = ::mmap(nullptr, size_, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
  if (copy != MAP_FAILED) {
    std::memcpy(copy, data_, size_);
    ::mprotect(copy, size_, PROT_READ);
    if (::mremap(copy, size_, size_, MREMAP_MAYMOVE | MREMAP_FIXED, data_) == MAP_FAILED) ::munmap(copy, size_);
  }
  ::close(fd_);  // lets the lease go
  fd_ = -1;
  detached_ = true;
}

}  // namespace yk
