// The search and replace dialogs: histories and options read from the
// settings file when a dialog opens and written back when it is confirmed.
#include "dialogs/search_dialogs.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QVBoxLayout>

#include <algorithm>

#include "controls/history_box.h"
#include "controls/ui_font.h"
#include "dialogs/qt_text.h"
#include "props/ini_text.h"
#include "props/settings_file.h"
#include "shell/search_history.h"
#include "text/errors.h"

namespace yk {

void AddToHistory(std::vector<std::string>& history, const std::string& text) {
  const auto same = std::find(history.begin(), history.end(), text);
  if (same != history.end()) history.erase(same);
  history.insert(history.begin(), text);
  if (history.size() > kSearchHistoryMax) history.pop_back();
}

// --- options ------------------------------------------------------------------

namespace {

constexpr const char* kOptions = "Options";

// Booleans are stored as integers; any value whose low byte is not 0 is on.
bool ReadFlag(const TIniText& ini, const char* key, bool def) {
  const std::optional<std::string> v = ini.Read(kOptions, key);
  if (!v) return def;
  try {
    return (std::stoll(*v) & 0xFF) != 0;
  } catch (const std::exception&) {
    return false;
  }
}

}  // namespace

TSearchDialogOptions ReadSearchOptions(const std::string& settingsPath) {
  TIniText ini;
  try {
    ini = TIniText(ReadSettingsFile(settingsPath).value_or(std::string()));
  } catch (const Exception&) {
    // An unreadable file gives the defaults, as a missing one does.
  }
  TSearchDialogOptions o;
  o.matchCase = ReadFlag(ini, "MatchCase", false);
  o.wholeWord = ReadFlag(ini, "WholeWord", false);
  o.noMatchZenkaku = ReadFlag(ini, "NoMatchZenkaku", false);
  o.includeCrlf = ReadFlag(ini, "IncludeCRLF", false);
  o.forward = ini.Read(kOptions, "Direction").value_or("1") != "0";
  return o;
}

void WriteSearchOptions(const std::string& settingsPath, const TSearchDialogOptions& o) {
  auto flag = [](bool b) { return std::string(b ? "1" : "0"); };
  EditSettingsFile(settingsPath, [&](const std::optional<std::string>& current) -> std::optional<std::string> {
    TIniText ini(current.value_or(std::string()));
    if (!ini.WriteMany(kOptions, {{"MatchCase", flag(o.matchCase)},
                                  {"WholeWord", flag(o.wholeWord)},
                                  {"NoMatchZenkaku", flag(o.noMatchZenkaku)},
                                  {"IncludeCRLF", flag(o.includeCrlf)},
                                  {"Direction", o.forward ? "1" : "0"}}))
      return std::nullopt;
    return ini.Text();
  });
}

// --- the shared dialog ------------------------------------------------------

TFormSearchBase::TFormSearchBase(QWidget* parent, const QString& caption) : QDialog(parent) {
  setWindowTitle(caption);
  setFont(JapaneseUiFont());
  setWindowFlags(windowFlags() & ~Qt::WindowContextHelpButtonHint);

  ComboBox1 = new QComboBox(this);
  ComboBox1->setObjectName(QStringLiteral("ComboBox1"));
  MakeHistoryBox(ComboBox1);
  ComboBox1->setMinimumWidth(220);
  auto* label1 = new QLabel(QStringLiteral("検索する文字列(&T):"), this);
  label1->setBuddy(ComboBox1);
  text_grid_ = new QGridLayout;
  text_grid_->addWidget(label1, 0, 0);
  text_grid_->addWidget(ComboBox1, 0, 1);

  auto* direction = new QGroupBox(QStringLiteral(" 検索方向 "), this);
  direction->setObjectName(QStringLiteral("RadioGroup1"));
  rbBackward = new QRadioButton(QStringLiteral("↑：後方(&B)"), direction);
  rbBackward->setObjectName(QStringLiteral("rbBackward"));
  rbForward = new QRadioButton(QStringLiteral("↓：前方(&D)"), direction);
  rbForward->setObjectName(QStringLiteral("rbForward"));
  auto* dirLayout = new QHBoxLayout(direction);  // two columns
  dirLayout->addWidget(rbBackward);
  dirLayout->addWidget(rbForward);

  auto* options = new QGroupBox(QStringLiteral(" ｵﾌﾟｼｮﾝ "), this);
  options->setObjectName(QStringLiteral("GroupBox1"));
  auto* optLayout = new QVBoxLayout(options);
  auto check = [&](QCheckBox*& box, const QString& caption, const char* name) {
    box = new QCheckBox(caption, options);
    box->setObjectName(QLatin1String(name));
    optLayout->addWidget(box);
  };
  check(chkMatchCase, QStringLiteral("大/小文字の区別(&C)"), "chkMatchCase");
  check(chkWholeWord, QStringLiteral("単語単位で探す(&W)"), "chkWholeWord");
  check(chkNoMatchZenkaku, QStringLiteral("全角・半角を区別しない(&Z)"), "chkNoMatchZenkaku");
  check(chkIncludeCRLF, QStringLiteral("改行・スペースを無視(&L)"), "chkIncludeCRLF");

  left_ = new QVBoxLayout;
  left_->addLayout(text_grid_);
  left_->addWidget(direction);
  left_->addWidget(options);
  buttons_ = new QVBoxLayout;
  auto* main = new QHBoxLayout(this);
  main->addLayout(left_);
  main->addLayout(buttons_);
  main->setSizeConstraint(QLayout::SetFixedSize);  // a fixed border

  QPushButton* ok = AddButton(QStringLiteral("OK"), "OKBtn");
  ok->setDefault(true);
  connect(ok, &QPushButton::clicked, this, [this] { Confirm(clOk); });
}

QPushButton* TFormSearchBase::AddButton(const QString& caption, const char* name) {
  auto* button = new QPushButton(caption, this);
  button->setObjectName(QLatin1String(name));
  button->setAutoDefault(false);
  buttons_->addWidget(button);
  return button;
}

void TFormSearchBase::showEvent(QShowEvent* e) {
  QDialog::showEvent(e);
  if (const QScreen* screen = this->screen()) move(screen->geometry().center() - rect().center());
}

void TFormSearchBase::Open(const TSearchDialogRequest& request) {
  settings_path_ = request.settingsPath;
  editor_ = request.editor;
  chars_ = request.chars;
  closed_ = clCancel;
  result_text_.clear();
  result_flags_ = 0;
  history_ = LoadSearchHistory(settings_path_, kSearchHistoryPlace);
  ShowHistory(ComboBox1, history_);
  const TSearchDialogOptions o = ReadSearchOptions(settings_path_);
  chkMatchCase->setChecked(o.matchCase);
  chkWholeWord->setChecked(o.wholeWord);
  chkNoMatchZenkaku->setChecked(o.noMatchZenkaku);
  chkIncludeCRLF->setChecked(o.includeCrlf);
  (o.forward ? rbForward : rbBackward)->setChecked(true);
  OpenMore();
  if (!request.currentText.empty() || history_.empty()) {
    ComboBox1->setEditText(FromCp932(request.currentText, chars_));
  } else {
    ComboBox1->setCurrentIndex(0);
  }
  ComboBox1->lineEdit()->selectAll();
  ComboBox1->setFocus();
}

void TFormSearchBase::ShowHistory(QComboBox* box, const std::vector<std::string>& history) {
  box->clear();
  for (const std::string& h : history) box->addItem(FromStoredText(h));
  box->setCurrentIndex(-1);
  box->setEditText(QString());
}

// The text in the editor's codes; the history keeps its characters.
std::string TFormSearchBase::TakeText(QComboBox* box, std::vector<std::string>& history) {
  const QString typed = box->currentText();
  const std::string text = ToCp932(typed, chars_);
  if (text.empty()) return text;
  AddToHistory(history, ToStoredText(typed));
  ShowHistory(box, history);
  box->setEditText(typed);
  return text;
}

TSearchOptions TFormSearchBase::Flags(TClose how) const {
  TSearchOptions f = 0;
  if (rbForward->isChecked() || how == clFromTop || how == clReplaceAll) f |= sfForward;
  if (chkMatchCase->isChecked()) f |= sfMatchCase;
  if (chkWholeWord->isChecked()) f |= sfWholeWord;
  if (chkNoMatchZenkaku->isChecked()) f |= sfNoMatchZenkaku;
  if (chkIncludeCRLF->isChecked()) f |= sfIncludeCRLF;
  return f | MoreFlags(how);
}

void TFormSearchBase::WriteSettings() {
  StoreSearchHistory(settings_path_, kSearchHistoryPlace, history_);
  WriteSearchOptions(settings_path_, {chkMatchCase->isChecked(), chkWholeWord->isChecked(),
                                      chkNoMatchZenkaku->isChecked(), chkIncludeCRLF->isChecked(),
                                      !rbBackward->isChecked()});
}

void TFormSearchBase::Confirm(TClose how) {
  result_text_ = TakeText(ComboBox1, history_);
  TakeMore();
  try {
    WriteSettings();
  } catch (const Exception&) {
    // The search still runs when the settings file cannot be written; the
    // histories and options are then only lost for the next time.
  }
  if ((how == clFromTop || how == clReplaceAll) && editor_) {
    editor_->SetSelStart(0);
    editor_->SetSelLength(0);
  }
  result_flags_ = Flags(how);
  closed_ = how;
  accept();
}

// --- the two dialogs ----------------------------------------------------------

TFormSearch::TFormSearch(QWidget* parent) : TFormSearchBase(parent, QStringLiteral("検索")) {
  QPushButton* top = AddButton(QStringLiteral("先頭から検索(&S)"), "TopBtn");
  connect(top, &QPushButton::clicked, this, [this] { Confirm(clFromTop); });
  QPushButton* cancel = AddButton(QStringLiteral("キャンセル"), "CancelBtn");
  connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
  AddButton(QStringLiteral("ヘルプ(&H)"), "HelpBtn")->hide();
  buttons_->addStretch();
}

TFormReplace::TFormReplace(QWidget* parent) : TFormSearchBase(parent, QStringLiteral("置換")) {
  ComboBox2 = new QComboBox(this);
  ComboBox2->setObjectName(QStringLiteral("ComboBox2"));
  MakeHistoryBox(ComboBox2);
  auto* label2 = new QLabel(QStringLiteral("置換える文字列(&R):"), this);
  label2->setBuddy(ComboBox2);
  text_grid_->addWidget(label2, 1, 0);
  text_grid_->addWidget(ComboBox2, 1, 1);
  chkReplaceConfirm = new QCheckBox(QStringLiteral("置換え動作の確認(&P)"), this);
  chkReplaceConfirm->setObjectName(QStringLiteral("chkReplaceConfirm"));
  left_->addWidget(chkReplaceConfirm);

  QPushButton* all = AddButton(QStringLiteral("すべて置換(&A)"), "AllBtn");
  connect(all, &QPushButton::clicked, this, [this] { Confirm(clReplaceAll); });
  QPushButton* top = AddButton(QStringLiteral("先頭から置換(&S)"), "TopBtn");
  connect(top, &QPushButton::clicked, this, [this] { Confirm(clFromTop); });
  QPushButton* cancel = AddButton(QStringLiteral("キャンセル"), "CancelBtn");
  connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
  AddButton(QStringLiteral("ヘルプ(&H)"), "HelpBtn")->hide();
  buttons_->addStretch();
  // The search text first, then the replacement, then the options.
  setTabOrder(ComboBox1, ComboBox2);
}

void TFormReplace::OpenMore() {
  result_replacement_.clear();
  rep_history_ = LoadSearchHistory(settings_path_, kReplaceHistoryPlace);
  ShowHistory(ComboBox2, rep_history_);
  chkReplaceConfirm->setChecked(true);
}

void TFormReplace::TakeMore() {
  result_replacement_ = TakeText(ComboBox2, rep_history_);
  try {
    StoreSearchHistory(settings_path_, kReplaceHistoryPlace, rep_history_);
  } catch (const Exception&) {
  }
}

TSearchOptions TFormReplace::MoreFlags(TClose how) const {
  TSearchOptions f = chkReplaceConfirm->isChecked() ? sfReplaceConfirm : 0;
  if (how == clOk || how == clFromTop) f |= sfReplace;
  if (how == clReplaceAll) f |= sfReplaceAll;
  return f;
}

// --- entry points -------------------------------------------------------------

TSearchDialogResult ShowSearchDialog(const TSearchDialogRequest& request) {
  TFormSearch form(request.parent);
  form.Open(request);
  if (request.exec)
    request.exec(form);
  else
    form.exec();
  TSearchDialogResult r;
  r.text = form.ResultText();
  r.flags = form.ResultFlags();
  r.ok = form.Closed() != TFormSearchBase::clCancel && !r.text.empty();
  return r;
}

TSearchDialogResult ShowReplaceDialog(const TSearchDialogRequest& request) {
  TFormReplace form(request.parent);
  form.Open(request);
  if (request.exec)
    request.exec(form);
  else
    form.exec();
  TSearchDialogResult r;
  r.text = form.ResultText();
  r.replacement = form.ResultReplacement();
  r.flags = form.ResultFlags();
  r.ok = form.Closed() != TFormSearchBase::clCancel && !r.text.empty();
  return r;
}

}  // namespace yk
