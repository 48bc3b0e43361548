// Margins around the text and the drawn marks (end of document, line ends,
// caret-row underline): TEditorMargin, TEditorMark, TEditorMarks.
#pragma once

#include <memory>

#include "text/graphics_types.h"
#include "text/notify_persistent.h"

namespace yk {

// Distances in pixels. They feed the row height and the column-to-pixel
// arithmetic, so every path that stores them keeps them in range: Character
// 0..100, the others 0..kMaxMargin.
class TEditorMargin : public TNotifyPersistent {
 public:
  static constexpr int kMaxCharacter = 100;
  static constexpr int kMaxMargin = 32767;

  // Extra pixels added to each character cell.
  int Character() const { return character_; }
  void SetCharacter(int v) { SetAndNotify(character_, ClampCharacter(v)); }
  // Distance of the text from the left edge.
  int Left() const { return left_; }
  void SetLeft(int v) { SetAndNotify(left_, ClampMargin(v)); }
  // Extra pixels added to each row.
  int Line() const { return line_; }
  void SetLine(int v) { SetAndNotify(line_, ClampMargin(v)); }
  // Distance of the text from the top edge.
  int Top() const { return top_; }
  void SetTop(int v) { SetAndNotify(top_, ClampMargin(v)); }
  // 1 while the caret-row underline is shown, else 0; kept by the editor and
  // not stored with the other values.
  int UnderlineSpace() const { return underline_space_; }
  void SetUnderlineSpace(int v) { SetAndNotify(underline_space_, ClampMargin(v)); }

  static int ClampCharacter(int v) { return v < 0 ? 0 : v > kMaxCharacter ? kMaxCharacter : v; }
  static int ClampMargin(int v) { return v < 0 ? 0 : v > kMaxMargin ? kMaxMargin : v; }

  // Copies all five values (clamped), then notifies once.
  void Assign(const TPersistent& source) override;
  const char* ClassName() const override { return "TEditorMargin"; }
  bool operator==(const TEditorMargin& o) const {
    return character_ == o.character_ && left_ == o.left_ && line_ == o.line_ && top_ == o.top_ &&
           underline_space_ == o.underline_space_;
  }

 private:
  int character_ = 0;
  int left_ = 19;
  int line_ = 0;
  int top_ = 2;
  int underline_space_ = 0;
};

class TEditorMark : public TNotifyPersistent {
 public:
  TColor Color() const { return color_; }
  void SetColor(TColor v) { SetAndNotify(color_, v); }
  bool Visible() const { return visible_; }
  void SetVisible(bool v) { SetAndNotify(visible_, v); }

  // Copies both values, then notifies once.
  void Assign(const TPersistent& source) override;
  const char* ClassName() const override { return "TEditorMark"; }
  bool operator==(const TEditorMark& o) const { return color_ == o.color_ && visible_ == o.visible_; }

 private:
  TColor color_ = clGray;
  bool visible_ = false;
};

// Three owned marks whose changes are reported as changes of this object.
class TEditorMarks : public TNotifyPersistent {
 public:
  TEditorMarks();
  ~TEditorMarks() override;

  TEditorMark& EofMark() { return *eof_mark_; }
  const TEditorMark& EofMark() const { return *eof_mark_; }
  void SetEofMark(const TEditorMark& v) { eof_mark_->Assign(v); }
  TEditorMark& RetMark() { return *ret_mark_; }
  const TEditorMark& RetMark() const { return *ret_mark_; }
  void SetRetMark(const TEditorMark& v) { ret_mark_->Assign(v); }
  TEditorMark& Underline() { return *underline_; }
  const TEditorMark& Underline() const { return *underline_; }
  void SetUnderline(const TEditorMark& v) { underline_->Assign(v); }

  // Copies the three marks and notifies once.
  void Assign(const TPersistent& source) override;
  const char* ClassName() const override { return "TEditorMarks"; }
  bool operator==(const TEditorMarks& o) const;

 private:
  std::unique_ptr<TEditorMark> eof_mark_;
  std::unique_ptr<TEditorMark> ret_mark_;
  std::unique_ptr<TEditorMark> underline_;
};

}  // namespace yk
