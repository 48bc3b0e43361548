// The Qt dialog prompts: message boxes and the toolkit's own file dialog.
#include "dialogs/dialog_prompts.h"

#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>
#include <QPushButton>

namespace yk {

QStringList ToQtNameFilters(const QString& filter) {
  QStringList result;
  const QStringList parts = filter.split(QLatin1Char('|'));
  for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
    QStringList patterns = parts[i + 1].split(QLatin1Char(';'), Qt::SkipEmptyParts);
    for (QString& p : patterns) {
      p = p.trimmed();
      if (p == QStringLiteral("*.*")) p = QStringLiteral("*");
    }
    // The details in the trailing parentheses are hidden by the dialog, so
    // the user sees the name as written.
    result << parts[i] + QStringLiteral(" (") + patterns.join(QLatin1Char(' ')) + QLatin1Char(')');
  }
  return result;
}

namespace {

class TQtDialogPrompts final : public TDialogPrompts {
 public:
  void Information(QWidget* parent, const QString& caption, const QString& text) override {
    QMessageBox::information(parent, caption, text);
  }
  void Error(QWidget* parent, const QString& caption, const QString& text) override {
    QMessageBox::critical(parent, caption, text);
  }
  TDialogAnswer Question(QWidget* parent, const QString& caption, const QString& text, unsigned buttons,
                         std::optional<QPoint> at) override {
    QMessageBox box(QMessageBox::Question, caption, text, QMessageBox::NoButton, parent);
    struct Choice {
      TDialogAnswer answer;
      QMessageBox::StandardButton button;
    };
    static constexpr Choice kChoices[] = {{TDialogAnswer::Yes, QMessageBox::Yes},
                                          {TDialogAnswer::No, QMessageBox::No},
                                          {TDialogAnswer::Cancel, QMessageBox::Cancel},
                                          {TDialogAnswer::All, QMessageBox::YesToAll},
                                          {TDialogAnswer::Ok, QMessageBox::Ok}};
    for (const Choice& c : kChoices) {
      if (buttons & AnswerBit(c.answer)) box.addButton(c.button);
    }
    if (at) {
      box.adjustSize();
      box.move(*at);
    }
    const int pressed = box.exec();
    for (const Choice& c : kChoices) {
      if (pressed == c.button) return c.answer;
    }
    return TDialogAnswer::Cancel;
  }
  std::optional<QString> OpenFileName(QWidget* parent, const QString& title, const QString& filter,
                                      int filter_index, const QString& initial) override {
    return Run(parent, title, filter, filter_index, initial, QFileDialog::AcceptOpen);
  }
  std::optional<QString> SaveFileName(QWidget* parent, const QString& title, const QString& filter,
                                      int filter_index, const QString& initial) override {
    return Run(parent, title, filter, filter_index, initial, QFileDialog::AcceptSave);
  }

 private:
  static std::optional<QString> Run(QWidget* parent, const QString& title, const QString& filter, int filter_index,
                                    const QString& initial, QFileDialog::AcceptMode mode) {
    QFileDialog dialog(parent, title);
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setOption(QFileDialog::HideNameFilterDetails);
    // The callers ask their own overwrite question and add their own suffix.
    dialog.setOption(QFileDialog::DontConfirmOverwrite);
    dialog.setAcceptMode(mode);
    dialog.setFileMode(mode == QFileDialog::AcceptOpen ? QFileDialog::ExistingFile : QFileDialog::AnyFile);
    const QStringList filters = ToQtNameFilters(filter);
    dialog.setNameFilters(filters);
    if (filter_index >= 0 && filter_index < filters.size()) dialog.selectNameFilter(filters[filter_index]);
    // A folder is where the dialog starts, with an empty name box; given to
    // selectFile, its parent would open with the folder's name typed in.
    if (QFileInfo(initial).isDir()) dialog.setDirectory(initial);
    else if (!initial.isEmpty()) dialog.selectFile(initial);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return std::nullopt;
    return dialog.selectedFiles().front();
  }
};

}  // namespace

TDialogPrompts& DefaultDialogPrompts() {
  static TQtDialogPrompts prompts;
  return prompts;
}

}  // namespace yk
