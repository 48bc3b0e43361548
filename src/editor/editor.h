// TEditor: the editing surface on the text model. Holds the caret, the
// selection and every editing operation, and reaches the screen only through
// the platform interfaces, so it runs and is tested without a display.
#pragma once

#include <algorithm>
#include <bitset>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "editor/editor_screen.h"
#include "editor/keys.h"
#include "editor/popup_menu.h"
#include "editor/column_code.h"
#include "platform/clipboard.h"
#include "platform/font.h"
#include "platform/geometry.h"
#include "platform/surface.h"
#include "platform/window_host.h"
#include "text/editor_caret.h"
#include "text/editor_link.h"
#include "text/editor_marks.h"
#include "text/editor_strings.h"
#include "text/parser.h"
#include "text/reserve_words.h"
#include "text/screen_strings.h"
#include "text/view_info.h"
#include "text/wrap_option.h"

namespace yk {

class TEditor;

enum TEditorSelectionMode : std::uint8_t { smNormal, smBox };
enum TEditorSelectionState : std::uint8_t { sstNone, sstStarted, sstSelected };
enum TEditorSelDragState : std::uint8_t { sdNone, sdPending, sdDragging };
using TEditorScrollBars = TScrollStyle;
enum TEditorBorderStyle : std::uint8_t { bsNone, bsSingle };

// Where the selection began: row, byte index and display column.
struct TSelectionAnchor {
  int row = 0;
  int byte = 0;
  int col = 0;
  bool operator==(const TSelectionAnchor&) const = default;
};

// The selected range: rows and byte indexes (end inclusive, so an empty
// range has endByte == startByte - 1) and the display rectangle (right
// column exclusive).
struct TSelectionRange {
  int startRow = 0;
  int endRow = 0;
  int startByte = 0;
  int endByte = -1;
  int top = 0;
  int bottom = 0;
  int left = 0;
  int right = 0;
  bool operator==(const TSelectionRange&) const = default;
};

// What OnDrawLine reports about one painted piece of a row.
struct TDrawLineInfo {
  std::string_view lineStr;
  int x = 0;
  int y = 0;
  int index = 0;
  TRect rect;
  bool selected = false;
};

// The edit-control messages of the windowing system the control answers.
enum TEditMessage {
  emGetSel, emSetSel, emReplaceSel, emGetLine, emGetLineCount, emLineIndex, emLineFromChar, emLineLength,
  emCharFromPos, emPosFromChar, emGetModify, emSetModify, emSetReadOnly, emCanUndo, emUndo, emEmptyUndoBuffer,
  emGetFirstVisibleLine, emScrollCaret, emCut, emCopy, emPaste, emClear, emGetText, emGetTextLength, emSetText,
};

class TEditor : public TEditorLink {
 public:
  using TEditorEvent = std::function<void(TEditor& sender)>;
  using TSelectionChangeEvent = std::function<void(TEditor& sender, bool selected)>;
  using TDrawLineEvent = std::function<void(TEditor& sender, const TDrawLineInfo& info)>;

  static constexpr int kHorizontalExtent = 8000;  // pixels the view scrolls sideways at least
  static constexpr int kDefaultWidth = 185;
  static constexpr int kDefaultHeight = 89;

  TEditor();
  ~TEditor() override;
  TEditor(const TEditor&) = delete;
  TEditor& operator=(const TEditor&) = delete;

  // The window: none (null) until the port creates one. Without a window
  // nothing is painted, scrolled or shown, but the state stays exact.
  void SetHost(TWindowHost* host);
  TWindowHost* Host() const { return host_; }
  void SetClipboard(TClipboard* clipboard) { clipboard_ = clipboard; }
  TClipboard* Clipboard() const { return clipboard_; }
  // The X11 selection (PRIMARY), null where the platform has none: a shown
  // selection is offered there, and a middle click pastes from it.
  void SetSelectionClipboard(TClipboard* clipboard);
  TClipboard* SelectionClipboard() const { return selection_clipboard_; }

