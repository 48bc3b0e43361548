// The mark list.
#include "shell/marks.h"

#include <algorithm>

namespace yk {

void TMarkList::Toggle(int row) {
  current_ = 0;
  auto it = std::find(rows_.begin(), rows_.end(), row);
  if (it != rows_.end()) {
    rows_.erase(it);
    return;
  }
  rows_.insert(rows_.begin(), row);
  if (static_cast<int>(rows_.size()) > kMaxMarks) rows_.pop_back();
}

void TMarkList::Clear() {
  rows_.clear();
  current_ = -1;
}

std::optional<int> TMarkList::Step(int delta) {
  if (rows_.empty() || current_ == -1) return std::nullopt;
  const int n = static_cast<int>(rows_.size());
  current_ = ((current_ + delta) % n + n) % n;
  return rows_[static_cast<std::size_t>(current_)];
}

std::optional<int> TMarkList::Next() { return Step(1); }
std::optional<int> TMarkList::Prev() { return Step(-1); }

bool TMarkList::IsMarkedRow(int row) const {
  return current_ != -1 && std::find(rows_.begin(), rows_.end(), row) != rows_.end();
}

std::optional<int> TMarkList::RowAfter(int row, int first, int oldCount, int newCount, int keptAbove,
                                       int keptBelow) const {
  if (row < first) return row;
  const int delta = newCount - oldCount;
  const int i = row - first;
  if (i >= oldCount - keptBelow) return row + delta;  // below the change, or kept at its end
  if (i < keptAbove) return row;
  const int changedNew = newCount - keptAbove - keptBelow;
  if (changedNew <= 0) return std::nullopt;
  return first + keptAbove + std::min(i - keptAbove, changedNew - 1);
}

void TMarkList::RowsReplaced(int first, int oldCount, int newCount, int keptAbove, int keptBelow) {
  keptAbove = std::clamp(keptAbove, 0, std::min(oldCount, newCount));
  keptBelow = std::clamp(keptBelow, 0, std::min(oldCount, newCount) - keptAbove);
  std::vector<int> moved;
  for (int row : rows_) {
    const std::optional<int> to = RowAfter(row, first, oldCount, newCount, keptAbove, keptBelow);
    if (to && std::find(moved.begin(), moved.end(), *to) == moved.end()) moved.push_back(*to);
  }
  rows_ = std::move(moved);
  if (current_ >= static_cast<int>(rows_.size())) current_ = rows_.empty() ? current_ : 0;
}

}  // namespace yk
