// Prompts for tests: every question is recorded and answered from a queue
// the test fills beforehand; a question nobody expected fails the test and
// gets the answer that changes nothing (Cancel, no file).
#pragma once

#include <QCoreApplication>
#include <QDialog>
#include <QFont>

#include <gtest/gtest.h>

#include <deque>
#include <functional>
#include <optional>
#include <vector>

#include "app/prompts.h"

namespace yk::test {

class TScriptedPrompts final : public TPrompts {
 public:
  enum class TKind { Information, Error, Warning, Question, OpenFile, SaveFile, Dialog, Font };

  struct TAsked {
    TKind kind;
    QString caption;
    QString text;      // message text, or the file dialog's initial name
    unsigned buttons;  // offered answers (questions)
    QString filter;    // file dialogs
  };

  ~TScriptedPrompts() override {
    EXPECT_TRUE(script_.empty()) << script_.size() << " scripted answer(s) never asked for";
  }

  void Answer(TDialogAnswer answer) { script_.push_back({TKind::Question, answer, {}, {}}); }
  void OpenFile(std::optional<QString> file) { script_.push_back({TKind::OpenFile, {}, std::move(file), {}}); }
  void SaveFile(std::optional<QString> file) { script_.push_back({TKind::SaveFile, {}, std::move(file), {}}); }
  void Expect(TKind box) { script_.push_back({box, {}, {}, {}}); }  // Information, Error or Warning
  // As Answer and Expect, running `meanwhile` while the box would be shown
  // (after the events a box's own event loop would handle).
  void AnswerWhile(TDialogAnswer answer, std::function<void()> meanwhile) {
    script_.push_back({TKind::Question, answer, {}, {}, std::move(meanwhile)});
  }
  void ExpectWhile(TKind box, std::function<void()> meanwhile) {
    script_.push_back({box, {}, {}, {}, std::move(meanwhile)});
  }
  void Dialog(std::function<int(QDialog&)> run) { script_.push_back({TKind::Dialog, {}, {}, std::move(run)}); }
  // The font dialog's answer: a font, or nullopt for Cancel.
  void Font(std::optional<QFont> font) {
    script_.push_back({TKind::Font, {}, {}, {}});
    fonts_.push_back(std::move(font));
  }

  const std::vector<TAsked>& Asked() const { return asked_; }
  const TAsked& Last() const { return asked_.back(); }
  bool Done() const { return script_.empty(); }

  void Information(QWidget*, const QString& caption, const QString& text) override {
    Take(TKind::Information, caption, text);
  }
  void Error(QWidget*, const QString& caption, const QString& text) override { Take(TKind::Error, caption, text); }
  void Warning(QWidget*, const QString& caption, const QString& text) override {
    Take(TKind::Warning, caption, text);
  }
  TDialogAnswer Question(QWidget*, const QString& caption, const QString& text, unsigned buttons,
                         std::optional<QPoint>) override {
    const TStep* step = Take(TKind::Question, caption, text, buttons);
    return step ? step->answer : TDialogAnswer::Cancel;
  }
  std::optional<QString> OpenFileName(QWidget*, const QString& title, const QString& filter, int,
                                      const QString& initial) override {
    const TStep* step = Take(TKind::OpenFile, title, initial, 0, filter);
    return step ? step->file : std::nullopt;
  }
  std::optional<QString> SaveFileName(QWidget*, const QString& title, const QString& filter, int,
                                      const QString& initial) override {
    const TStep* step = Take(TKind::SaveFile, title, initial, 0, filter);
    return step ? step->file : std::nullopt;
  }
  int ExecDialog(QDialog& dialog) override {
    const TStep* step = Take(TKind::Dialog, dialog.windowTitle(), {});
    return step && step->run ? step->run(dialog) : QDialog::Rejected;
  }
  std::optional<QFont> ChooseFont(QWidget*, const QFont& initial) override {
    if (!Take(TKind::Font, {}, initial.family())) return std::nullopt;
    std::optional<QFont> font = std::move(fonts_.front());
    fonts_.pop_front();
    return font;
  }

 private:
  struct TStep {
    TKind kind;
    TDialogAnswer answer = TDialogAnswer::Cancel;
    std::optional<QString> file;
    std::function<int(QDialog&)> run;
    std::function<void()> meanwhile = nullptr;
  };

  const TStep* Take(TKind kind, const QString& caption, const QString& text, unsigned buttons = 0,
                    const QString& filter = {}) {
    asked_.push_back({kind, caption, text, buttons, filter});
    if (script_.empty() || script_.front().kind != kind) {
      ADD_FAILURE() << "unexpected prompt: " << caption.toStdString() << ": " << text.toStdString();
      return nullptr;
    }
    current_ = std::move(script_.front());
    script_.pop_front();
    if (current_.meanwhile) {
      QCoreApplication::processEvents();
      current_.meanwhile();
    }
    return &current_;
  }

  std::deque<TStep> script_;
  std::deque<std::optional<QFont>> fonts_;  // the answers of the Font steps, in order
  std::vector<TAsked> asked_;
  TStep current_{TKind::Information, TDialogAnswer::Cancel, std::nullopt, nullptr};
};

}  // namespace yk::test
