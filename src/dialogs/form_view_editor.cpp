// The style settings dialog: the working copy, opening, the sample
// refreshes that follow the copy's notifications, OK and the entry points.
#include "dialogs/form_view_editor.h"

#include <QCheckBox>
#include <QHBoxLayout>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QShowEvent>
#include <QTabWidget>
#include <QVBoxLayout>

#include "controls/ui_font.h"
#include "dialogs/color_grid.h"
#include "dialogs/form_view_editor_util.h"
#include "dialogs/style_dialog_logic.h"
#include "dialogs/style_fields.h"
#include "editor/editor.h"
#include "props/editor_prop_link.h"
#include "qt/qt_graphics.h"

namespace yk {

namespace style_dialog {

TEditorWidget* MakeSampleEditor(QWidget* parent, const char* name, bool focusable) {
  auto* w = new TEditorWidget(parent);
  w->setObjectName(QString::fromLatin1(name));
  if (!focusable) {
    w->setFocusPolicy(Qt::NoFocus);
    w->Editor().SetReadOnly(true);
  }
  return w;
}

QCheckBox* MakeCheck(QWidget* parent, const char* name, const QString& caption) {
  auto* box = new QCheckBox(caption, parent);
  box->setObjectName(QString::fromLatin1(name));
  return box;
}

QLineEdit* MakeField(QWidget* parent, const char* name) {
  auto* field = new QLineEdit(parent);
  field->setObjectName(QString::fromLatin1(name));
  field->setValidator(new TCp932Validator(field));
  return field;
}

void SetEditorLines(TEditor& editor, const std::vector<std::string>& lines) {
  editor.SetLines(lines);
  editor.Perform(emEmptyUndoBuffer);
  editor.SetRowCol(0, 0);
  editor.SetTopRow(0);
}

std::string FieldBytes(const QLineEdit* field) { return FromQString(field->text()).bytes; }

}  // namespace style_dialog

using namespace style_dialog;

TFormViewEditor::TFormViewEditor(QWidget* parent, TDialogPrompts& prompts)
    : QDialog(parent), prompts_(prompts), prop_(std::make_unique<TEditorProp>()) {
  setWindowTitle(QStringLiteral("プロパティ"));
  setFont(JapaneseUiFont());
  setModal(true);

  pages_ = new QTabWidget(this);
  pages_->setObjectName(QStringLiteral("PageControl1"));
  pages_->addTab(BuildFontPage(), QStringLiteral("Font"));
  pages_->addTab(BuildCaretPage(), QStringLiteral("Caret"));
  pages_->addTab(BuildViewPage(), QStringLiteral("View Marks Margin"));
  pages_->addTab(BuildBracketsPage(), QStringLiteral("Brackets"));
  pages_->addTab(BuildReserveWordPage(), QStringLiteral("ReserveWordList"));
  pages_->addTab(BuildWrapPage(), QStringLiteral("WordWrap"));
  connect(pages_, &QTabWidget::currentChanged, this, [this] { RefreshSelectionSample(); });

  auto* ok = new QPushButton(QStringLiteral("ＯＫ"), this);
  ok->setObjectName(QStringLiteral("OKButton"));
  ok->setDefault(true);
  connect(ok, &QPushButton::clicked, this, &TFormViewEditor::accept);
  auto* cancel = new QPushButton(QStringLiteral("キャンセル"), this);
  cancel->setObjectName(QStringLiteral("CancelButton"));
  connect(cancel, &QPushButton::clicked, this, &TFormViewEditor::reject);
  // The help topics are not part of the application; the button stays
  // hidden, as it always was.
  auto* help = new QPushButton(QStringLiteral("Help"), this);
  help->setObjectName(QStringLiteral("HelpButton"));
  help->setVisible(false);

  auto* buttons = new QHBoxLayout;
  buttons->addStretch();
  buttons->addWidget(ok);
  buttons->addWidget(cancel);
  buttons->addWidget(help);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(pages_);
  layout->addLayout(buttons);
}

TFormViewEditor::~TFormViewEditor() {
  // The samples outlive the working copy by a moment; nothing may reach
  // them through its notifications any more.
  prop_->OnColorChange = nullptr;
  prop_->OnScrollBarsChange = nullptr;
  prop_->Font().OnChange = nullptr;
  prop_->Margin().OnChange = nullptr;
  prop_->Marks().OnChange = nullptr;
  prop_->View().OnChange = nullptr;
  editor2_->Editor().OnDrawLine = nullptr;
}

TFormViewEditor::TPage TFormViewEditor::CurrentPage() const { return static_cast<TPage>(pages_->currentIndex()); }

namespace {

TFormViewEditor::TPage StartPage(const TPersistent* hint) {
  if (dynamic_cast<const TEditorBracketCollection*>(hint)) return TFormViewEditor::pgBrackets;
  if (dynamic_cast<const TEditorCaret*>(hint)) return TFormViewEditor::pgCaret;
  if (dynamic_cast<const TEditorWrapOption*>(hint)) return TFormViewEditor::pgWordWrap;
  return TFormViewEditor::pgView;
}

}  // namespace

void TFormViewEditor::Open(TEditorProp& prop, const TPersistent* startHint) {
  caller_ = &prop;
  prop_->Assign(prop);
  LoadControls();
  ConnectNotifications();
  RefreshFontAndColors();
  RefreshMargin();
  RefreshMarks();
  RefreshScrollBars();
  RefreshView();
  CaretChanged();
  pages_->setCurrentIndex(StartPage(startHint));
  prepared_ = false;
  if (isVisible()) PrepareVisible();
}

bool TFormViewEditor::Execute(TEditorProp& prop, const TPersistent* startHint) {
  Open(prop, startHint);
  return exec() == QDialog::Accepted;
}

void TFormViewEditor::LoadControls() {
  ++loading_;
  LoadFontControls();
  LoadCaretControls();
  LoadViewControls();
  LoadWordControls();
  LoadWrapControls();
  --loading_;
}

void TFormViewEditor::showEvent(QShowEvent* e) {
  QDialog::showEvent(e);
  if (!prepared_ && !e->spontaneous()) PrepareVisible();
}

// The lists that depend on what is installed are filled when the dialog
// shows, and the first element and pair are shown.
void TFormViewEditor::PrepareVisible() {
  prepared_ = true;
  FillFontList();
  SelectFontEntry(true);
  FillSizeList();
  element_list_->setCurrentRow(0);
  ShowElement(0);
  pair_list_->setCurrentRow(prop_->View().Brackets().Count() > 0 ? 0 : -1);
  ShowPair(pair_list_->currentRow());
  FillCursorLists();
  CaretChanged();
  TEditor& ed5 = editor5_->Editor();
  ed5.SetSelStart(12);
  ed5.SetSelLength(22);
}

void TFormViewEditor::ConnectNotifications() {
  prop_->OnColorChange = [this](TPersistent*) { RefreshFontAndColors(); };
  prop_->Font().OnChange = [this](TPersistent*) { RefreshFontAndColors(); };
  prop_->Margin().OnChange = [this](TPersistent*) { RefreshMargin(); };
  prop_->Marks().OnChange = [this](TPersistent*) { RefreshMarks(); };
  prop_->OnScrollBarsChange = [this](TPersistent*) { RefreshScrollBars(); };
  prop_->View().OnChange = [this](TPersistent*) { RefreshView(); };
}

// --- sample refreshes ---------------------------------------------------------------

void TFormViewEditor::RefreshFontAndColors() {
  const TEditorFont& font = prop_->Font();
  TFontSpec face1 = editor1_->Editor().Font();
  face1.name = font.Name();
  face1.height = font.Height();
  editor1_->Editor().SetFont(face1);
  for (TEditorWidget* w : {editor2_, editor3_}) {
    TEditor& ed = w->Editor();
    ed.SetColor(prop_->Color());
    TFontSpec face = ed.Font();
    face.color = font.Color();
    face.style = font.Style();
    ed.SetFont(face);
  }
  RefreshSelectionSample();
}

void TFormViewEditor::RefreshMargin() {
  editor2_->Editor().SetMargin(prop_->Margin());
  editor3_->Editor().SetMargin(prop_->Margin());
  RefreshSelectionSample();
}

void TFormViewEditor::RefreshMarks() {
  editor2_->Editor().SetMarks(prop_->Marks());
  editor3_->Editor().SetMarks(prop_->Marks());
  RefreshSelectionSample();
}

void TFormViewEditor::RefreshScrollBars() {
  editor1_->SetScrollBars(prop_->ScrollBars());
  RefreshSelectionSample();
}

void TFormViewEditor::RefreshView() {
  RebuildPairList();
  editor2_->Editor().SetView(prop_->View());
  editor3_->Editor().SetView(prop_->View());
  const bool any = prop_->View().Brackets().Count() > 0;
  for (QPushButton* b : bracket_same_) b->setEnabled(any);
  RefreshSelectionSample();
}

// The selection sample is painted with Editor2's first row, so a repaint
// of that row draws it again.
void TFormViewEditor::RefreshSelectionSample() {
  if (editor2_) editor2_->viewport()->update();
}

// The caret sample takes the caret settings and cursors after every change,
// so the user can try them at once.
void TFormViewEditor::CaretChanged() { editor5_->Editor().SetCaret(prop_->Caret()); }

// Over the first row at the top-left of the text: a box of eight half-width
// cells in the selection's colours with "選択領域" in the double-byte style.
void TFormViewEditor::DrawSelectionSample(TEditor& editor, const TDrawLineInfo& info) {
  TSurface* surface = editor.Canvas();
  if (!surface || info.index != 0) return;
  const int left = editor.Margin().Left(), top = editor.Margin().Top();
  const TRect box = TRect{left, top, left + 8 * editor.ColWidth(), top + editor.RowHeight()}.Intersect(info.rect);
  if (box.Empty()) return;
  const TEditorColors& colors = prop_->View().Colors();
  surface->FillRect(box, colors.Select().BkColor());
  surface->TextRun(left, top, editor.ColWidth(), "\x91\x49\x91\xf0\x97\xcc\x88\xe6",  // 選択領域
                   colors.Select().Color(), clNone, colors.DBCS().Style(), box);
}

// --- OK -------------------------------------------------------------------------------

void TFormViewEditor::accept() {
  if (!CheckPairs()) return;
  TReserveWordList words;
  words.SetText(editor4_->Editor().Lines().GetTextStr());
  prop_->SetReserveWordList(words);
  if (caller_) caller_->Assign(*prop_);
  QDialog::accept();
}

void TFormViewEditor::ShowError(const QString& text) {
  QString message = text;
  message.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
  prompts_.Error(this, QStringLiteral("Yomikaki"), message);
}

bool TFormViewEditor::Confirm(const std::string& question) {
  return prompts_.Question(this, QStringLiteral("確認"), QString::fromStdString(question),
                           AnswerBit(TDialogAnswer::Ok) | AnswerBit(TDialogAnswer::Cancel)) == TDialogAnswer::Ok;
}

// --- entry points ---------------------------------------------------------------------

bool ShowStyleDialog(QWidget* parent, TEditorProp& prop, const TPersistent* startHint, TDialogPrompts& prompts) {
  TFormViewEditor dialog(parent, prompts);
  return dialog.Execute(prop, startHint);
}

bool ShowStyleDialog(QWidget* parent, TEditorWidget& editor, const TPersistent* startHint,
                     TDialogPrompts& prompts) {
  TEditorProp copy;
  TEditorPropLink link(editor.Editor());
  copy.Assign(link);
  if (!ShowStyleDialog(parent, copy, startHint, prompts)) return false;
  copy.AssignTo(link);
  return true;
}

}  // namespace yk
