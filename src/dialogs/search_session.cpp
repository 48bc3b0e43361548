// The search commands of the main window: the search step over the active
// editor's rows, its scroll rule, and the replace loop.
#include "dialogs/search_session.h"

#include <QGuiApplication>
#include <QMessageBox>
#include <QScreen>

#include "dialogs/qt_text.h"

namespace yk {

QString NotFoundText(std::string_view search, const TMappedChars* chars) {
  return QStringLiteral("検索文字列  '") + FromCp932(search, chars) + QStringLiteral("'\r\nが見つかりません。");
}

QString ReplacedText(std::size_t count) { return QStringLiteral("%1 箇所を置換しました。").arg(count); }

QString ReplaceConfirmText(std::string_view search, std::string_view replacement, const TMappedChars* chars) {
  return QStringLiteral(" ") + FromCp932(search, chars) + QStringLiteral("   を\r\n ") + FromCp932(replacement, chars) +
         QStringLiteral("   に 置き換えますか？");
}

QPoint ConfirmBoxPos(QPoint caret, int rowHeight, QSize box, const QRect& screen) {
  int y = caret.y() - box.height() - rowHeight;
  if (y < screen.top()) y = caret.y() + rowHeight;
  int x = caret.x() + 2;
  if (x + box.width() > screen.left() + screen.width()) x = screen.left() + screen.width() - box.width() - 4;
  return {x, y};
}

namespace {

constexpr unsigned kConfirmButtons = AnswerBit(TDialogAnswer::Yes) | AnswerBit(TDialogAnswer::No) |
                                     AnswerBit(TDialogAnswer::Cancel) | AnswerBit(TDialogAnswer::All);

QSize MeasureConfirmBox(const QString& text) {
  QMessageBox box(QMessageBox::Question, kReplaceConfirmCaption, text,
                  QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel | QMessageBox::YesToAll);
  box.adjustSize();
  return box.size();
}

QRect PrimaryScreen() {
  const QScreen* screen = QGuiApplication::primaryScreen();
  return screen ? screen->geometry() : QRect(0, 0, 1024, 768);
}

}  // namespace

TSearchSession::TSearchSession(TDialogPrompts& prompts)
    : CaretToScreen([](TEditor& ed) {
        const TPoint p = ed.GetCaretXY();
        return QPoint(p.x, p.y);
      }),
      ScreenRect(PrimaryScreen),
      ConfirmBoxSize(MeasureConfirmBox),
      RunSearchDialog(ShowSearchDialog),
      RunReplaceDialog(ShowReplaceDialog),
      prompts_(prompts) {}

// --- commands -----------------------------------------------------------------

TSearchDialogRequest TSearchSession::Request(TEditor& ed) const {
  return {Parent, SettingsPath, current_text_, &ed, {}, Chars(ed)};
}

void TSearchSession::TakeDialogResult(const TSearchDialogResult& r) {
  dialog_text_ = r.text;
  current_text_ = r.text;
  flags_ = r.flags;
  if (OnSearchTextChanged) OnSearchTextChanged();
}

bool TSearchSession::Find(TEditor& ed) {
  if (ed.Selected()) current_text_ = ed.SelText();
  const TSearchDialogResult r = RunSearchDialog(Request(ed));
  if (!r.ok) return false;
  TakeDialogResult(r);
  return SearchStep(ed);
}

bool TSearchSession::FindNext(TEditor& ed) {
  dialog_text_ = current_text_;
  if (dialog_text_.empty()) return Find(ed);
  flags_ |= sfForward;
  return SearchStep(ed);
}

bool TSearchSession::FindPrevious(TEditor& ed) {
  dialog_text_ = current_text_;
  if (dialog_text_.empty()) return Find(ed);
  flags_ &= static_cast<TSearchOptions>(~sfForward);
  return SearchStep(ed);
}

// Undo of the whole command puts back the selection it started from, also
// where replace-all moved the caret to the start before searching.
void TSearchSession::Replace(TEditor& ed) {
  if (ed.Selected()) current_text_ = ed.SelText();
  const TSelectionSpan before = ed.SelectionSpan();
  const TSearchDialogResult r = RunReplaceDialog(Request(ed));
  if (!r.ok) return;
  TakeDialogResult(r);
  replacement_ = r.replacement;
  TUndoGroup group(ed.ScreenStrings().UndoObj(), before);
  ReplaceLoop(ed);
}

// --- the search step --------------------------------------------------------------

TSearchSession::TFrom TSearchSession::SelectionFrom(const TEditor& ed) {
  if (ed.Selected()) {
    const TSelectionRange& r = ed.SelectionRange();
    return {{r.startRow, r.startByte}, ed.SelLength()};
  }
  return {{ed.Row(), ed.OffsetFromRowCol(ed.Row(), ed.Row(), ed.Col())}, 0};
}

void TSearchSession::SelectMatch(TEditor& ed, const TRowMatch& m) {
  ed.CaretBeginUpdate();
  ed.CancelSelection();
  ed.SetCaretByOffset(m.Start.Row, m.Start.Offset);
  ed.SetSelLength(m.Length);
  ed.CaretEndUpdate();
}

// A match outside the middle band of the view goes a third of the way down.
void TSearchSession::ScrollIntoView(TEditor& ed) {
  const int v = ed.VisibleRows();
  const int d = ed.Row() - ed.TopRow();
  if (d > 4 * v / 5 || d < v / 5) ed.SetTopRow(ed.Row() - v / 3);
  if (ed.Col() < ed.TopCol() || ed.Col() >= ed.TopCol() + ed.VisibleCols())
    ed.SetTopCol(ed.Col() - ed.VisibleCols() / 3);
}

std::optional<TRowMatch> TSearchSession::Locate(TEditor& ed, const TFrom& from) {
  const std::optional<TRowMatch> m = SearchRows(ed.ScreenStrings(), from.start, from.length, dialog_text_, flags_);
  if (!m) return std::nullopt;
  SelectMatch(ed, *m);
  ScrollIntoView(ed);
  return m;
}

void TSearchSession::ShowNotFound(TEditor& ed) {
  prompts_.Information(Parent, kNotFoundCaption, NotFoundText(dialog_text_, Chars(ed)));
}

std::optional<TRowMatch> TSearchSession::Step(TEditor& ed, const TFrom& from) {
  const std::optional<TRowMatch> m = Locate(ed, from);
  if (!m) ShowNotFound(ed);
  return m;
}

bool TSearchSession::SearchStep(TEditor& ed) { return Step(ed, SelectionFrom(ed)).has_value(); }

// --- the replace loop ---------------------------------------------------------------

TDialogAnswer TSearchSession::ConfirmReplace(TEditor& ed) {
  const QString text = ReplaceConfirmText(dialog_text_, replacement_, Chars(ed));
  const QPoint at = ConfirmBoxPos(CaretToScreen(ed), ed.RowHeight(), ConfirmBoxSize(text), ScreenRect());
  return prompts_.Question(Parent, kReplaceConfirmCaption, text, kConfirmButtons, at);
}

namespace {

// The screen is not redrawn while replacements go on without a question;
// it is drawn once when they end.
class TRedrawPause {
 public:
  explicit TRedrawPause(TEditor& ed) : ed_(ed) {}
  TRedrawPause(const TRedrawPause&) = delete;
  TRedrawPause& operator=(const TRedrawPause&) = delete;
  ~TRedrawPause() { End(); }
  void Begin() {
    if (!paused_) ed_.LinesBeginUpdate();
    paused_ = true;
  }
  void End() {
    if (paused_) ed_.LinesEndUpdate();
    paused_ = false;
  }

