// The main window's search state and the commands that use it: Find, Find
// next and previous, Replace, the search step with its scroll rule and the
// replace loop with its confirmation box. Works on any editor it is given
// and asks the user only through the prompts.
#pragma once

#include <QPoint>
#include <QRect>
#include <QSize>
#include <QString>

#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "dialogs/dialog_prompts.h"
#include "dialogs/search_dialogs.h"
#include "editor/editor.h"
#include "editor/search_rows.h"

class QWidget;

namespace yk {

// The box texts; search texts are CP932 in the codes of chars (null: none).
QString NotFoundText(std::string_view search, const TMappedChars* chars = nullptr);
QString ReplaceConfirmText(std::string_view search, std::string_view replacement, const TMappedChars* chars = nullptr);
// The end of replacing all: how many places were replaced.
QString ReplacedText(std::size_t count);
inline const QString kNotFoundCaption = QStringLiteral("情報");
inline const QString kReplaceConfirmCaption = QStringLiteral("確認");

// Top-left of the confirmation box: above the caret's row, or below it when
// that would leave the top of the screen, and pulled left when it would
// pass the screen's right edge. caret: the caret's top-left on the screen.
QPoint ConfirmBoxPos(QPoint caret, int rowHeight, QSize box, const QRect& screen);

class TSearchSession {
 public:
  explicit TSearchSession(TDialogPrompts& prompts);
  TSearchSession(const TSearchSession&) = delete;
  TSearchSession& operator=(const TSearchSession&) = delete;

  // --- state ----------------------------------------------------------------
  // The text of the tool bar's search box; the window copies every edit of
  // the box here and stores it at exit.
  const std::string& CurrentText() const { return current_text_; }
  void SetCurrentText(std::string v) { current_text_ = std::move(v); }
  // The text of the last search actually run.
  const std::string& DialogText() const { return dialog_text_; }
  void SetDialogText(std::string v) { dialog_text_ = std::move(v); }
  const std::string& Replacement() const { return replacement_; }
  void SetReplacement(std::string v) { replacement_ = std::move(v); }
  TSearchOptions Flags() const { return flags_; }
  void SetFlags(TSearchOptions v) { flags_ = v; }

  // --- surroundings, set by the window ----------------------------------------
  std::string SettingsPath;   // where the dialogs keep options and histories
  QWidget* Parent = nullptr;  // owner of the dialogs and boxes
  // The caret's top-left on the screen; by default its client position.
  std::function<QPoint(TEditor&)> CaretToScreen;
  // The screen the box must stay on; by default the primary screen.
  std::function<QRect()> ScreenRect;
  // The size the confirmation box will have for a text; by default measured
  // on a real box.
  std::function<QSize(const QString& text)> ConfirmBoxSize;
  // The dialogs; tests and the window may put others in their place.
  std::function<TSearchDialogResult(const TSearchDialogRequest&)> RunSearchDialog;
  std::function<TSearchDialogResult(const TSearchDialogRequest&)> RunReplaceDialog;
  // A dialog returned a search: the window reloads its search box's items
  // from the history and shows CurrentText in it.
  std::function<void()> OnSearchTextChanged;
  // The table of mapped characters of an editor's document, whose codes
  // the search texts hold; unset: none.
  std::function<TMappedChars*(TEditor&)> CharsOf;

  // --- commands ---------------------------------------------------------------
  // Find: a selection becomes the current search text; the search dialog;
  // then the search step. True when a match was selected.
  bool Find(TEditor& ed);
  // Find next / previous with the current search text, or Find when there
  // is none.
  bool FindNext(TEditor& ed);
  bool FindPrevious(TEditor& ed);
  // Replace: the replace dialog, then the replace loop. The window does not
  // call it for its read-only preview.
  void Replace(TEditor& ed);

  // The search step: from the editor's selection, selects the next match of
  // DialogText with Flags and scrolls it into view, or shows the "not
  // found" box and leaves the selection.
  bool SearchStep(TEditor& ed);
  // Replaces matches of DialogText by Replacement (an empty one deletes
  // them) as Flags say: one, after confirmation when asked, or all until
  // none is left. One undo step.
  void ReplaceLoop(TEditor& ed);

 private:
  // Where a search starts: a selection's start and length.
  struct TFrom {
    TRowOffset start;
    std::int64_t length = 0;
  };
  static TFrom SelectionFrom(const TEditor& ed);
  std::optional<TRowMatch> Step(TEditor& ed, const TFrom& from);
  // Step without the "not found" box.
  std::optional<TRowMatch> Locate(TEditor& ed, const TFrom& from);
  void ShowNotFound(TEditor& ed);
  TMappedChars* Chars(TEditor& ed) const { return CharsOf ? CharsOf(ed) : nullptr; }
  static void SelectMatch(TEditor& ed, const TRowMatch& m);
  static void ScrollIntoView(TEditor& ed);
  TDialogAnswer ConfirmReplace(TEditor& ed);
  TSearchDialogRequest Request(TEditor& ed) const;
  void TakeDialogResult(const TSearchDialogResult& r);

  TDialogPrompts& prompts_;
  std::string current_text_;
  std::string dialog_text_;
  std::string replacement_;
  TSearchOptions flags_ = sfForward;
};

}  // namespace yk
