// TEditor core: construction, settings, coordinates, the caret rules, the
// view position, offsets and the link through which the row list reports.
#include <algorithm>
#include <climits>
#include <cstdint>

#include "editor/column_code.h"
#include "editor/editor.h"
#include "text/column_map.h"

namespace yk {

namespace {

// Edits count offsets from an anchor a row or a line above, and most lines
// hold a few rows: those are added up directly, which keeps the line
// index's totals (rebuilt from the edited block on when next asked) out of
// every keystroke.
constexpr int kNearRows = 64;

}  // namespace

// --- construction -------------------------------------------------------

TEditor::TEditor() : TEditor(TDeferredParts{}) { CreateParts(); }

TEditor::TEditor(TDeferredParts)
    : caret_(std::make_unique<TEditorCaret>()),
      marks_(std::make_unique<TEditorMarks>()),
      margin_(std::make_unique<TEditorMargin>()) {}

// Called from the constructor of the most derived class, so that its
// overrides make the parts.
void TEditor::CreateParts() {
  rows_ = CreateScreenStrings();
  rows_->AddEditor(this);
  lines_ = CreateLines();
  screen_ = CreateScreen();
  view_ = CreateViewInfo();
  InitWordDelimiters();
  ConnectSettings();
  RebuildParserRules();
  RecalcMetrics();
}

std::shared_ptr<TEditorScreenStrings> TEditor::CreateScreenStrings() { return std::make_shared<TEditorScreenStrings>(); }
std::unique_ptr<TEditorStrings> TEditor::CreateLines() { return std::make_unique<TEditorStrings>(*this); }
std::unique_ptr<TEditorScreen> TEditor::CreateScreen() { return std::make_unique<TEditorScreen>(*this); }
std::unique_ptr<TEditorViewInfo> TEditor::CreateViewInfo() { return std::make_unique<TEditorViewInfo>(this); }

// Parts may be missing when a descendant's constructor failed before
// CreateParts.
TEditor::~TEditor() {
  WithdrawSelection();
  caret_->OnChange = nullptr;
  marks_->OnChange = nullptr;
  margin_->OnChange = nullptr;
  if (view_) view_->OnChange = nullptr;
  if (rows_) rows_->RemoveEditor(this);
}

void TEditor::ConnectSettings() {
  auto handler = [this](TPersistent* sender) { SettingsChanged(sender); };
  caret_->OnChange = handler;
  marks_->OnChange = handler;
  margin_->OnChange = handler;
  view_->OnChange = handler;
}

void TEditor::InitWordDelimiters() { word_delimiters_ = DefaultWordDelimiters(); }

void TEditor::SetHost(TWindowHost* host) {
  host_ = host;
  caret_shown_ = false;
  if (host_) host_->ShowScrollBars(scroll_bars_);
  RecalcMetrics();
  UpdateScrollRanges();
  RepaintAll();
  UpdateCaret();
}

// The rules are rebuilt from the view on every view change, so the parser
// never reads the settings objects themselves.
void TEditor::RebuildParserRules() {
  TParserRules rules;
  const TEditorBracketCollection& brackets = view_->Brackets();
  for (int i = 0; i < brackets.Count(); ++i)
    rules.brackets.push_back({brackets.Items(i).LeftBracket(), brackets.Items(i).RightBracket()});
  rules.commenter = view_->Commenter();
  rules.controlCode = view_->ControlCode();
  rules.hexPrefix = view_->HexPrefix();
  rules.mail = view_->Mail();
  rules.quotation = view_->Quotation();
  rules.url = view_->Url();
  parser_rules_ = std::move(rules);
}

void TEditor::SettingsChanged(TPersistent* sender) {
  if (sender == marks_.get()) margin_->SetUnderlineSpace(marks_->Underline().Visible() ? 1 : 0);
  if (sender == caret_.get()) rows_->InvalidateWidths();  // the tab width may have changed
  if (sender == view_.get()) {
    RebuildParserRules();
    rows_->UpdateAllStates();
  }
  RecalcMetrics();
  UpdateScrollRanges();
  RepaintAll();
  UpdateCaret();
}

void TEditor::SetView(const TEditorViewInfo& v) { view_->Assign(v); }

void TEditor::SetReserveWordList(const TReserveWordList& v) {
  if (reserve_words_ == v) return;
  reserve_words_ = v;
  RepaintAll();
}

void TEditor::SetFont(const TFontSpec& font) {
  font_ = font;
  RecalcMetrics();
  UpdateScrollRanges();
  RepaintAll();
  UpdateCaret();
}

void TEditor::SetColor(TColor c) {
  color_ = c;
  RepaintAll();
}

void TEditor::SetModified(bool v) {
  modified_ = v;
  rows_->UndoObj().MarkSaved(!v);
}

void TEditor::SetReadOnly(bool v) {
  if (sel_drag_ == sdDragging) return;
  read_only_ = v;
  if (v && Selected() && host_) host_->SetCursor(caret_->Cursors().DefaultCursor(), false);
}

// The window shows or hides its bars first: the view is measured inside them.
void TEditor::SetScrollBars(TEditorScrollBars v) {
  scroll_bars_ = v;
  if (host_) host_->ShowScrollBars(v);
  RecalcMetrics();
  UpdateScrollRanges();
  RepaintAll();
}

void TEditor::SetOverwrite(bool v) {
  overwrite_ = v;
  UpdateCaret();  // the caret's shape depends on the mode
}

void TEditor::AttachTo(std::shared_ptr<TEditorScreenStrings> rows) {
  rows_->RemoveEditor(this);
  rows_ = std::move(rows);
  rows_->AddEditor(this);
}

void TEditor::ShareTextWith(TEditor& other) {
  if (&other == this || other.rows_ == rows_) return;
  CancelSelection();
  AttachTo(other.rows_);
  row_ = col_ = top_row_ = top_col_ = 0;
  col_remembered_ = false;
  RecalcMetrics();
  UpdateScrollRanges();
  RepaintAll();
  UpdateCaret();
}

void TEditor::SaveToFile(const std::string& path) const { SaveRowsToFile(*rows_, path); }

void TEditor::Undo() {
  CancelSelection();
  rows_->Undo();
}

void TEditor::Redo() {
  CancelSelection();
  rows_->Redo();
}

// --- coordinates --------------------------------------------------------

std::string_view TEditor::RowView(int row) const {
  return row >= 0 && row < RowCount() ? rows_->Row(row) : std::string_view();
}

TRowAttribute TEditor::RowAttribute(int row) const {
  return row >= 0 && row < RowCount() ? rows_->GetRowAttribute(row) : raEof;
}

int TEditor::WrapColumns() const { return WordWrap() ? rows_->WrapOption().WrapByte() : 0; }

bool TEditor::RowHasTab(int row) const { return row >= 0 && row < RowCount() && rows_->RowHasTab(row); }

// A row without a tab is as wide as it is long.
int TEditor::RowEndCol(int row) const {
  if (!RowHasTab(row)) return static_cast<int>(RowView(row).size());
  return LineWidth(RowView(row), TabSpaceCount(), WrapColumns());
}

std::string TEditor::ExpandTabs(std::string_view s) const {
  return yk::ExpandTabs(s, TabSpaceCount(), WrapColumns());
}

void TEditor::ColumnMapOf(std::string_view text, std::string& out) const {
  ColumnMapInto(text, TabSpaceCount(), WrapColumns(), word_delimiters_, out);
}

// The list's address is part of the key, as an editor that shares another
// editor's document reads other rows from then on.
const std::string& TEditor::RowMap(int row) const {
  TRowMapCache& c = row_map_;
  const int tabWidth = TabSpaceCount(), wrapColumns = WrapColumns();
  if (c.rows != rows_.get() || c.edits != rows_->TextEdits() || c.row != row || c.tabWidth != tabWidth ||
      c.wrapColumns != wrapColumns) {
    ColumnMapInto(RowView(row), tabWidth, wrapColumns, word_delimiters_, c.map);
    c.fills.assign(1, 0);
    for (std::size_t at = 0; at + kFillStride <= c.map.size(); at += kFillStride)
      c.fills.push_back(c.fills.back() + CountChar(std::string_view(c.map).substr(at), kColTabFill, kFillStride));
    c.rows = rows_.get();
    c.edits = rows_->TextEdits();
    c.row = row;
    c.tabWidth = tabWidth;
    c.wrapColumns = wrapColumns;
  }
  return c.map;
}

TRowColumns TEditor::RowColumns(int row) const {
  if (!RowHasTab(row)) return TRowColumns(RowView(row), false, TabSpaceCount(), WrapColumns(), word_delimiters_);
  return TRowColumns(RowView(row), RowMap(row), word_delimiters_);
}

std::string TEditor::RowColumnMap(int row) const { return RowMap(row); }

// Columns beyond the map count one byte each (the spaces that typing there
// would pad with), unless capped at the row length.
int TEditor::ByteOfColumn(std::string_view map, int col, bool capped, int length) {
  if (col <= 0) return 0;
  // Columns past the map hold no filler, so counting stops at its end.
  const int counted = static_cast<int>(std::min(map.size(), static_cast<std::size_t>(col) + 1));
  int b = col - CountChar(map, kColTabFill, counted);
  return capped ? std::min(b, length) : b;
}

int TEditor::ByteOfRowColumn(int row, int col, bool capped) const {
  if (col <= 0) return 0;
  const std::string& map = RowMap(row);
  const std::size_t counted = std::min(map.size(), static_cast<std::size_t>(col) + 1);
  const std::size_t k = counted / kFillStride;
  const int fills = row_map_.fills[k] + CountChar(std::string_view(map).substr(k * kFillStride), kColTabFill,
                                                  static_cast<int>(counted - k * kFillStride));
  const int b = col - fills;
  return capped ? std::min(b, static_cast<int>(RowView(row).size())) : b;
}

int TEditor::ByteIndex(int row, int col, bool capped) const {
  std::string_view text = RowView(row);
  const int length = static_cast<int>(text.size());
  if (col <= 0) return 0;
  if (!RowHasTab(row)) return capped ? std::min(col, length) : col;
  return ByteOfRowColumn(row, col, capped);
}

int TEditor::CaretByte(bool capped) const { return ByteIndex(row_, col_, capped); }

int TEditor::ColOfByte(int row, int byte) const {
  std::string_view text = RowView(row);
  const int length = static_cast<int>(text.size());
  const int inside = std::clamp(byte, 0, length);
  if (!RowHasTab(row)) return byte < 0 ? 0 : byte;
  return LineWidth(text.substr(0, static_cast<std::size_t>(inside)), TabSpaceCount(), WrapColumns()) +
         std::max(0, byte - length);
}

std::int64_t TEditor::RowSpan(int row) const {
  const std::int64_t length = static_cast<std::int64_t>(RowView(row).size());
  switch (RowAttribute(row)) {
    case raCrlf: return length + 2;
    case raWrapped: return length;
    default: return length + 1;
  }
}

int TEditor::LogicalColumn(int row, int col) const {
  if (row < 0 || row > RowCount() || col < 0) return -1;
  const TRowColumns cols = RowColumns(row);
  col = cols.CharStartColumn(col, false);
  int byte = ByteIndex(row, col, true);
  const int first = rows_->FirstRowOfLine(row);
  if (row - first <= kNearRows)
    for (int r = first; r < row; ++r) byte += static_cast<int>(RowView(r).size());
  else
    byte += static_cast<int>(rows_->SumsBefore(row).bytes - rows_->SumsBefore(first).bytes);
  return byte;
}

// The CR LF rows among the first n rows.
int TEditor::RowsToLines(int n) const {
  if (!WordWrap()) return n;
  return static_cast<int>(rows_->SumsBefore(std::clamp(n, 0, RowCount())).crlfs);
}

// --- metrics ------------------------------------------------------------

// The client size a port reports is the area inside its scroll bars, so no
// bar size is subtracted here.
void TEditor::RecalcMetrics() {
  const TFontMetrics m = host_ ? host_->Metrics(font_) : TFontMetrics{};
  const TSize size = ClientSizeOrDefault();
  font_height_ = std::max(1, m.height + m.externalLeading);
  col_width_ = std::max(1, m.aveCharWidth + margin_->Character());
  visible_rows_ = std::max(0, (size.height - margin_->Top() - 5) / RowHeight());
  visible_cols_ = std::max(0, (size.width - margin_->Left() - col_width_ / 2) / col_width_);
  base_max_top_col_ = kHorizontalExtent / col_width_;
}

// The view scrolls sideways at least the fixed extent, and far enough to
// show the end of the widest row at the left edge (one screen beyond it),
// whichever row the caret is on.
int TEditor::MaxTopCol() const {
  // A wrapped row is never wider than the wrap width: when that is inside
  // the fixed extent, no row needs measuring (which would read every row
  // holding a tab of a large document).
  if (rows_->WordWrap() && rows_->WrapOption().WrapByte() <= base_max_top_col_) return base_max_top_col_;
  const std::int64_t widest = std::min<std::int64_t>(rows_->WidestRow(), INT_MAX / 2);
  return std::max(base_max_top_col_, static_cast<int>(widest));
}

int TEditor::ColLimit() const { return MaxTopCol() + visible_cols_; }

void TEditor::UpdateScrollRanges() {
  const int oldTopRow = top_row_, oldTopCol = top_col_;
  const int maxTopCol = MaxTopCol();  // measures the caret row: once per call
  top_row_ = std::min(top_row_, MaxTopRow());
  top_col_ = std::min(top_col_, maxTopCol);
  // A cap moves the view without scrolling it: what is shown is stale.
  if ((top_row_ != oldTopRow || top_col_ != oldTopCol) && host_) {
    const TSize size = host_->ClientSize();
    host_->Invalidate({0, 0, size.width, size.height});
  }
  if (top_row_ != oldTopRow) DoTopRowChange();
  if (top_col_ != oldTopCol) DoTopColChange();
  if (!host_) return;
  if (scroll_bars_ == ssVertical || scroll_bars_ == ssBoth)
    host_->SetScrollBar(sbVertical, {0, std::max(visible_rows_, MaxTopRow()), visible_rows_, top_row_});
  if (scroll_bars_ == ssHorizontal || scroll_bars_ == ssBoth)
    // The bar's range holds the page, so its thumb at the right end stands
    // for the largest top column.
    host_->SetScrollBar(sbHorizontal, {0, maxTopCol + std::max(visible_cols_ - 1, 0), visible_cols_, top_col_});
}

// Computed wide: a captured mouse may report points far outside the window.
TPoint TEditor::PosToRowCol(int x, int y, bool nearest) const {
  const std::int64_t px = static_cast<std::int64_t>(x) + (nearest ? col_width_ / 2 - 1 : 0);
  const std::int64_t col = (px - margin_->Left()) / col_width_ + top_col_;
  const std::int64_t row = (static_cast<std::int64_t>(y) - margin_->Top()) / RowHeight() + top_row_;
  return {static_cast<int>(std::clamp<std::int64_t>(col, 0, INT_MAX)),
          static_cast<int>(std::clamp<std::int64_t>(row, INT_MIN, INT_MAX))};
}

TPoint TEditor::GetCaretXY() const {
  int y = margin_->Top() + (row_ - top_row_) * RowHeight();
  if (caret_->Style() == csBrief && !overwrite_) y += font_height_ - 2;
  return {margin_->Left() + (col_ - top_col_) * col_width_, y};
}

// --- caret ----------------------------------------------------------------

void TEditor::Remember(bool vertical, int c) {
  if (!vertical || col_remembered_) return;
  remembered_col_ = c;
  col_remembered_ = true;
}

// Puts the caret on a character boundary it may stand on; d is the
// direction of the move (+1 right, -1 left or vertical).
void TEditor::Normalize(bool vertical, int d) {
  const TRowColumns cols = RowColumns(row_);
  const int w = cols.Width();
  if (!vertical)
    col_remembered_ = false;
  else if (col_remembered_)
    col_ = remembered_col_;
  if (!caret_->FreeCaret() && col_ > w) {
    if (caret_->KeepCaret()) Remember(vertical, left_button_down_ ? w : col_);
    col_ = w;
  }
  if (cols.CodeAt(col_) == kColTrail) {
    Remember(vertical, col_);
    col_ += d;
  }
  if (!caret_->InTab() && cols.CodeAt(col_) == kColTabFill) {
    Remember(vertical, col_);
    while (cols.CodeAt(col_) == kColTabFill) col_ += d;
  }
  if (WordWrap() && col_ >= w) {
    // The end of a wrapped row is the start of the next row: no caret place.
    Remember(vertical, col_);
    const int wrapByte = rows_->WrapOption().WrapByte();
    if (RowAttribute(row_) == raWrapped)
      col_ = std::max(w - 1, 0);
    else if (col_ >= wrapByte)
      col_ = std::max(w, wrapByte - 1);
    col_ = cols.CharStartColumn(col_, caret_->InTab());
  }
  col_ = std::max(col_, 0);
  if (!batch_) UpdateCaret();
}

// The row after the last exists for the caret only when the text ends with
// a line end.
int TEditor::MaxCaretRow() const {
  const int rows = RowCount();
  return rows == 0 || RowAttribute(rows - 1) == raCrlf ? rows : rows - 1;
}

void TEditor::SetRow(int row) {
  if (row == row_ && row != RowCount()) return;
  UnderlineBeginUpdate();
  row_ = std::clamp(row, 0, MaxCaretRow());
  Normalize(true, -1);
  UnderlineEndUpdate();
}

void TEditor::SetCol(int col) {
  col = std::clamp(col, 0, ColLimit());
  const int d = col > col_ ? 1 : -1;
  col_ = col;
  Normalize(false, d);
}

void TEditor::SetRowCol(int row, int col) {
  const bool wasBatch = batch_;
  batch_ = true;
  SetRow(row);
  SetCol(RowColumns(row_).CharStartColumn(col, caret_->InTab()));
  batch_ = wasBatch;
  if (!batch_) UpdateCaret();
}

// The caret after an edit: a fresh horizontal placement that forgets any
// remembered column.
void TEditor::PlaceCaret(int row, int col) {
  const bool wasBatch = batch_;
  batch_ = true;
  UnderlineBeginUpdate();
  row_ = std::clamp(row, 0, MaxCaretRow());
  col_ = std::clamp(col, 0, ColLimit());
  Normalize(false, -1);
  UnderlineEndUpdate();
  batch_ = wasBatch;
  if (!batch_) UpdateCaret();
}

void TEditor::SetTopRow(int row) {
  row = std::clamp(row, 0, RowCount());
  if (row == top_row_) return;
  const int diff = top_row_ - row;
  top_row_ = row;
  if (host_) {
    CaretBeginUpdate();
    UnderlineBeginUpdate();
    const int limit = visible_rows_ + 1;
    const TSize size = host_->ClientSize();
    ScrollArea(0, std::clamp(diff, -limit, limit) * RowHeight(),
               {margin_->Left(), margin_->Top(), size.width, size.height});
    UpdateScrollRanges();
    RefreshCaretPos();  // the caret moved on the screen with the view
    UnderlineEndUpdate();
    CaretEndUpdate();
  }
  DoTopRowChange();
}

void TEditor::SetTopCol(int col) {
  col = std::clamp(col, 0, MaxTopCol());
  if (col == top_col_) return;
  const int diff = top_col_ - col;
  top_col_ = col;
  if (host_) {
    CaretBeginUpdate();
    UnderlineBeginUpdate();
    const TSize size = host_->ClientSize();
    ScrollArea(diff * col_width_, 0, {margin_->Left(), margin_->Top(), size.width, size.height});
    UpdateScrollRanges();
    RefreshCaretPos();  // the caret moved on the screen with the view
    UnderlineEndUpdate();
    CaretEndUpdate();
  }
  DoTopColChange();
}

void TEditor::DoTopRowChange() {
  if (OnTopRowChange) OnTopRowChange(*this);
}

void TEditor::DoTopColChange() {
  if (OnTopColChange) OnTopColChange(*this);
}

// Sideways the view moves as little from its left edge as it can: a caret
// that fits in the first view width leaves the view at column 0.
void TEditor::ScrollCaret() {
  if (row_ < top_row_ || row_ >= top_row_ + visible_rows_) SetTopRow(row_ - visible_rows_ / 3);
  const int cols = std::max(visible_cols_, 1);
  const int leftmost = std::max(0, col_ - cols + 1);
  if (top_col_ > leftmost || col_ >= top_col_ + cols) SetTopCol(leftmost);
}

// A view too small for a whole row still counts as one row, so the caret
// row stays its top row instead of a row below it.
void TEditor::MakeCaretVisible() {
  if (!Focused()) return;
  const int rows = std::max(visible_rows_, 1);
  if (row_ < top_row_) SetTopRow(row_);
  if (row_ > top_row_ + rows - 1) SetTopRow(row_ - rows + 1);
  const int quarter = visible_cols_ / 4;
  if (col_ < top_col_) SetTopCol(std::max(0, std::min(col_, top_col_ - quarter)));
  if (col_ > top_col_ + visible_cols_ - 1)
    SetTopCol(std::min(std::max(col_ - visible_cols_ + 1, top_col_ + quarter), MaxTopCol() + visible_cols_));
}

void TEditor::InitCaret() {
  if (!Focused()) return;
  const int w = std::max(1, col_width_ - margin_->Character());
  bool lead = false;
  if (overwrite_ || caret_->Style() == csBrief) lead = RowColumns(row_).CodeAt(col_) == kColLead;
  caret_shown_ = false;
  if (overwrite_)
    host_->CreateCaret(lead ? 2 * w : w, font_height_);
  else if (caret_->Style() == csBrief)
    host_->CreateCaret(lead ? 2 * w : w, 2);
  else
    host_->CreateCaret(2, font_height_);
  caret_created_ = true;
}

void TEditor::UpdateCaret() {
  if (!Focused()) return;
  InitCaret();
  MakeCaretVisible();
  ShowCaretWhereItIs();
}

// The caret at its place in the view, wherever the view is.
void TEditor::ShowCaretWhereItIs() {
  const TPoint p = GetCaretXY();
  host_->SetCaretPos(p.x, p.y);
  MoveCompositionWindow();
  if (OnCaretMoved) OnCaretMoved(*this);
  ShowCaretIfAllowed();
}

void TEditor::ShowCaretIfAllowed() {
  if (caret_hide_count_ > 0 || !Focused() || caret_shown_ || !caret_created_) return;
  if (row_ < top_row_ || row_ > top_row_ + visible_rows_ || col_ < top_col_ || col_ > top_col_ + visible_cols_)
    return;
  host_->ShowCaret(true);
  caret_shown_ = true;
}

void TEditor::CaretBeginUpdate() {
  if (caret_hide_count_++ == 0 && caret_shown_ && host_) {
    host_->ShowCaret(false);
    caret_shown_ = false;
  }
}

void TEditor::CaretEndUpdate() {
  if (caret_hide_count_ == 0) return;
  if (--caret_hide_count_ == 0 && host_) ShowCaretIfAllowed();
}

// The caret-row underline is drawn by painting; suspending it only has to
// make that row's band be drawn again.
void TEditor::UnderlineBeginUpdate() {
  if (underline_hide_count_++ == 0 && marks_->Underline().Visible() && !Selected()) RepaintRow(row_);
}

void TEditor::UnderlineEndUpdate() {
  if (underline_hide_count_ == 0) return;
  if (--underline_hide_count_ == 0 && marks_->Underline().Visible() && !Selected()) RepaintRow(row_);
}

// Focus only shows the caret: the view stays where it is, so a click
// that gives the focus lands on the row under the mouse, and switching
// windows or panes does not scroll.
void TEditor::FocusChanged(bool focused) {
  if (!host_) return;
  if (focused) {
    if (!Focused()) return;
    InitCaret();
    ShowCaretWhereItIs();
  } else {
    host_->ShowCaret(false);
    host_->CreateCaret(0, 0);
    caret_shown_ = caret_created_ = false;
  }
}

// A view that grows shows the rows above it rather than empty space below
// the last row; it never scrolls a view that is already full.
void TEditor::Resized() {
  const int oldRows = visible_rows_;
  RecalcMetrics();
  if (visible_rows_ > oldRows) {
    const int fullTop = std::max(0, MaxCaretRow() - visible_rows_ + 1);
    if (top_row_ > fullTop) {
      top_row_ = fullTop;
      DoTopRowChange();
    }
  }
  UpdateScrollRanges();
  RepaintAll();
  RefreshCaretPos();
}

// --- offsets ----------------------------------------------------------------

std::int64_t TEditor::OffsetFromRowCol(int anchor, int row, int col) const {
  anchor = std::max(anchor, 0);
  std::int64_t between = 0;
  if (row - anchor <= kNearRows)
    for (int r = anchor; r < row; ++r) between += RowSpan(r);
  else
    between = RowStartOffset(row) - RowStartOffset(anchor);
  return between + ByteIndex(row, col, true);
}

// An offset inside a row or its line end stays on that row, so a caret at
// the end of a line stays there; only the end of a wrapped row is the start
// of the next row. An offset past the text ends on the last row, or on the
// row after it when the text ends with a line end.
void TEditor::SetCaretByOffset(int anchor, std::int64_t offset) {
  const int n = RowCount();
  anchor = std::max(anchor, 0);
  if (anchor >= n) {
    PlaceCaret(n, 0);
    return;
  }
  offset = std::max<std::int64_t>(offset, 0);
  // Near the anchor the rows are walked; farther the line index answers.
  for (int r = anchor, end = std::min(n, anchor + kNearRows); r < end; ++r) {
    const TRowAttribute a = rows_->GetRowAttribute(r);
    const std::int64_t length = static_cast<std::int64_t>(rows_->RowLength(r));
    const std::int64_t here = a == raWrapped ? length : length + 2;
    if (a == raEof || offset < here || (a == raWrapped && r == n - 1)) {
      const int byte = static_cast<int>(std::min(offset, length));
      PlaceCaret(r, std::min(ColOfByte(r, byte), RowEndCol(r)));
      return;
    }
    offset -= RowSpan(r);
    anchor = r + 1;
  }
  if (anchor >= n) {
    PlaceCaret(n, 0);
    return;
  }
  const std::int64_t base = RowStartOffset(anchor);
  int r = offset < rows_->Totals().Offset() - base ? rows_->RowOfOffset(base + offset) : n;
  if (r >= n) {
    if (RowAttribute(n - 1) == raCrlf) {
      PlaceCaret(n, 0);
      return;
    }
    r = n - 1;
  }
  const std::int64_t inRow = base + offset - RowStartOffset(r);
  const int byte = static_cast<int>(std::min<std::int64_t>(inRow, static_cast<std::int64_t>(RowView(r).size())));
  PlaceCaret(r, std::min(ColOfByte(r, byte), RowEndCol(r)));
}

void TEditor::ReplaceAndPlace(int first, int count, const std::string& text, int anchor, std::int64_t offset) {
  CaretBeginUpdate();
  UnderlineBeginUpdate();
  rows_->ReplaceRows(first, count, text);
  SetCaretByOffset(anchor, offset);
  UnderlineEndUpdate();
  CaretEndUpdate();
}

void TEditor::ReplaceInRowAndPlace(int row, std::size_t from, std::size_t to, const std::string& text, int anchor,
                                   std::int64_t offset) {
  CaretBeginUpdate();
  UnderlineBeginUpdate();
  rows_->ReplaceInRow(row, from, to, text);
  SetCaretByOffset(anchor, offset);
  UnderlineEndUpdate();
  CaretEndUpdate();
}

// --- the row list's reports -------------------------------------------------

void TEditor::InvalidateRows(int first, int last) {
  if (!host_) return;
  first = std::max(first, top_row_);
  last = std::min(last, top_row_ + visible_rows_);
  if (first > last) return;
  const TSize size = host_->ClientSize();
  const int pitch = RowHeight();
  host_->Invalidate({margin_->Left(), margin_->Top() + (first - top_row_) * pitch, size.width,
                     margin_->Top() + (last - top_row_ + 1) * pitch});
}

void TEditor::RepaintRow(int row) { screen_->RepaintRow(row); }

void TEditor::RepaintAll() {
  UpdateScrollRanges();
  if (!host_) return;
  const TSize size = host_->ClientSize();
  host_->Invalidate({0, 0, size.width, size.height});
}

// Repaints only what the change touched: the rows below a change that
// added or removed rows are moved with a window scroll.
void TEditor::StringsChanged() {
  const TChangedRange change = rows_->ChangedRange();
  if (change.dirty && host_) host_->TextChanged(change.first, change.oldCount, change.newCount);
  screen_->StringsChanged();
  KeepCaretOnBoundary();
  if (change.dirty) RealignSelection();
  UpdateScrollRanges();
  if (change.dirty) {
    modified_ = !rows_->UndoObj().AtSavedState();
    if (OnChange) OnChange(*this);
  }
}

// A change made through another editor or through Lines may leave this
// caret inside a character or a tab; typing there would split it.
void TEditor::KeepCaretOnBoundary() {
  if (RowView(row_).empty() || col_ <= 0) return;
  col_ = RowColumns(row_).CharStartColumn(col_, caret_->InTab());
}

void TEditor::LinesBeginUpdate() {
  CaretBeginUpdate();
  UnderlineBeginUpdate();
  if (lines_updating_++ == 0 && host_) host_->SetRedraw(false);
}

void TEditor::LinesEndUpdate() {
  if (lines_updating_ > 0 && --lines_updating_ == 0 && host_) host_->SetRedraw(true);
  UnderlineEndUpdate();
  CaretEndUpdate();
  UpdateCaret();
}

}  // namespace yk