  // --- settings ---------------------------------------------------------
  TEditorCaret& Caret() { return *caret_; }
  void SetCaret(const TEditorCaret& v) { caret_->Assign(v); }
  TEditorMarks& Marks() { return *marks_; }
  void SetMarks(const TEditorMarks& v) { marks_->Assign(v); }
  TEditorMargin& Margin() { return *margin_; }
  void SetMargin(const TEditorMargin& v) { margin_->Assign(v); }
  TEditorViewInfo& View() { return *view_; }
  void SetView(const TEditorViewInfo& v);
  TEditorWrapOption& WrapOption() { return rows_->WrapOption(); }
  void SetWrapOption(const TEditorWrapOption& v) { rows_->WrapOption().Assign(v); }
  bool WordWrap() const { return rows_->WordWrap(); }
  void SetWordWrap(bool on) { rows_->SetWordWrap(on); }
  int UndoListMax() const { return rows_->UndoObj().UndoListMax(); }
  void SetUndoListMax(int v) { rows_->UndoObj().SetUndoListMax(v); }
  const TReserveWordList& ReserveWordList() const { return reserve_words_; }
  void SetReserveWordList(const TReserveWordList& v);
  const TFontSpec& Font() const { return font_; }
  void SetFont(const TFontSpec& font);
  TColor Color() const { return color_; }
  void SetColor(TColor c);
  bool ReadOnly() const { return read_only_; }
  void SetReadOnly(bool v);
  bool WantReturns() const { return want_returns_; }
  void SetWantReturns(bool v) { want_returns_ = v; }
  bool WantTabs() const { return want_tabs_; }
  void SetWantTabs(bool v) { want_tabs_ = v; }
  TEditorScrollBars ScrollBars() const { return scroll_bars_; }
  void SetScrollBars(TEditorScrollBars v);
  TEditorBorderStyle BorderStyle() const { return border_style_; }
  void SetBorderStyle(TEditorBorderStyle v) { border_style_ = v; }
  bool Overwrite() const { return overwrite_; }
  void SetOverwrite(bool v);
  bool Modified() const { return modified_; }
  // false: the text is what its file holds (undo or redo coming back to
  // this text clears the flag again); true: the file holds something else.
  void SetModified(bool v);

  // --- text ---------------------------------------------------------------
  TEditorStrings& Lines() { return *lines_; }
  void SetLines(const std::vector<std::string>& lines) { lines_->Assign(lines); }
  TEditorScreenStrings& ScreenStrings() override { return *rows_; }
  void SaveToFile(const std::string& path) const;
  // Shows and edits other's document from now on; this editor's own row
  // list is freed when no other editor holds it.
  virtual void ShareTextWith(TEditor& other);

  // --- coordinates --------------------------------------------------------
  int RowCount() const { return rows_->GetCount(); }
  std::string RowText(int row) const { return std::string(RowView(row)); }
  TRowAttribute RowAttribute(int row) const;
  int RowEndCol(int row) const;
  std::string ExpandTabs(std::string_view s) const;
  // The column map of a row ("1".."5", one code per display column).
  std::string RowColumnMap(int row) const;
  int LogicalColumn(int row, int col) const;
  int RowsToLines(int n) const;
  const std::bitset<256>& WordDelimiters() const override { return word_delimiters_; }

  // --- caret and view -----------------------------------------------------
  int Row() const override { return row_; }
  void SetRow(int row) override;
  int Col() const override { return col_; }
  void SetCol(int col) override;
  void SetRowCol(int row, int col);
  int TopRow() const override { return top_row_; }
  void SetTopRow(int row) override;
  int TopCol() const { return top_col_; }
  void SetTopCol(int col) override;
  // Brings the caret into view: a third from the top when its row is not
  // shown; sideways with the least scroll that shows it.
  void ScrollCaret();
  void MakeCaretVisible();
  std::int64_t OffsetFromRowCol(int anchor, int row, int col) const;
  void SetCaretByOffset(int anchor, std::int64_t offset);
  // Client point of the caret cell's top-left (the brief caret's bar at
  // its bottom).
  virtual TPoint GetCaretXY() const;
  virtual void CaretBeginUpdate();
  virtual void CaretEndUpdate();
  // Suspends the caret-row underline (counted); it is drawn again when the
  // last suspension ends.
  virtual void UnderlineBeginUpdate();
  virtual void UnderlineEndUpdate();
  void UpdateCaret();
  bool Focused() const override { return host_ && host_->Focused(); }
  // The port reports focus changes.
  void FocusChanged(bool focused);
  // The port reports size and font changes.
  void Resized();

