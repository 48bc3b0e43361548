// Caret and mouse-cursor settings: clamps, copying and comparison.
#include "text/editor_caret.h"

#include <algorithm>
#include <array>

namespace yk {

namespace {
constexpr std::array<std::string_view, 2> kCaretStyleNames{"csDefault", "csBrief"};
}  // namespace

std::string_view CaretStyleToIdent(TEditorCaretStyle s) {
  return s < kCaretStyleNames.size() ? kCaretStyleNames[s] : std::string_view();
}

std::optional<TEditorCaretStyle> IdentToCaretStyle(std::string_view name) {
  for (std::size_t i = 0; i < kCaretStyleNames.size(); ++i) {
    if (SameIdent(kCaretStyleNames[i], name)) return static_cast<TEditorCaretStyle>(i);
  }
  return std::nullopt;
}

void TEditorCursors::Assign(const TPersistent& source) {
  auto* src = dynamic_cast<const TEditorCursors*>(&source);
  if (!src) return TPersistent::Assign(source);
  default_cursor_ = src->default_cursor_;
  drag_sel_cursor_ = src->drag_sel_cursor_;
  drag_sel_copy_cursor_ = src->drag_sel_copy_cursor_;
  in_sel_cursor_ = src->in_sel_cursor_;
  left_margin_cursor_ = src->left_margin_cursor_;
  Changed();
}

bool TEditorCursors::operator==(const TEditorCursors& o) const {
  return default_cursor_ == o.default_cursor_ && drag_sel_cursor_ == o.drag_sel_cursor_ &&
         drag_sel_copy_cursor_ == o.drag_sel_copy_cursor_ && in_sel_cursor_ == o.in_sel_cursor_ &&
         left_margin_cursor_ == o.left_margin_cursor_;
}

TEditorCaret::TEditorCaret() : cursors_(std::make_unique<TEditorCursors>()) {}
TEditorCaret::~TEditorCaret() = default;

int TEditorCaret::ClampTabSpaceCount(int v) {
  v = std::clamp(v, kMinTabSpaceCount, kMaxTabSpaceCount);
  return v - v % 2;
}

void TEditorCaret::Assign(const TPersistent& source) {
  auto* src = dynamic_cast<const TEditorCaret*>(&source);
  if (!src) return TPersistent::Assign(source);
  TUpdateScope update(*this);
  auto_cursor_ = src->auto_cursor_;
  auto_indent_ = src->auto_indent_;
  cursors_->Assign(*src->cursors_);
  free_caret_ = src->free_caret_;
  in_tab_ = src->in_tab_;
  keep_caret_ = src->keep_caret_;
  lock_scroll_ = src->lock_scroll_;
  next_line_ = src->next_line_;
  prev_space_indent_ = src->prev_space_indent_;
  row_select_ = src->row_select_;
  sel_drag_mode_ = src->sel_drag_mode_;
  sel_move_ = src->sel_move_;
  soft_tab_ = src->soft_tab_;
  SetStyle(src->style_);
  tab_indent_ = src->tab_indent_;
  SetTabSpaceCount(src->tab_space_count_);
}

bool TEditorCaret::operator==(const TEditorCaret& o) const {
  return auto_cursor_ == o.auto_cursor_ && auto_indent_ == o.auto_indent_ && *cursors_ == *o.cursors_ &&
         free_caret_ == o.free_caret_ && in_tab_ == o.in_tab_ && keep_caret_ == o.keep_caret_ &&
         lock_scroll_ == o.lock_scroll_ && next_line_ == o.next_line_ &&
         prev_space_indent_ == o.prev_space_indent_ && row_select_ == o.row_select_ &&
         sel_drag_mode_ == o.sel_drag_mode_ && sel_move_ == o.sel_move_ && soft_tab_ == o.soft_tab_ &&
         style_ == o.style_ && tab_indent_ == o.tab_indent_ && tab_space_count_ == o.tab_space_count_;
}

}  // namespace yk
