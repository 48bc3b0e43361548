// TBasicSetupDlg: the general settings dialog. It reads and writes no file;
// the window fills it from a TBasicSettings and takes the values back on OK.
#pragma once

#include <QDialog>

#include <array>
#include <functional>
#include <string>
#include <string_view>

#include "dialogs/basic_settings.h"
#include "dialogs/dialog_prompts.h"

class QCheckBox;
class QLineEdit;
class QRadioButton;
class QTabBar;
class QTabWidget;

namespace yk {

inline const QString kToolChooserTitle = QStringLiteral("ツールの指定");
inline const QString kToolChooserFilter = QStringLiteral("実行ファイル(*.exe)|*.exe|全てのファイル(*.*)|*.*");
inline const QString kDicChooserTitle = QStringLiteral("辞書ファイルの指定");
inline const QString kDicChooserFilter = QStringLiteral("CSVファイル(*.csv)|*.csv|全てのファイル(*.*)|*.*");
inline const QString kFormatTestCaption = QStringLiteral("フォーマットテスト");
inline constexpr std::string_view kStandardDayFormat = "t yy/m/d";

class TBasicSetupDlg final : public QDialog {
  Q_OBJECT

 public:
  explicit TBasicSetupDlg(TDialogPrompts& prompts, QWidget* parent = nullptr);

  // Fills every control; the style fields show the style selected in the
  // dialog, which it keeps between showings.
  void Load(const TBasicSettings& s);
  // Every value as the controls hold it.
  TBasicSettings Take() const;
  int SelectedStyle() const { return selected_; }

  // Formats the current date and time with a format of the date language
  // (CP932 in and out); the "テスト..." button shows what it returns.
  std::function<std::string(std::string_view format)> FormatNow;

 private:
  QWidget* EditPage();
  QWidget* ViewPage();
  QWidget* DatePage();
  QWidget* ToolPage();
  QWidget* WindowPage();
  QWidget* HistoryPage();
  QWidget* MarksPage();
  QWidget* GrepPage();
  QWidget* LineNumberPage();
  void SelectStyle(int index);
  void ChooseDictionary();
  void ChooseTool(int target);
  void TestFormat();

  TDialogPrompts& prompts_;
  int selected_ = 0;
  std::array<std::string, kStyleCount> dic_files_;
  std::array<std::string, kStyleCount> style_exts_;

  QTabWidget* PageControl1 = nullptr;
  QCheckBox* chkIme = nullptr;
  QTabBar* TabSet1 = nullptr;
  QLineEdit* edtTab = nullptr;
  QLineEdit* edtDic = nullptr;
  QLineEdit* edtStyleExt = nullptr;
  QRadioButton* radiobtnDayFormat1 = nullptr;
  QRadioButton* radiobtnDayFormat2 = nullptr;
  QLineEdit* edtDayFormat = nullptr;
  std::array<QLineEdit*, 6> tool_edits_{};  // Edit1..Edit6: name, file of each tool
  QCheckBox* chkWinSizePos = nullptr;
  QCheckBox* chkAnime = nullptr;
  QCheckBox* chkDelHist = nullptr;
  QCheckBox* chkUserHeader = nullptr;
  std::array<QRadioButton*, 3> tab_marks_{};
  std::array<QRadioButton*, 3> space_marks_{};
  QLineEdit* Edit7 = nullptr;
  QLineEdit* Edit8 = nullptr;
  QRadioButton* rdbtnLogicLine = nullptr;
  QRadioButton* rdbtnPhysicalLine = nullptr;
};

// Fills the dialog, shows it and, only when it closes with OK, takes the
// values into s. True on OK.
bool EditBasicSettings(TBasicSetupDlg& dialog, TBasicSettings& s);

}  // namespace yk
