// The program's icons, drawn from the SVG images in the resources at the
// sizes desktops ask for, so no image-format plugin is needed at run time.
#include "app/app_icons.h"

#include <QPainter>
#include <QPixmap>
#include <QSvgRenderer>

#include <array>

// The resources live in a static library: make sure they are registered.
static void InitIconResources() { Q_INIT_RESOURCE(icons); }

namespace yk {

namespace {

// Every size is sent to the X server (and read by the window manager) each
// time the window's icon is set: the animation sets one twice a second, so
// its images stop at the sizes of title bars, task bars and switchers.
constexpr int kStillSizes[] = {16, 20, 22, 24, 32, 40, 48, 64, 128, 256};
constexpr int kFrameSizes[] = {16, 20, 22, 24, 32, 40, 48, 64};

template <std::size_t N>
QIcon RenderIcon(int i, const int (&sizes)[N]) {
  QSvgRenderer renderer(QStringLiteral(":/icons/yomikaki-%1.svg").arg(i));
  QIcon icon;
  if (!renderer.isValid()) return icon;
  for (const int size : sizes) {
    QPixmap pixmap(size, size);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    renderer.render(&p);
    p.end();
    icon.addPixmap(pixmap);
  }
  return icon;
}

}  // namespace

QIcon AnimationFrame(int i) {
  static const std::array<QIcon, kAnimationFrameCount> frames = [] {
    InitIconResources();
    std::array<QIcon, kAnimationFrameCount> all;
    for (int k = 0; k < kAnimationFrameCount; ++k) all[static_cast<std::size_t>(k)] = RenderIcon(k, kFrameSizes);
    return all;
  }();
  if (i < 0 || i >= kAnimationFrameCount) i = 0;
  return frames[static_cast<std::size_t>(i)];
}

QIcon StillIcon() {
  static const QIcon still = [] {
    InitIconResources();
    return RenderIcon(0, kStillSizes);
  }();
  return still;
}

}  // namespace yk
