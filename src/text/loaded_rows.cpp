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

const TTextImage* TPointerStringList::ImageHolding(const char* p, std::size_t n) const {
  for (const auto& image : images_)
    if (image->Contains(p) && n <= static_cast<std::size_t>(image->Data() + image->Size() - p)) return image.get();
  return nullptr;
}

int TPointerStringList::AppendRowsOfBlock(int i, int count, std::string& out) const {
  if (i < 0 || i >= count_ || count <= 0) return 0;
  const Locator at = Locate(i);
  const TRowBlock& blk = *blocks_[at.block];
  const std::size_t from = at.index, to = std::min(blk.Rows(), from + static_cast<std::size_t>(count));
  const int appended = static_cast<int>(to - from);
  if (blk.image) {
    bool crlf = true;
    for (std::size_t k = from; k < to && crlf; ++k) crlf = !IsCrlf(blk.data[k]) || blk.pairEnds[k];
    const std::size_t begin = blk.Begin(from), end = blk.Begin(to);
    const TTextImage* in = ImageHolding(blk.image + begin, end - begin);
    if (crlf && in && in->AppendTo(static_cast<std::size_t>(blk.image + begin - in->Data()), end - begin, out))
      return appended;
  }
  for (std::size_t k = from; k < to; ++k) {
    out.append(blk.RowView(k));
    if (IsCrlf(blk.data[k])) out.append("\r\n");
  }
  return appended;
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
