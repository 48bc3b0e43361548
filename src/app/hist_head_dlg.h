// THistHeadDlg: asks for the header put before the document's name when a
// version snapshot is stored.
#pragma once

#include "app/field_dlg.h"

class QLabel;

namespace yk {

class THistHeadDlg : public TFieldDlg {
  Q_OBJECT

 public:
  explicit THistHeadDlg(QWidget* parent = nullptr);

  QString Header() const { return Text(); }
  // The blue note under the field, named "Label2".
  QLabel* Note() const { return note_; }

 private:
  QLabel* note_;
};

}  // namespace yk
