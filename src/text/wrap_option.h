// Word-wrap settings: the wrap column and the Japanese line-break rules.
#pragma once

#include <string>

#include "text/notify_persistent.h"

namespace yk {

class TEditorWrapOption : public TNotifyPersistent {
 public:
  static constexpr int kMinWrapByte = 20;
  static constexpr int kMaxWrapByte = 250;
  static const char* const kDefaultFollowStr;
  static const char* const kDefaultLeadStr;
  static const char* const kDefaultPunctuationStr;

  TEditorWrapOption();

  bool FollowRetMark() const { return follow_ret_mark_; }
  void SetFollowRetMark(bool v) { SetAndNotify(follow_ret_mark_, v); }
  bool FollowPunctuation() const { return follow_punctuation_; }
  void SetFollowPunctuation(bool v) { SetAndNotify(follow_punctuation_, v); }
  const std::string& FollowStr() const { return follow_str_; }
  void SetFollowStr(const std::string& v) { SetAndNotify(follow_str_, v); }
  bool Leading() const { return leading_; }
  void SetLeading(bool v) { SetAndNotify(leading_, v); }
  const std::string& LeadStr() const { return lead_str_; }
  void SetLeadStr(const std::string& v) { SetAndNotify(lead_str_, v); }
  const std::string& PunctuationStr() const { return punctuation_str_; }
  void SetPunctuationStr(const std::string& v) { SetAndNotify(punctuation_str_, v); }
  bool WordBreak() const { return word_break_; }
  void SetWordBreak(bool v) { SetAndNotify(word_break_, v); }
  int WrapByte() const { return wrap_byte_; }
  void SetWrapByte(int v) { SetAndNotify(wrap_byte_, ClampWrapByte(v)); }

  static int ClampWrapByte(int v) {
    return v < kMinWrapByte ? kMinWrapByte : v > kMaxWrapByte ? kMaxWrapByte : v;
  }

  // Copies all eight values and notifies once, when any of them differs.
  void Assign(const TPersistent& source) override;
  const char* ClassName() const override { return "TEditorWrapOption"; }
  bool operator==(const TEditorWrapOption& o) const {
    return follow_ret_mark_ == o.follow_ret_mark_ && follow_punctuation_ == o.follow_punctuation_ &&
           follow_str_ == o.follow_str_ && leading_ == o.leading_ && lead_str_ == o.lead_str_ &&
           punctuation_str_ == o.punctuation_str_ && word_break_ == o.word_break_ && wrap_byte_ == o.wrap_byte_;
  }

 private:
  bool follow_ret_mark_ = false;
  bool follow_punctuation_ = false;
  std::string follow_str_;
  bool leading_ = false;
  std::string lead_str_;
  std::string punctuation_str_;
  bool word_break_ = false;
  int wrap_byte_ = 80;
};

}  // namespace yk
