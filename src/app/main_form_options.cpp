// The general settings command of the main window: the dialog filled from
// the window's values, and on OK the values taken back, written and applied.
#include <QDialog>
#include <QTimer>

#include "app/display_text.h"
#include "app/main_form.h"
#include "app/prompts.h"
#include "dialogs/basic_setup_dlg.h"
#include "qt/editor_widget.h"
#include "qt/qt_graphics.h"
#include "shell/date_format.h"

namespace yk {

void TMainForm::GeneralOption1Click() {
  LoadSettingsToDialog();
  if (Prompts().ExecDialog(BasicSetupDlg()) != QDialog::Accepted) return;
  TakeSettingsFromDialog();
  try {
    WriteSettings();
  } catch (const std::exception& e) {
    // The values apply to this window all the same; they are written again
    // when the dialog is next confirmed.
    Prompts().Error(this, QString::fromUtf8(kErrorCaption),
                    QString::fromUtf8("設定を保存できませんでした。\r") + FailureReason(e));
  }
  ApplyGeneralSettings();
}

void TMainForm::LoadSettingsToDialog() {
  TBasicSetupDlg& dialog = BasicSetupDlg();
  if (!dialog.FormatNow) {
    dialog.FormatNow = [this](std::string_view format) { return FormatDateTime(format, LocalNow(), DateLocale); };
  }
  dialog.Load(Settings);
}

// The values take effect in the order the settings file lists them; the
// input method follows its setting at once, the tool menu its tools.
void TMainForm::TakeSettingsFromDialog() {
  const TBasicSettings taken = BasicSetupDlg().Take();
  Settings = taken;
  SetImeOpen(Settings.imeMode);
  for (int n = 0; n < kStyleCount; ++n) SetTabCaption(n, taken.tabNames[static_cast<std::size_t>(n)]);
  UpdateToolMenu();
}

void TMainForm::ApplyGeneralSettings() {
  LoadDictionary(Settings.dicFiles[static_cast<std::size_t>(StyleIndex)]);
  for (TEditorWidget* memo : {Memo1, Memo2, Memo3}) memo->viewport()->update();
  SetGutterWidth();
  DrawAllGutters();
  ApplyIconAnime();
}

}  // namespace yk
