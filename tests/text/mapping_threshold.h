// Sets the size from which files are loaded through a mapping, for a scope.
#pragma once

#include <cstddef>

#include "text/file_mapping.h"

namespace yk::test {

class MappingThreshold {
 public:
  explicit MappingThreshold(std::size_t bytes) : was_(TFileMapping::MinimumSize()) { TFileMapping::SetMinimumSize(bytes); }
  ~MappingThreshold() { TFileMapping::SetMinimumSize(was_); }
  MappingThreshold(const MappingThreshold&) = delete;
  MappingThreshold& operator=(const MappingThreshold&) = delete;

 private:
  std::size_t was_;
};

}  // namespace yk::test
