// Warming the cell cache with the rows a page away from the view.
#include "qt/cell_warmer.h"

#include <QPainter>

#include <algorithm>
#include <string_view>
#include <utility>

#include "editor/editor.h"
#include "qt/qt_surface.h"
#include "text/cp932.h"

namespace yk {

namespace {

// Characters drawn between looks at the clock: a few glyph loads.
constexpr std::size_t kChunkBytes = 16;

}  // namespace

TCellWarmer::TCellWarmer(TEditor& editor) : editor_(editor) {
  timer_.setSingleShot(true);
  timer_.setInterval(0);
  QObject::connect(&timer_, &QTimer::timeout, &timer_, [this] {
    if (Step()) timer_.start();
  });
}

// Cells are only copied into 32-bit images (TQtSurface), so only those are
// worth warming.
void TCellWarmer::Painted(QImage::Format format, const QFont& font, const QPalette& palette,
                          std::shared_ptr<const TMappedChars> chars) {
  if (format != QImage::Format_RGB32 && format != QImage::Format_ARGB32_Premultiplied) return;
  if (editor_.TopRow() != top_row_ || format != format_ || font != font_ || palette != palette_ ||
      chars != chars_ || editor_.VisibleRows() != rows_) {
    format_ = format;
    font_ = font;
    palette_ = palette;
    chars_ = std::move(chars);
    top_row_ = editor_.TopRow();
    rows_ = editor_.VisibleRows();
    next_ = 0;
    byte_ = 0;
  }
  if (next_ < 2 * rows_ && !timer_.isActive()) timer_.start();
}

int TCellWarmer::RowAt(int k) const { return k < rows_ ? top_row_ + rows_ + k : top_row_ - rows_ + (k - rows_); }

// Draws the visible columns of each row in the editor's own colours into a
// scratch image: what a page key would draw, for most of the text.
bool TCellWarmer::Step() {
  if (format_ == QImage::Format_Invalid || editor_.TopRow() != top_row_) return false;  // the next paint restarts
  QElapsedTimer clock;
  clock.start();
  const int cw = editor_.ColWidth(), cols = editor_.VisibleCols() + 1;
  if (scratch_.format() != format_ || scratch_.width() < (cols + 2) * cw || scratch_.height() < editor_.FontHeight())
    scratch_ = QImage((cols + 2) * cw, editor_.FontHeight(), format_);
  QPainter painter(&scratch_);
  TQtSurface surface(painter, font_, palette_, chars_.get());
  const TRect clip{0, 0, scratch_.width(), scratch_.height()};
  const TEditorScreenStrings& rows = editor_.ScreenStrings();
  for (; next_ < 2 * rows_; ++next_, byte_ = 0) {
    const int row = RowAt(next_);
    if (row < 0 || row >= rows.GetCount()) continue;
    const std::string_view text = rows.Row(row);
    const std::size_t first = std::min(text.size(), static_cast<std::size_t>(editor_.TopCol()));
    const std::size_t end = std::min(text.size(), first + static_cast<std::size_t>(cols));
    byte_ = std::max(byte_, cp932::CharStart(text, std::min(first, text.empty() ? 0 : text.size() - 1)));
    while (byte_ < end) {
      std::size_t stop = byte_;
      while (stop < end && stop - byte_ < kChunkBytes) stop = cp932::NextChar(text, stop);
      surface.TextRun(0, 0, cw, text.substr(byte_, stop - byte_), editor_.Font().color, editor_.Color(),
                      editor_.Font().style, clip);
      byte_ = stop;
      if (clock.elapsed() >= kSliceMs) return true;
    }
  }
  return false;
}

}  // namespace yk
