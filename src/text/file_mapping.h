// A large file's bytes mapped read-only, so a document loaded from it need
// not hold a second copy of text the page cache already holds.
#pragma once

#include <cstddef>
#include <memory>
#include <string>

namespace yk {

// A mapping is only made while the file is protected against change: the
// process holds a read lease on it, so another program that opens it for
// writing or truncates it waits until this process has copied the bytes
// into memory of its own (at the same addresses) and let the lease go.
// The text of a loaded document thus never changes under it and never
// vanishes, whatever happens to the file afterwards.
class TFileMapping {
 public:
  // Maps the regular file open (read-only) on fd, or returns null when it
  // is smaller than MinimumSize or cannot be mapped safely (no lease to be
  // had: another program has the file open for writing, the file system
  // has no leases). fd stays the caller's: the mapping keeps a duplicate.
  static std::shared_ptr<TFileMapping> Map(int fd);
  ~TFileMapping();
  TFileMapping(const TFileMapping&) = delete;
  TFileMapping& operator=(const TFileMapping&) = delete;

  const char* Data() const { return data_; }
  std::size_t Size() const { return size_; }
  bool Contains(const char* p) const { return p >= data_ && p < data_ + size_; }

  // Lets the pages of [from, to) leave this process's resident set: they
  // stay in the page cache and come back on the next read.
  void Release(std::size_t from, std::size_t to) const;
  // Copies the bytes into private memory now, as a lease break does; for
  // tests, and for callers that are about to change the file themselves.
  void Detach();
  bool Detached() const;

  // Files of at least this many bytes are loaded through a mapping; tests
  // lower it to exercise the mapped rows with small files.
  static std::size_t MinimumSize();
  static void SetMinimumSize(std::size_t bytes);

  // The kernel's word that another program wants to write the file open on
  // fd: every mapping of it is detached. Called by the thread that hears it.
  static void LeaseBroken(int fd);

 private:
  TFileMapping(int fd, char* data, std::size_t size);
  void DetachLocked();

  int fd_;
  char* data_;
  std::size_t size_;
  bool detached_ = false;
};

}  // namespace yk
