// Prompts that record every question and answer from a script, so that
// tests walk every branch of a dialog or command without a message box.
#pragma once

#include <deque>
#include <optional>
#include <vector>

#include "dialogs/dialog_prompts.h"

namespace yk::test {

class TScriptedPrompts final : public TDialogPrompts {
 public:
  struct TCall {
    QString kind;  // "info", "error", "question", "open", "save"
    QString caption;
    QString text;  // the message, or the chooser's filter
    unsigned buttons = 0;
    std::optional<QPoint> at;
    int filterIndex = 0;
  };

  void Information(QWidget*, const QString& caption, const QString& text) override {
    calls.push_back({"info", caption, text, 0, std::nullopt, 0});
  }
  void Error(QWidget*, const QString& caption, const QString& text) override {
    calls.push_back({"error", caption, text, 0, std::nullopt, 0});
  }
  TDialogAnswer Question(QWidget*, const QString& caption, const QString& text, unsigned buttons,
                         std::optional<QPoint> at) override {
    calls.push_back({"question", caption, text, buttons, at});
    if (answers.empty()) return TDialogAnswer::Cancel;
    const TDialogAnswer a = answers.front();
    answers.pop_front();
    return a;
  }
  std::optional<QString> OpenFileName(QWidget*, const QString& title, const QString& filter, int filterIndex,
                                      const QString&) override {
    return File("open", title, filter, filterIndex);
  }
  std::optional<QString> SaveFileName(QWidget*, const QString& title, const QString& filter, int filterIndex,
                                      const QString&) override {
    return File("save", title, filter, filterIndex);
  }

  int Count(const QString& kind) const {
    int n = 0;
    for (const TCall& c : calls) n += c.kind == kind;
    return n;
  }

  std::vector<TCall> calls;
  std::deque<TDialogAnswer> answers;       // for questions; Cancel when used up
  std::deque<std::optional<QString>> files;  // for choosers; cancelled when used up

 private:
  std::optional<QString> File(const QString& kind, const QString& title, const QString& filter, int index) {
    calls.push_back({kind, title, filter, 0, std::nullopt, index});
    if (files.empty()) return std::nullopt;
    std::optional<QString> f = files.front();
    files.pop_front();
    return f;
  }
};

}  // namespace yk::test
