// TTopicDlg: asks for the word shown highlighted for a while.
#pragma once

#include <string>

#include "app/field_dlg.h"

namespace yk {

class TTopicDlg : public TFieldDlg {
  Q_OBJECT

 public:
  explicit TTopicDlg(QWidget* parent = nullptr);

  // The word as CP932 bytes, the form documents are matched in; characters
  // with no CP932 form become "?".
  std::string Topic() const;
  void SetTopic(const std::string& cp932);
};

}  // namespace yk
