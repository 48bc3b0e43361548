// The prompts on Qt: the dialogs' message boxes and file dialogs, with the
// program's "\r" line breaks shown as new lines.
#include <QDialog>
#include <QFontDialog>
#include <QMessageBox>

#include "app/prompts.h"

namespace yk {

namespace {

QString Lines(QString text) {
  text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
  text.replace(QLatin1Char('\r'), QLatin1Char('\n'));
  return text;
}

class TQtPrompts final : public TPrompts {
 public:
  void Information(QWidget* parent, const QString& caption, const QString& text) override {
    Base().Information(parent, caption, Lines(text));
  }
  void Error(QWidget* parent, const QString& caption, const QString& text) override {
    Base().Error(parent, caption, Lines(text));
  }
  void Warning(QWidget* parent, const QString& caption, const QString& text) override {
    QMessageBox::warning(parent, caption, Lines(text));
  }
  TDialogAnswer Question(QWidget* parent, const QString& caption, const QString& text, unsigned buttons,
                         std::optional<QPoint> at) override {
    return Base().Question(parent, caption, Lines(text), buttons, at);
  }
  std::optional<QString> OpenFileName(QWidget* parent, const QString& title, const QString& filter,
                                      int filter_index, const QString& initial) override {
    return Base().OpenFileName(parent, title, filter, filter_index, initial);
  }
  // The file dialog neither asks about overwriting nor adds a suffix: the
  // window asks its own question and adds ".txt" by its own rule.
  std::optional<QString> SaveFileName(QWidget* parent, const QString& title, const QString& filter,
                                      int filter_index, const QString& initial) override {
    return Base().SaveFileName(parent, title, filter, filter_index, initial);
  }
  int ExecDialog(QDialog& dialog) override { return dialog.exec(); }
  std::optional<QFont> ChooseFont(QWidget* parent, const QFont& initial) override {
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

}  // namespace yk
