// The prompts on Qt: the dialogs' message boxes and file dialogs, with the
// program's "\r" line breaks shown as new lines, and their end when the
// process is told to end.
#include <QApplication>
#include <QDialog>
#include <QFontDialog>
#include <QMessageBox>

#include "app/prompts.h"

namespace yk {

namespace {

bool g_ended = false;

QString Lines(QString text) {
  text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
  text.replace(QLatin1Char('\r'), QLatin1Char('\n'));
  return text;
}

// Once the prompts have ended, nothing is shown: messages are dropped,
// questions are cancelled, no file is chosen.
class TQtPrompts final : public TPrompts {
 public:
  void Information(QWidget* parent, const QString& caption, const QString& text) override {
    if (!g_ended) Base().Information(parent, caption, Lines(text));
  }
  void Error(QWidget* parent, const QString& caption, const QString& text) override {
    if (!g_ended) Base().Error(parent, caption, Lines(text));
  }
  void Warning(QWidget* parent, const QString& caption, const QString& text) override {
    if (!g_ended) QMessageBox::warning(parent, caption, Lines(text));
  }
  TDialogAnswer Question(QWidget* parent, const QString& caption, const QString& text, unsigned buttons,
                         std::optional<QPoint> at) override {
    if (g_ended) return TDialogAnswer::Cancel;
    const TDialogAnswer answer = Base().Question(parent, caption, Lines(text), buttons, at);
    // A box closed by the end of the process was not answered.
    return g_ended ? TDialogAnswer::Cancel : answer;
  }
  std::optional<QString> OpenFileName(QWidget* parent, const QString& title, const QString& filter,
                                      int filter_index, const QString& initial) override {
    if (g_ended) return std::nullopt;
    return Base().OpenFileName(parent, title, filter, filter_index, initial);
  }
  // The file dialog neither asks about overwriting nor adds a suffix: the
  // window asks its own question and adds ".txt" by its own rule.
  std::optional<QString> SaveFileName(QWidget* parent, const QString& title, const QString& filter,
                                      int filter_index, const QString& initial) override {
    if (g_ended) return std::nullopt;
    return Base().SaveFileName(parent, title, filter, filter_index, initial);
  }
  int ExecDialog(QDialog& dialog) override { return g_ended ? QDialog::Rejected : dialog.exec(); }
  std::optional<QFont> ChooseFont(QWidget* parent, const QFont& initial) override {
    if (g_ended) return std::nullopt;
    bool ok = false;
    const QFont font = QFontDialog::getFont(&ok, initial, parent);
    if (!ok) return std::nullopt;
    return font;
  }

 private:
  static TDialogPrompts& Base() { return DefaultDialogPrompts(); }
};

}  // namespace

TPrompts& DefaultPrompts() {
  static TQtPrompts prompts;
  return prompts;
}

void EndPrompts() {
  g_ended = true;
  for (QWidget* w : QApplication::topLevelWidgets()) {
    auto* dialog = qobject_cast<QDialog*>(w);
    if (dialog && dialog->isVisible() && dialog->isModal()) dialog->reject();
  }
}

bool PromptsEnded() { return g_ended; }

}  // namespace yk
