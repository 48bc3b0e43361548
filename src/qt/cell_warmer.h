// TCellWarmer: while the program is idle, draws the characters of the rows
// just below and above an editor's view into the shared cache of character
// cells, so a page key finds them drawn and costs copies, not glyph loads.
#pragma once

#include <QElapsedTimer>
#include <QFont>
#include <QImage>
#include <QPalette>
#include <QTimer>

#include <memory>

namespace yk {

class TEditor;
class TMappedChars;

class TCellWarmer {
 public:
  explicit TCellWarmer(TEditor& editor);
  TCellWarmer(const TCellWarmer&) = delete;
  TCellWarmer& operator=(const TCellWarmer&) = delete;

  // After a paint into an image of `format` in `font` and `palette`, of a
  // document whose table is `chars`: the rows a page away are warmed from
  // the next idle moment on (again from the start when the view moved).
  void Painted(QImage::Format format, const QFont& font, const QPalette& palette,
               std::shared_ptr<const TMappedChars> chars);
  // Draws the next few characters; false when all is warm. Each call
  // stops after about kSliceMs, so a key waits at most that long.
  bool Step();
  bool Busy() const { return timer_.isActive(); }

  static constexpr int kSliceMs = 1;

 private:
  // The rows to warm, in order: the page below the view, then the page above.
  int RowAt(int k) const;

  TEditor& editor_;
  QTimer timer_;
  QImage scratch_;
  QFont font_;
  QPalette palette_;
  std::shared_ptr<const TMappedChars> chars_;  // cells hold characters, not codes
  QImage::Format format_ = QImage::Format_Invalid;
  int top_row_ = -1;
  int rows_ = 0;   // rows in the view when warming began
  int next_ = 0;   // index of the next row to warm, in RowAt order
  std::size_t byte_ = 0;  // where in that row
};

}  // namespace yk
