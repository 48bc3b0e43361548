// Validators of the style dialog's text fields.
#include "dialogs/style_fields.h"

#include <QLineEdit>

#include "dialogs/style_dialog_logic.h"
#include "qt/qt_graphics.h"

namespace yk {

QValidator::State TCp932Validator::validate(QString& input, int&) const {
  return FromQString(input).replaced == 0 ? Acceptable : Invalid;
}

QValidator::State TQuotationValidator::validate(QString& input, int& pos) const {
  const cp932::TEncoded encoded = FromQString(input);
  if (encoded.replaced != 0) return Invalid;
  const std::optional<std::string> quotation = QuotationFromText(encoded.bytes);
  if (!quotation) return Invalid;
  input = ToQString(*quotation);
  pos = std::min<int>(pos, static_cast<int>(input.size()));
  return Acceptable;
}

TUpDownSpin::TUpDownSpin(QWidget* parent, int minimum, int maximum, int step) : QSpinBox(parent) {
  setRange(minimum, maximum);
  setSingleStep(step);
  lineEdit()->setReadOnly(true);
}

}  // namespace yk
