// TFormViewEditor, the style settings dialog ("プロパティ"): every setting of
// an editor property set on six pages, edited on a working copy with sample
// editors that show each change at once; only OK hands the copy back.
//
// Object names of the controls (tests and the main window find them so):
//   PageControl1 with the pages "Font", "Caret", "View Marks Margin",
//     "Brackets", "ReserveWordList", "WordWrap";
//   Font: ListBox1 (families), ListBox2 (sizes), Edit1 (size), CheckBox12
//     (可変ピッチフォント), RadioGroup2 with ssNone..ssBoth, Editor1;
//   Caret: the caret flags by property name (AutoIndent … AutoCursor),
//     TabSpaceCount, csDefault/csBrief, dmManual/dmAutomatic, the cursor
//     lists by property name (DefaultCursor …), Editor5;
//   View Marks Margin: ListBox3, ColorGrid1, ViewBold/ViewItalic/
//     ViewUnderline, ViewSameBkColor/ViewSameColor/ViewSameStyle,
//     MarkUnderLine/MarkRetMark/MarkEofMark, ControlCode/Url/Mail,
//     HexPrefix/Quotation/Commenter, MarginTop/MarginLeft/MarginLine/
//     MarginCharacter, Editor2;
//   Brackets: ListBox4, Edit5, Edit6, New, Remove, Update, ColorGrid2,
//     BracketBold/BracketItalic/BracketUnderline, BracketSameBkColor/
//     BracketSameColor/BracketSameStyle, Editor3;
//   ReserveWordList: Editor4, Load, Save;
//   WordWrap: WordWrap, FollowStr/LeadStr/PunctuationStr with
//     FollowStrDefault/LeadStrDefault/PunctuationStrDefault,
//     FollowPunctuation/FollowRetMark/Leading/WordBreak, WrapByte;
//   OKButton, CancelButton, HelpButton (hidden).
#pragma once

#include <QDialog>

#include <array>
#include <memory>

#include "dialogs/dialog_prompts.h"
#include "props/editor_prop.h"

class QCheckBox;
class QComboBox;
class QGroupBox;
class QLineEdit;
class QListWidget;
class QPushButton;
class QRadioButton;
class QSpinBox;
class QTabWidget;

namespace yk {

class TColorGrid;
class TEditor;
class TEditorWidget;
struct TDrawLineInfo;

class TFormViewEditor : public QDialog {
  Q_OBJECT

 public:
  enum TPage { pgFont, pgCaret, pgView, pgBrackets, pgReserveWordList, pgWordWrap };

  explicit TFormViewEditor(QWidget* parent = nullptr, TDialogPrompts& prompts = DefaultDialogPrompts());
  ~TFormViewEditor() override;

  // Makes prop the caller's set: the working copy takes its values, the
  // controls are filled and the first page is chosen from startHint (see
  // ShowStyleDialog). Call before showing.
  void Open(TEditorProp& prop, const TPersistent* startHint = nullptr);
  // Open, then run modally; true when the dialog closed with OK.
  bool Execute(TEditorProp& prop, const TPersistent* startHint = nullptr);

  // The working copy every control reads and writes.
  TEditorProp& EditorProp1() { return *prop_; }
  TPage CurrentPage() const;

  // OK: checks the bracket pairs (a bad pair keeps the dialog open on it),
  // takes the reserved words from their editor and hands the working copy
  // to the caller's set.
  void accept() override;

 protected:
  void showEvent(QShowEvent* e) override;

 private:
  // Pages (form_view_editor_font.cpp, _view.cpp, _brackets.cpp, _words.cpp).
  QWidget* BuildFontPage();
  QWidget* BuildCaretPage();
  QWidget* BuildViewPage();
  QWidget* BuildBracketsPage();
  QWidget* BuildReserveWordPage();
  QWidget* BuildWrapPage();
  // Parts of pages, made on their page so that the focus moves through
  // them in the order of the page.
  QGroupBox* BuildCursorGroup(QWidget* page);
  QWidget* BuildViewFields(QWidget* page);
  QGroupBox* BuildMarginGroup(QWidget* page);

  // Opening: controls from the working copy; lists filled once visible.
  void LoadControls();
  void LoadFontControls();
  void LoadCaretControls();
  void LoadViewControls();
  void LoadWordControls();
  void LoadWrapControls();
  void PrepareVisible();
  void FillFontList();
  void SelectFontEntry(bool replaceMissing);
  void FillSizeList();
  void FillCursorLists();
  void ConnectNotifications();

