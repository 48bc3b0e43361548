// The editing commands of the main window: the active editor, the enabling
// rule, status panels 0 and 1, the edit commands, date and time, the
// conversions, the line and bracket jumps, the marks, and what the window
// does with the editors' mouse and key events.
#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QDesktopServices>
#include <QEvent>
#include <QMenu>
#include <QMimeData>
#include <QTimer>
#include <QUrl>

#include <algorithm>
#include <type_traits>

#include "app/date_locale.h"
#include "app/jump_dlg.h"
#include "app/main_form.h"
#include "app/prompts.h"
#include "dialogs/search_session.h"
#include "qt/editor_widget.h"
#include "qt/qt_graphics.h"
#include "shell/bracket_jump.h"
#include "shell/edit_commands.h"
#include "text/undo.h"

namespace yk {

namespace {

// Runs added after whatever handler the event already has, so that the
// concerns of the window can each listen to the same editor event.
template <class... Args>
void After(std::function<void(Args...)>& event, std::type_identity_t<std::function<void(Args...)>> added) {
  event = [before = std::move(event), added = std::move(added)](Args... args) {
    if (before) before(args...);
    added(args...);
  };
}

// Hands the events of one object to a function; true from it eats them.
class TEventHook final : public QObject {
 public:
  TEventHook(QObject* watched, std::function<bool(QEvent*)> handler)
      : QObject(watched), handler_(std::move(handler)) {
    watched->installEventFilter(this);
  }
  bool eventFilter(QObject*, QEvent* e) override { return handler_(e); }

