// Bracket pairs: the bounded collection, its copying and its Same…
// operations.
#include "text/editor_brackets.h"

#include "text/errors.h"

namespace yk {

TEditorBracketItem::TEditorBracketItem() : item_color_(std::make_unique<TEditorColor>()) {}
TEditorBracketItem::~TEditorBracketItem() = default;

void TEditorBracketItem::Assign(const TPersistent& source) {
  auto* src = dynamic_cast<const TEditorBracketItem*>(&source);
  if (!src) return TPersistent::Assign(source);
  item_color_->Assign(*src->item_color_);
  left_bracket_ = src->left_bracket_;
  right_bracket_ = src->right_bracket_;
}

bool TEditorBracketItem::operator==(const TEditorBracketItem& o) const {
  return *item_color_ == *o.item_color_ && left_bracket_ == o.left_bracket_ &&
         right_bracket_ == o.right_bracket_;
}

TEditorBracketCollection::TEditorBracketCollection() = default;
TEditorBracketCollection::~TEditorBracketCollection() = default;

void TEditorBracketCollection::CheckIndex(int i) const {
  if (i < 0 || i >= Count()) throw EStringListError("List index out of bounds (" + std::to_string(i) + ")");
}

TEditorBracketItem& TEditorBracketCollection::Items(int i) {
  CheckIndex(i);
  return *items_[static_cast<std::size_t>(i)];
}

const TEditorBracketItem& TEditorBracketCollection::Items(int i) const {
  CheckIndex(i);
  return *items_[static_cast<std::size_t>(i)];
}

TEditorBracketItem& TEditorBracketCollection::Add() {
  if (Count() >= MaxCount()) {
    throw Exception("TEditorBracketCollection\r\nYou can not add item over " + std::to_string(MaxCount()));
  }
  items_.push_back(std::make_unique<TEditorBracketItem>());
  Changed();
  return *items_.back();
}

void TEditorBracketCollection::Delete(int i) {
  CheckIndex(i);
  items_.erase(items_.begin() + i);
  Changed();
}

void TEditorBracketCollection::Clear() {
  if (items_.empty()) return;
  items_.clear();
  Changed();
}

template <typename F>
void TEditorBracketCollection::ForEachColor(F&& f) {
  TUpdateScope update(*this);
  for (auto& item : items_) f(item->ItemColor());
}

void TEditorBracketCollection::SameBkColor(TColor c) {
  ForEachColor([c](TEditorColor& e) { e.SetBkColor(c); });
}

void TEditorBracketCollection::SameColor(TColor c) {
  ForEachColor([c](TEditorColor& e) { e.SetColor(c); });
}

void TEditorBracketCollection::SameStyle(TFontStyles s) {
  ForEachColor([s](TEditorColor& e) { e.SetStyle(s); });
}

void TEditorBracketCollection::Assign(const TPersistent& source) {
  auto* src = dynamic_cast<const TEditorBracketCollection*>(&source);
  if (!src) return TPersistent::Assign(source);
  // Clearing first would destroy the source's own items.
  if (src == this) return;
  TUpdateScope update(*this);
  Clear();
  for (const auto& item : src->items_) Add().Assign(*item);
}

bool TEditorBracketCollection::operator==(const TEditorBracketCollection& o) const {
  if (items_.size() != o.items_.size()) return false;
  for (std::size_t i = 0; i < items_.size(); ++i) {
    if (!(*items_[i] == *o.items_[i])) return false;
  }
  return true;
}

}  // namespace yk
