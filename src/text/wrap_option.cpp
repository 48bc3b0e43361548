// Word-wrap settings and their default line-break character sets (CP932).
#include "text/wrap_option.h"

namespace yk {

// 、。，．・？！゛゜ヽヾゝゞ々ー）］｝」』!),.:;?]}｡｣､･ｰﾞﾟ
const char* const TEditorWrapOption::kDefaultFollowStr =
    "\x81\x41\x81\x42\x81\x43\x81\x44\x81\x45\x81\x48\x81\x49\x81\x4a\x81\x4b"
    "\x81\x52\x81\x53\x81\x54\x81\x55\x81\x58\x81\x5b\x81\x6a\x81\x6e\x81\x70"
    "\x81\x76\x81\x78"
    "!),.:;?]}"
    "\xa1\xa3\xa4\xa5\xb0\xde\xdf";
// （［｛「『([{｢
const char* const TEditorWrapOption::kDefaultLeadStr =
    "\x81\x69\x81\x6d\x81\x6f\x81\x75\x81\x77"
    "([{"
    "\xa2";
// 、。，．,.｡､
const char* const TEditorWrapOption::kDefaultPunctuationStr =
    "\x81\x41\x81\x42\x81\x43\x81\x44"
    ",."
    "\xa1\xa4";

TEditorWrapOption::TEditorWrapOption()
    : follow_str_(kDefaultFollowStr),
      lead_str_(kDefaultLeadStr),
      punctuation_str_(kDefaultPunctuationStr) {}

// The rows are broken anew, and the undo steps forgotten, on a change:
// the same values are none.
void TEditorWrapOption::Assign(const TPersistent& source) {
  auto* src = dynamic_cast<const TEditorWrapOption*>(&source);
  if (!src) return TPersistent::Assign(source);
  if (*src == *this) return;
  follow_ret_mark_ = src->follow_ret_mark_;
  follow_punctuation_ = src->follow_punctuation_;
  follow_str_ = src->follow_str_;
  leading_ = src->leading_;
  lead_str_ = src->lead_str_;
  punctuation_str_ = src->punctuation_str_;
  word_break_ = src->word_break_;
  wrap_byte_ = ClampWrapByte(src->wrap_byte_);
  Changed();
}

}  // namespace yk
