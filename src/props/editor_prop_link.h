// Lets a property set copy its ten settings to and from an editor control:
// prop.Assign(TEditorPropLink(editor)) and prop.AssignTo(link).
#pragma once

#include "editor/editor.h"
#include "props/editor_prop.h"

namespace yk {

class TEditorPropLink : public TPersistent, public TEditorPropHost {
 public:
  explicit TEditorPropLink(TEditor& editor) : editor_(editor) {}

  TColor Color() const override { return editor_.Color(); }
  void SetColor(TColor v) override { editor_.SetColor(v); }
  const TEditorCaret& Caret() const override { return editor_.Caret(); }
  void SetCaret(const TEditorCaret& v) override { editor_.SetCaret(v); }
  // The editor keeps its font as a plain value; this holds it as the
  // property set's notifying font, refreshed on every read.
  const TEditorFont& Font() const override;
  void SetFont(const TEditorFont& v) override;
  const TEditorMargin& Margin() const override { return editor_.Margin(); }
  void SetMargin(const TEditorMargin& v) override { editor_.SetMargin(v); }
  const TEditorMarks& Marks() const override { return editor_.Marks(); }
  void SetMarks(const TEditorMarks& v) override { editor_.SetMarks(v); }
  const TReserveWordList& ReserveWordList() const override { return editor_.ReserveWordList(); }
  void SetReserveWordList(const TReserveWordList& v) override { editor_.SetReserveWordList(v); }
  TScrollStyle ScrollBars() const override { return editor_.ScrollBars(); }
  void SetScrollBars(TScrollStyle v) override { editor_.SetScrollBars(v); }
  const TEditorViewInfo& View() const override { return editor_.View(); }
  void SetView(const TEditorViewInfo& v) override { editor_.SetView(v); }
  bool WordWrap() const override { return editor_.WordWrap(); }
  void SetWordWrap(bool v) override { editor_.SetWordWrap(v); }
  const TEditorWrapOption& WrapOption() const override { return editor_.WrapOption(); }
  void SetWrapOption(const TEditorWrapOption& v) override { editor_.SetWrapOption(v); }

  const char* ClassName() const override { return "TEditor"; }

 private:
  TEditor& editor_;
  mutable TEditorFont font_;
};

}  // namespace yk
