// Where the multi-file tasks that a pause cut short go on: the index of the
// next file by to-do row. A point stays with its task when rows move or go;
// only Rewind, a new or opened job, or an Update of that task clear it.
#pragma once

#include <cstdint>
#include <map>

namespace tessa {

class ResumePoints {
 public:
  // The next file (from 1) of the task at row; 0 when it has none.
  int32_t At(int32_t row) const;
  // The task at row goes on at file index (0 forgets it).
  void Note(int32_t row, int32_t index);
  void Forget(int32_t row) { Note(row, 0); }
  void Clear() { points_.clear(); }
  bool Empty() const { return points_.empty(); }
  // The task at row from now stands at row to; those between moved one row
  // towards from.
  void Moved(int32_t from, int32_t to);
  // The task at row is gone; those below moved one row up.
  void Removed(int32_t row);

 private:
  std::map<int32_t, int32_t> points_;
};

}  // namespace tessa
