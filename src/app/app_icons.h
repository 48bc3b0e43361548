// The program's icons: the still icon and the nine images of the icon
// animation (0 to 5 cycle while the program is active, 6 to 8 while it is
// not; image 0 is the still icon).
#pragma once

#include <QIcon>

namespace yk {

inline constexpr int kAnimationFrameCount = 9;
inline constexpr int kActiveFrameLast = 5;    // frames 0..5 while active
inline constexpr int kInactiveFrameFirst = 6;  // frames 6..8 while inactive

// Image i of the animation; an index outside 0..8 gives the still icon.
// Needs a running QGuiApplication; the images are drawn once and kept.
QIcon AnimationFrame(int i);
inline QIcon StillIcon() { return AnimationFrame(0); }

}  // namespace yk
