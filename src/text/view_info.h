// What the token parser colours and how: TEditorViewInfo, the view settings
// of an editor or a property set.
#pragma once

#include <memory>
#include <string>

#include "text/editor_brackets.h"
#include "text/editor_colors.h"
#include "text/notify_persistent.h"

namespace yk {

// Changes of the owned Brackets and Colors are reported as changes of this
// object, so the editor recomputes its highlight states once per change.
class TEditorViewInfo : public TNotifyPersistent {
 public:
  // owner: the editor or property set that created this object; not owned,
  // may be null.
  explicit TEditorViewInfo(void* owner = nullptr);
  ~TEditorViewInfo() override;

  void* Owner() const { return owner_; }

  TEditorBracketCollection& Brackets() { return *brackets_; }
  const TEditorBracketCollection& Brackets() const { return *brackets_; }
  void SetBrackets(const TEditorBracketCollection& v) { brackets_->Assign(v); }
  TEditorColors& Colors() { return *colors_; }
  const TEditorColors& Colors() const { return *colors_; }
  void SetColors(const TEditorColors& v) { colors_->Assign(v); }
  // The text that starts a comment running to the end of the line.
  const std::string& Commenter() const { return commenter_; }
  void SetCommenter(const std::string& v) { SetAndNotify(commenter_, v); }
  // "#" followed by a number is coloured as a string.
  bool ControlCode() const { return control_code_; }
  void SetControlCode(bool v) { SetAndNotify(control_code_, v); }
  // The text that starts a hexadecimal number ("0x", "$").
  const std::string& HexPrefix() const { return hex_prefix_; }
  void SetHexPrefix(const std::string& v) { SetAndNotify(hex_prefix_, v); }
  bool Mail() const { return mail_; }
  void SetMail(bool v) { SetAndNotify(mail_, v); }
  // The quotation byte: empty or exactly one byte. Setting a longer value
  // keeps its first byte (of a double-byte character, the lead byte).
  const std::string& Quotation() const { return quotation_; }
  void SetQuotation(const std::string& v) { SetAndNotify(quotation_, v.substr(0, 1)); }
  bool Url() const { return url_; }
  void SetUrl(bool v) { SetAndNotify(url_, v); }

  // Copies Brackets, Colors and the six values and notifies once. A source
  // with too many bracket pairs throws after copying the pairs that fit;
  // the rest of the copy is then skipped.
  void Assign(const TPersistent& source) override;
  const char* ClassName() const override { return "TEditorViewInfo"; }
  // Compares the settings, not the owner.
  bool operator==(const TEditorViewInfo& o) const;

 private:
  void* owner_;
  std::unique_ptr<TEditorBracketCollection> brackets_;
  std::unique_ptr<TEditorColors> colors_;
  std::string commenter_;
  bool control_code_ = false;
  std::string hex_prefix_;
  bool mail_ = false;
  std::string quotation_;
  bool url_ = false;
};

}  // namespace yk
