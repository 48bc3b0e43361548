// Marks on rows: up to ten row numbers, newest first, with a current index
// for stepping through them.
#pragma once

#include <optional>
#include <vector>

namespace yk {

class TMarkList {
 public:
  static constexpr int kMaxMarks = 10;

  // Removes the mark of row, or adds it at the front (dropping the oldest
  // beyond ten); the current index becomes 0.
  void Toggle(int row);
  // No marks; the current index becomes -1.
  void Clear();
  // The next or previous mark, wrapping around; nullopt while there are no
  // marks or none was set since the last clearing.
  std::optional<int> Next();
  std::optional<int> Prev();
  // False until a mark is set; then whether row is marked.
  bool IsMarkedRow(int row) const;

  const std::vector<int>& Rows() const { return rows_; }
  int Current() const { return current_; }

 private:
  std::optional<int> Step(int delta);

  std::vector<int> rows_;
  int current_ = -1;
};

}  // namespace yk
