// Shared by the main-window benchmark and probe: prompts that answer every
// question with Cancel (so nothing waits for a user), and the first paint of
// the document editor.
#pragma once

#include <QCoreApplication>
#include <QDialog>
#include <QEvent>
#include <QWidget>

#include "app/main_form.h"
#include "app/prompts.h"
#include "qt/editor_widget.h"

namespace yk::bench {

class TSilentPrompts final : public TPrompts {
 public:
  void Information(QWidget*, const QString&, const QString&) override {}
  void Error(QWidget*, const QString&, const QString&) override {}
  void Warning(QWidget*, const QString&, const QString&) override {}
  TDialogAnswer Question(QWidget*, const QString&, const QString&, unsigned, std::optional<QPoint>) override {
    return TDialogAnswer::Cancel;
  }
  std::optional<QString> OpenFileName(QWidget*, const QString&, const QString&, int, const QString&) override {
    return std::nullopt;
  }
  std::optional<QString> SaveFileName(QWidget*, const QString&, const QString&, int, const QString&) override {
    return std::nullopt;
  }
  int ExecDialog(QDialog&) override { return QDialog::Rejected; }
};

// Notes the first paint event of a widget.
class TPaintWatch final : public QObject {
 public:
  bool painted = false;
  bool eventFilter(QObject*, QEvent* e) override {
    if (e->type() == QEvent::Paint) painted = true;
    return false;
  }
};

// Shows the window and returns once the document editor has painted.
inline void ShowUntilPainted(TMainForm& form) {
  TPaintWatch watch;
  form.Memo1->viewport()->installEventFilter(&watch);
  form.show();
  while (!watch.painted) QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
  form.Memo1->viewport()->removeEventFilter(&watch);
}

}  // namespace yk::bench
