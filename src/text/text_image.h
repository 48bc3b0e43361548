// The bytes of a large loaded file, owned by this process, so that its rows
// need not be copied one by one into the row store and no other program's
// change to the file can ever reach them.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

namespace yk {

// The file is read with pread (which cannot fault, whatever happens to the
// file meanwhile) into a private memory file that is mapped read-only and
// sealed against shrinking, so reading the image never faults either. No
// lease is taken and the file itself is never mapped: other programs may
// open, write and truncate it at any time, also while this process is
// stopped, and never wait for it. Where no memory file can be made the
// image is plain private memory.
class TTextImage {
 public:
  // An image of size bytes (more than 0) to be filled; null when the
  // memory cannot be had.
  static std::shared_ptr<TTextImage> Create(std::size_t size);
  ~TTextImage();
  TTextImage(const TTextImage&) = delete;
  TTextImage& operator=(const TTextImage&) = delete;

  const char* Data() const { return data_; }
  std::size_t Size() const { return size_; }
  bool Contains(const char* p) const { return p >= data_ && p < data_ + size_; }
  // The memory file that holds the bytes, at the same offsets; -1 for
  // private memory.
  int Fd() const { return fd_; }

  // Copies the file's bytes [from, to) (open on fd) to the same offsets of
  // the image. Returns how many were copied: fewer when the file ended
  // first (it was shortened meanwhile); -1 with errno when a read failed.
  // Threads may fill disjoint ranges at once.
  std::int64_t Fill(int fd, std::size_t from, std::size_t to);
  // Called once filling is done: from then on the image never changes.
  void Seal();
  // Appends bytes [at, at + n) of the image to out, read from the memory
  // file, so that none of its pages are mapped into this process (on some
  // virtual machines mapping a page again costs more than copying it);
  // false, out as it was, when that cannot be done (private memory, a
  // failed read).
  bool AppendTo(std::size_t at, std::size_t n, std::string& out) const;

  // Lets the pages of [from, to) leave this process's resident set where
  // that keeps the bytes (a memory file keeps them; private memory is never
  // given back, as it is the only copy).
  void Release(std::size_t from, std::size_t to) const;

  // Files of at least this many bytes are loaded into an image; tests lower
  // it to exercise image rows with small files.
  static std::size_t MinimumSize();
  static void SetMinimumSize(std::size_t bytes);
  // Whether a memory file is filled by splice where the file allows it (the
  // plain copy serves otherwise); tests switch it off to check the other.
  static void SetSpliceAllowed(bool allowed);

 private:
  TTextImage(int fd, char* data, std::size_t size) : fd_(fd), data_(data), size_(size) {}

  int fd_;  // the memory file; -1 for private memory
  char* data_;
  std::size_t size_;
};

}  // namespace yk
