// Bracket pairs coloured across rows (block comments and the like):
// TEditorBracketItem and the collection of at most 14 of them.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "text/editor_colors.h"
#include "text/notify_persistent.h"

namespace yk {

// One pair. Its fields are plain: changing them, or its colour, notifies
// nobody; the view picks them up when the whole collection is assigned.
class TEditorBracketItem : public TPersistent {
 public:
  TEditorBracketItem();
  ~TEditorBracketItem() override;

  TEditorColor& ItemColor() { return *item_color_; }
  const TEditorColor& ItemColor() const { return *item_color_; }
  void SetItemColor(const TEditorColor& v) { item_color_->Assign(v); }
  const std::string& LeftBracket() const { return left_bracket_; }
  void SetLeftBracket(const std::string& v) { left_bracket_ = v; }
  const std::string& RightBracket() const { return right_bracket_; }
  void SetRightBracket(const std::string& v) { right_bracket_ = v; }

  // Copies the colour, then both brackets.
  void Assign(const TPersistent& source) override;
  const char* ClassName() const override { return "TEditorBracketItem"; }
  bool operator==(const TEditorBracketItem& o) const;

 private:
  std::unique_ptr<TEditorColor> item_color_;
  std::string left_bracket_;
  std::string right_bracket_;
};

// The pairs in order; a pair's index is the highlight state of a row that
// starts inside it, so there are never more than kMaxCount. OnChange fires
// (with the collection as sender) when an item is added or deleted and when
// an update ends; not when an item's own fields change.
class TEditorBracketCollection : public TNotifyPersistent {
 public:
  static constexpr int kMaxCount = 14;

  TEditorBracketCollection();
  ~TEditorBracketCollection() override;

  int Count() const { return static_cast<int>(items_.size()); }
  // EStringListError for an index outside 0..Count()-1.
  TEditorBracketItem& Items(int i);
  const TEditorBracketItem& Items(int i) const;
  // Appends a pair with empty brackets and the default colour. When the
  // collection is full it throws Exception and stays unchanged.
  TEditorBracketItem& Add();
  // EStringListError for an index outside 0..Count()-1.
  void Delete(int i);
  void Clear();

  // Set one value on every pair's colour; one notification.
  virtual void SameBkColor(TColor c);
  virtual void SameColor(TColor c);
  virtual void SameStyle(TFontStyles s);

  // Replaces the pairs by copies of the source's, notifying once. A source
  // with more pairs than this collection holds stops with Add's error after
  // the pairs that fit (they are kept).
  void Assign(const TPersistent& source) override;
  const char* ClassName() const override { return "TEditorBracketCollection"; }
  bool operator==(const TEditorBracketCollection& o) const;

 protected:
  // The most pairs this collection holds.
  virtual int MaxCount() const { return kMaxCount; }

 private:
  void CheckIndex(int i) const;
  template <typename F>
  void ForEachColor(F&& f);

  std::vector<std::unique_ptr<TEditorBracketItem>> items_;
};

}  // namespace yk
