// Input support: the style dictionary, hints over reserved words and the word list.
#include <QCursor>
#include <QListWidget>
#include <QTabBar>
#include <QToolTip>

#include <algorithm>
#include <filesystem>

#include "app/display_text.h"
#include "app/list_form.h"
#include "app/main_form.h"
#include "app/prompts.h"
#include "qt/editor_widget.h"
#include "qt/qt_graphics.h"

namespace yk {

namespace {

bool PathExists(const std::string& path) {
  std::error_code ec;
  return !path.empty() && std::filesystem::exists(std::filesystem::path(path), ec);
}

// The hint's CR LF breaks as a tool tip shows them; the word under the
// mouse is the document's, in its characters.
QString ToolTipText(const TEditorWidget* memo, const std::string& cp932) {
  QString text = memo->ToText(cp932);
  text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
  return text;
}

}  // namespace

void TMainForm::ConnectInputCommands() {
  Bind("SupportInput1", &TMainForm::SupportInput1Click);
  Bind("SupportCopy1", &TMainForm::SupportCopy1Click);
  Bind("SupportAddList1", &TMainForm::SupportAddList1Click);
  Bind("SupportViewList1", &TMainForm::SupportViewList1Click);
  // The hint comes first; whatever else a mouse move does follows it.
  for (TEditorWidget* memo : {Memo1, Memo2, Memo3}) {
    TEditor& ed = memo->Editor();
    ed.OnMouseMove = [this, memo, chained = std::move(ed.OnMouseMove)](TEditor& sender, TShiftState shift, int x,
                                                                       int y) {
      Memo1MouseMove(memo, x, y);
      if (chained) chained(sender, shift, x, y);
    };
  }
}

// A new grid is swapped in only when the whole file was read; a file that
// cannot be used leaves the old grid, which then belongs to no style, so no
// hint shows another style's texts.
void TMainForm::LoadDictionary(const std::string& path) {
  if (!PathExists(path)) return;
  TDictionaryLoad load = yk::LoadDictionary(path);
  if (load.Status == dlsLoaded) {
    jvStringGrid1 = std::move(load.Grid);
    DictionaryPath = path;
    return;
  }
  DictionaryPath.clear();
  // Told in a box: a status text would be gone at the next mouse move.
  if (load.Status == dlsFailed) {
    Prompts().Error(this, QString::fromUtf8(kErrorCaption),
                    ToQString(load.Error) + QLatin1Char('\r') + DisplayPath(path));
  }
}

// The input method is not driven yet.
void TMainForm::SetImeOpen(bool open) { (void)open; }

// --- the hint ---------------------------------------------------------------------

void TMainForm::Memo1MouseMove(TEditorWidget* memo, int x, int y) {
  if (TabSet1->currentIndex() < 0) return;
  const std::string& path = Settings.dicFiles[static_cast<std::size_t>(std::clamp(StyleIndex, 0, kStyleCount - 1))];
  if (!jvStringGrid1 || path != DictionaryPath || !PathExists(path)) return;
  TEditor& ed = memo->Editor();
  std::string word;
  TEditorTokenKind kind = toEof;
  ed.GetTokenAt({x, y}, word, kind);
  const TSupportHint hint = HoverSupport(*jvStringGrid1, word, ed.ReserveWordList().Contains(word), Support);
  QWidget* view = memo->viewport();
  const QString tip = hint.Shown ? ToolTipText(memo, hint.HintText) : QString();
  if (view->toolTip() != tip) {
    view->setToolTip(tip);
    // A tip on the screen follows the word under the mouse at once.
    if (QToolTip::isVisible()) {
      if (tip.isEmpty()) QToolTip::hideText();
      else QToolTip::showText(QCursor::pos(), tip, view);
    }
  }
  SetStatusText(3, hint.Shown ? memo->ToText(hint.StatusText) : QString());
}

bool TMainForm::HintShown(const TEditorWidget* memo) const { return !memo->viewport()->toolTip().isEmpty(); }

QString TMainForm::HintText(const TEditorWidget* memo) const { return memo->viewport()->toolTip(); }

// --- the commands ---------------------------------------------------------------------

// A hint over any of the editors counts: the split pane's too. An empty
// text would only delete the selection.
void TMainForm::SupportInput1Click() {
  if (!HintShown(Memo1) && !HintShown(Memo2) && !HintShown(Memo3)) return;
  if (Support.Text.empty()) return;
  ActiveEditor->Editor().SetSelTextBuf(Support.Text);
}

void TMainForm::SupportCopy1Click() { Memo1->Clipboard().SetText(Support.Text, false); }

void TMainForm::SupportAddList1Click() {
  if (!Support.Valid) return;
  const std::vector<std::string> words = SupportListEntries(Support);
  ListForm().SetItems(words);
  StoreWordList(SettingsPath, words);
}

void TMainForm::SupportViewList1Click() {
  if (ActiveEditor == Memo2) return;
  TListForm& list = ListForm();
  list.SetItems(LoadWordList(SettingsPath));
  list.PlaceAt(QCursor::pos() + QPoint(2, 2));
  list.OnChoose = [this](const std::string& word) { ActiveEditor->Editor().SetSelTextBuf(word); };
  list.ListBox()->setFocus();
  Prompts().ExecDialog(list);
}

}  // namespace yk
