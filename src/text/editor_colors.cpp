// Token colours: copying, the Same… operations and the wiring of the entries
// to their owner.
#include "text/editor_colors.h"

namespace yk {

void TEditorColor::Assign(const TPersistent& source) {
  auto* src = dynamic_cast<const TEditorColor*>(&source);
  if (!src) return TPersistent::Assign(source);
  bk_color_ = src->bk_color_;
  color_ = src->color_;
  style_ = src->style_;
  Changed();
}

TEditorColors::TEditorColors()
    : ank_(std::make_unique<TEditorColor>()),
      comment_(std::make_unique<TEditorColor>()),
      dbcs_(std::make_unique<TEditorColor>()),
      int_(std::make_unique<TEditorColor>()),
      mail_(std::make_unique<TEditorColor>()),
      reserve_(std::make_unique<TEditorColor>()),
      select_(std::make_unique<TEditorColor>()),
      str_(std::make_unique<TEditorColor>()),
      symbol_(std::make_unique<TEditorColor>()),
      url_(std::make_unique<TEditorColor>()) {
  select_->bk_color_ = clNavy;
  select_->color_ = clWhite;
  for (TEditorColor* e : Entries()) {
    e->OnChange = [this](TPersistent* sender) { ChildChanged(sender); };
  }
}

TEditorColors::~TEditorColors() = default;

std::array<TEditorColor*, 10> TEditorColors::Entries() const {
  return {ank_.get(), comment_.get(), dbcs_.get(), int_.get(),    mail_.get(),
          reserve_.get(), select_.get(), str_.get(), symbol_.get(), url_.get()};
}

template <typename F>
void TEditorColors::ForEachButSelect(F&& f) {
  TUpdateScope update(*this);
  for (TEditorColor* e : Entries()) {
    if (e != select_.get()) f(*e);
  }
}

void TEditorColors::SameBkColor(TColor c) {
  ForEachButSelect([c](TEditorColor& e) { e.bk_color_ = c; });
}

void TEditorColors::SameColor(TColor c) {
  ForEachButSelect([c](TEditorColor& e) { e.color_ = c; });
}

void TEditorColors::SameStyle(TFontStyles s) {
  ForEachButSelect([s](TEditorColor& e) { e.style_ = s; });
}

void TEditorColors::Assign(const TPersistent& source) {
  auto* src = dynamic_cast<const TEditorColors*>(&source);
  if (!src) return TPersistent::Assign(source);
  TUpdateScope update(*this);
  ank_->Assign(*src->ank_);
  comment_->Assign(*src->comment_);
  dbcs_->Assign(*src->dbcs_);
  int_->Assign(*src->int_);
  mail_->Assign(*src->mail_);
  str_->Assign(*src->str_);
  symbol_->Assign(*src->symbol_);
  reserve_->Assign(*src->reserve_);
  url_->Assign(*src->url_);
  select_->Assign(*src->select_);
}

bool TEditorColors::operator==(const TEditorColors& o) const {
  auto mine = Entries();
  auto theirs = o.Entries();
  for (std::size_t i = 0; i < mine.size(); ++i) {
    if (!(*mine[i] == *theirs[i])) return false;
  }
  return true;
}

}  // namespace yk
