// TFieldDlg: the shape shared by the main window's small one-field dialogs
// (line jump, topic word, version header): a caption, a prompt, one edit
// field and the buttons "ＯＫ" and "キャンセル".
#pragma once

#include <QDialog>
#include <QString>

class QLabel;
class QLineEdit;
class QPushButton;
class QVBoxLayout;

namespace yk {

class TFieldDlg : public QDialog {
  Q_OBJECT

 public:
  // The field is named "Edit1", the prompt "Label1", the buttons "OKBtn" and
  // "CancelBtn", so that tests and callers find them by name.
  TFieldDlg(QWidget* parent, const QString& caption, const QString& prompt);

  // Shows the dialog modally; true for OK. The dialog is kept by its owner,
  // so the field still holds the last text at the next showing.
  bool Execute();
  QString Text() const;
  void SetText(const QString& text);
  QLineEdit* Edit() const { return edit_; }

 protected:
  // Room for more labels below the field.
  QVBoxLayout* Body() const { return body_; }
  void showEvent(QShowEvent* e) override;

 private:
  QLabel* prompt_;
  QLineEdit* edit_;
  QVBoxLayout* body_;
  QPushButton* ok_;
  QPushButton* cancel_;
};

}  // namespace yk
