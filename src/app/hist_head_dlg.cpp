// The version-header dialog with its blue note.
#include "app/hist_head_dlg.h"

#include <QLabel>
#include <QVBoxLayout>

namespace yk {

THistHeadDlg::THistHeadDlg(QWidget* parent)
    : TFieldDlg(parent, QString::fromUtf8("版管理ファイル名用ヘッダ入力"),
                QString::fromUtf8("先頭に以下のテキストを付加したファイル名で登録します。")) {
  setObjectName(QStringLiteral("HistHeadDlg"));
  note_ = new QLabel(QString::fromUtf8("＊）ファイル名として使用できない文字は使用できません。"), this);
  note_->setObjectName(QStringLiteral("Label2"));
  QPalette pal = note_->palette();
  pal.setColor(QPalette::WindowText, QColor(0, 0, 255));
  note_->setPalette(pal);
  Body()->addWidget(note_);
}

}  // namespace yk
