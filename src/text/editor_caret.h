// Caret and mouse behaviour settings of an editor: TEditorCursors and
// TEditorCaret.
#pragma once

#include <memory>

#include "text/graphics_types.h"
#include "text/notify_persistent.h"

namespace yk {

// The five mouse cursors the editor shows when AutoCursor is on. Setting one
// notifies nobody: the editor picks cursor changes up when the whole caret
// object is assigned.
class TEditorCursors : public TNotifyPersistent {
 public:
  TCursor DefaultCursor() const { return default_cursor_; }
  void SetDefaultCursor(TCursor v) { default_cursor_ = v; }
  TCursor DragSelCursor() const { return drag_sel_cursor_; }
  void SetDragSelCursor(TCursor v) { drag_sel_cursor_ = v; }
  TCursor DragSelCopyCursor() const { return drag_sel_copy_cursor_; }
  void SetDragSelCopyCursor(TCursor v) { drag_sel_copy_cursor_ = v; }
  TCursor InSelCursor() const { return in_sel_cursor_; }
  void SetInSelCursor(TCursor v) { in_sel_cursor_ = v; }
  TCursor LeftMarginCursor() const { return left_margin_cursor_; }
  void SetLeftMarginCursor(TCursor v) { left_margin_cursor_ = v; }

  // Copies the five cursors, then notifies once.
  void Assign(const TPersistent& source) override;
  const char* ClassName() const override { return "TEditorCursors"; }
  bool operator==(const TEditorCursors& o) const;

 private:
  TCursor default_cursor_ = crIBeam;
  TCursor drag_sel_cursor_ = crDrag;
  TCursor drag_sel_copy_cursor_ = crDragSelCopy;
  TCursor in_sel_cursor_ = crDefault;
  TCursor left_margin_cursor_ = crRightArrow;
};

enum TEditorCaretStyle : std::uint8_t { csDefault, csBrief };

std::string_view CaretStyleToIdent(TEditorCaretStyle s);
std::optional<TEditorCaretStyle> IdentToCaretStyle(std::string_view name);

// Caret movement, indentation, tab and selection-drag behaviour. Only Style
// and TabSpaceCount notify when set; the flags are plain fields that reach
// the editor through an Assign of the whole object.
class TEditorCaret : public TNotifyPersistent {
 public:
  static constexpr int kMinTabSpaceCount = 2;
  static constexpr int kMaxTabSpaceCount = 8;

  TEditorCaret();
  ~TEditorCaret() override;

  bool AutoCursor() const { return auto_cursor_; }
  void SetAutoCursor(bool v) { auto_cursor_ = v; }
  bool AutoIndent() const { return auto_indent_; }
  void SetAutoIndent(bool v) { auto_indent_ = v; }
  // Owned; never replaced, SetCursors copies into it.
  TEditorCursors& Cursors() { return *cursors_; }
  const TEditorCursors& Cursors() const { return *cursors_; }
  void SetCursors(const TEditorCursors& v) { cursors_->Assign(v); }
  bool FreeCaret() const { return free_caret_; }
  void SetFreeCaret(bool v) { free_caret_ = v; }
  bool InTab() const { return in_tab_; }
  void SetInTab(bool v) { in_tab_ = v; }
  bool KeepCaret() const { return keep_caret_; }
  void SetKeepCaret(bool v) { keep_caret_ = v; }
  bool LockScroll() const { return lock_scroll_; }
  void SetLockScroll(bool v) { lock_scroll_ = v; }
  bool NextLine() const { return next_line_; }
  void SetNextLine(bool v) { next_line_ = v; }
  bool PrevSpaceIndent() const { return prev_space_indent_; }
  void SetPrevSpaceIndent(bool v) { prev_space_indent_ = v; }
  bool RowSelect() const { return row_select_; }
  void SetRowSelect(bool v) { row_select_ = v; }
  TDragMode SelDragMode() const { return sel_drag_mode_; }
  void SetSelDragMode(TDragMode v) { sel_drag_mode_ = v; }
  bool SelMove() const { return sel_move_; }
  void SetSelMove(bool v) { sel_move_ = v; }
  bool SoftTab() const { return soft_tab_; }
  void SetSoftTab(bool v) { soft_tab_ = v; }
  TEditorCaretStyle Style() const { return style_; }
  void SetStyle(TEditorCaretStyle v) { SetAndNotify(style_, v); }
  bool TabIndent() const { return tab_indent_; }
  void SetTabIndent(bool v) { tab_indent_ = v; }
  // The tab width in columns: always 2, 4, 6 or 8.
  int TabSpaceCount() const { return tab_space_count_; }
  void SetTabSpaceCount(int v) { SetAndNotify(tab_space_count_, ClampTabSpaceCount(v)); }

  // Into 2..8, then down to an even number.
  static int ClampTabSpaceCount(int v);

  // Copies every property (the cursors through their own Assign) and
  // notifies once. TabSpaceCount is clamped here too, since it divides
  // column arithmetic.
  void Assign(const TPersistent& source) override;
  const char* ClassName() const override { return "TEditorCaret"; }
  bool operator==(const TEditorCaret& o) const;

 private:
  bool auto_cursor_ = true;
  bool auto_indent_ = true;
  std::unique_ptr<TEditorCursors> cursors_;
  bool free_caret_ = true;
  bool in_tab_ = false;
  bool keep_caret_ = false;
  bool lock_scroll_ = false;
  bool next_line_ = false;
  bool prev_space_indent_ = false;
  bool row_select_ = true;
  TDragMode sel_drag_mode_ = dmAutomatic;
  bool sel_move_ = true;
  bool soft_tab_ = false;
  TEditorCaretStyle style_ = csDefault;
  bool tab_indent_ = false;
  int tab_space_count_ = 8;
};

}  // namespace yk
