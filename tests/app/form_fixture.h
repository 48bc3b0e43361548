// A main window in a scratch folder with scripted prompts and a recorded
// self-launch, for the in-process tests of the window.
#pragma once

#include <QCoreApplication>

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "app/main_form.h"
#include "props/ini_text.h"
#include "qt/editor_widget.h"
#include "scripted_prompts.h"
#include "temp_dir.h"

namespace yk::test {

// The prompt kinds and answers the window tests script, by short names.
using TKind = TScriptedPrompts::TKind;
constexpr auto kYes = TDialogAnswer::Yes;
constexpr auto kNo = TDialogAnswer::No;
constexpr auto kCancel = TDialogAnswer::Cancel;

class FormTest : public ::testing::Test {
 protected:
  std::string SettingsFile() const { return dir.File("Yomikaki.ini"); }

  // A window made with these arguments (settings in the scratch folder
  // unless the test set env.settings_path itself), shown.
  TMainForm& Make(std::vector<std::string> arguments = {}, bool show = true) {
    env.prompts = &prompts;
    env.arguments = std::move(arguments);
    if (env.settings_path.empty()) env.settings_path = SettingsFile();
    env.launch_self = [this](const std::vector<std::string>& a) {
      launched.push_back(a);
      return true;
    };
    form = std::make_unique<TMainForm>(env);
    if (show) {
      form->show();
      QCoreApplication::processEvents();
    }
    return *form;
  }

  TEditor& Doc() { return form->Memo1->Editor(); }
  TIniText Ini() const { return TIniText(Slurp(SettingsFile())); }
  std::string Value(std::string_view section, std::string_view key) const {
    return Ini().Read(section, key).value_or("<none>");
  }
  // A file in the scratch folder with these bytes; its full path.
  std::string File(const std::string& name, const std::string& bytes) {
    const std::string path = dir.File(name);
    Spit(path, bytes);
    return path;
  }
  QString Q(const std::string& path) const { return QString::fromStdString(path); }

  TTempDir dir;
  TScriptedPrompts prompts;
  TMainFormEnv env;
  std::vector<std::vector<std::string>> launched;
  std::unique_ptr<TMainForm> form;
};

}  // namespace yk::test