  // Cell and view metrics: painting owns them, but the caret needs them too.
  int FontHeight() const { return font_height_; }
  int ColWidth() const { return col_width_; }
  int RowHeight() const { return font_height_ + margin_->Line() + margin_->UnderlineSpace(); }
  int VisibleRows() const { return visible_rows_; }
  int VisibleCols() const { return visible_cols_; }
  // The last row can be scrolled up to the top; a view of less than two
  // rows can still show the row after the last line.
  int MaxTopRow() const { return std::max(0, RowCount() + std::max(visible_rows_, 2) - 2); }
  // The fixed horizontal extent, extended for a caret row that needs more.
  int MaxTopCol() const;
  TPoint PosToRowCol(int x, int y, bool nearest) const;

  // --- selection ----------------------------------------------------------
  bool Selected() const { return sel_state_ == sstSelected; }
  TEditorSelectionState SelectionState() const { return sel_state_; }
  TEditorSelectionMode SelectionMode() const { return sel_mode_; }
  void SetSelectionMode(TEditorSelectionMode mode);
  TEditorSelDragState SelDragState() const { return sel_drag_; }
  const TSelectionAnchor& SelectionAnchor() const { return anchor_; }
  const TSelectionRange& SelectionRange() const { return range_; }
  void StartSelection();
  void ExtendSelection();
  void CancelSelection();
  void DeleteSelection();
  void CleanSelection() override { CancelSelection(); }
  std::int64_t SelStart() const;
  void SetSelStart(std::int64_t v);
  std::int64_t SelLength() const;
  void SetSelLength(std::int64_t n);
  std::string SelText() const;
  void SetSelText(std::string_view text) { SetSelTextBuf(text); }
  void SetSelTextBuf(std::string_view text);
  void SelectAll();
  // The document length in bytes, 2 per line end.
  std::int64_t TextLength() const;

  // --- editing ------------------------------------------------------------
  // The typing primitive: inserts (or overwrites with) s at the caret, or
  // replaces the selection by it. Does not test ReadOnly.
  void InsertText(std::string_view s);
  // A character typed by the user: Backspace (8), Tab (9), Enter (13) or a
  // printable byte. shiftOrCtrl: Tab with Shift or Ctrl types nothing.
  void KeyChar(char c, bool shiftOrCtrl = false);
  void ReturnKey();
  void TabKey();
  void BackSpaceKey();
  void DeleteKey();
  void DeleteRow(int row);
  virtual bool CanUndo() const { return rows_->UndoObj().CanUndo(); }
  virtual bool CanRedo() const { return rows_->UndoObj().CanRedo(); }
  virtual void Undo();
  virtual void Redo();

  // --- clipboard ----------------------------------------------------------
  void CopyToClipboard();
  void CutToClipboard();
  void PasteFromClipboard();
  void PasteAsBox(std::string_view text);
  // PasteAsBox over a box selection for a command that rewrites its
  // pieces (case or width conversion): the same single edit, except that a
  // document whose last line has no line end keeps it that way.
  void ReplaceBoxSelection(std::string_view text);

  // --- words and tokens ---------------------------------------------------
  bool NextWordPos(int& row, int& col, int direction) const;
  virtual bool GetTokenAt(TPoint p, std::string& text, TEditorTokenKind& kind) const;
  virtual void SelectTokenAt(TPoint p);
  void SelectTokenFromCaret();
  TEditorTokenKind TokenKindFromCaret() const;
  std::string TokenStringFromCaret() const;

  // --- edit-control messages ----------------------------------------------
  // Answers one message; wParam and lParam carry the message's arguments,
  // buffer the text the message reads or fills; emGetSel also stores the
  // selection's start and end through the pointers that are not null.
  std::int64_t Perform(TEditMessage msg, std::int64_t wParam = 0, std::int64_t lParam = 0,
                       std::string* buffer = nullptr, std::int64_t* selStart = nullptr,
                       std::int64_t* selEnd = nullptr);

  // --- events -------------------------------------------------------------
  TEditorEvent OnChange;
  TEditorEvent OnCaretMoved;
  TSelectionChangeEvent OnSelectionChange;
  TEditorEvent OnSelectionModeChange;
  TEditorEvent OnTopRowChange;
  TEditorEvent OnTopColChange;
  TDrawLineEvent OnDrawLine;
  // A key, typed text or a paste was refused because the editor is
  // read-only (the refusal itself stays silent; the owner may say why).
  TEditorEvent OnEditRefused;

