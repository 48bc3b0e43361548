// The program's icons: the still icon and the nine images of the icon
// animation (0 to 5 cycle while the program is active, 6 to 8 while it is
// not; image 0 is the still icon).
#pragma once

#include <QIcon>

namespace yk {

inline constexpr int kAnimationFrameCount = 9;
inline constexpr int kActiveFrameLast = 5;    // frames 0..5 while active
inline constexpr int kInactiveFrameFirst = 6;  // frames 6..8 while inactive

// Image i of the animation; an index outside 0..8 gives image 0. Needs a
// running QGuiApplication; the images are drawn once and kept. They hold
// the small sizes only (up to 64 pixels), as they are set twice a second.
QIcon AnimationFrame(int i);
// Image 0 at every size, up to 256 pixels: the icon of a window that is
// not animated and of the application.
QIcon StillIcon();

}  // namespace yk
