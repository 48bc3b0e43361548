// Input rules of the style dialog's fields: every text field holds only
// text that has a CP932 form, the quotation field one single-byte character,
// and some spin boxes are changed by their arrows only.
#pragma once

#include <QSpinBox>
#include <QValidator>

namespace yk {

// Refuses an edit that would put a character without a CP932 form into the
// field, so the field always shows exactly what is stored.
class TCp932Validator : public QValidator {
 public:
  using QValidator::QValidator;
  State validate(QString& input, int& pos) const override;
};

// The quotation field: a changed text is cut to its first byte; a text that
// starts with a double-byte character (or one without a CP932 form) is
// refused and the field keeps its previous text.
class TQuotationValidator : public QValidator {
 public:
  using QValidator::QValidator;
  State validate(QString& input, int& pos) const override;
};


// A spin box changed only by its arrows and keys, never typed into.
class TUpDownSpin : public QSpinBox {
 public:
  TUpDownSpin(QWidget* parent, int minimum, int maximum, int step = 1);
};

}  // namespace yk
