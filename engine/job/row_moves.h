// Moving the current task of the to-do grid up, down, first or last: the
// rows' cells move, the task numbers stay 1..n in row order, and a pass mark
// goes with its task. Nothing moves while a run is going.
#pragma once

#include <cstdint>

namespace tessa {

class FlexGrid;
class MainForm;

// Moves the current row of grid to row target. Nothing (false) for an empty
// job, a target outside the tasks, a current row that is the headings or the
// placeholder, or while a run is going. A paused task's resume point moves
// with it; a move marks the job changed.
bool MoveToDoRow(MainForm& form, FlexGrid& grid, int32_t target);

enum class TaskMove { Up, Down, First, Last };

// The pop-up and main menu's move items: the selection's row one up or down,
// or the current row to the first or last task; code changes the grid.
bool MoveCurrentTask(MainForm& form, TaskMove move);

// A key released on the to-do grid: Ctrl alone (shift state 2) with U (85)
// moves the task up, with D (68) down. True when it moved.
bool fgToDo_KeyUp(MainForm& form, int keyCode, int shift);

}  // namespace tessa
