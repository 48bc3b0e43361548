// Token colours: one TEditorColor entry (background, text, font style) per
// token class and for the selection, gathered in TEditorColors.
#pragma once

#include <array>
#include <memory>

#include "text/graphics_types.h"
#include "text/notify_persistent.h"

namespace yk {

class TEditorColors;

class TEditorColor : public TNotifyPersistent {
 public:
  TColor BkColor() const { return bk_color_; }
  void SetBkColor(TColor v) { SetAndNotify(bk_color_, v); }
  TColor Color() const { return color_; }
  void SetColor(TColor v) { SetAndNotify(color_, v); }
  TFontStyles Style() const { return style_; }
  void SetStyle(TFontStyles v) { SetAndNotify(style_, v); }

  // Copies the three values, then notifies once.
  void Assign(const TPersistent& source) override;
  const char* ClassName() const override { return "TEditorColor"; }
  bool operator==(const TEditorColor& o) const {
    return bk_color_ == o.bk_color_ && color_ == o.color_ && style_ == o.style_;
  }

 private:
  // The Same… operations of the owner write the fields directly, so that
  // only the owner notifies.
  friend class TEditorColors;

  TColor bk_color_ = clWindow;
  TColor color_ = clWindowText;
  TFontStyles style_;
};

// Ten owned entries whose changes are reported as changes of this object.
class TEditorColors : public TNotifyPersistent {
 public:
  TEditorColors();
  ~TEditorColors() override;

  // Words of ASCII letters, digits and underscores.
  TEditorColor& Ank() { return *ank_; }
  const TEditorColor& Ank() const { return *ank_; }
  void SetAnk(const TEditorColor& v) { ank_->Assign(v); }
  TEditorColor& Comment() { return *comment_; }
  const TEditorColor& Comment() const { return *comment_; }
  void SetComment(const TEditorColor& v) { comment_->Assign(v); }
  // Double-byte characters and half-width katakana.
  TEditorColor& DBCS() { return *dbcs_; }
  const TEditorColor& DBCS() const { return *dbcs_; }
  void SetDBCS(const TEditorColor& v) { dbcs_->Assign(v); }
  TEditorColor& Int() { return *int_; }
  const TEditorColor& Int() const { return *int_; }
  void SetInt(const TEditorColor& v) { int_->Assign(v); }
  TEditorColor& Mail() { return *mail_; }
  const TEditorColor& Mail() const { return *mail_; }
  void SetMail(const TEditorColor& v) { mail_->Assign(v); }
  TEditorColor& Reserve() { return *reserve_; }
  const TEditorColor& Reserve() const { return *reserve_; }
  void SetReserve(const TEditorColor& v) { reserve_->Assign(v); }
  // The selection: navy background, white text unless changed.
  TEditorColor& Select() { return *select_; }
  const TEditorColor& Select() const { return *select_; }
  void SetSelect(const TEditorColor& v) { select_->Assign(v); }
  TEditorColor& Str() { return *str_; }
  const TEditorColor& Str() const { return *str_; }
  void SetStr(const TEditorColor& v) { str_->Assign(v); }
  // Single-byte symbols.
  TEditorColor& Symbol() { return *symbol_; }
  const TEditorColor& Symbol() const { return *symbol_; }
  void SetSymbol(const TEditorColor& v) { symbol_->Assign(v); }
  TEditorColor& Url() { return *url_; }
  const TEditorColor& Url() const { return *url_; }
  void SetUrl(const TEditorColor& v) { url_->Assign(v); }

  // Set one value on every entry except Select; one notification.
  virtual void SameBkColor(TColor c);
  virtual void SameColor(TColor c);
  virtual void SameStyle(TFontStyles s);

  // Copies the ten entries and notifies once.
  void Assign(const TPersistent& source) override;
  const char* ClassName() const override { return "TEditorColors"; }
  bool operator==(const TEditorColors& o) const;

 private:
  // The entries in published order (Ank … Url), Select included.
  std::array<TEditorColor*, 10> Entries() const;
  template <typename F>
  void ForEachButSelect(F&& f);

  std::unique_ptr<TEditorColor> ank_;
  std::unique_ptr<TEditorColor> comment_;
  std::unique_ptr<TEditorColor> dbcs_;
  std::unique_ptr<TEditorColor> int_;
  std::unique_ptr<TEditorColor> mail_;
  std::unique_ptr<TEditorColor> reserve_;
  std::unique_ptr<TEditorColor> select_;
  std::unique_ptr<TEditorColor> str_;
  std::unique_ptr<TEditorColor> symbol_;
  std::unique_ptr<TEditorColor> url_;
};

}  // namespace yk
