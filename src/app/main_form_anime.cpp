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

namespace {

// Takes the wheel events of an editor's viewport before the editor does.
class TWheelHook final : public QObject {
 public:
  TWheelHook(QWidget* viewport, std::function<void(QWheelEvent*)> handler)
      : QObject(viewport), handler_(std::move(handler)) {
    viewport->installEventFilter(this);
  }
  bool eventFilter(QObject*, QEvent* e) override {
    if (e->type() != QEvent::Wheel) return false;
    auto* wheel = static_cast<QWheelEvent*>(e);
    handler_(wheel);
    wheel->accept();
    return true;
  }

 private:
  std::function<void(QWheelEvent*)> handler_;
};

}  // namespace

void TMainForm::ConnectWheel(TEditorWidget* memo) {
  new TWheelHook(memo->viewport(), [this](QWheelEvent* e) {
    MouseWheel(e->angleDelta().y(), (e->modifiers() & Qt::ShiftModifier) != 0);
  });
}

// Touchpads and fine wheels send many small deltas: they add up, and each
// whole notch of 120 units is one step in its direction.
void TMainForm::MouseWheel(int angleDelta, bool shift) {
  wheel_rest_ += angleDelta;
  const TShiftState state = (shift || ShiftHeld) ? ssShift : 0;
  while (std::abs(wheel_rest_) >= 120) {
    const int step = wheel_rest_ > 0 ? 1 : -1;
    ActiveEditor->Editor().MouseWheel(step, state);
    wheel_rest_ -= step * 120;
  }
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