  // --- keyboard, mouse, scrolling, input method (editor_input.cpp, editor_scroll.cpp, editor_ime.cpp) ---
  using TKeyEvent = std::function<void(TEditor& sender, TKey& key, TShiftState shift)>;
  using TKeyPressEvent = std::function<void(TEditor& sender, char& key)>;
  using TMouseEvent = std::function<void(TEditor& sender, TMouseButton button, TShiftState shift, int x, int y)>;
  using TMouseMoveEvent = std::function<void(TEditor& sender, TShiftState shift, int x, int y)>;

  // A key went down (repeat: an automatic repeat of it). The built-in
  // context menu's shortcuts come first, then OnKeyDown, which consumes the
  // key by setting it to vkNone. True when the key was used.
  bool KeyDown(TKey key, TShiftState shift, bool repeat = false);
  void KeyUp(TKey key, TShiftState shift);
  // A typed character: Backspace (8), Tab (9), Enter (13) or a printable
  // single byte. Double-byte text comes through ImeComposition.
  void KeyPress(char c, TShiftState shift = 0);
  // Client coordinates in pixels. A double click is reported as
  // DoubleClick followed by MouseDown with ssDouble, which only fires
  // OnMouseDown, so a selection made by a double-click handler stays.
  void MouseDown(TMouseButton button, TShiftState shift, int x, int y);
  // shift carries the held buttons: a move without ssLeft during a mouse
  // action means the release went elsewhere, and the action ends.
  void MouseMove(TShiftState shift, int x, int y);
  void MouseUp(TMouseButton button, TShiftState shift, int x, int y);
  void DoubleClick();
  // One line per notification away from (delta > 0) or towards the user, a
  // page with Shift. False when ignored (during a mouse action, delta 0).
  bool MouseWheel(int delta, TShiftState shift);
  void VScroll(TScrollCode code, int pos = 0);
  void HScroll(TScrollCode code, int pos = 0);
  // The port calls this from a timer of its own while the left button is
  // held: with the mouse outside the text area it repeats the last mouse
  // move, so a selection keeps scrolling. False when there is nothing to do
  // (the timer may stop).
  bool AutoScrollTick();
  // True while the left button is down or a selection drag is pending or
  // under way; keys, characters, wheel and other buttons are ignored then.
  bool InMouseAction() const { return left_button_down_ || sel_drag_ != sdNone; }
  // A key in a long wrapped line may leave the rest of the line's breaks
  // for the window to finish once the key is shown; the window finishes
  // them here first, before any input reads the rows.
  void FinishDeferredWrap();
  // Ends a mouse action whose release the port cannot deliver (capture or
  // focus lost): selecting stops where it is, a selection drag drops nothing.
  void CancelMouseAction();
  bool RowSelecting() const { return row_selecting_; }
  // The cursor AutoCursor shows with no button down at a client point.
  TCursor CursorFor(int x, int y) const;
  // 0 default, 1 left margin, 2 inside the selection, 3 dragging, 4 drag-copying.
  void SetCursorKind(int kind);
  int CursorKind() const { return cursor_kind_; }
  virtual bool CanSelDrag() const;
  // Whether a caret position lies inside the shown stream selection.
  bool InSelection(int row, int col) const;
  // Drop targets of a selection drag; a drop inside the selection, or when
  // no drag is allowed, only cancels the selection. A move is one edit.
  virtual void CopySelectionTo(int row, int col);
  void MoveSelectionTo(int row, int col);
  // A committed input-method result (CP932): one edit; refused when ReadOnly.
  void ImeComposition(const std::string& cp932Result);
  // The candidate window hides the caret while it is open.
  void ImeCandidateWindow(bool open);
  // The top-left of the caret cell, where the composition window goes.
  TPoint ImeCompositionPos() const;
  // The context menu: the editor's own (made by CreatePopupMenu on first
  // use) unless the application set another; null when it set none (its
  // window may show a menu of its own). Only this menu's shortcuts act.
  TEditorPopupMenu* PopupMenu();
  void SetPopupMenu(TEditorPopupMenu* menu);
  // Back to the editor's own menu.
  void ResetPopupMenu() {
    popup_ = nullptr;
    popup_assigned_ = false;
  }
  virtual std::unique_ptr<TEditorPopupMenu> CreatePopupMenu();

