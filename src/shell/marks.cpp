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

}  // namespace yk