  // Sample refreshes on the working copy's notifications.
  void RefreshFontAndColors();
  void RefreshMargin();
  void RefreshMarks();
  void RefreshScrollBars();
  void RefreshView();
  void RefreshSelectionSample();
  void CaretChanged();
  void RewriteSampleLine(int line);
  void DrawSelectionSample(TEditor& editor, const TDrawLineInfo& info);

  // View Marks Margin page.
  void ShowElement(int index);
  void ElementColorsChosen();
  void ElementStyleClicked();
  void SameBkColorClick();
  void SameColorClick();
  void SameStyleClick();
  bool Confirm(const std::string& question);

  // Brackets page.
  void RebuildPairList();
  void ShowPair(int index);
  void EnablePairControls(bool on);
  void UpdateUpdateButton();
  void NewPairClick();
  void RemovePairClick();
  void UpdatePairClick();
  void PairColorsChosen();
  void PairStyleClicked();
  void BracketSameBkColorClick();
  void BracketSameColorClick();
  void BracketSameStyleClick();
  bool CheckPairs();
  void ShowError(const QString& text);

  // ReserveWordList page.
  void ShowWordMenu(const QPoint& pos);
  bool WordShortcut(int key, Qt::KeyboardModifiers modifiers);
  void LoadWordsClick();
  void SaveWordsClick();

  bool eventFilter(QObject* watched, QEvent* event) override;

  TDialogPrompts& prompts_;
  std::unique_ptr<TEditorProp> prop_;
  TEditorProp* caller_ = nullptr;
  bool prepared_ = false;
  bool variable_pitch_ = false;
  // Set while controls are filled from the working copy, so their change
  // handlers do not write back.
  int loading_ = 0;

  QTabWidget* pages_ = nullptr;

  // Font.
  QListWidget* font_list_ = nullptr;
  QListWidget* size_list_ = nullptr;
  QLineEdit* size_edit_ = nullptr;
  QCheckBox* variable_pitch_box_ = nullptr;
  std::array<QRadioButton*, 4> scroll_bars_{};
  TEditorWidget* editor1_ = nullptr;

  // Caret.
  std::array<QCheckBox*, 12> caret_flags_{};
  QSpinBox* tab_space_count_ = nullptr;
  std::array<QRadioButton*, 2> caret_style_{};
  std::array<QRadioButton*, 2> drag_mode_{};
  std::array<QComboBox*, 5> cursors_{};
  TEditorWidget* editor5_ = nullptr;

  // View Marks Margin.
  QListWidget* element_list_ = nullptr;
  TColorGrid* color_grid1_ = nullptr;
  std::array<QCheckBox*, 3> element_style_{};
  std::array<QPushButton*, 3> view_same_{};
  std::array<QCheckBox*, 3> marks_{};
  std::array<QCheckBox*, 3> view_flags_{};
  QLineEdit* hex_prefix_ = nullptr;
  QLineEdit* quotation_ = nullptr;
  QLineEdit* commenter_ = nullptr;
  std::array<QSpinBox*, 4> margins_{};
  TEditorWidget* editor2_ = nullptr;

  // Brackets.
  QListWidget* pair_list_ = nullptr;
  QLineEdit* left_edit_ = nullptr;
  QLineEdit* right_edit_ = nullptr;
  QPushButton* new_button_ = nullptr;
  QPushButton* remove_button_ = nullptr;
  QPushButton* update_button_ = nullptr;
  TColorGrid* color_grid2_ = nullptr;
  std::array<QCheckBox*, 3> pair_style_{};
  std::array<QPushButton*, 3> bracket_same_{};
  TEditorWidget* editor3_ = nullptr;

  // ReserveWordList.
  TEditorWidget* editor4_ = nullptr;

  // WordWrap.
  QCheckBox* word_wrap_ = nullptr;
  std::array<QLineEdit*, 3> wrap_strings_{};
  std::array<QCheckBox*, 4> wrap_flags_{};
  QSpinBox* wrap_byte_ = nullptr;
};

// Runs the style dialog on a copy of prop. On OK prop takes the result and
// the answer is true; on Cancel prop is untouched and the answer is false.
// startHint chooses the first page by its class: a bracket collection shows
// "Brackets", caret settings "Caret", wrap options "WordWrap"; anything else
// or none (what the application passes) "View Marks Margin". prompts asks
// the dialog's questions (tests answer them).
bool ShowStyleDialog(QWidget* parent, TEditorProp& prop, const TPersistent* startHint = nullptr,
                     TDialogPrompts& prompts = DefaultDialogPrompts());
// The same on an editor's settings: taken from the editor, and applied to it
// (scroll bars included) only on OK.
bool ShowStyleDialog(QWidget* parent, TEditorWidget& editor, const TPersistent* startHint = nullptr,
                     TDialogPrompts& prompts = DefaultDialogPrompts());

}  // namespace yk