  TKeyEvent OnKeyDown;
  TKeyEvent OnKeyUp;
  TKeyPressEvent OnKeyPress;
  TMouseEvent OnMouseDown;
  TMouseEvent OnMouseUp;
  TMouseMoveEvent OnMouseMove;
  TEditorEvent OnDblClick;

  // --- painting (editor_paint.cpp, editor_screen.cpp) ---
  // Paints the part of the client area inside clip: the port calls this
  // from its paint event. Only the visible cells of a row reach the
  // surface, however long the row is.
  void Paint(TSurface& surface, const TRect& clip);
  // The surface being painted, for OnDrawLine handlers; null outside Paint.
  TSurface* Canvas() const { return canvas_; }
  // Pixels by which the text is scrolled left: TopCol whole cells.
  int HorzOffset() const { return top_col_ * col_width_; }
  // The row pitch (FontHeight, Margin.Line and the underline's pixel row).
  int CaretRowHeight() const { return RowHeight(); }
  // True when the font or a token colour is italic: every token is then
  // drawn over a cleared background.
  bool ItalicMode() const;
  TEditorScreen& Screen() { return *screen_; }
  // Drawing steps a descendant may replace. clip limits the EOF mark to the
  // piece being painted.
  virtual void DoDrawLine(const TDrawLineInfo& info);
  virtual void DrawEof(TSurface& surface, int x, int y, const TRect& clip);
  virtual void DrawRetMark(TSurface& surface, int x, int y);
  virtual void DrawSelectedRetMark(TSurface& surface, int x, int y);
  virtual void DrawUnderline(TSurface& surface, int row);
  virtual void EraseUnderline(TSurface& surface, int row);
  // Client y of a row's underline: just below its text.
  virtual int UnderlineY(int row) const;
  // Moves the pixels inside clip by (dx, dy) and paints what was uncovered
  // at once, with the caret-row underline suspended.
  virtual void ScrollArea(int dx, int dy, const TRect& clip);

  // --- TEditorLink --------------------------------------------------------
  void SetCaretByRowOffset(int row, long long offset) override { SetCaretByOffset(row, offset); }
  void StringsChanged() override;
  void RepaintRow(int row) override;
  void RepaintAll() override;
  int DisplayRowCount() const override { return std::max(visible_rows_, 1); }
  void LinesBeginUpdate() override;
  void LinesEndUpdate() override;
  int TabSpaceCount() const override { return caret_->TabSpaceCount(); }
  const TParserRules* ParserRules() const override { return &parser_rules_; }
  // The selection's ends and mode; setting a span with two ends shows that
  // selection in its mode, one with one end only places the caret.
  TSelectionSpan SelectionSpan() const override;
  void SetSelectionSpan(const TSelectionSpan& span) override;

 protected:
  // A descendant that replaces a part (the factories below) or the word
  // delimiters builds on this constructor and calls CreateParts() at the end
  // of its own, when its overrides are in effect; until then the editor has
  // no parts and must not be used.
  struct TDeferredParts {};
  explicit TEditor(TDeferredParts);
  void CreateParts();
  // Factories, each called once by CreateParts.
  virtual std::shared_ptr<TEditorScreenStrings> CreateScreenStrings();
  virtual std::unique_ptr<TEditorStrings> CreateLines();
  virtual std::unique_ptr<TEditorScreen> CreateScreen();
  virtual std::unique_ptr<TEditorViewInfo> CreateViewInfo();
  // Fills word_delimiters_; called by CreateParts.
  virtual void InitWordDelimiters();
  virtual void SettingsChanged(TPersistent* sender);
  virtual void InitCaret();
  virtual void DoSelectionChange(bool selected);
  virtual void DoSelectionModeChange();
  virtual void DoTopRowChange();
  virtual void DoTopColChange();

  std::bitset<256> word_delimiters_;
  struct TRowMapCache {
    const TEditorScreenStrings* rows = nullptr;
    std::uint64_t edits = 0;
    int row = -1;
    int tabWidth = 0;
    int wrapColumns = 0;
    std::string map;
    std::vector<int> fills;  // tab-fill codes before each kFillStride-th column
  };
  static constexpr std::size_t kFillStride = 4096;
  mutable TRowMapCache row_map_;

