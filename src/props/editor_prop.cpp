// The property set: construction values, copying to and from editors, the
// application's initial style and the bounds of a style read from a file.
#include "props/editor_prop.h"

#include <algorithm>
#include <array>
#include <cstdlib>

#include "text/errors.h"

namespace yk {

namespace {

constexpr std::array<std::string_view, 4> kScrollStyleNames{"ssNone", "ssHorizontal", "ssVertical", "ssBoth"};

}  // namespace

std::string_view ScrollStyleToIdent(TScrollStyle s) {
  return s < kScrollStyleNames.size() ? kScrollStyleNames[s] : std::string_view();
}

std::optional<TScrollStyle> IdentToScrollStyle(std::string_view name) {
  for (std::size_t i = 0; i < kScrollStyleNames.size(); ++i) {
    if (SameIdent(kScrollStyleNames[i], name)) return static_cast<TScrollStyle>(i);
  }
  return std::nullopt;
}

void CopyEditorProps(const TEditorPropHost& from, TEditorPropHost& to) {
  if (&from == &to) return;
  try {
    to.SetColor(from.Color());
    to.SetCaret(from.Caret());
    to.SetFont(from.Font());
    to.SetMargin(from.Margin());
    to.SetMarks(from.Marks());
    to.SetReserveWordList(from.ReserveWordList());
    to.SetScrollBars(from.ScrollBars());
    to.SetView(from.View());
    to.SetWordWrap(from.WordWrap());
    to.SetWrapOption(from.WrapOption());
  } catch (const Exception&) {
    // The properties copied so far keep their new values.
  }
}

TEditorProp::TEditorProp()
    : caret_(std::make_unique<TEditorCaret>()),
      font_(std::make_unique<TEditorFont>()),
      margin_(std::make_unique<TEditorMargin>()),
      marks_(std::make_unique<TEditorMarks>()),
      view_(std::make_unique<TEditorViewInfo>(this)),
      wrap_option_(std::make_unique<TEditorWrapOption>()) {
  TFontValue font;
  font.name = "FixedSys";
  font.color = clWindowText;
  font_->SetValue(font);
}

TEditorProp::~TEditorProp() = default;

void TEditorProp::SetColor(TColor v) {
  if (v == color_) return;
  color_ = v;
  if (OnColorChange) OnColorChange(this);
}

void TEditorProp::SetScrollBars(TScrollStyle v) {
  if (v == scroll_bars_) return;
  scroll_bars_ = v;
  if (OnScrollBarsChange) OnScrollBarsChange(this);
}

void TEditorProp::SetWordWrap(bool v) {
  if (v == word_wrap_) return;
  word_wrap_ = v;
  if (OnWordWrapChange) OnWordWrapChange(this);
}

void TEditorProp::Assign(const TPersistent& source) {
  auto* host = dynamic_cast<const TEditorPropHost*>(&source);
  if (!host) return TPersistent::Assign(source);
  CopyEditorProps(*host, *this);
}

void TEditorProp::AssignTo(TPersistent& target) const {
  auto* host = dynamic_cast<TEditorPropHost*>(&target);
  if (!host) throw EAssignError(std::string("Cannot assign a ") + ClassName() + " to a " + target.ClassName());
  CopyEditorProps(*this, *host);
}

std::unique_ptr<TStreamableComponent> TEditorProp::CreateBlank() const { return std::make_unique<TEditorProp>(); }

bool TEditorProp::operator==(const TEditorProp& o) const {
  return color_ == o.color_ && *caret_ == *o.caret_ && font_->Value() == o.font_->Value() &&
         *margin_ == *o.margin_ && *marks_ == *o.marks_ && reserve_word_list_ == o.reserve_word_list_ &&
         scroll_bars_ == o.scroll_bars_ && *view_ == *o.view_ && word_wrap_ == o.word_wrap_ &&
         *wrap_option_ == *o.wrap_option_;
}

namespace {

void SetEntry(TEditorColor& c, TColor bk, TColor fg, TFontStyles style = {}) {
  c.SetBkColor(bk);
  c.SetColor(fg);
  c.SetStyle(style);
}

void SetInitialCaret(TEditorCaret& c) {
  c.SetAutoCursor(true);
  c.SetAutoIndent(false);
  c.SetFreeCaret(false);
  c.SetInTab(false);
  c.SetKeepCaret(false);
  c.SetLockScroll(false);
  c.SetNextLine(false);
  c.SetPrevSpaceIndent(false);
  c.SetRowSelect(true);
  c.SetSelDragMode(dmAutomatic);
  c.SetSelMove(true);
  c.SetSoftTab(false);
  c.SetStyle(csDefault);
  c.SetTabIndent(false);
  c.SetTabSpaceCount(4);
  TEditorCursors& k = c.Cursors();
  k.SetDefaultCursor(crIBeam);
  k.SetDragSelCursor(crDrag);
  k.SetDragSelCopyCursor(crDragSelCopy);
  k.SetInSelCursor(crDefault);
  k.SetLeftMarginCursor(crRightArrow);
}

void SetInitialView(TEditorViewInfo& v) {
  v.Brackets().Clear();
  TEditorBracketItem& pair = v.Brackets().Add();
  pair.SetLeftBracket("/*");
  pair.SetRightBracket("*/");
  // Coloured tokens stand on the window's own background, whatever the
  // desktop's palette, rather than in white boxes on a dark one.
  SetEntry(pair.ItemColor(), clWindow, clGray);
  TEditorColors& c = v.Colors();
  for (TEditorColor* e : {&c.Ank(), &c.Comment(), &c.DBCS(), &c.Int(), &c.Str(), &c.Symbol()})
    SetEntry(*e, clWindow, clWindowText);
  SetEntry(c.Mail(), clWindow, clGreen, {fsUnderline});
  SetEntry(c.Reserve(), clWindow, clRed);
  SetEntry(c.Select(), clNavy, clWhite);
  SetEntry(c.Url(), clWindow, clNavy, {fsUnderline});
  v.SetCommenter("");
  v.SetControlCode(false);
  v.SetHexPrefix("");
  v.SetMail(true);
  v.SetQuotation("");
  v.SetUrl(true);
}

}  // namespace

void SetInitialStyle(TEditorProp& p) {
  p.SetColor(clWindow);
  SetInitialCaret(p.Caret());
  TFontValue font;
  font.charset = SHIFTJIS_CHARSET;
  font.color = clWindowText;
  font.height = -19;
  font.name = "FixedSys";
  p.Font().SetValue(font);
  p.Margin().SetCharacter(0);
  p.Margin().SetLeft(4);
  p.Margin().SetLine(0);
  p.Margin().SetTop(2);
  p.Marks().EofMark().SetColor(clTeal);
  p.Marks().EofMark().SetVisible(true);
  p.Marks().RetMark().SetColor(clTeal);
  p.Marks().RetMark().SetVisible(true);
  p.Marks().Underline().SetColor(clGray);
  p.Marks().Underline().SetVisible(false);
  p.SetReserveWordList(TReserveWordList({"ymkk"}));
  p.SetScrollBars(ssBoth);
  SetInitialView(p.View());
  p.SetWordWrap(true);
  TEditorWrapOption& w = p.WrapOption();
  w.SetFollowRetMark(true);
  w.SetFollowPunctuation(false);
  w.SetFollowStr(TEditorWrapOption::kDefaultFollowStr);
  w.SetLeading(false);
  w.SetLeadStr(TEditorWrapOption::kDefaultLeadStr);
  w.SetPunctuationStr(TEditorWrapOption::kDefaultPunctuationStr);
  w.SetWordBreak(false);
  w.SetWrapByte(80);
}

namespace {

// Height 0 is the font's own size; otherwise the size keeps its sign (cell
// or character height) and comes within the bounds.
int SensibleFontHeight(int h) {
  if (h == 0) return 0;
  const int pixels = std::clamp(std::abs(h), kMinStyleFontPixels, kMaxStyleFontPixels);
  return h < 0 ? -pixels : pixels;
}

bool KeepMarginsInBounds(TEditorMargin& m) {
  const auto bound = [](int v) { return std::min(v, kMaxStyleMargin); };
  if (bound(m.Left()) == m.Left() && bound(m.Top()) == m.Top() && bound(m.Line()) == m.Line()) return false;
  m.SetLeft(bound(m.Left()));
  m.SetTop(bound(m.Top()));
  m.SetLine(bound(m.Line()));
  return true;
}

bool KeepWordsInBounds(TReserveWordList& list) {
  const std::vector<std::string>& words = list.Words();
  const bool tooLong = std::any_of(words.begin(), words.end(),
                                   [](const std::string& w) { return w.size() > kMaxStyleWordLength; });
  if (!tooLong && list.Count() <= kMaxStyleReservedWords) return false;
  std::vector<std::string> kept;
  for (const std::string& w : words) {
    if (static_cast<int>(kept.size()) == kMaxStyleReservedWords) break;
    if (w.size() <= kMaxStyleWordLength) kept.push_back(w);
  }
  list.Assign(kept);
  return true;
}

}  // namespace

bool KeepStyleInBounds(TEditorProp& prop) {
  bool changed = KeepMarginsInBounds(prop.Margin());
  const int height = SensibleFontHeight(prop.Font().Height());
  if (height != prop.Font().Height()) {
    prop.Font().SetHeight(height);
    changed = true;
  }
  return KeepWordsInBounds(prop.ReserveWordList()) || changed;
}

}  // namespace yk
