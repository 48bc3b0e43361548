// Margins and drawn marks: copying and the wiring of the marks to their
// owner.
#include "text/editor_marks.h"

namespace yk {

void TEditorMargin::Assign(const TPersistent& source) {
  auto* src = dynamic_cast<const TEditorMargin*>(&source);
  if (!src) return TPersistent::Assign(source);
  character_ = ClampCharacter(src->character_);
  left_ = ClampMargin(src->left_);
  line_ = ClampMargin(src->line_);
  top_ = ClampMargin(src->top_);
  underline_space_ = ClampMargin(src->underline_space_);
  Changed();
}

void TEditorMark::Assign(const TPersistent& source) {
  auto* src = dynamic_cast<const TEditorMark*>(&source);
  if (!src) return TPersistent::Assign(source);
  color_ = src->color_;
  visible_ = src->visible_;
  Changed();
}

TEditorMarks::TEditorMarks()
    : eof_mark_(std::make_unique<TEditorMark>()),
      ret_mark_(std::make_unique<TEditorMark>()),
      underline_(std::make_unique<TEditorMark>()) {
  for (TEditorMark* m : {eof_mark_.get(), ret_mark_.get(), underline_.get()}) {
    m->OnChange = [this](TPersistent* sender) { ChildChanged(sender); };
  }
}

TEditorMarks::~TEditorMarks() = default;

void TEditorMarks::Assign(const TPersistent& source) {
  auto* src = dynamic_cast<const TEditorMarks*>(&source);
  if (!src) return TPersistent::Assign(source);
  TUpdateScope update(*this);
  eof_mark_->Assign(*src->eof_mark_);
  ret_mark_->Assign(*src->ret_mark_);
  underline_->Assign(*src->underline_);
}

bool TEditorMarks::operator==(const TEditorMarks& o) const {
  return *eof_mark_ == *o.eof_mark_ && *ret_mark_ == *o.ret_mark_ && *underline_ == *o.underline_;
}

}  // namespace yk