 private:
  // True (after telling OnEditRefused) when the editor is read-only.
  bool RefusedReadOnly();
  // Coordinates (editor_core.cpp).
  std::string_view RowView(int row) const;
  bool RowHasTab(int row) const;
  int WrapColumns() const;
  void ColumnMapOf(std::string_view text, std::string& out) const;
  // The column map of a row, kept until the rows, the tab width or the wrap
  // change: caret moves in a long row with tabs do not map it again. The
  // reference holds until the next call.
  const std::string& RowMap(int row) const;
  TRowColumns RowColumns(int row) const;
  static int ByteOfColumn(std::string_view map, int col, bool capped, int length);
  // ByteOfColumn over RowMap(row), counting only the codes since the last
  // kept count, so it costs the same anywhere in a long row.
  int ByteOfRowColumn(int row, int col, bool capped) const;
  int CaretByte(bool capped) const;
  int ByteIndex(int row, int col, bool capped) const;
  int ColOfByte(int row, int byte) const;
  std::int64_t RowSpan(int row) const;
  int ColLimit() const;
  int MaxCaretRow() const;
  void Normalize(bool vertical, int d);
  void Remember(bool vertical, int c);
  void PlaceCaret(int row, int col);
  void KeepCaretOnBoundary();
  void RecalcMetrics();
  void UpdateScrollRanges();
  void ConnectSettings();
  void RebuildParserRules();
  void InvalidateRows(int first, int last);
  void ShowCaretIfAllowed();
  void ShowCaretWhereItIs();
  void AttachTo(std::shared_ptr<TEditorScreenStrings> rows);

  // The edit pattern: replace rows, then put the caret back by offset.
  void ReplaceAndPlace(int first, int count, const std::string& text, int anchor, std::int64_t offset);
  // The same for bytes [from, to) of one row replaced by text.
  void ReplaceInRowAndPlace(int row, std::size_t from, std::size_t to, const std::string& text, int anchor,
                            std::int64_t offset);

  // Editing (editor_edit.cpp).
  int AnchorRow(int row) const;
  // What a key's edit hands the rest of a long line's wrap to: the window.
  std::function<void()> WrapAfterShown();
  void InsertAtCaret(std::string_view s);
  void OverwriteAtCaret(std::string_view s);
  std::string IndentFor(int row) const;
  void JoinWithPrevious();
  void JoinWithNext(int c);

  // Clipboard (editor_clipboard.cpp).
  void PasteBox(std::string_view text, bool endWithLineEnd);

  // Selection (editor_select.cpp).
  struct TBytePiece {
    int first = 0;  // first byte
    int end = 0;    // one past the last byte
  };
  struct TRemainder {
    std::vector<std::string> rows;
    std::vector<TRowAttribute> attributes;
    std::vector<int> positions;  // byte where the removed part began
  };
  TBytePiece BoxPiece(int row, int left, int right) const;
  int BoxInsertByte(int row, int col) const;
  TRemainder SelectionRemainder() const;
  void UpdateSelection();
  void RealignSelection();
  int LastSelectedRow() const;
  std::string JoinRows(const TRemainder& rem) const;

  // Tokens (editor_tokens.cpp).
  bool TokenAt(int row, int col, int& lineRow, int& start, std::string& text, TEditorTokenKind& kind) const;
  std::int64_t RowStartOffset(int row) const;
  int RowOfOffset(std::int64_t offset) const;

  // --- keyboard, mouse, scrolling, input method (editor_input.cpp, editor_scroll.cpp, editor_ime.cpp) ---
  void NavigationKey(TKey key, bool ctrl);
  void KeyLeft(bool ctrl);
  void KeyRight(bool ctrl);
  void KeyUpArrow(bool ctrl);
  void KeyDownArrow(bool ctrl);
  void PageMove(int n);
  bool DragKey(TKey key, bool down);
  void EndSelDrag(bool cancelled);
  void LeftButtonDown(TShiftState shift, int x, int y);
  void LeftButtonUp(TShiftState shift, int x, int y);
  TPoint FollowPoint(int x, int y, bool nearest) const;
  bool PastDragThreshold(int x, int y) const;
  int CursorKindAt(int x, int y) const;
  // The rows first..last joined for a selection move, with the selection's
  // ends and the drop point as offsets into the text.
  struct TMoveText {
    std::string text;
    std::size_t selStart = 0;
    std::size_t selEnd = 0;
    std::size_t drop = 0;
  };
  TMoveText JoinForMove(int first, int last, int dropRow, int dropByte) const;
  void PasteSelectionAt(int x, int y);
  void OfferSelection();
  void WithdrawSelection();
  void RowSelectStart(int row);
  void RowSelectMove(int row);
  int RowSelectRow(int row) const;
  void ScrollRowsTo(int target);
  void RefreshCaretPos();
  void MoveCompositionWindow();

