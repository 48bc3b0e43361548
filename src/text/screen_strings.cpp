// The document's rows: the edit primitive and the editors attached to them.
#include "text/screen_strings.h"

#include <algorithm>
#include <utility>

#include "text/column_map.h"
#include "text/line_end.h"
#include "text/wrap_break.h"

namespace yk {

namespace {

bool EndsWithLineEnd(std::string_view text) {
  return !text.empty() && (text.back() == '\n' || text.back() == '\r');
}

void AppendRowText(std::string& out, std::string_view row, TRowAttribute attribute) {
  out.append(row);
  if (attribute == raCrlf) out.append("\r\n");
}

// The length of the line end at p: CR LF, CR or LF, as the lines split.
std::size_t LineEndLength(std::string_view text, std::size_t p) {
  if (p >= text.size()) return 0;
  if (text[p] == '\r') return p + 1 < text.size() && text[p + 1] == '\n' ? 2 : 1;
  return text[p] == '\n' ? 1 : 0;
}

}  // namespace

TEditorScreenStrings::TEditorScreenStrings(std::size_t blockBytes, std::size_t blockRows)
    : TEditorScreenStrings(TDeferredParts{}, blockBytes, blockRows) {
  CreateParts();
}

TEditorScreenStrings::TEditorScreenStrings(TDeferredParts, std::size_t blockBytes, std::size_t blockRows)
    : TEditorStringList(blockBytes, blockRows) {}

// Called from the constructor of the most derived class, so that its
// overrides make the parts.
void TEditorScreenStrings::CreateParts() {
  undo_ = CreateUndoObj();
  wrap_option_ = CreateWrapOption();
  wrap_option_->OnChange = [this](TPersistent*) { WrapOptionChanged(); };
}

std::unique_ptr<TEditorUndoObj> TEditorScreenStrings::CreateUndoObj() { return std::make_unique<TEditorUndoObj>(*this); }

std::unique_ptr<TEditorWrapOption> TEditorScreenStrings::CreateWrapOption() {
  return std::make_unique<TEditorWrapOption>();
}

TEditorScreenStrings::~TEditorScreenStrings() = default;

void TEditorScreenStrings::AddEditor(TEditorLink* editor) { editors_.push_back(editor); }

void TEditorScreenStrings::RemoveEditor(TEditorLink* editor) {
  auto it = std::find(editors_.begin(), editors_.end(), editor);
  if (it != editors_.end()) editors_.erase(it);
}

TEditorLink* TEditorScreenStrings::ActiveEditor() const {
  for (TEditorLink* e : editors_)
    if (e->Focused()) return e;
  return OwnerEditor();
}

bool TEditorScreenStrings::OwnerLoading() const {
  TEditorLink* owner = OwnerEditor();
  return owner && owner->Loading();
}

int TEditorScreenStrings::TabWidth() const {
  TEditorLink* owner = OwnerEditor();
  return owner ? owner->TabSpaceCount() : 8;
}

const std::bitset<256>& TEditorScreenStrings::WordDelimiters() const {
  TEditorLink* owner = OwnerEditor();
  return owner ? owner->WordDelimiters() : DefaultWordDelimiters();
}

const TParserRules* TEditorScreenStrings::Rules() const {
  TEditorLink* owner = OwnerEditor();
  return owner ? owner->ParserRules() : nullptr;
}

std::int64_t TEditorScreenStrings::MeasureRow(std::string_view row) const {
  return LineWidth(row, TabWidth(), wrap_enabled_ ? wrap_option_->WrapByte() : 0);
}

// --- rows and logical lines -------------------------------------------------

// Most lines hold a few rows: a short walk answers them; a line of many rows
// (a long line wrapped) is found through the line index instead.
constexpr int kShortWalk = 16;

int TEditorScreenStrings::FirstRowOfLine(int row) const {
  if (row <= 0) return row < 0 ? row : 0;
  row = std::min(row, GetCount());
  for (int k = 0; k < kShortWalk; ++k, --row)
    if (row == 0 || GetRowAttribute(row - 1) != raWrapped) return row;
  const std::int64_t lineEnds = SumsBefore(row).lineEnds;
  return lineEnds == 0 ? 0 : RowOfLineEnd(lineEnds - 1) + 1;
}

int TEditorScreenStrings::LastRowOfLine(int row) const {
  if (row < 0) return row;
  const int last = GetCount() - 1;
  for (int k = 0; k < kShortWalk; ++k, ++row)
    if (row >= last || GetRowAttribute(row) != raWrapped) return row;
  return std::min(RowOfLineEnd(SumsBefore(row).lineEnds), last);
}

int TEditorScreenStrings::LineCount() const {
  int n = GetCount();
  if (n == 0) return 0;
  if (!wrap_enabled_) return n;
  return static_cast<int>(Totals().lineEnds) + (GetRowAttribute(n - 1) == raWrapped ? 1 : 0);
}

int TEditorScreenStrings::LineToRow(int line) const {
  if (!wrap_enabled_ || line == 0) return line;
  if (line < 0) return GetCount();  // no such line: as for lines past the end
  return std::min(RowOfLineEnd(line - 1) + 1, GetCount());
}

TRowsText TEditorScreenStrings::GetRowsText(int first, int count) const {
  TRowsText result;
  if (first < 0 || first >= GetCount()) return result;
  // count is compared with the rows left, so a huge count cannot overflow.
  int last = count == -1 ? LastRowOfLine(first) : count > GetCount() - first ? GetCount() - 1 : first + count - 1;
  if (last < first) return result;
  result.rowsTaken = last - first + 1;
  result.attribute = GetRowAttribute(last);
  std::size_t size = 0;
  for (int i = first; i <= last; ++i) size += RowLength(i) + (GetRowAttribute(i) == raCrlf ? 2 : 0);
  result.text.reserve(size);
  for (int i = first; i <= last; ++i) AppendRowText(result.text, Row(i), GetRowAttribute(i));
  if (MixedLineEnds()) result.others = OtherLineEnds(first, result.rowsTaken);
  return result;
}

void TEditorScreenStrings::SetChangedRange(int first, int oldCount, int newCount, std::size_t keptHead,
                                           std::size_t keptTail) {
  changed_ = {first, oldCount, newCount, true};
  if (OnRowsReplaced) OnRowsReplaced({first, oldCount, newCount, keptHead, keptTail, false});
}

// --- the edit primitive -----------------------------------------------------

// Breaking a line again from one of its rows gives the rows a break of the
// whole line would, unless a tab's width (counted from the line start) or
// the word-break test (which looks at the whole line's width) differs.
bool TEditorScreenStrings::CanRewrapFromRow(int row, int end, std::string_view text) const {
  if (wrap_option_->WordBreak() || text.find('\t') != std::string_view::npos) return false;
  return FindRowWithAny(FirstRowOfLine(row), end + 1, "\t") > end;
}

TUndoData& TEditorScreenStrings::RecordOldRows(int first, int count) {
  TUndoData& record = undo_->NewUndoData();
  record.firstRow = first;
  TRowsText old = GetRowsText(first, count);
  record.oldText = std::move(old.text);
  record.lastAttribute = old.attribute;
  record.oldEnds = std::move(old.others);
  return record;
}

void TEditorScreenStrings::ReplaceRows(int first, int count, std::string_view text) {
  FinishWrap();
  const int rows = GetCount();
  if (first < 0 || count < 0 || first > rows || count > rows - first || (count == 0 && text.empty())) return;

  // Text may move up into the previous row of the same logical line when it
  // is re-wrapped, so the work starts one row back inside the line.
  int start = std::max(FirstRowOfLine(first), first - 1);
  // Text appended after a last line that has no line end continues that
  // line; a row after it would leave a raEof row in the middle.
  if (first == rows && rows > 0 && GetRowAttribute(rows - 1) != raCrlf) start = FirstRowOfLine(rows - 1);
  const int lastReplaced = first + count - 1;
  int end = LastRowOfLine(lastReplaced);

  TListUpdateScope update(*this);
  if (start == first && end == lastReplaced && text.empty() && count > 0) {
    DeleteWholeLines(first, count);
    return;
  }

  TRowAttribute lastAttribute;
  if (lastReplaced < end) {
    lastAttribute = GetRowAttribute(end);
  } else if (end != rows - 1) {
    // The replaced text may have removed the line end before the next line.
    end = LastRowOfLine(end + 1);
    lastAttribute = GetRowAttribute(end);
  } else {
    lastAttribute = text.empty() ? raEof : EndsWithLineEnd(text) ? raCrlf : raEof;
  }
  // Asked once: it reads the whole line's blocks.
  const bool fromRow = wrap_enabled_ && CanRewrapFromRow(start, end, text);
  if (wrap_enabled_ && start > FirstRowOfLine(start) && !fromRow) start = FirstRowOfLine(start);
  if (fromRow && end - lastReplaced > kAgreeReach && RebuildUntilRowsAgree(start, first, lastReplaced, end, text))
    return;
  RebuildRows(start, first, lastReplaced, end, text, lastAttribute);
}

bool TEditorScreenStrings::SpliceInRow(int row, std::size_t from, std::size_t to, std::string_view text,
                                       TUndoData& record) {
  if (wrap_enabled_ || row < 0 || row >= GetCount() || text.find_first_of("\r\n") != std::string_view::npos)
    return false;
  const std::string_view old = Row(row);
  to = std::min(to, old.size());
  from = std::min(from, to);
  const TRowAttribute attribute = GetRowAttribute(row);
  record.firstRow = row;
  record.insertedRows = 1;
  record.lastAttribute = attribute;
  record.oldText.assign(old.substr(from, to - from));
  record.keptHead = from;
  record.keptTail = old.size() - to + (attribute == raCrlf ? 2 : 0);
  SpliceRow(row, from, to, text);
  // The row starts in the same state, but may end in another: it is
  // scanned again, and the rows after it as far as they change.
  SetRowState(row, kStateNotComputed);
  UpdateStatesFrom(row, true);
  SetChangedRange(row, 1, 1, record.keptHead, record.keptTail);
  return true;
}

void TEditorScreenStrings::ReplaceInRow(int row, std::size_t from, std::size_t to, std::string_view text) {
  FinishWrap();
  if (row < 0 || row >= GetCount()) return;
  const std::string_view old = Row(row);
  to = std::min(to, old.size());
  from = std::min(from, to);
  if (from == to && text.empty()) return;
  if (!wrap_enabled_ && text.find_first_of("\r\n") == std::string_view::npos) {
    TListUpdateScope update(*this);
    SpliceInRow(row, from, to, text, undo_->NewUndoData());
    return;
  }
  std::string composed(old.substr(0, from));
  composed.append(text);
  composed.append(old.substr(to));
  if (GetRowAttribute(row) == raCrlf) composed.append("\r\n");
  ReplaceRows(row, 1, composed);
}

void TEditorScreenStrings::DeleteWholeLines(int first, int count) {
  RecordOldRows(first, count);
  DeleteRows(first, count);
  UpdateStatesFrom(first, true);
  SetChangedRange(first, count, 0);
}

// Rows start..end become the rows start..first-1, then text, then the rows
// lastReplaced+1..end, wrapped anew; end may be start - 1 (nothing old).
void TEditorScreenStrings::RebuildRows(int start, int first, int lastReplaced, int end, std::string_view text,
                                       TRowAttribute lastAttribute) {
  const int oldRows = std::max(end - start + 1, 0);
  TUndoData& record = RecordOldRows(start, oldRows);

  std::string composed;
  for (int i = start; i < first; ++i) AppendRowText(composed, Row(i), GetRowAttribute(i));
  composed.append(text);
  for (int i = lastReplaced + 1; i <= end; ++i) AppendRowText(composed, Row(i), GetRowAttribute(i));

  TEditorStringList scratch;
  WrapRows(composed, lastAttribute, scratch);
  const TOtherLineEnds ends = EditLineEnds(record.oldEnds, start, first, lastReplaced, end + 1, text);
  if (!ends.empty()) scratch.AssignLineEnds(LineEnds(), ends);
  record.insertedRows = scratch.GetCount();
  AssignRows(start, oldRows, scratch);
  StoreOldText(record, std::move(record.oldText), GetRowsText(start, scratch.GetCount()).text);
  UpdateStatesFrom(start, true);
  SetChangedRange(start, oldRows, scratch.GetCount(), record.keptHead, record.keptTail);
}

// Only an edit of a document that mixes line ends, or one that splits a
// line of another kind than the document's, has any line end to place.
TOtherLineEnds TEditorScreenStrings::EditLineEnds(const TOtherLineEnds& old, int start, int first, int lastReplaced,
                                                  int stop, std::string_view text) const {
  const int rows = GetCount();
  const int split = first < rows ? LastRowOfLine(first) : -1;
  const TLineEnd inherited = split >= 0 && GetRowAttribute(split) == raCrlf ? RowLineEnd(split) : LineEnds();
  if (old.empty() && inherited == LineEnds()) return {};
  auto crlfs = [&](int row) { return static_cast<std::uint32_t>(SumsBefore(row).crlfs); };
  const std::uint32_t atFirst = crlfs(first), afterReplaced = crlfs(lastReplaced + 1);
  return ComposeLineEnds(old, atFirst - crlfs(start), afterReplaced - atFirst, crlfs(stop) - afterReplaced,
                         CountLineEnds(text), inherited, LineEnds());
}

// Rows break where the text from a row's start says, whatever came before
// it (the same condition as CanRewrapFromRow): once a new row starts where
// an old row started, the rest of the line breaks as before and is kept.
// So a key typed in a line of many megabytes re-wraps a few rows, not the
// rest of the line. Looks a bounded distance ahead; false when the rows do
// not agree by then (a line of single-byte text, where every break moves).
bool TEditorScreenStrings::RebuildUntilRowsAgree(int start, int first, int lastReplaced, int end,
                                                 std::string_view text) {
  std::string composed;
  for (int i = start; i < first; ++i) AppendRowText(composed, Row(i), GetRowAttribute(i));
  composed.append(text);
  const std::size_t textEnd = composed.size();
  std::vector<std::size_t> oldStarts;  // where rows lastReplaced + 1, ... start in composed
  TEditorStringList scratch;
  int next = lastReplaced + 1;
  for (int reach = kAgreeReach; reach <= kAgreeReachLimit; reach *= 2) {
    for (; next <= end && next <= lastReplaced + reach; ++next) {
      oldStarts.push_back(composed.size());
      AppendRowText(composed, Row(next), GetRowAttribute(next));
    }
    if (next > end) return false;  // the line's end is in reach: it is wrapped whole
    WrapText(composed, scratch);
    std::size_t at = 0, m = 0;
    for (int k = 0; k + 1 < scratch.GetCount(); ++k) {
      at += scratch.RowLength(k);
      if (scratch.GetRowAttribute(k) == raCrlf) at += LineEndLength(composed, at);
      if (at < textEnd) continue;
      while (m < oldStarts.size() && oldStarts[m] < at) ++m;
      // The last old row only shows the breaks before it what follows them.
      if (m + 1 >= oldStarts.size()) break;
      if (oldStarts[m] == at) {
        ReplaceUntilRow(start, lastReplaced + 1 + static_cast<int>(m), scratch, k + 1, composed.substr(0, at), first,
                        lastReplaced, text);
        return true;
      }
    }
  }
  if (!defer_wrap_ || MixedLineEnds()) return false;
  // oldStarts.back() is where row lastReplaced + oldStarts.size() starts.
  DeferRestOfLine(start, lastReplaced + static_cast<int>(oldStarts.size()), first, lastReplaced, text,
                  std::string_view(composed).substr(0, oldStarts.back()));
  return true;
}

// The rows up to an old row's start (joint) are wrapped anew and the rows
// from it on stay as they are, so the row before it may break early. The
// text is whole and right; FinishWrap then breaks the rest of the line as
// a whole re-wrap would, and the edit's undo record grows to cover it.
void TEditorScreenStrings::DeferRestOfLine(int start, int joint, int first, int lastReplaced, std::string_view text,
                                           std::string_view head) {
  TEditorStringList scratch;
  WrapText(head, scratch);
  scratch.SetRowAttribute(scratch.GetCount() - 1, raWrapped);
  ReplaceUntilRow(start, joint, scratch, scratch.GetCount(), std::string(head), first, lastReplaced, text);
  pending_wrap_ = {start, start + scratch.GetCount(), undo_->Latest()};
}

// The rest of a line left by DeferRestOfLine: rows [start, the line's end]
// are wrapped as one text (the rows before the joint are kept where they
// come out the same) and the pending edit's record takes them in, as if
// it had re-wrapped the whole line itself.
void TEditorScreenStrings::FinishWrap() {
  if (!pending_wrap_.record) return;
  const TPendingWrap p = std::exchange(pending_wrap_, TPendingWrap{});
  const int end = LastRowOfLine(p.joint);
  const TRowAttribute lastAttribute = GetRowAttribute(end);
  std::string composed;
  for (int i = p.start; i < p.joint; ++i) AppendRowText(composed, Row(i), GetRowAttribute(i));
  const std::size_t head = composed.size();
  for (int i = p.joint; i <= end; ++i) AppendRowText(composed, Row(i), GetRowAttribute(i));
  TEditorStringList scratch;
  WrapRows(composed, lastAttribute, scratch);
  int same = 0;
  while (p.start + same < p.joint - 1 && same + 1 < scratch.GetCount() &&
         scratch.Row(same) == Row(p.start + same) &&
         scratch.GetRowAttribute(same) == GetRowAttribute(p.start + same))
    ++same;
  TListUpdateScope update(*this);
  const int oldRows = end - p.start + 1;
  AssignRows(p.start, oldRows, scratch);
  if (TUndoData* record = undo_->Latest(); record == p.record) {
    record->insertedRows = scratch.GetCount();
    record->keptTail += composed.size() - head;  // the rows after the joint: the same text before and after
    record->lastAttribute = lastAttribute;
  } else {
    undo_->ForgetHistory();  // not reached: every edit, undo and redo finishes first
  }
  UpdateStatesFrom(p.start + same, true);
  SetChangedRange(p.start + same, oldRows - same, scratch.GetCount() - same);
}

void TEditorScreenStrings::FinishWrapNoThrow() noexcept {
  try {
    FinishWrap();
  } catch (...) {
  }
}

void TEditorScreenStrings::SetWrapDeferrable(bool on) { defer_wrap_ = on; }

// Puts the first newCount rows of scratch (whose text is newText) in place
// of rows [start, agree). Undo and redo wrap either text on its own and get
// these same rows: both start at a row start and end at a break made with
// the text after it in view, and no break rule looks further than a
// character past a row or measures the whole line (word breaks do, and
// are never rebuilt this way).
void TEditorScreenStrings::ReplaceUntilRow(int start, int agree, const TEditorStringList& scratch, int newCount,
                                           std::string newText, int first, int lastReplaced, std::string_view text) {
  const int oldCount = agree - start;
  TEditorStringList rows(scratch.BlockBytes(), scratch.BlockRows());
  for (int k = 0; k < newCount; ++k) rows.Append(scratch.Row(k), scratch.GetData(k));
  TUndoData& record = RecordOldRows(start, oldCount);
  const TOtherLineEnds ends = EditLineEnds(record.oldEnds, start, first, lastReplaced, agree, text);
  if (!ends.empty()) rows.AssignLineEnds(LineEnds(), ends);
  record.insertedRows = newCount;
  AssignRows(start, oldCount, rows);
  StoreOldText(record, std::move(record.oldText), newText);
  UpdateStatesFrom(start, true);
  SetChangedRange(start, oldCount, newCount, record.keptHead, record.keptTail);
}

void TEditorScreenStrings::Clear() {
  pending_wrap_ = {};
  PrepareEditors();
  undo_->Clear();
  const int rows = GetCount();
  changed_ = {0, rows, 0, true};
  eof_mark_ = false;
  append_state_ = 0;
  TEditorStringList::Clear();
  changed_ = {};
  // A new text starts at its left edge, whether the editor has the focus
  // (and follows its caret) or not.
  for (TEditorLink* e : editors_) {
    e->SetRow(0);
    e->SetCol(0);
    e->SetTopCol(0);
  }
  if (OnRowsReplaced) OnRowsReplaced({0, rows, 0, 0, 0, true});
}

void TEditorScreenStrings::Changed() {
  TEditorStringList::Changed();
  if (quiet_) return;
  for (TEditorLink* e : std::vector<TEditorLink*>(editors_)) e->StringsChanged();
}

void TEditorScreenStrings::UpdateEnded() {
  changed_ = {};
  ClampEditorRows();
}

// --- wrapping ---------------------------------------------------------------

// CR LF, CR and LF each end one line (LF CR ends two); a final line end
// makes no empty last line. NUL bytes are ordinary text: a document keeps
// every byte it was loaded with.
void TEditorScreenStrings::AppendSplitLines(std::string_view text, TPointerStringList& list) const {
  std::size_t p = 0;
  while (p < text.size()) {
    std::size_t e = FindLineEnd(text, p);
    if (e == std::string_view::npos) e = text.size();
    AppendLineTo(list, text.substr(p, e - p), raCrlf);
    p = e;
    if (p < text.size() && text[p] == '\r') ++p;
    if (p < text.size() && text[p] == '\n') ++p;
  }
}

void TEditorScreenStrings::WrapRows(std::string_view text, TRowAttribute lastAttribute,
                                    TEditorStringList& list) const {
  WrapText(text, list);
  const int last = list.GetCount() - 1;
  // A run that reaches the end of the document and ends with a line end
  // makes the document end with one: its last row keeps raCrlf, and no
  // empty row follows (it would count as one more line, and the wrapped
  // save would write it as a blank line).
  if (lastAttribute == raEof && EndsWithLineEnd(text)) return;
  // Nothing left of a last line: the row before ends the document.
  if (lastAttribute == raEof && text.empty()) {
    list.Clear();
    return;
  }
  if (lastAttribute == raWrapped && last > 0 && list.Row(last).empty()) list.Delete(last);
  list.SetRowAttribute(list.GetCount() - 1, lastAttribute);
}

void TEditorScreenStrings::WrapText(std::string_view text, TEditorStringList& list) const {
  list.BeginUpdate();
  list.Clear();
  if (text.empty()) {
    list.Append("", raCrlf);
  } else {
    AppendSplitLines(text, list);
  }
  list.EndUpdate();
}

int TEditorScreenStrings::CountWrapRows(std::string_view line) const {
  if (!wrap_enabled_) return 1;
  TWrapContext ctx{*wrap_option_, TabWidth(), WordDelimiters()};
  return yk::CountWrapRows(line, ctx);
}

void TEditorScreenStrings::AppendLineTo(TPointerStringList& list, std::string_view line,
                                        TRowAttribute lastAttribute) const {
  AppendLineTo(list, line, lastAttribute, line.find('\t') != std::string_view::npos, list.LineEnds());
}

void TEditorScreenStrings::AppendLineTo(TPointerStringList& list, std::string_view line, TRowAttribute lastAttribute,
                                        bool hasTab, TLineEnd kind) const {
  AppendLineTo(list, line, lastAttribute, hasTab, kind, row_lengths_);
}

// A line shorter than the wrap width without a tab is one row as it
// stands: most lines of prose take this path, without a column map.
void TEditorScreenStrings::AppendLineTo(TPointerStringList& list, std::string_view line, TRowAttribute lastAttribute,
                                        bool hasTab, TLineEnd kind, std::vector<std::size_t>& rowLengths) const {
  const std::uint32_t data = static_cast<std::uint32_t>(lastAttribute) | append_state_;
  if (!wrap_enabled_ || (!hasTab && line.size() < static_cast<std::size_t>(wrap_option_->WrapByte()))) {
    list.Append(line, data, hasTab, kind);
    return;
  }
  TWrapContext ctx{*wrap_option_, TabWidth(), WordDelimiters()};
  rowLengths.clear();
  BreakLine(line, ctx, rowLengths);
  std::size_t at = 0;
  for (std::size_t k = 0; k < rowLengths.size(); ++k) {
    bool last = k + 1 == rowLengths.size();
    const std::string_view row = line.substr(at, rowLengths[k]);
    // A line without a tab has none in its rows: they are not searched.
    list.Append(row, last ? data : raWrapped | append_state_, hasTab && row.find('\t') != std::string_view::npos,
                kind);
    at += rowLengths[k];
  }
}

void TEditorScreenStrings::AppendLine(std::string_view line, TRowAttribute lastAttribute) {
  AppendLineTo(*this, line, lastAttribute);
}

void TEditorScreenStrings::AppendLine(std::string_view line, TRowAttribute lastAttribute, TLineEnd kind) {
  AppendLineTo(*this, line, lastAttribute, line.find('\t') != std::string_view::npos, kind);
}

void TEditorScreenStrings::BeginLoading() {
  const TParserRules* rules = Rules();
  // Without bracket pairs every row is outside any: the state goes in with
  // the row instead of in a pass of its own.
  append_state_ = !OwnerLoading() && (!rules || rules->brackets.empty()) ? (kStateOutside + 2) << 4 : 0;
}

void TEditorScreenStrings::EndLoading() {
  append_state_ = 0;
  UpdateAllStates();
}

void TEditorScreenStrings::AppendLines(std::string_view text) { AppendSplitLines(text, *this); }

// Rebuilds every logical line into a fresh list and swaps it in, so no row
// is overwritten before it has been read, whatever the lines grow or shrink.
void TEditorScreenStrings::RebuildLines(bool wrap) {
  FinishWrap();
  const int rows = GetCount();
  if (rows == 0) return;
  TRowAttribute lastAttribute = GetRowAttribute(rows - 1);
  if (!wrap && lastAttribute == raWrapped) lastAttribute = raEof;
  TEditorScreenStrings fresh(BlockBytes(), BlockRows());
  fresh.SetLineEnds(LineEnds());
  fresh.wrap_enabled_ = wrap;
  fresh.wrap_option_->Assign(*wrap_option_);
  fresh.editors_ = editors_;  // for the owner's tab width and delimiters
  std::string joined;
  for (int r = 0; r < rows;) {
    int last = LastRowOfLine(r);
    std::string_view line;
    if (last == r) {
      line = Row(r);
    } else {
      joined.clear();
      for (int i = r; i <= last; ++i) joined.append(Row(i));
      line = joined;
    }
    fresh.AppendLine(line, last == rows - 1 ? lastAttribute : raCrlf, RowLineEnd(last));
    r = last + 1;
  }
  fresh.editors_.clear();
  SwapRows(fresh);
}

void TEditorScreenStrings::WrapAll() {
  if (GetCount() == 0 || OwnerLoading()) return;
  PrepareEditors();
  QuietUpdate quiet(*this);
  RebuildLines(true);
}

void TEditorScreenStrings::UnwrapAll() {
  if (GetCount() == 0) return;
  PrepareEditors();
  QuietUpdate quiet(*this);
  RebuildLines(false);
}

void TEditorScreenStrings::SetWordWrap(bool on) {
  if (on == wrap_enabled_) return;
  wrap_enabled_ = on;
  InvalidateWidths();  // a tab never reaches past the wrap column
  if (OwnerLoading()) return;
  undo_->ForgetHistory();  // the text stays
  if (on) {
    WrapAll();
  } else {
    UnwrapAll();
  }
  UpdateAllStates();
  RepaintEditors();
  ClampEditorRows();
  ResetEditorColumns();
}

void TEditorScreenStrings::WrapOptionChanged() {
  if (OwnerLoading() || !wrap_enabled_) return;
  InvalidateWidths();
  undo_->ForgetHistory();
  WrapAll();
  UpdateAllStates();
  RepaintEditors();
  ClampEditorRows();
  ResetEditorColumns();
}

// --- editors ----------------------------------------------------------------

void TEditorScreenStrings::ClampEditorRows() {
  const int rows = GetCount();
  int target = rows == 0 ? 0 : GetRowAttribute(rows - 1) == raEof ? rows - 1 : rows;
  for (TEditorLink* e : editors_) {
    if (e->Row() > rows - 1 && e->Row() != target) e->SetRow(target);
    if (e->TopRow() > rows - 1 && e->TopRow() != target) e->SetTopRow(target);
  }
}

void TEditorScreenStrings::PrepareEditors() {
  for (TEditorLink* e : editors_) e->CleanSelection();
}

void TEditorScreenStrings::ResetEditorColumns() {
  for (TEditorLink* e : editors_) e->SetCol(0);
}

void TEditorScreenStrings::RepaintEditors() {
  for (TEditorLink* e : editors_) e->RepaintAll();
}

}  // namespace yk