 private:
  std::function<bool(QEvent*)> handler_;
};

void EnableIfBound(TMainForm& f, std::string_view name, bool on) {
  if (QAction* a = f.Action(name)) a->setEnabled(on && f.IsBound(name));
}

bool ClipboardHasText() {
  const QMimeData* data = QGuiApplication::clipboard()->mimeData();
  return data && data->hasText();
}

constexpr const char* kConversions[] = {"Upper1", "Lower1", "Han1", "Zen1"};

}  // namespace

void TMainForm::ConnectEditCommands() {
  DateLocale = DateLocaleFrom(QLocale::system());
  Bind("Undo1", &TMainForm::Undo1Click);
  Bind("Redo1", &TMainForm::Redo1Click);
  Bind("Cut1", &TMainForm::Cut1Click);
  Bind("Copy1", &TMainForm::Copy1Click);
  Bind("Paste1", &TMainForm::Paste1Click);
  Bind("Delete1", &TMainForm::Delete1Click);
  Bind("SelectAll1", &TMainForm::SelectAll1Click);
  Bind("DateTime1", &TMainForm::DateTime1Click);
  Bind("OverWrite1", &TMainForm::OverWrite1Click);
  Bind("Upper1", &TMainForm::Upper1Click);
  Bind("Lower1", &TMainForm::Lower1Click);
  Bind("Han1", &TMainForm::Han1Click);
  Bind("Zen1", &TMainForm::Zen1Click);
  Bind("Jump1", &TMainForm::Jump1Click);
  Bind("PuncJump1", &TMainForm::PuncJump1Click);
  Bind("SetMark1", &TMainForm::SetMark1Click);
  Bind("ClearMark1", &TMainForm::ClearMark1Click);
  Bind("NextMark1", &TMainForm::NextMark1Click);
  Bind("PrevMark1", &TMainForm::PrevMark1Click);
  // The clipboard is asked when a menu opens and when it changes, not at
  // every caret move: asking may mean a round trip to another program.
  for (TMenu menu : {TMenu::Edit, TMenu::Execute, TMenu::Popup}) {
    AddMenuHook(menu, [this] {
      clipboard_has_text_ = ClipboardHasText();
      Edit1Click();
    });
  }
  clipboard_has_text_ = ClipboardHasText();
  connect(QGuiApplication::clipboard(), &QClipboard::dataChanged, this, [this] {
    clipboard_has_text_ = ClipboardHasText();
    Edit1Click();
  });
  for (TEditorWidget* memo : {Memo1, Memo2, Memo3}) ConnectEditorEvents(memo);
  ConnectViewCommands();
  ConnectAnimation();
  Edit1Click();
}

// Caret moves, clicks, keys and the focus make an editor the active one.
// Edits do not move the caret always (Delete), so they run the enabling
// rule too: Undo must be enabled for its key to act.
void TMainForm::ConnectEditorEvents(TEditorWidget* memo) {
  TEditor& ed = memo->Editor();
  After<TEditor&>(ed.OnCaretMoved, [this, memo](TEditor&) { CaretMoved(memo); });
  if (memo != Memo2) After<TEditor&>(ed.OnChange, [this](TEditor&) { Edit1Click(); });
  if (memo == Memo1) After<TEditor&>(ed.OnChange, [this](TEditor&) { MarksFollowEdit(); });
  // A Shift+key selection reports the caret before the selection grows, so
  // the commands that need a selection follow the selection itself too. An
  // editor without the focus reports no caret move, but a search from the
  // tool bar's box still selects in it: the caret panel follows that too.
  After<TEditor&, bool>(ed.OnSelectionChange, [this, memo](TEditor&, bool) {
    if (memo != ActiveEditor) return;
    ScheduleCaretPanel();
    Edit1Click();
  });
  After<TEditor&, TMouseButton, TShiftState, int, int>(
      ed.OnMouseDown, [this, memo](TEditor&, TMouseButton button, TShiftState shift, int, int) {
        Memo1MouseDown(memo, button, shift);
      });
  After<TEditor&, TKey&, TShiftState>(ed.OnKeyDown,
                                      [this, memo](TEditor&, TKey& key, TShiftState shift) { Memo1KeyDown(memo, key, shift); });
  After<TEditor&, TKey&, TShiftState>(ed.OnKeyUp, [this](TEditor&, TKey&, TShiftState) { ShiftHeld = false; });
  After<TEditor&>(ed.OnDblClick, [this, memo](TEditor&) { Memo1DblClick(memo); });
  After<TEditor&, TShiftState, int, int>(
      ed.OnMouseMove, [this, memo](TEditor&, TShiftState, int x, int y) { UpdateMouseCursor(memo, x, y); });
  new TEventHook(memo, [this, memo](QEvent* e) {
    if (e->type() == QEvent::FocusIn) SetActiveEditor(memo);
    return false;
  });
  ConnectWheel(memo);
  memo->SetPopupMenu(PopupMenu1);
}

// --- the active editor, the enabling rule, the status bar ------------------------

void TMainForm::SetActiveEditor(TEditorWidget* editor) {
  if (!editor || editor == ActiveEditor) return;
  ActiveEditor = editor;
  FollowSearchChars();
  CaretMoved(editor);
}

// The caret of an editor without the focus moves when a file is shown in
// the preview or when the other pane of the split view edits the shared
// text; that must not take the commands away from the pane in use.
void TMainForm::CaretMoved(TEditorWidget* sender) {
  if (sender != ActiveEditor && sender->hasFocus()) {
    ActiveEditor = sender;
    FollowSearchChars();
  }
  if (sender != ActiveEditor) return;
  ScheduleCaretPanel();
  Edit1Click();
}

void TMainForm::ScheduleCaretPanel() {
  if (caret_panel_pending_) return;
  caret_panel_pending_ = true;
  QTimer::singleShot(0, this, [this] {
    caret_panel_pending_ = false;
    UpdateCaretPanel();
  });
}

void TMainForm::UpdateCaretPanel() { SetStatusText(0, ToQString(CaretPositionText(ActiveEditor->Editor()))); }

// The preview and any read-only editor take no edit; everything that needs
// a selection follows it.
void TMainForm::Edit1Click() {
  if (!ActiveEditor || enabling_paused_) return;
  TEditor& ed = ActiveEditor->Editor();
  const bool sel = ed.Selected();
  const bool editable = ActiveEditor != Memo2 && !ed.ReadOnly();
  const bool document = ActiveEditor != Memo2;
  EnableIfBound(*this, "Cut1", sel && editable);
  EnableIfBound(*this, "Delete1", sel && editable);
  EnableIfBound(*this, "Paste1", clipboard_has_text_ && editable);
  EnableIfBound(*this, "Undo1", document && Memo1->Editor().CanUndo());
  EnableIfBound(*this, "Redo1", document && Memo1->Editor().CanRedo());
  const bool convert = sel && editable;
  if (QMenu* menu = Submenu("Convert1")) menu->menuAction()->setEnabled(convert);
  for (const char* name : kConversions) EnableIfBound(*this, name, convert);
  EnableIfBound(*this, "Copy1", sel);
  EnableIfBound(*this, "Execute1", sel);
  EnableIfBound(*this, "ExecuteFile1", sel);
  // Back to the pane in use after a menu, unless the user is typing
  // elsewhere (the search box, a list).
  QWidget* focus = QApplication::focusWidget();
  const bool ours = !focus || focus == Memo1 || focus == Memo2 || focus == Memo3;
  if (ours && focus != ActiveEditor && isActiveWindow() && ActiveEditor->isVisible()) ActiveEditor->setFocus();
}

// --- edit commands ---------------------------------------------------------------

void TMainForm::Undo1Click() {
  ActiveEditor->Editor().Undo();
  EnableIfBound(*this, "Undo1", ActiveEditor->Editor().CanUndo());
}

void TMainForm::Redo1Click() {
  ActiveEditor->Editor().Redo();
  EnableIfBound(*this, "Redo1", ActiveEditor->Editor().CanRedo());
}

void TMainForm::Cut1Click() { ActiveEditor->Editor().CutToClipboard(); }
void TMainForm::Copy1Click() { ActiveEditor->Editor().CopyToClipboard(); }
void TMainForm::Paste1Click() { ActiveEditor->Editor().PasteFromClipboard(); }
void TMainForm::Delete1Click() { ActiveEditor->Editor().DeleteSelection(); }
void TMainForm::SelectAll1Click() { ActiveEditor->Editor().SelectAll(); }

// A read-only editor is left alone by SetSelTextBuf itself.
void TMainForm::DateTime1Click() {
  const TDateTime now = Env().now ? Env().now() : LocalNow();
  const std::string_view format = Settings.customDayTime ? std::string_view(Settings.dayTimeFormat)
                                                         : kStandardDateTimeFormat;
  ActiveEditor->Editor().SetSelTextBuf(FormatDateTime(format, now, DateLocale));
}

void TMainForm::OverWrite1Click() {
  const bool on = !Memo1->Editor().Overwrite();
  Action("OverWrite1")->setChecked(on);
  SetStatusText(1, QString::fromUtf8(on ? "上書" : "挿入"));
  Memo1->Editor().SetOverwrite(on);
  Memo3->Editor().SetOverwrite(on);
}

void TMainForm::Upper1Click() { ConvertSelection(ActiveEditor->Editor(), scUpperCase); }
void TMainForm::Lower1Click() { ConvertSelection(ActiveEditor->Editor(), scLowerCase); }
void TMainForm::Han1Click() { ConvertSelection(ActiveEditor->Editor(), scHankaku); }
void TMainForm::Zen1Click() { ConvertSelection(ActiveEditor->Editor(), scZenkaku); }

// --- jumps -------------------------------------------------------------------------

void TMainForm::Jump1Click() {
  TJumpDlg& dlg = JumpDlg();
  if (Prompts().ExecDialog(dlg) != QDialog::Accepted) return;
  const std::optional<int> line = dlg.LineNumber();
  if (!line) {
    Prompts().Error(this, QString::fromUtf8(kErrorCaption), ToQString(kJumpLineError));
    return;
  }
  JumpLine = *line;
  GotoJumpLine();
}

void TMainForm::GotoJumpLine() { yk::GotoJumpLine(ActiveEditor->Editor(), JumpLine); }

void TMainForm::ApplyJumpColumn() { yk::ApplyJumpColumn(ActiveEditor->Editor(), JumpColumn, JumpSelLength); }

void TMainForm::CenterCaretRow() { yk::CenterCaretRow(ActiveEditor->Editor()); }

// The search dialog's options say whether "(" and "（" are one bracket.
void TMainForm::PuncJump1Click() { JumpToMatchingBracket(ActiveEditor->Editor(), Search->Flags()); }

// --- marks ---------------------------------------------------------------------------

void TMainForm::SetMark1Click() {
  Marks.Toggle(ActiveEditor->Editor().Row());
  DrawGutter(Memo1);
  DrawGutter(Memo3);
}

void TMainForm::ClearMark1Click() {
  Marks.Clear();
  DrawGutter(Memo1);
  DrawGutter(Memo3);
}

void TMainForm::NextMark1Click() {
  if (const std::optional<int> row = Marks.Next()) GotoRow(ActiveEditor->Editor(), *row);
  DrawGutter(Memo1);
  DrawGutter(Memo3);
}

// Told of every change of the document's rows (through either pane): only
// rows put in or taken out move marks, and only marks at or below them.
void TMainForm::MarksFollowEdit() {
  if (Marks.Rows().empty()) return;
  TEditorScreenStrings& rows = Memo1->Editor().ScreenStrings();
  const TChangedRange change = rows.ChangedRange();
  if (!change.dirty || change.oldCount == change.newCount) return;
  if (*std::max_element(Marks.Rows().begin(), Marks.Rows().end()) < change.first) return;
  TKeptRows kept;
  const TUndoData* record = rows.UndoObj().LastChange();
  if (record && record->firstRow == change.first && record->insertedRows == change.newCount)
    kept = KeptRows(rows, *record);
  Marks.RowsReplaced(change.first, change.oldCount, change.newCount, kept.above, kept.below);
  DrawGutter(Memo1);
  DrawGutter(Memo3);
}

void TMainForm::PrevMark1Click() {
  if (const std::optional<int> row = Marks.Prev()) GotoRow(ActiveEditor->Editor(), *row);
  DrawGutter(Memo1);
  DrawGutter(Memo3);
}

// --- mouse and keys in the editors ----------------------------------------------------

// Alt with the left button draws a box. Other buttons leave the mode, so a
// right click keeps a box selection a box for the context menu's commands.
void TMainForm::Memo1MouseDown(TEditorWidget* memo, TMouseButton button, TShiftState shift) {
  SetActiveEditor(memo);
  if (button == mbLeft) memo->Editor().SetSelectionMode(shift & ssAlt ? smBox : smNormal);
}

// Shift with a key that moves the caret chooses the kind of selection that
// key grows: a box with Alt too (Alt with the mouse belongs to the window
// manager on most desktops), else a normal one. Modifier keys alone and
// the keys of commands (Ctrl+Shift+H) leave a box a box.
void TMainForm::Memo1KeyDown(TEditorWidget* memo, TKey key, TShiftState shift) {
  SetActiveEditor(memo);
  if (!(shift & ssShift)) return;
  ShiftHeld = true;
  if (IsNavigationKey(key)) memo->Editor().SetSelectionMode(shift & ssAlt ? smBox : smNormal);
}

// A URL or mail address opens with the desktop's handler and selects
// nothing; any other token is selected.
void TMainForm::Memo1DblClick(TEditorWidget* memo) {
  TEditor& ed = memo->Editor();
  const TEditorTokenKind kind = ed.TokenKindFromCaret();
  if (kind == toUrl || kind == toMail) {
    const QString token = ActiveEditor->ToText(ed.TokenStringFromCaret());
    OpenLink((kind == toMail ? QStringLiteral("mailto:") : QString()) + token);
  } else {
    ed.SelectTokenFromCaret();
  }
  Edit1Click();
}

bool TMainForm::OpenLink(const QString& url) {
  const QUrl target = QUrl::fromUserInput(url);
  return Env().open_url ? Env().open_url(target) : QDesktopServices::openUrl(target);
}

// The hand over links; the arrow while an input-support hint shows (input
// support looks at the word before this runs); else
// the editor's own cursor. The editor's cursors for the margin, a
// selection and a drag stay as the editor set them.
void TMainForm::UpdateMouseCursor(TEditorWidget* memo, int x, int y) {
  TEditor& ed = memo->Editor();
  if (ed.CursorKind() != 0 || ed.InMouseAction()) return;
  std::string token;
  TEditorTokenKind kind = toEof;
  ed.GetTokenAt({x, y}, token, kind);
  TCursor cursor = ed.Caret().Cursors().DefaultCursor();
  if (kind == toUrl || kind == toMail)
    cursor = crHandPoint;
  else if (HintShown(memo))
    cursor = crArrow;
  memo->SetCursor(cursor, false);
}

}  // namespace yk
