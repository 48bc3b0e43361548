// TJumpDlg: asks for the line number to jump to.
#pragma once

#include <QString>

#include <optional>

#include "app/field_dlg.h"

namespace yk {

// The line number typed: a decimal integer with an optional sign, blanks
// around it allowed, full-width digits and signs (as typed with the input
// method on) read like ASCII ones; nullopt for anything else. A number
// beyond the int range is clamped to it, so it still means "the last line"
// or "the first line".
std::optional<int> ParseLineNumber(const QString& text);

class TJumpDlg : public TFieldDlg {
  Q_OBJECT

 public:
  explicit TJumpDlg(QWidget* parent = nullptr);

  // The field as a line number (see ParseLineNumber).
  std::optional<int> LineNumber() const { return ParseLineNumber(Text()); }
};

}  // namespace yk
