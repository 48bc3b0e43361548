// Sets the size from which files are loaded into an image, for a scope,
// and tells how much of an image is resident in this process.
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdlib>
#include <fstream>
#include <string>

#include "text/text_image.h"

namespace yk::test {

class ImageThreshold {
 public:
  explicit ImageThreshold(std::size_t bytes) : was_(TTextImage::MinimumSize()) { TTextImage::SetMinimumSize(bytes); }
  ~ImageThreshold() { TTextImage::SetMinimumSize(was_); }
  ImageThreshold(const ImageThreshold&) = delete;
  ImageThreshold& operator=(const ImageThreshold&) = delete;

 private:
  std::size_t was_;
};

// Resident kilobytes of this process's mappings whose name holds `name`
// (an image's memory file is "yomikaki-text"); -1 when there is none.
inline long ResidentKb(const std::string& name) {
  std::ifstream maps("/proc/self/smaps");
  long kb = -1;
  bool inside = false;
  for (std::string line; std::getline(maps, line);) {
    if (line.find('-') < line.find(' ') && line.find_first_of("0123456789abcdef") == 0) {
      inside = line.find(name) != std::string::npos;
      if (inside) kb = std::max(kb, 0L);
    } else if (inside && line.rfind("Rss:", 0) == 0) {
      kb += std::strtol(line.c_str() + 4, nullptr, 10);
    }
  }
  return kb;
}

}  // namespace yk::test
