// Sets the size from which files are loaded into an image, for a scope.
#pragma once

#include <cstddef>

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

}  // namespace yk::test
