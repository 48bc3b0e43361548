// Pixel probes for images painted in tests: where ink of a colour lies.
#pragma once

#include <QColor>
#include <QImage>
#include <QRect>

namespace yk::test {

inline QImage WhiteImage(int width, int height) {
  QImage image(width, height, QImage::Format_ARGB32_Premultiplied);
  image.fill(Qt::white);
  return image;
}

// True for pixels that differ clearly from the background.
inline bool IsInk(QRgb pixel, QColor background) {
  return std::abs(qRed(pixel) - background.red()) + std::abs(qGreen(pixel) - background.green()) +
             std::abs(qBlue(pixel) - background.blue()) > 96;
}

// The bounding box of the pixels inside area that differ from background;
// empty when there are none.
inline QRect InkBox(const QImage& image, QColor background, QRect area = QRect()) {
  if (area.isNull()) area = image.rect();
  area = area.intersected(image.rect());
  QRect box;
  for (int y = area.top(); y <= area.bottom(); ++y)
    for (int x = area.left(); x <= area.right(); ++x)
      if (IsInk(image.pixel(x, y), background)) box |= QRect(x, y, 1, 1);
  return box;
}

inline int InkCount(const QImage& image, QColor background, QRect area = QRect()) {
  if (area.isNull()) area = image.rect();
  area = area.intersected(image.rect());
  int n = 0;
  for (int y = area.top(); y <= area.bottom(); ++y)
    for (int x = area.left(); x <= area.right(); ++x)
      if (IsInk(image.pixel(x, y), background)) ++n;
  return n;
}

}  // namespace yk::test
