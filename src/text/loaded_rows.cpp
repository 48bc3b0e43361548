// Rows that stay in the image of the file they were loaded from until they
// change, instead of being copied into the row store's blocks.
#include <algorithm>

#include "text/pointer_string_list.h"
#include "text/row_block.h"

namespace yk {

std::size_t TPointerStringList::ImageBlockCount() const {
  return static_cast<std::size_t>(
      std::count_if(blocks_.begin(), blocks_.end(), [](const auto& blk) { return blk->image != nullptr; }));
}

void TPointerStringList::AttachImage(std::shared_ptr<const TTextImage> image) {
  if (image) images_.push_back(std::move(image));
}

void TPointerStringList::ReleaseImagePages() const {
  for (const auto& image : images_) image->Release(0, image->Size());
}

// A row can stay in the image when it lies there whole and, if it ends a
// line, its line end follows it there (a row cut out of a longer one does
// not qualify): the length of that line end, or kNotInImage.
std::size_t TPointerStringList::ImageEndLength(std::string_view s, std::uint8_t d) const {
  if (images_.empty()) return kNotInImage;
  const TTextImage& image = *images_.back();
  const char* end = s.data() + s.size();
  const char* imageEnd = image.Data() + image.Size();
  if (!image.Contains(s.data()) || end > imageEnd) return kNotInImage;
  switch (d & 0x0F) {
    case raWrapped:
    case raEof:
      return 0;
    case raCrlf:
      if (end == imageEnd || (*end != '\r' && *end != '\n')) return kNotInImage;
      return *end == '\r' && end + 1 < imageEnd && end[1] == '\n' ? 2 : 1;
    default:
      return kNotInImage;
  }
}

}  // namespace yk
