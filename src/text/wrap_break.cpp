// The row breaks of one logical line under the word-wrap option.
#include "text/wrap_break.h"

#include <string>

#include "text/cp932.h"

namespace yk {

namespace {

// The option's values read once per line.
struct TBreakRules {
  int wrap;  // W
  bool wordBreak;
  bool followPunctuation;
  bool leading;
  bool followRetMark;
  std::string_view punctuation;
  std::string_view lead;
  std::string_view follow;
};

TBreakRules RulesOf(const TEditorWrapOption& o) {
  return {TEditorWrapOption::ClampWrapByte(o.WrapByte()), o.WordBreak(), o.FollowPunctuation(),
          o.Leading(), o.FollowRetMark(), o.PunctuationStr(), o.LeadStr(), o.FollowStr()};
}

// One character back; a row never ends on the lead byte of a character.
void StepBack(TEditorAttributeArray& c) noexcept {
  c.Prev();
  if (c.Code() == kColLead) c.Prev();
}

// A row may end after a delimiter, inside or after a tab, or after a
// double-byte character.
bool IsWordBreakOpportunity(char code) noexcept {
  return code == kColDelimiter || code == kColTabFill || code == kColTrail;
}

// Lets listed punctuation hang past the wrap column, up to W + 2 columns
// counted from the row's first column before each step.
void HangPunctuation(TEditorAttributeArray& c, int rowStart, const TBreakRules& r) {
  while (c.Column() - rowStart < r.wrap + 2 && IsInSet(c.NextChar(), r.punctuation)) {
    c.Next();
    if (c.Code() == kColLead) c.Next();
  }
}

// Moves a row end off opening brackets and away from a closing character
// that would begin the next row, but never shortens the row below
// (W div 5) * 4 + 1 columns.
void ApplyLeading(TEditorAttributeArray& c, int rowStart, int len, const TBreakRules& r) {
  const int limit = (r.wrap / 5) * 4;
  while (c.Column() - rowStart >= limit && IsInSet(c.CurrentChar(), r.lead)) StepBack(c);
  if (len - c.Column() < 2 || !IsInSet(c.NextChar(), r.follow)) return;
  while (c.Column() - rowStart >= limit &&
         (IsInSet(c.CurrentChar(), r.lead) || IsInSet(c.NextChar(), r.follow))) {
    StepBack(c);
  }
}

// Moves the cursor from the plain wrap column to the column that ends the
// row under the line-break rules.
void PlaceRowEnd(TEditorAttributeArray& c, int rowStart, int len, const TBreakRules& r) {
  if (c.Code() == kColLead) {
    c.Prev();
  } else if (r.wordBreak && len > r.wrap) {
    while (!IsWordBreakOpportunity(c.Code()) && c.Column() - rowStart > r.wrap / 3) StepBack(c);
  }
  if (r.followPunctuation) HangPunctuation(c, rowStart, r);
  if (r.leading && c.Column() != len) ApplyLeading(c, rowStart, len, r);
}

// With none of the line-break rules on, a line without a tab has one column
// per byte: a row is W bytes, one less where that would split a character.
// The same rows as the column cursor gives, without building a map.
template <class Emit>
void BreakPlain(std::string_view line, const TBreakRules& r, Emit emit) {
  const std::size_t w = static_cast<std::size_t>(r.wrap);
  std::size_t start = 0;
  while (start + w <= line.size()) {
    std::size_t end = start + w;
    // A row never ends on a lead byte; the run of lead-byte values before
    // it (back to the row start, a character start) tells which it is.
    const std::size_t last = end - 1;
    if (cp932::CharLength(line, last) == 2 && cp932::LeadRunBefore(line, last, start) % 2 == 0) --end;
    emit(end - start);
    start = end;
  }
  if (start < line.size())
    emit(line.size() - start);
  else if (!r.followRetMark)
    emit(0);  // the empty row that carries the line end
}

// The one break routine behind BreakLine and CountWrapRows, so the two can
// never disagree; rows go to `out` when it is given.
int Break(std::string_view line, const TWrapContext& ctx, std::vector<std::size_t>* out) {
  const TBreakRules r = RulesOf(ctx.option);
  int rows = 0;
  auto emit = [&rows, out](std::size_t length) {
    if (out) out->push_back(length);
    ++rows;
  };
  const bool tab = line.find('\t') != std::string_view::npos;
  if (!tab && line.size() < static_cast<std::size_t>(r.wrap)) {
    emit(line.size());
    return rows;
  }
  if (!tab && !r.wordBreak && !r.followPunctuation && !r.leading) {
    BreakPlain(line, r, emit);
    return rows;
  }
  if (LineWidth(line, ctx.tabWidth, r.wrap) < r.wrap) {
    emit(line.size());
    return rows;
  }
  thread_local std::string map;
  ColumnMapInto(line, ctx.tabWidth, r.wrap, ctx.delimiters, map);
  TEditorAttributeArray c(line, map);
  const int len = c.Len();
  int rowStart = 1;
  int byteStart = 1;
  c.MoveTo(r.wrap);
  while (c.Code() != kColEnd) {
    PlaceRowEnd(c, rowStart, len, r);
    // A row that begins on the filler columns of a tab whose byte ended the
    // row before may hold no byte; it takes the next character along rather
    // than becoming an empty row in the middle of the line.
    while (c.BytePos() < byteStart && c.Column() < len) {
      c.Next();
      if (c.Code() == kColLead) c.Next();
    }
    if (c.BytePos() < byteStart) break;  // nothing but tab fillers is left
    emit(static_cast<std::size_t>(c.BytePos() - byteStart + 1));
    byteStart = c.BytePos() + 1;
    rowStart = c.Column() + 1;
    c.MoveTo(c.Column() + r.wrap);
  }
  const auto size = static_cast<int>(line.size());
  if (byteStart <= size) {
    emit(static_cast<std::size_t>(size - byteStart + 1));
  } else if (!r.followRetMark) {
    emit(0);  // the empty row that carries the line end
  }
  if (map.capacity() > (1u << 20)) std::string().swap(map);  // keep no huge buffer
  return rows;
}

}  // namespace

void BreakLine(std::string_view line, const TWrapContext& ctx, std::vector<std::size_t>& rowLengths) {
  Break(line, ctx, &rowLengths);
}

int CountWrapRows(std::string_view line, const TWrapContext& ctx) {
  return Break(line, ctx, nullptr);
}

}  // namespace yk
