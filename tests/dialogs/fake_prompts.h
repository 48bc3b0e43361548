// Prompts that record what a dialog asks and answer from prepared values.
#pragma once

#include <QString>

#include <optional>
#include <vector>

#include "dialogs/dialog_prompts.h"

namespace yk::test {

class TFakePrompts : public TDialogPrompts {
 public:
  void Information(QWidget*, const QString&, const QString& text) override { infos.push_back(text); }
  void Error(QWidget*, const QString&, const QString& text) override { errors.push_back(text); }
  TDialogAnswer Question(QWidget*, const QString&, const QString& text, unsigned buttons,
                         std::optional<QPoint>) override {
    questions.push_back(text);
    last_buttons = buttons;
    return answer;
  }
  std::optional<QString> OpenFileName(QWidget*, const QString&, const QString&, int, const QString&) override {
    return open_name;
  }
  std::optional<QString> SaveFileName(QWidget*, const QString&, const QString&, int, const QString&) override {
    return save_name;
  }

  std::vector<QString> infos;
  std::vector<QString> errors;
  std::vector<QString> questions;
  unsigned last_buttons = 0;
  TDialogAnswer answer = TDialogAnswer::Ok;
  std::optional<QString> open_name;
  std::optional<QString> save_name;
};

}  // namespace yk::test