  TPoint press_point_;
  TPoint last_mouse_;
  TShiftState last_shift_ = 0;
  bool row_selecting_ = false;
  int row_sel_anchor_ = 0;
  bool row_sel_anchor_last_ = false;
  bool key_repeat_ = false;
  bool ime_move_pending_ = false;
  bool ime_candidate_open_ = false;
  int cursor_kind_ = 0;
  std::unique_ptr<TEditorPopupMenu> own_popup_;
  TEditorPopupMenu* popup_ = nullptr;
  bool popup_assigned_ = false;

  // --- painting (editor_paint.cpp, editor_screen.cpp) ---
  friend class TEditorScreen;
  // The text painted for one row (PrepareLine).
  struct TPaintLine {
    std::string_view text;  // parsed, and reported to OnDrawLine
    int x = 0;              // client x of text[0]
    int ownFrom = 0;        // the row's own columns within text
    int ownTo = 0;
    bool complete = true;  // ownTo is the row's whole width
    bool wrapsOn = false;  // the next row's text follows in text
    int state = kStateNotComputed;
  };
  TSize ClientSizeOrDefault() const;
  int RowTop(int row) const;
  int ColumnX(std::int64_t col) const;
  void PaintUnderline(TSurface& surface);
  void PaintBeyondEnd(TSurface& surface, int row, const TRect& band);
  void PaintRow(TSurface& surface, int row, const TRect& band);
  void PrepareLine(int row, int visibleEnd, TPaintLine& line);
  void TokenizeLine(const TPaintLine& line, int startCol, int stopCol);
  const TEditorColor* EntryColor(TColorEntry entry, int bracket) const;
  void PaintPiece(TSurface& surface, const TPaintLine& line, int row, const TRect& piece, bool selected);
  void PaintRowEnd(TSurface& surface, const TPaintLine& line, int row, const TRect& piece, bool selected);
  void DrawSpan(TSurface& surface, const TPaintLine& line, int from, int to, int y, TColor color, TColor bk,
                TFontStyles style, const TRect& clip) const;
  void DrawArrow(TSurface& surface, int x, int y, TColor color);
  TColumnSpan SelectedSpan(const TSelectionRange& range, int row) const;

  std::unique_ptr<TEditorScreen> screen_;
  TSurface* canvas_ = nullptr;
  bool italic_ = false;

  std::shared_ptr<TEditorScreenStrings> rows_;
  std::unique_ptr<TEditorStrings> lines_;
  std::unique_ptr<TEditorCaret> caret_;
  std::unique_ptr<TEditorMarks> marks_;
  std::unique_ptr<TEditorMargin> margin_;
  std::unique_ptr<TEditorViewInfo> view_;
  TReserveWordList reserve_words_;
  TParserRules parser_rules_;
  TFontSpec font_;
  TColor color_ = clWindow;

  TWindowHost* host_ = nullptr;
  TClipboard* clipboard_ = nullptr;
  TClipboard* selection_clipboard_ = nullptr;
  bool selection_offered_ = false;

  int row_ = 0;
  int col_ = 0;
  int top_row_ = 0;
  int top_col_ = 0;
  int remembered_col_ = 0;
  bool col_remembered_ = false;
  bool batch_ = false;
  int caret_hide_count_ = 0;
  bool caret_shown_ = false;
  bool caret_created_ = false;
  int underline_hide_count_ = 0;
  int lines_updating_ = 0;
  bool left_button_down_ = false;

  bool overwrite_ = false;
  bool modified_ = false;
  bool read_only_ = false;
  bool want_returns_ = true;
  bool want_tabs_ = true;
  TEditorScrollBars scroll_bars_ = ssNone;
  TEditorBorderStyle border_style_ = bsSingle;

  TEditorSelectionMode sel_mode_ = smNormal;
  TEditorSelectionState sel_state_ = sstNone;
  TEditorSelDragState sel_drag_ = sdNone;
  TSelectionAnchor anchor_;
  TSelectionRange range_;

  int font_height_ = 16;
  int col_width_ = 8;
  int visible_rows_ = 0;
  int visible_cols_ = 0;
  int base_max_top_col_ = kHorizontalExtent / 8;
};

}  // namespace yk
