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

  // The rows [first, first + oldCount) became newCount rows, of which the
  // first keptAbove and the last keptBelow are the same rows as before.
  // Marks move with their rows: below the change by the difference; inside
  // it, the kept rows keep theirs, and the changed ones in between stay on
  // the changed rows, a row whose text went into the last changed row goes
  // there, and a row taken out with nothing left of it loses its mark.
  void RowsReplaced(int first, int oldCount, int newCount, int keptAbove, int keptBelow);

  const std::vector<int>& Rows() const { return rows_; }
  int Current() const { return current_; }

 private:
  std::optional<int> Step(int delta);
  std::optional<int> RowAfter(int row, int first, int oldCount, int newCount, int keptAbove, int keptBelow) const;

  std::vector<int> rows_;
  int current_ = -1;
};

}  // namespace yk
