// The exception types of the core. Messages are CP932 byte strings.
#pragma once

#include <stdexcept>
#include <string>

namespace yk {

// The general error: the message is shown as it stands.
class Exception : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// A row or list index outside the list ("List index out of bounds (n)").
class EStringListError : public Exception {
 public:
  using Exception::Exception;
};

// An object asked to copy itself from an object of an unrelated class.
class EAssignError : public Exception {
 public:
  using Exception::Exception;
};

// A file that cannot be opened, read or written; the message names it.
// Error() is the system's error number where one caused it (0 if not), so
// that a caller can tell the user why in words of its own.
class EFileError : public Exception {
 public:
  using Exception::Exception;
  EFileError(const std::string& message, int error) : Exception(message), error_(error) {}
  int Error() const noexcept { return error_; }

 private:
  int error_ = 0;
};

}  // namespace yk
