// The reserved-word list: ordering, de-duplication and lookup.
#include "text/reserve_words.h"

#include <algorithm>

#include "text/cp932.h"
#include "text/errors.h"

namespace yk {

namespace {

// Walks a word byte by byte, giving each byte its comparison key: the
// case folding shared with search and the settings names.
class KeyCursor {
 public:
  explicit KeyCursor(std::string_view s) : s_(s) {}
  bool AtEnd() const { return i_ >= s_.size(); }
  unsigned char Next() {
    const unsigned char b = static_cast<unsigned char>(s_[i_]);
    unsigned char key = b;
    if (lead_ != 0) {
      key = cp932::FoldTrail(lead_, b);
      lead_ = 0;
    } else if (cp932::CharLength(s_, i_) == 2) {
      lead_ = b;
    } else {
      key = cp932::FoldSingle(b);
    }
    ++i_;
    return key;
  }

 private:
  std::string_view s_;
  std::size_t i_ = 0;
  unsigned char lead_ = 0;  // the lead byte before a trail byte
};

bool WordLess(std::string_view a, std::string_view b) { return CompareReserveWords(a, b) < 0; }

}  // namespace

int CompareReserveWords(std::string_view a, std::string_view b) {
  KeyCursor ka(a), kb(b);
  while (!ka.AtEnd() && !kb.AtEnd()) {
    unsigned char x = ka.Next(), y = kb.Next();
    if (x != y) return x < y ? -1 : 1;
  }
  if (ka.AtEnd() && kb.AtEnd()) return 0;
  return ka.AtEnd() ? -1 : 1;
}

void TReserveWordList::Assign(const std::vector<std::string>& words) {
  std::vector<std::string> sorted;
  sorted.reserve(words.size());
  for (const std::string& w : words)
    if (!w.empty()) sorted.push_back(w);
  // Stable, so that of words equal but for case the first one given stays.
  std::stable_sort(sorted.begin(), sorted.end(), WordLess);
  auto same = [](const std::string& a, const std::string& b) { return CompareReserveWords(a, b) == 0; };
  sorted.erase(std::unique(sorted.begin(), sorted.end(), same), sorted.end());
  words_ = std::move(sorted);
}

void TReserveWordList::SetText(std::string_view text) {
  std::vector<std::string> words;
  std::size_t start = 0;
  for (std::size_t i = 0; i <= text.size(); ++i) {
    if (i < text.size() && text[i] != '\r' && text[i] != '\n') continue;
    words.emplace_back(text.substr(start, i - start));
    if (i + 1 < text.size() && text[i] == '\r' && text[i + 1] == '\n') ++i;
    start = i + 1;
  }
  Assign(words);
}

std::string TReserveWordList::Text() const {
  std::string out;
  for (const std::string& w : words_) {
    out += w;
    out += "\r\n";
  }
  return out;
}

const std::string& TReserveWordList::Get(int index) const {
  if (index < 0 || index >= Count())
    throw EStringListError("List index out of bounds (" + std::to_string(index) + ")");
  return words_[static_cast<std::size_t>(index)];
}

bool TReserveWordList::Add(std::string_view word) {
  if (word.empty()) return false;
  auto it = std::lower_bound(words_.begin(), words_.end(), word,
                             [](const std::string& a, std::string_view b) { return WordLess(a, b); });
  if (it != words_.end() && CompareReserveWords(*it, word) == 0) return false;
  words_.insert(it, std::string(word));
  return true;
}

bool TReserveWordList::Contains(std::string_view word) const {
  if (word.empty()) return false;
  auto it = std::lower_bound(words_.begin(), words_.end(), word,
                             [](const std::string& a, std::string_view b) { return WordLess(a, b); });
  return it != words_.end() && CompareReserveWords(*it, word) == 0;
}

}  // namespace yk
