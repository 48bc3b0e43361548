// The general settings dialog: its pages, the per-style fields behind the
// tab strip, the file choosers and the format test.
#include "dialogs/basic_setup_dlg.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QTabBar>
#include <QTabWidget>
#include <QVBoxLayout>

#include <algorithm>

#include "controls/ui_font.h"
#include "dialogs/qt_text.h"

namespace yk {

namespace {

template <typename T>
T* Named(T* w, const char* name) {
  w->setObjectName(QLatin1String(name));
  return w;
}

QPushButton* Button(const QString& caption, const char* name, QWidget* parent) {
  auto* b = Named(new QPushButton(caption, parent), name);
  b->setAutoDefault(false);
  return b;
}

// A page whose groups stack from the top.
QWidget* Page(std::initializer_list<QWidget*> groups) {
  auto* page = new QWidget;
  auto* layout = new QVBoxLayout(page);
  for (QWidget* g : groups) layout->addWidget(g);
  layout->addStretch();
  return page;
}

QGroupBox* Group(const QString& title, std::initializer_list<QWidget*> children) {
  auto* group = new QGroupBox(title);
  auto* layout = new QVBoxLayout(group);
  for (QWidget* c : children) layout->addWidget(c);
  return group;
}

}  // namespace

TBasicSetupDlg::TBasicSetupDlg(TDialogPrompts& prompts, QWidget* parent) : QDialog(parent), prompts_(prompts) {
  setObjectName(QStringLiteral("BasicSetupDlg"));
  setWindowTitle(QStringLiteral("共通の設定"));
  setFont(JapaneseUiFont());
  setWindowFlags(windowFlags() & ~Qt::WindowContextHelpButtonHint);
  PageControl1 = Named(new QTabWidget(this), "PageControl1");
  PageControl1->addTab(EditPage(), QStringLiteral("編集"));
  PageControl1->addTab(ViewPage(), QStringLiteral("表示"));
  PageControl1->addTab(DatePage(), QStringLiteral("日付と時刻"));
  PageControl1->addTab(ToolPage(), QStringLiteral("ツール"));
  PageControl1->addTab(WindowPage(), QStringLiteral("ウィンドウ"));
  PageControl1->addTab(HistoryPage(), QStringLiteral("版管理"));
  PageControl1->addTab(MarksPage(), QStringLiteral("特殊記号"));
  PageControl1->addTab(GrepPage(), QStringLiteral("Grepの設定"));
  PageControl1->addTab(LineNumberPage(), QStringLiteral("行番号"));

  QPushButton* ok = Button(QStringLiteral("ＯＫ"), "OKBtn", this);
  ok->setDefault(true);
  connect(ok, &QPushButton::clicked, this, &QDialog::accept);
  QPushButton* cancel = Button(QStringLiteral("キャンセル"), "CancelBtn", this);
  connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
  auto* buttons = new QHBoxLayout;
  buttons->addStretch();
  buttons->addWidget(ok);
  buttons->addWidget(cancel);
  auto* main = new QVBoxLayout(this);
  main->addWidget(PageControl1);
  main->addLayout(buttons);
  main->setSizeConstraint(QLayout::SetFixedSize);
}

QWidget* TBasicSetupDlg::EditPage() {
  chkIme = Named(new QCheckBox(QStringLiteral("起動時にIMEを起動する")), "chkIme");
  return Page({Group(QStringLiteral("ＩＭＥ"), {chkIme})});
}

QWidget* TBasicSetupDlg::ViewPage() {
  auto* page = new QWidget;
  TabSet1 = Named(new QTabBar(page), "TabSet1");
  for (int i = 0; i < kStyleCount; ++i) TabSet1->addTab(QString::number(i + 1));
  edtTab = Named(new QLineEdit(page), "edtTab");
  QPushButton* update = Button(QStringLiteral("更新"), "Button5", page);
  edtDic = Named(new QLineEdit(page), "edtDic");
  QPushButton* dic = Button(QStringLiteral("関連CSV..."), "Button6", page);
  edtStyleExt = Named(new QLineEdit(page), "edtStyleExt");
  // A tab count that was never used: kept, hidden, without effect.
  auto* countLabel = new QLabel(QStringLiteral("表示するスタイルタブの数 :"), page);
  auto* countField = Named(new QLineEdit(QStringLiteral("10"), page), "edtTabCount");
  countField->setReadOnly(true);
  auto* countUpDown = Named(new QSpinBox(page), "UpDown1");
  countUpDown->setRange(1, 10);
  countUpDown->setValue(10);
  for (QWidget* w : {static_cast<QWidget*>(countLabel), static_cast<QWidget*>(countField),
                     static_cast<QWidget*>(countUpDown)})
    w->hide();

  auto* grid = new QGridLayout;
  grid->addWidget(edtTab, 0, 0);
  grid->addWidget(update, 0, 1);
  grid->addWidget(edtDic, 1, 0);
  grid->addWidget(dic, 1, 1);
  grid->addWidget(new QLabel(QStringLiteral("関連付けるファイルの拡張子："), page), 2, 0, 1, 2);
  grid->addWidget(edtStyleExt, 3, 0, 1, 2);
  auto* layout = new QVBoxLayout(page);
  layout->addWidget(countLabel);
  layout->addWidget(countField);
  layout->addWidget(countUpDown);
  layout->addWidget(TabSet1);
  layout->addLayout(grid);
  layout->addStretch();

  connect(TabSet1, &QTabBar::currentChanged, this, [this](int i) { SelectStyle(i); });
  connect(update, &QPushButton::clicked, this, [this] { TabSet1->setTabText(selected_, edtTab->text()); });
  connect(dic, &QPushButton::clicked, this, [this] { ChooseDictionary(); });
  connect(edtStyleExt, &QLineEdit::textChanged, this,
          [this](const QString& text) { style_exts_[static_cast<std::size_t>(selected_)] = ToCp932(text); });
  // What the user types is the style's dictionary as much as what the
  // chooser puts there; a path shown but not edited keeps its own bytes.
  connect(edtDic, &QLineEdit::textEdited, this,
          [this](const QString& text) { dic_files_[static_cast<std::size_t>(selected_)] = ToNative(text); });
  return page;
}

QWidget* TBasicSetupDlg::DatePage() {
  radiobtnDayFormat1 = Named(new QRadioButton(QStringLiteral("標準 \"t yy/m/d\"")), "radiobtnDayFormat1");
  radiobtnDayFormat2 = Named(new QRadioButton(QStringLiteral("カスタム")), "radiobtnDayFormat2");
  radiobtnDayFormat1->setChecked(true);
  edtDayFormat = Named(new QLineEdit(QStringLiteral("yy_m_d-h_n_(aaa)")), "edtDayFormat");
  QPushButton* test = Button(QStringLiteral("テスト..."), "Button1", nullptr);
  connect(test, &QPushButton::clicked, this, [this] { TestFormat(); });
  return Page({Group(QStringLiteral("フォーマット"), {radiobtnDayFormat1, radiobtnDayFormat2, edtDayFormat}), test});
}

QWidget* TBasicSetupDlg::ToolPage() {
  auto* group = new QGroupBox(QStringLiteral("実行ファイル"));
  auto* grid = new QGridLayout(group);
  grid->addWidget(new QLabel(QStringLiteral("メニューに表示する名前")), 0, 1);
  grid->addWidget(new QLabel(QStringLiteral("ファイル名")), 0, 2);
  static const char* const kEdits[] = {"Edit1", "Edit2", "Edit3", "Edit4", "Edit5", "Edit6"};
  static const char* const kButtons[] = {"Button2", "Button3", "Button4"};
  static const QString kRows[] = {QStringLiteral("１ :"), QStringLiteral("２ :"), QStringLiteral("３ :")};
  for (int t = 0; t < kToolCount; ++t) {
    tool_edits_[2 * t] = Named(new QLineEdit, kEdits[2 * t]);
    tool_edits_[2 * t + 1] = Named(new QLineEdit, kEdits[2 * t + 1]);
    QPushButton* browse = Button(QStringLiteral("参照..."), kButtons[t], nullptr);
    connect(browse, &QPushButton::clicked, this, [this, t] { ChooseTool(t + 1); });
    grid->addWidget(new QLabel(kRows[t]), t + 1, 0);
    grid->addWidget(tool_edits_[2 * t], t + 1, 1);
    grid->addWidget(tool_edits_[2 * t + 1], t + 1, 2);
    grid->addWidget(browse, t + 1, 3);
  }
  return Page({group});
}

QWidget* TBasicSetupDlg::WindowPage() {
  chkWinSizePos = Named(new QCheckBox(QStringLiteral("終了時のサイズと位置を復元する")), "chkWinSizePos");
  auto* note = new QLabel(QStringLiteral("＊次回起動時から有効"));
  note->setStyleSheet(QStringLiteral("color: blue"));
  chkAnime = Named(new QCheckBox(QStringLiteral("アイコンをアニメーションする")), "chkAnime");
  return Page({Group(QStringLiteral("起動時のサイズと位置"), {chkWinSizePos, note}),
               Group(QStringLiteral("アイコン"), {chkAnime})});
}

QWidget* TBasicSetupDlg::HistoryPage() {
  chkDelHist = Named(new QCheckBox(QStringLiteral("終了時に版管理リストのファイルを削除する")), "chkDelHist");
  chkUserHeader = Named(new QCheckBox(QStringLiteral("ファイル名に使用するヘッダを毎回指定する")), "chkUserHeader");
  return Page({Group(QStringLiteral("版管理リスト"), {chkDelHist, chkUserHeader})});
}

QWidget* TBasicSetupDlg::MarksPage() {
  tab_marks_ = {Named(new QRadioButton(QStringLiteral("→")), "rdbtnTab1"),
                Named(new QRadioButton(QStringLiteral("＞")), "rdbtnTab2"),
                Named(new QRadioButton(QStringLiteral("表示しない")), "rdbtnTab3")};
  space_marks_ = {Named(new QRadioButton(QStringLiteral("□")), "rdbtnSP1"),
                  Named(new QRadioButton(QStringLiteral("└┘")), "rdbtnSP2"),
                  Named(new QRadioButton(QStringLiteral("表示しない")), "rdbtnSP3")};
  tab_marks_[0]->setChecked(true);
  space_marks_[0]->setChecked(true);
  return Page({Group(QStringLiteral("タブ"), {tab_marks_[0], tab_marks_[1], tab_marks_[2]}),
               Group(QStringLiteral("全角スペース"), {space_marks_[0], space_marks_[1], space_marks_[2]})});
}

QWidget* TBasicSetupDlg::GrepPage() {
  Edit7 = Named(new QLineEdit, "Edit7");
  Edit8 = Named(new QLineEdit, "Edit8");
  QPushButton* browse = Button(QStringLiteral("参照..."), "Button7", nullptr);
  connect(browse, &QPushButton::clicked, this, [this] { ChooseTool(4); });
  auto* group = new QGroupBox(QStringLiteral("Tracer"));
  auto* grid = new QGridLayout(group);
  grid->addWidget(new QLabel(QStringLiteral("Tracerのパス")), 0, 0, 1, 2);
  grid->addWidget(Edit7, 1, 0);
  grid->addWidget(browse, 1, 1);
  grid->addWidget(new QLabel(QStringLiteral("対象とするファイルの拡張子（複数指定はスペースで区切る）")), 2, 0, 1, 2);
  grid->addWidget(Edit8, 3, 0, 1, 2);
  return Page({group});
}

QWidget* TBasicSetupDlg::LineNumberPage() {
  rdbtnLogicLine = Named(new QRadioButton(QStringLiteral("論理行表示")), "rdbtnLogicLine");
  rdbtnPhysicalLine = Named(new QRadioButton(QStringLiteral("物理行表示")), "rdbtnPhysicalLine");
  rdbtnLogicLine->setChecked(true);
  return Page({Group(QStringLiteral("行番号表示方式"), {rdbtnLogicLine, rdbtnPhysicalLine})});
}

// --- behaviour ------------------------------------------------------------------

void TBasicSetupDlg::SelectStyle(int index) {
  if (index < 0 || index >= kStyleCount) return;
  selected_ = index;
  const auto i = static_cast<std::size_t>(index);
  edtTab->setText(TabSet1->tabText(index));
  edtDic->setText(FromNative(dic_files_[i]));
  edtStyleExt->setText(FromCp932(style_exts_[i]));
}

void TBasicSetupDlg::ChooseDictionary() {
  const std::optional<QString> file = prompts_.OpenFileName(this, kDicChooserTitle, kDicChooserFilter, 0, edtDic->text());
  if (!file) return;
  edtDic->setText(*file);
  dic_files_[static_cast<std::size_t>(selected_)] = ToNative(*file);
}

// target 1 to 3: a tool row's file; 4: the grep tool. Programs here carry
// no ".exe", so the chooser starts on all files.
void TBasicSetupDlg::ChooseTool(int target) {
  QLineEdit* field = target == 4 ? Edit7 : tool_edits_[static_cast<std::size_t>(2 * target - 1)];
  const std::optional<QString> file = prompts_.OpenFileName(this, kToolChooserTitle, kToolChooserFilter, 1, field->text());
  if (file) field->setText(*file);
}

void TBasicSetupDlg::TestFormat() {
  const std::string format =
      radiobtnDayFormat2->isChecked() ? ToCp932(edtDayFormat->text()) : std::string(kStandardDayFormat);
  const std::string text = FormatNow ? FormatNow(format) : format;
  prompts_.Information(this, kFormatTestCaption, FromCp932(text));
}

// --- filling and taking --------------------------------------------------------------

void TBasicSetupDlg::Load(const TBasicSettings& s) {
  chkIme->setChecked(s.imeMode);
  for (int i = 0; i < kStyleCount; ++i) TabSet1->setTabText(i, FromCp932(s.tabNames[static_cast<std::size_t>(i)]));
  dic_files_ = s.dicFiles;
  style_exts_ = s.styleExts;
  SelectStyle(selected_);
  (s.customDayTime ? radiobtnDayFormat2 : radiobtnDayFormat1)->setChecked(true);
  edtDayFormat->setText(FromCp932(s.dayTimeFormat));
  for (std::size_t t = 0; t < kToolCount; ++t) {
    tool_edits_[2 * t]->setText(FromCp932(s.toolNames[t]));
    tool_edits_[2 * t + 1]->setText(FromNative(s.toolPaths[t]));
  }
  Edit7->setText(FromNative(s.tracerPath));
  Edit8->setText(FromCp932(s.tracerExt));
  chkWinSizePos->setChecked(s.sizePosSave);
  chkAnime->setChecked(s.iconAnime);
  chkDelHist->setChecked(s.deleteHistory);
  chkUserHeader->setChecked(s.userHeader);
  // A mark outside 0..2 in the file shows as the nearest choice.
  tab_marks_[static_cast<std::size_t>(std::clamp(s.tabMark, 0, 2))]->setChecked(true);
  space_marks_[static_cast<std::size_t>(std::clamp(s.spaceMark, 0, 2))]->setChecked(true);
  (s.logicalLineNumbers ? rdbtnLogicLine : rdbtnPhysicalLine)->setChecked(true);
}

TBasicSettings TBasicSetupDlg::Take() const {
  TBasicSettings s;
  s.imeMode = chkIme->isChecked();
  for (int i = 0; i < kStyleCount; ++i) s.tabNames[static_cast<std::size_t>(i)] = ToCp932(TabSet1->tabText(i));
  s.dicFiles = dic_files_;
  s.styleExts = style_exts_;
  s.customDayTime = radiobtnDayFormat2->isChecked();
  s.dayTimeFormat = ToCp932(edtDayFormat->text());
  for (std::size_t t = 0; t < kToolCount; ++t) {
    s.toolNames[t] = ToCp932(tool_edits_[2 * t]->text());
    s.toolPaths[t] = ToNative(tool_edits_[2 * t + 1]->text());
  }
  s.tracerPath = ToNative(Edit7->text());
  s.tracerExt = ToCp932(Edit8->text());
  s.sizePosSave = chkWinSizePos->isChecked();
  s.iconAnime = chkAnime->isChecked();
  s.deleteHistory = chkDelHist->isChecked();
  s.userHeader = chkUserHeader->isChecked();
  s.tabMark = tab_marks_[0]->isChecked() ? 0 : tab_marks_[1]->isChecked() ? 1 : 2;
  s.spaceMark = space_marks_[0]->isChecked() ? 0 : space_marks_[1]->isChecked() ? 1 : 2;
  s.logicalLineNumbers = rdbtnLogicLine->isChecked();
  return s;
}

bool EditBasicSettings(TBasicSetupDlg& dialog, TBasicSettings& s) {
  dialog.Load(s);
  if (dialog.exec() != QDialog::Accepted) return false;
  s = dialog.Take();
  return true;
}

}  // namespace yk
