// The cache of pre-drawn character cells.
#include "qt/glyph_cells.h"

namespace yk {

std::size_t TGlyphCells::THash::operator()(const TKey& k) const {
  std::uint64_t h = k.face * 0x9E3779B97F4A7C15ull;
  for (std::uint64_t v : {std::uint64_t{k.c}, std::uint64_t{k.color}, std::uint64_t{k.background},
                          std::uint64_t(k.cells) << 32 | std::uint32_t(k.cellWidth),
                          std::uint64_t(k.height) << 32 | std::uint32_t(k.format)})
    h = (h ^ v) * 0x100000001B3ull + (h >> 29);
  return static_cast<std::size_t>(h);
}

const QImage* TGlyphCells::Find(const TKey& key, bool& known) const {
  const auto it = cells_.find(key);
  known = it != cells_.end();
  return known && !it->second.isNull() ? &it->second : nullptr;
}

namespace {

// Whether any pixel of the margin around the cells differs from the
// background: the character spills into its neighbours.
bool Spills(const QImage& padded, int margin, QRgb background) {
  const int width = padded.width(), height = padded.height();
  for (int y = 0; y < height; ++y) {
    const QRgb* line = reinterpret_cast<const QRgb*>(padded.constScanLine(y));
    const bool inside = y >= margin && y < height - margin;
    for (int x = 0; x < width; x = inside && x == margin - 1 ? width - margin : x + 1)
      if (line[x] != background) return true;
  }
  return false;
}

}  // namespace

const QImage* TGlyphCells::Add(const TKey& key, const QImage& padded, int margin) {
  if (cells_.size() >= kMaxCells) cells_.clear();
  const QRect inside(margin, margin, padded.width() - 2 * margin, padded.height() - 2 * margin);
  QImage& cell = cells_[key];
  cell = Spills(padded, margin, key.background) ? QImage() : padded.copy(inside);
  return cell.isNull() ? nullptr : &cell;
}

TGlyphCells& TGlyphCells::Shared() {
  static TGlyphCells cells;
  return cells;
}

}  // namespace yk