 private:
  TEditor& ed_;
  bool paused_ = false;
};

}  // namespace

// Each search after a replacement starts past the inserted text: after it
// going forward, before it going backward. A replacement that holds the
// search text is therefore never searched again, and the loop ends. All
// its replacements are one undo step. Replacing all ends by telling how
// many were made ("not found" when there was no match at all).
void TSearchSession::ReplaceLoop(TEditor& ed) {
  TUndoGroup group(ed.ScreenStrings().UndoObj());
  TFrom from = SelectionFrom(ed);
  TRedrawPause pause(ed);
  std::size_t replaced = 0;
  do {
    if ((flags_ & sfReplaceAll) && !(flags_ & sfReplaceConfirm)) pause.Begin();
    const std::optional<TRowMatch> m = Locate(ed, from);
    if (!m) {
      pause.End();  // the box stands over the finished text
      if (replaced > 0 && (flags_ & sfReplaceAll))
        prompts_.Information(Parent, kNotFoundCaption, ReplacedText(replaced));
      else
        ShowNotFound(ed);
      break;
    }
    bool replace = true;
    if (flags_ & sfReplaceConfirm) {
      const TDialogAnswer answer = ConfirmReplace(ed);
      if (answer == TDialogAnswer::Cancel) break;
      replace = answer != TDialogAnswer::No;
      if (answer == TDialogAnswer::All) {
        flags_ |= sfReplaceAll;
        flags_ &= static_cast<TSearchOptions>(~sfReplaceConfirm);
      }
    }
    if (!replace || ed.ReadOnly()) {
      from = SelectionFrom(ed);  // past the match that stays
      continue;
    }
    ed.SetSelText(replacement_);
    ++replaced;
    const std::int64_t inserted = static_cast<std::int64_t>(replacement_.size());
    from = {{m->Start.Row, m->Start.Offset + ((flags_ & sfForward) ? inserted : 0)}, 0};
  } while (flags_ & sfReplaceAll);
}

}  // namespace yk
