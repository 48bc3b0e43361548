// The search dialog TFormSearch and the replace dialog TFormReplace, with
// the entry points that show them. They keep a history of texts and the
// options in the settings file; texts are CP932 byte strings.
#pragma once

#include <QDialog>

#include <functional>
#include <string>
#include <vector>

#include "editor/editor.h"
#include "editor/search.h"
#include "platform/mapped_chars.h"

class QCheckBox;
class QComboBox;
class QGridLayout;
class QPushButton;
class QRadioButton;
class QVBoxLayout;

namespace yk {

inline constexpr std::size_t kSearchHistoryMax = 32;

// Puts text at the top of a history: an equal entry (compared exactly)
// moves up instead of appearing twice, and the oldest entry beyond
// kSearchHistoryMax drops out.
void AddToHistory(std::vector<std::string>& history, const std::string& text);

// The search options both dialogs share, as stored under [Options].
struct TSearchDialogOptions {
  bool matchCase = false;
  bool wholeWord = false;
  bool noMatchZenkaku = false;
  bool includeCrlf = false;
  bool forward = true;
  friend bool operator==(const TSearchDialogOptions&, const TSearchDialogOptions&) = default;
};
// A settings file that is missing or cannot be read gives the defaults; a
// direction other than 0 or 1 reads as forward.
TSearchDialogOptions ReadSearchOptions(const std::string& settingsPath);
void WriteSearchOptions(const std::string& settingsPath, const TSearchDialogOptions& options);

struct TSearchDialogRequest {
  QWidget* parent = nullptr;
  std::string settingsPath;
  std::string currentText;    // the window's current search text
  TEditor* editor = nullptr;  // cleared to its start by start-from-top and replace-all
  // Runs the dialog modally; null: QDialog::exec. The main window runs it
  // through its prompts.
  std::function<int(QDialog&)> exec;
  // The editor's table of mapped characters: the texts shown and taken are
  // in its codes (the histories keep the characters themselves).
  TMappedChars* chars = nullptr;
};

struct TSearchDialogResult {
  bool ok = false;
  std::string text;
  std::string replacement;
  TSearchOptions flags = 0;
};

// What both dialogs have: the search-text box with its history, the
// direction, the four options and the buttons. Shown with Open, then exec.
class TFormSearchBase : public QDialog {
  Q_OBJECT

 public:
  enum TClose { clCancel, clOk, clFromTop, clReplaceAll };

  // Fills the dialog from the settings file and the current search text.
  void Open(const TSearchDialogRequest& request);
  TClose Closed() const { return closed_; }
  // The texts taken when the dialog was confirmed (empty when its box was).
  const std::string& ResultText() const { return result_text_; }
  TSearchOptions ResultFlags() const { return result_flags_; }

 protected:
  TFormSearchBase(QWidget* parent, const QString& caption);
  void showEvent(QShowEvent* e) override;

  // What a dialog adds to opening and confirming.
  virtual void OpenMore() {}
  virtual void TakeMore() {}
  virtual TSearchOptions MoreFlags(TClose) const { return 0; }
  // A text box's text goes to the top of its history and becomes a result.
  std::string TakeText(QComboBox* box, std::vector<std::string>& history);
  void ShowHistory(QComboBox* box, const std::vector<std::string>& history);
  QPushButton* AddButton(const QString& caption, const char* name);
  void Confirm(TClose how);

  std::string settings_path_;
  TEditor* editor_ = nullptr;
  TMappedChars* chars_ = nullptr;
  std::vector<std::string> history_;
  QComboBox* ComboBox1 = nullptr;
  QRadioButton* rbBackward = nullptr;
  QRadioButton* rbForward = nullptr;
  QCheckBox* chkMatchCase = nullptr;
  QCheckBox* chkWholeWord = nullptr;
  QCheckBox* chkNoMatchZenkaku = nullptr;
  QCheckBox* chkIncludeCRLF = nullptr;
  QGridLayout* text_grid_ = nullptr;  // labels and text boxes
  QVBoxLayout* left_ = nullptr;       // the text boxes and the groups
  QVBoxLayout* buttons_ = nullptr;

 private:
  void WriteSettings();
  TSearchOptions Flags(TClose how) const;

  TClose closed_ = clCancel;
  std::string result_text_;
  TSearchOptions result_flags_ = 0;
};

class TFormSearch final : public TFormSearchBase {
  Q_OBJECT

 public:
  explicit TFormSearch(QWidget* parent = nullptr);
};

class TFormReplace final : public TFormSearchBase {
  Q_OBJECT

 public:
  explicit TFormReplace(QWidget* parent = nullptr);
  const std::string& ResultReplacement() const { return result_replacement_; }

 protected:
  void OpenMore() override;
  void TakeMore() override;
  TSearchOptions MoreFlags(TClose how) const override;

 private:
  std::vector<std::string> rep_history_;
  std::string result_replacement_;
  QComboBox* ComboBox2 = nullptr;
  QCheckBox* chkReplaceConfirm = nullptr;
};

// Shows the search dialog: ok when it closed with OK or start-from-top and
// the search text is not empty.
TSearchDialogResult ShowSearchDialog(const TSearchDialogRequest& request);
// Shows the replace dialog: ok when it closed with OK, replace-all or
// replace-from-top and the search text is not empty. An empty replacement
// deletes the matches.
TSearchDialogResult ShowReplaceDialog(const TSearchDialogRequest& request);

}  // namespace yk
