// TEditor painting: the paint request, a row in token colours split into
// normal and selected pieces, the EOF and return marks, the caret-row
// underline and scrolling by moving pixels.
#include <algorithm>
#include <cstring>

#include "editor/editor.h"
#include "text/column_map.h"
#include "text/cp932.h"

namespace yk {

namespace {

// A row longer than what the view shows is expanded and parsed only this
// many columns past the visible end: enough that a token cut there (a mail
// address, a number) keeps the kind it has on screen.
constexpr int kLookahead = 4096;

constexpr int kEofCells = 6;  // "[EOF]" and the cell after it

int FloorDiv(int a, int b) { return a >= 0 ? a / b : -((-a + b - 1) / b); }

int ClampToInt(std::int64_t v) { return static_cast<int>(std::clamp<std::int64_t>(v, INT_MIN / 2, INT_MAX / 2)); }

bool IsItalic(const TEditorColor& c) { return c.Style().Contains(fsItalic); }

}  // namespace

// --- metrics and geometry -------------------------------------------------------

TSize TEditor::ClientSizeOrDefault() const {
  return host_ ? host_->ClientSize() : TSize{kDefaultWidth, kDefaultHeight};
}

int TEditor::RowTop(int row) const { return margin_->Top() + (row - top_row_) * RowHeight(); }

int TEditor::ColumnX(std::int64_t col) const {
  return ClampToInt(margin_->Left() + (col - top_col_) * static_cast<std::int64_t>(col_width_));
}

// Italic glyphs overhang their cell, so with any italic style every token is
// drawn over a cleared background instead of over a pre-drawn row.
bool TEditor::ItalicMode() const {
  if (font_.style.Contains(fsItalic)) return true;
  const TEditorColors& c = view_->Colors();
  for (const TEditorColor* e :
       {&c.Ank(), &c.Comment(), &c.DBCS(), &c.Int(), &c.Mail(), &c.Reserve(), &c.Str(), &c.Symbol(), &c.Url()})
    if (IsItalic(*e)) return true;
  const TEditorBracketCollection& brackets = view_->Brackets();
  for (int i = 0; i < brackets.Count(); ++i)
    if (IsItalic(brackets.Items(i).ItemColor())) return true;
  return false;
}

// --- the paint request ------------------------------------------------------------

void TEditor::Paint(TSurface& surface, const TRect& clip) {
  const TSize size = ClientSizeOrDefault();
  const TRect r = clip.Intersect({0, 0, size.width, size.height});
  if (r.Empty()) return;
  canvas_ = &surface;
  struct CanvasScope {
    TSurface*& slot;
    ~CanvasScope() { slot = nullptr; }
  } scope{canvas_};
  italic_ = ItalicMode();

  const int ml = margin_->Left(), mt = margin_->Top(), cw = col_width_, pitch = RowHeight();
  // The margins hold no text; the application may draw there from OnDrawLine.
  if (r.left < ml) surface.FillRect({r.left, r.top, std::min(r.right, ml), r.bottom}, color_);
  if (r.top < mt && r.right > ml)
    surface.FillRect({std::max(r.left, ml), r.top, r.right, std::min(r.bottom, mt)}, color_);

  const int left = std::max(ml, ml + cw * FloorDiv(r.left - ml, cw));
  const int top = mt + (std::max(r.top, mt) - mt) / pitch * pitch;
  const int bottom = mt + (r.bottom - mt + pitch - 1) / pitch * pitch;
  if (left < r.right && top < bottom) {
    const bool bandUnderline = marks_->Underline().Visible() && Selected();
    const int first = (top - mt) / pitch + top_row_;
    for (int row = first, n = (bottom - top) / pitch; row < first + n; ++row) {
      const int y = RowTop(row);
      const TRect band{left, y, r.right, y + font_height_ + (bandUnderline ? 1 : 0)};
      if (row < RowCount())
        PaintRow(surface, row, band);
      else
        PaintBeyondEnd(surface, row, band);
      if (band.bottom < y + pitch) surface.FillRect({left, band.bottom, r.right, y + pitch}, color_);
    }
  }
  PaintUnderline(surface);
  if (RowCount() == 0 && marks_->EofMark().Visible()) DrawEof(surface, ColumnX(0), RowTop(0), r);
}

// The caret-row underline follows the caret row unless it is suspended
// (while the caret moves, while a selection shows). Each painted row band
// was cleared down to the next row, so a suspended underline is gone.
void TEditor::PaintUnderline(TSurface& surface) {
  if (!marks_->Underline().Visible() || underline_hide_count_ > 0 || Selected()) return;
  const int u = UnderlineY(row_);
  if (u > margin_->Top() && u <= ClientSizeOrDefault().height) DrawUnderline(surface, row_);
}

void TEditor::PaintBeyondEnd(TSurface& surface, int row, const TRect& band) {
  surface.FillRect(band, color_);
  const int n = RowCount();
  if (row == n && n > 0 && marks_->EofMark().Visible() && rows_->GetRowAttribute(n - 1) == raCrlf)
    DrawEof(surface, ColumnX(0), band.top, band);
}

// --- one row ------------------------------------------------------------------------

void TEditor::PaintRow(TSurface& surface, int row, const TRect& band) {
  const int visibleEnd =
      ClampToInt(top_col_ + static_cast<std::int64_t>(band.right - margin_->Left() + col_width_ - 1) / col_width_);
  TPaintLine line;
  PrepareLine(row, visibleEnd, line);
  const int visibleStart = ClampToInt(top_col_ + static_cast<std::int64_t>(band.left - margin_->Left()) / col_width_);
  TokenizeLine(line, line.ownFrom + visibleStart - 1, line.ownFrom + visibleEnd + 1);

  const TColumnSpan span = Selected() ? SelectedSpan(range_, row) : TColumnSpan{};
  if (span.Empty()) {
    PaintPiece(surface, line, row, band, false);
    return;
  }
  const int xa = ColumnX(span.from);
  const int xb = span.to == TColumnSpan::kToEdge ? INT_MAX : ColumnX(span.to);
  const TRect pieces[3] = {{band.left, band.top, std::min(xa, band.right), band.bottom},
                           {std::max(xa, band.left), band.top, std::min(xb, band.right), band.bottom},
                           {std::max(xb, band.left), band.top, band.right, band.bottom}};
  for (int i = 0; i < 3; ++i)
    if (!pieces[i].Empty()) PaintPiece(surface, line, row, pieces[i], i == 1);
}

// The text painted for a row: the row with its tabs expanded, up to
// kLookahead columns past `visibleEnd`. With word wrap, a row continued from
// the row above gets that row's text in front (and is parsed from that row's
// state), and a row that wraps gets the next row's text behind, so a token
// that crosses a wrap point is coloured as one token.
void TEditor::PrepareLine(int row, int visibleEnd, TPaintLine& line) {
  const bool wrap = WordWrap();
  const bool prevWraps = wrap && row > 0 && rows_->GetRowAttribute(row - 1) == raWrapped;
  line.wrapsOn = wrap && rows_->GetRowAttribute(row) == raWrapped && row + 1 < RowCount();
  const int stateRow = prevWraps ? row - 1 : row;
  if (rows_->GetRowState(stateRow) == kStateNotComputed) rows_->UpdateStatesFrom(stateRow, false);
  line.state = rows_->GetRowState(stateRow);

  std::string_view own = RowView(row);
  const std::size_t limit = static_cast<std::size_t>(visibleEnd) + kLookahead;
  line.complete = own.size() <= limit;
  if (!line.complete) own = own.substr(0, limit);
  if (!prevWraps && !line.wrapsOn && std::memchr(own.data(), '\t', own.size()) == nullptr) {
    line.text = own;
    line.ownFrom = 0;
    line.ownTo = static_cast<int>(own.size());
  } else {
    std::string& text = screen_->lineText;
    text.clear();
    if (prevWraps) text = ExpandTabs(RowView(row - 1));
    line.ownFrom = static_cast<int>(text.size());
    text.append(ExpandTabs(own));
    line.ownTo = static_cast<int>(text.size());
    if (line.wrapsOn) text.append(ExpandTabs(RowView(row + 1)));
    line.text = text;
  }
  line.x = ClampToInt(ColumnX(0) - static_cast<std::int64_t>(line.ownFrom) * col_width_);
}

// Tokens of the painted text that reach past startCol, up to the first one
// that starts at or after stopCol, each with its colour entry: reserved
// words first, a bracket pair's own colour, else the entry of its kind.
void TEditor::TokenizeLine(const TPaintLine& line, int startCol, int stopCol) {
  std::vector<TPaintToken>& tokens = screen_->tokens;
  tokens.clear();
  const TReserveWordList* words = reserve_words_.Count() > 0 ? &reserve_words_ : nullptr;
  std::unique_ptr<TEditorParser> parser = CreateParser(line.text, line.state);
  for (; parser->Token() != toEof; parser->NextToken()) {
    const int from = parser->TokenOffset();
    if (from >= stopCol) break;
    if (from + parser->TokenLength() <= startCol) continue;
    tokens.push_back(
        {from, from + parser->TokenLength(), EntryColor(TokenColorEntry(*parser, words), parser->BracketIndex())});
  }
}

const TEditorColor* TEditor::EntryColor(TColorEntry entry, int bracket) const {
  const TEditorColors& c = view_->Colors();
  switch (entry) {
    case ceAnk:
      return &c.Ank();
    case ceComment:
      return &c.Comment();
    case ceDBCS:
      return &c.DBCS();
    case ceInt:
      return &c.Int();
    case ceMail:
      return &c.Mail();
    case ceReserve:
      return &c.Reserve();
    case ceSelect:
      return &c.Select();
    case ceStr:
      return &c.Str();
    case ceSymbol:
      return &c.Symbol();
    case ceUrl:
      return &c.Url();
    case ceBracket:
      return bracket >= 0 && bracket < view_->Brackets().Count() ? &view_->Brackets().Items(bracket).ItemColor()
                                                                 : nullptr;
    default:
      return nullptr;
  }
}

// One piece of a row, in normal or selection colours. Without italics the
// row is drawn in one opaque run and only tokens that differ from it are
// drawn again; with italics everything is drawn over a cleared background.
void TEditor::PaintPiece(TSurface& surface, const TPaintLine& line, int row, const TRect& piece, bool selected) {
  const TEditorColor& sel = view_->Colors().Select();
  const TColor bk = selected ? sel.BkColor() : color_;
  const TColor fg = selected ? sel.Color() : font_.color;
  // Text of the next row, joined for parsing only, is never drawn here.
  TRect cut = piece;
  if (line.wrapsOn)
    cut.right = std::min(cut.right, ClampToInt(line.x + static_cast<std::int64_t>(line.ownTo) * col_width_));

  if (italic_) {
    surface.FillRect(piece, bk);
  } else {
    DrawSpan(surface, line, line.ownFrom, line.ownTo, piece.top, fg, bk, font_.style, piece);
    TRect rest = piece;
    rest.left = std::max(rest.left, ClampToInt(line.x + static_cast<std::int64_t>(line.ownTo) * col_width_));
    if (!rest.Empty()) surface.FillRect(rest, bk);
    // A text run fills only the font's height; a selected band also covers
    // the underline's pixel row.
    if (piece.bottom > piece.top + font_height_ && rest.left > piece.left)
      surface.FillRect({piece.left, piece.top + font_height_, rest.left, piece.bottom}, bk);
  }
  for (const TPaintToken& t : screen_->tokens) {
    const TColor tfg = t.color ? t.color->Color() : font_.color;
    const TColor tbk = t.color ? t.color->BkColor() : color_;
    const TFontStyles ts = t.color ? t.color->Style() : font_.style;
    if (italic_)
      DrawSpan(surface, line, t.from, t.to, piece.top, selected ? fg : tfg, selected || tbk == color_ ? clNone : tbk,
               ts, cut);
    else if (selected ? ts != font_.style : tfg != font_.color || tbk != color_ || ts != font_.style)
      DrawSpan(surface, line, t.from, t.to, piece.top, selected ? fg : tfg, selected ? bk : tbk, ts, cut);
  }
  DoDrawLine({line.text, line.x, piece.top, row, cut, selected});
  PaintRowEnd(surface, line, row, piece, selected);
}

// The mark after a row's last character: "[EOF]" after a last row without
// line end, a return mark after a line end. Each piece draws the part of
// the mark that falls inside it.
void TEditor::PaintRowEnd(TSurface& surface, const TPaintLine& line, int row, const TRect& piece, bool selected) {
  if (line.wrapsOn || !line.complete) return;
  const int x = ClampToInt(line.x + static_cast<std::int64_t>(line.ownTo) * col_width_);
  const TRowAttribute a = rows_->GetRowAttribute(row);
  if (a == raEof && marks_->EofMark().Visible()) {
    if (x < piece.right && x + kEofCells * col_width_ > piece.left) DrawEof(surface, x, piece.top, piece);
  } else if (a == raCrlf && marks_->RetMark().Visible() && x >= piece.left && x < piece.right) {
    if (selected)
      DrawSelectedRetMark(surface, x, piece.top);
    else
      DrawRetMark(surface, x, piece.top);
  }
}

// Columns [from, to) of the painted text (from a character start), sliced
// to the cells that clip shows, so a row of any length costs only its
// visible cells. A character cut by either edge is drawn whole, and in
// italic mode one more character on each side, whose overhang may reach in.
void TEditor::DrawSpan(TSurface& surface, const TPaintLine& line, int from, int to, int y, TColor color, TColor bk,
                       TFontStyles style, const TRect& clip) const {
  if (clip.Empty()) return;
  const int slack = italic_ ? 1 : 0;
  const std::int64_t cw = col_width_;
  const std::int64_t firstVisible =
      FloorDiv(ClampToInt(clip.left - static_cast<std::int64_t>(line.x)), col_width_) - slack;
  const std::int64_t lastVisible = (clip.right - static_cast<std::int64_t>(line.x) + cw - 1) / cw + slack;
  std::size_t a = static_cast<std::size_t>(std::max<std::int64_t>(from, firstVisible));
  std::size_t b = static_cast<std::size_t>(std::clamp<std::int64_t>(lastVisible, 0, to));
  if (a >= b) return;
  std::string_view s = line.text;
  a = cp932::CharStart(s, a, static_cast<std::size_t>(from));
  const std::size_t last = cp932::CharStart(s, b - 1, a);
  b = std::min<std::size_t>(static_cast<std::size_t>(to), last + cp932::CharLength(s, last));
  surface.TextRun(ClampToInt(line.x + static_cast<std::int64_t>(a) * cw), y, col_width_, s.substr(a, b - a), color, bk,
                  style, clip);
}

// --- selection pieces -----------------------------------------------------------

// The selected columns of a row. A box keeps whole characters: one cut by
// the left edge is left out, one cut by the right edge taken whole, as the
// box's text is.
TColumnSpan TEditor::SelectedSpan(const TSelectionRange& range, int row) const {
  if (row < range.top || row > range.bottom) return {};
  if (sel_mode_ == smBox) {
    const std::string& map = RowMap(row);
    auto inside = [&](int c) {
      return c >= 0 && static_cast<std::size_t>(c) < map.size() &&
             (map[static_cast<std::size_t>(c)] == kColTrail || map[static_cast<std::size_t>(c)] == kColTabFill);
    };
    int left = range.left, right = range.right;
    while (inside(left)) ++left;
    if (right > left)
      while (inside(right)) ++right;
    return {left, right};
  }
  const int from = row == range.top ? range.left : 0;
  const int to = row == range.bottom ? range.right : TColumnSpan::kToEdge;
  return {from, to};
}

// --- marks --------------------------------------------------------------------------

void TEditor::DoDrawLine(const TDrawLineInfo& info) {
  if (OnDrawLine) OnDrawLine(*this, info);
}

void TEditor::DrawEof(TSurface& surface, int x, int y, const TRect& clip) {
  const TSize size = ClientSizeOrDefault();
  TRect r{x, y, x + kEofCells * col_width_, y + font_height_};
  r = r.Intersect({margin_->Left(), margin_->Top(), size.width, size.height}).Intersect(clip);
  if (r.Empty()) return;
  surface.TextRun(x, y, col_width_, "[EOF]", marks_->EofMark().Color(), color_, font_.style, r);
}

// A downward arrow in the cell at x.
void TEditor::DrawRetMark(TSurface& surface, int x, int y) { DrawArrow(surface, x, y, marks_->RetMark().Color()); }

void TEditor::DrawSelectedRetMark(TSurface& surface, int x, int y) {
  DrawArrow(surface, x, y, view_->Colors().Select().Color());
}

void TEditor::DrawArrow(TSurface& surface, int x, int y, TColor color) {
  if (x < margin_->Left()) return;
  const int m = x + col_width_ / 2, bottom = y + font_height_ - 4;
  surface.Line(m, y + 6, m, bottom, color);
  surface.Line(m, bottom, m + 3, bottom - 3, color);
  surface.Line(m, bottom, m - 3, bottom - 3, color);
}

int TEditor::UnderlineY(int row) const { return RowTop(row) + font_height_; }

void TEditor::DrawUnderline(TSurface& surface, int row) {
  const int u = UnderlineY(row);
  surface.Line(margin_->Left(), u, ClientSizeOrDefault().width, u, marks_->Underline().Color());
}

void TEditor::EraseUnderline(TSurface& surface, int row) {
  const int u = UnderlineY(row);
  surface.Line(margin_->Left(), u, ClientSizeOrDefault().width, u, color_);
}

// --- scrolling --------------------------------------------------------------------

// Moves the pixels inside clip and paints what was uncovered at once. The
// horizontal offset is TopCol whole cells, so it needs no bookkeeping here.
void TEditor::ScrollArea(int dx, int dy, const TRect& clip) {
  if (!host_) return;
  UnderlineBeginUpdate();
  host_->ScrollArea(dx, dy, clip);
  host_->UpdateNow();
  UnderlineEndUpdate();
}

}  // namespace yk
