#include "engine/job/resume_points.h"

namespace tessa {

int32_t ResumePoints::At(int32_t row) const {
  const auto it = points_.find(row);
  return it == points_.end() ? 0 : it->second;
}

void ResumePoints::Note(int32_t row, int32_t index) {
  if (index > 0) {
    points_[row] = index;
  } else {
    points_.erase(row);
  }
}

void ResumePoints::Moved(int32_t from, int32_t to) {
  std::map<int32_t, int32_t> moved;
  for (const auto& [row, index] : points_) {
    int32_t at = row;
    if (row == from) {
      at = to;
    } else if (from < to && row > from && row <= to) {
      at = row - 1;
    } else if (from > to && row >= to && row < from) {
      at = row + 1;
    }
    moved[at] = index;
  }
  points_ = std::move(moved);
}

void ResumePoints::Removed(int32_t row) {
  std::map<int32_t, int32_t> kept;
  for (const auto& [at, index] : points_)
    if (at != row) kept[at > row ? at - 1 : at] = index;
  points_ = std::move(kept);
}

}  // namespace tessa
