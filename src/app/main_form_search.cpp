// The search and replace commands of the main window: the tool bar's search
// box and the search session, with the dialogs run through the prompts.
#include <QComboBox>
#include <QDialog>
#include <QScopedValueRollback>
#include <QScreen>

#include "app/main_form.h"
#include "app/prompts.h"
#include "controls/history_box.h"
#include "dialogs/qt_text.h"
#include "platform/mapped_chars.h"
#include "dialogs/search_session.h"
#include "shell/search_history.h"
#include "qt/editor_widget.h"
#include "qt/qt_graphics.h"

namespace yk {

void TMainForm::ConnectSearchCommands() {
  Search = std::make_unique<TSearchSession>(Prompts());
  Search->Parent = this;
  Search->CaretToScreen = [this](TEditor& ed) {
    const TPoint p = ed.GetCaretXY();
    return ActiveEditor->viewport()->mapToGlobal(QPoint(p.x, p.y));
  };
  Search->CharsOf = [this](TEditor& ed) -> TMappedChars* {
    for (TEditorWidget* memo : {Memo1, Memo2, Memo3})
      if (&memo->Editor() == &ed) return memo->Chars().get();
    return nullptr;
  };
  Search->ScreenRect = [this] {
    const QScreen* s = screen();
    return s ? s->geometry() : QRect(0, 0, 1024, 768);
  };
  const auto exec = [this](QDialog& dialog) { return Prompts().ExecDialog(dialog); };
  Search->RunSearchDialog = [exec](TSearchDialogRequest request) {
    request.exec = exec;
    return ShowSearchDialog(request);
  };
  Search->RunReplaceDialog = [exec](TSearchDialogRequest request) {
    request.exec = exec;
    return ShowReplaceDialog(request);
  };
  // The dialog added its text to the history: the box lists it too.
  Search->OnSearchTextChanged = [this] {
    const std::string text = Search->CurrentText();
    // Entries keep their characters (stored texts); what is typed stays.
    const QString typed = ComboBox1->currentText();
    ComboBox1->clear();
    for (const std::string& h : LoadSearchHistory(SettingsPath, kSearchHistoryPlace))
      ComboBox1->addItem(FromStoredText(h));
    ComboBox1->setEditText(typed);
    SetFindValue(text);
    Search->SetCurrentText(text);
  };
  connect(ComboBox1, &QComboBox::editTextChanged, this, [this] { ComboBox1Change(); });
  // Enter in the box finds the next match, as the button beside it does.
  OnHistoryBoxEnter(ComboBox1, [this] { RunCommand("FindNext1"); });
  Bind("Find1", &TMainForm::Find1Click);
  Bind("FindNext1", &TMainForm::FindNext1Click);
  Bind("FindPrev1", &TMainForm::FindPrev1Click);
  Bind("Replace1", &TMainForm::Replace1Click);
}

void TMainForm::ComboBox1Change() { Search->SetCurrentText(FindValue()); }

void TMainForm::FollowSearchChars() {
  const std::shared_ptr<TMappedChars> now = ActiveEditor ? ActiveEditor->Chars() : nullptr;
  if (!Search || now == SearchChars) return;
  if (SearchChars && now) {
    const auto carry = [&](const std::string& text) {
      return cp932::Encode(cp932::Decode(text, SearchChars.get()), now.get()).bytes;
    };
    Search->SetCurrentText(carry(Search->CurrentText()));
    Search->SetDialogText(carry(Search->DialogText()));
    Search->SetReplacement(carry(Search->Replacement()));
  }
  SearchChars = now;
}

// A selection taken as the search text shows in the box even when the
// dialog is cancelled, as the box is where the search text lives. The
// search keeps the exact bytes: the box shows Unicode, and a line break or
// a character with two CP932 forms would not come back the same.
namespace {
void ShowCurrentText(TMainForm& f) {
  const std::string text = f.Search->CurrentText();
  if (f.FindValue() == text) return;
  f.SetFindValue(text);
  f.Search->SetCurrentText(text);
}
}  // namespace

void TMainForm::Find1Click() {
  Search->SettingsPath = SettingsPath;
  Search->Find(ActiveEditor->Editor());
  ShowCurrentText(*this);
}

void TMainForm::FindNext1Click() {
  Search->SettingsPath = SettingsPath;
  Search->FindNext(ActiveEditor->Editor());
  ShowCurrentText(*this);
}

void TMainForm::FindPrev1Click() {
  Search->SettingsPath = SettingsPath;
  Search->FindPrevious(ActiveEditor->Editor());
  ShowCurrentText(*this);
}

// The preview is never changed. Each replacement selects and unselects;
// the menus and buttons follow once at the end, not a hundred thousand
// times.
void TMainForm::Replace1Click() {
  if (ActiveEditor == Memo2) return;
  Search->SettingsPath = SettingsPath;
  {
    const QScopedValueRollback<bool> pause(enabling_paused_, true);
    Search->Replace(ActiveEditor->Editor());
  }
  Edit1Click();
  ShowCurrentText(*this);
}

}  // namespace yk
