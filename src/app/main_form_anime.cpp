// The mouse wheel of the main window, which scrolls the active pane, and the
// animation of the window's icon.
#include <QApplication>
#include <QTimer>
#include <QWheelEvent>

#include "app/app_icons.h"
#include "app/main_form.h"
#include "qt/editor_widget.h"

namespace yk {

// --- wheel ------------------------------------------------------------------------

void TMainForm::ConnectWheel(TEditorWidget* memo) {
  memo->OnWheel = [this](TEditorWidget&, QWheelEvent* e) {
    MouseWheel(e->angleDelta().y(), (e->modifiers() & Qt::ShiftModifier) != 0);
    return true;
  };
}

// Touchpads and fine wheels send many small deltas: the pane adds them up,
// and each whole notch of 120 units is one step in its direction.
void TMainForm::MouseWheel(int angleDelta, bool shift) {
  ActiveEditor->TurnWheel(angleDelta, (shift || ShiftHeld) ? Qt::ShiftModifier : Qt::NoModifier);
}

// --- icon animation ------------------------------------------------------------------

void TMainForm::ConnectAnimation() {
  connect(AnimeTimer1, &QTimer::timeout, this, &TMainForm::AnimeTimer1Timer);
  connect(qApp, &QGuiApplication::applicationStateChanged, this,
          [this](Qt::ApplicationState state) { ApplicationActivated(state == Qt::ApplicationActive); });
}

void TMainForm::AnimeTimer1Timer() {
  ++AnimeFrame;
  if (AppActive && AnimeFrame > kActiveFrameLast) AnimeFrame = 0;
  if (!AppActive && AnimeFrame >= kAnimationFrameCount) AnimeFrame = kInactiveFrameFirst;
  setWindowIcon(AnimationFrame(AnimeFrame));
}

// Inactive starts just before the inactive cycle, so the next tick shows
// its first image. A key-up that went to another program never arrives, so
// the Shift of the wheel is dropped.
void TMainForm::ApplicationActivated(bool active) {
  if (active == AppActive) return;
  AppActive = active;
  if (active) {
    DrawAllGutters();
    AnimeFrame = 0;
  } else {
    AnimeFrame = kInactiveFrameFirst - 1;
    ShiftHeld = false;
  }
}

void TMainForm::ApplyIconAnime() {
  if (Settings.iconAnime) {
    if (!AnimeTimer1->isActive()) AnimeTimer1->start();
    return;
  }
  AnimeTimer1->stop();
  AnimeFrame = 0;
  setWindowIcon(StillIcon());
}

}  // namespace yk
