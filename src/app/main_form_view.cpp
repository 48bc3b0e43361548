// The View menu's toggles, the temporary font and the split view of the
// main window.
#include <QAction>
#include <QFontInfo>

#include "app/main_form.h"
#include "app/prompts.h"
#include "controls/cute_splitter.h"
#include "qt/editor_widget.h"
#include "qt/qt_graphics.h"

namespace yk {

namespace {

// The split pane closes when it is left this high or lower.
constexpr int kSplitCloseHeight = 20;

// A font the user chose, in the editor's terms; the colour and character
// set stay those of base.
TFontSpec FontSpecOf(const QFont& font, TFontSpec base) {
  base.name = FromQString(font.family()).bytes;
  base.height = -std::max(1, QFontInfo(font).pixelSize());
  TFontStyles style;
  if (font.bold()) style.Include(fsBold);
  if (font.italic()) style.Include(fsItalic);
  if (font.underline()) style.Include(fsUnderline);
  if (font.strikeOut()) style.Include(fsStrikeOut);
  base.style = style;
  return base;
}

}  // namespace

void TMainForm::ConnectViewCommands() {
  Bind("Split1", &TMainForm::Split1Click);
  Bind("HistView1", &TMainForm::HistView1Click);
  Bind("Tool1", &TMainForm::Tool1Click);
  Bind("StyleTab1", &TMainForm::StyleTab1Click);
  Bind("Status1", &TMainForm::Status1Click);
  Bind("ViewLine1", &TMainForm::ViewLine1Click);
  Bind("Wrap1", &TMainForm::Wrap1Click);
  Bind("Font1", &TMainForm::Font1Click);
  // A style brings its own wrap setting: the check mark shows Memo1's.
  AddMenuHook(TMenu::View, [this] { Action("Wrap1")->setChecked(Memo1->Editor().WordWrap()); });
  Splitter2->OnMoved = [this](TCuteSplitter&) { Splitter2Moved(); };
  Splitter2->OnClick = [this](TCuteSplitter&) { Splitter2Moved(); };
}

// --- split view ------------------------------------------------------------------

bool TMainForm::SplitView() const { return !SplitPanel->isHidden(); }

void TMainForm::Split1Click() { SetSplitView(!SplitView()); }

// The upper pane shows Memo1's rows with a caret and selection of its own.
void TMainForm::SetSplitView(bool on) {
  Action("Split1")->setChecked(on);
  if (on == SplitView()) return;
  if (on) {
    Memo3->Editor().ShareTextWith(Memo1->Editor());
    const int half = Memo1->height() / 2;
    const int room = std::max(0, Splitter2->height() - Splitter2->handleWidth());
    SplitPanel->show();
    Splitter2->setSizes({half, std::max(0, room - half)});
    // Memo1 lost half its rows, perhaps the caret's.
    for (TEditorWidget* pane : {Memo1, Memo3}) pane->Editor().ScrollCaret();
  } else {
    SplitPanel->hide();
    // Commands must not go on acting on the hidden pane.
    if (ActiveEditor == Memo3) SetActiveEditor(Memo1);
    Memo1->setFocus();
  }
  DrawAllGutters();
}

void TMainForm::Splitter2Moved() {
  if (SplitView() && Memo3->height() <= kSplitCloseHeight) SetSplitView(false);
}

// --- view toggles --------------------------------------------------------------------

void TMainForm::HistView1Click() {
  const bool on = !ListPanelVisible();
  SetListPanelVisible(on);
  if (!on) {
    if (ActiveEditor == Memo2) SetActiveEditor(Memo1);  // not the hidden preview
    Memo1->setFocus();
  }
  DrawAllGutters();
}

void TMainForm::Tool1Click() {
  SetToolBarVisible(!ToolBarVisible());
  DrawAllGutters();
}

void TMainForm::StyleTab1Click() {
  SetStyleTabVisible(!StyleTabVisible());
  DrawAllGutters();
}

void TMainForm::Status1Click() {
  SetStatusBarVisible(!StatusBarVisible());
  DrawAllGutters();
}

void TMainForm::ViewLine1Click() {
  SetLineNumber(!LineNumber);
  SetGutterWidth();
  DrawAllGutters();
}

// Re-wraps the whole document, which empties the undo lists.
void TMainForm::Wrap1Click() {
  const bool on = !Memo1->Editor().WordWrap();
  Memo1->Editor().SetWordWrap(on);
  Action("Wrap1")->setChecked(on);
  DrawAllGutters();
}

// Until the next style is chosen: the document and the preview take the
// font, the split pane keeps its own, and nothing is stored.
void TMainForm::Font1Click() {
  const TFontSpec current = Memo1->Editor().Font();
  if (const std::optional<QFont> font = Prompts().ChooseFont(this, ResolveFont(current))) {
    const TFontSpec chosen = FontSpecOf(*font, current);
    Memo1->Editor().SetFont(chosen);
    Memo2->Editor().SetFont(chosen);
    SetGutterWidth();
    DrawAllGutters();
  }
  Memo1->setFocus();
}

}  // namespace yk
