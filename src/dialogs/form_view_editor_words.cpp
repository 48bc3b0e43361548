// The "ReserveWordList" and "WordWrap" pages of the style settings dialog.
#include <QFile>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QSpinBox>
#include <QVBoxLayout>

#include "dialogs/form_view_editor.h"
#include "dialogs/form_view_editor_util.h"
#include "editor/editor.h"
#include "qt/qt_graphics.h"
#include "shell/system_error.h"
#include "text/errors.h"

namespace yk {

using namespace style_dialog;

namespace {

// A word file that could not be read or written, and why, in Japanese.
QString WordFileFailure(const char* what, const QString& path, const Exception& e) {
  const auto* file = dynamic_cast<const EFileError*>(&e);
  const QString reason = file ? ToQString(SystemErrorText(file->Error())) : ToQString(e.what());
  return QString::fromUtf8(what).arg(path) + QLatin1Char('\r') + reason;
}

// The word editor's own menu: the editing commands a word list needs, with
// "１行削除" in place of the box commands.
struct TWordCommand {
  const char* caption;  // UTF-8
  Qt::Key key;          // with Ctrl
  bool (*enabled)(TEditor&);
  void (*run)(TEditor&);
};
const TWordCommand kWordCommands[] = {
    {"元に戻す", Qt::Key_Z, [](TEditor& ed) { return ed.CanUndo(); }, [](TEditor& ed) { ed.Undo(); }},
    {"やり直し", Qt::Key_A, [](TEditor& ed) { return ed.CanRedo(); }, [](TEditor& ed) { ed.Redo(); }},
    {"切り取り", Qt::Key_X, [](TEditor& ed) { return ed.SelLength() > 0; }, [](TEditor& ed) { ed.CutToClipboard(); }},
    {"コピー", Qt::Key_C, [](TEditor& ed) { return ed.SelLength() > 0; }, [](TEditor& ed) { ed.CopyToClipboard(); }},
    {"貼り付け", Qt::Key_V, [](TEditor& ed) { return ed.Clipboard() && ed.Clipboard()->HasText(); },
     [](TEditor& ed) { ed.PasteFromClipboard(); }},
    {"１行削除", Qt::Key_Y, [](TEditor&) { return true; }, [](TEditor& ed) { ed.DeleteRow(ed.Row()); }},
};

const QString kWordFilter = QStringLiteral("テキストファイル(*.txt)|*.txt|全てのファイル(*.*)|*.*");

struct TWrapString {
  const char* name;
  const std::string& (TEditorWrapOption::*get)() const;
  void (TEditorWrapOption::*set)(const std::string&);
  const char* const* fallback;
};
const TWrapString kWrapStrings[] = {
    {"FollowStr", &TEditorWrapOption::FollowStr, &TEditorWrapOption::SetFollowStr,
     &TEditorWrapOption::kDefaultFollowStr},
    {"LeadStr", &TEditorWrapOption::LeadStr, &TEditorWrapOption::SetLeadStr, &TEditorWrapOption::kDefaultLeadStr},
    {"PunctuationStr", &TEditorWrapOption::PunctuationStr, &TEditorWrapOption::SetPunctuationStr,
     &TEditorWrapOption::kDefaultPunctuationStr},
};

struct TWrapFlag {
  const char* name;
  bool (TEditorWrapOption::*get)() const;
  void (TEditorWrapOption::*set)(bool);
};
const TWrapFlag kWrapFlags[] = {
    {"FollowPunctuation", &TEditorWrapOption::FollowPunctuation, &TEditorWrapOption::SetFollowPunctuation},
    {"FollowRetMark", &TEditorWrapOption::FollowRetMark, &TEditorWrapOption::SetFollowRetMark},
    {"Leading", &TEditorWrapOption::Leading, &TEditorWrapOption::SetLeading},
    {"WordBreak", &TEditorWrapOption::WordBreak, &TEditorWrapOption::SetWordBreak},
};

std::string NativePath(const QString& path) { return QFile::encodeName(path).toStdString(); }

}  // namespace

// --- ReserveWordList -------------------------------------------------------------------

QWidget* TFormViewEditor::BuildReserveWordPage() {
  auto* page = new QWidget;
  editor4_ = MakeSampleEditor(page, "Editor4", true);
  editor4_->SetScrollBars(ssVertical);
  // The editor's own menu and its keys give way to the word list's.
  editor4_->Editor().SetPopupMenu(nullptr);
  editor4_->setContextMenuPolicy(Qt::CustomContextMenu);
  connect(editor4_, &QWidget::customContextMenuRequested, this, &TFormViewEditor::ShowWordMenu);
  editor4_->installEventFilter(this);
  auto* load = new QPushButton(QStringLiteral("Load"), page);
  load->setObjectName(QStringLiteral("Load"));
  auto* save = new QPushButton(QStringLiteral("Save"), page);
  save->setObjectName(QStringLiteral("Save"));
  connect(load, &QPushButton::clicked, this, &TFormViewEditor::LoadWordsClick);
  connect(save, &QPushButton::clicked, this, &TFormViewEditor::SaveWordsClick);
  auto* buttons = new QVBoxLayout;
  buttons->addWidget(load);
  buttons->addWidget(save);
  buttons->addStretch();
  auto* layout = new QHBoxLayout(page);
  layout->addWidget(editor4_, 1);
  layout->addLayout(buttons);
  return page;
}

void TFormViewEditor::LoadWordControls() { SetEditorLines(editor4_->Editor(), prop_->ReserveWordList().Words()); }

void TFormViewEditor::ShowWordMenu(const QPoint& pos) {
  TEditor& ed = editor4_->Editor();
  if (ed.InMouseAction()) return;
  auto* menu = new QMenu(editor4_);
  menu->setAttribute(Qt::WA_DeleteOnClose);
  for (const TWordCommand& c : kWordCommands) {
    QAction* action = menu->addAction(QString::fromUtf8(c.caption));
    action->setShortcut(QKeySequence(Qt::CTRL | c.key));
    action->setShortcutContext(Qt::WidgetShortcut);
    action->setEnabled(c.enabled(ed));
    connect(action, &QAction::triggered, this, [this, &c] { c.run(editor4_->Editor()); });
  }
  menu->popup(editor4_->viewport()->mapToGlobal(pos));
}

// The menu's keys work while the word editor has the focus; a key of a
// disabled command is used up and does nothing.
bool TFormViewEditor::WordShortcut(int key, Qt::KeyboardModifiers modifiers) {
  if ((modifiers & (Qt::ControlModifier | Qt::ShiftModifier | Qt::AltModifier)) != Qt::ControlModifier) return false;
  for (const TWordCommand& c : kWordCommands) {
    if (c.key != key) continue;
    TEditor& ed = editor4_->Editor();
    if (!ed.InMouseAction() && c.enabled(ed)) c.run(ed);
    return true;
  }
  return false;
}

bool TFormViewEditor::eventFilter(QObject* watched, QEvent* event) {
  if (watched == editor4_ && event->type() == QEvent::KeyPress) {
    auto* key = static_cast<QKeyEvent*>(event);
    if (WordShortcut(key->key(), key->modifiers())) return true;
  }
  return QDialog::eventFilter(watched, event);
}

// The file is read whole before the editor changes, so a file that cannot
// be read leaves the words as they were.
void TFormViewEditor::LoadWordsClick() {
  const std::optional<QString> path = prompts_.OpenFileName(this, QStringLiteral("開く"), kWordFilter);
  if (!path) return;
  TEditor scratch;
  try {
    scratch.Lines().LoadFromFile(NativePath(*path));
  } catch (const Exception& e) {
    ShowError(WordFileFailure("ファイル %1 を読み込めませんでした。", *path, e));
    return;
  }
  TEditor& ed = editor4_->Editor();
  ed.Lines().SetTextStr(scratch.Lines().GetTextStr());
  ed.SetRowCol(0, 0);
}

void TFormViewEditor::SaveWordsClick() {
  const std::optional<QString> path = prompts_.SaveFileName(this, QStringLiteral("名前を付けて保存"), kWordFilter);
  if (!path) return;
  try {
    editor4_->Editor().Lines().SaveToFile(NativePath(*path));
  } catch (const Exception& e) {
    ShowError(WordFileFailure("ファイル %1 に書き込めませんでした。", *path, e));
  }
}

// --- WordWrap ---------------------------------------------------------------------------

QWidget* TFormViewEditor::BuildWrapPage() {
  auto* page = new QWidget;
  word_wrap_ = MakeCheck(page, "WordWrap", QStringLiteral("WordWrap"));
  connect(word_wrap_, &QCheckBox::toggled, this, [this](bool on) {
    if (!loading_) prop_->SetWordWrap(on);
  });
  auto* group = new QGroupBox(QStringLiteral(" TEditorWrapOption "), page);
  group->setObjectName(QStringLiteral("WrapOptionGroup"));
  auto* strings = new QGridLayout;
  for (std::size_t i = 0; i < wrap_strings_.size(); ++i) {
    const TWrapString& s = kWrapStrings[i];
    wrap_strings_[i] = MakeField(group, s.name);
    auto* fallback = new QPushButton(QStringLiteral("Default"), group);
    fallback->setObjectName(QString::fromLatin1(s.name) + QStringLiteral("Default"));
    strings->addWidget(new QLabel(QString::fromLatin1(s.name), group), static_cast<int>(i), 0);
    strings->addWidget(wrap_strings_[i], static_cast<int>(i), 1);
    strings->addWidget(fallback, static_cast<int>(i), 2);
    connect(wrap_strings_[i], &QLineEdit::textChanged, this, [this, i, &s] {
      if (!loading_) (prop_->WrapOption().*s.set)(FieldBytes(wrap_strings_[i]));
    });
    connect(fallback, &QPushButton::clicked, this, [this, i, &s] { wrap_strings_[i]->setText(ToQString(*s.fallback)); });
  }
  auto* flags = new QVBoxLayout;
  for (std::size_t i = 0; i < wrap_flags_.size(); ++i) {
    const TWrapFlag& flag = kWrapFlags[i];
    wrap_flags_[i] = MakeCheck(group, flag.name, QString::fromLatin1(flag.name));
    flags->addWidget(wrap_flags_[i]);
    connect(wrap_flags_[i], &QCheckBox::toggled, this, [this, &flag](bool on) {
      if (!loading_) (prop_->WrapOption().*flag.set)(on);
    });
  }
  wrap_byte_ = new QSpinBox(group);
  wrap_byte_->setObjectName(QStringLiteral("WrapByte"));
  wrap_byte_->setRange(TEditorWrapOption::kMinWrapByte, TEditorWrapOption::kMaxWrapByte);
  wrap_byte_->setMaximumWidth(80);
  connect(wrap_byte_, &QSpinBox::valueChanged, this, [this](int v) {
    if (!loading_) prop_->WrapOption().SetWrapByte(v);
  });
  auto* byte_row = new QFormLayout;
  byte_row->addRow(QStringLiteral("WrapByte"), wrap_byte_);
  auto* group_layout = new QVBoxLayout(group);
  group_layout->addLayout(strings);
  group_layout->addLayout(flags);
  group_layout->addLayout(byte_row);
  auto* layout = new QVBoxLayout(page);
  layout->addWidget(word_wrap_);
  layout->addWidget(group);
  layout->addStretch();
  return page;
}

void TFormViewEditor::LoadWrapControls() {
  word_wrap_->setChecked(prop_->WordWrap());
  const TEditorWrapOption& w = prop_->WrapOption();
  for (std::size_t i = 0; i < wrap_strings_.size(); ++i) {
    const TWrapString& s = kWrapStrings[i];
    wrap_strings_[i]->setText(ToQString((w.*s.get)()));
  }
  for (std::size_t i = 0; i < wrap_flags_.size(); ++i) {
    const TWrapFlag& flag = kWrapFlags[i];
    wrap_flags_[i]->setChecked((w.*flag.get)());
  }
  wrap_byte_->setValue(TEditorWrapOption::ClampWrapByte(w.WrapByte()));
}

}  // namespace yk
