// TGlyphCells: characters drawn once over their background into images of
// their own cells and then copied wherever they show again in the same
// colours, so a row of text costs copies instead of a blend per glyph.
#pragma once

#include <QImage>
#include <QRgb>

#include <cstddef>
#include <cstdint>
#include <unordered_map>

namespace yk {

class TGlyphCells {
 public:
  // What makes a cell look as it does. face identifies the font face (its
  // glyphs and their positions); cells is 1 or 2.
  struct TKey {
    std::uint64_t face = 0;
    char32_t c = 0;
    QRgb color = 0;
    QRgb background = 0;
    int cells = 1;
    int cellWidth = 0;
    int height = 0;
    QImage::Format format = QImage::Format_Invalid;
    bool operator==(const TKey&) const = default;
  };

  // The cell image of key, or null when there is none yet (known false)
  // or when the character's ink reaches out of its cells (known true):
  // such a character must be drawn over its neighbours as it is. Valid
  // until the next Add.
  const QImage* Find(const TKey& key, bool& known) const;
  // Keeps a character drawn into `padded`, an image filled with the
  // background and `margin` pixels larger than the cells on every side;
  // returns what Find will return for it.
  const QImage* Add(const TKey& key, const QImage& padded, int margin);

  std::size_t Size() const { return cells_.size(); }
  // Cells kept at most (about a kilobyte each); more start the cache
  // afresh. A screen of text in a few colours needs some hundreds, and the
  // pages beside it are drawn ahead (TCellWarmer).
  static constexpr std::size_t kMaxCells = 4096;

  // The cache every surface shares: there is one GUI thread.
  static TGlyphCells& Shared();

 private:
  struct THash {
    std::size_t operator()(const TKey& k) const;
  };
  std::unordered_map<TKey, QImage, THash> cells_;
};

}  // namespace yk
