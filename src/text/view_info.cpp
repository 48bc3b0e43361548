// View settings: wiring of the owned parts and copying.
#include "text/view_info.h"

namespace yk {

TEditorViewInfo::TEditorViewInfo(void* owner)
    : owner_(owner),
      brackets_(std::make_unique<TEditorBracketCollection>()),
      colors_(std::make_unique<TEditorColors>()) {
  brackets_->OnChange = [this](TPersistent* sender) { ChildChanged(sender); };
  colors_->OnChange = [this](TPersistent* sender) { ChildChanged(sender); };
}

TEditorViewInfo::~TEditorViewInfo() = default;

void TEditorViewInfo::Assign(const TPersistent& source) {
  auto* src = dynamic_cast<const TEditorViewInfo*>(&source);
  if (!src) return TPersistent::Assign(source);
  TUpdateScope update(*this);
  brackets_->Assign(*src->brackets_);
  colors_->Assign(*src->colors_);
  commenter_ = src->commenter_;
  control_code_ = src->control_code_;
  hex_prefix_ = src->hex_prefix_;
  mail_ = src->mail_;
  quotation_ = src->quotation_.substr(0, 1);
  url_ = src->url_;
}

bool TEditorViewInfo::operator==(const TEditorViewInfo& o) const {
  return *brackets_ == *o.brackets_ && *colors_ == *o.colors_ && commenter_ == o.commenter_ &&
         control_code_ == o.control_code_ && hex_prefix_ == o.hex_prefix_ && mail_ == o.mail_ &&
         quotation_ == o.quotation_ && url_ == o.url_;
}

}  // namespace yk
