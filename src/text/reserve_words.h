// The reserved-word list: a sorted, duplicate-free list of words looked up by
// bisection, ignoring the case of ASCII and full-width letters.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace yk {

// The one ordering of the list: bytes compared unsigned after the case
// folding shared with search and the settings names (cp932::FoldSingle,
// cp932::FoldTrail), so ａｂｃ and ＡＢＣ are one word and a trail byte that
// looks like a letter is never folded. Returns <0, 0 or >0.
int CompareReserveWords(std::string_view a, std::string_view b);

class TReserveWordList {
 public:
  TReserveWordList() = default;
  explicit TReserveWordList(const std::vector<std::string>& words) { Assign(words); }

  // Replaces the list by the words, sorted; empty words and words equal to
  // an earlier one (ignoring case) are dropped.
  void Assign(const std::vector<std::string>& words);
  // As Assign, with the words one per line (CR LF, LF or CR).
  void SetText(std::string_view text);
  // Every word followed by CR LF, in list order.
  std::string Text() const;

  int Count() const { return static_cast<int>(words_.size()); }
  // Throws EStringListError for an index outside the list.
  const std::string& Get(int index) const;
  const std::vector<std::string>& Words() const { return words_; }

  // Inserts the word at its sorted place; false (nothing changed) for an
  // empty word or one already present.
  bool Add(std::string_view word);
  void Clear() { words_.clear(); }
  bool Contains(std::string_view word) const;

  bool operator==(const TReserveWordList&) const = default;

 private:
  std::vector<std::string> words_;
};

}  // namespace yk
