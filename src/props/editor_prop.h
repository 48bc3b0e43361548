// A complete set of editor display and behaviour settings detached from any
// editor: the unit in which a style is held, copied and stored.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string_view>

#include "props/component_stream.h"
#include "props/font_value.h"
#include "text/editor_caret.h"
#include "text/editor_marks.h"
#include "text/reserve_words.h"
#include "text/view_info.h"
#include "text/wrap_option.h"

namespace yk {

// The identifier of a scroll style; empty for a value outside the four.
std::string_view ScrollStyleToIdent(TScrollStyle s);
std::optional<TScrollStyle> IdentToScrollStyle(std::string_view name);

// The ten settings that a property set copies to and from an editor. The
// editor control implements it (or an adapter over it does), so that a
// property set can be assigned to an editor and taken from one. Object
// setters copy into the holder's own object; SetScrollBars and SetWordWrap
// are the editor's own setters, which re-lay out its rows.
class TEditorPropHost {
 public:
  virtual ~TEditorPropHost() = default;

  virtual TColor Color() const = 0;
  virtual void SetColor(TColor v) = 0;
  virtual const TEditorCaret& Caret() const = 0;
  virtual void SetCaret(const TEditorCaret& v) = 0;
  virtual const TEditorFont& Font() const = 0;
  virtual void SetFont(const TEditorFont& v) = 0;
  virtual const TEditorMargin& Margin() const = 0;
  virtual void SetMargin(const TEditorMargin& v) = 0;
  virtual const TEditorMarks& Marks() const = 0;
  virtual void SetMarks(const TEditorMarks& v) = 0;
  virtual const TReserveWordList& ReserveWordList() const = 0;
  virtual void SetReserveWordList(const TReserveWordList& v) = 0;
  virtual TScrollStyle ScrollBars() const = 0;
  virtual void SetScrollBars(TScrollStyle v) = 0;
  virtual const TEditorViewInfo& View() const = 0;
  virtual void SetView(const TEditorViewInfo& v) = 0;
  virtual bool WordWrap() const = 0;
  virtual void SetWordWrap(bool v) = 0;
  virtual const TEditorWrapOption& WrapOption() const = 0;
  virtual void SetWrapOption(const TEditorWrapOption& v) = 0;
};

// Copies the ten settings in declaration order (Color, Caret, Font, Margin,
// Marks, ReserveWordList, ScrollBars, View, WordWrap, WrapOption). A copy
// that fails stops there: what was copied stays, the rest keeps its old
// values, and the error does not reach the caller.
void CopyEditorProps(const TEditorPropHost& from, TEditorPropHost& to);

class TEditorProp : public TStreamableComponent, public TEditorPropHost {
 public:
  TEditorProp();
  ~TEditorProp() override;

  TColor Color() const override { return color_; }
  void SetColor(TColor v) override;
  const TEditorCaret& Caret() const override { return *caret_; }
  TEditorCaret& Caret() { return *caret_; }
  void SetCaret(const TEditorCaret& v) override { caret_->Assign(v); }
  const TEditorFont& Font() const override { return *font_; }
  TEditorFont& Font() { return *font_; }
  void SetFont(const TEditorFont& v) override { font_->Assign(v); }
  const TEditorMargin& Margin() const override { return *margin_; }
  TEditorMargin& Margin() { return *margin_; }
  void SetMargin(const TEditorMargin& v) override { margin_->Assign(v); }
  const TEditorMarks& Marks() const override { return *marks_; }
  TEditorMarks& Marks() { return *marks_; }
  void SetMarks(const TEditorMarks& v) override { marks_->Assign(v); }
  // Sorted, without duplicates.
  const TReserveWordList& ReserveWordList() const override { return reserve_word_list_; }
  TReserveWordList& ReserveWordList() { return reserve_word_list_; }
  void SetReserveWordList(const TReserveWordList& v) override { reserve_word_list_ = v; }
  TScrollStyle ScrollBars() const override { return scroll_bars_; }
  void SetScrollBars(TScrollStyle v) override;
  const TEditorViewInfo& View() const override { return *view_; }
  TEditorViewInfo& View() { return *view_; }
  void SetView(const TEditorViewInfo& v) override { view_->Assign(v); }
  bool WordWrap() const override { return word_wrap_; }
  void SetWordWrap(bool v) override;
  const TEditorWrapOption& WrapOption() const override { return *wrap_option_; }
  TEditorWrapOption& WrapOption() { return *wrap_option_; }
  void SetWrapOption(const TEditorWrapOption& v) override { wrap_option_->Assign(v); }

  // Raised with this object as sender when the value changes.
  TNotifyEvent OnColorChange;
  TNotifyEvent OnScrollBarsChange;
  TNotifyEvent OnWordWrapChange;

  // Takes the ten settings of another property set or of an editor (any
  // TEditorPropHost); any other source raises EAssignError.
  void Assign(const TPersistent& source) override;
  // Applies the ten settings to another property set or an editor; any
  // other target raises EAssignError.
  void AssignTo(TPersistent& target) const;
  const char* ClassName() const override { return "TEditorProp"; }

  std::vector<TStreamProperty> StoredProperties() const override;
  std::unique_ptr<TStreamableComponent> CreateBlank() const override;
  void ReadProperty(std::string_view path, const TStreamValue& value) override;

  // Compares the ten settings (not the name).
  bool operator==(const TEditorProp& o) const;

 private:
  TColor color_ = clWindow;
  std::unique_ptr<TEditorCaret> caret_;
  std::unique_ptr<TEditorFont> font_;
  std::unique_ptr<TEditorMargin> margin_;
  std::unique_ptr<TEditorMarks> marks_;
  TReserveWordList reserve_word_list_;
  TScrollStyle scroll_bars_ = ssNone;
  std::unique_ptr<TEditorViewInfo> view_;
  bool word_wrap_ = false;
  std::unique_ptr<TEditorWrapOption> wrap_option_;
};

// Sets the values the application's own property set carries before any
// stored style has been read.
void SetInitialStyle(TEditorProp& prop);

// What a style read from a file may hold. A stored set is anyone's bytes:
// margins the style dialog offers, a font the screen can draw legibly, a
// reserved-word list of real words.
inline constexpr int kMaxStyleMargin = 100;
inline constexpr int kMinStyleFontPixels = 6;
inline constexpr int kMaxStyleFontPixels = 400;
inline constexpr int kMaxStyleReservedWords = 20000;
inline constexpr std::size_t kMaxStyleWordLength = 255;

// Brings a style read from the settings or a style file into those
// bounds; a value inside them is kept. True when anything changed.
bool KeepStyleInBounds(TEditorProp& prop);

}  // namespace yk
