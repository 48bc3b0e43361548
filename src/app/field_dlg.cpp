// The one-field dialog shape: layout, buttons and the selected field.
#include "app/field_dlg.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "controls/ui_font.h"

namespace yk {

TFieldDlg::TFieldDlg(QWidget* parent, const QString& caption, const QString& prompt)
    : QDialog(parent, Qt::Dialog | Qt::WindowTitleHint | Qt::WindowCloseButtonHint) {
  setFont(JapaneseUiFont());
  setWindowTitle(caption);
  prompt_ = new QLabel(prompt, this);
  prompt_->setObjectName(QStringLiteral("Label1"));
  edit_ = new QLineEdit(this);
  edit_->setObjectName(QStringLiteral("Edit1"));
  ok_ = new QPushButton(QString::fromUtf8("ＯＫ"), this);
  ok_->setObjectName(QStringLiteral("OKBtn"));
  ok_->setDefault(true);
  cancel_ = new QPushButton(QString::fromUtf8("キャンセル"), this);
  cancel_->setObjectName(QStringLiteral("CancelBtn"));
  connect(ok_, &QPushButton::clicked, this, &QDialog::accept);
  connect(cancel_, &QPushButton::clicked, this, &QDialog::reject);

  body_ = new QVBoxLayout;
  body_->addWidget(prompt_);
  body_->addWidget(edit_);
  auto* buttons = new QHBoxLayout;
  buttons->addStretch();
  buttons->addWidget(ok_);
  buttons->addWidget(cancel_);
  auto* outer = new QVBoxLayout(this);
  outer->addLayout(body_);
  outer->addSpacing(6);
  outer->addLayout(buttons);
  outer->setSizeConstraint(QLayout::SetFixedSize);
}

bool TFieldDlg::Execute() { return exec() == QDialog::Accepted; }

QString TFieldDlg::Text() const { return edit_->text(); }

void TFieldDlg::SetText(const QString& text) { edit_->setText(text); }

// The field comes up with its text selected, so typing replaces the last
// value and Enter alone takes it again.
void TFieldDlg::showEvent(QShowEvent* e) {
  QDialog::showEvent(e);
  edit_->selectAll();
  edit_->setFocus();
}

}  // namespace yk
