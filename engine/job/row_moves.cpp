#include "engine/job/row_moves.h"

#include <vector>

#include "engine/job/flex_grid.h"
#include "engine/job/todo_grid.h"
#include "engine/main_form.h"

namespace tessa {

namespace {

// Every cell of from into to, except the task number.
void CopyTaskCells(FlexGrid& grid, const std::vector<std::string>& from, int to) {
  for (int col = 0; col < static_cast<int>(from.size()); ++col)
    if (col != kColNumber) grid.SetTextMatrix(to, col, from[col]);
}

}  // namespace

bool MoveToDoRow(MainForm& form, FlexGrid& grid, int32_t target) {
  // The running loop walks the rows by number and marks them as it goes.
  if (form.bRunning || form.bInRunLoop()) return false;
  const int rows = grid.Rows();
  const int current = grid.Row();
  if (rows <= 2 || target <= 0 || target >= rows - 1 || current <= 0 || current >= rows - 1) return false;

  {
    GridUpdateByCode loading(form.bGridUpdateByCode);
    const std::vector<std::string> kept = grid.RowCells(current);
    if (current < target) {
      for (int d = current + 1; d <= target; ++d) CopyTaskCells(grid, grid.RowCells(d), d - 1);
    } else {
      for (int d = current; d > target; --d) CopyTaskCells(grid, grid.RowCells(d - 1), d);
    }
    grid.SetRow(target);
    CopyTaskCells(grid, kept, target);
    form.resumePoints.Moved(current, target);
  }
  form.Job().FocusToDoGrid();
  form.SelectGridRow(grid);
  form.View().UpdateMenuToolbar();
  form.bAskToSaveZolFileBeforeExit = true;
  return true;
}

bool MoveCurrentTask(MainForm& form, TaskMove move) {
  FlexGrid& grid = form.fgToDo;
  GridUpdateByCode loading(form.bGridUpdateByCode);
  switch (move) {
    case TaskMove::Up: return MoveToDoRow(form, grid, grid.RowSel() - 1);
    case TaskMove::Down: return MoveToDoRow(form, grid, grid.RowSel() + 1);
    case TaskMove::First: return MoveToDoRow(form, grid, 1);
    case TaskMove::Last: return MoveToDoRow(form, grid, grid.Rows() - 2);
  }
  return false;
}

bool fgToDo_KeyUp(MainForm& form, int keyCode, int shift) {
  if (shift != 2) return false;
  if (keyCode == 85) return MoveCurrentTask(form, TaskMove::Up);
  if (keyCode == 68) return MoveCurrentTask(form, TaskMove::Down);
  return false;
}

}  // namespace tessa
